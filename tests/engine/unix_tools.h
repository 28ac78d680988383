// Linux programs run from a test under Wine (isoinfo, xorriso, 7z on a
// burned disc's image). Wine starts a Unix program by its path but hands
// back no process handle, so the command's output arrives through a file.
#pragma once
#include <windows.h>
#include <string>

// The Unix path of a Windows path, or "" outside Wine.
std::string UnixPath(const std::string& windowsPath);
// Runs `command` with /bin/sh and returns what it printed on stdout; ""
// when it did not end within `ms`.
std::string RunUnix(const std::string& command, DWORD ms = 20000);
