#include "explorer_window.h"
#include "menu_translation.h"
#include "resource.h"
#include <com/module.h>

CExplorerWindow::CExplorerWindow()
{
    m_menu = ::LoadMenuA(com::ModuleInstance(), MAKEINTRESOURCEA(IDR_EXPLORER_MENU));
    if (m_menu) TranslateFrameMenu(m_menu);
}

CExplorerWindow::~CExplorerWindow()
{
    if (m_menu) ::DestroyMenu(m_menu);
}

HWND CExplorerWindow::Open(HWND mdiClient, bool maximized)
{
    auto* window = new CExplorerWindow;
    HWND created = window->Create(mdiClient, "Explorer", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    if (!created) {
        delete window;
        return nullptr;
    }
    if (maximized) ::SendMessageA(mdiClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(created), 0);
    return created;
}

LRESULT CExplorerWindow::OnMdiActivate(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    // Becoming active: the explorer's menu shows, with its Window popup.
    if (reinterpret_cast<HWND>(lParam) == m_hWnd && m_menu) {
        int count = ::GetMenuItemCount(m_menu);
        HMENU windowMenu = count >= 2 ? ::GetSubMenu(m_menu, count - 2) : nullptr;
        ::SendMessageA(::GetParent(m_hWnd), WM_MDISETMENU, reinterpret_cast<WPARAM>(m_menu),
                       reinterpret_cast<LPARAM>(windowMenu));
    }
    handled = FALSE;
    return 0;
}

LRESULT CExplorerWindow::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    return 0;
}
