// The hidden window of class "DeviceWindow" that each device object owns.
// Job workers and the disc layer's progress callback send it their stages
// (job_messages.h); its thread, the engine's main thread, runs the device's
// message map and fires the events.
//
// The window object outlives its device: the device detaches it when it
// goes (from any thread), no message reaches the device after that, and
// the window then closes and deletes itself on its own thread.
#pragma once
#include <com/lock.h>
#include <window/window_impl.h>

class CDeviceWindow : public wnd::WindowImpl<CDeviceWindow> {
public:
    WND_CLASS("DeviceWindow", CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1))

    // Creates the window on the calling thread, whose message loop serves
    // it; messages go to `owner`'s map until Detach. Null on failure.
    static CDeviceWindow* Create(wnd::MessageMap* owner);
    // The owner goes: waits for a message it is handling, then closes the
    // window. The object must not be used afterwards.
    void Detach();

    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                              DWORD dwMapId) override;
    void OnFinalMessage(HWND) override;

private:
    explicit CDeviceWindow(wnd::MessageMap* owner) : m_owner(owner) {}
    ~CDeviceWindow() override = default;

    com::CriticalSection m_guard;  // held while the owner handles a message
    wnd::MessageMap* m_owner;
    bool m_destroyed = false;
};
