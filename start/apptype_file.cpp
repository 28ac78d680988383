#include "apptype_file.h"
#include "app_paths.h"
#include "common_settings.h"
#include <windows.h>

const CApptypeKey APPTYPE_KEYS[15] = {
    {"Title", true, nullptr, 0},
    {"Version", true, "1.0.0.0", 0},
    {"CopyrightHolder", true, "Tavell software", 0},  // the maker's name
    {"FirstDevelopmentYear", true, "2005", 0},
    {"LastDevelopmentYear", true, "2007", 0},
    {"Site", true, "", 0},
    {"SecondarySite", true, "", 0},
    {"Mail", true, "", 0},
    {"SecondaryMail", true, "", 0},
    {"versionFilename", true, "", 0},
    {"CreateExplorer", false, nullptr, 1},
    {"ShowExplorerInitially", false, nullptr, 1},
    {"CreateSizebar", false, nullptr, 1},
    {"ShowSizebarInitially", false, nullptr, 1},
    {"MaximizeFirstChild", false, nullptr, 0},
};

namespace {
const char kSection[] = "Data";
}

CApptypeFile::CApptypeFile(const std::string& path, const std::string& application)
    : m_path(path), m_application(application)
{
}

std::string CApptypeFile::ReadString(const char* key, const char* def) const
{
    char value[1024] = "";
    ::GetPrivateProfileStringA(kSection, key, def, value, sizeof(value), m_path.c_str());
    return value;
}

unsigned long CApptypeFile::ReadNumber(const char* key, unsigned long def) const
{
    return ::GetPrivateProfileIntA(kSection, key, static_cast<INT>(def), m_path.c_str());
}

void CApptypeFile::CopyApptypeString(const char* key, const char* def, const std::string& file)
{
    SetCommonString("ApptypeData", key, CApptypeFile(file, "").ReadString(key, def).c_str());
}

void CApptypeFile::CopyApptypeDword(const char* key, unsigned long def, const std::string& file)
{
    SetCommonDword("ApptypeData", key, CApptypeFile(file, "").ReadNumber(key, def));
}

void CApptypeFile::CopyToSettings() const
{
    for (const CApptypeKey& key : APPTYPE_KEYS) {
        if (key.isString)
            CopyApptypeString(key.name, key.stringDefault ? key.stringDefault : m_application.c_str(), m_path);
        else
            CopyApptypeDword(key.name, key.numberDefault, m_path);
    }
}
