#include "entry_choice_dialog.h"
#include <frames/common/dialog_placement.h>
#include "dialog_texts.h"
#include <shellapi.h>

namespace {

enum { CLOSED_FOLDER = 0, OPEN_FOLDER = 1 };

const DWORD kTranslateRows[] = {
    TRANSLATE_KIND_TEXT, IDOK,           IDS_COMMON_OK,  TRANSLATE_KIND_TEXT, IDCANCEL, IDS_COMMON_CANCEL,
    TRANSLATE_KIND_TEXT, IDC_ENTRY_PATH, IDS_ENTRY_PATH, TRANSLATE_TABLE_END, 0,        0,
};

HICON FolderIcon(bool open)
{
    SHFILEINFOA info = {};
    SHGetFileInfoA("folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                   SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES | (open ? SHGFI_OPENICON : 0));
    return info.hIcon;
}

// The system's small icon of an entry: by its kind for a folder, by its
// name for one that exists only on the disc, else by its source file.
int EntryIcon(const CUserFSEntry* entry)
{
    SHFILEINFOA info = {};
    if (entry->IsFolder())
        SHGetFileInfoA("folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
    else if (entry->IsImported())
        SHGetFileInfoA(entry->m_name.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
    else
        SHGetFileInfoA(entry->m_sourcePath.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    return info.iIcon;
}

HIMAGELIST SystemSmallIcons()
{
    SHFILEINFOA info = {};
    return reinterpret_cast<HIMAGELIST>(SHGetFileInfoA("C:\\", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                                                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
}

const CUserFSEntry* ItemEntry(HWND tree, HTREEITEM item)
{
    TVITEMA data = {};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    return item && TreeView_GetItem(tree, &data) ? reinterpret_cast<const CUserFSEntry*>(data.lParam) : nullptr;
}

}  // namespace

CUserFSEntryChoiceDialog::~CUserFSEntryChoiceDialog()
{
    if (m_folderIcons) ImageList_Destroy(m_folderIcons);
}

LRESULT CUserFSEntryChoiceDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    SetWindowTextA(m_hWnd, DialogText(IDS_ENTRY_CHOICE_TITLE).c_str());
    TranslateDialog(m_hWnd, kTranslateRows);

    // The list shares the process's icons (the template asks for it), so
    // closing the dialog leaves them alive.
    HWND list = Item(IDC_ENTRY_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    ListView_SetImageList(list, SystemSmallIcons(), LVSIL_SMALL);
    const std::string name = DialogText(IDS_ENTRY_NAME);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT;
    column.pszText = const_cast<char*>(name.c_str());
    ListView_InsertColumn(list, 0, &column);
    ListView_SetColumnWidth(list, 0, LVSCW_AUTOSIZE_USEHEADER);

    HWND tree = Item(IDC_ENTRY_FOLDERS);
    m_folderIcons = ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                     ILC_COLOR32 | ILC_MASK, 2, 0);
    for (bool open : {false, true}) {
        HICON icon = FolderIcon(open);
        ImageList_AddIcon(m_folderIcons, icon);
        if (icon) DestroyIcon(icon);
    }
    TreeView_SetImageList(tree, m_folderIcons, TVSIL_NORMAL);
    AddFolders(m_tree.GetRoot(), TVI_ROOT);
    HTREEITEM root = TreeView_GetRoot(tree);
    ExpandFolder(root);
    TreeView_SelectItem(tree, root);

    m_resizer.Add(IDC_ENTRY_FOLDERS, CDialogResizer::SIZE_Y);
    m_resizer.Add(IDC_ENTRY_LIST, CDialogResizer::SIZE_X | CDialogResizer::SIZE_Y);
    m_resizer.Add(IDC_ENTRY_PATH, CDialogResizer::MOVE_Y | CDialogResizer::SIZE_X);
    m_resizer.Add(IDOK, CDialogResizer::MOVE_X | CDialogResizer::MOVE_Y);
    m_resizer.Add(IDCANCEL, CDialogResizer::MOVE_X | CDialogResizer::MOVE_Y);
    m_resizer.Start(m_hWnd);
    CenterOverOwner(m_hWnd);
    return TRUE;
}

LRESULT CUserFSEntryChoiceDialog::OnSize(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_resizer.Resize();
    handled = FALSE;
    return 0;
}

void CUserFSEntryChoiceDialog::AddFolders(const CUserFSEntry* folder, HTREEITEM parent)
{
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(folder->m_name.c_str());
    insert.item.lParam = reinterpret_cast<LPARAM>(folder);
    insert.item.iImage = insert.item.iSelectedImage = CLOSED_FOLDER;
    HTREEITEM item = TreeView_InsertItem(Item(IDC_ENTRY_FOLDERS), &insert);
    if (!item) return;
    m_folderItems[folder] = item;
    for (const CUserFSEntry* child = folder->FirstChild(); child; child = child->NextSibling())
        if (child->IsFolder()) AddFolders(child, item);
}

void CUserFSEntryChoiceDialog::FillEntries(const CUserFSEntry* folder)
{
    HWND list = Item(IDC_ENTRY_LIST);
    ListView_DeleteAllItems(list);
    m_entries.clear();
    if (!folder) return;
    for (const CUserFSEntry* child = folder->FirstChild(); child; child = child->NextSibling()) {
        LVITEMA row = {};
        row.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        row.iItem = int(m_entries.size());
        row.pszText = LPSTR_TEXTCALLBACKA;
        row.iImage = I_IMAGECALLBACK;
        row.lParam = reinterpret_cast<LPARAM>(child);
        m_entries.push_back(child);
        ListView_InsertItem(list, &row);
    }
}

void CUserFSEntryChoiceDialog::ShowPath(const CUserFSEntry* entry)
{
    m_path = m_tree.GetEntryPath(entry);
    SetDlgItemTextA(m_hWnd, IDC_ENTRY_PATH, m_path.c_str());
}

LRESULT CUserFSEntryChoiceDialog::OnFolderSelected(int, NMHDR* header, BOOL&)
{
    const CUserFSEntry* folder = ItemEntry(header->hwndFrom, reinterpret_cast<NMTREEVIEWA*>(header)->itemNew.hItem);
    FillEntries(folder);
    if (folder) ShowPath(folder);
    return 0;
}

LRESULT CUserFSEntryChoiceDialog::OnFolderExpanded(int, NMHDR* header, BOOL&)
{
    const NMTREEVIEWA* change = reinterpret_cast<NMTREEVIEWA*>(header);
    ShowFolderOpen(change->itemNew.hItem, change->action == TVE_EXPAND);
    return 0;
}

void CUserFSEntryChoiceDialog::ShowFolderOpen(HTREEITEM folder, bool open)
{
    TVITEMA item = {};
    item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = folder;
    item.iImage = item.iSelectedImage = open ? OPEN_FOLDER : CLOSED_FOLDER;
    TreeView_SetItem(Item(IDC_ENTRY_FOLDERS), &item);
}

// The control does not report an expansion that the program makes.
void CUserFSEntryChoiceDialog::ExpandFolder(HTREEITEM folder)
{
    if (TreeView_Expand(Item(IDC_ENTRY_FOLDERS), folder, TVE_EXPAND)) ShowFolderOpen(folder, true);
}

// Texts are copied into the control's buffer, cut to its size and always
// terminated.
LRESULT CUserFSEntryChoiceDialog::OnEntryDispInfo(int, NMHDR* header, BOOL&)
{
    NMLVDISPINFOA* info = reinterpret_cast<NMLVDISPINFOA*>(header);
    const int row = info->item.iItem;
    if (row < 0 || size_t(row) >= m_entries.size()) return 0;
    const CUserFSEntry* entry = m_entries[size_t(row)];
    if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0)
        lstrcpynA(info->item.pszText, entry->m_name.c_str(), info->item.cchTextMax);
    if (info->item.mask & LVIF_IMAGE) info->item.iImage = EntryIcon(entry);
    return 0;
}

LRESULT CUserFSEntryChoiceDialog::OnEntryChanged(int, NMHDR* header, BOOL&)
{
    const NMLISTVIEW* change = reinterpret_cast<NMLISTVIEW*>(header);
    const bool selected = (change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED);
    if (selected && change->iItem >= 0 && size_t(change->iItem) < m_entries.size())
        ShowPath(m_entries[size_t(change->iItem)]);
    return 0;
}

LRESULT CUserFSEntryChoiceDialog::OnEntryDoubleClick(int, NMHDR* header, BOOL&)
{
    const int row = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
    if (row < 0 || size_t(row) >= m_entries.size() || !m_entries[size_t(row)]->IsFolder()) return 0;
    auto found = m_folderItems.find(m_entries[size_t(row)]);
    if (found == m_folderItems.end()) return 0;
    ExpandFolder(found->second);
    TreeView_SelectItem(Item(IDC_ENTRY_FOLDERS), found->second);
    return 0;
}

LRESULT CUserFSEntryChoiceDialog::OnOK(WORD, WORD, HWND, BOOL&)
{
    EndDialog(IDOK);
    return 0;
}

LRESULT CUserFSEntryChoiceDialog::OnCancel(WORD, WORD, HWND, BOOL&)
{
    EndDialog(IDCANCEL);
    return 0;
}
