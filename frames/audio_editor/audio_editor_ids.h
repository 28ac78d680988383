// Resource and control numbers of the audio editor (Hollistra.rc). The
// numbers are part of the language file's contract.
#pragma once

// Icons: the task pane's, the commands' and the track rows'.
#define IDI_AUDIO_PANE 8193
#define IDI_RENAME_TRACK 8194
#define IDI_DELETE_TRACKS 8195
#define IDI_ADD_TRACKS 8196
#define IDI_TRACK 8198
#define IDI_MOVE_UP 8201
#define IDI_MOVE_DOWN 8202
#define IDI_STOP 8203
#define IDI_PAUSE 8204
#define IDI_PLAY 8205
#define IDI_PREVIOUS 8206
#define IDI_NEXT 8207
#define IDI_ADD_FOLDER 8208

// The context menu of the track list; its first popup is shown.
#define IDM_AUDIO_CONTEXT 8197

// The decode progress window.
#define IDD_DECODE_PROGRESS 8199
#define IDC_DECODE_TOTAL_BAR 8193
#define IDC_DECODE_TRACK_BAR 8194
#define IDC_DECODE_TOTAL_TEXT 8195
#define IDC_DECODE_TRACK_TEXT 8196
#define IDC_DECODE_STOP 8197
