// The engine's run from its command line to its exit code.
#pragma once
#include <windows.h>

extern const DWORD ENGINE_TIMEOUT_MS;  // 5000: end after the last client left
extern const DWORD ENGINE_PAUSE_MS;    // 1000: for workers after the loop ended

int RunEngine(HINSTANCE instance, const char* arguments);
