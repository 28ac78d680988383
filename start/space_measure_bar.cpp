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
    if (m_hWnd) Invalidate();
}

void CSpaceMeasureBar::SetTotalLength(float seconds)
{
    m_seconds = seconds;
    m_audio = true;
    if (m_hWnd) Invalidate();
}

LRESULT CSpaceMeasureBar::OnPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    RECT rc = GetClientRect();
    ::DrawEdge(dc, &rc, EDGE_ETCHED, BF_TOP);
    char text[64];
    if (m_audio)
        std::snprintf(text, sizeof(text), "%u:%02u", static_cast<unsigned>(m_seconds) / 60,
                      static_cast<unsigned>(m_seconds) % 60);
    else
        std::snprintf(text, sizeof(text), "%.2f MB", static_cast<double>(m_bytes) / (1024.0 * 1024.0));
    HGDIOBJ old = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    rc.left += 8;
    ::DrawTextA(dc, text, -1, &rc, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    ::SelectObject(dc, old);
    ::EndPaint(m_hWnd, &ps);
    return 0;
}
