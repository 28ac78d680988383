#include "windows/shell_icon.h"
#include "windows/about_dialog.h"
#include "windows/engine_text.h"
#include "windows/information_dialogs.h"
#include "windows/tray_shell.h"
#include <com/local_server.h>
#include <com/module.h>
#include <algorithm>
#include <cstring>

const UINT TRAY_ICON_ID = 1000;

namespace {

// The tip holds 63 characters and its end.
void SetTip(NOTIFYICONDATAA& data, const std::string& tip)
{
    const size_t n = std::min(tip.size(), sizeof(data.szTip) - 1);
    std::memcpy(data.szTip, tip.data(), n);
    data.szTip[n] = '\0';
}

HICON LoadSmallIcon(int id)
{
    return static_cast<HICON>(LoadImageA(com::ModuleInstance(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
}

// While the user looks at the menu or a window of the engine, the engine
// does not end for want of clients.
class CUserHold {
public:
    CUserHold() { com::ServerLock(); }
    ~CUserHold() { com::ServerUnlock(); }
    CUserHold(const CUserHold&) = delete;
    CUserHold& operator=(const CUserHold&) = delete;
};

}  // namespace

CShellIcon::~CShellIcon() { FreeIcons(); }

void CShellIcon::LoadIcons()
{
    FreeIcons();
    m_icon = LoadSmallIcon(IDI_ENGINE);
    m_busyIcon = LoadSmallIcon(IDI_ENGINE_BUSY);
}

void CShellIcon::FreeIcons()
{
    if (m_icon) DestroyIcon(m_icon);
    if (m_busyIcon) DestroyIcon(m_busyIcon);
    m_icon = m_busyIcon = nullptr;
}

bool CShellIcon::Notify(DWORD action, bool busy)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = m_window;
    data.uID = TRAY_ICON_ID;
    data.uFlags = NIF_MESSAGE | NIF_TIP;
    data.uCallbackMessage = WM_TRAY_NOTIFY;
    if (HICON icon = busy ? m_busyIcon : m_icon) {
        data.uFlags |= NIF_ICON;
        data.hIcon = icon;
    }
    const std::string tip = EngineText(IDS_TIP);
    SetTip(data, busy ? tip + "\n" + EngineText(IDS_SCANNING) : tip);
    return TrayShell().NotifyIcon(action, &data) != FALSE;
}

LRESULT CShellIcon::OnCreate(HWND window, BOOL& handled)
{
    handled = FALSE;  // the window's own handlers see it too
    m_window = window;
    LoadIcons();
    Notify(NIM_ADD, false);
    return 0;
}

LRESULT CShellIcon::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    if (!m_window) return 0;
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = m_window;
    data.uID = TRAY_ICON_ID;
    TrayShell().NotifyIcon(NIM_DELETE, &data);
    m_window = nullptr;
    return 0;
}

LRESULT CShellIcon::OnScanState(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (m_window) Notify(NIM_MODIFY, wParam != 0);
    return 0;
}

LRESULT CShellIcon::OnTrayNotify(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    if (static_cast<UINT>(lParam) == WM_RBUTTONUP) ShowMenu();
    return 0;
}

void CShellIcon::ShowMenu()
{
    CUserHold hold;
    std::vector<CDriveFields> drives;
    const bool scanned = m_drives.DrivesScanned();
    if (scanned) {
        for (const com::ComPtr<IDevice>& device : m_drives.ListedDrives()) {
            CDriveFields fields;
            if (ReadDriveFields(device.Get(), &fields)) drives.push_back(fields);
        }
    }
    HMENU popup = BuildTrayMenu(scanned, drives);
    if (!popup) return;
    POINT at = {};
    GetCursorPos(&at);
    SetForegroundWindow(m_window);
    TrayShell().TrackMenu(popup, TPM_BOTTOMALIGN | TPM_RIGHTBUTTON, at, m_window);
    // Without a message after the menu the next click beside it would not
    // close a tray menu.
    PostMessageA(m_window, WM_NULL, 0, 0);
    DestroyMenu(popup);
}

LRESULT CShellIcon::OnAbout(WORD, WORD, HWND, BOOL&)
{
    CUserHold hold;
    CAboutDlg().DoModal(m_window);
    return 0;
}

LRESULT CShellIcon::OnUnload(WORD, WORD, HWND, BOOL&)
{
    CUserHold hold;
    const int answer = TrayShell().Ask(m_window, EngineText(IDS_UNLOAD_QUESTION).c_str(),
                                       EngineText(IDS_WARNING).c_str(), MB_YESNO | MB_ICONWARNING);
    // The way the application closes the engine: its devices go, the
    // message loop ends and the clients' proxies are disconnected.
    if (answer == IDYES) PostMessageA(m_window, WM_CLOSE, 0, 0);
    return 0;
}

LRESULT CShellIcon::OnDriveCommand(WORD, WORD id, HWND, BOOL&)
{
    const unsigned letter = DriveCommandLetter(id);
    const unsigned kind = DriveCommandKind(id);
    if (kind != DRIVE_DEVICE_INFORMATION && kind != DRIVE_MEDIUM_INFORMATION) return 0;
    for (const com::ComPtr<IDevice>& device : m_drives.ListedDrives()) {
        unsigned own = 255;
        if (FAILED(device->GetDeviceLetter(&own)) || own != letter) continue;
        CUserHold hold;
        ShowDriveInformation(device.Get(), kind, GetActiveWindow());
        break;
    }
    return 0;
}
