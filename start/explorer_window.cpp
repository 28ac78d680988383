#include "explorer_window.h"
#include "common_settings.h"
#include "file_list_data.h"
#include "menu_translation.h"
#include "resource.h"
#include <com/module.h>
#include <shared/services.h>
#include <shared/size_texts.h>
#include <shared/translator.h>
#include <window/toolbar_resource.h>
#include <ole2.h>
#include <shellapi.h>
#include <algorithm>

namespace {

std::string CommonString(UINT id, const char* builtin)
{
    const std::string text = LookUpLangStr(COMMON_LANG_SECTION, id);
    return text.empty() ? builtin : text;
}

// The popup inside the explorer menu's File popup: the recent files.
HMENU RecentFilesPopup(HMENU menu)
{
    HMENU file = menu ? ::GetSubMenu(menu, 0) : nullptr;
    const int count = file ? ::GetMenuItemCount(file) : 0;
    for (int i = 0; i < count; ++i)
        if (HMENU popup = ::GetSubMenu(file, i)) return popup;
    return nullptr;
}

const DWORD VIEW_STYLES[] = {LVS_LIST, LVS_SMALLICON, LVS_ICON, LVS_REPORT};

}  // namespace

CExplorerWindow::CExplorerWindow() : m_recentFiles(ID_FILE_MRU_FIRST, ID_FILE_MRU_LAST)
{
    m_menu = ::LoadMenuA(com::ModuleInstance(), MAKEINTRESOURCEA(IDR_EXPLORER_MENU));
    m_accelerators = ::LoadAcceleratorsA(com::ModuleInstance(), MAKEINTRESOURCEA(IDR_EXPLORER_MENU));
    if (HMENU recent = RecentFilesPopup(m_menu)) {
        m_recentFiles.AttachToMenu(recent);
        m_recentFiles.ReadFromRegistry(RecentFilesRegistryKey());
    }
    if (m_menu) TranslateFrameMenu(m_menu);
}

CExplorerWindow::~CExplorerWindow()
{
    if (m_menu) ::DestroyMenu(m_menu);
    if (m_accelerators) ::DestroyAcceleratorTable(m_accelerators);
}

HWND CExplorerWindow::Open(HWND mdiClient, bool maximized)
{
    auto* window = new CExplorerWindow;
    const std::string caption = CommonString(IDS_EXPLORER_CAPTION, "Explorer");
    HWND created = window->Create(mdiClient, caption.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN);
    if (!created) {
        delete window;
        return nullptr;
    }
    if (maximized) ::SendMessageA(mdiClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(created), 0);
    return created;
}

// --- creation and layout ---

LRESULT CExplorerWindow::OnCreate(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;  // the MDI child's own creation goes on
    if (!CreateViews()) return -1;
    CShellEntry desktop = DesktopEntry();
    HTREEITEM root = InsertFolder(TVI_ROOT, std::move(desktop));
    if (root) {
        FillChildren(root);
        TreeView_Expand(m_tree, root, TVE_EXPAND);
        TreeView_SelectItem(m_tree, root);
    }
    return 0;
}

