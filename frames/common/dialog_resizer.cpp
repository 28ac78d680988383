#include "dialog_resizer.h"
#include <window/window.h>

bool CDialogResizer::Start(HWND dialog)
{
    m_dialog = dialog;
    RECT client = wnd::Window(dialog).GetClientRect();
    m_start = {wnd::Width(client), wnd::Height(client)};
    for (Control& control : m_controls) {
        wnd::Window item = wnd::Window(dialog).GetDlgItem(control.id);
        if (!item.IsWindow()) return false;
        control.rect = item.GetRectInParent();
    }
    return true;
}

void CDialogResizer::Resize()
{
    if (!m_dialog) return;
    RECT client = wnd::Window(m_dialog).GetClientRect();
    const int dx = wnd::Width(client) - m_start.cx, dy = wnd::Height(client) - m_start.cy;
    HDWP batch = BeginDeferWindowPos(static_cast<int>(m_controls.size()));
    for (const Control& control : m_controls) {
        RECT r = control.rect;
        if (control.anchors & MOVE_X) OffsetRect(&r, dx, 0);
        if (control.anchors & MOVE_Y) OffsetRect(&r, 0, dy);
        if (control.anchors & SIZE_X) r.right += dx;
        if (control.anchors & SIZE_Y) r.bottom += dy;
        if (r.right < r.left) r.right = r.left;
        if (r.bottom < r.top) r.bottom = r.top;
        HWND item = GetDlgItem(m_dialog, control.id);
        if (batch)
            batch = DeferWindowPos(batch, item, nullptr, r.left, r.top, wnd::Width(r), wnd::Height(r),
                                   SWP_NOZORDER | SWP_NOACTIVATE);
        else
            SetWindowPos(item, nullptr, r.left, r.top, wnd::Width(r), wnd::Height(r), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (batch) EndDeferWindowPos(batch);
}
