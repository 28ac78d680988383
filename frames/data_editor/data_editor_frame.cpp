#include "data_editor_frame.h"
#include "commands.h"
#include "editor_resource.h"
#include "editor_view_texts.h"
#include <message_box.h>
#include <frames/common/drop_target_relay.h>
#include <frames/common/files_processing_dialog.h>
#include <frames/common/message_pump.h>
#include <data_editor/model/project_preparation_host.h>
#include <shared/size_texts.h>
#include <shared/guid_text.h>
#include <shared/log.h>
#include <shared/settings_helper.h>
#include <shared/translator.h>
#include <com/bstr.h>
#include <com/guard.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace {

const int SPLITTER_POSITION = 200;
const LONGLONG BLOCK = 2048;

LONGLONG RoundToBlocks(LONGLONG bytes) { return (bytes + BLOCK - 1) / BLOCK * BLOCK; }

int SystemIcon(const char* name, DWORD attributes, UINT flags = 0)
{
    SHFILEINFOA info = {};
    SHGetFileInfoA(name, attributes, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON |
                   SHGFI_USEFILEATTRIBUTES | flags);
    return info.iIcon;
}

HIMAGELIST SystemImageList()
{
    SHFILEINFOA info = {};
    return reinterpret_cast<HIMAGELIST>(SHGetFileInfoA("C:\\", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                                                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
}

}  // namespace

CCoNostrine::CCoNostrine() : m_texts(GuidToString(CLSID_CoNostrine))
{
    m_tree.SetObserver(TreeEvent, reinterpret_cast<DWORD_PTR>(this));
}

CCoNostrine::~CCoNostrine()
{
    m_tree.SetObserver(nullptr, 0);
    if (m_contextMenu) DestroyMenu(m_contextMenu);
    m_toolbar.Release();
}

void CCoNostrine::FinalRelease()
{
    if (m_processing && m_processing->IsWindow()) m_processing->Destroy();
    if (IsWindow()) Destroy();
}

// --- ILoadSave ---

STDMETHODIMP CCoNostrine::Load(ILoadableSection* section)
{
    if (!section) return E_POINTER;
    return com::Guarded("ILoadSave::Load", [&]() -> HRESULT {
        com::ComPtr<ILoadableSection> image;
        HRESULT hr = section->GetChildByName(com::Bstr("DataImage"), &image);
        if (FAILED(hr)) return hr;
        unsigned long import = 0, finalize = 0, sorting = 1;
        if (FAILED(hr = image->LoadDWORD(com::Bstr("import"), &import))) return hr;
        if (FAILED(hr = image->LoadDWORD(com::Bstr("finalize"), &finalize))) return hr;
        if (FAILED(image->LoadDWORD(com::Bstr("sort_enabled"), &sorting))) sorting = 1;
        m_import = int(import);
        m_finalize = unsigned(finalize);
        // The views are rebuilt from the whole tree once it is read.
        m_listEntries.clear();
        if (IsWindow()) {
            ListView_SetItemCountEx(m_listView.m_hWnd, 0, 0);
            m_removing = true;
            TreeView_DeleteAllItems(m_treeView.m_hWnd);
            m_removing = false;
        }
        ForgetTreeItems(m_tree.GetRoot());
        m_loading = true;
        const bool loaded = m_tree.Load(image);
        m_loading = false;
        if (IsWindow()) {
            // The tree's items again, whatever part was read.
            m_tree.GetRoot()->m_treeItem = nullptr;
            InsertFolderItem(m_tree.GetRoot());
        }
        if (!loaded) return E_FAIL;
        m_sortEnabled = sorting ? 1 : 0;
        m_tree.m_sortingEnabled = m_sortEnabled != 0;
        if (m_sortEnabled) SortEverything();
        m_toolbar.ShowSorting(m_sortEnabled != 0);
        if (IsWindow()) {
            UpdateSortArrow();
            UpdateCommands();
            ::SetFocus(m_treeView.m_hWnd);
            SelectFolder(m_tree.GetRoot(), true);
        }
        Send(PCID_IMAGE_SIZE_CHANGED, {});
        m_modified = false;
        return S_OK;
    });
}

STDMETHODIMP CCoNostrine::Save(ISaveableSection* section)
{
    if (!section) return E_POINTER;
    return com::Guarded("ILoadSave::Save", [&]() -> HRESULT {
        if (FAILED(section->SaveString(com::Bstr("class"), com::Bstr("CCoNostrine")))) return E_FAIL;
        com::ComPtr<ISaveableSection> image;
        HRESULT hr = section->CreateChild(com::Bstr("DataImage"), &image);
        if (FAILED(hr)) return hr;
        if (FAILED(hr = image->SaveDWORD(com::Bstr("import"), static_cast<unsigned long>(m_import)))) return hr;
        if (FAILED(hr = image->SaveDWORD(com::Bstr("finalize"), m_finalize))) return hr;
        if (FAILED(hr = image->SaveDWORD(com::Bstr("sort_enabled"), m_sortEnabled))) return hr;
        return m_tree.Save(image) ? S_OK : E_FAIL;
    });
}

// --- commands from the project ---

HRESULT CCoNostrine::OnCommand(IUnknown*, REFCLSID, unsigned id, SAFEARRAY* data)
{
    switch (id) {
    case PCID_QUERY_ACTION_ENABLED: {
        // Of the standard commands the editor offers Paste: a file list on
        // the clipboard, while edits are taken.
        long command = 0;
        BOOL* enabled = nullptr;
        HRESULT hr = ExtractFromSafearray(data, {{VT_I4, &command}, {VT_BOOL | VT_BYREF, &enabled}});
        if (FAILED(hr)) return hr;
        if (!enabled) return E_POINTER;
        *enabled = command == ID_STANDARD_PASTE && !Busy() && IsClipboardFormatAvailable(CF_HDROP);
        return S_OK;
    }
    case PCID_ENABLE_UI: {
        unsigned long enable = 0;
        HRESULT hr = ExtractFromSafearray(data, {{VT_UI4, &enable}});
        if (FAILED(hr)) return hr;
        m_uiDisabled = enable == 0;
        UpdateCommands();
        return S_OK;
    }
    case PCID_START:
        PostMessage(WM_START_PREPARATION, 0, 0);
        return S_OK;
    case PCID_CANCEL:
        PostMessage(WM_CANCEL_PREPARATION, 0, 0);
        return S_OK;
    case PCID_ACTIVE_CHANGED_NOTIFY: {
        unsigned long pane = 0, action = 0;
        HRESULT hr = ExtractFromSafearray(data, {{VT_UI4, &pane}, {VT_UI4, &action}});
        if (FAILED(hr)) return hr;
        Send(PCID_SET_ACTIVE_ACTION, {{VT_UI4, EDITOR_PANE}, {VT_UI4, 0xFFFFFFFEu}});
        // Posted: a file dialog must not run inside the panel's click.
        if (action == ID_DELETE || action == ID_RENAME || action == ID_CREATE_FOLDER || action == ID_ADD_FILES ||
            action == ID_ADD_FOLDER)
            PostMessage(WM_COMMAND, action, 0);
        return S_OK;
    }
    case PCID_GET_IMAGE_SIZE: {
        ULONGLONG* size = nullptr;
        HRESULT hr = ExtractFromSafearray(data, {{VT_UI8 | VT_BYREF, &size}});
        if (FAILED(hr)) return hr;
        if (!size) return E_POINTER;
        *size += ULONGLONG(RoundToBlocks(m_tree.ComputeFolderSize(m_tree.GetRoot())));
        return S_OK;
    }
    case PCID_GET_EDITOR_STATE: {
        unsigned long* state = nullptr;
        HRESULT hr = ExtractFromSafearray(data, {{VT_UI4 | VT_BYREF, &state}});
        if (FAILED(hr)) return hr;
        if (!state) return E_POINTER;
        *state = m_modified ? 1 : 0;
        return S_OK;
    }
    case PCID_GET_CONTENTS_TEXT: {
        BSTR* text = nullptr;
        HRESULT hr = ExtractFromSafearray(data, {{VT_BSTR | VT_BYREF, &text}});
        if (FAILED(hr)) return hr;
        if (!text) return E_POINTER;
        std::string contents;
        for (CUserFSEntry* e = m_tree.GetRoot()->FirstChild(); e; e = e->NextSibling()) contents += e->m_name + "\r\n";
        *text = com::Bstr(contents).Detach();
        return S_OK;
    }
    case DECID_4100: {
        unsigned long kind = 0;
        BSTR* path = nullptr;
        HRESULT hr = ExtractFromSafearray(data, {{VT_UI4, &kind}, {VT_BSTR | VT_BYREF, &path}});
        return FAILED(hr) ? hr : ChooseEntry(path);
    }
    case PCID_SET_BUTTONS_POS:
    case PCID_SET_BUTTONS_STATE: {
        HRESULT result = S_OK;
        HandleNextBackCommand(id, data, &result);
        return result;
    }
    default:
        return E_COMMAND_NOT_HANDLED;
    }
}

HRESULT CCoNostrine::Send(unsigned id, std::initializer_list<CommandValue> values)
{
    if (values.size() == 0) return SendCommand(id, nullptr);
    CVariantSafearray data(ULONG(values.size()));
    if (!data.Create()) return E_OUTOFMEMORY;
    HRESULT hr = data.Prepare(values);
    return FAILED(hr) ? hr : SendCommand(id, data);
}

// --- the window ---

LRESULT CCoNostrine::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    const HINSTANCE module = com::ModuleInstance();
    HWND tree = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_EDITLABELS |
                                    TVS_INFOTIP | TVS_SHOWSELALWAYS,
                                0, 0, 0, 0, m_hWnd, reinterpret_cast<HMENU>(IDC_FOLDER_TREE), module, nullptr);
    // The list shares the process's system image list: it must not destroy it.
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_EDITLABELS |
                                    LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                                0, 0, 0, 0, m_hWnd, reinterpret_cast<HMENU>(IDC_FILE_LIST), module, nullptr);
    if (!tree || !list || !CreateToolbarAndButtons()) return -1;
    m_treeView.SubclassWindow(tree);
    m_listView.SubclassWindow(list);
    DragAcceptFiles(tree, TRUE);
    DragAcceptFiles(list, TRUE);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    HIMAGELIST images = SystemImageList();
    TreeView_SetImageList(tree, images, TVSIL_NORMAL);
    ListView_SetImageList(list, images, LVSIL_SMALL);
    m_folderIcon = SystemIcon("folder", FILE_ATTRIBUTE_DIRECTORY);
    m_openFolderIcon = SystemIcon("folder", FILE_ATTRIBUTE_DIRECTORY, SHGFI_OPENICON);

    const struct { unsigned text; int width; int format; } columns[] = {
        {IDS_COLUMN_NAME, 150, LVCFMT_LEFT}, {IDS_COLUMN_TYPE, 80, LVCFMT_LEFT},
        {IDS_COLUMN_SIZE, 90, LVCFMT_RIGHT}, {IDS_COLUMN_DESCRIPTION, 150, LVCFMT_LEFT}};
    for (int i = 0; i < 4; ++i) {
        std::string text = Text(columns[i].text);
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = columns[i].format;
        column.cx = columns[i].width;
        column.pszText = &text[0];
        ListView_InsertColumn(list, i, &column);
    }
    UpdateSortArrow();
    m_tree.GetRoot()->m_treeItem = nullptr;
    InsertFolderItem(m_tree.GetRoot());
    AddTaskPanelActions();
    // Fails on a thread without OLE: the views still take shell drops.
    m_dropRegistered = CDropTargetRelay::Register(m_hWnd, this);
    // Paste follows the clipboard: the project asks again as the commands change.
    AddClipboardFormatListener(m_hWnd);
    PostMessage(WM_NEW_PROJECT, 0, 0);
    return 0;
}

