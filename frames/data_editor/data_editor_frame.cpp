#include "data_editor_frame.h"
#include "commands.h"
#include "editor_resource.h"
#include "editor_view_texts.h"
#include "files_processing_dialog.h"
#include <data_editor/model/message_pump.h>
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

// The paths of a drop block (CF_HDROP): a DROPFILES header, then
// zero-terminated names ending with an empty one, in ANSI or UTF-16.
// `size` bounds the reading: a damaged block yields what lies inside.
std::vector<std::string> PathsOfDropBlock(const BYTE* block, size_t size)
{
    std::vector<std::string> paths;
    if (size < sizeof(DROPFILES)) return paths;
    const DROPFILES* header = reinterpret_cast<const DROPFILES*>(block);
    size_t at = header->pFiles;
    if (header->fWide) {
        while (at + 2 <= size) {
            std::wstring name;
            while (at + 2 <= size) {
                wchar_t c;
                std::memcpy(&c, block + at, 2);
                at += 2;
                if (!c) break;
                name += c;
            }
            if (name.empty()) break;
            char ansi[MAX_PATH * 2] = "";
            WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, ansi, sizeof ansi - 1, nullptr, nullptr);
            paths.push_back(ansi);
        }
    } else {
        while (at < size) {
            const char* start = reinterpret_cast<const char*>(block + at);
            size_t n = strnlen(start, size - at);
            if (n == 0) break;
            paths.emplace_back(start, n);
            at += n + 1;
        }
    }
    return paths;
}

// What the system holds for the frame's window while a drop may come: it
// forwards to the editor without a reference, so the registration keeps
// no cycle alive (the window revokes it when it goes).
class CDropTargetRelay : public com::ObjectRoot<com::SingleThreadModel>, public IDropTarget {
public:
    COM_INTERFACES_BEGIN(CDropTargetRelay)
        COM_INTERFACE(IDropTarget)
    COM_INTERFACES_END()
    IDropTarget* editor = nullptr;
    STDMETHODIMP DragEnter(IDataObject* d, DWORD k, POINTL p, DWORD* e) override { return editor->DragEnter(d, k, p, e); }
    STDMETHODIMP DragOver(DWORD k, POINTL p, DWORD* e) override { return editor->DragOver(k, p, e); }
    STDMETHODIMP DragLeave() override { return editor->DragLeave(); }
    STDMETHODIMP Drop(IDataObject* d, DWORD k, POINTL p, DWORD* e) override { return editor->Drop(d, k, p, e); }
};

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
        if (m_sortEnabled) m_tree.SortAll(m_tree.GetRoot());
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

STDMETHODIMP CCoNostrine::GetModified(long* modified)
{
    if (!modified) {
        LogNull("a_pbModified");
        return E_POINTER;
    }
    *modified = m_modified ? 1 : 0;
    return S_OK;
}

STDMETHODIMP CCoNostrine::OnSaveCompleted(HRESULT result)
{
    m_modified = FAILED(result);
    return S_OK;
}

// --- IOwnWindow ---

