#include "window/window.h"
#include <vector>

namespace wnd {

std::string Window::GetText() const
{
    int length = ::GetWindowTextLengthA(m_hWnd);
    if (length <= 0) return std::string();
    std::vector<char> buffer(length + 1, '\0');
    int n = ::GetWindowTextA(m_hWnd, buffer.data(), length + 1);
    return std::string(buffer.data(), n > 0 ? n : 0);
}

bool Window::ModifyStyle(DWORD remove, DWORD add) const
{
    DWORD style = GetStyle();
    DWORD changed = (style & ~remove) | add;
    if (changed == style) return false;
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(changed));
    return true;
}

RECT Window::GetClientRect() const
{
    RECT r = {};
    ::GetClientRect(m_hWnd, &r);
    return r;
}

RECT Window::GetWindowRect() const
{
    RECT r = {};
    ::GetWindowRect(m_hWnd, &r);
    return r;
}

RECT Window::GetRectInParent() const
{
    RECT r = GetWindowRect();
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void Window::CenterWindow(HWND reference) const
{
    const bool child = (GetStyle() & WS_CHILD) != 0;
    if (!reference) reference = child ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
    if (reference && !child && !::IsWindowVisible(reference)) reference = nullptr;

    RECT self = GetWindowRect();
    MONITORINFO monitor = {sizeof(monitor)};
    ::GetMonitorInfoA(::MonitorFromWindow(reference ? reference : m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT area = monitor.rcWork;
    RECT over = reference ? Window(reference).GetWindowRect() : area;
    if (child) {
        // A child is placed in its parent's client coordinates.
        area = Window(::GetParent(m_hWnd)).GetClientRect();
        if (reference == ::GetParent(m_hWnd)) over = area;
        else ::MapWindowPoints(HWND_DESKTOP, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&over), 2);
    }
    int x = (over.left + over.right) / 2 - Width(self) / 2;
    int y = (over.top + over.bottom) / 2 - Height(self) / 2;
    if (!child) {
        if (x + Width(self) > area.right) x = area.right - Width(self);
        if (y + Height(self) > area.bottom) y = area.bottom - Height(self);
        if (x < area.left) x = area.left;
        if (y < area.top) y = area.top;
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace wnd
