#include "main_frame.h"
#include "app_paths.h"
#include "common_settings.h"
#include "explorer_window.h"
#include "menu_translation.h"
#include "prompts.h"
#include "resource.h"
#include <com/module.h>
#include <shared/drawing.h>
#include <shared/log.h>
#include <shared/settings_helper.h>
#include <shared/translator.h>
#include <shellapi.h>

namespace {

const COLORREF kGradientTop = RGB(0xFE, 0xFE, 0xFE);
const COLORREF kGradientBottom = RGB(0xC8, 0xD4, 0xF6);

// The popup of `menu` whose caption is `caption`, and its position.
HMENU FindPopup(HMENU menu, const char* caption, int* position = nullptr)
{
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[256] = "";
        ::GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
        HMENU popup = ::GetSubMenu(menu, i);
        if (popup && lstrcmpA(text, caption) == 0) {
            if (position) *position = i;
            return popup;
        }
    }
    return nullptr;
}

int PositionOfCommand(HMENU menu, UINT id)
{
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
        if (::GetMenuItemID(menu, i) == id) return i;
    return -1;
}

}  // namespace

CMainFrame::CMainFrame(const char* commandLine)
    : m_commandLine(commandLine), m_recentFiles(ID_FILE_MRU_FIRST, ID_FILE_MRU_LAST)
{
}

CMainFrame::~CMainFrame()
{
    if (m_rebarBackground) ::DeleteObject(m_rebarBackground);
    if (m_menu) ::DestroyMenu(m_menu);
    if (m_accelerators) ::DestroyAcceleratorTable(m_accelerators);
}

