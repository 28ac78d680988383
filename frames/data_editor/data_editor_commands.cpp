// The data editor's commands and their states: the edits from the
// toolbar, the menu, the task panel and the keys, and what each of them
// offers while the editor is busy or not.
#include "data_editor_frame.h"
#include "editor_resource.h"
#include "editor_view_texts.h"
#include <frames/common/folder_browser.h>
#include <message_box.h>
#include <frames/common/message_pump.h>
#include <shared/settings_helper.h>
#include <shared/translator.h>
#include <com/bstr.h>
#include <commdlg.h>
#include <cderr.h>
#include <shlobj.h>
#include <cstring>

LRESULT CCoNostrine::OnCommandId(WORD, WORD id, HWND, BOOL&)
{
    if (Busy()) return 0;
    const bool fromList = ::GetFocus() == m_listView.m_hWnd;
    switch (id) {
    case ID_DELETE: DeleteSelection(fromList); break;
    case ID_RENAME: StartRename(fromList); break;
    case ID_CREATE_FOLDER: CreateNewFolder(); break;
    case ID_SORT_TOGGLE: ToggleSorting(); break;
    case ID_ADD_FILES: AddFilesFromDialog(); break;
    case ID_ADD_FOLDER: AddFolderFromDialog(); break;
    }
    UpdateCommands();
    return 0;
}

// --- keys and drops in the views ---

LRESULT CCoNostrine::OnTreeKeyDown(UINT, WPARAM key, LPARAM, BOOL& handled)
{
    if (key == VK_DELETE && !Busy()) DeleteSelection(false);
    if (key == VK_F2 && !Busy()) StartRename(false);
    handled = FALSE;
    return 0;
}

LRESULT CCoNostrine::OnListKeyDown(UINT, WPARAM key, LPARAM, BOOL& handled)
{
    if (key == VK_DELETE && !Busy()) DeleteSelection(true);
    if (key == VK_F2 && !Busy()) StartRename(true);
    handled = FALSE;
    return 0;
}

// --- the edits ---

// The add pumps messages after each file: the editor holds itself until it
// ends, a close is refused meanwhile, and a burn started meanwhile waits.
bool CCoNostrine::AddPaths(CUserFSEntry* folder, const std::vector<std::string>& paths)
{
    if (Busy() || !folder) return false;
    com::ComPtr<IUnknown> alive(static_cast<ICommandPerformer*>(this));
    m_adding = true;
    m_addedByLastAdd = 0;
    UpdateCommands();
    ShowProcessing(true);
    for (const std::string& path : paths) {
        if (StopRequested()) break;
        m_tree.AddPath(folder, path.c_str());
    }
    ShowProcessing(false);
    m_adding = false;
    m_modified = true;
    if (!IsWindow()) return true;
    SelectFolder(folder, true);
    ::SetFocus(m_treeView.m_hWnd);
    UpdateCommands();
    Send(PCID_IMAGE_SIZE_CHANGED, {});
    if (m_startWaiting) {
        m_startWaiting = false;
        PostMessage(WM_START_PREPARATION, 0, 0);
    }
    return true;
}

CUserFSEntry* CCoNostrine::TargetFolder(bool selectionMark) const
{
    if (::GetFocus() == m_listView.m_hWnd) {
        const int row = selectionMark ? ListView_GetSelectionMark(m_listView.m_hWnd)
                                      : ListView_GetNextItem(m_listView.m_hWnd, -1, LVNI_SELECTED);
        if (row >= 0 && size_t(row) < m_listEntries.size() && m_listEntries[size_t(row)]->IsFolder())
            return m_listEntries[size_t(row)];
    }
    return SelectedFolder();
}

void CCoNostrine::DeleteSelection(bool fromList)
{
    std::vector<CUserFSEntry*> doomed;
    CUserFSEntry* folder = SelectedFolder();
    if (fromList) {
        for (int row = ListView_GetNextItem(m_listView.m_hWnd, -1, LVNI_SELECTED); row >= 0;
             row = ListView_GetNextItem(m_listView.m_hWnd, row, LVNI_SELECTED))
            if (size_t(row) < m_listEntries.size()) doomed.push_back(m_listEntries[size_t(row)]);
    }
    if (doomed.empty()) {
        if (folder != m_tree.GetRoot()) {
            doomed.push_back(folder);
        } else {
            for (CUserFSEntry* child = folder->FirstChild(); child; child = child->NextSibling()) doomed.push_back(child);
            if (doomed.empty()) return;
            if (!fromList && TitledMessageBox(m_hWnd, Text(IDS_CLEAR_PROJECT).c_str(), MB_OKCANCEL | MB_ICONWARNING) != IDOK)
                return;
        }
    }
    CUserFSEntry* parent = doomed.front()->Parent();
    // The list never holds a freed entry: it is emptied first and rebuilt after.
    m_listEntries.clear();
    ListView_SetItemCountEx(m_listView.m_hWnd, 0, 0);
    m_removing = true;
    for (CUserFSEntry* entry : doomed) m_tree.Remove(entry);
    m_removing = false;
    m_modified = true;
    SelectFolder(parent ? parent : m_tree.GetRoot(), false);
    RefillList();
    Send(PCID_IMAGE_SIZE_CHANGED, {});
}

