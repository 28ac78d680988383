// Window: a plain window handle with the helpers the rest of the system
// leans on. It owns nothing; copying it copies the handle.
#pragma once
#include <windows.h>
#include <string>

namespace wnd {

class Window {
public:
    Window(HWND hWnd = nullptr) : m_hWnd(hWnd) {}
    operator HWND() const { return m_hWnd; }

    bool IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    Window GetParent() const { return ::GetParent(m_hWnd); }
    Window GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

    LRESULT SendMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageA(m_hWnd, msg, w, l); }
    BOOL PostMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageA(m_hWnd, msg, w, l); }

    std::string GetText() const;
    BOOL SetText(const char* text) const { return ::SetWindowTextA(m_hWnd, text); }
    BOOL SetText(const std::string& text) const { return SetText(text.c_str()); }

    BOOL Show(bool show) const { return ::ShowWindow(m_hWnd, show ? SW_SHOW : SW_HIDE); }
    bool IsVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    BOOL Enable(bool enable) const { return ::EnableWindow(m_hWnd, enable); }
    bool IsEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    HWND SetFocus() const { return ::SetFocus(m_hWnd); }
    BOOL Destroy() const { return ::DestroyWindow(m_hWnd); }

    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)); }
    // Removes then adds style bits; true when the style changed.
    bool ModifyStyle(DWORD remove, DWORD add) const;

    RECT GetClientRect() const;
    RECT GetWindowRect() const;
    // The window's rectangle in its parent's client coordinates.
    RECT GetRectInParent() const;
    BOOL Move(int x, int y, int width, int height, bool repaint = true) const
    {
        return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    BOOL Move(const RECT& r, bool repaint = true) const
    {
        return Move(r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
    }
    BOOL Resize(int width, int height) const
    {
        return ::SetWindowPos(m_hWnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    BOOL Invalidate(bool erase = true) const { return ::InvalidateRect(m_hWnd, nullptr, erase); }

    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    void SetFont(HFONT font, bool redraw = true) const
    {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }

    // Centres the window over `reference`, else over its owner or parent,
    // else within the work area of its monitor; it stays on that monitor.
    void CenterWindow(HWND reference = nullptr) const;

    HWND m_hWnd;
};

inline int Width(const RECT& r) { return r.right - r.left; }
inline int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace wnd
