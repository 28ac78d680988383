#include "devices/devices.h"
#include "audio/audio_cd_layout.h"
#include <com/guard.h>
#include "engine_services.h"
#include <shared/folders.h>
#include <shared/method_log.h>
#include <shared/log.h>
#include <algorithm>

namespace {

const UINT_PTR POLL_TIMER = 1;
// The disc layer's stamps are files: Wine broadcasts no device change for
// its drives, so the main thread looks at them this often.
const UINT POLL_MS = 500;

uint32_t FindDevicesCallback(uint32_t reason, void* context, void* param1, void*)
{
    CLogFunctionScope log("FindDevicesCallback");
    if (reason != DISC_CB_DEVICE_FOUND || !param1) return 0;
    const auto* a = static_cast<const DiscDeviceAddress*>(param1);
    LogPrintf("\tDevice found: %i:%i:%i:%i", a->port, a->bus, a->target, a->lun);
    static_cast<std::vector<unsigned>*>(context)->push_back(
        a->port | a->bus << 8 | a->target << 16 | static_cast<unsigned>(a->lun) << 24);
    return 0;
}

// Takes the ids that are in both lists out of both.
void RemoveCommon(std::vector<unsigned>& found, std::vector<unsigned>& known)
{
    for (size_t i = 0; i < found.size();) {
        auto at = std::find(known.begin(), known.end(), found[i]);
        if (at == known.end()) {
            ++i;
            continue;
        }
        known.erase(at);
        found.erase(found.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void LogAddress(const char* format, unsigned id)
{
    LogPrintf(format, id & 0xFF, (id >> 8) & 0xFF, (id >> 16) & 0xFF, id >> 24);
}

}  // namespace

HRESULT CCoDevices::FinalConstruct()
{
    CLogMethodScope<CCoDevices> log("FinalConstruct");
    // Made with its class object on the main thread, which serves the window.
    m_window = CDevicesWindow::Create(this);
    if (!m_window) return E_FAIL;
    m_devices.reserve(6);
    InterlockedExchange(&m_initialized, 0);
    char text[1024] = "";
    uint32_t systemError = 0;
    int code = DiscLayer_Startup(EngineDataFolder().c_str(), text, sizeof(text), &systemError);
    LogPrintf("\tInitializing Vokmar\t%s", code == DISC_OK ? "OK" : "Failed");
    if (LogDiscFailure(code, DISC_OP_STARTUP, text) != DISC_OK) return E_FAIL;
    m_started = true;
    // Kept: the list waits for the scan before it shuts the disc layer down.
    m_firstScan = CreateThread(nullptr, 0, FirstScanThread, this, 0, nullptr);
    if (!m_firstScan) return E_FAIL;
    SetTimer(WindowHandle(), POLL_TIMER, POLL_MS, nullptr);
    return S_OK;
}

void CCoDevices::FinalRelease()
{
    CLogMethodScope<CCoDevices> log("FinalRelease");
    WaitForFirstScan();
    if (WindowHandle()) KillTimer(WindowHandle(), POLL_TIMER);
    if (m_window) m_window->Destroy();
    m_window = nullptr;
    {
        com::ObjectLock<CCoDevices> lock(this);
        m_devices.clear();
    }
    if (m_started) {
        char text[1024] = "";
        uint32_t systemError = 0;
        LogDiscFailure(DiscLayer_Shutdown(text, sizeof(text), &systemError), DISC_OP_SHUTDOWN, text);
    }
}

DWORD WINAPI CCoDevices::FirstScanThread(void* self)
{
    auto* devices = static_cast<CCoDevices*>(self);
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    devices->ReScanDevices();
    InterlockedExchange(&devices->m_initialized, 1);
    devices->QueueEvent(DM_DEVICESSCANNED, 0, 0);
    CoUninitialize();
    return 0;
}

void CCoDevices::WaitForFirstScan()
{
    if (!m_firstScan) return;
    WaitForSingleObject(m_firstScan, INFINITE);
    CloseHandle(m_firstScan);
    m_firstScan = nullptr;
}

void CCoDevices::ReScanDevices()
{
    CLogMethodScope<CCoDevices> log("_ReScanDevices");
    com::AutoLock scan(m_scanLock);
    // The tray icon shows the scan; posted, as the first scan has a thread of its own.
    if (WindowHandle()) PostMessageA(WindowHandle(), WM_TRAY_SCAN_STATE, 1, 0);
    // Read before the scan: a change during it shows at the next poll.
    uint32_t stamp = DiscLayer_GetChangeStamp();
    std::vector<unsigned> found, known;
    LogPrintf("\tTry to found CD/DVD devices...");
    const uint32_t count = DiscLayer_FindDevices(5, 0, FindDevicesCallback, &found);
    LogPrintf("\tCD/DVD devices found: %i", static_cast<int>(count));
    for (const DevicePtr& device : ListCopy()) known.push_back(device->Id());
    RemoveCommon(found, known);
    AddDevices(found);
    RemoveDevices(known);
    m_changeStamp = stamp;
    if (WindowHandle()) PostMessageA(WindowHandle(), WM_TRAY_SCAN_STATE, 0, 0);
}

void CCoDevices::AddDevices(const std::vector<unsigned>& ids)
{
    if (ids.empty()) return;
    LogPrintf("\tDevices found: %i", static_cast<int>(ids.size()));
    for (unsigned id : ids) {
        LogAddress("\tNew CD/DVD device found at %i:%i:%i:%i", id);
        DevicePtr device;
        // Each device makes its window on a thread of its own.
        if (FAILED(com::CreateObjectImpl<CCoDevice>(&device))) continue;
        if (!device->InitDevice(id)) continue;
        {
            com::ObjectLock<CCoDevices> lock(this);
            m_devices.push_back(device);
        }
        LogPrintf("\tDevice added to device list");
        LogPrintf("\tSend message DM_DEVICEARRIVED to clients");
        QueueEvent(DM_DEVICEARRIVED, id, 0);
    }
}

void CCoDevices::RemoveDevices(const std::vector<unsigned>& ids)
{
    if (ids.empty()) return;
    LogPrintf("\tDevices exists: %i", static_cast<int>(ids.size()));
    for (unsigned id : ids) {
        LogAddress("\tExisting CD/DVD device removed at %i:%i:%i:%i", id);
        LogPrintf("\tSend message DM_DEVICEREMOVED to clients");
        QueueEvent(DM_DEVICEREMOVED, id, 0);
        DevicePtr gone;  // let go outside the lock
        com::ObjectLock<CCoDevices> lock(this);
        auto at = std::find_if(m_devices.begin(), m_devices.end(),
                               [id](const DevicePtr& d) { return d->Id() == id; });
        if (at == m_devices.end()) continue;
        gone = *at;
        m_devices.erase(at);
    }
}

void CCoDevices::QueueEvent(unsigned message, unsigned wParam, unsigned lParam)
{
    {
        com::ObjectLock<CCoDevices> lock(this);
        m_queue.push_back({message, wParam, lParam});
    }
    if (WindowHandle()) PostMessageA(WindowHandle(), WM_FIRE_EVENTS, 0, 0);
}

void CCoDevices::FireQueuedEvents()
{
    std::vector<Event> events;
    {
        com::ObjectLock<CCoDevices> lock(this);
        events.swap(m_queue);
    }
    for (const Event& e : events) m_events.FirePost(e.message, e.wParam, e.lParam);
}

void CCoDevices::OnPollTimer()
{
    if (DiscLayer_GetChangeStamp() != m_changeStamp) RescanAndFire();
}

void CCoDevices::RescanAndFire()
{
    if (!m_initialized) return;  // the first scan is still on its way and sees it
    CLogMethodScope<CCoDevices> log("OnDeviceChange");
    ReScanDevices();
    for (const DevicePtr& device : ListCopy()) {
        if (device->MediumStampMoved()) device->CheckMedium(true);
    }
    FireQueuedEvents();
}

std::vector<com::ComPtr<IDevice>> CCoDevices::ListedDrives()
{
    std::vector<com::ComPtr<IDevice>> drives;
    for (const DevicePtr& device : ListCopy()) drives.emplace_back(static_cast<IDevice*>(device.Get()));
    return drives;
}

std::vector<CCoDevices::DevicePtr> CCoDevices::ListCopy()
{
    com::ObjectLock<CCoDevices> lock(this);
    return m_devices;
}

STDMETHODIMP CCoDevices::IsInitialized()
{
    return com::Guarded("CCoDevices::IsInitialized", [&]() -> HRESULT {
        CLogMethodScope<CCoDevices> log("IsInitialized");
        return m_initialized ? S_OK : E_FAIL;
    });
}

STDMETHODIMP CCoDevices::GetDeviceCount(unsigned int* a_piuDeviceCount)
{
    return com::Guarded("CCoDevices::GetDeviceCount", [&]() -> HRESULT {
        CLogMethodScope<CCoDevices> log("GetDeviceCount");
        if (!a_piuDeviceCount) return E_POINTER;
        com::ObjectLock<CCoDevices> lock(this);
        *a_piuDeviceCount = static_cast<unsigned>(m_devices.size());
        LogPrintf("\tDevice count: %i", static_cast<int>(m_devices.size()));
        return S_OK;
    });
}

STDMETHODIMP CCoDevices::GetDevice(unsigned int a_uiDeviceNumber, IDevice** a_pRetDevice)
{
    return com::Guarded("CCoDevices::GetDevice", [&]() -> HRESULT {
        CLogMethodScope<CCoDevices> log("GetDevice");
        if (!a_pRetDevice) return E_POINTER;
        *a_pRetDevice = nullptr;
        com::ObjectLock<CCoDevices> lock(this);
        if (a_uiDeviceNumber >= m_devices.size()) return E_INVALIDARG;
        return m_devices[a_uiDeviceNumber]->QueryInterface(IID_IDevice, reinterpret_cast<void**>(a_pRetDevice));
    });
}

STDMETHODIMP CCoDevices::GetDeviceByID(unsigned int a_uiID, IDevice** a_pRetDevice)
{
    return com::Guarded("CCoDevices::GetDeviceByID", [&]() -> HRESULT {
        CLogMethodScope<CCoDevices> log("GetDeviceByID");
        if (!a_pRetDevice) return E_POINTER;
        *a_pRetDevice = nullptr;
        for (const DevicePtr& device : ListCopy()) {
            unsigned id = 0;
            if (SUCCEEDED(device->GetDeviceID(&id)) && id == a_uiID)
                return device->QueryInterface(IID_IDevice, reinterpret_cast<void**>(a_pRetDevice));
        }
        return E_FAIL;
    });
}

STDMETHODIMP CCoDevices::GetDeviceByDriveLetter(unsigned int a_uiID, IDevice** a_pRetDevice)
{
    return com::Guarded("CCoDevices::GetDeviceByDriveLetter", [&]() -> HRESULT {
        CLogMethodScope<CCoDevices> log("GetDeviceByDriveLetter");
        if (!a_pRetDevice) return E_POINTER;
        *a_pRetDevice = nullptr;
        for (const DevicePtr& device : ListCopy()) {
            unsigned letter = 0;
            if (SUCCEEDED(device->GetDeviceLetter(&letter)) && letter == a_uiID)
                return device->QueryInterface(IID_IDevice, reinterpret_cast<void**>(a_pRetDevice));
        }
        return E_FAIL;
    });
}

STDMETHODIMP CCoDevices::CreateObject(REFCLSID rclsid, IUnknown** a_ppUnknown)
{
    return com::Guarded("CCoDevices::CreateObject", [&]() -> HRESULT {
        CLogMethodScope<CCoDevices> log("CreateObject");
        if (!a_ppUnknown) return E_POINTER;
        *a_ppUnknown = nullptr;
        CreateRequest request = {E_NOINTERFACE, &rclsid, a_ppUnknown};
        if (!WindowHandle()) return E_FAIL;
        SendMessageA(WindowHandle(), WM_CREATE_OBJECT, reinterpret_cast<WPARAM>(&request), 0);
        return request.result;
    });
}

LRESULT CCoDevices::OnCreateObject(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    // Audio CD layouts are made here, on the main thread; every other class
    // is created by its own class identifier.
    auto* request = reinterpret_cast<CreateRequest*>(wParam);
    if (!IsEqualCLSID(*request->clsid, CLSID_CoAudioCDLayout)) return 0;
    request->result = com::Guarded("CCoDevices::OnCreateObject", [&] {
        return com::CreateObject<CCoAudioCDLayout>(IID_IUnknown, reinterpret_cast<void**>(request->object));
    });
    return 0;
}

void CCoDevices::OnDevicesWindowClose()
{
    KillTimer(WindowHandle(), POLL_TIMER);
    std::vector<DevicePtr> gone;
    com::ObjectLock<CCoDevices> lock(this);
    gone.swap(m_devices);
}

LRESULT CCoDevices::OnFireEvents(UINT, WPARAM, LPARAM, BOOL&)
{
    FireQueuedEvents();
    return 0;
}

LRESULT CCoDevices::OnDeviceChange(UINT, WPARAM, LPARAM, BOOL&)
{
    RescanAndFire();
    return TRUE;
}

LRESULT CCoDevices::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != POLL_TIMER) {
        handled = FALSE;
        return 0;
    }
    OnPollTimer();
    return 0;
}
