// A benchmark's hold on one drive of the engine: the device found by its
// letter, its writer and reader, and the burn sink advised on it until the
// hold ends.
#pragma once
#include "burn_sink.h"
#include <engine.h>
#include <com/object.h>
#include <com/ptr.h>
#include <cstdio>

namespace bench {

class CDeviceClient {
public:
    ~CDeviceClient()
    {
        if (m_cookie) m_point->Unadvise(m_cookie);
    }
    // False, with a line on stderr, when a step fails.
    bool Open(char letter)
    {
        return Check(m_devices.CoCreate(CLSID_CoDevices, IID_IDevices, CLSCTX_LOCAL_SERVER), "CoDevices") &&
               Check(m_devices->GetDeviceByDriveLetter(letter, &m_device), "GetDeviceByDriveLetter") &&
               Check(m_device.As(IID_IWriter, &m_writer), "IWriter") &&
               Check(m_device.As(IID_IReader, &m_reader), "IReader") &&
               Check(m_device.As(IID_IConnectionPointContainer, &m_container), "IConnectionPointContainer") &&
               Check(m_container->FindConnectionPoint(IID__IMessageCallback, &m_point), "FindConnectionPoint") &&
               Check(com::CreateObject<CBurnSink>(IID__IMessageCallback, reinterpret_cast<void**>(&m_sinkItf)),
                     "sink") &&
               Check(m_point->Advise(m_sinkItf, &m_cookie), "Advise");
    }
    IWriter* Writer() const { return m_writer.Get(); }
    IReader* Reader() const { return m_reader.Get(); }
    CBurnSink* Sink() const { return static_cast<CBurnSink*>(m_sinkItf.Get()); }

    static bool Check(HRESULT hr, const char* what)
    {
        if (SUCCEEDED(hr)) return true;
        std::fprintf(stderr, "%s failed: 0x%08lX\n", what, static_cast<unsigned long>(hr));
        return false;
    }

private:
    com::ComPtr<IDevices> m_devices;
    com::ComPtr<IDevice> m_device;
    com::ComPtr<IWriter> m_writer;
    com::ComPtr<IReader> m_reader;
    com::ComPtr<IConnectionPointContainer> m_container;
    com::ComPtr<IConnectionPoint> m_point;
    com::ComPtr<_IMessageCallback> m_sinkItf;
    DWORD m_cookie = 0;
};

}  // namespace bench
