// The data editor's drops and paste: file lists from the shell dropped on
// either view or pasted, and the drag of the list's own entries.
#include "data_editor_frame.h"
#include <frames/common/file_lists.h>
#include <com/guard.h>
#include <message_box.h>
#include <shared/log.h>
#include <shared/settings_helper.h>

// The clipboard's block is copied before it is read.
LRESULT CCoNostrine::OnPaste(UINT, WPARAM, LPARAM, BOOL&)
{
    if (Busy()) return 0;
    std::vector<std::string> refused;
    const std::vector<std::string> paths = FileListOfClipboard(m_hWnd, &refused);
    if (!paths.empty()) AddPaths(TargetFolder(false), paths);
    ReportRefused(refused);
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

HRESULT CCoNostrine::DropFileList(IDataObject* data, POINT at, DWORD* effect)
{
    CUserFSEntry* folder = DropFolderAt(at);
    if (!folder) return S_OK;
    std::vector<std::string> refused;
    const std::vector<std::string> paths = FileListOfDataObject(data, &refused);
    // "Copied" only when something arrived.
    if (!paths.empty() && AddPaths(folder, paths) && m_addedByLastAdd) *effect = DROPEFFECT_COPY;
    ReportRefused(refused);
    return S_OK;
}

// A drop the system delivered: its handle is ours to finish, in every case.
void CCoNostrine::DropFiles(HDROP drop, CUserFSEntry* folder)
{
    std::vector<std::string> refused;
    const std::vector<std::string> paths = FileListOfDrop(drop, folder && !Busy(), &refused);
    if (!paths.empty()) AddPaths(folder, paths);
    ReportRefused(refused);
}

// Paths of a drop or paste that cannot be added are named, not dropped in
// silence (nor matched as wildcards).
void CCoNostrine::ReportRefused(const std::vector<std::string>& refused)
{
    if (refused.empty()) return;
    std::string list;
    for (const std::string& path : refused) list += (list.empty() ? "" : "\n") + path;
    LogPrintf("%u dropped or pasted path(s) refused", unsigned(refused.size()));
    CommonMessageBox(m_texts.Format(IDS_PATHS_REFUSED, list.c_str()), MBX_OK | MBX_ICONWARNING);
}
