// SplitterWindowImpl: a window split in two panes by a bar that the user
// drags. Vertical: left and right panes; otherwise top and bottom. The
// position is the bar's offset in pixels from the left (top) edge.
//
// The position is kept proportional by default: it is stored in
// ten-thousandths of the width, so that the panes keep their share when the
// window is resized. A minimum pane size keeps both panes at least that
// wide; 0 lets a pane shrink to nothing.
//
// T may define OnSplitterLayout() (called after the panes were placed) and
// chain its own map before this one's.
#pragma once
#include "window/window_impl.h"

namespace wnd {

template <class T, bool Vertical = true>
class SplitterWindowImpl : public WindowImpl<T> {
public:
    enum { LEFT_PANE = 0, RIGHT_PANE = 1, PROPORTION_SCALE = 10000 };

    void SetSplitterPane(int pane, HWND window, bool update = true)
    {
        m_panes[pane] = window;
        if (update) UpdateSplitterLayout();
    }
    HWND GetSplitterPane(int pane) const { return m_panes[pane]; }
    void SetSplitterPanes(HWND left, HWND right, bool update = true)
    {
        m_panes[LEFT_PANE] = left;
        m_panes[RIGHT_PANE] = right;
        if (update) UpdateSplitterLayout();
    }
    // The pane that takes the focus when the splitter gets it.
    void SetDefaultActivePane(int pane) { m_defaultPane = pane; }

    // -1 (0xFFFFFFFF) puts the bar in the middle; the position is clamped so
    // that both panes keep their minimum. True when it changed.
    bool SetSplitterPos(int pos = -1, bool update = true)
    {
        int extent = Extent();
        if (pos == -1) pos = (extent - m_barWidth - m_barEdge) / 2;
        if (pos < m_minPane + m_barEdge)
            pos = m_minPane;
        else if (pos > extent - m_barWidth - m_barEdge - m_minPane)
            pos = extent - m_barWidth - m_barEdge - m_minPane;
        if (pos < 0) pos = 0;
        bool changed = m_pos != pos;
        m_pos = pos;
        if (m_proportional && extent > 0)
            m_proportionalPos = static_cast<int>(static_cast<long long>(pos) * PROPORTION_SCALE / extent);
        if (update && changed) UpdateSplitterLayout();
        return changed;
    }
    int GetSplitterPos() const { return m_pos; }

    void SetProportional(bool proportional) { m_proportional = proportional; }
    void SetBarWidth(int width) { m_barWidth = width; }
    int GetBarWidth() const { return m_barWidth; }
    int GetBarEdge() const { return m_barEdge; }
    void SetMinPaneSize(int size) { m_minPane = size; }

    // The bar's rectangle in client coordinates.
    RECT GetSplitterBarRect() const
    {
        RECT r = m_area;
        if (Vertical) {
            r.left = m_area.left + m_pos;
            r.right = r.left + m_barWidth + m_barEdge;
        } else {
            r.top = m_area.top + m_pos;
            r.bottom = r.top + m_barWidth + m_barEdge;
        }
        return r;
    }

