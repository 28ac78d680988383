// CTranslator: a component's texts through the module's translator, with
// the component's class identifier as its language-file section.
#pragma once
#include "services.h"
#include "guid_text.h"
#include <commctrl.h>
#include <string>

// A text of `section`, else of the common section, else empty.
std::string LookUpLangStr(const std::string& section, unsigned long id);

// Translates a dialog's controls from a table of rows {kind, control, string}
// ended by a row of kind 0xFFFFFFFF; rows of kind 4 name control texts.
void TranslateDialogTexts(const std::string& section, HWND dialog, const DWORD* table);

// The tooltip of a toolbar button: the part of its string after the first
// newline (the part before it is the status prompt). False leaves the
// notification unhandled.
bool TranslateToolTip(const std::string& section, NMTTDISPINFOA* info);

enum : DWORD { TRANSLATE_KIND_TEXT = 4, TRANSLATE_TABLE_END = 0xFFFFFFFF };

template <class T, const CLSID* Clsid>
class CTranslator {
public:
    static std::string GetSectionName() { return GuidToString(*Clsid); }
    static std::string GetLangStr(unsigned long id) { return LookUpLangStr(GetSectionName(), id); }
    static void TranslateDialog(HWND dialog, const DWORD* table)
    {
        TranslateDialogTexts(GetSectionName(), dialog, table);
    }
    static bool OnToolTipText(NMTTDISPINFOA* info) { return TranslateToolTip(GetSectionName(), info); }
};