bool CMainFrame::CreateFrame()
{
    HMENU menu = ::LoadMenuA(com::ModuleInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    m_accelerators = ::LoadAcceleratorsA(com::ModuleInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    HWND frame = Create(nullptr, nullptr, "", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, menu);
    if (!frame && menu && ::IsMenu(menu) && menu != m_menu) ::DestroyMenu(menu);
    return frame != nullptr;
}

BOOL CMainFrame::ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                                      DWORD dwMapId)
{
    BOOL bHandled = TRUE;
    switch (dwMapId) {
    case 0:
        WND_MESSAGE(WM_CREATE, OnCreate)
        WND_MESSAGE(WM_DESTROY, OnDestroy)
        WND_MESSAGE(WM_CLOSE, OnClose)
        WND_MESSAGE(WM_SIZE, OnSize)
        WND_MESSAGE(WM_ACTIVATE, OnActivate)
        WND_MESSAGE(WM_OPENPROJECTFILE, OnOpenProjectFileMessage)
        WND_MESSAGE(WM_RECENTFILESCHANGED, OnRecentFilesChanged)
        WND_MESSAGE(WM_RELAYTOCHILDREN, OnRelayToChildren)
        WND_MESSAGE(WM_REFUSE_SWITCH, OnRefuseSwitch)
        WND_NOTIFY_CODE(SIZEBARN_UPDATE, OnSizeBarUpdate)
        WND_NOTIFY_CODE(RBN_HEIGHTCHANGE, OnRebarHeightChange)
        WND_NOTIFY_CODE(NM_CUSTOMDRAW, OnCustomDraw)
        WND_COMMAND(ID_FILE_NEW, OnFileNew)
        WND_COMMAND(ID_FILE_OPEN, OnFileOpen)
        WND_COMMAND_RANGE(ID_FILE_MRU_FIRST, ID_FILE_MRU_LAST, OnRecentFile)
        WND_COMMAND(ID_APP_EXIT, OnAppExit)
        WND_COMMAND(ID_VIEW_TOOLBAR, OnViewToolBar)
        WND_COMMAND(ID_VIEW_STATUS_BAR, OnViewStatusBar)
        WND_COMMAND(ID_VIEW_SPACEBAR, OnViewSpaceBar)
        WND_COMMAND(ID_VIEW_EXPLORER, OnViewExplorer)
        WND_COMMAND_RANGE(ID_WINDOW_ARRANGE, ID_WINDOW_TILE_VERT, OnWindowCommand)
        WND_COMMAND(ID_HELP_INDEX, OnHelpIndex)
        WND_COMMAND(ID_APP_ABOUT, OnAppAbout)
        WND_MESSAGE(WM_COMMAND, OnForwardCommand)
        WND_CHAIN(wnd::UpdateUI)
        WND_MESSAGE(WM_MENUSELECT, OnMenuSelect)
        WND_NOTIFY_CODE(TBN_HOTITEMCHANGE, OnToolBarHotItem)
        WND_NOTIFY_CODE(TTN_GETDISPINFOA, OnToolTipText)
        break;
    case 1:  // the MDI client
        WND_MESSAGE(WM_MDIDESTROY, OnMdiDestroy)
        WND_MESSAGE(WM_MDIACTIVATE, OnMdiActivate)
        WND_MESSAGE(WM_MDISETMENU, OnMdiSetMenu)
        WND_MESSAGE(WM_MDIREFRESHMENU, OnMdiRefreshMenu)
        WND_MESSAGE(WM_ERASEBKGND, OnClientEraseBackground)
        break;
    case 2:  // the status bar
        WND_MESSAGE(WM_ERASEBKGND, OnStatusEraseBackground)
        break;
    default:
        break;
    }
    return FALSE;
}

// Creation.

LRESULT CMainFrame::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    UIEnable(ID_HELP_INDEX, false);
    Resize(800, 600);
    SetText(GetCommonString("ApptypeData", "Title", "Tavell Software start module"));
    const std::string iconPath = GetProgramFolder() + GetCommonString("Application", "Title", "") + ".ico";
    if (HICON icon = static_cast<HICON>(::LoadImageA(nullptr, iconPath.c_str(), IMAGE_ICON, 0, 0,
                                                     LR_LOADFROMFILE | LR_DEFAULTSIZE)))
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    m_createExplorer = GetCommonDword("ApptypeData", "CreateExplorer", 1) != 0;
    m_createSpaceBar = GetCommonDword("ApptypeData", "CreateSizebar", 1) != 0;
    m_maximizeFirstChild = GetCommonDword("ApptypeData", "MaximizeFirstChild", 0) != 0;
    const bool showSpaceBar = GetCommonDword("ApptypeData", "ShowSizebarInitially", 1) != 0;

    if (!CreateBars()) return -1;
    CreateStatusBar();
    if (m_createSpaceBar) m_spaceBar.Create(m_hWnd, ID_SPACE_BAR, showSpaceBar);
    if (!CreateMdiClient(nullptr, ID_MDI_CLIENT, ID_MDI_FIRST_CHILD)) return -1;
    m_commandBar.SetMdiClient(m_mdiClient);

    UIAddToolBar(m_toolbar);
    UISetCheck(ID_VIEW_TOOLBAR, true);
    UISetCheck(ID_VIEW_STATUS_BAR, true);
    UISetCheck(ID_VIEW_SPACEBAR, showSpaceBar);

    if (wnd::MessageLoop* loop = wnd::MessageLoop::Current()) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
        m_loopRegistered = true;
    }
    m_mdiClientWindow.SubclassWindow(m_mdiClient);
    UpdateLayout();

    if (m_createExplorer && GetCommonDword("ApptypeData", "ShowExplorerInitially", 1) != 0)
        CreateExplorer();
    SyncToolBar();
    ActOnCommandLine();
    return 0;
}

