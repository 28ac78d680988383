#include "windows/tray_menu.h"
#include "windows/engine_text.h"
#include "windows/resource.h"
#include <shared/menu_translation.h>
#include <com/module.h>

namespace {

const CMenuTranslationRow kTrayRows[] = {
    {nullptr, ID_TRAY_UNLOAD, IDS_UNLOAD_ITEM},
    {nullptr, ID_TRAY_ABOUT, IDS_ABOUT_ITEM},
    {nullptr, 0, 0},
};

// The resource's popup taken out of its menu bar, which goes.
HMENU LoadTrayPopup()
{
    HMENU bar = LoadMenuA(com::ModuleInstance(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    if (!bar) return nullptr;
    HMENU popup = GetSubMenu(bar, 0);
    if (popup) RemoveMenu(bar, 0, MF_BYPOSITION);
    DestroyMenu(bar);
    return popup;
}

bool InsertDrive(HMENU popup, const CDriveFields& drive)
{
    HMENU commands = CreatePopupMenu();
    if (!commands) return false;
    AppendMenuA(commands, MF_STRING, DriveCommand(drive.letter, DRIVE_DEVICE_INFORMATION),
                EngineText(IDS_DEVICE_INFO_ITEM).c_str());
    AppendMenuA(commands, MF_STRING, DriveCommand(drive.letter, DRIVE_MEDIUM_INFORMATION),
                EngineText(IDS_DISK_INFO_ITEM).c_str());
    if (InsertMenuA(popup, 0, MF_BYPOSITION | MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(commands),
                    DriveCaption(drive).c_str()))
        return true;
    DestroyMenu(commands);
    return false;
}

}  // namespace

std::string DriveCaption(const CDriveFields& drive) { return drive.Letter() + "  " + drive.name; }

HMENU BuildTrayMenu(bool scanned, const std::vector<CDriveFields>& drives)
{
    HMENU popup = LoadTrayPopup();
    if (!popup) return nullptr;
    TranslateMenu(popup, kTrayRows);
    if (!scanned) {
        const std::string scanning = EngineText(IDS_SCANNING) + "...";
        InsertMenuA(popup, 0, MF_BYPOSITION | MF_STRING | MF_GRAYED, 0, scanning.c_str());
        return popup;
    }
    for (const CDriveFields& drive : drives)
        if (drive.HasLetter()) InsertDrive(popup, drive);
    return popup;
}
