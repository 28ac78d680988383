// Window messages between the main frame and the project windows. The
// values are fixed: both sides must agree.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <stddef.h>

// WM_NOTIFY code, project window to the frame (sent to the parent of its
// MDI client): wParam the control id, lParam an NMSIZEBARUPDATE. Result 0.
#define SIZEBARN_UPDATE 1000
// Frame to each MDI child: wParam points to an IUnknown* that a project
// window fills with its project (one reference added), answering nonzero;
// other windows answer 0.
#define WM_QUERYPROJECTUNKNOWN 0x1F14
// Project window to the frame: the recent-file list changed. Result 0.
#define WM_RECENTFILESCHANGED 0x1F15
// Frame to each MDI child that is not a project: reload the recent files.
#define WM_RELOADRECENTFILES 0xB65
// Frame to the active MDI child: lParam points to a MSG {0, WM_COMMAND,
// command id, 0} the frame did not handle itself.
#ifndef WM_FORWARDMSG
#define WM_FORWARDMSG 0x37F
#endif
// Anyone to the frame: the frame sends the same message, wParam and lParam
// to every MDI child. Result 0.
#define WM_RELAYTOCHILDREN 0x623
// The frame to itself (posted): wParam the path text of a project file.
#define WM_OPENPROJECTFILE 0x464

enum SIZEBAR_KIND : WORD { SIZEBAR_DATA = 1, SIZEBAR_AUDIO = 2 };

// 32 bytes, zero-filled by the sender: the header names the project's MDI
// child, its window id and SIZEBARN_UPDATE.
struct NMSIZEBARUPDATE {
    NMHDR hdr;
    WORD kind;
    float seconds;
    ULONGLONG bytes;
};
#ifndef _WIN64
static_assert(sizeof(NMSIZEBARUPDATE) == 32, "NMSIZEBARUPDATE is 32 bytes");
static_assert(offsetof(NMSIZEBARUPDATE, seconds) == 16 && offsetof(NMSIZEBARUPDATE, bytes) == 24,
              "NMSIZEBARUPDATE field offsets are fixed");
#endif
