// The hidden window of class "DeviceWindow" that each device object owns.
// Job workers and the disc layer's progress callback send it their stages
// (job_messages.h); the window's own thread runs the device's message map
// and fires the events. Each device has a thread of its own: a question
// that waits for one drive's user stalls neither another drive's job nor
// the engine's main thread.
//
// The window object outlives its device: the device detaches it when it
// goes (from any thread, also from inside one of its own handlers), no
// message reaches the device after that, and the window then closes and
// its thread ends. The owner and the thread each hold the object; the last
// of them to let go deletes it.
#pragma once
#include <com/lock.h>
#include <window/window_impl.h>

class CDeviceWindow : public wnd::WindowImpl<CDeviceWindow> {
public:
    WND_CLASS("DeviceWindow", CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1))

    // Starts the window's thread and creates the window there; messages go
    // to `owner`'s map until Detach. Null on failure.
    static CDeviceWindow* Create(wnd::MessageMap* owner);
    // The owner goes: waits for a message that another thread is handling,
    // then closes the window. The object must not be used afterwards.
    void Detach();

    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                              DWORD dwMapId) override;
    // Ends the thread's message loop.
    void OnFinalMessage(HWND) override;

private:
    explicit CDeviceWindow(wnd::MessageMap* owner) : m_owner(owner) {}
    ~CDeviceWindow() override;
    static DWORD WINAPI Thread(void* self);
    void Serve();
    void LetGo();

    com::CriticalSection m_guard;  // held while the owner handles a message
    wnd::MessageMap* m_owner;
    volatile LONG m_holders = 2;   // the owner and the thread
    HANDLE m_ready = nullptr;      // the thread tried to create the window
    bool m_created = false;
};
