#include "windows/tray_shell.h"

namespace {

class CSystemTrayShell : public CTrayShell {
public:
    BOOL NotifyIcon(DWORD action, NOTIFYICONDATAA* data) override { return Shell_NotifyIconA(action, data); }
    void TrackMenu(HMENU popup, UINT flags, POINT at, HWND owner) override
    {
        TrackPopupMenu(popup, flags, at.x, at.y, 0, owner, nullptr);
    }
    int Ask(HWND owner, const char* text, const char* caption, UINT type) override
    {
        return MessageBoxA(owner, text, caption, type);
    }
};

CSystemTrayShell g_systemShell;
CTrayShell* volatile g_shell = &g_systemShell;

}  // namespace

CTrayShell& TrayShell() { return *g_shell; }

CTrayShell* SetTrayShell(CTrayShell* shell)
{
    CTrayShell* previous = g_shell;
    g_shell = shell ? shell : &g_systemShell;
    return previous;
}
