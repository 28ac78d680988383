// The tray icon's popup menu and its drive commands. Each drive with a
// letter has a popup at the top with two commands, 1536 + 10 x letter (its
// device information) and that + 1 (its disk information); only that range
// is a drive's, so Unload and About are never taken for one.
#pragma once
#include "windows/drive_fields.h"
#include <windows.h>
#include <vector>

enum DRIVE_COMMAND_KIND { DRIVE_DEVICE_INFORMATION = 0, DRIVE_MEDIUM_INFORMATION = 1 };

constexpr UINT DriveCommand(unsigned letter, unsigned kind) { return 1536 + 10 * letter + kind; }
constexpr UINT DRIVE_COMMAND_FIRST = DriveCommand('A', 0);
constexpr UINT DRIVE_COMMAND_LAST = DriveCommand('Z', 9);

// The letter and kind of a command of that range.
inline unsigned DriveCommandLetter(UINT command) { return (command - 1536) / 10; }
inline unsigned DriveCommandKind(UINT command) { return (command - 1536) % 10; }

// Menu 203's popup in the user's language, owned by the caller (DestroyMenu).
// Before the first scan has ended its top entry is the greyed "Scanning
// devices..."; afterwards each drive with a letter is inserted at the top in
// list order, so the last listed drive comes first. Drives without a letter
// have no entry: no command could name them. Null when the menu cannot be made.
HMENU BuildTrayMenu(bool scanned, const std::vector<CDriveFields>& drives);

// "E:  VENDORPRODUCT"
std::string DriveCaption(const CDriveFields& drive);
