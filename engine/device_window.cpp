#include "device_window.h"

CDeviceWindow* CDeviceWindow::Create(wnd::MessageMap* owner)
{
    auto* window = new CDeviceWindow(owner);
    if (!window->WindowImpl::Create(nullptr, nullptr, "", WS_POPUP, WS_EX_TOOLWINDOW)) {
        delete window;
        return nullptr;
    }
    return window;
}

void CDeviceWindow::Detach()
{
    bool destroyed;
    {
        com::AutoLock lock(m_guard);
        m_owner = nullptr;
        destroyed = m_destroyed;
    }
    // Its thread ended first (the engine's end): nothing is left to close.
    if (destroyed) delete this;
    // Posted, not sent: the owner may go inside one of its own handlers.
    else ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
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

void CDeviceWindow::OnFinalMessage(HWND)
{
    bool detached;
    {
        com::AutoLock lock(m_guard);
        m_destroyed = true;
        detached = !m_owner;
    }
    if (detached) delete this;
}
