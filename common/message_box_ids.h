// The message box of IMessenger: its type and result bits, and the
// identifiers of its dialog resource (shared by messenger.rc and the code).
#pragma once

// Buttons (type and result bits).
#define MBX_YES             0x0001
#define MBX_YESTOALL        0x0002
#define MBX_NO              0x0004
#define MBX_NOTOALL         0x0008
#define MBX_SKIP            0x0010
#define MBX_SKIPALL         0x0020
#define MBX_RETRY           0x0040
#define MBX_IGNORE          0x0080
#define MBX_IGNOREALL       0x0100
#define MBX_OK              0x0200
#define MBX_CANCEL          0x0400
// The check box (type bit; in the result when it was checked).
#define MBX_CHECKBOX        0x0800
// Icons (type bits).
#define MBX_ICONERROR       0x1000
#define MBX_ICONWARNING     0x2000
#define MBX_ICONINFORMATION 0x4000
#define MBX_ICONQUESTION    0x8000

#define IDD_MESSAGEBOX      201

// Buttons in the order they are laid out.
#define IDC_MBX_YES         201
#define IDC_MBX_YESTOALL    202
#define IDC_MBX_NO          203
#define IDC_MBX_NOTOALL     204
#define IDC_MBX_SKIP        205
#define IDC_MBX_SKIPALL     206
#define IDC_MBX_RETRY       207
#define IDC_MBX_IGNORE      208
#define IDC_MBX_IGNOREALL   210
#define IDC_MBX_OK          211
#define IDC_MBX_CANCEL      209
#define IDC_MBX_CHECK       212
#define IDC_MBX_MESSAGE     213
#define IDC_MBX_QUESTION    214
#define IDC_MBX_INFORMATION 215
#define IDC_MBX_WARNING     217
#define IDC_MBX_ERROR       218

#define IDI_MBX_QUESTION    201
#define IDI_MBX_INFORMATION 202
#define IDI_MBX_WARNING     203
#define IDI_MBX_ERROR       204
