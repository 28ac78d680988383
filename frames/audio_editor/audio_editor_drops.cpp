// The audio editor's drops and paste: audio files and folders from the
// shell, dropped between the rows or pasted, and the drag of the list's own
// tracks, with the insertion mark the list draws.
#include "audio_editor_frame.h"
#include <frames/common/file_lists.h>
#include <shared/colors.h>
#include <com/guard.h>
#include <algorithm>
#include <cctype>

namespace {

const COLORREF DROP_MARK_COLOR = RGB(200, 213, 246);

// A folder, or a file of a kind the layout takes, by its extension.
bool IsAudioPath(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || path.find_first_of("\\/", dot) != std::string::npos) return false;
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    static const char* const kinds[] = {"mp1", "mp2", "mp3", "mpg", "wav", "wma", "ogg",
                                        "mo3", "mod", "mtm", "s3m", "xm",  "it"};
    return std::find(std::begin(kinds), std::end(kinds), ext) != std::end(kinds);
}

// The data object of the list's own drag: the frame's window in a 4-byte
// block, which nobody reads.
class CTrackDragData : public com::ObjectRoot<com::SingleThreadModel>, public IDataObject {
public:
    COM_INTERFACES_BEGIN(CTrackDragData)
        COM_INTERFACE(IDataObject)
    COM_INTERFACES_END()
    HWND m_frame = nullptr;

    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (!format || !medium) return E_INVALIDARG;
        if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4);
        if (!block) return E_OUTOFMEMORY;
        if (void* bytes = GlobalLock(block)) {
            const DWORD window = DWORD(reinterpret_cast<UINT_PTR>(m_frame));
            memcpy(bytes, &window, 4);
            GlobalUnlock(block);
        }
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override
    {
        return format && format->cfFormat == CF_AUDIO_TRACKS && (format->tymed & TYMED_HGLOBAL) ? S_OK
                                                                                                 : DV_E_FORMATETC;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        if (out) out->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (direction != DATADIR_GET) return E_NOTIMPL;
        FORMATETC format = {CF_AUDIO_TRACKS, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return SHCreateStdEnumFmtEtc(1, &format, out);
    }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
};

HRESULT SystemDragLoop(IDataObject* data, IDropSource* source, DWORD allowed, DWORD* effect, void*)
{
    return DoDragDrop(data, source, allowed, effect);
}

}  // namespace

// --- paste and the shell's drops ---

LRESULT CCoHollistra::OnPaste(UINT, WPARAM, LPARAM, BOOL&)
{
    if (!Editable()) return 0;
    const std::vector<std::string> paths = FileListOfClipboard(m_hWnd);
    if (!paths.empty()) AddPaths(paths, -1);
    return 0;
}

LRESULT CCoHollistra::OnDropFiles(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    HDROP drop = reinterpret_cast<HDROP>(wParam);
    POINT at = {};
    const bool inside = DragQueryPoint(drop, &at) != FALSE;
    const std::vector<std::string> paths = FileListOfDrop(drop, inside && Editable());
    if (!paths.empty()) AddPaths(paths, m_dropIndex);
    return 0;
}

// --- the list's own drag ---

LRESULT CCoHollistra::OnBeginDrag(int, NMHDR*, BOOL&)
{
    if (!Editable() || SelectedRows().empty()) return 0;
    com::ComObject<CTrackDragData>* data = nullptr;
    if (FAILED(com::CreateObjectImpl(&data))) return 0;
    data->m_frame = m_hWnd;
    com::ComPtr<IDataObject> owned;
    owned.Attach(data);
    m_ownDrag = true;
    DWORD effect = DROPEFFECT_NONE;
    (m_dragLoop ? m_dragLoop : SystemDragLoop)(owned, this, DROPEFFECT_MOVE, &effect, m_dragLoopContext);
    m_ownDrag = false;
    return 0;
}

STDMETHODIMP CCoHollistra::QueryContinueDrag(BOOL escape, DWORD keys)
{
    if (escape) return DRAGDROP_S_CANCEL;
    if (!(keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) return DRAGDROP_S_DROP;
    return S_OK;
}

STDMETHODIMP CCoHollistra::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }

// --- the drop target ---

// Audio files and folders from anywhere; the list's own tracks only from
// the drag this list runs itself (another editor's rows are not ours).
STDMETHODIMP CCoHollistra::DragEnter(IDataObject* data, DWORD keys, POINTL at, DWORD* effect)
{
    if (!effect) return E_INVALIDARG;
    m_dropAccepted = m_dropIsOwnTracks = false;
    if (data) {
        if (m_ownDrag && OffersFormat(data, CF_AUDIO_TRACKS)) {
            m_dropAccepted = m_dropIsOwnTracks = true;
        } else if (OffersFormat(data, CF_HDROP)) {
            const std::vector<std::string> paths = FileListOfDataObject(data);
            m_dropAccepted = std::any_of(paths.begin(), paths.end(), IsAudioPath);
        }
    }
    return DragOver(keys, at, effect);
}

