#include "drive_chooser.h"
#include "engine_connection.h"
#include <com/bstr.h>
#include <cstdio>

HRESULT CDriveChooser::Bind()
{
    com::ComPtr<IUnknown> engine;
    HRESULT hr = engine.CoCreate(CLSID_CoDevices, IID_IUnknown,
                                 CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER);
    if (FAILED(hr)) return hr;
    hr = engine.As(IID_IDevices, &m_devices);
    if (FAILED(hr)) return hr;
    hr = CCoDeviceCallbackBuffer::CreateInstance(&m_sink);
    if (FAILED(hr)) return hr;
    return AdviseEngineEvents(m_devices, m_sink, &m_devicesAdviseCookie);
}

void CDriveChooser::Attach(HWND driveList, HWND speedList, CLogList* log)
{
    m_driveList = driveList;
    m_speedList = speedList;
    m_log = log;
}

void CDriveChooser::Release()
{
    if (m_sink) m_sink->SetTarget(nullptr);
    if (m_device) UnadviseEngineEvents(m_device, &m_deviceAdviseCookie);
    if (m_devices) UnadviseEngineEvents(m_devices, &m_devicesAdviseCookie);
    m_sink.Reset();
    m_device.Reset();
    m_devices.Reset();
}

void CDriveChooser::Log(UINT id)
{
    if (m_log) m_log->Add(m_text(id).c_str());
}

void CDriveChooser::FillDriveList(bool writableFirst)
{
    ::SendMessageA(m_driveList, CB_RESETCONTENT, 0, 0);
    if (!m_devices || !m_log) return;
    Log(m_texts.searching);
    unsigned int count = 0;
    if (FAILED(m_devices->GetDeviceCount(&count))) {
        Log(m_texts.notFound);
        return;
    }
    m_log->Printf("%s: %i", m_text(m_texts.found).c_str(), static_cast<int>(count));
    int writable = -1;
    for (unsigned int i = 0; i < count; ++i) {
        com::ComPtr<IDevice> device;
        if (FAILED(m_devices->GetDevice(i, &device))) continue;
        com::Bstr name;
        unsigned int id = 0;
        device->GetDeviceName(&name);
        device->GetDeviceID(&id);
        m_log->Printf("        %s", name.Ansi().c_str());
        int item = static_cast<int>(::SendMessageA(m_driveList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.Ansi().c_str())));
        if (item < 0) continue;
        ::SendMessageA(m_driveList, CB_SETITEMDATA, item, id);
        unsigned long canWrite = 0;
        if (writableFirst && writable < 0 && SUCCEEDED(device->DeviceCanWrite(&canWrite)) && canWrite) writable = item;
    }
    ::SendMessageA(m_driveList, CB_SETCURSEL, writable >= 0 ? writable : 0, 0);
}

bool CDriveChooser::ChangeDrive()
{
    if (m_device) UnadviseEngineEvents(m_device, &m_deviceAdviseCookie);
    const int item = static_cast<int>(::SendMessageA(m_driveList, CB_GETCURSEL, 0, 0));
    com::ComPtr<IDevice> found;
    const bool changed =
        item >= 0 && m_devices &&
        SUCCEEDED(m_devices->GetDeviceByID(static_cast<unsigned int>(::SendMessageA(m_driveList, CB_GETITEMDATA, item, 0)),
                                           &found));
    if (changed) {
        m_device = found;
        com::Bstr name;
        m_device->GetDeviceName(&name);
        if (m_log) m_log->Printf("%s: %s", m_text(m_texts.selected).c_str(), name.Ansi().c_str());
    }
    AdviseDrive();
    FillSpeedList();
    return changed;
}

void CDriveChooser::AdviseDrive()
{
    if (m_device && !m_deviceAdviseCookie) AdviseEngineEvents(m_device, m_sink, &m_deviceAdviseCookie);
}

void CDriveChooser::DropDrive()
{
    if (m_device) UnadviseEngineEvents(m_device, &m_deviceAdviseCookie);
    m_device.Reset();
}

std::string CDriveChooser::SpeedText(unsigned long speed) const
{
    com::Bstr factor;
    if (m_device) m_device->Speed_KBPS2X(speed, &factor);
    char text[128];
    std::snprintf(text, sizeof(text), "%sX (%i kbps)", factor.Ansi().c_str(), static_cast<int>(speed));
    return text;
}

