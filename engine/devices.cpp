#include "devices.h"
#include "method_log.h"

HRESULT CCoDevices::FinalConstruct()
{
    CLogMethodScope<CCoDevices> log("FinalConstruct");
    // Made with its class object on the main thread, which serves the window.
    if (FAILED(m_window.Create(this))) return E_FAIL;
    InterlockedExchange(&m_initialized, 0);
    // The scan thread holds the list until it has fired its event.
    static_cast<IDevices*>(this)->AddRef();
    HANDLE thread = CreateThread(nullptr, 0, FirstScanThread, this, 0, nullptr);
    if (!thread) {
        static_cast<IDevices*>(this)->Release();
        return E_FAIL;
    }
    CloseHandle(thread);
    return S_OK;
}

void CCoDevices::FinalRelease()
{
    CLogMethodScope<CCoDevices> log("FinalRelease");
    m_window.Destroy();
}

DWORD WINAPI CCoDevices::FirstScanThread(void* self)
{
    auto* devices = static_cast<CCoDevices*>(self);
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    devices->ReScanDevices();
    InterlockedExchange(&devices->m_initialized, 1);
    devices->m_events.FirePost(DM_DEVICESSCANNED, 0, 0);
    static_cast<IDevices*>(devices)->Release();
    CoUninitialize();
    return 0;
}

void CCoDevices::ReScanDevices()
{
    CLogMethodScope<CCoDevices> log("_ReScanDevices");
}

STDMETHODIMP CCoDevices::IsInitialized()
{
    CLogMethodScope<CCoDevices> log("IsInitialized");
    return m_initialized ? S_OK : E_FAIL;
}

STDMETHODIMP CCoDevices::GetDeviceCount(unsigned int* a_piuDeviceCount)
{
    CLogMethodScope<CCoDevices> log("GetDeviceCount");
    if (!a_piuDeviceCount) return E_POINTER;
    *a_piuDeviceCount = 0;
    return S_OK;
}

STDMETHODIMP CCoDevices::GetDevice(unsigned int a_uiDeviceNumber, IDevice** a_pRetDevice)
{
    CLogMethodScope<CCoDevices> log("GetDevice");
    if (!a_pRetDevice) return E_POINTER;
    *a_pRetDevice = nullptr;
    (void)a_uiDeviceNumber;
    return E_INVALIDARG;
}

STDMETHODIMP CCoDevices::GetDeviceByID(unsigned int a_uiID, IDevice** a_pRetDevice)
{
    CLogMethodScope<CCoDevices> log("GetDeviceByID");
    if (!a_pRetDevice) return E_POINTER;
    *a_pRetDevice = nullptr;
    (void)a_uiID;
    return E_FAIL;
}

STDMETHODIMP CCoDevices::GetDeviceByDriveLetter(unsigned int a_uiID, IDevice** a_pRetDevice)
{
    CLogMethodScope<CCoDevices> log("GetDeviceByDriveLetter");
    if (!a_pRetDevice) return E_POINTER;
    *a_pRetDevice = nullptr;
    (void)a_uiID;
    return E_FAIL;
}

STDMETHODIMP CCoDevices::CreateObject(REFCLSID rclsid, IUnknown** a_ppUnknown)
{
    CLogMethodScope<CCoDevices> log("CreateObject");
    if (!a_ppUnknown) return E_POINTER;
    *a_ppUnknown = nullptr;
    CreateRequest request = {E_NOINTERFACE, &rclsid, a_ppUnknown};
    if (!m_window.Handle()) return E_FAIL;
    SendMessageA(m_window.Handle(), WM_CREATE_OBJECT, reinterpret_cast<WPARAM>(&request), 0);
    return request.result;
}

void CCoDevices::OnCreateObject(CreateRequest* request)
{
    // Audio CD layouts are made here, on the main thread, once they exist;
    // every other class is created by its own class identifier.
    (void)request;
}

void CCoDevices::OnDevicesWindowClose()
{
    // The drives will be let go here.
}

bool CCoDevices::OnDevicesWindowMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT* result)
{
    switch (msg) {
    case WM_CREATE_OBJECT:
        OnCreateObject(reinterpret_cast<CreateRequest*>(wParam));
        *result = 0;
        return true;
    default:
        return false;
    }
}