bool CExplorerWindow::CreateViews()
{
    m_toolbar = wnd::CreateToolBarFromResource(m_hWnd, com::ModuleInstance(), IDR_EXPLORER_MENU, IDC_TOOLBAR);
    if (m_toolbar) {
        for (WORD view = ID_VIEW_LIST; view <= ID_VIEW_DETAILS; ++view) {
            TBBUTTONINFOA info = {sizeof(info)};
            info.dwMask = TBIF_STYLE;
            info.fsStyle = TBSTYLE_BUTTON | TBSTYLE_CHECKGROUP;
            ::SendMessageA(m_toolbar, TB_SETBUTTONINFOA, view, reinterpret_cast<LPARAM>(&info));
        }
    }
    if (!m_splitter.Create(m_hWnd, nullptr, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, IDC_SPLITTER))
        return false;
    m_tree = ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, nullptr,
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                   TVS_SHOWSELALWAYS,
                               0, 0, 0, 0, m_splitter, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_FOLDER_TREE)),
                               com::ModuleInstance(), nullptr);
    m_list = ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, nullptr,
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHAREIMAGELISTS |
                                   LVS_SHOWSELALWAYS,
                               0, 0, 0, 0, m_splitter, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_FILE_LIST)),
                               com::ModuleInstance(), nullptr);
    if (!m_tree || !m_list) return false;
    TreeView_SetImageList(m_tree, SystemImageList(false), TVSIL_NORMAL);
    ListView_SetImageList(m_list, SystemImageList(false), LVSIL_SMALL);
    ListView_SetImageList(m_list, SystemImageList(true), LVSIL_NORMAL);
    ListView_SetExtendedListViewStyle(m_list, LVS_EX_FULLROWSELECT);
    const struct {
        UINT text;
        const char* builtin;
        int width;
        int format;
    } columns[] = {{IDS_COLUMN_NAME, "Name", 180, LVCFMT_LEFT},
                   {IDS_COLUMN_SIZE, "Size", 80, LVCFMT_RIGHT},
                   {IDS_COLUMN_TYPE, "Type", 120, LVCFMT_LEFT}};
    for (int i = 0; i < 3; ++i) {
        const std::string text = CommonString(columns[i].text, columns[i].builtin);
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = columns[i].format;
        column.cx = columns[i].width;
        column.pszText = const_cast<char*>(text.c_str());
        ListView_InsertColumn(m_list, i, &column);
    }
    m_splitter.SetSplitterPanes(m_tree, m_list, false);
    SetView(ID_VIEW_DETAILS);
    return true;
}

LRESULT CExplorerWindow::OnSize(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;  // the MDI child's own sizing goes on
    Layout();
    return 0;
}

