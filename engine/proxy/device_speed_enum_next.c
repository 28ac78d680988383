/* IDeviceSpeedEnum::Next across processes, as the standard enumerators do:
   the caller's local Next travels as RemoteNext, which always carries the
   fetched count, so a caller may pass none when it asks for one speed. */
#include <engine.h>

HRESULT CALLBACK IDeviceSpeedEnum_Next_Proxy(IDeviceSpeedEnum* This, ULONG celt, unsigned int* rgVar,
                                             ULONG* pCeltFetched)
{
    ULONG fetched = 0;
    if (!pCeltFetched) pCeltFetched = &fetched;
    return IDeviceSpeedEnum_RemoteNext_Proxy(This, celt, rgVar, pCeltFetched);
}

HRESULT __RPC_STUB IDeviceSpeedEnum_Next_Stub(IDeviceSpeedEnum* This, ULONG celt, unsigned int* rgVar,
                                              ULONG* pCeltFetched)
{
    HRESULT hr;
    *pCeltFetched = 0;
    hr = This->lpVtbl->Next(This, celt, rgVar, pCeltFetched);
    /* An enumerator that fills all it was asked for may leave the count. */
    if (hr == S_OK) *pCeltFetched = celt;
    return hr;
}
