#include "wait_dialog.h"

CWaitDialog::CWaitDialog(HWND owner, const std::string& text) : m_text(text)
{
    Create(owner);
}

CWaitDialog::~CWaitDialog()
{
    if (IsWindow()) Destroy();
}

LRESULT CWaitDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    HFONT font = GetFont();
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, font);
    SIZE text = {0, 0};
    ::GetTextExtentPoint32A(dc, m_text.c_str(), static_cast<int>(m_text.size()), &text);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);

    RECT client = GetClientRect();
    if (wnd::Width(client) - TEXT_MARGIN < text.cx) {
        RECT window = GetWindowRect();
        Resize(wnd::Width(window) + text.cx + TEXT_MARGIN - wnd::Width(client), wnd::Height(window));
        client = GetClientRect();
    }
    HWND label = ::CreateWindowExA(0, "STATIC", m_text.c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE,
                                   0, 0, wnd::Width(client), wnd::Height(client), m_hWnd, nullptr,
                                   com::ModuleInstance(), nullptr);
    wnd::Window(label).SetFont(font, false);
    CenterWindow();
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return TRUE;
}

bool CNextButtonPosHinter::Measure()
{
    if (!Create(::GetDesktopWindow())) return false;
    Destroy();
    return true;
}

LRESULT CNextButtonPosHinter::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    RECT client = GetClientRect();
    int cw = wnd::Width(client), ch = wnd::Height(client);
    m_horizontalMargin = static_cast<UINT>(cw * 0.109375);
    m_verticalMargin = static_cast<UINT>(ch * 0.25);
    m_width = cw - 2 * m_horizontalMargin;
    m_height = ch - 2 * m_verticalMargin;
    return TRUE;
}
