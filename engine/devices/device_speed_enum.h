// CCoDeviceSpeedEnum: an enumerator over a copy of a device's speed table,
// so that a rescan of the device cannot change it under the client.
#pragma once
#include <engine.h>
#include <com/external_connection.h>
#include <com/object.h>
#include <vector>

class CCoDeviceSpeedEnum : public com::ObjectRoot<com::MultiThreadModel>,
                           public IDeviceSpeedEnum,
                           public com::ExternalConnection {
public:
    COM_INTERFACES_BEGIN(CCoDeviceSpeedEnum)
        COM_INTERFACE(IDeviceSpeedEnum)
        COM_INTERFACE(IExternalConnection)
    COM_INTERFACES_END()

    CCoDeviceSpeedEnum(std::vector<unsigned> speeds, size_t position = 0)
        : m_speeds(std::move(speeds)), m_position(position) {}

    static HRESULT Make(const std::vector<unsigned>& speeds, IDeviceSpeedEnum** out);

    STDMETHODIMP Next(unsigned long celt, unsigned int* rgVar, unsigned long* pCeltFetched) override;
    STDMETHODIMP Skip(unsigned long celt) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IDeviceSpeedEnum** ppEnum) override;

private:
    std::vector<unsigned> m_speeds;
    size_t m_position;
};
