#include "project_ui.h"
#include "project_ids.h"
#include <shared/log.h>
#include <shared/recent_file_list.h>
#include <shared/settings_helper.h>
#include <shared/translator.h>
#include <shared/services.h>
#include <com/bstr.h>

namespace {

std::string ItemText(HMENU menu, int position)
{
    char text[512] = "";
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

HMENU FindPopup(HMENU menu, const char* caption)
{
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
        if (GetSubMenu(menu, i) && ItemText(menu, i) == caption) return GetSubMenu(menu, i);
    return nullptr;
}

bool OwnLangStr(const std::string& section, UINT id, std::string* text)
{
    if (!g_compTranslator) return false;
    com::Bstr result;
    if (FAILED(g_compTranslator->GetLangStr(com::Bstr(section), id, &result)) || !result.Length()) return false;
    *text = result.Ansi();
    return true;
}

}  // namespace

bool CProjectUI::RemoveMenuItems(HMENU menu, const char* caption, UINT id)
{
    HMENU popup = FindPopup(menu, caption);
    return popup && RemoveMenu(popup, id, MF_BYCOMMAND);
}

void CProjectUI::ModifyAndTranslateMenu(HMENU menu, const std::string& section)
{
    CLogFunctionScope scope("ModifyAndTranslateMenu");
    DWORD createSizebar = 1, createExplorer = 1;
    {
        CLogFunctionScope read("CreateSizebar");
        SettingsGetDWORD(COMMON_SETTINGS_SECTION, "ApptypeData", "CreateSizebar", &createSizebar, 1);
    }
    {
        CLogFunctionScope read("CreateExplorer");
        SettingsGetDWORD(COMMON_SETTINGS_SECTION, "ApptypeData", "CreateExplorer", &createExplorer, 1);
    }
    if (!createExplorer) {
        HMENU view = FindPopup(menu, "&View");
        if (view) {
            int count = GetMenuItemCount(view);
            for (int i = 0; i < count; ++i) {
                if (GetMenuItemID(view, i) != ID_VIEW_EXPLORER) continue;
                DeleteMenu(view, i, MF_BYPOSITION);
                if (i > 0 && GetMenuItemID(view, i - 1) == 0 && !GetSubMenu(view, i - 1))
                    DeleteMenu(view, i - 1, MF_BYPOSITION);
                break;
            }
        }
    }
    if (!createSizebar) RemoveMenuItems(menu, "&View", ID_VIEW_SPACEBAR);
    TranslateMenu(menu, section);
    HMENU file = GetSubMenu(menu, 0);
    int count = file ? GetMenuItemCount(file) : 0;
    for (int i = 0; i < count; ++i) {
        if (GetSubMenu(file, i) != FindRecentFilesPopup(menu)) continue;
        std::string caption = LookUpLangStr(section, IDS_RECENT_FILES);
        if (!caption.empty()) ModifyMenuA(file, i, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(GetSubMenu(file, i)), caption.c_str());
        break;
    }
    UpdateRecentFiles(menu);
}

HMENU CProjectUI::FindRecentFilesPopup(HMENU menu)
{
    HMENU file = GetSubMenu(menu, 0);
    int count = file ? GetMenuItemCount(file) : 0;
    for (int i = 0; i < count; ++i) {
        HMENU popup = GetSubMenu(file, i);
        if (popup && GetMenuItemID(popup, 0) == ID_FILE_MRU_FILE1) return popup;
    }
    return nullptr;
}

void CProjectUI::UpdateRecentFiles(HMENU menu)
{
    HMENU popup = FindRecentFilesPopup(menu);
    if (!popup) return;
    CRecentFileList list(CRecentFileList::KeyFromSettings());
    list.Read();
    list.FillMenu(popup);
}

void CProjectUI::TranslateMenu(HMENU menu, const std::string& section)
{
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        HMENU popup = GetSubMenu(menu, i);
        if (popup) {
            // The recent files are paths, not texts to translate.
            if (GetMenuItemID(popup, 0) != ID_FILE_MRU_FILE1) TranslateMenu(popup, section);
            continue;
        }
        UINT id = GetMenuItemID(menu, i);
        std::string text;
        if (id == 0 || id == static_cast<UINT>(-1) || !OwnLangStr(section, id, &text)) continue;
        MENUITEMINFOA item = {sizeof item, MIIM_STRING};
        item.dwTypeData = const_cast<char*>(text.c_str());
        SetMenuItemInfoA(menu, i, TRUE, &item);
    }
}
