// The identifiers of the dialog resource of IMessenger's message box
// (shared by messenger.rc and the code). Its type and result bits are part
// of the interface: <message_box.h>.
#pragma once

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
