// CExplorerWindow: the explorer MDI child (window class "Explorer Window")
// with its own menu (menu 209), which the command bar shows while the
// window is active. The child makes itself; it deletes itself when its
// window ends.
#pragma once
#include <window/mdi_child.h>

class CExplorerWindow : public wnd::MdiChildImpl<CExplorerWindow> {
public:
    WND_CLASS("Explorer Window", CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1))

    // A new explorer child of `mdiClient`, or null.
    static HWND Open(HWND mdiClient, bool maximized);

    WND_MSG_MAP_BEGIN(CExplorerWindow)
        WND_MESSAGE(WM_MDIACTIVATE, OnMdiActivate)
        WND_MESSAGE(WM_DESTROY, OnDestroy)
    WND_MSG_MAP_END()

    void OnFinalMessage(HWND) override { delete this; }

private:
    CExplorerWindow();
    ~CExplorerWindow() override;
    LRESULT OnMdiActivate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);

    HMENU m_menu = nullptr;
};
