// The start module's entry: OLE and the common controls around Run, which
// starts the application, runs the main frame's message loop and shuts
// the application down.
#pragma once
#include <windows.h>

// The loop's exit code; 0 when the frame could not be made; -1 when
// start-up failed (after the "Error" box).
int Run(HINSTANCE instance, const char* commandLine, int show);
int StartModuleMain(HINSTANCE instance, int show);
