#include "engine_services.h"
#include <shared/folders.h>
#include <shared/log.h>
#include <shared/services.h>
#include <com/bstr.h>
#include <com/module.h>
#include <com/ptr.h>
#include <cstdlib>

std::string EngineLogPath()
{
    const std::string folder = EngineDataFolder();
    EnsureFolderExists(folder);
    return folder + "\\Vokmar.log";
}

std::string EngineLanguagePath()
{
    char drive[_MAX_DRIVE], dir[_MAX_DIR];
    _splitpath(com::ModulePath(), drive, dir, nullptr, nullptr);
    return std::string(drive) + dir + "Vokmar.lng";
}

void StartEngineServices(HINSTANCE instance)
{
    com::ComPtr<ILogger> logger;
    if (SUCCEEDED(CoCreateInstance(CLSID_CoLogger, nullptr, CLSCTX_ALL, IID_ILogger,
                                   reinterpret_cast<void**>(&logger)))) {
        logger->Init(com::Bstr(EngineLogPath()));
        g_compLogger = logger.Detach();
        LogPrintf("Logger initialized");
    }
    com::ComPtr<ITranslator> translator;
    if (SUCCEEDED(CoCreateInstance(CLSID_CoTranslator, nullptr, CLSCTX_ALL, IID_ITranslator,
                                   reinterpret_cast<void**>(&translator)))) {
        if (SUCCEEDED(translator->Init(com::Bstr(EngineLanguagePath()))))
            translator->GulpResources(reinterpret_cast<ULONG_PTR>(instance), com::Bstr(COMMON_LANG_SECTION));
        g_compTranslator = translator.Detach();
        LogPrintf("Translator initialized");
    }
}

void StopEngineServices()
{
    LogPrintf("Logger shutdown");
    ReleaseServicePointers();
}
