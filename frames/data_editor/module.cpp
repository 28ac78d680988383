// Nostrine.dll: the data editor frame as an in-process server.
#include "data_editor_frame.h"
#include <com/server.h>

namespace {

const com::ClassEntry kClasses[] = {
    {&CLSID_CoNostrine, ::com::Creator<CCoNostrine>, "Nostrine.CoNostrine", "CoNostrine Class", "Apartment"},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) { return ::com::GetClassObject(kClasses, rclsid, riid, ppv); }
STDAPI DllCanUnloadNow() { return ::com::CanUnloadNow(); }
STDAPI DllRegisterServer() { return ::com::RegisterInprocServer(kClasses, false); }
STDAPI DllUnregisterServer() { return ::com::UnregisterInprocServer(kClasses, false); }
