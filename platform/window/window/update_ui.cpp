#include "window/update_ui.h"
#include <commctrl.h>

namespace wnd {

void UpdateUI::UIEnable(UINT id, bool enable)
{
    State& state = m_states[id];
    if (state.enabled != enable) m_toolbarsDirty = true;
    state.enabled = enable;
}

void UpdateUI::UISetCheck(UINT id, bool check)
{
    State& state = m_states[id];
    if (state.checked != check) m_toolbarsDirty = true;
    state.checked = check;
}

bool UpdateUI::UIIsEnabled(UINT id) const
{
    auto it = m_states.find(id);
    return it == m_states.end() || it->second.enabled;
}

bool UpdateUI::UIIsChecked(UINT id) const
{
    auto it = m_states.find(id);
    return it != m_states.end() && it->second.checked;
}

void UpdateUI::UIAddToolBar(HWND toolbar)
{
    m_toolbars.push_back(toolbar);
    m_toolbarsDirty = true;
}

void UpdateUI::UIUpdateToolBars()
{
    if (!m_toolbarsDirty) return;
    m_toolbarsDirty = false;
    for (HWND toolbar : m_toolbars) {
        if (!::IsWindow(toolbar)) continue;
        for (const auto& entry : m_states) {
            if (::SendMessageA(toolbar, TB_COMMANDTOINDEX, entry.first, 0) < 0) continue;
            ::SendMessageA(toolbar, TB_ENABLEBUTTON, entry.first, MAKELONG(entry.second.enabled, 0));
            ::SendMessageA(toolbar, TB_CHECKBUTTON, entry.first, MAKELONG(entry.second.checked, 0));
        }
    }
}

void UpdateUI::UIUpdateMenu(HMENU menu) const
{
    for (const auto& entry : m_states) {
        if (::GetMenuState(menu, entry.first, MF_BYCOMMAND) == static_cast<UINT>(-1)) continue;
        ::EnableMenuItem(menu, entry.first, MF_BYCOMMAND | (entry.second.enabled ? MF_ENABLED : MF_GRAYED));
        ::CheckMenuItem(menu, entry.first, MF_BYCOMMAND | (entry.second.checked ? MF_CHECKED : MF_UNCHECKED));
    }
}

LRESULT UpdateUI::OnInitMenuPopup(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (!HIWORD(lParam)) UIUpdateMenu(reinterpret_cast<HMENU>(wParam));
    handled = FALSE;  // the frame's own handling goes on
    return 0;
}

}  // namespace wnd