HMENU CMainFrame::PrepareMenu()
{
    HMENU menu = ::GetMenu(m_hWnd);
    if (!menu) return nullptr;
    ::SetMenu(m_hWnd, nullptr);
    m_menu = menu;
    if (HMENU file = FindPopup(menu, "&File")) {
        if (HMENU recent = FindPopup(file, "Recent files")) {
            m_recentFiles.AttachToMenu(recent);
            m_recentFiles.ReadFromRegistry(RecentFilesKey());
        }
    }
    TranslateFrameMenu(menu);
    // The View popup is found by position: its caption is translated now.
    HMENU view = ::GetSubMenu(menu, 1);
    if (view && !m_createExplorer) {
        int position = PositionOfCommand(view, ID_VIEW_EXPLORER);
        if (position >= 0) {
            ::DeleteMenu(view, position, MF_BYPOSITION);
            if (position > 0) ::DeleteMenu(view, position - 1, MF_BYPOSITION);
        }
    }
    if (view && !m_createSpaceBar) ::DeleteMenu(view, ID_VIEW_SPACEBAR, MF_BYCOMMAND);
    return menu;
}

bool CMainFrame::CreateBars()
{
    m_rebar = ::CreateWindowExA(0, REBARCLASSNAMEA, nullptr,
                                WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | RBS_VARHEIGHT |
                                    RBS_BANDBORDERS | RBS_AUTOSIZE | CCS_NODIVIDER | CCS_TOP,
                                0, 0, 100, 100, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ID_REBAR)),
                                com::ModuleInstance(), nullptr);
    if (!m_rebar) return false;
    REBARINFO info = {sizeof(info)};
    ::SendMessageA(m_rebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));

    if (!m_commandBar.Create(m_rebar, m_hWnd, ID_COMMAND_BAR)) return false;
    HMENU menu = PrepareMenu();
    if (!menu || !m_commandBar.AttachMenu(menu)) return false;
    m_commandBar.LoadImages(com::ModuleInstance(), IDR_MAINFRAME);

    m_toolbar = wnd::CreateToolBarFromResource(m_rebar, com::ModuleInstance(), IDR_MAINFRAME, ID_TOOLBAR);
    if (!m_toolbar) return false;
    if (!m_createExplorer) {
        LRESULT index = ::SendMessageA(m_toolbar, TB_COMMANDTOINDEX, ID_VIEW_EXPLORER, 0);
        if (index >= 0) {
            ::SendMessageA(m_toolbar, TB_DELETEBUTTON, index, 0);
            ::SendMessageA(m_toolbar, TB_DELETEBUTTON, index, 0);  // the separator after it
        }
    }

    HWND bands[2] = {m_commandBar, m_toolbar};
    for (int i = 0; i < 2; ++i) {
        SIZE size = {};
        ::SendMessageA(bands[i], TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
        REBARBANDINFOA band = {sizeof(band)};
        band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_ID | RBBIM_SIZE | RBBIM_IDEALSIZE;
        band.fStyle = RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS | RBBS_BREAK;
        band.hwndChild = bands[i];
        band.cxMinChild = 0;
        band.cyMinChild = i == 0 ? ::GetSystemMetrics(SM_CYMENU) + 2 : size.cy;
        band.cx = band.cxIdeal = i == 0 ? 780 : size.cx;
        band.wID = ::GetDlgCtrlID(bands[i]);
        if (!::SendMessageA(m_rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)))
            return false;
    }

    ::SendMessageA(m_rebar, WM_SIZE, 0, 0);
    RECT client = {};
    ::GetClientRect(m_rebar, &client);
    HDC dc = ::GetDC(m_rebar);
    SIZE size = {std::max<LONG>(1, client.right), std::max<LONG>(1, client.bottom)};
    bool made = CreateGradientBitmap(dc, size, kGradientTop, kGradientBottom, &m_rebarBackground, TRUE) != FALSE;
    ::ReleaseDC(m_rebar, dc);
    if (!made) return false;
    for (int i = 0; i < 2; ++i) {
        REBARBANDINFOA band = {sizeof(band)};
        band.fMask = RBBIM_BACKGROUND;
        band.hbmBack = m_rebarBackground;
        ::SendMessageA(m_rebar, RB_SETBANDINFOA, i, reinterpret_cast<LPARAM>(&band));
    }
    return true;
}

