// The audio editor's preview player: the bar at the bottom (Play, Pause,
// Stop, Previous, Next and the position), the half-second timer that
// follows the playback, and seeking. The engine's player is shared, so
// every step first asks whether it still plays what this editor started.
#include "audio_editor_frame.h"
#include "audio_editor_ids.h"
#include <shared/log.h>
#include <com/bstr.h>
#include <com/text.h>

bool CCoHollistra::CreatePlayerBar()
{
    const HINSTANCE module = com::ModuleInstance();
    HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TBSTYLE_TOOLTIPS |
                                   TBSTYLE_FLAT | CCS_ADJUSTABLE | CCS_NOMOVEY | CCS_NORESIZE | CCS_NOPARENTALIGN |
                                   CCS_NODIVIDER,
                               0, 0, 0, 0, m_hWnd, nullptr, module, nullptr);
    if (!bar) return false;
    ::SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    m_playerImages = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 5, 0);
    for (int id : {IDI_PLAY, IDI_PAUSE, IDI_STOP, IDI_PREVIOUS, IDI_NEXT}) {
        HICON icon = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
        ImageList_AddIcon(m_playerImages, icon);
        if (icon) DestroyIcon(icon);
    }
    ::SendMessageA(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_playerImages));
    TBBUTTON buttons[] = {
        {0, int(ID_PLAY), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {1, int(ID_PAUSE), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {2, int(ID_STOP), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {0, 0, 0, BTNS_SEP, {}, 0, 0},
        {3, int(ID_PREV_TRACK), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
        {4, int(ID_NEXT_TRACK), TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
    };
    ::SendMessageA(bar, TB_ADDBUTTONSA, sizeof buttons / sizeof buttons[0], reinterpret_cast<LPARAM>(buttons));
    HWND position = CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | TBS_NOTICKS, 0, 0, 0, 0, bar,
                                    reinterpret_cast<HMENU>(IDC_POSITION_BAR), module, nullptr);
    if (!position) return false;
    m_playerBar.SubclassWindow(bar);
    m_positionBar.SubclassWindow(position);
    return true;
}

LRESULT CCoHollistra::OnPlayerCommand(WORD, WORD id, HWND, BOOL&)
{
    switch (id) {
    case ID_PLAY: PlayRow(ListView_GetSelectionMark(m_list)); break;
    case ID_PAUSE: m_player.Pause(); break;
    case ID_STOP:
        m_player.Stop();
        ::SendMessageA(m_positionBar.m_hWnd, TBM_SETPOS, TRUE, 0);
        StopTimer();
        break;
    case ID_NEXT_TRACK:
        if (m_player.m_playingIndex >= 0) PlayRow(m_player.m_playingIndex + 1);
        break;
    case ID_PREV_TRACK:
        if (m_player.m_playingIndex > 0) PlayRow(m_player.m_playingIndex - 1);
        break;
    }
    UpdateCommands();
    return 0;
}

LRESULT CCoHollistra::OnDoubleClick(int, NMHDR* header, BOOL&)
{
    const int row = reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem;
    if (row >= 0) PlayRow(row);
    UpdateCommands();
    return 0;
}

void CCoHollistra::PlayRow(int row)
{
    com::ComPtr<IAudioTrack> track = row >= 0 ? Track(unsigned(row)) : com::ComPtr<IAudioTrack>();
    BSTR path = nullptr;
    if (!track || FAILED(track->GetPath(&path))) return;
    const std::string file = com::AnsiFromBstr(path);
    SysFreeString(path);
    if (!m_player.Start(file)) {
        LogPrintf("The preview of %s did not start", file.c_str());
        return;
    }
    m_player.m_playingIndex = row;
    SetTimer(m_hWnd, PLAYER_TIMER, PLAYER_TICK_MS, nullptr);
    ::SendMessageA(m_positionBar.m_hWnd, TBM_SETRANGEMAX, TRUE, LPARAM(m_player.Length()));
    ::SendMessageA(m_positionBar.m_hWnd, TBM_SETPOS, TRUE, 0);
    ShowPlayingRow(row);
}

void CCoHollistra::ShowPlayingRow(int row)
{
    ListView_SetItemState(m_list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(m_list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetSelectionMark(m_list, row);
    ListView_EnsureVisible(m_list, row, FALSE);
}

void CCoHollistra::StopTimer()
{
    if (IsWindow()) KillTimer(m_hWnd, PLAYER_TIMER);
}

LRESULT CCoHollistra::OnTimer(UINT, WPARAM id, LPARAM, BOOL& handled)
{
    if (id != PLAYER_TIMER) {
        handled = FALSE;
        return 0;
    }
    if (!m_player.Ours()) {
        // Another client took the player.
        StopTimer();
        ::SendMessageA(m_positionBar.m_hWnd, TBM_SETPOS, TRUE, 0);
        m_player.m_playingIndex = -1;
    } else if (!m_player.Active()) {
        // The track ended: the next one, else idle. A next track that does
        // not play leaves the player idle too, not retried at every tick.
        ::SendMessageA(m_positionBar.m_hWnd, TBM_SETPOS, TRUE, 0);
        const int next = m_player.m_playingIndex + 1;
        const int played = m_player.m_playingIndex;
        if (next < ListView_GetItemCount(m_list)) PlayRow(next);
        if (m_player.m_playingIndex == played) {
            m_player.m_playingIndex = -1;
            StopTimer();
        }
    } else if (!m_player.m_seeking) {
        ::SendMessageA(m_positionBar.m_hWnd, TBM_SETPOS, TRUE, LPARAM(m_player.Position()));
    }
    UpdateCommands();
    return 0;
}

LRESULT CCoHollistra::OnSeekStart(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_player.m_seeking = true;
    handled = FALSE;  // the trackbar takes the press itself
    return 0;
}

LRESULT CCoHollistra::OnSeekEnd(int, NMHDR*, BOOL&)
{
    if (m_player.Ours())
        m_player.Seek(unsigned(::SendMessageA(m_positionBar.m_hWnd, TBM_GETPOS, 0, 0)));
    m_player.m_seeking = false;
    return 0;
}

void CCoHollistra::UpdatePlayerCommands()
{
    HWND bar = m_playerBar.m_hWnd;
    if (!bar) return;
    const bool active = m_player.Active();
    const int index = m_player.m_playingIndex, count = ListView_GetItemCount(m_list);
    const struct { unsigned id; bool on; } states[] = {
        {ID_PLAY, ListView_GetSelectionMark(m_list) >= 0 && !Decoding()},
        {ID_PAUSE, active},
        {ID_STOP, active},
        {ID_NEXT_TRACK, active && index < count - 1},
        {ID_PREV_TRACK, active && index > 0}};
    for (const auto& s : states) ::SendMessageA(bar, TB_ENABLEBUTTON, s.id, MAKELPARAM(s.on ? TRUE : FALSE, 0));
}