void CExplorerWindow::Layout()
{
    RECT rc = GetClientRect();
    if (m_toolbar) {
        SIZE size = {};
        ::SendMessageA(m_toolbar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
        const int height = size.cy + 4;
        ::SetWindowPos(m_toolbar, nullptr, 0, 0, rc.right, height, SWP_NOZORDER | SWP_NOACTIVATE);
        rc.top += height;
    }
    if (!m_splitter.IsWindow()) return;
    ::SetWindowPos(m_splitter, nullptr, 0, rc.top, rc.right, std::max<LONG>(0, rc.bottom - rc.top),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    if (!m_splitterPlaced && rc.right > 0) {
        // The first real width: the tree takes a third of it, and keeps that share.
        m_splitterPlaced = true;
        m_splitter.SetSplitterPos(rc.right / 3);
    }
}

LRESULT CExplorerWindow::OnSetFocus(UINT, WPARAM, LPARAM, BOOL&)
{
    if (m_list) ::SetFocus(m_list);
    return 0;
}

// --- the frame ---

LRESULT CExplorerWindow::OnMdiActivate(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    if (reinterpret_cast<HWND>(lParam) == m_hWnd) {
        // The explorer's menu with its Window popup; the space bar empties.
        if (m_menu) {
            int count = ::GetMenuItemCount(m_menu);
            HMENU windowMenu = count >= 2 ? ::GetSubMenu(m_menu, count - 2) : nullptr;
            ::SendMessageA(::GetParent(m_hWnd), WM_MDISETMENU, reinterpret_cast<WPARAM>(m_menu),
                           reinterpret_cast<LPARAM>(windowMenu));
        }
        NMSIZEBARUPDATE update = {};
        update.hdr.hwndFrom = m_hWnd;
        update.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(m_hWnd));
        update.hdr.code = SIZEBARN_UPDATE;
        update.kind = SIZEBAR_DATA;
        HWND frame = ::GetParent(::GetParent(m_hWnd));
        ::SendMessageA(frame, WM_NOTIFY, update.hdr.idFrom, reinterpret_cast<LPARAM>(&update));
    }
    handled = FALSE;
    return 0;
}

LRESULT CExplorerWindow::OnForwardMsg(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    if (!msg) return 0;
    if (msg->message == WM_COMMAND) {
        const WORD id = LOWORD(msg->wParam);
        if (id == ID_EDIT_COPY || id == ID_EDIT_SELECT_ALL || (id >= ID_UP_ONE_LEVEL && id <= ID_VIEW_DETAILS)) {
            ::SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
            return 1;
        }
        return 0;
    }
    // A key the explorer's accelerators do not take goes on to the frame.
    return m_accelerators && ::TranslateAcceleratorA(m_hWnd, m_accelerators, msg) ? 1 : 0;
}

LRESULT CExplorerWindow::OnToolTipText(int, NMHDR* header, BOOL& handled)
{
    handled = TranslateToolTip(COMMON_LANG_SECTION, reinterpret_cast<NMTTDISPINFOA*>(header));
    return 0;
}

LRESULT CExplorerWindow::OnReloadRecentFiles(UINT, WPARAM, LPARAM, BOOL&)
{
    m_recentFiles.ReadFromRegistry(RecentFilesRegistryKey());
    return 0;
}

// --- commands ---

LRESULT CExplorerWindow::OnViewCommand(WORD, WORD id, HWND, BOOL&)
{
    if (id != ID_UP_ONE_LEVEL) {
        SetView(id);
        return 0;
    }
    HTREEITEM current = TreeView_GetSelection(m_tree);
    HTREEITEM parent = current ? TreeView_GetParent(m_tree, current) : nullptr;
    if (parent) TreeView_SelectItem(m_tree, parent);
    return 0;
}

void CExplorerWindow::SetView(WORD command)
{
    const DWORD style = VIEW_STYLES[command - ID_VIEW_LIST];
    const LONG_PTR old = ::GetWindowLongPtrA(m_list, GWL_STYLE);
    ::SetWindowLongPtrA(m_list, GWL_STYLE, (old & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | style);
    for (WORD view = ID_VIEW_LIST; view <= ID_VIEW_DETAILS; ++view)
        if (m_toolbar) ::SendMessageA(m_toolbar, TB_CHECKBUTTON, view, MAKELONG(view == command, 0));
    ::InvalidateRect(m_list, nullptr, TRUE);
}

LRESULT CExplorerWindow::OnEditCommand(WORD, WORD id, HWND, BOOL&)
{
    if (id == ID_EDIT_SELECT_ALL) {
        ListView_SetItemState(m_list, -1, LVIS_SELECTED, LVIS_SELECTED);
        return 0;
    }
    CopySelection();
    return 0;
}

void CExplorerWindow::CopySelection()
{
    const std::vector<std::string> paths = SelectedPaths(m_list);
    if (paths.empty()) return;
    IDataObject* data = CreateFileListData(paths);
    if (!data) return;
    // Flushed: the files stay on the clipboard after the explorer is gone.
    if (SUCCEEDED(::OleSetClipboard(data))) ::OleFlushClipboard();
    data->Release();
}

// --- the tree ---

HTREEITEM CExplorerWindow::InsertFolder(HTREEITEM parent, CShellEntry&& entry)
{
    auto node = std::make_unique<Node>();
    node->absolute = std::move(entry.absolute);
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.pszText = const_cast<char*>(entry.name.c_str());
    insert.item.iImage = ShellIcon(node->absolute.Get(), false);
    insert.item.iSelectedImage = ShellIcon(node->absolute.Get(), true);
    insert.item.cChildren = entry.hasSubfolders ? 1 : 0;
    insert.item.lParam = reinterpret_cast<LPARAM>(node.get());
    HTREEITEM item = TreeView_InsertItem(m_tree, &insert);
    if (item) node.release();  // the item's now; freed when the item goes
    return item;
}

CExplorerWindow::Node* CExplorerWindow::NodeOf(HTREEITEM item) const
{
    TVITEMA data = {};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    if (!item || !TreeView_GetItem(m_tree, &data)) return nullptr;
    return reinterpret_cast<Node*>(data.lParam);
}

void CExplorerWindow::FillChildren(HTREEITEM item)
{
    Node* node = NodeOf(item);
    if (!node || node->filled) return;
    node->filled = true;
    std::vector<CShellEntry> folders = ShellChildren(node->absolute.Get(), false, m_hWnd);
    std::sort(folders.begin(), folders.end(), [](const CShellEntry& a, const CShellEntry& b) {
        return CompareDisplayNames(a.name, b.name) < 0;
    });
    for (CShellEntry& folder : folders) InsertFolder(item, std::move(folder));
    if (folders.empty()) {
        TVITEMA none = {};
        none.mask = TVIF_CHILDREN;
        none.hItem = item;
        TreeView_SetItem(m_tree, &none);
    }
}

LRESULT CExplorerWindow::OnItemExpanding(int, NMHDR* header, BOOL&)
{
    auto* expanding = reinterpret_cast<NMTREEVIEWA*>(header);
    if (expanding->action & TVE_EXPAND) FillChildren(expanding->itemNew.hItem);
    return FALSE;
}

LRESULT CExplorerWindow::OnDeleteItem(int, NMHDR* header, BOOL&)
{
    delete reinterpret_cast<Node*>(reinterpret_cast<NMTREEVIEWA*>(header)->itemOld.lParam);
    return 0;
}

LRESULT CExplorerWindow::OnSelChanged(int, NMHDR* header, BOOL&)
{
    FillList(reinterpret_cast<NMTREEVIEWA*>(header)->itemNew.hItem);
    return 0;
}

// --- the list ---

void CExplorerWindow::FillList(HTREEITEM item)
{
    HCURSOR old = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    ::SendMessageA(m_list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(m_list);
    m_records.clear();
    if (Node* node = NodeOf(item)) {
        for (CShellEntry& entry : ShellChildren(node->absolute.Get(), true, m_hWnd)) {
            auto record = std::make_unique<Record>();
            record->facts = ShellFileFacts(entry.absolute.Get());
            record->absolute = std::move(entry.absolute);
            record->name = entry.name;
            // A file-system item is a folder by its attributes; others by the shell's.
            record->folder = record->facts.path.empty() ? entry.folder
                                                        : (record->facts.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            m_records.push_back(std::move(record));
        }
    }
    SortRecords();
    const std::string kb = CommonString(IDS_KB, "Kb"), mb = CommonString(IDS_MB, "Mb");
    for (size_t i = 0; i < m_records.size(); ++i) {
        const Record& record = *m_records[i];
        LVITEMA row = {};
        row.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
        row.iItem = static_cast<int>(i);
        row.pszText = const_cast<char*>(record.name.c_str());
        row.iImage = record.facts.icon;
        row.lParam = static_cast<LPARAM>(i);
        const int at = ListView_InsertItem(m_list, &row);
        if (at < 0) continue;
        const std::string size =
            record.folder ? std::string() : FormatSizeShort(static_cast<LONGLONG>(record.facts.size), kb, mb);
        ListView_SetItemText(m_list, at, SORT_SIZE, const_cast<char*>(size.c_str()));
        ListView_SetItemText(m_list, at, SORT_TYPE, const_cast<char*>(record.facts.type.c_str()));
    }
    ::SendMessageA(m_list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_list, nullptr, TRUE);
    ::SetCursor(old);
}

void CExplorerWindow::SortRecords()
{
    // Folders before files in either direction; then by the sort column,
    // the name deciding between equals.
    const int column = m_sortColumn;
    const bool ascending = m_sortAscending;
    std::stable_sort(m_records.begin(), m_records.end(),
                     [column, ascending](const std::unique_ptr<Record>& a, const std::unique_ptr<Record>& b) {
                         if (a->folder != b->folder) return a->folder;
                         int order = 0;
                         if (column == SORT_SIZE)
                             order = a->facts.size < b->facts.size ? -1 : a->facts.size > b->facts.size ? 1 : 0;
                         else if (column == SORT_TYPE)
                             order = CompareDisplayNames(a->facts.type, b->facts.type);
                         if (order == 0) order = CompareDisplayNames(a->name, b->name);
                         return ascending ? order < 0 : order > 0;
                     });
}

LRESULT CExplorerWindow::OnColumnClick(int, NMHDR* header, BOOL&)
{
    const int column = reinterpret_cast<NMLISTVIEW*>(header)->iSubItem;
    if (column < SORT_NAME || column > SORT_TYPE) return 0;
    if (column == m_sortColumn) {
        m_sortAscending = !m_sortAscending;
    } else {
        m_sortColumn = column;
        m_sortAscending = true;
    }
    FillList(TreeView_GetSelection(m_tree));
    return 0;
}

LRESULT CExplorerWindow::OnListDoubleClick(int, NMHDR* header, BOOL&)
{
    const int row = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
    if (row < 0 || static_cast<size_t>(row) >= m_records.size()) return 0;
    const Record& record = *m_records[row];
    if (record.folder) {
        SelectChildFolder(record);
    } else if (!record.facts.path.empty()) {
        // Shown: a file opened hidden would leave the user nothing to see.
        ::ShellExecuteA(m_hWnd, nullptr, record.facts.path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
    return 0;
}

void CExplorerWindow::SelectChildFolder(const Record& record)
{
    HTREEITEM current = TreeView_GetSelection(m_tree);
    if (!current) return;
    FillChildren(current);
    TreeView_Expand(m_tree, current, TVE_EXPAND);
    for (HTREEITEM child = TreeView_GetChild(m_tree, current); child; child = TreeView_GetNextSibling(m_tree, child)) {
        Node* node = NodeOf(child);
        if (node && SameShellItem(node->absolute.Get(), record.absolute.Get())) {
            TreeView_SelectItem(m_tree, child);
            return;
        }
    }
}

// --- dragging out ---

std::vector<std::string> CExplorerWindow::SelectedPaths(HWND from) const
{
    std::vector<std::string> paths;
    if (from == m_tree) {
        HTREEITEM item = TreeView_GetSelection(m_tree);
        Node* node = NodeOf(item);
        char path[MAX_PATH] = "";
        if (node && ::SHGetPathFromIDListA(node->absolute.Get(), path) && path[0]) paths.push_back(path);
        return paths;
    }
    for (int row = ListView_GetNextItem(m_list, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(m_list, row, LVNI_SELECTED)) {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        if (!ListView_GetItem(m_list, &item) || static_cast<size_t>(item.lParam) >= m_records.size()) continue;
        const Record& record = *m_records[item.lParam];
        if (!record.facts.path.empty()) paths.push_back(record.facts.path);
    }
    return paths;
}

LRESULT CExplorerWindow::OnBeginDrag(int, NMHDR* header, BOOL&)
{
    if (header->hwndFrom == m_tree) {
        // The tree drags the item under the mouse: make it the selection.
        HTREEITEM item = reinterpret_cast<NMTREEVIEWA*>(header)->itemNew.hItem;
        if (item) TreeView_SelectItem(m_tree, item);
    }
    const std::vector<std::string> paths = SelectedPaths(header->hwndFrom);
    if (paths.empty()) return 0;  // nothing of the file system to give
    IDataObject* data = CreateFileListData(paths);
    if (!data) return 0;
    DWORD effect = DROPEFFECT_NONE;
    ::DoDragDrop(data, static_cast<IDropSource*>(this), DROPEFFECT_COPY, &effect);
    data->Release();
    return 0;
}

STDMETHODIMP CExplorerWindow::QueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDropSource) return E_NOINTERFACE;
    *out = static_cast<IDropSource*>(this);
    return S_OK;
}

STDMETHODIMP CExplorerWindow::QueryContinueDrag(BOOL escape, DWORD keys)
{
    if (escape) return DRAGDROP_S_CANCEL;
    return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
}