void CMainFrame::CreateStatusBar()
{
    m_statusBar = ::CreateWindowExA(0, STATUSCLASSNAMEA, LookUpLangStr(COMMON_LANG_SECTION, IDS_READY).c_str(),
                                    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | SBARS_SIZEGRIP,
                                    0, 0, 0, 0, m_hWnd,
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ID_STATUS_BAR)),
                                    com::ModuleInstance(), nullptr);
    if (m_statusBar) m_statusBarWindow.SubclassWindow(m_statusBar);
}

void CMainFrame::ActOnCommandLine()
{
    const std::string* first = m_commandLine.FirstParameter();
    if (first) {
        LogPrintf("Started as: %s", m_commandLine.Line().c_str());
        if (CCommandLine::IsSwitch(*first)) {
            // Posted like the file to open: the box shows over the shown frame.
            PostMessage(WM_REFUSE_SWITCH);
            return;
        }
        if (!first->empty()) {
            PostMessage(WM_OPENPROJECTFILE, reinterpret_cast<WPARAM>(first->c_str()), 0);
            return;
        }
    }
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PostMessage(WM_COMMAND, MAKEWPARAM(ID_FILE_NEW, 0), 0);
}

void CMainFrame::SyncToolBar()
{
    if (!m_toolbar) return;
    HMENU menu = m_commandBar.GetMenu();
    const int count = static_cast<int>(::SendMessageA(m_toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        ::SendMessageA(m_toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        if (button.fsStyle & TBSTYLE_SEP) continue;
        UINT state = menu ? ::GetMenuState(menu, button.idCommand, MF_BYCOMMAND) : static_cast<UINT>(-1);
        bool enabled = state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
        ::SendMessageA(m_toolbar, TB_ENABLEBUTTON, button.idCommand, MAKELONG(enabled, 0));
    }
}

// Loop.

BOOL CMainFrame::PreTranslateMessage(MSG* msg)
{
    // Alt+F4 closes the program wherever in the frame the focus is: the
    // tree view keeps the key from the default handling that would.
    if (msg->message == WM_SYSKEYDOWN && msg->wParam == VK_F4 && (HIWORD(msg->lParam) & KF_ALTDOWN) &&
        (msg->hwnd == m_hWnd || ::IsChild(m_hWnd, msg->hwnd))) {
        PostMessage(WM_SYSCOMMAND, SC_CLOSE);
        return TRUE;
    }
    // Every queued message goes to the active child first, so that a
    // project's own accelerators (Ctrl+S) reach it. Commands are not: the
    // frame forwards those it does not take when they are dispatched, and
    // a command forwarded here as well would run twice (a menu's Paste
    // pasting twice, a cancelled Save As asking again).
    if (HWND child = MdiGetActive()) {
        if (msg->message != WM_COMMAND && ::SendMessageA(child, WM_FORWARDMSG, 0, reinterpret_cast<LPARAM>(msg)))
            return TRUE;
    }
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
    if (m_mdiClient && ::TranslateMDISysAccel(m_mdiClient, msg)) return TRUE;
    return m_accelerators && ::TranslateAcceleratorA(m_hWnd, m_accelerators, msg);
}

BOOL CMainFrame::OnIdle()
{
    UIUpdateToolBars();
    m_commandBar.UpdateMdiButtons();
    return FALSE;
}

// Messages.

LRESULT CMainFrame::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (m_loopRegistered) {
        if (wnd::MessageLoop* loop = wnd::MessageLoop::Current()) {
            loop->RemoveMessageFilter(this);
            loop->RemoveIdleHandler(this);
        }
        m_loopRegistered = false;
    }
    ::PostQuitMessage(0);
    handled = FALSE;
    return 0;
}

LRESULT CMainFrame::OnClose(UINT, WPARAM, LPARAM, BOOL& handled)
{
    while (HWND child = MdiGetActive()) {
        if (::SendMessageA(child, WM_CLOSE, 0, 0)) return 0;  // vetoed
        if (::IsWindow(child)) ::SendMessageA(m_mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
        if (MdiGetActive() == child) return 0;  // it would not go
    }
    handled = FALSE;
    return 0;
}

LRESULT CMainFrame::OnSize(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    // Not for the system's frame procedure, which would give the MDI client
    // the whole client area.
    if (wParam != SIZE_MINIMIZED) UpdateLayout();
    return 0;
}

void CMainFrame::UpdateLayout()
{
    RECT rc = GetClientRect();
    if (m_rebar && ::IsWindowVisible(m_rebar)) {
        ::SendMessageA(m_rebar, WM_SIZE, 0, 0);
        RECT bar = {};
        ::GetWindowRect(m_rebar, &bar);
        rc.top += bar.bottom - bar.top;
    }
    if (m_statusBar && ::IsWindowVisible(m_statusBar)) {
        ::SendMessageA(m_statusBar, WM_SIZE, 0, 0);
        RECT bar = {};
        ::GetWindowRect(m_statusBar, &bar);
        rc.bottom -= bar.bottom - bar.top;
    }
    if (m_spaceBar.IsWindow() && m_spaceBar.IsVisible()) {
        ::SetWindowPos(m_spaceBar, nullptr, rc.left, rc.bottom - CSpaceMeasureBar::HEIGHT, wnd::Width(rc),
                       CSpaceMeasureBar::HEIGHT, SWP_NOZORDER | SWP_NOACTIVATE);
        rc.bottom -= CSpaceMeasureBar::HEIGHT;
    }
    if (m_mdiClient)
        ::SetWindowPos(m_mdiClient, nullptr, rc.left, rc.top, wnd::Width(rc), std::max<LONG>(0, wnd::Height(rc)),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_statusBar) ::InvalidateRect(m_statusBar, nullptr, TRUE);
}

LRESULT CMainFrame::OnActivate(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    m_commandBar.SetFrameActive(LOWORD(wParam) != WA_INACTIVE);
    handled = FALSE;
    return 0;
}

LRESULT CMainFrame::OnRebarHeightChange(int, NMHDR*, BOOL&)
{
    UpdateLayout();
    return 0;
}

LRESULT CMainFrame::OnCustomDraw(int, NMHDR* header, BOOL& handled)
{
    LRESULT result = CDRF_DODEFAULT;
    handled = m_commandBar.OnCustomDraw(header, &result);
    return result;
}

LRESULT CMainFrame::OnRefuseSwitch(UINT, WPARAM, LPARAM, BOOL&)
{
    ::MessageBoxA(m_hWnd, "Command line parameters are not supported yet (except of filename to open).", "Error",
                  MB_ICONSTOP | MB_OK);
    return 0;
}

LRESULT CMainFrame::OnRelayToChildren(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    for (HWND child = ::GetWindow(m_mdiClient, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageA(child, msg, wParam, lParam);
    return 0;
}

LRESULT CMainFrame::OnSizeBarUpdate(int, NMHDR* header, BOOL&)
{
    auto* update = reinterpret_cast<NMSIZEBARUPDATE*>(header);
    if (!m_spaceBar.IsWindow() || !header->hwndFrom || header->hwndFrom != MdiGetActive()) return 0;
    if (update->kind == SIZEBAR_DATA) m_spaceBar.SetDataSize(update->bytes);
    else if (update->kind == SIZEBAR_AUDIO) m_spaceBar.SetTotalLength(update->seconds);
    return 0;
}

// Commands.

LRESULT CMainFrame::OnAppExit(WORD, WORD, HWND, BOOL&)
{
    PostMessage(WM_CLOSE);
    return 0;
}

LRESULT CMainFrame::OnViewToolBar(WORD, WORD, HWND, BOOL&)
{
    const bool show = !UIIsChecked(ID_VIEW_TOOLBAR);
    LRESULT index = ::SendMessageA(m_rebar, RB_IDTOINDEX, ID_TOOLBAR, 0);
    ::SendMessageA(m_rebar, RB_SHOWBAND, index, show);
    UISetCheck(ID_VIEW_TOOLBAR, show);
    UpdateLayout();
    return 0;
}

LRESULT CMainFrame::OnViewStatusBar(WORD, WORD, HWND, BOOL&)
{
    const bool show = !::IsWindowVisible(m_statusBar);
    ::ShowWindow(m_statusBar, show ? SW_SHOWNOACTIVATE : SW_HIDE);
    UISetCheck(ID_VIEW_STATUS_BAR, show);
    UpdateLayout();
    return 0;
}

LRESULT CMainFrame::OnViewSpaceBar(WORD, WORD, HWND, BOOL&)
{
    if (!m_spaceBar.IsWindow()) return 0;
    const bool show = !m_spaceBar.IsVisible();
    ::ShowWindow(m_spaceBar, show ? SW_SHOWNOACTIVATE : SW_HIDE);
    UISetCheck(ID_VIEW_SPACEBAR, show);
    UpdateLayout();
    return 0;
}

LRESULT CMainFrame::OnViewExplorer(WORD, WORD, HWND, BOOL&)
{
    // Without the explorer, its accelerator does nothing either.
    if (!m_createExplorer) return 0;
    for (HWND child = ::GetWindow(m_mdiClient, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = "";
        ::GetClassNameA(child, name, sizeof(name));
        if (lstrcmpiA(name, "Explorer Window") == 0) {
            MdiActivate(child);
            return 0;
        }
    }
    CreateExplorer();
    return 0;
}

void CMainFrame::CreateExplorer()
{
    bool first = MdiGetActive() == nullptr;
    CExplorerWindow::Open(m_mdiClient, first && m_maximizeFirstChild);
}

LRESULT CMainFrame::OnWindowCommand(WORD, WORD id, HWND, BOOL&)
{
    switch (id) {
    case ID_WINDOW_CASCADE: ::SendMessageA(m_mdiClient, WM_MDICASCADE, 0, 0); break;
    case ID_WINDOW_TILE_HORZ: ::SendMessageA(m_mdiClient, WM_MDITILE, MDITILE_HORIZONTAL, 0); break;
    case ID_WINDOW_TILE_VERT: ::SendMessageA(m_mdiClient, WM_MDITILE, MDITILE_VERTICAL, 0); break;
    default: ::SendMessageA(m_mdiClient, WM_MDIICONARRANGE, 0, 0); break;
    }
    return 0;
}

LRESULT CMainFrame::OnHelpIndex(WORD, WORD, HWND, BOOL&)
{
    const std::string help = GetProgramFolder() + GetCommonString("Application", "Title", "") + ".chm";
    ::ShellExecuteA(m_hWnd, "open", help.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return 0;
}

LRESULT CMainFrame::OnAppAbout(WORD, WORD, HWND, BOOL&)
{
    const std::string text = GetCommonString("ApptypeData", "Title", "") + "\nVersion " +
                             GetCommonString("ApptypeData", "Version", "1.0.0.0");
    FrameMessageBox(text, MB_ICONINFORMATION);
    return 0;
}

LRESULT CMainFrame::OnForwardCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (HWND child = MdiGetActive()) {
        MSG forwarded = {nullptr, WM_COMMAND, LOWORD(wParam), 0, 0, {0, 0}};
        ::SendMessageA(child, WM_FORWARDMSG, 0, reinterpret_cast<LPARAM>(&forwarded));
    }
    handled = FALSE;  // update-UI and the MDI frame still see it
    return 0;
}

int CMainFrame::FrameMessageBox(const std::string& text, UINT type)
{
    return TitledMessageBox(m_hWnd, text.c_str(), type);
}

// Prompts and tooltips.

LRESULT CMainFrame::OnMenuSelect(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const UINT flags = HIWORD(wParam);
    if (flags == 0xFFFF && !lParam) {
        ::SendMessageA(m_statusBar, SB_SIMPLE, FALSE, 0);
        return 0;
    }
    if (flags & MF_POPUP) return 0;
    ShowPrompt(LOWORD(wParam));
    return 0;
}

void CMainFrame::ShowPrompt(UINT command)
{
    const std::string text = PromptText(command);
    ::SendMessageA(m_statusBar, SB_SIMPLE, TRUE, 0);
    ::SendMessageA(m_statusBar, SB_SETTEXTA, 255 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT CMainFrame::OnToolBarHotItem(int, NMHDR* header, BOOL& handled)
{
    auto* hot = reinterpret_cast<NMTBHOTITEM*>(header);
    if (header->hwndFrom != m_toolbar) {
        handled = FALSE;
        return 0;
    }
    if ((hot->dwFlags & HICF_MOUSE) && !(hot->dwFlags & HICF_LEAVING)) {
        ShowPrompt(hot->idNew);
    } else if (hot->dwFlags & HICF_LEAVING) {
        ::SendMessageA(m_statusBar, SB_SIMPLE, FALSE, 0);
        handled = FALSE;
    } else {
        handled = FALSE;
    }
    return 0;
}

LRESULT CMainFrame::OnToolTipText(int, NMHDR* header, BOOL& handled)
{
    handled = TranslateToolTip(COMMON_LANG_SECTION, reinterpret_cast<NMTTDISPINFOA*>(header));
    return 0;
}

// The MDI client and the status bar.

LRESULT CMainFrame::ChangeChildren(UINT msg, WPARAM wParam, LPARAM lParam, bool resetSpaceBar)
{
    ::SendMessageA(m_mdiClient, WM_SETREDRAW, FALSE, 0);
    if (resetSpaceBar && m_spaceBar.IsWindow()) m_spaceBar.SetDataSize(0);
    ::SetWindowPos(m_mdiClient, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    LRESULT result = m_mdiClientWindow.DefWindowProc(msg, wParam, lParam);
    UpdateLayout();
    ::SendMessageA(m_mdiClient, WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(m_mdiClient, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    // With no child left the frame's own menu shows again.
    if (!MdiGetActive() && m_commandBar.GetMenu() != m_menu) {
        m_commandBar.AttachMenu(m_menu);
        SyncToolBar();
    }
    m_commandBar.UpdateMdiButtons();
    return result;
}

LRESULT CMainFrame::OnMdiDestroy(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return ChangeChildren(msg, wParam, lParam, true);
}

LRESULT CMainFrame::OnMdiActivate(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return ChangeChildren(msg, wParam, lParam, false);
}

LRESULT CMainFrame::OnMdiSetMenu(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // The client keeps the window list in the new Window popup; the menu
    // itself shows in the command bar, never as the frame's menu bar.
    HMENU previous = m_commandBar.GetMenu();
    m_mdiClientWindow.DefWindowProc(msg, 0, lParam);
    if (lParam) m_windowMenu = reinterpret_cast<HMENU>(lParam);
    HMENU menu = wParam ? reinterpret_cast<HMENU>(wParam) : m_menu;
    if (menu != previous) m_commandBar.AttachMenu(menu);
    // The children's list in the new Window popup.
    if (lParam) m_mdiClientWindow.DefWindowProc(WM_MDIREFRESHMENU, 0, 0);
    SyncToolBar();
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT CMainFrame::OnMdiRefreshMenu(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    SyncToolBar();
    return m_mdiClientWindow.DefWindowProc(msg, wParam, lParam);
}

LRESULT CMainFrame::OnClientEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (MdiGetActive()) {
        handled = FALSE;
        return 0;
    }
    HDC dc = reinterpret_cast<HDC>(wParam);
    RECT rc = m_mdiClientWindow.GetClientRect();
    ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_APPWORKSPACE));
    const std::string hint = LookUpLangStr(COMMON_LANG_SECTION, IDS_BACKGROUND_HINT);
    HGDIOBJ old = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextA(dc, hint.c_str(), -1, &rc, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    ::SelectObject(dc, old);
    return 1;
}

LRESULT CMainFrame::OnStatusEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    RECT rc = m_statusBarWindow.GetClientRect();
    FillGradientRect(reinterpret_cast<HDC>(wParam), rc.left, rc.top, wnd::Width(rc), wnd::Height(rc), kGradientTop,
                     kGradientBottom, TRUE);
    return 1;
}
