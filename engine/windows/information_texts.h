// The texts of the device and medium information windows, built from the
// device's getters: lines of "label\tvalue" (a value line of its own starts
// with a tab), labels from the engine's string table.
#pragma once
#include <engine.h>
#include <string>

// The drive: its name, letter and address, what it reads and writes, its
// speeds for the medium in it and its write modes.
std::string DeviceInformationText(IDevice* device);
// The medium: the drive's name and letter, then "Device is busy" while a job
// runs (the disc is not asked then), else its type and, unless the drive is
// empty, its free, used and total space in bytes.
std::string MediumInformationText(IDevice* device);
// The name of a MEDIUM_TYPE code; "Unknown" past the table.
std::string MediumTypeName(unsigned type);
