// The audio editor's commands and their states: adding tracks from the file
// dialog, a folder and every other way in, rename, delete, moving the
// selection, select all, the keys, the context menu, and what each command
// offers now.
#include "audio_editor_frame.h"
#include "audio_editor_texts.h"
#include "track_indexes.h"
#include <frames/common/file_lists.h>
#include <frames/common/folder_browser.h>
#include <frames/common/files_processing_dialog.h>
#include <frames/common/message_pump.h>
#include <shared/guid_text.h>
#include <shared/log.h>
#include <shared/settings_helper.h>
#include <com/bstr.h>
#include <commdlg.h>
#include <shlobj.h>
#include <algorithm>
#include <cstring>

namespace {

const DWORD PROGRESS_PERIOD_MS = 100;
const DWORD PROGRESS_DELAY_MS = 300;

// Every file under `folder` in the file system's order, sub-folders walked
// where they are met.
void WalkFolder(std::string folder, std::vector<std::string>& out)
{
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (!std::strcmp(found.cFileName, ".") || !std::strcmp(found.cFileName, "..")) continue;
        const std::string path = folder + "\\" + found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) WalkFolder(path, out);
        else out.push_back(path);
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

bool IsFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void CCoHollistra::RefreshCount() { ShowCount(TrackCount()); }

void CCoHollistra::ShowCount(unsigned count)
{
    ForgetRowTexts();
    if (m_list) ListView_SetItemCountEx(m_list, int(count), LVSICF_NOSCROLL);
}

void CCoHollistra::Changed()
{
    m_modified = true;
    Send(PCID_IMAGE_SIZE_CHANGED, {});
}

std::vector<unsigned long> CCoHollistra::SelectedRows() const
{
    std::vector<unsigned long> rows;
    if (!m_list) return rows;
    for (int row = ListView_GetNextItem(m_list, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(m_list, row, LVNI_SELECTED))
        rows.push_back(static_cast<unsigned long>(row));
    return rows;
}

void CCoHollistra::SelectRows(unsigned first, unsigned count)
{
    ListView_SetItemState(m_list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (unsigned i = 0; i < count; ++i)
        ListView_SetItemState(m_list, int(first + i), LVIS_SELECTED, LVIS_SELECTED);
    if (count) ListView_SetItemState(m_list, int(first), LVIS_FOCUSED, LVIS_FOCUSED);
    if (count) ListView_SetSelectionMark(m_list, int(first));
}

// --- adding ---

bool CCoHollistra::AddPaths(std::vector<std::string> paths, int index)
{
    if (!Editable()) return false;
    // Folders are walked where they stand in the list.
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        if (IsFolder(path)) WalkFolder(path, files);
        else files.push_back(path);
    }
    m_adding = true;
    UpdateCommands();
    if (!m_addingWindow) m_addingWindow.reset(new CFilesProcessingDialog(GuidToString(CLSID_CoHollistra),
                                                                          IDS_FILES_PROCESSING, IDS_STOP));
    // The window comes only for an add that takes a while: a quick one is
    // done before a window would have been drawn.
    const DWORD started = GetTickCount();
    bool windowShown = false;
    auto stopRequested = [&] { return windowShown && m_addingWindow->StopRequested(); };
    std::vector<std::string> refused;
    const int total = int(files.size());
    // The count is read once: nothing else changes the layout while the add
    // runs, and every call crosses to the engine. The window is redrawn
    // every tenth of a second, not after every file.
    unsigned count = 0;
    m_layout->GetTrackCount(&count);
    DWORD shown = GetTickCount() - PROGRESS_PERIOD_MS;
    CPeriodicPump pump;
    for (int k = 1; k <= total; ++k) {
        if (stopRequested()) break;
        if (count >= MAX_TRACKS) {
            if (windowShown) m_addingWindow->Show(false);
            TitledMessageBox(m_hWnd, AudioEditorText(IDS_TRACK_LIMIT).c_str(), MB_OK | MB_ICONEXCLAMATION);
            break;
        }
        const std::string& path = files[size_t(k - 1)];
        const unsigned before = count;
        const unsigned at = index < 0 ? count : unsigned(index);
        // The place moves on only behind a track that was added: a refused
        // file must not push the later ones one place late.
        if (SUCCEEDED(m_layout->InsertTrack(at, com::Bstr(path)))) {
            ++count;
            if (index >= 0) ++index;
        } else {
            LogPrintf("Not added as a track: %s", path.c_str());
            refused.push_back(path);
        }
        if (!windowShown && GetTickCount() - started >= PROGRESS_DELAY_MS && IsWindow()) {
            if (!m_addingWindow->IsWindow()) m_addingWindow->Create(m_hWnd);
            windowShown = m_addingWindow->IsWindow();
            if (windowShown) m_addingWindow->Show(true);  // clears its stop flag
        }
        if (windowShown && (k == total || GetTickCount() - shown >= PROGRESS_PERIOD_MS)) {
            m_addingWindow->SetProgress(AudioEditorFormat(IDS_PROCESSED_FILES, k, total, int(before)), k, total);
            shown = GetTickCount();
        }
        pump.Pump();
    }
    if (windowShown) m_addingWindow->Show(false);
    m_adding = false;
    if (!refused.empty()) {
        std::string list;
        for (size_t i = 0; i < refused.size() && i < 20; ++i) list += refused[i] + "\n";
        if (refused.size() > 20) list += "...\n";
        TitledMessageBox(m_hWnd, AudioEditorFormat(IDS_FILES_REFUSED, list.c_str()).c_str(), MB_OK | MB_ICONWARNING);
    }
    ::SetFocus(m_list);
    ShowCount(count);
    UpdateCommands();
    Changed();
    return true;
}

void CCoHollistra::AddFilesFromDialog()
{
    char filter[1024];
    std::snprintf(filter, sizeof filter,
                  "%s|*.wav;*.mpg;*.mp1;*.mp2;*.mp3;*.ogg;*.wma;*.mo3;*.mod;*.mtm;*.s3m;*.xm;*.it|%s|*.*|%s|*.wav|%s|"
                  "*.mpg;*.mp1;*.mp2;*.mp3|%s|*.wma|%s|*.mo3;*.mod;*.mtm;*.s3m;*.xm;*.it||",
                  AudioEditorText(IDS_ALL_SUPPORTED_FILES).c_str(), AudioEditorText(IDS_ALL_FILES).c_str(),
                  AudioEditorText(IDS_WAV_FILES).c_str(), AudioEditorText(IDS_MPEG_FILES).c_str(),
                  AudioEditorText(IDS_WMA_FILES).c_str(), AudioEditorText(IDS_MOD_FILES).c_str());
    for (char* c = filter; *c; ++c)
        if (*c == '|') *c = 0;
    std::vector<char> names(64 * 1024, 0);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = filter;
    ofn.lpstrFile = names.data();
    ofn.nMaxFile = DWORD(names.size() - 1);
    ofn.Flags = OFN_ENABLESIZING | OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&ofn)) return;
    AddPaths(PathsOfOpenFileNames(names.data()), -1);
}