void CCoNostrine::AddTaskPanelActions()
{
    // The project copies the icons it is given.
    auto iconOf = [](int id, int size) {
        return static_cast<HICON>(LoadImageA(com::ModuleInstance(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size,
                                             LR_DEFAULTCOLOR));
    };
    auto handle = [](HICON icon) { return static_cast<unsigned>(reinterpret_cast<UINT_PTR>(icon)); };
    com::Bstr pane(Text(IDS_EDITOR_PANE));
    HICON paneIcon = iconOf(IDI_EDITOR_PANE, 32);
    Send(PCID_ADD_PANE, {{VT_UI4, EDITOR_PANE}, {VT_BSTR, pane.Get()}, {VT_UI4, handle(paneIcon)}});
    if (paneIcon) DestroyIcon(paneIcon);
    const struct { unsigned id, text; int icon; } actions[] = {{ID_CREATE_FOLDER, IDS_CREATE_FOLDER, IDI_CREATE_FOLDER},
                                                                {ID_ADD_FILES, IDS_ADD_FILES, IDI_ADD_FILES},
                                                                {ID_ADD_FOLDER, IDS_ADD_FOLDER, IDI_ADD_FOLDER},
                                                                {ID_RENAME, IDS_RENAME, IDI_RENAME},
                                                                {ID_DELETE, IDS_DELETE, IDI_DELETE}};
    for (const auto& a : actions) {
        com::Bstr caption(Text(a.text));
        HICON icon = iconOf(a.icon, 16);
        Send(PCID_ADD_ACTION, {{VT_UI4, EDITOR_PANE}, {VT_UI4, a.id}, {VT_BSTR, caption.Get()}, {VT_UI4, handle(icon)}});
        if (icon) DestroyIcon(icon);
    }
    m_renameCaption = Text(IDS_RENAME);
    m_deleteCaption = Text(IDS_DELETE);
}

LRESULT CCoNostrine::OnClose(UINT, WPARAM, LPARAM, BOOL&)
{
    // The frame stays: the project asks, and destroys it itself. An add
    // runs on this editor's tree until it ends or is stopped.
    if (m_adding) {
        CommonMessageBox(Text(IDS_ADDING_RUNNING), MBX_OK | MBX_ICONWARNING);
        return -1;
    }
    if (!m_preparing) return 0;
    TitledMessageBox(m_hWnd, Text(IDS_PREPARATION_RUNNING).c_str(), MB_ICONWARNING | MB_OK);
    return -1;
}

LRESULT CCoNostrine::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (m_dropRegistered) RevokeDragDrop(m_hWnd);
    m_dropRegistered = false;
    RemoveClipboardFormatListener(m_hWnd);
    handled = FALSE;
    return 0;
}

