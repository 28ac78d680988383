// CInfoWindow (window class "CInfoWindow"): a scrolling view of text lines,
// each split at its first tab into a label and a value column. Its window
// text is the whole text (WM_SETTEXT sets it, WM_GETTEXT reads it back), so
// a screen reader finds what it shows. The line height is the height of "0"
// in the font the window really got; the scroll bars, the wheel and the
// arrow keys move the view.
#pragma once
#include <window/gdi.h>
#include <window/window_impl.h>
#include <string>
#include <vector>

class CInfoWindow : public wnd::WindowImpl<CInfoWindow> {
public:
    WND_CLASS("CInfoWindow", CS_HREDRAW | CS_VREDRAW, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1))

    WND_MSG_MAP_BEGIN(CInfoWindow)
        WND_MESSAGE(WM_CREATE, OnCreate)
        WND_MESSAGE(WM_SETTEXT, OnSetText)
        WND_MESSAGE(WM_PAINT, OnPaint)
        WND_MESSAGE(WM_SIZE, OnSize)
        WND_MESSAGE(WM_VSCROLL, OnScroll)
        WND_MESSAGE(WM_HSCROLL, OnScroll)
        WND_MESSAGE(WM_MOUSEWHEEL, OnMouseWheel)
        WND_MESSAGE(WM_KEYDOWN, OnKeyDown)
        WND_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
    WND_MSG_MAP_END()

    struct Line {
        std::string label, value;
    };
    // The lines of a text: split at line breaks, each at its first tab.
    static std::vector<Line> SplitLines(const std::string& text);

    int LineHeight() const { return m_lineHeight; }
    POINT ScrollPosition() const { return m_scroll; }
    SIZE ContentSize() const { return m_content; }

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetText(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnScroll(UINT msg, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnMouseWheel(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnGetDlgCode(UINT, WPARAM, LPARAM, BOOL&) { return DLGC_WANTARROWS; }

    void Measure();
    void UpdateScrollBars();
    // Moves the view to `to` (kept inside the content) and repaints at once.
    void ScrollTo(POINT to);

    wnd::Font m_font;
    std::vector<Line> m_lines;
    int m_lineHeight = 16;
    int m_valueColumn = 0;
    SIZE m_content = {0, 0};
    POINT m_scroll = {0, 0};
};
