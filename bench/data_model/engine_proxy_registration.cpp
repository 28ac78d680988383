#include "engine_proxy_registration.h"
#include "engine.h"
#include <com/ptr.h>

namespace {

// VokmarPS.dll's own class identifier.
const CLSID CLSID_EngineProxyStub = {0x10dad25d, 0x6093, 0x4d37, {0x8e, 0x1d, 0xe7, 0x08, 0x2a, 0xdd, 0xb9, 0xe8}};

const IID* const ENGINE_INTERFACES[] = {
    &IID__IMessageCallback, &IID_IDeviceSpeedEnum, &IID_IEnumULONG, &IID_IDevices,     &IID_IObjectCreator,
    &IID_IDevice,           &IID_IWriter,          &IID_IWriter2,   &IID_IReader,      &IID_IMedium,
    &IID_ITrack,            &IID_IFileTreeNode,    &IID_IFileTree,  &IID_IAudioTrack,  &IID_IAudioCDLayout,
    &IID_ICoAudioPlayer,
};

}  // namespace

HRESULT RegisterEngineProxies()
{
    com::ComPtr<IUnknown> factory;
    HRESULT hr = CoGetClassObject(CLSID_EngineProxyStub, CLSCTX_INPROC_SERVER, nullptr, IID_IUnknown,
                                  reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return hr;
    DWORD cookie = 0;
    hr = CoRegisterClassObject(CLSID_EngineProxyStub, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie);
    for (const IID* iid : ENGINE_INTERFACES)
        if (SUCCEEDED(hr)) hr = CoRegisterPSClsid(*iid, CLSID_EngineProxyStub);
    return hr;
}