LRESULT CCoNostrine::OnSize(UINT, WPARAM, LPARAM, BOOL&)
{
    LayoutContent();
    return 0;
}

LRESULT CCoNostrine::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    RECT r = GetClientRect();
    FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
    return 0;
}

LRESULT CCoNostrine::OnUpdateCommands(UINT, WPARAM, LPARAM, BOOL&)
{
    UpdateCommands();
    return 0;
}

LRESULT CCoNostrine::OnNewProject(UINT, WPARAM, LPARAM, BOOL&)
{
    long willLoad = 0;
    CVariantSafearray data(1);
    if (data.Create() && SUCCEEDED(data.Prepare({{VT_I4 | VT_BYREF, &willLoad}})))
        SendCommand(DECID_GET_WILL_LOAD, data);
    if (!willLoad) {
        SelectFolder(m_tree.GetRoot(), true);
        AskNewProject();
    }
    UpdateCommands();
    return 0;
}

LRESULT CCoNostrine::OnStartPreparation(UINT, WPARAM, LPARAM, BOOL&)
{
    if (m_preparing) return 0;
    // A start that comes while files are added (the add pumps messages)
    // waits for the whole tree: the add posts it again when it ends.
    if (m_adding) {
        m_startWaiting = true;
        return 0;
    }
    m_preparing = true;
    m_cancel = false;
    UpdateCommands();
    {
        com::ComPtr<ICommandPerformer> self(static_cast<ICommandPerformer*>(this));
        HICON icon = static_cast<HICON>(
            LoadImageA(com::ModuleInstance(), MAKEINTRESOURCEA(IDI_PROGRESS), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
        CProjectPreparationHost host(Partner(), self, CLSID_CoNostrine, m_hWnd, icon, m_cancel);
        EngineTreeJob job{&m_tree, &m_tree.RemovedImports(), m_import, m_finalize};
        PrepareEngineTree(job, host, m_texts);
        if (icon) DestroyIcon(icon);
    }
    m_preparing = false;
    UpdateCommands();
    return 0;
}

LRESULT CCoNostrine::OnCancelPreparation(UINT, WPARAM, LPARAM, BOOL&)
{
    m_cancel = true;
    if (m_startWaiting) {
        // The waiting start ends here, as a cancelled preparation does.
        m_startWaiting = false;
        com::ComPtr<ICommandPerformer> self(static_cast<ICommandPerformer*>(this));
        CProjectPreparationHost host(Partner(), self, CLSID_CoNostrine, m_hWnd, nullptr, m_cancel);
        host.SourceReady(SCARD_W_CANCELLED_BY_USER, nullptr);
    }
    return 0;
}

// --- the folder tree ---

void CCoNostrine::ForgetTreeItems(CUserFSEntry* folder)
{
    folder->m_treeItem = nullptr;
    for (CUserFSEntry* child = folder->FirstChild(); child; child = child->NextSibling())
        if (child->IsFolder()) ForgetTreeItems(child);
}

void CCoNostrine::InsertFolderItem(CUserFSEntry* folder, bool withChildren)
{
    CUserFSEntry* parent = folder->Parent();
    if (parent && !parent->m_treeItem) return;
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent ? static_cast<HTREEITEM>(parent->m_treeItem) : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(folder->m_name.c_str());
    insert.item.lParam = reinterpret_cast<LPARAM>(folder);
    // Closed until it is expanded (TVN_ITEMEXPANDED).
    insert.item.iImage = m_folderIcon;
    insert.item.iSelectedImage = m_folderIcon;
    folder->m_treeItem = TreeView_InsertItem(m_treeView.m_hWnd, &insert);
    if (!withChildren) return;
    for (CUserFSEntry* child = folder->FirstChild(); child; child = child->NextSibling())
        if (child->IsFolder()) InsertFolderItem(child);
}

namespace {
int CALLBACK ByModelOrder(LPARAM a, LPARAM b, LPARAM order)
{
    auto& places = *reinterpret_cast<std::unordered_map<LPARAM, int>*>(order);
    return places[a] - places[b];
}
}  // namespace

// The whole tree sorted, and the folder tree's items put in its order.
void CCoNostrine::SortEverything()
{
    m_tree.SortAll(m_tree.GetRoot());
    if (IsWindow()) SortFolderItemsBelow(m_tree.GetRoot());
}

void CCoNostrine::SortFolderItemsBelow(CUserFSEntry* folder)
{
    SortFolderItems(folder);
    for (CUserFSEntry* child = folder->FirstChild(); child; child = child->NextSibling())
        if (child->IsFolder()) SortFolderItemsBelow(child);
}

void CCoNostrine::SortFolderItems(CUserFSEntry* folder)
{
    if (!folder->m_treeItem) return;
    std::unordered_map<LPARAM, int> places;
    int place = 0;
    for (CUserFSEntry* child = folder->FirstChild(); child; child = child->NextSibling())
        places[reinterpret_cast<LPARAM>(child)] = place++;
    TVSORTCB sort = {static_cast<HTREEITEM>(folder->m_treeItem), ByModelOrder, reinterpret_cast<LPARAM>(&places)};
    TreeView_SortChildrenCB(m_treeView.m_hWnd, &sort, FALSE);
}

CUserFSEntry* CCoNostrine::SelectedFolder() const
{
    HTREEITEM item = TreeView_GetSelection(m_treeView.m_hWnd);
    if (!item) return m_tree.GetRoot();
    TVITEMA tv = {};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    TreeView_GetItem(m_treeView.m_hWnd, &tv);
    return tv.lParam ? reinterpret_cast<CUserFSEntry*>(tv.lParam) : m_tree.GetRoot();
}

void CCoNostrine::SelectFolder(CUserFSEntry* folder, bool expand)
{
    if (!folder || !folder->m_treeItem) return;
    HTREEITEM item = static_cast<HTREEITEM>(folder->m_treeItem);
    if (TreeView_GetSelection(m_treeView.m_hWnd) == item)
        RefillList();
    else
        TreeView_SelectItem(m_treeView.m_hWnd, item);
    if (expand) {
        TreeView_Expand(m_treeView.m_hWnd, item, TVE_EXPAND);
        ShowFolderState(item);
    }
}

LRESULT CCoNostrine::OnTreeSelChanged(int, NMHDR*, BOOL&)
{
    if (!m_removing) RefillList();
    PostMessage(WM_UPDATE_COMMANDS, 0, 0);
    return 0;
}

LRESULT CCoNostrine::OnTreeExpanding(int, NMHDR* header, BOOL&)
{
    const NMTREEVIEWA* tv = reinterpret_cast<const NMTREEVIEWA*>(header);
    // The root stays open.
    return (tv->action & TVE_COLLAPSE) && tv->itemNew.lParam == reinterpret_cast<LPARAM>(m_tree.GetRoot());
}

// No label edit starts while edits are refused.
LRESULT CCoNostrine::OnBeginLabelEdit(int, NMHDR*, BOOL&) { return Busy() ? TRUE : FALSE; }

LRESULT CCoNostrine::OnTreeEndLabelEdit(int, NMHDR* header, BOOL&)
{
    const NMTVDISPINFOA* info = reinterpret_cast<const NMTVDISPINFOA*>(header);
    if (!info->item.pszText || Busy()) return FALSE;
    CUserFSEntry* entry = reinterpret_cast<CUserFSEntry*>(info->item.lParam);
    if (!entry || !m_tree.Rename(entry, info->item.pszText)) return FALSE;
    // The item shows the name kept (trimmed, a label cut to its field),
    // not the typed text the control would take on TRUE.
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = info->item.hItem;
    item.pszText = const_cast<char*>(entry->m_name.c_str());
    TreeView_SetItem(m_treeView.m_hWnd, &item);
    return FALSE;
}

// --- the file list ---

void CCoNostrine::RefillList()
{
    m_listEntries.clear();
    CUserFSEntry* folder = SelectedFolder();
    for (CUserFSEntry* child = folder->FirstChild(); child; child = child->NextSibling()) {
        if (child->IsFolder()) m_tree.ComputeFolderSize(child);
        m_listEntries.push_back(child);
    }
    ListView_SetItemCountEx(m_listView.m_hWnd, int(m_listEntries.size()), 0);
    ListView_SetItemState(m_listView.m_hWnd, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ::InvalidateRect(m_listView.m_hWnd, nullptr, TRUE);
}

LRESULT CCoNostrine::OnListGetDispInfo(int, NMHDR* header, BOOL&)
{
    NMLVDISPINFOA* info = reinterpret_cast<NMLVDISPINFOA*>(header);
    LVITEMA& item = info->item;
    if (item.iItem < 0 || size_t(item.iItem) >= m_listEntries.size()) return 0;
    const CUserFSEntry* entry = m_listEntries[size_t(item.iItem)];
    if (item.mask & LVIF_IMAGE)
        item.iImage = entry->IsFolder() ? m_folderIcon : SystemIcon(entry->m_name.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (item.mask & LVIF_TEXT) {
        std::string text;
        switch (item.iSubItem) {
        case 0: text = entry->m_name; break;
        case 1: text = RowTypeText(entry); break;
        case 2: text = RowSizeText(entry); break;
        case 3: text = entry->IsImported() ? "" : entry->m_sourcePath; break;
        }
        CopyText(item.pszText, item.cchTextMax, text);
    }
    return 0;
}

LRESULT CCoNostrine::OnListEndLabelEdit(int, NMHDR* header, BOOL&)
{
    const NMLVDISPINFOA* info = reinterpret_cast<const NMLVDISPINFOA*>(header);
    if (!info->item.pszText || Busy()) return FALSE;
    const int row = info->item.iItem;
    if (row < 0 || size_t(row) >= m_listEntries.size()) return FALSE;
    // The rename rebuilds the list; the row's entry is read before.
    CUserFSEntry* entry = m_listEntries[size_t(row)];
    return m_tree.Rename(entry, info->item.pszText) ? TRUE : FALSE;
}

LRESULT CCoNostrine::OnListDoubleClick(int, NMHDR* header, BOOL&)
{
    const NMITEMACTIVATE* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
    if (click->iItem >= 0 && size_t(click->iItem) < m_listEntries.size() && m_listEntries[size_t(click->iItem)]->IsFolder())
        SelectFolder(m_listEntries[size_t(click->iItem)], true);
    UpdateCommands();
    return 1;
}

LRESULT CCoNostrine::OnListColumnClick(int, NMHDR* header, BOOL&)
{
    const NMLISTVIEW* click = reinterpret_cast<const NMLISTVIEW*>(header);
    if (click->iSubItem < 0 || click->iSubItem > 2 || Busy()) return 0;
    m_ascending = click->iSubItem == m_sortColumn ? !m_ascending : true;
    m_sortColumn = click->iSubItem;
    m_tree.m_sortKind = DWORD(m_sortColumn + 1);
    m_tree.m_ascending = m_ascending;
    m_tree.m_sortingEnabled = true;
    m_sortEnabled = 1;
    SortEverything();
    m_toolbar.ShowSorting(true);
    RefillList();
    UpdateSortArrow();
    return 0;
}

LRESULT CCoNostrine::OnViewFocus(int, NMHDR*, BOOL&)
{
    PostMessage(WM_UPDATE_COMMANDS, 0, 0);
    return 0;
}

// --- the tree's events ---

void CCoNostrine::TreeEvent(DWORD_PTR context, CUserFSTreeEvent* event)
{
    reinterpret_cast<CCoNostrine*>(context)->OnTreeEvent(*event);
}

void CCoNostrine::OnTreeEvent(CUserFSTreeEvent& event)
{
    CUserFSEntry* entry = event.entry;
    switch (event.code) {
    case UTE_ENTRY_ADDED:
        m_modified = true;
        if (m_adding) ++m_addedByLastAdd;
        // Only the folder's own item: its children announce themselves.
        if (entry->IsFolder() && IsWindow() && !m_loading) InsertFolderItem(entry, false);
        if (!entry->IsFolder() && m_adding) {
            ShowProcessedFile(entry);
            m_addPump.Pump();
        }
        event.answer = m_adding && StopRequested() ? UTA_STOP : UTA_GO_ON;
        break;
    case UTE_ENTRY_REMOVED:
        m_modified = true;
        // No list row may point into the subtree that goes.
        m_listEntries.clear();
        if (IsWindow()) {
            ListView_SetItemCountEx(m_listView.m_hWnd, 0, 0);
            if (entry->IsFolder() && entry->m_treeItem) {
                const bool wasRemoving = m_removing;
                m_removing = true;
                TreeView_DeleteItem(m_treeView.m_hWnd, static_cast<HTREEITEM>(entry->m_treeItem));
                m_removing = wasRemoving;
            }
        }
        break;
    case UTE_ENTRY_CHANGED:
        m_modified = true;
        if (!IsWindow()) break;
        if (entry->m_treeItem) {
            TVITEMA tv = {};
            tv.mask = TVIF_TEXT;
            tv.hItem = static_cast<HTREEITEM>(entry->m_treeItem);
            tv.pszText = const_cast<char*>(entry->m_name.c_str());
            TreeView_SetItem(m_treeView.m_hWnd, &tv);
        }
        RefillList();
        for (size_t i = 0; i < m_listEntries.size(); ++i)
            if (m_listEntries[i] == entry)
                ListView_SetItemState(m_listView.m_hWnd, int(i), LVIS_SELECTED | LVIS_FOCUSED,
                                      LVIS_SELECTED | LVIS_FOCUSED);
        break;
    case UTE_CHILDREN_SORTED:
        if (IsWindow()) SortFolderItems(entry);
        break;
    case UTE_NAME_EXISTS_ASK:
        // Yes, Yes to all, No with the warning icon; the answer is the
        // pressed button's bit, as the tree reads it.
        event.answer = DWORD(CommonMessageBox(m_texts.Format(IDS_REPLACE_EXISTING, entry->m_name.c_str()),
                                              MBX_YES | MBX_YESTOALL | MBX_NO | MBX_ICONWARNING));
        break;
    case UTE_NAME_EXISTS:
        CommonMessageBox(m_texts.Format(IDS_NAME_EXISTS, entry->m_name.c_str()), MBX_OK | MBX_ICONWARNING);
        break;
    case UTE_INVALID_NAME: {
        static const unsigned texts[] = {IDS_ILLEGAL_CHARACTERS, IDS_NAME_REQUIRED, IDS_NAME_RESERVED, IDS_NAME_TOO_LONG};
        if (event.extra >= 1 && event.extra <= 4) CommonMessageBox(Text(texts[event.extra - 1]), MBX_OK | MBX_ICONERROR);
        break;
    }
    }
}