void CCoHollistra::AddFolderFromDialog()
{
    const std::string folder = BrowseForFolder(m_hWnd, AudioEditorText(IDS_SELECT_AUDIO_FOLDER));
    if (!folder.empty()) AddPaths({folder}, -1);
}

// --- the other edits ---

void CCoHollistra::DeleteSelection()
{
    const std::vector<unsigned long> rows = SelectedRows();
    if (rows.empty()) return;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) m_layout->RemoveTrack(*row);
    ListView_SetItemState(m_list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    RefreshCount();
    ListView_SetSelectionMark(m_list, -1);
    UpdateCommands();
    Changed();
}

// Up goes to the place before the first selected track; down behind the
// track after the last one. The moved block is selected where it landed.
void CCoHollistra::MoveSelection(bool up)
{
    const std::vector<unsigned long> rows = SelectedRows();
    if (rows.empty()) return;
    const unsigned count = unsigned(rows.size());
    const unsigned target = up ? (rows.front() > 0 ? unsigned(rows.front() - 1) : 0u) : unsigned(rows.back() + 2);
    MoveRows(rows, target, up ? target : target - count);
}

void CCoHollistra::MoveRows(const std::vector<unsigned long>& rows, unsigned target, unsigned firstAfter)
{
    com::ComPtr<IEnumULONG> indexes;
    if (FAILED(CTrackIndexes::Create(rows, &indexes))) return;
    if (FAILED(m_layout->MoveTracks(indexes, target))) return;
    const unsigned total = TrackCount(), count = unsigned(rows.size());
    if (firstAfter + count > total) firstAfter = total >= count ? total - count : 0;
    SelectRows(firstAfter, count);
    ForgetRowTexts();
    ::InvalidateRect(m_list, nullptr, TRUE);
    // A new order is a change the project must save.
    m_modified = true;
    UpdateCommands();
}

