// What the engine's windows show of a drive, read through its getters: the
// letter, the SCSI address and the vendor and product. Texts are built from
// these fields, never cut out of the display name at fixed places.
#pragma once
#include <engine.h>
#include <string>

struct CDriveFields {
    unsigned letter = 255;  // ANSI code; 255: the drive has none
    unsigned id = 0;        // port | bus << 8 | target << 16 | LUN << 24
    std::string name;       // vendor and product

    bool HasLetter() const { return letter >= 'A' && letter <= 'Z'; }
    std::string Letter() const;   // "E:", empty without a letter
    std::string Address() const;  // "1:0:0:0"
};

// False when a getter fails; the fields read so far are kept.
bool ReadDriveFields(IDevice* device, CDriveFields* fields);
