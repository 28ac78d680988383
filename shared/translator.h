// CTranslator: a component's texts through the module's translator, with
// the component's class identifier as its language-file section.
#pragma once
#include "services.h"
#include "guid_text.h"
#include <window/message_map.h>
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
// The same for a control that asks in the wide form.
bool TranslateToolTipW(const std::string& section, NMTTDISPINFOW* info);

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

    // Chained into the map of a window that holds toolbars: their tooltips
    // come from the language file; hot-item changes by the mouse are
    // allowed; WM_MENUSELECT is left to the window.
    WND_MSG_MAP_BEGIN(CTranslator)
        WND_NOTIFY_CODE(TTN_GETDISPINFOA, OnGetToolTipText)
        WND_NOTIFY_CODE(TTN_GETDISPINFOW, OnGetToolTipTextW)
        WND_NOTIFY_CODE(TBN_HOTITEMCHANGE, OnHotItemChange)
    WND_MSG_MAP_END()

    LRESULT OnGetToolTipText(int, NMHDR* header, BOOL& handled)
    {
        handled = OnToolTipText(reinterpret_cast<NMTTDISPINFOA*>(header));
        return 0;
    }
    LRESULT OnGetToolTipTextW(int, NMHDR* header, BOOL& handled)
    {
        handled = TranslateToolTipW(GetSectionName(), reinterpret_cast<NMTTDISPINFOW*>(header));
        return 0;
    }
    LRESULT OnHotItemChange(int, NMHDR* header, BOOL& handled)
    {
        handled = (reinterpret_cast<NMTBHOTITEM*>(header)->dwFlags & HICF_MOUSE) != 0;
        return 0;
    }
};
