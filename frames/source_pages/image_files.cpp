#include "image_files.h"
#include <commdlg.h>
#include <shlwapi.h>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

std::string WithoutExtension(const std::string& path)
{
    std::vector<char> buffer(path.begin(), path.end());
    buffer.push_back('\0');
    PathRemoveExtensionA(buffer.data());
    return buffer.data();
}

std::string AsDescriptorPath(const std::string& path)
{
    return path.empty() ? path : WithoutExtension(path) + ".mds";
}

bool IsImageSetExtension(const std::string& extension)
{
    if (extension.size() < 3 || std::tolower(static_cast<unsigned char>(extension[0])) != 'x' ||
        std::tolower(static_cast<unsigned char>(extension[1])) != 'm')
        return false;
    const std::string rest = extension.substr(2);
    if (rest.size() == 1 && std::tolower(static_cast<unsigned char>(rest[0])) == 'f') return true;
    for (char c : rest)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

void DeleteImageSet(const std::string& path)
{
    if (path.empty()) return;
    const std::string pattern = WithoutExtension(path) + ".xm*";
    // The matches are deleted from the pattern's folder.
    char full[MAX_PATH * 2] = "";
    if (!_fullpath(full, pattern.c_str(), sizeof full)) return;
    std::string folder = full;
    const size_t cut = folder.find_last_of("\\/");
    folder = cut == std::string::npos ? std::string() : folder.substr(0, cut + 1);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const char* dot = std::strrchr(found.cFileName, '.');
        if (dot && IsImageSetExtension(dot + 1)) DeleteFileA((folder + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

void DeleteImage(const std::string& path)
{
    if (path.empty()) return;
    DeleteFileA(path.c_str());
    if (lstrcmpiA(PathFindExtensionA(path.c_str()), ".mds") == 0) DeleteImageSet(path);
}

std::string MakeTemporaryImageFolder()
{
    char temp[MAX_PATH] = "";
    if (!GetTempPathA(MAX_PATH - 1, temp)) return std::string();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        char folder[MAX_PATH + 16];
        std::snprintf(folder, sizeof folder, "%s%08lu\\", temp, static_cast<unsigned long>(GetTickCount() + attempt));
        if (GetFileAttributesA(folder) != INVALID_FILE_ATTRIBUTES) continue;
        if (CreateDirectoryA(folder, nullptr)) return folder;
    }
    return std::string();
}

bool ChooseImageFile(const std::string& filter, bool mustExist, std::string* path)
{
    std::string separated = filter;
    for (char& c : separated)
        if (c == '|') c = '\0';
    separated.push_back('\0');
    char file[MAX_PATH * 2] = "";
    lstrcpynA(file, path->c_str(), MAX_PATH);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = GetActiveWindow();
    dialog.lpstrFilter = separated.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    dialog.lpstrDefExt = "mds";
    // The process's current folder stays: a page's temporary folder that
    // became it could not be removed.
    dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_NOCHANGEDIR |
                   (mustExist ? OFN_FILEMUSTEXIST : OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
    if (!GetOpenFileNameA(&dialog)) return false;
    *path = file;
    return true;
}
