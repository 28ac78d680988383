#include "main_frame_standin.h"

CMainFrameStandIn::CMainFrameStandIn()
{
    m_menu = CreateMenu();
    HMENU window = CreatePopupMenu();
    AppendMenuA(window, MF_STRING, 0xE132, "&Cascade");
    AppendMenuA(m_menu, MF_POPUP, reinterpret_cast<UINT_PTR>(window), "&Window");
    RECT place = {0, 0, 1000, 720};
    Create(nullptr, &place, "Main frame stand-in", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0,
           reinterpret_cast<UINT_PTR>(m_menu));
    CLIENTCREATESTRUCT ccs = {window, 0xFF00};
    RECT client = GetClientRect();
    m_client = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                               WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL, 0, 0, client.right,
                               client.bottom, m_hWnd, nullptr, GetModuleHandleA(nullptr), &ccs);
    Pump();
}

CMainFrameStandIn::~CMainFrameStandIn()
{
    if (IsWindow()) Destroy();
    Pump();
}

HWND CMainFrameStandIn::ActiveChild() const
{
    return reinterpret_cast<HWND>(::SendMessageA(m_client, WM_MDIGETACTIVE, 0, 0));
}

HRESULT CMainFrameStandIn::OpenChild(IOwnWindow* own) const
{
    HRESULT hr = own->CreateOwnWindow(m_client);
    HWND window = nullptr;
    if (SUCCEEDED(hr) && SUCCEEDED(own->GetOwnWindow(&window)) && window) {
        ::ShowWindow(window, SW_SHOW);
        ::SendMessageA(m_client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(window), 0);
    }
    return hr;
}

LRESULT CMainFrameStandIn::Forward(WORD command) const
{
    MSG msg = {nullptr, WM_COMMAND, command, 0, 0, {0, 0}};
    HWND child = ActiveChild();
    return child ? ::SendMessageA(child, WM_FORWARDMSG, 0, reinterpret_cast<LPARAM>(&msg)) : 0;
}

void CMainFrameStandIn::Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

LRESULT CMainFrameStandIn::OnRecentFilesChanged(UINT, WPARAM, LPARAM, BOOL&)
{
    ++recentFilesChanged;
    return 0;
}

LRESULT CMainFrameStandIn::OnMdiSetMenu(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    // A project that goes last gives the frame its own menu back.
    if (!wParam) {
        ++ownMenuRestored;
        ::SendMessageA(m_client, WM_MDISETMENU, reinterpret_cast<WPARAM>(m_menu), 0);
        DrawMenuBar(m_hWnd);
    }
    return 0;
}

LRESULT CMainFrameStandIn::OnNotify(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header) return 0;
    size_t size = header->code == SIZEBARN_UPDATE ? sizeof(NMSIZEBARUPDATE) : sizeof(NMHDR);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(header);
    notices.push_back({wParam, std::vector<unsigned char>(bytes, bytes + size)});
    return 0;
}

LRESULT CMainFrameStandIn::OnMenuSelect(UINT, WPARAM, LPARAM, BOOL&)
{
    ++menuSelects;
    return 0;
}

LRESULT CMainFrameStandIn::OnDefault(UINT msg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return DefFrameProcA(m_hWnd, m_client, msg, wParam, lParam);
}
