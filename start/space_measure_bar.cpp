#include "space_measure_bar.h"
#include <cstdio>

HWND CSpaceMeasureBar::Create(HWND parent, UINT id, bool visible)
{
    return WindowImpl::Create(parent, nullptr, "", WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0), 0, id);
}

void CSpaceMeasureBar::SetDataSize(ULONGLONG bytes)
{
    m_bytes = bytes;
    m_audio = false;
    Refresh();
}

void CSpaceMeasureBar::SetTotalLength(float seconds)
{
    m_seconds = seconds;
    m_audio = true;
    Refresh();
}

std::string CSpaceMeasureBar::Text() const
{
    char text[64];
    if (m_audio)
        std::snprintf(text, sizeof(text), "%u:%02u", static_cast<unsigned>(m_seconds) / 60,
                      static_cast<unsigned>(m_seconds) % 60);
    else
        std::snprintf(text, sizeof(text), "%.2f MB", static_cast<double>(m_bytes) / (1024.0 * 1024.0));
    return text;
}

void CSpaceMeasureBar::Refresh()
{
    if (!m_hWnd) return;
    SetText(Text());  // also what a screen reader reads
    Invalidate();
}

LRESULT CSpaceMeasureBar::OnPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    RECT rc = GetClientRect();
    ::DrawEdge(dc, &rc, EDGE_ETCHED, BF_TOP);
    const std::string text = Text();
    HGDIOBJ old = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    rc.left += 8;
    ::DrawTextA(dc, text.c_str(), -1, &rc, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    ::SelectObject(dc, old);
    ::EndPaint(m_hWnd, &ps);
    return 0;
}
