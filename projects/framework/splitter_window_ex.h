// CSplitterWindowExT: the project window's splitter (task panel left, the
// active frame right), a bar 5 pixels wide, panes that may shrink to
// nothing, and a collapse button on the bar that hides the task panel and
// brings it back at the width it had.
#pragma once
#include "project_ids.h"
#include <shared/colors.h>
#include <window/contained_window.h>
#include <window/splitter_window.h>

template <bool t_bVertical>
class CSplitterWindowExT : public wnd::SplitterWindowImpl<CSplitterWindowExT<t_bVertical>, t_bVertical> {
    using Base = wnd::SplitterWindowImpl<CSplitterWindowExT<t_bVertical>, t_bVertical>;

public:
    enum { BAR_WIDTH = 5, BUTTON_LENGTH = 130, DOT_MARGIN = 12, DOT_STEP = 4 };

    CSplitterWindowExT()
    {
        this->SetBarWidth(BAR_WIDTH);
        this->SetMinPaneSize(0);
    }

    WND_MSG_MAP_BEGIN(CSplitterWindowExT)
        WND_MESSAGE(WM_CREATE, OnCreate)
        WND_COMMAND(IDC_SPLITTER_COLLAPSE, OnCollapse)
        WND_MESSAGE(WM_DRAWITEM, OnDrawItem)
        WND_CHAIN(Base)
    WND_ALT_MAP(1)
        WND_MESSAGE(WM_MOUSEMOVE, OnButtonMouseMove)
        WND_MESSAGE(WM_MOUSELEAVE, OnButtonMouseLeave)
    WND_MSG_MAP_END()

    // The position is set as the base class sets it, then the button follows.
    bool SetSplitterPos(int pos = -1, bool update = true)
    {
        bool changed = Base::SetSplitterPos(pos, update);
        MoveCollapseButton();
        return changed;
    }
    void OnSplitterLayout() { MoveCollapseButton(); }

    // The width the button brings the panel back at when none is known
    // (a project saved with its panel collapsed).
    void SetDefaultWidth(int width) { m_defaultWidth = width; }

    HWND CollapseButton() const { return m_button; }
    bool IsButtonHovered() const { return m_hover; }
    int RememberedPos() const { return m_remembered; }

    // The button's place: on the bar, as wide as the bar and one pixel,
    // BUTTON_LENGTH tall and centred.
    RECT CollapseButtonRect() const
    {
        RECT bar = this->GetSplitterBarRect();
        RECT client = this->GetClientRect();
        int height = client.bottom - client.top;
        RECT r;
        r.left = bar.left;
        r.right = bar.left + this->GetBarWidth() + this->GetBarEdge() + 1;
        r.top = (height - BUTTON_LENGTH) / 2;
        r.bottom = (height + BUTTON_LENGTH) / 2;
        return r;
    }

    void MoveCollapseButton()
    {
        if (!m_button.IsWindow()) return;
        RECT r = CollapseButtonRect();
        ::SetWindowPos(m_button, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
    }

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        handled = FALSE;  // the splitter's own creation follows
        HWND button = ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 0, 0,
                                        this->m_hWnd, reinterpret_cast<HMENU>(IDC_SPLITTER_COLLAPSE),
                                        com::ModuleInstance(), nullptr);
        if (button) m_button.SubclassWindow(button);
        return 0;
    }

    LRESULT OnCollapse(WORD, WORD, HWND, BOOL&)
    {
        if (this->GetSplitterPos() == 0) {
            SetSplitterPos(m_remembered > 0 ? m_remembered : m_defaultWidth);
        } else {
            m_remembered = this->GetSplitterPos();
            SetSplitterPos(0);
        }
        MoveCollapseButton();
        ::SetFocus(this->m_hWnd);
        return 0;
    }

    LRESULT OnButtonMouseMove(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        handled = FALSE;
        if (!m_hover) {
            TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, m_button, 0};
            ::TrackMouseEvent(&track);
            m_hover = true;
            m_button.Invalidate(false);
        }
        return 0;
    }

    LRESULT OnButtonMouseLeave(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        handled = FALSE;
        m_hover = false;
        m_button.Invalidate(false);
        return 0;
    }

    LRESULT OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL& handled)
    {
        const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlType != ODT_BUTTON || item->hwndItem != m_button) {
            handled = FALSE;
            return 0;
        }
        DrawButton(item->hDC, item->rcItem, (item->itemState & ODS_SELECTED) != 0);
        return TRUE;
    }

    void DrawButton(HDC dc, RECT r, bool pressed) const
    {
        COLORREF face = ::GetSysColor(COLOR_BTNFACE);
        ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
        RECT edge = r;
        ::DrawEdge(dc, &edge, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        if (m_hover) {
            HBRUSH frame = ::CreateSolidBrush(::GetSysColor(COLOR_INFOBK));
            ::FrameRect(dc, &r, frame);
            ::DeleteObject(frame);
        }
        COLORREF dot = ShiftColorHLS(face, 15, -50);
        COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
        int shift = pressed ? 1 : 0;
        // Two columns 2 pixels apart, the dots alternating between them.
        int centre = (r.left + r.right) / 2;
        bool left = true;
        for (int y = r.top + DOT_MARGIN; y <= r.bottom - DOT_MARGIN; y += DOT_STEP, left = !left) {
            int x = centre - (left ? 2 : 0) + shift;
            int yy = y + shift;
            ::SetPixel(dc, x, yy, dot);
            ::SetPixel(dc, x + 1, yy, light);
            ::SetPixel(dc, x, yy + 1, light);
            ::SetPixel(dc, x + 1, yy + 1, light);
        }
    }

    wnd::ContainedWindow m_button{this, 1};
    int m_remembered = 0;
    int m_defaultWidth = 180;
    bool m_hover = false;
};
