#include "engine_connection.h"
#include "engine.h"
#include <com/ptr.h>
#include <ocidl.h>

namespace {

HRESULT FindPoint(IUnknown* object, IConnectionPoint** point)
{
    if (!object) return E_POINTER;
    com::ComPtr<IConnectionPointContainer> container;
    HRESULT hr = object->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    if (FAILED(hr)) return hr;
    return container->FindConnectionPoint(IID__IMessageCallback, point);
}

}  // namespace

HRESULT AdviseEngineEvents(IUnknown* object, IUnknown* sink, DWORD* cookie)
{
    if (!cookie) return E_POINTER;
    *cookie = 0;
    com::ComPtr<IConnectionPoint> point;
    HRESULT hr = FindPoint(object, &point);
    if (FAILED(hr)) return hr;
    hr = point->Advise(sink, cookie);
    if (FAILED(hr)) *cookie = 0;
    return hr;
}

HRESULT UnadviseEngineEvents(IUnknown* object, DWORD* cookie)
{
    if (!cookie || !*cookie) return S_FALSE;
    const DWORD held = *cookie;
    *cookie = 0;
    com::ComPtr<IConnectionPoint> point;
    HRESULT hr = FindPoint(object, &point);
    return SUCCEEDED(hr) ? point->Unadvise(held) : hr;
}
