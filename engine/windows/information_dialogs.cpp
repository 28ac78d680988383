#include "windows/information_dialogs.h"
#include "windows/engine_text.h"
#include "windows/information_texts.h"
#include "windows/tray_menu.h"

std::string CDeviceInformationDialog::Caption() { return EngineText(IDS_DEVICE_INFO_CAPTION); }
std::string CDeviceInformationDialog::Text(IDevice* device) { return DeviceInformationText(device); }
std::string CMediumInformationDialog::Caption() { return EngineText(IDS_MEDIUM_INFO_CAPTION); }
std::string CMediumInformationDialog::Text(IDevice* device) { return MediumInformationText(device); }

void ShowDriveInformation(IDevice* device, unsigned kind, HWND owner)
{
    if (kind == DRIVE_DEVICE_INFORMATION) CDeviceInformationDialog(device).DoModal(owner);
    else if (kind == DRIVE_MEDIUM_INFORMATION) CMediumInformationDialog(device).DoModal(owner);
}
