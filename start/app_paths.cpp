#include "app_paths.h"
#include <shlobj.h>

const char* const MAKER_NAME = "Tavell software";

namespace {

std::string ModuleFileName()
{
    char path[MAX_PATH + 1] = "";
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length);
}

}  // namespace

std::string GetProgramFolder()
{
    std::string path = ModuleFileName();
    return path.substr(0, path.find_last_of('\\') + 1);
}

bool FindProgramFolder(std::string* folder)
{
    std::string path = ModuleFileName();
    WIN32_FIND_DATAA data;
    HANDLE found = ::FindFirstFileA(path.c_str(), &data);
    if (found == INVALID_HANDLE_VALUE) return false;
    ::FindClose(found);
    size_t slash = path.find_last_of('\\');
    *folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
    return true;
}

bool FindApplicationName(const std::string& folder, std::string* name)
{
    WIN32_FIND_DATAA data;
    HANDLE found = ::FindFirstFileA((folder + "\\*.apptype").c_str(), &data);
    if (found == INVALID_HANDLE_VALUE) return false;
    ::FindClose(found);
    std::string file = data.cFileName;
    *name = file.substr(0, file.find_last_of('.'));
    return true;
}

std::string DataFolder(const std::string& programFolder, const std::string& application)
{
    char common[MAX_PATH] = "";
    std::string base = SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, common))
                           ? std::string(common)
                           : programFolder;
    return base + "\\" + MAKER_NAME + "\\" + application + "\\";
}
