// CCoDevices: the engine's one device list. It owns the hidden window
// "DevicesWindow", tells clients of drives through _IMessageCallback
// events, and makes objects on the engine's main thread (IObjectCreator).
// The drives themselves join with the disc layer.
#pragma once
#include "devices_window.h"
#include "engine.h"
#include "message_callback_point.h"
#include <auto_object_logger.h>
#include <com/connection_point.h>
#include <com/external_connection.h>
#include <com/object.h>

// Device-list window messages.
enum : UINT { WM_CREATE_OBJECT = 0x501 };

class CCoDevices : public com::ObjectRoot<com::MultiThreadModel>,
                   public IDevices,
                   public IObjectCreator,
                   public com::ConnectionPointContainer,
                   public com::ExternalConnection,
                   public CAutoObjectLogger<CCoDevices>,
                   private DevicesWindowHandler {
public:
    COM_INTERFACES_BEGIN(CCoDevices)
        COM_INTERFACE(IDevices)
        COM_INTERFACE(IObjectCreator)
        COM_INTERFACE(IConnectionPointContainer)
        COM_INTERFACE(IExternalConnection)
    COM_INTERFACES_END()

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

    void OnDevicesWindowClose() override;
    bool OnDevicesWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnCreateObject(CreateRequest* request);

    static DWORD WINAPI FirstScanThread(void* self);
    void ReScanDevices();

    DevicesWindow m_window;
    MessageCallbackPoint m_events{this};
    volatile LONG m_initialized = 0;
};
