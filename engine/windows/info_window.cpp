#include "windows/info_window.h"
#include <algorithm>

namespace {

const int MARGIN = 5;
const int COLUMN_GAP = 12;

SIZE TextSize(HDC dc, const std::string& text)
{
    SIZE size = {0, 0};
    if (!text.empty()) GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

}  // namespace

std::vector<CInfoWindow::Line> CInfoWindow::SplitLines(const std::string& text)
{
    std::vector<Line> lines;
    if (text.empty()) return lines;
    for (size_t from = 0;;) {
        const size_t end = text.find('\n', from);
        const std::string line = text.substr(from, end == std::string::npos ? std::string::npos : end - from);
        const size_t tab = line.find('\t');
        if (tab == std::string::npos) lines.push_back({line, std::string()});
        else lines.push_back({line.substr(0, tab), line.substr(tab + 1)});
        if (end == std::string::npos) break;
        from = end + 1;
    }
    return lines;
}

LRESULT CInfoWindow::OnCreate(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    LOGFONTA font = {};
    font.lfHeight = -14;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(font.lfFaceName, "MS Sans Serif", LF_FACESIZE);
    m_font = wnd::Font::FromLogFont(font);
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    m_lines = SplitLines(create && create->lpszName ? create->lpszName : "");
    Measure();
    return 0;
}

LRESULT CInfoWindow::OnSetText(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    const LRESULT stored = DefWindowProc();  // the window text is the whole text
    m_lines = SplitLines(lParam ? reinterpret_cast<const char*>(lParam) : "");
    Measure();
    m_scroll = {0, 0};
    UpdateScrollBars();
    Invalidate();
    return stored;
}

void CInfoWindow::Measure()
{
    wnd::ClientDC dc(m_hWnd);
    wnd::Selection font(dc, m_font ? static_cast<HGDIOBJ>(m_font.Get()) : GetStockObject(DEFAULT_GUI_FONT));
    // The font the system gave may differ from the one asked for.
    m_lineHeight = std::max<int>(1, TextSize(dc, "0").cy);
    int labels = 0, values = 0;
    for (const Line& line : m_lines) {
        labels = std::max<int>(labels, TextSize(dc, line.label).cx);
        values = std::max<int>(values, TextSize(dc, line.value).cx);
    }
    m_valueColumn = MARGIN + labels + COLUMN_GAP;
    m_content.cx = m_valueColumn + values + MARGIN;
    m_content.cy = static_cast<int>(m_lines.size()) * m_lineHeight + 2 * MARGIN;
}

LRESULT CInfoWindow::OnPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    wnd::PaintDC dc(m_hWnd);
    wnd::Selection font(dc, m_font ? static_cast<HGDIOBJ>(m_font.Get()) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetViewportOrgEx(dc, -m_scroll.x, -m_scroll.y, nullptr);
    for (size_t n = 0; n < m_lines.size(); ++n) {
        const int y = MARGIN + static_cast<int>(n) * m_lineHeight;
        const Line& line = m_lines[n];
        TextOutA(dc, MARGIN, y, line.label.c_str(), static_cast<int>(line.label.size()));
        TextOutA(dc, m_valueColumn, y, line.value.c_str(), static_cast<int>(line.value.size()));
    }
    return 0;
}

LRESULT CInfoWindow::OnSize(UINT, WPARAM, LPARAM, BOOL&)
{
    UpdateScrollBars();
    ScrollTo(m_scroll);
    return 0;
}

void CInfoWindow::UpdateScrollBars()
{
    const RECT client = GetClientRect();
    SCROLLINFO info = {sizeof(info)};
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = m_content.cy - 1;
    info.nPage = static_cast<UINT>(client.bottom);
    info.nPos = m_scroll.y;
    SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
    info.nMax = m_content.cx - 1;
    info.nPage = static_cast<UINT>(client.right);
    info.nPos = m_scroll.x;
    SetScrollInfo(m_hWnd, SB_HORZ, &info, TRUE);
}

void CInfoWindow::ScrollTo(POINT to)
{
    const RECT client = GetClientRect();
    to.x = std::max(0L, std::min<LONG>(to.x, m_content.cx - client.right));
    to.y = std::max(0L, std::min<LONG>(to.y, m_content.cy - client.bottom));
    if (to.x == m_scroll.x && to.y == m_scroll.y) return;
    const int dx = m_scroll.x - to.x, dy = m_scroll.y - to.y;
    m_scroll = to;
    SetScrollPos(m_hWnd, SB_HORZ, m_scroll.x, TRUE);
    SetScrollPos(m_hWnd, SB_VERT, m_scroll.y, TRUE);
    ScrollWindowEx(m_hWnd, dx, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
    UpdateWindow(m_hWnd);
}

LRESULT CInfoWindow::OnScroll(UINT msg, WPARAM wParam, LPARAM, BOOL&)
{
    const bool vertical = msg == WM_VSCROLL;
    const RECT client = GetClientRect();
    const int page = vertical ? client.bottom : client.right;
    const int step = vertical ? m_lineHeight : m_lineHeight * 2;
    const LONG now = vertical ? m_scroll.y : m_scroll.x;
    LONG to = now;
    switch (LOWORD(wParam)) {
    case SB_LINEUP: to = now - step; break;
    case SB_LINEDOWN: to = now + step; break;
    case SB_PAGEUP: to = now - page; break;
    case SB_PAGEDOWN: to = now + page; break;
    case SB_TOP: to = 0; break;
    case SB_BOTTOM: to = vertical ? m_content.cy : m_content.cx; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info = {sizeof(info), SIF_TRACKPOS};
        GetScrollInfo(m_hWnd, vertical ? SB_VERT : SB_HORZ, &info);
        to = info.nTrackPos;
        break;
    }
    default: return 0;
    }
    ScrollTo(vertical ? POINT{m_scroll.x, to} : POINT{to, m_scroll.y});
    return 0;
}

LRESULT CInfoWindow::OnMouseWheel(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    if (lines == WHEEL_PAGESCROLL) lines = static_cast<UINT>(std::max(1L, GetClientRect().bottom / m_lineHeight));
    const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
    ScrollTo({m_scroll.x, m_scroll.y - notches * static_cast<int>(lines) * m_lineHeight});
    return 0;
}

LRESULT CInfoWindow::OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    switch (wParam) {
    case VK_UP: SendMessage(WM_VSCROLL, SB_LINEUP); break;
    case VK_DOWN: SendMessage(WM_VSCROLL, SB_LINEDOWN); break;
    case VK_LEFT: SendMessage(WM_HSCROLL, SB_LINEUP); break;
    case VK_RIGHT: SendMessage(WM_HSCROLL, SB_LINEDOWN); break;
    default: handled = FALSE;
    }
    return 0;
}
