#include "window/mdi_frame.h"

namespace wnd {

HWND MdiFrame::CreateMdiClient(HMENU windowMenu, UINT id, UINT firstChildId)
{
    CLIENTCREATESTRUCT ccs = {windowMenu, firstChildId};
    m_mdiClient = ::CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VSCROLL |
                                        WS_HSCROLL | MDIS_ALLCHILDSTYLES,
                                    0, 0, 100, 100, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                    com::ModuleInstance(), &ccs);
    return m_mdiClient;
}

HWND MdiFrame::MdiGetActive(BOOL* maximized) const
{
    BOOL max = FALSE;
    HWND child = m_mdiClient
        ? reinterpret_cast<HWND>(::SendMessageA(m_mdiClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&max)))
        : nullptr;
    if (maximized) *maximized = child && max;
    return child;
}

LRESULT MdiFrame::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return ::DefFrameProcA(m_hWnd, m_mdiClient, msg, wParam, lParam);
}

}  // namespace wnd
