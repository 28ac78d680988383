#include "hyperlink.h"
#include <com/module.h>
#include <commctrl.h>
#include <shellapi.h>

CHyperLink::~CHyperLink()
{
    if (m_toolTip) ::DestroyWindow(m_toolTip);
    if (m_hWnd) UnsubclassWindow();
    if (m_font) ::DeleteObject(m_font);
}

bool CHyperLink::Attach(HWND dialog, int control, const std::string& text, const std::string& target)
{
    HWND link = ::GetDlgItem(dialog, control);
    if (!link) return false;
    ::SetWindowTextA(link, text.c_str());
    m_target = target;
    if (m_target.empty()) return true;  // plain text: not taken over
    if (!SubclassWindow(link)) return false;
    LOGFONTA face = {};
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(link, WM_GETFONT, 0, 0));
    if (::GetObjectA(font ? font : ::GetStockObject(DEFAULT_GUI_FONT), sizeof(face), &face)) {
        face.lfUnderline = TRUE;
        m_font = ::CreateFontIndirectA(&face);
        if (m_font) ::SendMessageA(link, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
    }
    m_toolTip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                                  com::ModuleInstance(), nullptr);
    if (m_toolTip) {
        TOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = dialog;
        tool.uId = reinterpret_cast<UINT_PTR>(link);
        tool.lpszText = const_cast<char*>(m_target.c_str());
        ::SendMessageA(m_toolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return true;
}

LRESULT CHyperLink::OnSetCursor(UINT, WPARAM, LPARAM, BOOL&)
{
    ::SetCursor(::LoadCursor(nullptr, IDC_HAND));
    return TRUE;
}

LRESULT CHyperLink::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&)
{
    ::ShellExecuteA(nullptr, "open", m_target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return 0;
}