void CDriveChooser::FillSpeedList()
{
    ::SendMessageA(m_speedList, CB_RESETCONTENT, 0, 0);
    com::ComPtr<IDeviceSpeedEnum> reads, writes;
    int added = 0;
    IDeviceSpeedEnum* speeds = nullptr;
    if (m_device && SUCCEEDED(m_device->GetDeviceSpeeds(&reads, &writes)))
        speeds = m_speeds == Speeds::Read ? reads.Get() : writes.Get();
    if (speeds && m_log) {
        m_log->Printf("%s:", m_text(m_texts.existingSpeeds).c_str());
        unsigned int speed = 0;
        unsigned long fetched = 0;
        while (speeds->Next(1, &speed, &fetched) == S_OK && fetched == 1) {
            const std::string text = SpeedText(speed);
            m_log->Printf("        %s", text.c_str());
            int item = static_cast<int>(::SendMessageA(m_speedList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
            if (item >= 0) ::SendMessageA(m_speedList, CB_SETITEMDATA, item, speed), ++added;
        }
    }
    const std::string last = m_text(added ? m_texts.max : m_texts.none);
    int item = static_cast<int>(::SendMessageA(m_speedList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(last.c_str())));
    ::SendMessageA(m_speedList, CB_SETITEMDATA, item, added ? 0xFFFF : 0);
    ::SendMessageA(m_speedList, CB_SETCURSEL, item, 0);
}

unsigned long CDriveChooser::SelectedSpeed() const
{
    const LRESULT item = ::SendMessageA(m_speedList, CB_GETCURSEL, 0, 0);
    return item < 0 ? 0 : static_cast<unsigned long>(::SendMessageA(m_speedList, CB_GETITEMDATA, item, 0));
}

int CDriveChooser::FindDriveItem(unsigned int id) const
{
    const int count = static_cast<int>(::SendMessageA(m_driveList, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (static_cast<unsigned int>(::SendMessageA(m_driveList, CB_GETITEMDATA, i, 0)) == id) return i;
    return -1;
}

bool CDriveChooser::DriveCanWrite() const
{
    unsigned long canWrite = 0;
    return m_device && SUCCEEDED(m_device->DeviceCanWrite(&canWrite)) && canWrite;
}

bool CDriveChooser::DriveBusy() const
{
    unsigned int busy = 0;
    return m_device && SUCCEEDED(m_device->GetDeviceBusy(&busy)) && busy;
}

void CDriveChooser::OnDeviceArrived(unsigned int id)
{
    if (!m_devices || m_devices->IsInitialized() != S_OK) return;
    // The first scan's arrivals may come after the list was filled.
    if (FindDriveItem(id) >= 0) return;
    com::ComPtr<IDevice> device;
    if (FAILED(m_devices->GetDeviceByID(id, &device))) return;
    com::Bstr name;
    device->GetDeviceName(&name);
    if (m_log) m_log->Printf("%s: %s", m_text(m_texts.arrived).c_str(), name.Ansi().c_str());
    const bool hadSelection = ::SendMessageA(m_driveList, CB_GETCURSEL, 0, 0) >= 0;
    int item = static_cast<int>(::SendMessageA(m_driveList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.Ansi().c_str())));
    if (item < 0) return;
    ::SendMessageA(m_driveList, CB_SETITEMDATA, item, id);
    if (hadSelection || m_device) return;
    m_device = device;
    AdviseDrive();
    ::SendMessageA(m_driveList, CB_SETCURSEL, item, 0);
    FillSpeedList();
}

void CDriveChooser::OnDeviceRemoved(unsigned int id)
{
    const int item = FindDriveItem(id);
    if (item < 0) return;
    char text[512] = "";
    if (::SendMessageA(m_driveList, CB_GETLBTEXTLEN, item, 0) < static_cast<LRESULT>(sizeof(text)))
        ::SendMessageA(m_driveList, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text));
    if (m_log) m_log->Printf("%s: %s", m_text(m_texts.removed).c_str(), text);
    if (::SendMessageA(m_driveList, CB_GETCURSEL, 0, 0) == item) {
        DropDrive();
        ::SendMessageA(m_driveList, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        FillSpeedList();
    }
    ::SendMessageA(m_driveList, CB_DELETESTRING, item, 0);
}
