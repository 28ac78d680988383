// CUserFSEntryChoiceDialog: lets the user pick an entry of the disc being
// composed, a folder tree on the left and the folder's entries on the
// right; the result is the entry's path on the disc.
#pragma once
#include "dialog_ids.h"
#include "data_project_classes.h"
#include <data_editor/model/user_fs_tree.h>
#include <frames/common/dialog_resizer.h>
#include <shared/translator.h>
#include <window/dialog.h>
#include <commctrl.h>
#include <map>
#include <string>
#include <vector>

class CUserFSEntryChoiceDialog : public wnd::DialogImpl<CUserFSEntryChoiceDialog>,
                                 public CTranslator<CUserFSEntryChoiceDialog, &CLSID_CoNostrine> {
public:
    enum { IDD = IDD_ENTRY_CHOICE };

    explicit CUserFSEntryChoiceDialog(const CUserFSTree& tree) : m_tree(tree) {}
    ~CUserFSEntryChoiceDialog();

    // After OK: the chosen entry's path ("\" the root, folders end with "\").
    const std::string& Path() const { return m_path; }

    WND_MSG_MAP_BEGIN(CUserFSEntryChoiceDialog)
        WND_MESSAGE(WM_INITDIALOG, OnInitDialog)
        WND_MESSAGE(WM_SIZE, OnSize)
        WND_NOTIFY(IDC_ENTRY_FOLDERS, TVN_SELCHANGEDA, OnFolderSelected)
        WND_NOTIFY(IDC_ENTRY_FOLDERS, TVN_ITEMEXPANDEDA, OnFolderExpanded)
        WND_NOTIFY(IDC_ENTRY_LIST, LVN_GETDISPINFOA, OnEntryDispInfo)
        WND_NOTIFY(IDC_ENTRY_LIST, LVN_ITEMCHANGED, OnEntryChanged)
        WND_NOTIFY(IDC_ENTRY_LIST, NM_DBLCLK, OnEntryDoubleClick)
        WND_COMMAND_CODE(IDOK, 0, OnOK)
        WND_COMMAND_CODE(IDCANCEL, 0, OnCancel)
        WND_CHAIN(CTranslator<CUserFSEntryChoiceDialog, &CLSID_CoNostrine>)
    WND_MSG_MAP_END()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnFolderSelected(int, NMHDR*, BOOL&);
    LRESULT OnFolderExpanded(int, NMHDR*, BOOL&);
    LRESULT OnEntryDispInfo(int, NMHDR*, BOOL&);
    LRESULT OnEntryChanged(int, NMHDR*, BOOL&);
    LRESULT OnEntryDoubleClick(int, NMHDR*, BOOL&);
    LRESULT OnOK(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);

    void AddFolders(const CUserFSEntry* folder, HTREEITEM parent);
    void FillEntries(const CUserFSEntry* folder);
    void ShowPath(const CUserFSEntry* entry);
    void ShowFolderOpen(HTREEITEM folder, bool open);
    void ExpandFolder(HTREEITEM folder);
    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }

    const CUserFSTree& m_tree;
    std::string m_path;
    HIMAGELIST m_folderIcons = nullptr;  // closed and open folder, this dialog's own
    std::map<const CUserFSEntry*, HTREEITEM> m_folderItems;
    std::vector<const CUserFSEntry*> m_entries;  // the list's rows
    CDialogResizer m_resizer;
};
