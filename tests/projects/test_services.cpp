#include "test_services.h"
#include <message_box.h>
#include <shared/services.h>
#include <com/bstr.h>

STDMETHODIMP CTestLogger::LogEvent(BSTR text)
{
    lines.push_back(com::AnsiFromBstr(text));
    return S_OK;
}

bool CTestLogger::Logged(const std::string& text) const
{
    for (const std::string& line : lines)
        if (line.find(text) != std::string::npos) return true;
    return false;
}

STDMETHODIMP CTestTranslator::GetLangStr(BSTR section, unsigned long id, BSTR* result)
{
    if (!result) return E_POINTER;
    std::string name = com::AnsiFromBstr(section);
    auto it = texts.find({name, id});
    if (it != texts.end()) {
        *result = com::BstrFromAnsi(it->second);
        return S_OK;
    }
    auto module = gulped.find(name);
    char text[1024];
    if (module != gulped.end() && LoadStringA(module->second, id, text, sizeof text) > 0) {
        *result = com::BstrFromAnsi(text);
        return S_OK;
    }
    return E_FAIL;
}

STDMETHODIMP CTestTranslator::GulpResources(ULONG_PTR module, BSTR section)
{
    gulped[com::AnsiFromBstr(section)] = reinterpret_cast<HMODULE>(module);
    return S_OK;
}

STDMETHODIMP CTestTranslator::MessageBox(unsigned long* result, unsigned long type, VARIANT caption,
                                          VARIANT message, VARIANT)
{
    Box box = {type, caption.vt == VT_BSTR ? com::AnsiFromBstr(caption.bstrVal) : "",
               message.vt == VT_BSTR ? com::AnsiFromBstr(message.bstrVal) : ""};
    boxes.push_back(box);
    if (whileOpen) whileOpen(box);
    unsigned long answer = MBX_CANCEL;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    if (result) *result = answer;
    return S_OK;
}

std::string CTestSettings::Address(BSTR section, BSTR key, BSTR tag)
{
    return com::AnsiFromBstr(section) + "/" + com::AnsiFromBstr(key) + "/" + com::AnsiFromBstr(tag);
}

STDMETHODIMP CTestSettings::GetDWORD(BSTR section, BSTR key, BSTR tag, unsigned long* value, unsigned long def)
{
    auto it = values.find(Address(section, key, tag));
    *value = it == values.end() ? def : std::stoul(it->second);
    return it == values.end() ? E_INVALIDARG : S_OK;
}

STDMETHODIMP CTestSettings::GetString(BSTR section, BSTR key, BSTR tag, BSTR* value, BSTR def)
{
    auto it = values.find(Address(section, key, tag));
    *value = it == values.end() ? (def ? SysAllocString(def) : nullptr) : com::BstrFromAnsi(it->second);
    return it == values.end() ? E_INVALIDARG : S_OK;
}

STDMETHODIMP CTestSettings::GetDouble(BSTR, BSTR, BSTR, double* value, double def)
{
    *value = def;
    return E_INVALIDARG;
}

STDMETHODIMP CTestSettings::SetDWORD(BSTR section, BSTR key, BSTR tag, unsigned long value)
{
    values[Address(section, key, tag)] = std::to_string(value);
    return S_OK;
}

STDMETHODIMP CTestSettings::SetString(BSTR section, BSTR key, BSTR tag, BSTR value)
{
    values[Address(section, key, tag)] = com::AnsiFromBstr(value);
    return S_OK;
}

std::string TestAppTitle()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string name = path;
    name = name.substr(name.find_last_of("\\/") + 1);
    return "ProjectTest_" + name.substr(0, name.rfind('.'));
}

TestServices::TestServices()
{
    com::CreateObjectImpl<CTestLogger>(&logger);
    com::CreateObjectImpl<CTestTranslator>(&translator);
    com::CreateObjectImpl<CTestSettings>(&settings);
    settings->values["_00000000-0000-0000-C000-000000000046_/ApptypeData/Title"] = "Tavell Burner Test";
    settings->values["_00000000-0000-0000-C000-000000000046_/Application/Title"] = TestAppTitle();
    settings->values["_00000000-0000-0000-C000-000000000046_/Application/CompanyMainRegPath"] =
        "SOFTWARE\\Tavell software";
    BindServicePointer(static_cast<ILogger*>(logger), IID_ILogger, reinterpret_cast<void**>(&g_compLogger));
    BindServicePointer(static_cast<ITranslator*>(translator), IID_ITranslator,
                       reinterpret_cast<void**>(&g_compTranslator));
    BindServicePointer(static_cast<ISettings*>(settings), IID_ISettings, reinterpret_cast<void**>(&g_compSettings));
}

TestServices::~TestServices()
{
    BindServicePointer(nullptr, IID_ILogger, reinterpret_cast<void**>(&g_compLogger));
    BindServicePointer(nullptr, IID_ITranslator, reinterpret_cast<void**>(&g_compTranslator));
    BindServicePointer(nullptr, IID_ISettings, reinterpret_cast<void**>(&g_compSettings));
    logger->Release();
    translator->Release();
    settings->Release();
}
