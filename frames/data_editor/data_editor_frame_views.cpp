// The data editor's views beyond the model's events: the toolbar and the
// Back and Next buttons, the bar between the folder tree and the file list,
// folder icons, info tips, tooltips, the imported entries' colour, the
// context menu, the sort arrow and the drag of the list's own entries.
#include "data_editor_frame.h"
#include "editor_resource.h"
#include "editor_view_texts.h"
#include <data_editor/model/size_texts.h>
#include <shared/drawing.h>
#include <com/guard.h>
#include <shellapi.h>
#include <algorithm>

namespace {
const int SPLITTER_BAR = 4;
const int MIN_PANE = 30;
const LONGLONG BLOCK = 2048;
}  // namespace

bool CCoNostrine::CreateToolbarAndButtons()
{
    const HINSTANCE module = com::ModuleInstance();
    if (!m_toolbar.Create(m_hWnd, module, m_sortEnabled != 0)) return false;
    m_rebarView.SubclassWindow(m_toolbar.Rebar());
    if (!m_contextMenu) m_contextMenu = LoadMenuA(module, MAKEINTRESOURCEA(IDM_EDITOR_CONTEXT));
    return CreateNextBackButtons(FALSE, TRUE);
}

// The rebar on top, the Back and Next buttons at the bottom, and the two
// views with the bar between them in what is left.
void CCoNostrine::LayoutContent()
{
    if (!IsWindow()) return;
    RECT client = GetClientRect();
    const int width = client.right - client.left;
    m_toolbar.Layout(width);
    const int top = m_toolbar.Height();
    const int bottom = std::max(top, LayoutNextBackButtons());
    const int split = std::max(0, std::min(m_splitPos, width - SPLITTER_BAR - MIN_PANE));
    ::MoveWindow(m_treeView.m_hWnd, 0, top, split, bottom - top, TRUE);
    ::MoveWindow(m_listView.m_hWnd, split + SPLITTER_BAR, top, std::max(0, width - split - SPLITTER_BAR), bottom - top,
                 TRUE);
}

LRESULT CCoNostrine::OnRebarEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    CRebarToolbar::PaintBand(m_rebarView.m_hWnd, reinterpret_cast<HDC>(wParam));
    return 1;
}

bool CCoNostrine::OnSplitterBar(POINT client) const
{
    RECT tree;
    if (!::GetWindowRect(m_treeView.m_hWnd, &tree)) return false;
    POINT corner = {tree.right, tree.top}, end = {tree.right, tree.bottom};
    ::ScreenToClient(m_hWnd, &corner);
    ::ScreenToClient(m_hWnd, &end);
    return client.x >= corner.x && client.x < corner.x + SPLITTER_BAR && client.y >= corner.y && client.y < end.y;
}

LRESULT CCoNostrine::OnSetCursor(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    POINT at;
    GetCursorPos(&at);
    ::ScreenToClient(m_hWnd, &at);
    if (reinterpret_cast<HWND>(wParam) == m_hWnd && LOWORD(lParam) == HTCLIENT && OnSplitterBar(at)) {
        ::SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
        return TRUE;
    }
    handled = FALSE;
    return 0;
}

LRESULT CCoNostrine::OnSplitterButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    const POINT at = {int(short(LOWORD(lParam))), int(short(HIWORD(lParam)))};
    if (!OnSplitterBar(at)) {
        handled = FALSE;
        return 0;
    }
    m_splitterDragging = true;
    ::SetCapture(m_hWnd);
    return 0;
}

LRESULT CCoNostrine::OnSplitterMouseMove(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    if (!m_splitterDragging) {
        handled = FALSE;
        return 0;
    }
    RECT client = GetClientRect();
    const int x = int(short(LOWORD(lParam)));
    m_splitPos = std::max(MIN_PANE, std::min(x, int(client.right) - SPLITTER_BAR - MIN_PANE));
    LayoutContent();
    return 0;
}

LRESULT CCoNostrine::OnSplitterButtonUp(UINT message, WPARAM, LPARAM, BOOL& handled)
{
    if (!m_splitterDragging) {
        handled = FALSE;
        return 0;
    }
    m_splitterDragging = false;
    if (message == WM_LBUTTONUP) ReleaseCapture();
    return 0;
}

// --- folder icons, info tips, tooltips ---

LRESULT CCoNostrine::OnTreeExpanded(int, NMHDR* header, BOOL&)
{
    ShowFolderState(reinterpret_cast<const NMTREEVIEWA*>(header)->itemNew.hItem);
    return 0;
}

