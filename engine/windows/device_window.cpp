#include "windows/device_window.h"
#include <objbase.h>

CDeviceWindow* CDeviceWindow::Create(wnd::MessageMap* owner)
{
    auto* window = new CDeviceWindow(owner);
    window->m_ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = window->m_ready ? CreateThread(nullptr, 0, Thread, window, 0, nullptr) : nullptr;
    if (!thread) {
        delete window;
        return nullptr;
    }
    WaitForSingleObject(window->m_ready, INFINITE);
    if (!window->m_created) {
        // The thread ends without its window and lets the object be.
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        delete window;
        return nullptr;
    }
    CloseHandle(thread);
    return window;
}

CDeviceWindow::~CDeviceWindow()
{
    if (m_ready) CloseHandle(m_ready);
}

DWORD WINAPI CDeviceWindow::Thread(void* self)
{
    // The handlers fire events to clients in other processes.
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    static_cast<CDeviceWindow*>(self)->Serve();
    CoUninitialize();
    return 0;
}

void CDeviceWindow::Serve()
{
    m_created = WindowImpl::Create(nullptr, nullptr, "", WS_POPUP, WS_EX_TOOLWINDOW) != nullptr;
    const bool created = m_created;
    SetEvent(m_ready);
    if (!created) return;  // the creator deletes the object
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    LetGo();
}

void CDeviceWindow::Detach()
{
    HWND window;
    {
        com::AutoLock lock(m_guard);
        m_owner = nullptr;
        window = m_hWnd;
    }
    // Posted, not sent: the owner may go inside one of its own handlers.
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    LetGo();
}

void CDeviceWindow::LetGo()
{
    if (InterlockedDecrement(&m_holders) == 0) delete this;
}

BOOL CDeviceWindow::ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                         LRESULT& lResult, DWORD dwMapId)
{
    com::AutoLock lock(m_guard);
    if (m_owner) return m_owner->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, dwMapId);
    if (uMsg == WM_CLOSE) {
        ::DestroyWindow(hWnd);
        lResult = 0;
        return TRUE;
    }
    return FALSE;
}

// The window layer calls it after the outermost handler of the window has
// returned, so nothing of this object is on the stack.
void CDeviceWindow::OnFinalMessage(HWND) { ::PostQuitMessage(0); }
