#include "project_types.h"
#include "common_settings.h"
#include "resource.h"
#include <shared/translator.h>
#include <set>
#include <sstream>
#include <vector>

DWORD ReadProjectOrder(HKEY projects, const std::string& subkey)
{
    HKEY key;
    if (::RegOpenKeyExA(projects, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0xFFFFFFFF;
    DWORD order = 0xFFFFFFFF, size = sizeof(order), type = 0;
    if (::RegQueryValueExA(key, "Order", nullptr, &type, reinterpret_cast<BYTE*>(&order), &size) != ERROR_SUCCESS ||
        size != sizeof(order))
        order = 0xFFFFFFFF;
    ::RegCloseKey(key);
    return order;
}

LONG EnumProjectTypes(const std::string& path, CProjectTypeList* list)
{
    HKEY projects;
    LONG result = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &projects);
    if (result != ERROR_SUCCESS) return result;
    DWORD unordered = 0;
    for (DWORD index = 0;; ++index) {
        char name[261];
        DWORD length = sizeof(name);
        if (::RegEnumKeyExA(projects, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        DWORD order = ReadProjectOrder(projects, name);
        if (order == 0xFFFFFFFF) order = 0x80000000 + unordered++;
        list->emplace(order, name);  // the first of equal keys stays
    }
    ::RegCloseKey(projects);
    return ERROR_SUCCESS;
}

CProjectTypeList RegisteredProjectTypes()
{
    CProjectTypeList list;
    std::string path = GetCommonString("Application", "RegProjectsSubkey", "");
    if (!path.empty()) EnumProjectTypes(path, &list);
    return list;
}

std::string BuildOpenFilter(const CProjectTypeList& types, const std::string& languageFile,
                            const std::string& allFiles, const std::string& allSupported)
{
    std::string filter;
    std::set<std::string> supported;
    int typesWithPatterns = 0;
    for (const auto& type : types) {
        std::vector<char> value(2048);
        ::GetPrivateProfileStringA("ProjectsToOpen", type.second.c_str(), "", value.data(),
                                   static_cast<DWORD>(value.size()), languageFile.c_str());
        const std::string entry = value.data();
        const size_t bar = entry.find('|');
        if (bar == std::string::npos) continue;
        std::string patterns = entry.substr(bar + 1);
        for (char& c : patterns)
            if (c == ' ') c = ';';
        if (!filter.empty()) filter += "|";
        filter += entry.substr(0, bar) + " (" + patterns + ")|" + patterns;
        ++typesWithPatterns;
        std::istringstream split(patterns);
        for (std::string pattern; std::getline(split, pattern, ';');)
            if (!pattern.empty()) supported.insert(pattern);
    }
    if (!filter.empty()) filter += "|";
    filter += allFiles + " (*.*)|*.*";
    if (typesWithPatterns >= 2) {
        std::string all;
        for (const auto& pattern : supported) all += (all.empty() ? "" : ";") + pattern;
        filter = allSupported + " (" + all + ")|" + all + "|" + filter;
    }
    return filter;
}

std::string BuildOpenFilter(const CProjectTypeList& types)
{
    const std::string languageFile =
        GetCommonString("Application", "CommonFilesPath", "") + GetCommonString("Application", "Title", "") + ".lng";
    return BuildOpenFilter(types, languageFile, LookUpLangStr(COMMON_LANG_SECTION, IDS_ALL_FILES),
                           LookUpLangStr(COMMON_LANG_SECTION, IDS_ALL_SUPPORTED_FILES));
}
