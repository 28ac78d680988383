#include "space_measure_bar.h"
#include <com/module.h>
#include <shared/drawing.h>
#include <commctrl.h>

namespace {
const UINT_PTR BAR_TOOL = 1;
}

HWND CSpaceMeasureBar::Create(HWND parent, UINT id, bool visible)
{
    return WindowImpl::Create(parent, nullptr, "", WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0), 0, id);
}

void CSpaceMeasureBar::SetDataSize(ULONGLONG bytes)
{
    m_state.mode = SPACE_BAR_DATA;
    m_state.bytes = bytes;
    Refresh();
}

void CSpaceMeasureBar::SetTotalLength(float seconds)
{
    m_state.mode = SPACE_BAR_AUDIO;
    m_state.seconds = seconds;
    Refresh();
}

void CSpaceMeasureBar::FillToolInfo(TOOLINFOA* tool, const std::string* text)
{
    *tool = TOOLINFOA{};
    tool->cbSize = TTTOOLINFOA_V2_SIZE;
    tool->uFlags = TTF_SUBCLASS;
    tool->hwnd = m_hWnd;
    tool->uId = BAR_TOOL;
    tool->rect = GetClientRect();
    tool->lpszText = const_cast<char*>(text ? text->c_str() : "");
}

LRESULT CSpaceMeasureBar::OnCreate(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_toolTip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                  com::ModuleInstance(), nullptr);
    if (m_toolTip) {
        TOOLINFOA tool;
        const std::string text = Text();
        FillToolInfo(&tool, &text);
        ::SendMessageA(m_toolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    handled = FALSE;
    return 0;
}

LRESULT CSpaceMeasureBar::OnSize(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (m_toolTip) {
        TOOLINFOA tool;
        FillToolInfo(&tool, nullptr);
        ::SendMessageA(m_toolTip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    handled = FALSE;
    return 0;
}

void CSpaceMeasureBar::Refresh()
{
    if (!m_hWnd) return;
    const std::string text = Text();
    SetText(text);
    if (m_toolTip) {
        TOOLINFOA tool;
        FillToolInfo(&tool, &text);
        ::SendMessageA(m_toolTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

LRESULT CSpaceMeasureBar::OnPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    const RECT rc = GetClientRect();
    {
        CMemoryDC memory(dc, &rc);
        PaintSpaceBar(memory, SIZE{rc.right, rc.bottom}, m_state);
    }
    ::EndPaint(m_hWnd, &ps);
    return 0;
}