    // Places the panes over the splitter's area (its client area unless set).
    void UpdateSplitterLayout()
    {
        if (!this->IsWindow()) return;
        RECT bar = GetSplitterBarRect();
        for (int pane = 0; pane < 2; ++pane) {
            if (!m_panes[pane] || !::IsWindow(m_panes[pane])) continue;
            RECT r = m_area;
            if (Vertical) {
                if (pane == LEFT_PANE) r.right = bar.left; else r.left = bar.right;
            } else {
                if (pane == LEFT_PANE) r.bottom = bar.top; else r.top = bar.bottom;
            }
            if (r.right < r.left) r.right = r.left;
            if (r.bottom < r.top) r.bottom = r.top;
            ::SetWindowPos(m_panes[pane], nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
        }
        ::InvalidateRect(this->m_hWnd, &bar, TRUE);
        static_cast<T*>(this)->OnSplitterLayout();
    }
    void OnSplitterLayout() {}

    WND_MSG_MAP_BEGIN(SplitterWindowImpl)
        WND_MESSAGE(WM_CREATE, OnSplitterCreate)
        WND_MESSAGE(WM_SIZE, OnSplitterSize)
        WND_MESSAGE(WM_PAINT, OnSplitterPaint)
        WND_MESSAGE(WM_ERASEBKGND, OnSplitterEraseBackground)
        WND_MESSAGE(WM_SETCURSOR, OnSplitterSetCursor)
        WND_MESSAGE(WM_LBUTTONDOWN, OnSplitterLButtonDown)
        WND_MESSAGE(WM_MOUSEMOVE, OnSplitterMouseMove)
        WND_MESSAGE(WM_LBUTTONUP, OnSplitterLButtonUp)
        WND_MESSAGE(WM_CAPTURECHANGED, OnSplitterCaptureChanged)
        WND_MESSAGE(WM_SETFOCUS, OnSplitterSetFocus)
    WND_MSG_MAP_END()

    LRESULT OnSplitterCreate(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        m_area = this->GetClientRect();
        handled = FALSE;
        return 0;
    }
    LRESULT OnSplitterSize(UINT, WPARAM wParam, LPARAM, BOOL& handled)
    {
        handled = FALSE;
        if (wParam == SIZE_MINIMIZED) return 0;
        m_area = this->GetClientRect();
        int extent = Extent();
        if (m_proportional && extent > 0) {
            int pos = static_cast<int>(static_cast<long long>(m_proportionalPos) * extent / PROPORTION_SCALE);
            int keep = m_proportionalPos;
            SetSplitterPos(pos, false);
            m_proportionalPos = keep;  // resizing must not wear the share down by rounding
        }
        UpdateSplitterLayout();
        return 0;
    }
    LRESULT OnSplitterPaint(UINT, WPARAM, LPARAM, BOOL&)
    {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(this->m_hWnd, &ps);
        RECT bar = GetSplitterBarRect();
        ::FillRect(dc, &bar, ::GetSysColorBrush(COLOR_3DFACE));
        ::EndPaint(this->m_hWnd, &ps);
        return 0;
    }
    LRESULT OnSplitterEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnSplitterSetCursor(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
    {
        handled = FALSE;
        if (reinterpret_cast<HWND>(wParam) != this->m_hWnd || LOWORD(lParam) != HTCLIENT) return 0;
        POINT pt;
        ::GetCursorPos(&pt);
        ::ScreenToClient(this->m_hWnd, &pt);
        if (!IsOverBar(pt)) return 0;
        ::SetCursor(::LoadCursor(nullptr, Vertical ? IDC_SIZEWE : IDC_SIZENS));
        handled = TRUE;
        return 1;
    }
    LRESULT OnSplitterLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&)
    {
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (IsOverBar(pt)) {
            ::SetCapture(this->m_hWnd);
            m_dragOffset = (Vertical ? pt.x : pt.y) - m_pos;
        }
        return 0;
    }
    LRESULT OnSplitterMouseMove(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        if ((wParam & MK_LBUTTON) && ::GetCapture() == this->m_hWnd) {
            int at = Vertical ? static_cast<short>(LOWORD(lParam)) : static_cast<short>(HIWORD(lParam));
            SetSplitterPos(at - m_dragOffset);
        }
        return 0;
    }
    LRESULT OnSplitterLButtonUp(UINT, WPARAM, LPARAM, BOOL&)
    {
        if (::GetCapture() == this->m_hWnd) ::ReleaseCapture();
        return 0;
    }
    LRESULT OnSplitterCaptureChanged(UINT, WPARAM, LPARAM, BOOL&) { return 0; }
    LRESULT OnSplitterSetFocus(UINT, WPARAM, LPARAM, BOOL&)
    {
        HWND pane = m_panes[m_defaultPane];
        if (pane && ::IsWindow(pane) && ::IsWindowVisible(pane)) ::SetFocus(pane);
        return 0;
    }

protected:
    int Extent() const { return Vertical ? m_area.right - m_area.left : m_area.bottom - m_area.top; }
    bool IsOverBar(POINT pt) const
    {
        RECT bar = GetSplitterBarRect();
        return ::PtInRect(&bar, pt) != FALSE;
    }

    HWND m_panes[2] = {nullptr, nullptr};
    RECT m_area = {0, 0, 0, 0};
    int m_pos = 0;
    int m_proportionalPos = 0;
    bool m_proportional = true;
    int m_barWidth = ::GetSystemMetrics(Vertical ? SM_CXSIZEFRAME : SM_CYSIZEFRAME);
    int m_barEdge = 0;
    int m_minPane = 0;
    int m_dragOffset = 0;
    int m_defaultPane = RIGHT_PANE;
};

}  // namespace wnd
