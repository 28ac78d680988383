// Menus in the user's language: popups found by their caption, commands by
// their identifier, each given its string from the common section of the
// language file when that string is not empty.
#pragma once
#include <windows.h>

struct CMenuTranslationRow {
    const char* popupCaption;  // null for a command row
    UINT command;
    UINT stringId;
};

// Translates `menu` and its popups recursively from `rows` (ended by a row
// of string 0).
void TranslateMenu(HMENU menu, const CMenuTranslationRow* rows);
