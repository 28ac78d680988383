// The engine's hidden window of class "DevicesWindow", owned by the device
// list. Other programs find it by its class name: WM_CLOSE to it ends the
// engine (it ends the main thread's message loop); a window destroyed
// without it does not.
#pragma once
#include <windows.h>

extern const char* const DEVICES_WINDOW_CLASS;  // "DevicesWindow"

class DevicesWindowHandler {
public:
    // WM_CLOSE, before the window goes.
    virtual void OnDevicesWindowClose() = 0;
    // A message the window does not handle itself; false passes it on.
    virtual bool OnDevicesWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) = 0;
protected:
    ~DevicesWindowHandler() = default;
};

class DevicesWindow {
public:
    DevicesWindow() = default;
    ~DevicesWindow();
    DevicesWindow(const DevicesWindow&) = delete;
    DevicesWindow& operator=(const DevicesWindow&) = delete;

    // Creates the window on the calling thread, whose message loop serves it.
    HRESULT Create(DevicesWindowHandler* handler);
    // Destroys it on its own thread; from another thread it is asked to close.
    void Destroy();
    HWND Handle() const { return m_hwnd; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
    DevicesWindowHandler* m_handler = nullptr;
};