// The open folder while the item is expanded, else the closed one; the
// root keeps its icon. Also after the editor's own expands, which the
// control does not announce.
void CCoNostrine::ShowFolderState(HTREEITEM handle)
{
    if (!handle) return;
    TVITEMA item = {};
    item.mask = TVIF_PARAM | TVIF_STATE;
    item.stateMask = TVIS_EXPANDED;
    item.hItem = handle;
    if (!TreeView_GetItem(m_treeView.m_hWnd, &item) || item.lParam == reinterpret_cast<LPARAM>(m_tree.GetRoot())) return;
    const bool open = (item.state & TVIS_EXPANDED) != 0;
    item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.iImage = item.iSelectedImage = open ? m_openFolderIcon : m_folderIcon;
    TreeView_SetItem(m_treeView.m_hWnd, &item);
}

std::string CCoNostrine::RowTypeText(const CUserFSEntry* entry) const
{
    SHFILEINFOA info = {};
    SHGetFileInfoA(entry->m_name.c_str(), entry->IsFolder() ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL, &info,
                   sizeof info, SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES);
    info.szTypeName[sizeof info.szTypeName - 1] = 0;
    return info.szTypeName;
}

std::string CCoNostrine::RowSizeText(const CUserFSEntry* entry) const
{
    const std::string kb = LookUpLangStr("Common", 22), mb = LookUpLangStr("Common", 23);
    const LONGLONG blocks = (entry->m_size + BLOCK - 1) / BLOCK * BLOCK;
    return FormatSizeShort(blocks, kb.empty() ? "Kb" : kb, mb.empty() ? "Mb" : mb);
}

LRESULT CCoNostrine::OnTreeInfoTip(int, NMHDR* header, BOOL&)
{
    NMTVGETINFOTIPA* tip = reinterpret_cast<NMTVGETINFOTIPA*>(header);
    const CUserFSEntry* entry = reinterpret_cast<const CUserFSEntry*>(tip->lParam);
    if (entry) CopyText(tip->pszText, tip->cchTextMax, EntryInfoTip(entry, m_texts, RowTypeText(entry), RowSizeText(entry)));
    return 0;
}

LRESULT CCoNostrine::OnListInfoTip(int, NMHDR* header, BOOL&)
{
    NMLVGETINFOTIPA* tip = reinterpret_cast<NMLVGETINFOTIPA*>(header);
    if (tip->iItem < 0 || size_t(tip->iItem) >= m_listEntries.size()) return 0;
    const CUserFSEntry* entry = m_listEntries[size_t(tip->iItem)];
    CopyText(tip->pszText, tip->cchTextMax, EntryInfoTip(entry, m_texts, RowTypeText(entry), RowSizeText(entry)));
    return 0;
}

// The captions of the commands as the tooltips show them; "" for a
// control that is not one of the toolbar's.
std::string CCoNostrine::ToolbarTip(unsigned id) const
{
    const bool rootInFocus = ::GetFocus() != m_listView.m_hWnd && SelectedFolder() == m_tree.GetRoot();
    switch (id) {
    case ID_CREATE_FOLDER: return Text(IDS_CREATE_FOLDER);
    case ID_ADD_FILES: return Text(IDS_ADD_FILES);
    case ID_ADD_FOLDER: return Text(IDS_ADD_FOLDER);
    case ID_RENAME: return Text(rootInFocus ? IDS_CHANGE_LABEL : IDS_RENAME);
    case ID_DELETE: return Text(rootInFocus ? IDS_CLEAR_CONTENT : IDS_DELETE);
    case ID_SORT_TOGGLE: return Text(m_sortEnabled ? IDS_SORT_TURN_OFF : IDS_SORT_TURN_ON);
    default: return std::string();
    }
}

// The text goes into the notification's own buffer, cut to fit it.
LRESULT CCoNostrine::OnToolbarTipA(int, NMHDR* header, BOOL& handled)
{
    NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(header);
    const std::string text = ToolbarTip(unsigned(info->hdr.idFrom));
    if (text.empty()) {
        handled = FALSE;
        return 0;
    }
    CopyText(info->szText, int(sizeof info->szText), text);
    info->lpszText = info->szText;
    info->hinst = nullptr;
    return 0;
}

LRESULT CCoNostrine::OnToolbarTipW(int, NMHDR* header, BOOL& handled)
{
    NMTTDISPINFOW* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    const std::string text = ToolbarTip(unsigned(info->hdr.idFrom));
    if (text.empty()) {
        handled = FALSE;
        return 0;
    }
    CopyText(info->szText, int(sizeof info->szText / sizeof info->szText[0]), text);
    info->lpszText = info->szText;
    info->hinst = nullptr;
    return 0;
}

