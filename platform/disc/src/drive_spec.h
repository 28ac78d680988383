// The description of one virtual drive, as its ".drive" file holds it.
#pragma once

#include "disc/disc_layer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace disc {

struct DriveSpec {
    DiscDeviceAddress address {1, 0, 0, 0};
    char letter = 'E';
    std::string vendor = "TAVELL", product = "VIRTUAL DRIVE", revision = "1.00";
    uint32_t bufferKB = 2048;
    uint32_t readCaps = 0, writeCaps = 0;  // CAP_MASK bits; write bit 0x4 is test write
    uint32_t readModes = 0x3F;             // cooked, PQ, raw, raw PQ, raw PW, raw raw PW
    uint32_t writeModes = 0x0F;            // TAO, SAO, DAO PQ, DAO raw PW
    std::vector<uint32_t> cdReadSpeeds, cdWriteSpeeds, dvdReadSpeeds, dvdWriteSpeeds;  // KB/s
    bool bufferUnderrunProtection = true;
    bool emulateSpeed = false;  // sleep as long as a real write at the set speed takes
    uint32_t blankModes = 3;    // the erases the drive offers: 1 quick, 2 full
    bool trayOpen = false;
    uint32_t mediumStamp = 0;   // rises with every insert, removal and tray move

    uint32_t id() const;  // port | bus << 8 | target << 16 | LUN << 24
    bool canWriteType(uint32_t mediumType) const;
    bool testWrite() const { return (writeCaps & 0x4) != 0; }

    std::string serialize() const;
    static bool parse(const std::string& text, DriveSpec& out);

    static DriveSpec dvdWriter();  // the default DVD writer
    static DriveSpec cdWriter();   // the default CD writer
};

}  // namespace disc
