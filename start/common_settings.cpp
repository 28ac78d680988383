#include "common_settings.h"
#include <shared/settings_helper.h>

void SetCommonString(const char* key, const char* tag, const char* text)
{
    SettingsSetString(COMMON_SETTINGS_SECTION, key, tag, text);
}

void SetCommonDword(const char* key, const char* tag, DWORD value)
{
    SettingsSetDWORD(COMMON_SETTINGS_SECTION, key, tag, value);
}

std::string GetCommonString(const char* key, const char* tag, const char* def)
{
    std::string value;
    SettingsGetString(COMMON_SETTINGS_SECTION, key, tag, &value, def);
    return value;
}

DWORD GetCommonDword(const char* key, const char* tag, DWORD def)
{
    DWORD value = def;
    SettingsGetDWORD(COMMON_SETTINGS_SECTION, key, tag, &value, def);
    return value;
}

std::string RecentFilesRegistryKey()
{
    return GetCommonString("Application", "CompanyMainRegPath", "") + "\\" +
           GetCommonString("Application", "Title", "") + "\\Recent Document List";
}