// --- command state of the toolbar and the context menu ---

void CCoNostrine::ApplyCommandState(bool off, bool haveSelection, bool rootSelected)
{
    const struct { unsigned id; bool on; } states[] = {
        {ID_CREATE_FOLDER, !off}, {ID_ADD_FILES, !off}, {ID_ADD_FOLDER, !off}, {ID_SORT_TOGGLE, !off},
        {ID_RENAME, !off && haveSelection}, {ID_DELETE, !off && haveSelection}};
    for (const auto& s : states) {
        m_toolbar.Enable(s.id, s.on);
        if (m_contextMenu) EnableMenuItem(m_contextMenu, s.id, MF_BYCOMMAND | (s.on ? MF_ENABLED : MF_GRAYED));
    }
    if (!m_contextMenu) return;
    const std::string rename = Text(rootSelected ? IDS_CHANGE_LABEL : IDS_RENAME);
    const std::string remove = Text(rootSelected ? IDS_CLEAR_CONTENT : IDS_DELETE);
    ModifyMenuA(m_contextMenu, ID_RENAME, MF_BYCOMMAND | MF_STRING | (!off && haveSelection ? MF_ENABLED : MF_GRAYED),
                ID_RENAME, rename.c_str());
    ModifyMenuA(m_contextMenu, ID_DELETE, MF_BYCOMMAND | MF_STRING | (!off && haveSelection ? MF_ENABLED : MF_GRAYED),
                ID_DELETE, remove.c_str());
}

void CCoNostrine::UpdateSortArrow()
{
    HWND header = ListView_GetHeader(m_listView.m_hWnd);
    if (!header) return;
    const int count = Header_GetItemCount(header);
    for (int i = 0; i < count; ++i) {
        HDITEMA item = {};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, i, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == m_sortColumn && m_sortEnabled) item.fmt |= m_ascending ? HDF_SORTUP : HDF_SORTDOWN;
        Header_SetItem(header, i, &item);
    }
}

// --- the context menu ---

LRESULT CCoNostrine::OnTreeRightClick(int, NMHDR*, BOOL&)
{
    POINT at;
    GetCursorPos(&at);
    POINT client = at;
    ::ScreenToClient(m_treeView.m_hWnd, &client);
    TVHITTESTINFO hit = {client, 0, nullptr};
    if (HTREEITEM item = TreeView_HitTest(m_treeView.m_hWnd, &hit)) TreeView_SelectItem(m_treeView.m_hWnd, item);
    ::SetFocus(m_treeView.m_hWnd);
    UpdateCommands();
    ShowContextMenu(at);
    return 1;
}

LRESULT CCoNostrine::OnListRightClick(int, NMHDR* header, BOOL&)
{
    const NMITEMACTIVATE* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
    POINT at = click->ptAction;
    ::ClientToScreen(m_listView.m_hWnd, &at);
    UpdateCommands();
    ShowContextMenu(at);
    return 1;
}

void CCoNostrine::ShowContextMenu(POINT screen)
{
    HMENU popup = m_contextMenu ? GetSubMenu(m_contextMenu, 0) : nullptr;
    if (!popup) return;
    const POINT at = ContextMenuPoint(screen);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, m_hWnd, nullptr);
    UpdateCommands();
}

// --- custom drawing: imported entries and the insertion mark ---

