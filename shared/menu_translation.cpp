#include "menu_translation.h"
#include "translator.h"
#include <cstring>
#include <string>

namespace {

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