void CCoNostrine::StartRename(bool fromList)
{
    if (fromList) {
        const int row = ListView_GetNextItem(m_listView.m_hWnd, -1, LVNI_FOCUSED | LVNI_SELECTED);
        if (row >= 0) {
            ::SetFocus(m_listView.m_hWnd);
            ListView_EditLabel(m_listView.m_hWnd, row);
        }
        return;
    }
    if (HTREEITEM item = TreeView_GetSelection(m_treeView.m_hWnd)) {
        ::SetFocus(m_treeView.m_hWnd);
        TreeView_EditLabel(m_treeView.m_hWnd, item);
    }
}

void CCoNostrine::CreateNewFolder()
{
    CUserFSEntry* folder = TargetFolder(true);
    const std::string base = Text(IDS_NEW_FOLDER);
    std::string name = base;
    for (int i = 1; m_tree.FindChild(folder, name.c_str()); ++i) {
        char numbered[MAX_PATH];
        std::snprintf(numbered, sizeof numbered, "%s (%i)", base.c_str(), i);
        name = numbered;
    }
    CUserFSEntry* made = m_tree.CreateFolder(folder, name.c_str());
    if (!made) return;
    m_modified = true;
    SelectFolder(made, false);
    ::SetFocus(m_treeView.m_hWnd);
}

void CCoNostrine::ToggleSorting()
{
    m_sortEnabled = m_sortEnabled ? 0 : 1;
    m_tree.m_sortingEnabled = m_sortEnabled != 0;
    if (m_sortEnabled) SortEverything();
    m_toolbar.ShowSorting(m_sortEnabled != 0);
    UpdateSortArrow();
    RefillList();
}

void CCoNostrine::AddFilesFromDialog()
{
    CUserFSEntry* folder = TargetFolder(false);
    std::string filter = LookUpLangStr("Common", 24);
    if (filter.empty()) filter = "All files";
    filter += " (*.*)";
    filter.push_back('\0');
    filter += "*.*";
    filter.push_back('\0');
    std::vector<char> names(m_fileNamesLength, 0);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = names.data();
    ofn.nMaxFile = DWORD(names.size() - 1);
    ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&ofn)) {
        // A selection larger than the buffer adds nothing: the user is told.
        if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL)
            CommonMessageBox(Text(IDS_TOO_MANY_FILES), MBX_OK | MBX_ICONWARNING);
        return;
    }
    // One full path, or the folder followed by names.
    std::vector<std::string> parts;
    for (const char* p = names.data(); *p; p += std::strlen(p) + 1) parts.push_back(p);
    std::vector<std::string> paths;
    if (parts.size() == 1) {
        paths = parts;
    } else {
        std::string dir = parts[0];
        if (!dir.empty() && dir.back() != '\\') dir += '\\';
        for (size_t i = 1; i < parts.size(); ++i) paths.push_back(dir + parts[i]);
    }
    AddPaths(folder, paths);
}

void CCoNostrine::AddFolderFromDialog()
{
    CUserFSEntry* folder = TargetFolder(false);
    const std::string path = BrowseForFolder(m_hWnd, Text(IDS_SELECT_FOLDER));
    if (!path.empty()) AddPaths(folder, {path});
}

// --- command state ---

void CCoNostrine::UpdateCommands()
{
    if (!IsWindow()) return;
    const bool off = Busy();
    const bool listFocus = ::GetFocus() == m_listView.m_hWnd;
    const HTREEITEM selected = TreeView_GetSelection(m_treeView.m_hWnd);
    const bool rootSelected = !listFocus && SelectedFolder() == m_tree.GetRoot();
    const bool haveSelection = listFocus ? ListView_GetSelectedCount(m_listView.m_hWnd) > 0 : selected != nullptr;
    const std::string rename = Text(rootSelected ? IDS_CHANGE_LABEL : IDS_RENAME);
    const std::string remove = Text(rootSelected ? IDS_CLEAR_CONTENT : IDS_DELETE);
    if (rename != m_renameCaption) {
        m_renameCaption = rename;
        com::Bstr caption(rename);
        Send(PCID_RENAME_ACTION, {{VT_UI4, EDITOR_PANE}, {VT_UI4, ID_RENAME}, {VT_BSTR, caption.Get()}});
    }
    if (remove != m_deleteCaption) {
        m_deleteCaption = remove;
        com::Bstr caption(remove);
        Send(PCID_RENAME_ACTION, {{VT_UI4, EDITOR_PANE}, {VT_UI4, ID_DELETE}, {VT_BSTR, caption.Get()}});
    }
    const struct { unsigned id; bool on; } states[] = {
        {ID_CREATE_FOLDER, !off}, {ID_ADD_FILES, !off}, {ID_ADD_FOLDER, !off},
        {ID_RENAME, !off && haveSelection}, {ID_DELETE, !off && haveSelection}};
    for (const auto& s : states)
        Send(s.on ? PCID_ENABLE_ACTION : PCID_DISABLE_ACTION, {{VT_UI4, EDITOR_PANE}, {VT_UI4, s.id}});
    ApplyCommandState(off, haveSelection, rootSelected);
}