LRESULT CCoHollistra::OnCommandId(WORD, WORD id, HWND, BOOL&)
{
    if (id == ID_SELECT_ALL) {
        ListView_SetItemState(m_list, -1, LVIS_SELECTED, LVIS_SELECTED);
        UpdateCommands();
        return 0;
    }
    if (!Editable()) return 0;
    switch (id) {
    case ID_ADD_AUDIO_FOLDER: AddFolderFromDialog(); break;
    case ID_ADD_TRACKS: AddFilesFromDialog(); break;
    case ID_RENAME_TRACK: {
        const int row = ListView_GetSelectionMark(m_list);
        if (row >= 0) {
            ::SetFocus(m_list);
            ListView_EditLabel(m_list, row);
        }
        break;
    }
    case ID_DELETE_TRACKS: DeleteSelection(); break;
    case ID_MOVE_UP: MoveSelection(true); break;
    case ID_MOVE_DOWN: MoveSelection(false); break;
    }
    UpdateCommands();
    return 0;
}

LRESULT CCoHollistra::OnBeginLabelEdit(int, NMHDR*, BOOL&) { return Editable() ? FALSE : TRUE; }

LRESULT CCoHollistra::OnEndLabelEdit(int, NMHDR* header, BOOL&)
{
    const NMLVDISPINFOA* info = reinterpret_cast<const NMLVDISPINFOA*>(header);
    if (!info->item.pszText || !info->item.pszText[0]) return FALSE;
    com::ComPtr<IAudioTrack> track = Track(unsigned(info->item.iItem));
    if (!track) return FALSE;
    m_modified = true;
    track->SetTitle(com::Bstr(info->item.pszText));
    ForgetRowTexts();
    ::InvalidateRect(m_list, nullptr, TRUE);
    return FALSE;  // the virtual list draws the title from the layout
}

// --- keys and the menu ---

bool CCoHollistra::OnKey(WPARAM key)
{
    const unsigned id = key == VK_DELETE ? ID_DELETE_TRACKS : key == 'A' ? ID_ADD_TRACKS : key == VK_F2 ? ID_RENAME_TRACK : 0;
    if (!id) return false;
    SendMessage(WM_COMMAND, id, 0);
    return true;
}

LRESULT CCoHollistra::OnKeyDown(UINT, WPARAM key, LPARAM, BOOL& handled)
{
    handled = OnKey(key);
    return 0;
}

LRESULT CCoHollistra::OnListKeyDown(int, NMHDR* header, BOOL&)
{
    OnKey(reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey);
    return 0;
}

LRESULT CCoHollistra::OnListChanged(int, NMHDR*, BOOL&)
{
    UpdateCommands();
    return 0;
}

LRESULT CCoHollistra::OnRightClick(int, NMHDR*, BOOL&)
{
    UpdateCommands();
    HMENU popup = m_contextMenu ? GetSubMenu(m_contextMenu, 0) : nullptr;
    if (!popup) return 0;
    POINT at;
    GetCursorPos(&at);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, m_hWnd, nullptr);
    return 0;
}

// --- command states ---

void CCoHollistra::UpdateCommands()
{
    if (!IsWindow()) return;
    const bool editable = Editable();
    const std::vector<unsigned long> rows = SelectedRows();
    // The list's count, not the layout's: every change of the layout sets
    // it, and a read of the layout here would cross to the engine at every
    // selection change.
    const unsigned total = unsigned(ListView_GetItemCount(m_list));
    bool afterUnselected = false, beforeUnselected = false;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] > i) afterUnselected = true;  // some row above it is not selected
        if (rows[i] < total - (rows.size() - i)) beforeUnselected = true;
    }
    const bool any = !rows.empty();
    const struct { unsigned id; bool on; } states[] = {
        {ID_ADD_TRACKS, editable},
        {ID_RENAME_TRACK, editable && any},
        {ID_DELETE_TRACKS, editable && any},
        {ID_MOVE_UP, editable && any && afterUnselected},
        {ID_MOVE_DOWN, editable && any && beforeUnselected}};
    for (const auto& s : states) {
        m_toolbar.Enable(s.id, s.on);
        EnableMenuItem(m_contextMenu, s.id, MF_BYCOMMAND | (s.on ? MF_ENABLED : MF_GRAYED));
        Send(s.on ? PCID_ENABLE_ACTION : PCID_DISABLE_ACTION, {{VT_UI4, AUDIO_PANE}, {VT_UI4, s.id}});
    }
    // Add folder stays offered: it is refused while the editor is busy.
    UpdatePlayerCommands();
}
