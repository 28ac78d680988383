// Choosing the project type for File > New: every registered type is
// created and given the services; when exactly one is kept it is the
// choice at once, as the project-type dialog does without showing itself.
#pragma once
#include <hosting.h>

// S_OK with `chosen` (one reference, the caller's); S_FALSE when nothing
// was chosen.
HRESULT ChooseProjectType(HWND owner, IProject** chosen);
// Creates a registered project type for IProject and binds the services.
HRESULT CreateProjectType(const char* clsidText, IProject** project);
