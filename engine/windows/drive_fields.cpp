#include "windows/drive_fields.h"
#include <com/bstr.h>

std::string CDriveFields::Letter() const
{
    if (letter == 255 || letter == 0) return std::string();
    return std::string(1, static_cast<char>(letter)) + ":";
}

std::string CDriveFields::Address() const
{
    return std::to_string(id & 0xFF) + ":" + std::to_string((id >> 8) & 0xFF) + ":" +
           std::to_string((id >> 16) & 0xFF) + ":" + std::to_string(id >> 24);
}

bool ReadDriveFields(IDevice* device, CDriveFields* fields)
{
    if (FAILED(device->GetDeviceLetter(&fields->letter))) return false;
    if (FAILED(device->GetDeviceID(&fields->id))) return false;
    com::Bstr display;
    if (FAILED(device->GetDeviceName(&display))) return false;
    // The display name is "<letter>:<address>  <vendor><product>": the name
    // is what follows the two blanks, whatever the address's length.
    const std::string text = display.Ansi();
    const size_t gap = text.find("  ");
    fields->name = gap == std::string::npos ? text : text.substr(gap + 2);
    return true;
}
