#include "settings_helper.h"
#include <com/bstr.h>
#include <com/ptr.h>

using com::Bstr;

HRESULT SettingsGetDWORD(const std::string& section, const char* key, const char* tag,
                         DWORD* value, DWORD def)
{
    *value = def;
    if (!g_compSettings) return E_FAIL;
    unsigned long v = def;
    HRESULT hr = g_compSettings->GetDWORD(Bstr(section), Bstr(key), Bstr(tag), &v, def);
    *value = v;
    return hr;
}

HRESULT SettingsGetString(const std::string& section, const char* key, const char* tag,
                          std::string* value, const char* def)
{
    *value = def ? def : "";
    if (!g_compSettings) return E_FAIL;
    Bstr v;
    HRESULT hr = g_compSettings->GetString(Bstr(section), Bstr(key), Bstr(tag), &v, Bstr(def));
    if (v.Get()) *value = v.Ansi();
    return hr;
}

HRESULT SettingsGetDouble(const std::string& section, const char* key, const char* tag,
                          double* value, double def)
{
    *value = def;
    if (!g_compSettings) return E_FAIL;
    return g_compSettings->GetDouble(Bstr(section), Bstr(key), Bstr(tag), value, def);
}

HRESULT SettingsSetDWORD(const std::string& section, const char* key, const char* tag, DWORD value)
{
    if (!g_compSettings) return E_FAIL;
    return g_compSettings->SetDWORD(Bstr(section), Bstr(key), Bstr(tag), value);
}

HRESULT SettingsSetString(const std::string& section, const char* key, const char* tag,
                          const char* value)
{
    if (!g_compSettings) return E_FAIL;
    return g_compSettings->SetString(Bstr(section), Bstr(key), Bstr(tag), Bstr(value));
}

HRESULT SettingsSetDouble(const std::string& section, const char* key, const char* tag, double value)
{
    if (!g_compSettings) return E_FAIL;
    return g_compSettings->SetDouble(Bstr(section), Bstr(key), Bstr(tag), value);
}

std::string ApplicationTitle()
{
    std::string title;
    SettingsGetString(COMMON_SETTINGS_SECTION, "ApptypeData", "Title", &title, "");
    return title;
}

int TitledMessageBox(HWND owner, const char* text, UINT type)
{
    return MessageBoxA(owner, text, ApplicationTitle().c_str(), type);
}

unsigned long CommonMessageBox(const std::string& text, unsigned long type, const std::string& checkText)
{
    com::ComPtr<IMessenger> messenger;
    if (!g_compTranslator ||
        FAILED(g_compTranslator->QueryInterface(IID_IMessenger, reinterpret_cast<void**>(&messenger))))
        return 0;
    Bstr caption(ApplicationTitle()), message(text), check(checkText);
    VARIANT captionValue, messageValue, checkValue;
    VariantInit(&captionValue);
    VariantInit(&messageValue);
    VariantInit(&checkValue);
    captionValue.vt = messageValue.vt = checkValue.vt = VT_BSTR;
    captionValue.bstrVal = caption;
    messageValue.bstrVal = message;
    checkValue.bstrVal = check;
    unsigned long result = 0;
    if (FAILED(messenger->MessageBox(&result, type, captionValue, messageValue, checkValue))) return 0;
    return result;
}
