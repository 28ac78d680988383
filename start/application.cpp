#include "application.h"
#include "app_paths.h"
#include "apptype_file.h"
#include "common_settings.h"
#include "service_refs.h"
#include <com/bstr.h>
#include <com/module.h>
#include <shared/services.h>

const char* const MAIN_FRAME_CLASS = "TessalyWindowClassT";
const char* const ENGINE_WINDOW_CLASS = "DevicesWindow";

namespace {

template <class T>
T* CreateService(REFCLSID clsid, REFIID iid, const char* failure)
{
    T* service = nullptr;
    if (FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, iid, reinterpret_cast<void**>(&service))) ||
        !service)
        throw CStartupError(failure);
    return service;
}

}  // namespace

CApplication::CApplication(HINSTANCE instance)
{
    if (!instance || !com::ModuleInstance()) throw CStartupError("Main module initialization error. Startup failed.");
    CreateServices();
    FindIdentity();
    InitFiles(instance);
    PublishSettings();
}

CApplication::~CApplication()
{
    CloseEngineIfLastInstance();
    ReleaseServices();
}

void CApplication::CreateServices()
{
    PublishLogger(CreateService<ILogger>(CLSID_CoLogger, IID_ILogger, "Logger creation error. Startup failed."));
    PublishTranslator(CreateService<ITranslator>(CLSID_CoTranslator, IID_ITranslator,
                                                 "Translator creation error. Startup failed."));
    ::PublishSettings(CreateService<ISettings>(CLSID_CoSettings, IID_ISettings,
                                             "Settings creation error. Startup failed."));
}

void CApplication::FindIdentity()
{
    if (!FindProgramFolder(&m_programFolder)) throw CStartupError("Program path not found. Startup failed.");
    if (!FindApplicationName(m_programFolder, &m_name))
        throw CStartupError("Program type information not found. Startup failed.");
    m_dataFolder = ::DataFolder(m_programFolder, m_name);
}

void CApplication::InitFiles(HINSTANCE instance)
{
    g_compLogger->Init(com::Bstr(m_dataFolder + m_name + ".log"));
    if (SUCCEEDED(g_compTranslator->Init(com::Bstr(m_dataFolder + m_name + ".lng"))))
        g_compTranslator->GulpResources(reinterpret_cast<ULONG_PTR>(instance), com::Bstr(COMMON_LANG_SECTION));
    g_compSettings->Init(com::Bstr(m_dataFolder + m_name + ".cfg"));
}

void CApplication::PublishSettings()
{
    const std::string companyPath = std::string("SOFTWARE\\") + MAKER_NAME;
    SetCommonString("Application", "Title", m_name.c_str());
    SetCommonString("Application", "CompanyMainRegPath", companyPath.c_str());
    SetCommonString("Application", "RegProjectsSubkey", (companyPath + "\\" + m_name + "\\Projects").c_str());
    SetCommonString("Application", "Path", (m_programFolder + "\\").c_str());
    SetCommonString("Application", "CommonFilesPath", m_dataFolder.c_str());
    CApptypeFile(m_programFolder + "\\" + m_name + ".apptype", m_name).CopyToSettings();
}

void CApplication::SetCommonString(const char* key, const char* tag, const char* text)
{
    ::SetCommonString(key, tag, text);
}

void CApplication::SetCommonDword(const char* key, const char* tag, DWORD value) { ::SetCommonDword(key, tag, value); }

void CloseEngineIfLastInstance()
{
    if (::FindWindowA(MAIN_FRAME_CLASS, nullptr)) return;
    HWND engine = ::FindWindowA(ENGINE_WINDOW_CLASS, nullptr);
    if (!engine) return;
    // A hung engine must not hold the program's end for ever.
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(engine, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 10000, &result);
}
