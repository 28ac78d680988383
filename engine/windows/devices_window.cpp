#include "windows/devices_window.h"
#include <com/guard.h>

const char* const DEVICES_WINDOW_CLASS = "DevicesWindow";

CDevicesWindow* CDevicesWindow::Create(CDevicesWindowOwner* owner)
{
    auto* window = new CDevicesWindow(owner);
    if (window->WindowImpl::Create(nullptr, nullptr, "", WS_POPUP, WS_EX_TOOLWINDOW)) return window;
    window->m_owner = nullptr;
    // A window that got as far as its last message has let go already.
    if (!window->m_finalRan) window->LetGo();
    window->LetGo();
    return nullptr;
}

void CDevicesWindow::Destroy()
{
    m_owner = nullptr;
    const HWND hwnd = m_hWnd;
    if (hwnd) {
        if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId())
            ::DestroyWindow(hwnd);
        else
            ::PostMessageA(hwnd, WM_CLOSE, 0, 0);  // the last client may let the list go on a runtime thread
    }
    LetGo();
}

LRESULT CDevicesWindow::OnClose(UINT, WPARAM, LPARAM, BOOL&)
{
    // The window goes even when the owner's close fails.
    if (CDevicesWindowOwner* owner = m_owner)
        com::Guarded("CDevicesWindow::OnClose", [&] {
            owner->OnDevicesWindowClose();
            return S_OK;
        });
    ::DestroyWindow(m_hWnd);
    // Only a close ends the engine: a list that goes for another reason
    // (its start-up failed, say) leaves the message loop running.
    ::PostQuitMessage(0);
    return 0;
}

// The window layer calls it after the outermost handler of the window has
// returned, so nothing of this object is on the stack.
void CDevicesWindow::OnFinalMessage(HWND)
{
    m_finalRan = true;
    LetGo();
}

bool CDevicesWindow::DrivesScanned()
{
    CDevicesWindowOwner* owner = m_owner;
    return owner && owner->DrivesScanned();
}

std::vector<com::ComPtr<IDevice>> CDevicesWindow::ListedDrives()
{
    CDevicesWindowOwner* owner = m_owner;
    return owner ? owner->ListedDrives() : std::vector<com::ComPtr<IDevice>>();
}

void CDevicesWindow::LetGo()
{
    if (InterlockedDecrement(&m_holders) == 0) delete this;
}
