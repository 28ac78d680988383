// CProjectUI: the project window's menu as every project type builds it:
// optional View items, the recent-files popup and the translation of the
// item texts from the module's own language-file section.
#pragma once
#include <windows.h>
#include <string>

class CProjectUI {
public:
    // `section` is the project's language-file section. Removes the
    // Explorer and Space Bar items that the application leaves out, fills
    // the recent-files popup and translates every item by its command id.
    static void ModifyAndTranslateMenu(HMENU menu, const std::string& section);
    // Removes the item `id` from the popup captioned `caption` (the
    // caption as the resource spells it, before translation).
    static bool RemoveMenuItems(HMENU menu, const char* caption, UINT id);
    // The popup of the first popup whose first item is the first recent
    // file, or null.
    static HMENU FindRecentFilesPopup(HMENU menu);
    // Re-reads the recent-file list and refills the popup.
    static void UpdateRecentFiles(HMENU menu);
    // Replaces each item's text by the text of its command id in `section`
    // (popups recursively); items without a text there keep theirs. Only
    // the project's own section is asked: the common section holds
    // status-bar prompts under the same ids.
    static void TranslateMenu(HMENU menu, const std::string& section);
};
