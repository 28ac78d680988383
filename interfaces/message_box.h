// The type and result bits of IMessenger::MessageBox. The type names the
// buttons, the check box and the icon to show; the result holds the bit of
// the button that ended the box (MBX_CANCEL for Escape and the close box)
// and MBX_CHECKBOX when the check box was checked.
#pragma once

// Buttons (type and result bits), in the order they are laid out.
constexpr unsigned long MBX_YES = 0x0001;
constexpr unsigned long MBX_YESTOALL = 0x0002;
constexpr unsigned long MBX_NO = 0x0004;
constexpr unsigned long MBX_NOTOALL = 0x0008;
constexpr unsigned long MBX_SKIP = 0x0010;
constexpr unsigned long MBX_SKIPALL = 0x0020;
constexpr unsigned long MBX_RETRY = 0x0040;
constexpr unsigned long MBX_IGNORE = 0x0080;
constexpr unsigned long MBX_IGNOREALL = 0x0100;
constexpr unsigned long MBX_OK = 0x0200;
constexpr unsigned long MBX_CANCEL = 0x0400;
// The check box (type bit; in the result when it was checked).
constexpr unsigned long MBX_CHECKBOX = 0x0800;
// Icons (type bits; at most one is meant).
constexpr unsigned long MBX_ICONERROR = 0x1000;
constexpr unsigned long MBX_ICONWARNING = 0x2000;
constexpr unsigned long MBX_ICONINFORMATION = 0x4000;
constexpr unsigned long MBX_ICONQUESTION = 0x8000;
