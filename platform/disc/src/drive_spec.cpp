#include "drive_spec.h"

#include "key_value_text.h"
#include "medium.h"

#include <cstdio>

namespace disc {

namespace {

enum : uint32_t {
    kCapCdR = 0x1, kCapCdRw = 0x2, kCapDvdRom = 0x4, kCapTest = 0x4, kCapDvdR = 0x8,
    kCapDvdPlusR = 0x20, kCapDvdPlusRw = 0x40, kCapDvdPlusRDl = 0x80, kCapDvdRam = 0x100
};

std::string formatAddress(const DiscDeviceAddress& a) {
    char text[32];
    std::snprintf(text, sizeof text, "%u:%u:%u:%u", a.port, a.bus, a.target, a.lun);
    return text;
}

bool parseAddress(const std::string& text, DiscDeviceAddress& a) {
    unsigned p, b, t, l;
    if (std::sscanf(text.c_str(), "%u:%u:%u:%u", &p, &b, &t, &l) != 4) return false;
    if (p > 255 || b > 255 || t > 255 || l > 255) return false;
    a = DiscDeviceAddress {static_cast<uint8_t>(p), static_cast<uint8_t>(b), static_cast<uint8_t>(t),
                           static_cast<uint8_t>(l)};
    return true;
}

std::vector<uint32_t> cdSpeeds(uint32_t maxFactor) {
    std::vector<uint32_t> out;
    for (uint32_t f : {4u, 8u, 16u, 24u, 32u, 40u, 48u})
        if (f <= maxFactor) out.push_back((f * 1764 + 5) / 10);  // 1x = 176.4 KB/s
    return out;
}

}  // namespace

uint32_t DriveSpec::id() const {
    return address.port | address.bus << 8 | address.target << 16 | static_cast<uint32_t>(address.lun) << 24;
}

bool DriveSpec::canWriteType(uint32_t t) const {
    switch (t) {
    case DISC_MT_CD_R: return writeCaps & kCapCdR;
    case DISC_MT_CD_RW: return writeCaps & kCapCdRw;
    case DISC_MT_DVD_R: case DISC_MT_DVD_RW_RO: case DISC_MT_DVD_RW_SEQ: return writeCaps & kCapDvdR;
    case DISC_MT_DVD_PLUS_R: return writeCaps & kCapDvdPlusR;
    case DISC_MT_DVD_PLUS_RW: return writeCaps & kCapDvdPlusRw;
    case DISC_MT_DVD_PLUS_R_DL: return writeCaps & kCapDvdPlusRDl;
    case DISC_MT_DVD_RAM: return writeCaps & kCapDvdRam;
    default: return isWritableType(t);
    }
}

std::string DriveSpec::serialize() const {
    KeyValueText kv;
    kv.add("address", formatAddress(address));
    kv.add("letter", std::string(1, letter));
    kv.add("vendor", vendor);
    kv.add("product", product);
    kv.add("revision", revision);
    kv.add("buffer_kb", bufferKB);
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%X", readCaps);
    kv.add("read_caps", std::string(hex));
    std::snprintf(hex, sizeof hex, "0x%X", writeCaps);
    kv.add("write_caps", std::string(hex));
    std::snprintf(hex, sizeof hex, "0x%X", readModes);
    kv.add("read_modes", std::string(hex));
    std::snprintf(hex, sizeof hex, "0x%X", writeModes);
    kv.add("write_modes", std::string(hex));
    kv.add("cd_read_speeds", formatNumberList(cdReadSpeeds));
    kv.add("cd_write_speeds", formatNumberList(cdWriteSpeeds));
    kv.add("dvd_read_speeds", formatNumberList(dvdReadSpeeds));
    kv.add("dvd_write_speeds", formatNumberList(dvdWriteSpeeds));
    kv.add("buffer_underrun_protection", bufferUnderrunProtection ? 1 : 0);
    kv.add("emulate_speed", emulateSpeed ? 1 : 0);
    kv.add("blank_modes", blankModes);
    kv.add("tray_open", trayOpen ? 1 : 0);
    kv.add("medium_stamp", mediumStamp);
    return kv.text();
}

bool DriveSpec::parse(const std::string& text, DriveSpec& out) {
    KeyValueText kv = KeyValueText::parse(text);
    DriveSpec d;
    if (!parseAddress(kv.get("address"), d.address)) return false;
    std::string letter = kv.get("letter", "E");
    d.letter = letter.empty() ? 'E' : letter[0];
    d.vendor = kv.get("vendor", d.vendor);
    d.product = kv.get("product", d.product);
    d.revision = kv.get("revision", d.revision);
    d.bufferKB = static_cast<uint32_t>(kv.number("buffer_kb", d.bufferKB));
    d.readCaps = static_cast<uint32_t>(kv.number("read_caps"));
    d.writeCaps = static_cast<uint32_t>(kv.number("write_caps"));
    d.readModes = static_cast<uint32_t>(kv.number("read_modes", d.readModes));
    d.writeModes = static_cast<uint32_t>(kv.number("write_modes", d.writeModes));
    d.cdReadSpeeds = parseNumberList(kv.get("cd_read_speeds"));
    d.cdWriteSpeeds = parseNumberList(kv.get("cd_write_speeds"));
    d.dvdReadSpeeds = parseNumberList(kv.get("dvd_read_speeds"));
    d.dvdWriteSpeeds = parseNumberList(kv.get("dvd_write_speeds"));
    d.bufferUnderrunProtection = kv.number("buffer_underrun_protection", 1) != 0;
    d.emulateSpeed = kv.number("emulate_speed") != 0;
    d.blankModes = static_cast<uint32_t>(kv.number("blank_modes", 3));
    d.trayOpen = kv.number("tray_open") != 0;
    d.mediumStamp = static_cast<uint32_t>(kv.number("medium_stamp"));
    out = std::move(d);
    return true;
}

DriveSpec DriveSpec::dvdWriter() {
    DriveSpec d;
    d.address = {1, 0, 0, 0};
    d.letter = 'E';
    d.product = "DVD-RW VDW-16";
    d.revision = "1.20";
    d.readCaps = kCapCdR | kCapCdRw | kCapDvdRom | kCapDvdR | kCapDvdPlusR | kCapDvdPlusRw | kCapDvdPlusRDl | kCapDvdRam;
    d.writeCaps = kCapCdR | kCapCdRw | kCapTest | kCapDvdR | kCapDvdPlusR | kCapDvdPlusRw | kCapDvdPlusRDl;
    d.cdReadSpeeds = cdSpeeds(48);
    d.cdWriteSpeeds = cdSpeeds(48);
    d.dvdReadSpeeds = {5540, 11080, 22160};
    d.dvdWriteSpeeds = {3324, 5540, 11080, 22160};
    return d;
}

DriveSpec DriveSpec::cdWriter() {
    DriveSpec d;
    d.address = {1, 0, 1, 0};
    d.letter = 'F';
    d.product = "CD-RW VCW-52";
    d.revision = "1.05";
    d.readCaps = kCapCdR | kCapCdRw;
    d.writeCaps = kCapCdR | kCapCdRw | kCapTest;
    d.writeModes = 0x1F;
    d.cdReadSpeeds = cdSpeeds(48);
    d.cdWriteSpeeds = cdSpeeds(40);
    return d;
}

}  // namespace disc
