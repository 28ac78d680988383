// Drubeck.dll: the in-process server of the burning frame.
#include "burning_frame.h"
#include <com/server.h>

namespace {

const com::ClassEntry kClasses[] = {
    {&CLSID_CoDrubeck, com::Creator<CCoDrubeck>, "Drubeck.CoDrubeck", "CoDrubeck Class", "Apartment"},
    // Registered only: each frame makes its own sink.
    {&CLSID_CoDeviceCallbackBuffer, nullptr, "Drubeck.CoDeviceCallbackBuffer", "CoDeviceCallbackBuffer Class",
     "Apartment"},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv)
{
    return com::GetClassObject(kClasses, rclsid, riid, ppv);
}

STDAPI DllCanUnloadNow() { return com::CanUnloadNow(); }

STDAPI DllRegisterServer() { return com::RegisterInprocServer(kClasses, true); }

STDAPI DllUnregisterServer() { return com::UnregisterInprocServer(kClasses, true); }
