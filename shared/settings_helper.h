// CSettingsHelper: settings under the component's own section (or the
// common one), and the system message box with the application's title.
#pragma once
#include "services.h"
#include "guid_text.h"
#include <string>

// Reads and writes through g_compSettings; without it, reads give the default.
HRESULT SettingsGetDWORD(const std::string& section, const char* key, const char* tag,
                         DWORD* value, DWORD def);
HRESULT SettingsGetString(const std::string& section, const char* key, const char* tag,
                          std::string* value, const char* def);
HRESULT SettingsGetDouble(const std::string& section, const char* key, const char* tag,
                          double* value, double def);
HRESULT SettingsSetDWORD(const std::string& section, const char* key, const char* tag, DWORD value);
HRESULT SettingsSetString(const std::string& section, const char* key, const char* tag,
                          const char* value);
HRESULT SettingsSetDouble(const std::string& section, const char* key, const char* tag, double value);

// The application's title: common section, key "ApptypeData", tag "Title".
std::string ApplicationTitle();
// The system message box with the application's title as caption.
int TitledMessageBox(HWND owner, const char* text, UINT type);
// The Common message box (IMessenger of the bound translator) with the
// application's title as caption: `type` holds MBX_* bits, and exactly the
// buttons they name are shown. The result bits of the button pressed
// (MBX_CHECKBOX added when the box was checked); 0 when no box can be shown.
unsigned long CommonMessageBox(const std::string& text, unsigned long type, const std::string& checkText = "");

template <class T, const CLSID* Clsid>
class CSettingsHelper {
public:
    static std::string GetSettingsSection() { return GuidToSectionName(*Clsid); }

    static HRESULT GetDWORD(const char* key, const char* tag, DWORD* value, DWORD def)
    {
        return SettingsGetDWORD(GetSettingsSection(), key, tag, value, def);
    }
    static HRESULT GetString(const char* key, const char* tag, std::string* value, const char* def)
    {
        return SettingsGetString(GetSettingsSection(), key, tag, value, def);
    }
    static HRESULT GetDouble(const char* key, const char* tag, double* value, double def)
    {
        return SettingsGetDouble(GetSettingsSection(), key, tag, value, def);
    }
    static HRESULT SetDWORD(const char* key, const char* tag, DWORD value)
    {
        return SettingsSetDWORD(GetSettingsSection(), key, tag, value);
    }
    static HRESULT SetString(const char* key, const char* tag, const char* value)
    {
        return SettingsSetString(GetSettingsSection(), key, tag, value);
    }
    static HRESULT SetDouble(const char* key, const char* tag, double value)
    {
        return SettingsSetDouble(GetSettingsSection(), key, tag, value);
    }

    static int MessageBox(HWND owner, const char* text, UINT type)
    {
        return TitledMessageBox(owner, text, type);
    }
};
