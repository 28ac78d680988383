#include "devices/device_speed_enum.h"
#include <com/guard.h>

HRESULT CCoDeviceSpeedEnum::Make(const std::vector<unsigned>& speeds, IDeviceSpeedEnum** out)
{
    return com::CreateObject<CCoDeviceSpeedEnum>(IID_IDeviceSpeedEnum, reinterpret_cast<void**>(out),
                                                 speeds);
}

STDMETHODIMP CCoDeviceSpeedEnum::Next(unsigned long celt, unsigned int* rgVar, unsigned long* pCeltFetched)
{
    return com::Guarded("CCoDeviceSpeedEnum::Next", [&]() -> HRESULT {
        if (!rgVar && celt) return E_POINTER;
        com::ObjectLock<CCoDeviceSpeedEnum> lock(this);
        unsigned long fetched = 0;
        while (fetched < celt && m_position < m_speeds.size()) rgVar[fetched++] = m_speeds[m_position++];
        if (pCeltFetched) *pCeltFetched = fetched;
        return fetched == celt ? S_OK : S_FALSE;
    });
}

STDMETHODIMP CCoDeviceSpeedEnum::Skip(unsigned long celt)
{
    return com::Guarded("CCoDeviceSpeedEnum::Skip", [&]() -> HRESULT {
        com::ObjectLock<CCoDeviceSpeedEnum> lock(this);
        size_t left = m_speeds.size() - m_position;
        if (celt > left) {
            m_position = m_speeds.size();
            return S_FALSE;
        }
        m_position += celt;
        return S_OK;
    });
}

STDMETHODIMP CCoDeviceSpeedEnum::Reset()
{
    return com::Guarded("CCoDeviceSpeedEnum::Reset", [&]() -> HRESULT {
        com::ObjectLock<CCoDeviceSpeedEnum> lock(this);
        m_position = 0;
        return S_OK;
    });
}

STDMETHODIMP CCoDeviceSpeedEnum::Clone(IDeviceSpeedEnum** ppEnum)
{
    return com::Guarded("CCoDeviceSpeedEnum::Clone", [&]() -> HRESULT {
        if (!ppEnum) return E_POINTER;
        com::ObjectLock<CCoDeviceSpeedEnum> lock(this);
        return com::CreateObject<CCoDeviceSpeedEnum>(IID_IDeviceSpeedEnum, reinterpret_cast<void**>(ppEnum),
                                                     m_speeds, m_position);
    });
}