LRESULT CCoNostrine::OnListCustomDraw(int, NMHDR* header, BOOL&)
{
    NMLVCUSTOMDRAW* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPREPAINT: {
        const size_t row = size_t(draw->nmcd.dwItemSpec);
        if (row < m_listEntries.size() && m_listEntries[row]->IsImported()) {
            draw->clrText = IMPORTED_ENTRY_COLOR;
            return CDRF_NEWFONT;
        }
        return CDRF_DODEFAULT;
    }
    case CDDS_POSTPAINT: {
        if (m_insertMark < 0) return CDRF_DODEFAULT;
        const int count = ListView_GetItemCount(m_listView.m_hWnd);
        RECT row = {};
        int y = 0;
        if (m_insertMark < count && ListView_GetItemRect(m_listView.m_hWnd, m_insertMark, &row, LVIR_BOUNDS)) {
            y = row.top;
        } else if (count > 0 && ListView_GetItemRect(m_listView.m_hWnd, count - 1, &row, LVIR_BOUNDS)) {
            y = row.bottom - 2;
        } else {
            RECT headerRect = {};
            if (HWND h = ListView_GetHeader(m_listView.m_hWnd)) ::GetClientRect(h, &headerRect);
            y = headerRect.bottom;
        }
        RECT client;
        ::GetClientRect(m_listView.m_hWnd, &client);
        RECT line = {client.left, y, client.right, y + 2};
        HBRUSH brush = CreateSolidBrush(INSERTION_MARK_COLOR);
        FillRect(draw->nmcd.hdc, &line, brush);
        DeleteObject(brush);
        return CDRF_DODEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

LRESULT CCoNostrine::OnTreeCustomDraw(int, NMHDR* header, BOOL&)
{
    NMTVCUSTOMDRAW* draw = reinterpret_cast<NMTVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        const CUserFSEntry* entry = reinterpret_cast<const CUserFSEntry*>(draw->nmcd.lItemlParam);
        if (entry && entry->IsImported() && !(draw->nmcd.uItemState & CDIS_SELECTED)) {
            draw->clrText = IMPORTED_ENTRY_COLOR;
            return CDRF_NEWFONT;
        }
    }
    return CDRF_DODEFAULT;
}

// --- the drag of the list's own entries ---

LRESULT CCoNostrine::OnListBeginDrag(int, NMHDR*, BOOL&)
{
    // Entries keep the order the user gives them only while sorting is off.
    if (m_sortEnabled || Busy()) return 0;
    com::ComPtr<IDataObject> data;
    if (FAILED(CoCreateInstance(CLSID_CommonDataObject, nullptr, CLSCTX_INPROC_SERVER, IID_IDataObject,
                                reinterpret_cast<void**>(&data))))
        return 0;
    // The payload is a marker: the drop moves the list's selection.
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4);
    if (!block) return 0;
    FORMATETC format = {CF_IMAGE_ENTRIES, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = block;
    if (FAILED(data->SetData(&format, &medium, TRUE))) {
        GlobalFree(block);
        return 0;
    }
    DWORD effect = DROPEFFECT_NONE;
    m_ownDrag = true;
    IDropSource* source = static_cast<IDropSource*>(this);
    if (m_dragLoop)
        m_dragLoop(data, source, DROPEFFECT_MOVE, &effect, m_dragLoopContext);
    else
        DoDragDrop(data, source, DROPEFFECT_MOVE, &effect);
    m_ownDrag = false;
    SetInsertionMark(-1);
    return 0;
}

STDMETHODIMP CCoNostrine::QueryContinueDrag(BOOL escape, DWORD keys)
{
    if (escape) return DRAGDROP_S_CANCEL;
    return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
}

STDMETHODIMP CCoNostrine::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }

int CCoNostrine::InsertionRowAt(POINT client) const
{
    LVHITTESTINFO hit = {};
    hit.pt = client;
    const int row = ListView_HitTest(m_listView.m_hWnd, &hit);
    return row >= 0 ? row : ListView_GetItemCount(m_listView.m_hWnd);
}

void CCoNostrine::SetInsertionMark(int row)
{
    if (row == m_insertMark) return;
    m_insertMark = row;
    if (IsWindow()) ::InvalidateRect(m_listView.m_hWnd, nullptr, TRUE);
}

// The selected rows go, in their order, in front of the first unselected
// entry from `row` on (the end of the folder when there is none).
void CCoNostrine::MoveSelectedEntries(int row)
{
    std::vector<CUserFSEntry*> moving;
    for (int i = ListView_GetNextItem(m_listView.m_hWnd, -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(m_listView.m_hWnd, i, LVNI_SELECTED))
        if (size_t(i) < m_listEntries.size()) moving.push_back(m_listEntries[size_t(i)]);
    if (moving.empty()) return;
    CUserFSEntry* before = nullptr;
    for (size_t i = size_t(std::max(row, 0)); i < m_listEntries.size() && !before; ++i)
        if (std::find(moving.begin(), moving.end(), m_listEntries[i]) == moving.end()) before = m_listEntries[i];
    CUserFSEntry* folder = SelectedFolder();
    // The list is rebuilt from the tree afterwards, whatever moved.
    m_listEntries.clear();
    ListView_SetItemCountEx(m_listView.m_hWnd, 0, 0);
    bool moved = false;
    for (CUserFSEntry* entry : moving) moved = m_tree.Move(entry, before) || moved;
    if (moved) m_modified = true;
    SortFolderItems(folder);
    SelectFolder(folder, false);
    RefillList();
}
