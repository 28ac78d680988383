#include "wait_window.h"
#include <com/module.h>

CWaitWindow::CWaitWindow(HWND owner, const std::string& text) : m_text(text)
{
    // A dialog template with no controls: popup, visible, bordered, brought
    // to the foreground, 180 x 22 dialog units at 0, 0; no menu, class or
    // title. Laid out word by word (the header is 18 bytes).
    const DWORD style = WS_POPUP | WS_VISIBLE | WS_BORDER | DS_SETFOREGROUND;
    alignas(4) WORD words[12] = {LOWORD(style), HIWORD(style), 0, 0, 0, 0, 0, 180, 22, 0, 0, 0};
    CreateModelessDialog(com::ModuleInstance(), reinterpret_cast<const DLGTEMPLATE*>(words), owner, 0);
}

CWaitWindow::~CWaitWindow()
{
    if (IsWindow()) Destroy();
}

LRESULT CWaitWindow::OnInitDialog()
{
    HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, font);
    RECT text = {};
    ::DrawTextA(dc, m_text.c_str(), -1, &text, DT_SINGLELINE | DT_CENTER | DT_CALCRECT);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    RECT client = GetClientRect();
    if (wnd::Width(client) - 24 < wnd::Width(text)) {
        RECT window = GetWindowRect();
        const int extra = wnd::Width(window) - wnd::Width(client);
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, wnd::Width(text) + 24 + extra, wnd::Height(window),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        client = GetClientRect();
    }
    HWND label = ::CreateWindowExA(0, "STATIC", m_text.c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE,
                                   0, 0, wnd::Width(client), wnd::Height(client), m_hWnd, nullptr,
                                   com::ModuleInstance(), nullptr);
    ::SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    CenterWindow();
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return TRUE;
}

BOOL CWaitWindow::ProcessWindowMessage(HWND, UINT msg, WPARAM, LPARAM, LRESULT& result, DWORD mapId)
{
    if (mapId != 0 || msg != WM_INITDIALOG) return FALSE;
    result = OnInitDialog();
    return TRUE;
}
