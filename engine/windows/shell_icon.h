// CShellIcon: the engine's icon in the notification area, part of the
// devices window (its thread, its message map). The icon is added when the
// window is made, shows the busy icon and tip while the drives are scanned,
// and goes with the window, however the engine ends. A right click opens
// the tray menu: a popup per drive with its information windows, About and
// Unload. The shell calls go through TrayShell() (tray_shell.h).
#pragma once
#include "windows/resource.h"
#include "windows/tray_menu.h"
#include <engine.h>
#include <com/ptr.h>
#include <window/message_map.h>
#include <vector>

// Tray messages of the devices window. WM_TRAY_SCAN_STATE (wParam 1 while a
// scan runs, 0 after it) may be posted from any thread.
enum : UINT { WM_TRAY_NOTIFY = 0x502, WM_TRAY_SCAN_STATE = 0x503 };
extern const UINT TRAY_ICON_ID;  // 1000

// What the menu shows: the device list's state, asked on the window's thread.
class CTrayDrives {
public:
    virtual bool DrivesScanned() = 0;
    virtual std::vector<com::ComPtr<IDevice>> ListedDrives() = 0;

protected:
    ~CTrayDrives() = default;
};

class CShellIcon {
public:
    explicit CShellIcon(CTrayDrives& drives) : m_drives(drives) {}
    ~CShellIcon();
    CShellIcon(const CShellIcon&) = delete;
    CShellIcon& operator=(const CShellIcon&) = delete;

    WND_MSG_MAP_BEGIN(CShellIcon)
        if (uMsg == WM_CREATE) WND_HANDLE_(OnCreate(hWnd, bHandled))
        WND_MESSAGE(WM_DESTROY, OnDestroy)
        WND_MESSAGE(WM_TRAY_NOTIFY, OnTrayNotify)
        WND_MESSAGE(WM_TRAY_SCAN_STATE, OnScanState)
        WND_COMMAND(ID_TRAY_ABOUT, OnAbout)
        WND_COMMAND(ID_TRAY_UNLOAD, OnUnload)
        WND_COMMAND_RANGE(DRIVE_COMMAND_FIRST, DRIVE_COMMAND_LAST, OnDriveCommand)
    WND_MSG_MAP_END()

private:
    LRESULT OnCreate(HWND window, BOOL& handled);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnTrayNotify(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnScanState(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnAbout(WORD, WORD, HWND, BOOL&);
    LRESULT OnUnload(WORD, WORD, HWND, BOOL&);
    LRESULT OnDriveCommand(WORD, WORD id, HWND, BOOL&);

    void LoadIcons();
    void FreeIcons();
    bool Notify(DWORD action, bool busy);
    void ShowMenu();

    CTrayDrives& m_drives;
    HWND m_window = nullptr;  // while the icon is added
    HICON m_icon = nullptr, m_busyIcon = nullptr;
};
