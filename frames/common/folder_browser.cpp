#include "folder_browser.h"
#include <shlobj.h>

std::string BrowseForFolder(HWND owner, const std::string& title)
{
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (!chosen) return "";
    char path[MAX_PATH] = "";
    const BOOL found = SHGetPathFromIDListA(chosen, path);
    CoTaskMemFree(chosen);
    return found ? path : "";
}
