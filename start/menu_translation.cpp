#include "menu_translation.h"
#include "resource.h"
#include <shared/translator.h>
#include <cstring>
#include <string>

namespace {

// The frame's menu and the explorer window's share these rows; only the
// explorer's has the Window popup.
const CMenuTranslationRow kFrameRows[] = {
    {"&File", 0, IDS_FILE_POPUP},
    {nullptr, ID_FILE_NEW, IDS_MENU_NEW},
    {nullptr, ID_FILE_OPEN, IDS_MENU_OPEN},
    {nullptr, ID_FILE_CLOSE, IDS_MENU_CLOSE},
    {nullptr, ID_APP_EXIT, IDS_MENU_EXIT},
    {"&View", 0, IDS_VIEW_POPUP},
    {nullptr, ID_VIEW_TOOLBAR, IDS_MENU_TOOLBAR},
    {nullptr, ID_VIEW_STATUS_BAR, IDS_MENU_STATUS_BAR},
    {nullptr, ID_VIEW_SPACEBAR, IDS_MENU_SPACEBAR},
    {nullptr, ID_VIEW_EXPLORER, IDS_MENU_EXPLORER},
    {"&Window", 0, IDS_WINDOW_POPUP},
    {nullptr, ID_WINDOW_CASCADE, IDS_MENU_CASCADE},
    {nullptr, ID_WINDOW_TILE_HORZ, IDS_MENU_TILE_HORZ},
    {nullptr, ID_WINDOW_TILE_VERT, IDS_MENU_TILE_VERT},
    {nullptr, ID_WINDOW_ARRANGE, IDS_MENU_ARRANGE},
    {"&Help", 0, IDS_HELP_POPUP},
    {nullptr, ID_APP_ABOUT, IDS_MENU_ABOUT},
    {nullptr, ID_HELP_INDEX, IDS_MENU_INDEX},
    {nullptr, 0, 0},
};

const CMenuTranslationRow* FindRow(const CMenuTranslationRow* rows, const char* caption, UINT command)
{
    for (const CMenuTranslationRow* row = rows; row->stringId; ++row) {
        if (caption && row->popupCaption && std::strcmp(caption, row->popupCaption) == 0) return row;
        if (!caption && !row->popupCaption && row->command == command) return row;
    }
    return nullptr;
}

void SetItemText(HMENU menu, int position, const std::string& text)
{
    MENUITEMINFOA info = {sizeof(info)};
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<char*>(text.c_str());
    ::SetMenuItemInfoA(menu, position, TRUE, &info);
}

}  // namespace

void TranslateMenu(HMENU menu, const CMenuTranslationRow* rows)
{
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char caption[256] = "";
        MENUITEMINFOA info = {sizeof(info)};
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = caption;
        info.cch = sizeof(caption);
        if (!::GetMenuItemInfoA(menu, i, TRUE, &info) || (info.fType & MFT_SEPARATOR)) continue;
        const CMenuTranslationRow* row = FindRow(rows, info.hSubMenu ? caption : nullptr, info.wID);
        if (row) {
            std::string text = LookUpLangStr(COMMON_LANG_SECTION, row->stringId);
            if (!text.empty()) SetItemText(menu, i, text);
        }
        if (info.hSubMenu) TranslateMenu(info.hSubMenu, rows);
    }
}

void TranslateFrameMenu(HMENU menu)
{
    TranslateMenu(menu, kFrameRows);
}
