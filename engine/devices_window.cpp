#include "devices_window.h"
#include <com/guard.h>
#include <com/module.h>

const char* const DEVICES_WINDOW_CLASS = "DevicesWindow";

DevicesWindow::~DevicesWindow() { Destroy(); }

HRESULT DevicesWindow::Create(DevicesWindowHandler* handler)
{
    m_handler = handler;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = Proc;
    wc.hInstance = com::ModuleInstance();
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = DEVICES_WINDOW_CLASS;
    if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return E_FAIL;
    m_hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, DEVICES_WINDOW_CLASS, "", WS_POPUP, 0, 0, 0, 0,
                             nullptr, nullptr, com::ModuleInstance(), this);
    return m_hwnd ? S_OK : E_FAIL;
}

void DevicesWindow::Destroy()
{
    HWND hwnd = m_hwnd;
    if (!hwnd) return;
    if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId()) {
        DestroyWindow(hwnd);
    } else {
        // The last client may let the list go on a runtime thread.
        m_handler = nullptr;
        m_hwnd = nullptr;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
    }
}

LRESULT CALLBACK DevicesWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<DevicesWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_CLOSE:
        if (self && self->m_handler)
            com::Guarded("DevicesWindow::OnClose", [&] {
                self->m_handler->OnDevicesWindowClose();
                return S_OK;
            });
        DestroyWindow(hwnd);
        // Only a close ends the engine: a list that goes for another reason
        // (its start-up failed, say) leaves the message loop running.
        PostQuitMessage(0);
        return 0;
    case WM_DESTROY:
        if (self) self->m_hwnd = nullptr;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        return 0;
    default:
        break;
    }
    // No exception leaves the window procedure: a handler that threw has
    // taken its message.
    LRESULT result = 0;
    bool handled = false;
    if (self && self->m_handler &&
        FAILED(com::Guarded("DevicesWindow::Proc", [&] {
            handled = self->m_handler->OnDevicesWindowMessage(msg, wParam, lParam, &result);
            return S_OK;
        })))
        return 0;
    if (handled) return result;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
