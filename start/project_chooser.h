// Choosing the project type for File > New through the project-type
// dialog (straight to the type when exactly one can be created).
#pragma once
#include <hosting.h>

// S_OK with `chosen` (one reference, the caller's); S_FALSE when nothing
// was chosen.
HRESULT ChooseProjectType(HWND owner, IProject** chosen);
// Creates a registered project type for IProject and binds the services;
// a type that refuses a service is not created.
HRESULT CreateProjectType(const char* clsidText, IProject** project);
// Creates the type for IProject only.
HRESULT CreateProjectObject(const char* clsidText, IProject** project);
// Binds the logger, the settings and the translator; the first failure.
HRESULT BindServices(IProject* project);
