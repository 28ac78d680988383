// The engine's hidden window of class "DevicesWindow", owned by the device
// list. Other programs find it by its class name: WM_CLOSE to it ends the
// engine (it ends the main thread's message loop); a window destroyed
// without it does not.
//
// The window object outlives its owner, as a device's window does: the
// owner lets it go with Destroy (from any thread), no message reaches the
// owner after that, and the object goes after the window's last message.
// The owner and the window each hold the object; the last to let go
// deletes it.
//
// The window carries the engine's tray icon (shell_icon.h): added with the
// window, removed with it.
#pragma once
#include "windows/shell_icon.h"
#include <window/window_impl.h>

extern const char* const DEVICES_WINDOW_CLASS;  // "DevicesWindow"

// The owner's side: the close, the drives the tray menu shows, and a map for
// the messages the window does not handle itself.
class CDevicesWindowOwner : public wnd::MessageMap, public CTrayDrives {
public:
    // WM_CLOSE, before the window goes.
    virtual void OnDevicesWindowClose() = 0;

protected:
    ~CDevicesWindowOwner() = default;
};

class CDevicesWindow : public wnd::WindowImpl<CDevicesWindow>, private CTrayDrives {
public:
    WND_CLASS(DEVICES_WINDOW_CLASS, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1))

    WND_MSG_MAP_BEGIN(CDevicesWindow)
        WND_MESSAGE(WM_CLOSE, OnClose)
        WND_CHAIN_MEMBER(m_shellIcon)
        if (m_owner) WND_CHAIN_MEMBER(*m_owner)
    WND_MSG_MAP_END()

    // Creates the window on the calling thread, whose message loop serves
    // it; null on failure.
    static CDevicesWindow* Create(CDevicesWindowOwner* owner);
    // The owner goes: the window is destroyed on its own thread, or from
    // another thread asked to close. The object must not be used afterwards.
    void Destroy();
    HWND Handle() const { return m_hWnd; }

    void OnFinalMessage(HWND) override;

private:
    explicit CDevicesWindow(CDevicesWindowOwner* owner) : m_owner(owner) {}
    ~CDevicesWindow() override = default;
    // The owner's drives while it is there; none once it has let go.
    bool DrivesScanned() override;
    std::vector<com::ComPtr<IDevice>> ListedDrives() override;
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
    void LetGo();

    CDevicesWindowOwner* volatile m_owner;
    CShellIcon m_shellIcon{*this};
    volatile LONG m_holders = 2;  // the owner and the window
    bool m_finalRan = false;
};