STDMETHODIMP CCoNostrine::CreateOwnWindow(HWND parent)
{
    if (!::IsWindow(parent)) return E_INVALIDARG;
    return com::Guarded("IOwnWindow::CreateOwnWindow", [&]() -> HRESULT {
        Create(parent, nullptr, "", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
        return IsWindow() ? S_OK : E_FAIL;
    });
}

STDMETHODIMP CCoNostrine::GetOwnWindow(HWND* window)
{
    if (!window) return E_POINTER;
    *window = m_hWnd;
    return S_OK;
}

// --- commands from the project ---

HRESULT CCoNostrine::OnCommand(IUnknown*, REFCLSID, unsigned id, SAFEARRAY* data)
{
    switch (id) {
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
    com::ComObject<CDropTargetRelay>* relay = nullptr;
    if (SUCCEEDED(com::CreateObjectImpl<CDropTargetRelay>(&relay))) {
        relay->editor = this;
        m_dropRegistered = SUCCEEDED(RegisterDragDrop(m_hWnd, relay));
        relay->Release();
    }
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
    // The frame stays: the project asks, and destroys it itself.
    if (!m_preparing) return 0;
    TitledMessageBox(m_hWnd, Text(IDS_PREPARATION_RUNNING).c_str(), MB_ICONWARNING | MB_OK);
    return -1;
}

LRESULT CCoNostrine::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (m_dropRegistered) RevokeDragDrop(m_hWnd);
    m_dropRegistered = false;
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
    m_preparing = true;
    m_cancel = false;
    UpdateCommands();
    {
        com::ComPtr<ICommandPerformer> self(static_cast<ICommandPerformer*>(this));
        HICON icon = static_cast<HICON>(
            LoadImageA(com::ModuleInstance(), MAKEINTRESOURCEA(IDI_PROGRESS), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
        CProjectPreparationHost host(Partner(), self, CLSID_CoNostrine, m_hWnd, icon, m_cancel);
        EngineTreeJob job{&m_tree, &m_removedPaths, m_import, m_finalize};
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
    return 0;
}

// The clipboard's block is copied before it is read: the clipboard is
// closed again at once, and the copy is bounded by its real size.
LRESULT CCoNostrine::OnPaste(UINT, WPARAM, LPARAM, BOOL&)
{
    if (Busy()) return 0;
    std::vector<BYTE> block;
    if (!OpenClipboard(m_hWnd)) return 0;
    if (HGLOBAL data = GetClipboardData(CF_HDROP)) {
        const SIZE_T size = GlobalSize(data);
        if (const void* bytes = GlobalLock(data)) {
            block.assign(static_cast<const BYTE*>(bytes), static_cast<const BYTE*>(bytes) + size);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    const std::vector<std::string> paths = PathsOfDropBlock(block.data(), block.size());
    if (!paths.empty()) AddPaths(TargetFolder(false), paths);
    return 0;
}

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
    if (!entry) return FALSE;
    return m_tree.Rename(entry, info->item.pszText) ? TRUE : FALSE;
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
    m_tree.SortAll(m_tree.GetRoot());
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

LRESULT CCoNostrine::OnTreeDropFiles(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    HDROP drop = reinterpret_cast<HDROP>(wParam);
    POINT at = {};
    DropFiles(drop, DragQueryPoint(drop, &at) ? TreeFolderAt(at) : nullptr);
    return 0;
}

LRESULT CCoNostrine::OnListDropFiles(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    HDROP drop = reinterpret_cast<HDROP>(wParam);
    POINT at = {};
    DropFiles(drop, DragQueryPoint(drop, &at) ? ListFolderAt(at) : nullptr);
    Send(PCID_IMAGE_SIZE_CHANGED, {});
    return 0;
}

// Onto the tree: the folder under the point, else the root.
CUserFSEntry* CCoNostrine::TreeFolderAt(POINT client) const
{
    TVHITTESTINFO hit = {client, 0, nullptr};
    HTREEITEM item = TreeView_HitTest(m_treeView.m_hWnd, &hit);
    if (item && (hit.flags & TVHT_ONITEM)) {
        TVITEMA tv = {};
        tv.mask = TVIF_PARAM;
        tv.hItem = item;
        TreeView_GetItem(m_treeView.m_hWnd, &tv);
        if (tv.lParam) return reinterpret_cast<CUserFSEntry*>(tv.lParam);
    }
    return m_tree.GetRoot();
}

// Onto the list: a folder row, else the folder the list shows.
CUserFSEntry* CCoNostrine::ListFolderAt(POINT client) const
{
    LVHITTESTINFO hit = {};
    hit.pt = client;
    const int row = ListView_HitTest(m_listView.m_hWnd, &hit);
    if (row >= 0 && size_t(row) < m_listEntries.size() && m_listEntries[size_t(row)]->IsFolder())
        return m_listEntries[size_t(row)];
    return SelectedFolder();
}

CUserFSEntry* CCoNostrine::DropFolderAt(POINT at) const
{
    for (HWND view : {m_treeView.m_hWnd, m_listView.m_hWnd}) {
        RECT r;
        ::GetWindowRect(view, &r);
        if (!PtInRect(&r, at)) continue;
        POINT client = at;
        ::ScreenToClient(view, &client);
        return view == m_treeView.m_hWnd ? TreeFolderAt(client) : ListFolderAt(client);
    }
    return nullptr;
}

// --- the drop target ---

namespace {
// Asked, or else listed: not every data object answers QueryGetData.
bool OffersFormat(IDataObject* data, CLIPFORMAT wanted)
{
    FORMATETC asked = {wanted, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (data->QueryGetData(&asked) == S_OK) return true;
    com::ComPtr<IEnumFORMATETC> formats;
    if (FAILED(data->EnumFormatEtc(DATADIR_GET, &formats)) || !formats) return false;
    FORMATETC format;
    ULONG got = 0;
    while (formats->Next(1, &format, &got) == S_OK && got == 1) {
        if (format.ptd) CoTaskMemFree(format.ptd);
        if (format.cfFormat == wanted && (format.tymed & TYMED_HGLOBAL)) return true;
    }
    return false;
}
}  // namespace

// A file list from anywhere; the editor's own entries only from the drag
// this frame runs itself (another editor's entries are not ours to move).
STDMETHODIMP CCoNostrine::DragEnter(IDataObject* data, DWORD keys, POINTL at, DWORD* effect)
{
    if (!effect) return E_INVALIDARG;
    m_dropIsOwnEntries = false;
    m_dropAccepted = false;
    if (data) {
        if (OffersFormat(data, CF_HDROP))
            m_dropAccepted = true;
        else if (m_ownDrag && OffersFormat(data, CF_IMAGE_ENTRIES))
            m_dropAccepted = m_dropIsOwnEntries = true;
    }
    return DragOver(keys, at, effect);
}

STDMETHODIMP CCoNostrine::DragOver(DWORD, POINTL at, DWORD* effect)
{
    if (!effect) return E_INVALIDARG;
    const bool open = m_dropAccepted && !Busy();
    // The user's files are copied onto the disc, never moved from where they are.
    *effect = open ? (m_dropIsOwnEntries ? DROPEFFECT_MOVE : DROPEFFECT_COPY) : DROPEFFECT_NONE;
    int row = -1;
    if (open && IsWindow()) {
        POINT client = {at.x, at.y};
        RECT list;
        ::GetWindowRect(m_listView.m_hWnd, &list);
        if (PtInRect(&list, client)) {
            ::ScreenToClient(m_listView.m_hWnd, &client);
            row = InsertionRowAt(client);
        }
    }
    SetInsertionMark(row);
    return S_OK;
}

STDMETHODIMP CCoNostrine::DragLeave()
{
    m_dropAccepted = false;
    m_dropIsOwnEntries = false;
    SetInsertionMark(-1);
    return S_OK;
}

STDMETHODIMP CCoNostrine::Drop(IDataObject* data, DWORD, POINTL at, DWORD* effect)
{
    if (!effect) return E_INVALIDARG;
    *effect = DROPEFFECT_NONE;
    const bool accepted = m_dropAccepted, ownEntries = m_dropIsOwnEntries;
    const int row = m_insertMark;
    DragLeave();
    if (!data || !accepted || Busy()) return S_OK;
    return com::Guarded("IDropTarget::Drop", [&]() -> HRESULT {
        if (ownEntries) {
            // Only the editor's own selection moves, and only while the
            // user orders the entries himself.
            if (m_ownDrag && !m_sortEnabled && row >= 0) {
                MoveSelectedEntries(row);
                *effect = DROPEFFECT_MOVE;
            }
            ::InvalidateRect(m_listView.m_hWnd, nullptr, TRUE);
            return S_OK;
        }
        return DropFileList(data, POINT{at.x, at.y}, effect);
    });
}

// The file list is read from our own copy of the medium, which is released
// with ReleaseStgMedium: DragFinish is only for what WM_DROPFILES brings.
HRESULT CCoNostrine::DropFileList(IDataObject* data, POINT at, DWORD* effect)
{
    CUserFSEntry* folder = DropFolderAt(at);
    if (!folder) return S_OK;
    FORMATETC files = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&files, &medium))) return S_OK;
    std::vector<BYTE> block;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
        const SIZE_T size = GlobalSize(medium.hGlobal);
        if (const void* bytes = GlobalLock(medium.hGlobal)) {
            block.assign(static_cast<const BYTE*>(bytes), static_cast<const BYTE*>(bytes) + size);
            GlobalUnlock(medium.hGlobal);
        }
    }
    ReleaseStgMedium(&medium);
    const std::vector<std::string> paths = PathsOfDropBlock(block.data(), block.size());
    if (!paths.empty() && AddPaths(folder, paths)) *effect = DROPEFFECT_COPY;
    return S_OK;
}

// A drop the system delivered: its handle is ours to finish, in every case.
void CCoNostrine::DropFiles(HDROP drop, CUserFSEntry* folder)
{
    std::vector<std::string> paths;
    if (folder && !Busy()) {
        const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            char path[MAX_PATH] = "";
            if (DragQueryFileA(drop, i, path, MAX_PATH)) paths.push_back(path);
        }
    }
    DragFinish(drop);
    if (!paths.empty()) AddPaths(folder, paths);
}

// --- the edits ---

bool CCoNostrine::AddPaths(CUserFSEntry* folder, const std::vector<std::string>& paths)
{
    if (Busy() || !folder) return false;
    m_adding = true;
    UpdateCommands();
    ShowProcessing(true);
    for (const std::string& path : paths) {
        if (StopRequested()) break;
        m_tree.AddPath(folder, path.c_str());
    }
    ShowProcessing(false);
    m_adding = false;
    m_modified = true;
    SelectFolder(folder, true);
    ::SetFocus(m_treeView.m_hWnd);
    UpdateCommands();
    Send(PCID_IMAGE_SIZE_CHANGED, {});
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
    for (CUserFSEntry* entry : doomed) {
        if (entry->IsImported()) m_removedPaths.push_back(entry->m_sourcePath);
        m_tree.Remove(entry);
    }
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
    if (m_sortEnabled) m_tree.SortAll(m_tree.GetRoot());
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
    std::vector<char> names(64 * 1024, 0);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = names.data();
    ofn.nMaxFile = DWORD(names.size() - 1);
    ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&ofn)) return;
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
    const std::string title = Text(IDS_SELECT_FOLDER);
    BROWSEINFOA info = {};
    info.hwndOwner = m_hWnd;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (!chosen) return;
    char path[MAX_PATH] = "";
    const BOOL found = SHGetPathFromIDListA(chosen, path);
    CoTaskMemFree(chosen);
    if (found && path[0]) AddPaths(folder, {path});
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
        // Only the folder's own item: its children announce themselves.
        if (entry->IsFolder() && IsWindow() && !m_loading) InsertFolderItem(entry, false);
        if (!entry->IsFolder() && m_adding) {
            ShowProcessedFile(entry);
            PumpWaitingMessages();
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
        event.answer = DWORD(TitledMessageBox(m_hWnd, m_texts.Format(IDS_REPLACE_EXISTING, entry->m_name.c_str()).c_str(),
                                              0x2007));
        break;
    case UTE_NAME_EXISTS:
        TitledMessageBox(m_hWnd, m_texts.Format(IDS_NAME_EXISTS, entry->m_name.c_str()).c_str(), 0x2200);
        break;
    case UTE_INVALID_NAME: {
        static const unsigned texts[] = {IDS_ILLEGAL_CHARACTERS, IDS_NAME_REQUIRED, IDS_NAME_RESERVED, IDS_NAME_TOO_LONG};
        if (event.extra >= 1 && event.extra <= 4) TitledMessageBox(m_hWnd, Text(texts[event.extra - 1]).c_str(), 0x1200);
        break;
    }
    }
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
