// CCoDevices: the engine's one device list. It owns the hidden window
// "DevicesWindow", tells clients of drives through _IMessageCallback
// events, and makes objects on the engine's main thread (IObjectCreator).
// The drives themselves join with the disc layer.
#pragma once
#include "devices/device.h"
#include "windows/devices_window.h"
#include <engine.h>
#include "devices/message_callback_point.h"
#include <shared/auto_object_logger.h>
#include <com/connection_point.h>
#include <com/external_connection.h>
#include <com/object.h>
#include <com/ptr.h>
#include <vector>

// Device-list window messages.
enum : UINT { WM_CREATE_OBJECT = 0x501, WM_FIRE_EVENTS = 0x510 };

class CCoDevices : public com::ObjectRoot<com::MultiThreadModel>,
                   public IDevices,
                   public IObjectCreator,
                   public com::ConnectionPointContainer,
                   public com::ExternalConnection,
                   public CAutoObjectLogger<CCoDevices>,
                   private CDevicesWindowOwner {
public:
    COM_INTERFACES_BEGIN(CCoDevices)
        COM_INTERFACE(IDevices)
        COM_INTERFACE(IObjectCreator)
        COM_INTERFACE(IConnectionPointContainer)
        COM_INTERFACE(IExternalConnection)
    COM_INTERFACES_END()

    WND_MSG_MAP_BEGIN(CCoDevices)
        WND_MESSAGE(WM_CREATE_OBJECT, OnCreateObject)
        WND_MESSAGE(WM_FIRE_EVENTS, OnFireEvents)
        WND_MESSAGE(WM_DEVICECHANGE, OnDeviceChange)
        WND_MESSAGE(WM_TIMER, OnTimer)
    WND_MSG_MAP_END()

    HRESULT FinalConstruct();
    void FinalRelease();

    // IDevices
    STDMETHODIMP IsInitialized() override;
    STDMETHODIMP GetDeviceCount(unsigned int* a_piuDeviceCount) override;
    STDMETHODIMP GetDevice(unsigned int a_uiDeviceNumber, IDevice** a_pRetDevice) override;
    STDMETHODIMP GetDeviceByID(unsigned int a_uiID, IDevice** a_pRetDevice) override;
    STDMETHODIMP GetDeviceByDriveLetter(unsigned int a_uiID, IDevice** a_pRetDevice) override;

    // IObjectCreator
    STDMETHODIMP CreateObject(REFCLSID rclsid, IUnknown** a_ppUnknown) override;

private:
    struct CreateRequest {
        HRESULT result;
        const CLSID* clsid;
        IUnknown** object;
    };

    // Devices window handlers, on the main thread.
    void OnDevicesWindowClose() override;
    bool DrivesScanned() override { return m_initialized != 0; }
    std::vector<com::ComPtr<IDevice>> ListedDrives() override;
    LRESULT OnCreateObject(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnFireEvents(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDeviceChange(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled);

    using DevicePtr = com::ComPtr<com::ComObject<CCoDevice>>;
    struct Event {
        unsigned message, wParam, lParam;
    };

    static DWORD WINAPI FirstScanThread(void* self);
    void WaitForFirstScan();
    // Brings the list in line with the disc layer's drives; the events it
    // gives are queued, to be fired on the main thread.
    void ReScanDevices();
    void AddDevices(const std::vector<unsigned>& ids);
    void RemoveDevices(const std::vector<unsigned>& ids);
    void QueueEvent(unsigned message, unsigned wParam, unsigned lParam);
    // Main thread only, outside the list's lock.
    void FireQueuedEvents();
    void OnPollTimer();
    // Rescans and fires what changed; main thread only.
    void RescanAndFire();
    std::vector<DevicePtr> ListCopy();
    HWND WindowHandle() const { return m_window ? m_window->Handle() : nullptr; }

    CDevicesWindow* m_window = nullptr;  // goes with Destroy
    MessageCallbackPoint m_events{this};
    volatile LONG m_initialized = 0;
    HANDLE m_firstScan = nullptr;
    bool m_started = false;
    // m_lock guards the list and the event queue; rescans take m_scanLock
    // first, so that two of them never meet.
    com::CriticalSection m_scanLock;
    std::vector<DevicePtr> m_devices;
    std::vector<Event> m_queue;
    uint32_t m_changeStamp = 0;
};
