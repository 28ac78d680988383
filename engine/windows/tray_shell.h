// The calls of the tray icon into the shell and to the user, behind one seam
// that a test replaces to record them: the notification icon, the tracked
// popup menu and the Unload question.
#pragma once
#include <windows.h>
#include <shellapi.h>

class CTrayShell {
public:
    virtual BOOL NotifyIcon(DWORD action, NOTIFYICONDATAA* data) = 0;
    // Tracks the popup at `at` for `owner`, which gets the chosen command as
    // WM_COMMAND afterwards.
    virtual void TrackMenu(HMENU popup, UINT flags, POINT at, HWND owner) = 0;
    // A message box's answer (IDYES, IDNO, ...).
    virtual int Ask(HWND owner, const char* text, const char* caption, UINT type) = 0;

protected:
    ~CTrayShell() = default;
};

// The shell in use: the system's unless a test put another in.
CTrayShell& TrayShell();
// Puts `shell` in (null: the system's again); returns the one it replaces.
CTrayShell* SetTrayShell(CTrayShell* shell);
