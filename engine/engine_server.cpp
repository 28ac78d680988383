#include "engine_server.h"
#include "audio/audio_cd_layout.h"
#include "audio/audio_player.h"
#include "command_line.h"
#include "devices/devices.h"
#include "engine_services.h"
#include "file_trees/iso_file_tree.h"
#include <shared/log.h>
#include <com/local_factory.h>
#include <com/local_registration.h>
#include <com/module.h>
#include <engine/engine_stub_pins.h>
#include <objbase.h>
#include <cstdlib>
#include <string>

const DWORD ENGINE_TIMEOUT_MS = 5000;
const DWORD ENGINE_PAUSE_MS = 1000;

namespace {

const GUID APPID_Vokmar = {0x3EBD45AD, 0xAE93, 0x489E, {0xA9, 0xAE, 0x90, 0xAF, 0x69, 0xCB, 0x3D, 0x30}};
const com::LocalServerIdentity kIdentity = {&APPID_Vokmar, "Vokmar", "VOKMAR.EXE"};

const com::LocalClassEntry kClasses[] = {
    {&CLSID_CoDevices, com::SingletonClassObject<CCoDevices>, "Vokmar.CoDevices", "CoDevices Class", "Free"},
    {&CLSID_CoISOFileTree, com::LocalClassObject<CCoISOFileTree>, "Vokmar.CoISOFileTree", "CoISOFileTree Class",
     "Free"},
    {&CLSID_CoAudioCDLayout, com::LocalClassObject<CCoAudioCDLayout>, "Vokmar.CoAudioCDLayout",
     "CoAudioCDLayout Class", "Free"},
    {&CLSID_CoAudioPlayer, com::SingletonClassObject<CCoAudioPlayer>, "Vokmar.CoAudioPlayer",
     "CoAudioPlayer Class", "Free"},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

// The proxy/stub DLL beside the program carries the engine's interfaces
// between processes: it is registered and removed with the classes.
HRESULT RegisterProxyDll(bool add)
{
    char drive[_MAX_DRIVE], dir[_MAX_DIR];
    _splitpath(com::ModulePath(), drive, dir, nullptr, nullptr);
    const std::string path = std::string(drive) + dir + "VokmarPS.dll";
    HMODULE dll = LoadLibraryA(path.c_str());
    if (!dll) return HRESULT_FROM_WIN32(GetLastError());
    using Entry = HRESULT(STDAPICALLTYPE*)();
    auto entry = reinterpret_cast<Entry>(GetProcAddress(dll, add ? "DllRegisterServer" : "DllUnregisterServer"));
    HRESULT hr = entry ? entry() : HRESULT_FROM_WIN32(GetLastError());
    FreeLibrary(dll);
    if (FAILED(hr)) LogFailure(add ? "DllRegisterServer" : "DllUnregisterServer", hr);
    return hr;
}

// The first failure of the two.
HRESULT Either(HRESULT first, HRESULT second) { return FAILED(first) ? first : second; }

int Serve(bool runLoop)
{
    const HRESULT pinned = PinEngineStubs();
    if (FAILED(pinned)) LogFailure("PinEngineStubs", pinned);
    com::LocalServerModule module(ENGINE_TIMEOUT_MS);
    module.StartMonitor();  // without it the engine ends only by WM_CLOSE
    HRESULT hr = module.RegisterClassObjects(kClasses);
    if (FAILED(hr)) LogFailure("RegisterClassObjects", hr);
    int exitCode = 0;
    if (runLoop) exitCode = com::LocalServerModule::RunMessageLoop();
    module.RevokeClassObjects();
    Sleep(ENGINE_PAUSE_MS);
    return exitCode;
}

}  // namespace

int RunEngine(HINSTANCE instance, const char* arguments)
{
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    StartEngineServices(instance);
    int exitCode = 0;
    switch (ParseEngineSwitch(arguments)) {
    case EngineSwitch::UnregServer:
        LogPrintf("Vokmar unregistration");
        exitCode = Either(com::UnregisterLocalServer(kClasses, kIdentity), RegisterProxyDll(false));
        break;
    case EngineSwitch::RegServer:
        LogPrintf("Vokmar registration");
        exitCode = Either(com::RegisterLocalServer(kClasses, kIdentity), RegisterProxyDll(true));
        break;
    case EngineSwitch::Run:
        exitCode = Serve(true);
        break;
    case EngineSwitch::None:
        exitCode = Serve(false);
        break;
    }
    StopEngineServices();
    CoUninitialize();
    return exitCode;
}
