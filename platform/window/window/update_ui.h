// UpdateUI: the enabled and checked state of commands, kept in one table and
// applied to the menus as they open and to registered toolbars when the
// message loop goes idle. A window mixes it in and chains its map:
//
//   WND_CHAIN(wnd::UpdateUI)     // WM_INITMENUPOPUP
//   ... UIEnable(ID_HELP_INDEX, false); UIAddToolBar(toolbar); ...
//   BOOL OnIdle() { UIUpdateToolBars(); return FALSE; }
#pragma once
#include "window/message_map.h"
#include <map>
#include <vector>

namespace wnd {

class UpdateUI {
public:
    void UIEnable(UINT id, bool enable);
    void UISetCheck(UINT id, bool check);
    // A command never set is enabled and unchecked.
    bool UIIsEnabled(UINT id) const;
    bool UIIsChecked(UINT id) const;

    void UIAddToolBar(HWND toolbar);
    // Applies the table to the registered toolbars' buttons.
    void UIUpdateToolBars();
    // Applies the table to the items of `menu` (not to its sub-menus).
    void UIUpdateMenu(HMENU menu) const;

    WND_MSG_MAP_BEGIN(UpdateUI)
        WND_MESSAGE(WM_INITMENUPOPUP, OnInitMenuPopup)
    WND_MSG_MAP_END()

    LRESULT OnInitMenuPopup(UINT, WPARAM wParam, LPARAM, BOOL& handled);

protected:
    ~UpdateUI() = default;

private:
    struct State {
        bool enabled = true;
        bool checked = false;
    };
    std::map<UINT, State> m_states;
    std::vector<HWND> m_toolbars;
    bool m_toolbarsDirty = true;
};

}  // namespace wnd
