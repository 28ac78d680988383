// The shell's folder browser as an editor's Add folder opens it.
#pragma once
#include <windows.h>
#include <string>

// The file-system folder the user chose under `title`; "" when cancelled.
std::string BrowseForFolder(HWND owner, const std::string& title);