STDMETHODIMP CCoHollistra::DragOver(DWORD, POINTL at, DWORD* effect)
{
    if (!effect) return E_INVALIDARG;
    const bool open = m_dropAccepted && Editable();
    *effect = open ? (m_dropIsOwnTracks ? DROPEFFECT_MOVE : DROPEFFECT_COPY) : DROPEFFECT_NONE;
    SetDropIndex(open && IsWindow() ? DropIndexAt(at) : -1);
    return S_OK;
}

STDMETHODIMP CCoHollistra::DragLeave()
{
    m_dropAccepted = m_dropIsOwnTracks = false;
    SetDropIndex(-1);
    return S_OK;
}

STDMETHODIMP CCoHollistra::Drop(IDataObject* data, DWORD, POINTL at, DWORD* effect)
{
    if (!effect) return E_INVALIDARG;
    *effect = DROPEFFECT_NONE;
    const bool accepted = m_dropAccepted && Editable(), ownTracks = m_dropIsOwnTracks;
    const int index = IsWindow() ? DropIndexAt(at) : -1;
    m_dropAccepted = m_dropIsOwnTracks = false;
    if (!data || !accepted) {
        SetDropIndex(-1);
        return S_OK;
    }
    return com::Guarded("IDropTarget::Drop", [&]() -> HRESULT {
        if (ownTracks && m_ownDrag && index >= 0) {
            const std::vector<unsigned long> rows = SelectedRows();
            const unsigned before = unsigned(std::count_if(rows.begin(), rows.end(),
                                                           [&](unsigned long r) { return r < unsigned(index); }));
            if (!rows.empty()) MoveRows(rows, unsigned(index), unsigned(index) - before);
            *effect = DROPEFFECT_MOVE;
        } else if (!ownTracks) {
            const std::vector<std::string> paths = FileListOfDataObject(data);
            if (!paths.empty() && AddPaths(paths, index)) *effect = DROPEFFECT_COPY;
        }
        SetDropIndex(-1);
        ::InvalidateRect(m_list, nullptr, TRUE);
        return S_OK;
    });
}

// The row a drop at `screen` goes in front of: the row under the point
// half a row lower, or the row count below the last row.
int CCoHollistra::DropIndexAt(POINTL screen) const
{
    POINT client = {screen.x, screen.y};
    ::ScreenToClient(m_list, &client);
    const int count = ListView_GetItemCount(m_list);
    if (count == 0) return 0;
    RECT first = {};
    ListView_GetItemRect(m_list, 0, &first, LVIR_BOUNDS);
    LVHITTESTINFO hit = {};
    hit.pt = {client.x, client.y + (first.bottom - first.top) / 2};
    // Rows fill the list's width: the hit test is made at the first column.
    hit.pt.x = first.left + 4;
    const int row = ListView_HitTest(m_list, &hit);
    return row >= 0 ? row : count;
}

RECT CCoHollistra::MarkBand(int index) const
{
    RECT row = {};
    const int count = ListView_GetItemCount(m_list);
    if (count == 0) return row;
    const bool past = index >= count;
    ListView_GetItemRect(m_list, past ? count - 1 : index, &row, LVIR_BOUNDS);
    const int y = past ? row.bottom : row.top;
    return RECT{row.left, y - 3, row.right, y + 1};
}

void CCoHollistra::SetDropIndex(int index)
{
    if (index == m_dropIndex) return;
    if (m_list && m_dropIndex >= 0) {
        const RECT old = MarkBand(m_dropIndex);
        ::InvalidateRect(m_list, &old, TRUE);
    }
    m_dropIndex = index;
    if (m_list && m_dropIndex >= 0) {
        const RECT band = MarkBand(m_dropIndex);
        ::InvalidateRect(m_list, &band, TRUE);
    }
}

LRESULT CCoHollistra::OnCustomDraw(int, NMHDR* header, BOOL&)
{
    NMLVCUSTOMDRAW* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYPOSTPAINT;
    if (draw->nmcd.dwDrawStage != CDDS_POSTPAINT || m_dropIndex < 0) return CDRF_DODEFAULT;
    const RECT band = MarkBand(m_dropIndex);
    if (band.right <= band.left) return CDRF_DODEFAULT;
    HPEN pen = CreatePen(PS_SOLID, 3, ShiftColorHLS(DROP_MARK_COLOR, -50, 0));
    HGDIOBJ old = SelectObject(draw->nmcd.hdc, pen);
    const int y = band.top + 2;
    MoveToEx(draw->nmcd.hdc, band.left + 2, y, nullptr);
    LineTo(draw->nmcd.hdc, band.right - 2, y);
    SelectObject(draw->nmcd.hdc, old);
    DeleteObject(pen);
    return CDRF_DODEFAULT;
}
