#include "drive_folder.h"

#include "cd_sector.h"
#include "cue_sheet.h"
#include "image_source.h"
#include "medium_reader.h"
#include "key_value_text.h"
#include "os_seam.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <vector>

namespace disc {

namespace {

const char kDriveExt[] = ".drive";
const char kMediumExt[] = ".medium";
const char kImageExt[] = ".img";
const char kRawExt[] = ".raw";
const char kFaultExt[] = ".fault";

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

DriveFolder::DriveFolder(std::string dataFolder) : folder_(os::joinPath(dataFolder, "VirtualDrives")) {}

std::string DriveFolder::path(const std::string& name, const char* extension) const {
    return os::joinPath(folder_, name + extension);
}

Error DriveFolder::writeText(const std::string& file, const std::string& text) const {
    std::string temp = file + ".tmp";
    {
        os::File f;
        uint32_t err = f.openWrite(temp, true);
        if (!err) err = f.resize(0);
        if (!err) err = f.writeAt(0, text.data(), text.size());
        if (err) return fail(DISC_E_MEDIUM_IO, "cannot write " + temp, err);
    }
    if (!os::replaceFile(temp, file)) return fail(DISC_E_MEDIUM_IO, "cannot replace " + file);
    return {};
}

bool DriveFolder::readText(const std::string& file, std::string& out) const {
    os::File f;
    if (f.openRead(file)) return false;
    os::FileInfo info;
    if (f.info(info) || info.size > (1u << 20)) return false;
    out.assign(static_cast<size_t>(info.size), '\0');
    size_t got = 0;
    if (f.readAt(0, &out[0], out.size(), got)) return false;
    out.resize(got);
    return true;
}

Error DriveFolder::prepare() {
    if (!os::makeDirectories(folder_)) return fail(DISC_E_MEDIUM_IO, "cannot create " + folder_);
    if (!driveNames().empty()) return {};
    struct Default { const char* name; DriveSpec spec; uint32_t type; };
    for (const Default& d : {Default {"drive0", DriveSpec::dvdWriter(), DISC_MT_DVD_RW_SEQ},
                             Default {"drive1", DriveSpec::cdWriter(), DISC_MT_CD_R}}) {
        if (Error e = saveDrive(d.name, d.spec)) return e;
        if (Error e = saveMedium(d.name, Medium::blank(d.type, 0, newSerial()))) return e;
    }
    bumpStamp();
    return {};
}

std::vector<std::string> DriveFolder::driveNames() const {
    std::vector<std::string> names;
    for (const std::string& file : os::listFiles(folder_))
        if (endsWith(file, kDriveExt)) names.push_back(file.substr(0, file.size() - (sizeof kDriveExt - 1)));
    std::sort(names.begin(), names.end());
    return names;
}

Error DriveFolder::loadDrive(const std::string& name, DriveSpec& out) const {
    std::string text;
    if (!readText(path(name, kDriveExt), text) || !DriveSpec::parse(text, out))
        return fail(DISC_E_NO_DRIVE, "unreadable drive description " + name);
    return {};
}

Error DriveFolder::saveDrive(const std::string& name, const DriveSpec& spec) const {
    return writeText(path(name, kDriveExt), spec.serialize());
}

bool DriveFolder::loadMedium(const std::string& name, Medium& out) const {
    std::string text;
    return readText(path(name, kMediumExt), text) && Medium::parse(text, out);
}

Error DriveFolder::saveMedium(const std::string& name, const Medium& medium) const {
    return writeText(path(name, kMediumExt), medium.serialize());
}

std::string DriveFolder::imagePath(const std::string& name, const Medium& medium) const {
    return medium.image.empty() ? path(name, kImageExt) : medium.image;
}

std::string DriveFolder::rawPath(const std::string& name) const { return path(name, kRawExt); }

uint32_t DriveFolder::readStamp() const {
    std::string text;
    if (!readText(os::joinPath(folder_, "changes.stamp"), text)) return 0;
    return static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
}

void DriveFolder::bumpStamp() const {
    writeText(os::joinPath(folder_, "changes.stamp"), std::to_string(readStamp() + 1) + "\n");
}

uint64_t DriveFolder::newSerial() {
    static std::atomic<uint64_t> counter {0};
    uint64_t x = static_cast<uint64_t>(os::nowSeconds()) * 0x9E3779B97F4A7C15ull;
    x ^= os::monotonicMs() << 20;
    x ^= ++counter * 0xBF58476D1CE4E5B9ull;
    x ^= reinterpret_cast<uintptr_t>(&counter);
    x ^= x >> 31;
    return x ? x : 1;
}

Error DriveFolder::replaceMedium(const std::string& name, const Medium* medium) const {
    DriveSpec spec;
    if (Error e = loadDrive(name, spec)) return e;
    // The old medium's data goes with it: left under a new medium, its bytes
    // would show wherever a later write leaves a hole.
    if (!os::removeFile(path(name, kImageExt)) || !os::removeFile(path(name, kRawExt)))
        return fail(DISC_E_BUSY, "the medium of " + name + " is in use");
    if (medium) {
        if (Error e = saveMedium(name, *medium)) return e;
    } else if (!os::removeFile(path(name, kMediumExt))) {
        return fail(DISC_E_MEDIUM_IO, "cannot remove the medium of " + name);
    }
    spec.trayOpen = false;
    ++spec.mediumStamp;
    if (Error e = saveDrive(name, spec)) return e;
    bumpStamp();
    return {};
}

Error DriveFolder::insertBlank(const std::string& name, uint32_t type, uint32_t capacity) const {
    if (!isKnownType(type)) return fail(DISC_E_INVALID_ARGUMENT, "unknown medium type");
    if (!isWritableType(type)) return fail(DISC_E_INVALID_ARGUMENT, "a blank medium must be writable");
    Medium m = Medium::blank(type, capacity, newSerial());
    return replaceMedium(name, &m);
}

Error DriveFolder::insertPressed(const std::string& name, const std::string& isoPath) const {
    os::FileInfo info;
    if (uint32_t err = os::statPath(isoPath, info)) return fail(DISC_E_FILE, "cannot open " + isoPath, err);
    uint64_t blocks = (info.size + 2047) / 2048;
    if (blocks == 0 || blocks > 0xFFFFFFFFu) return fail(DISC_E_BAD_FORMAT, "not a disc image: " + isoPath);
    uint32_t type = blocks <= defaultCapacity(DISC_MT_CD_R) ? DISC_MT_CD_ROM : DISC_MT_DVD_ROM;
    Medium m = Medium::blank(type, static_cast<uint32_t>(blocks), newSerial());
    m.image = isoPath;
    m.tracks.push_back(Track {1, 1, 0, static_cast<uint32_t>(blocks)});
    m.finalized = true;
    return replaceMedium(name, &m);
}

Error DriveFolder::removeMedium(const std::string& name) const { return replaceMedium(name, nullptr); }

Error DriveFolder::setTray(const std::string& name, bool open) const {
    DriveSpec spec;
    if (Error e = loadDrive(name, spec)) return e;
    if (spec.trayOpen == open) return {};
    spec.trayOpen = open;
    ++spec.mediumStamp;
    if (Error e = saveDrive(name, spec)) return e;
    bumpStamp();
    return {};
}

Error DriveFolder::setFault(const std::string& name, const DiscFault& fault) const {
    DriveSpec spec;
    if (Error e = loadDrive(name, spec)) return e;
    KeyValueText kv;
    kv.add("operation", fault.operation);
    kv.add("code", fault.code);
    kv.add("after_blocks", fault.afterBlocks);
    kv.add("underrun_at_block", fault.underrunAtBlock);
    if (Error e = writeText(path(name, kFaultExt), kv.text())) return e;
    bumpStamp();
    return {};
}

bool DriveFolder::takeFault(const std::string& name, DiscFault& out) const {
    std::string text;
    const std::string file = path(name, kFaultExt);
    if (!readText(file, text)) return false;
    // Taken once: a fault that cannot be removed is not armed again and again.
    if (!os::removeFile(file)) return false;
    KeyValueText kv = KeyValueText::parse(text);
    out.operation = static_cast<uint32_t>(kv.number("operation"));
    out.code = static_cast<uint32_t>(kv.number("code"));
    out.afterBlocks = static_cast<uint32_t>(kv.number("after_blocks"));
    out.underrunAtBlock = static_cast<uint32_t>(kv.number("underrun_at_block"));
    return out.operation != 0;
}

Error DriveFolder::exportImage(const std::string& name, const std::string& isoPath) const {
    Medium m;
    if (!loadMedium(name, m)) return fail(DISC_E_NOT_READY, "no medium in " + name);
    MediumReader reader;
    if (Error e = reader.open(*this, name, m)) return e;
    os::File out;
    uint32_t err = out.openWrite(isoPath, true);
    if (err || (err = out.resize(0))) return fail(DISC_E_FILE, "cannot create " + isoPath, err);
    const uint32_t end = m.usedEnd();
    std::vector<uint8_t> buffer(size_t(2048) * cd::kUserData);
    for (uint32_t lba = 0; lba < end;) {
        const uint32_t count = std::min<uint32_t>(2048, end - lba);
        if (Error e = reader.cooked(lba, count, buffer.data())) return e;
        const size_t bytes = size_t(count) * cd::kUserData;
        if (!os::allZero(buffer.data(), bytes) && (err = out.writeAt(uint64_t(lba) * cd::kUserData, buffer.data(), bytes)))
            return fail(DISC_E_FILE, "write failed", err);
        lba += count;
    }
    if ((err = out.resize(uint64_t(end) * cd::kUserData))) return fail(DISC_E_FILE, "cannot size " + isoPath, err);
    return {};
}

Error DriveFolder::exportRaw(const std::string& name, const std::string& base) const {
    Medium m;
    if (!loadMedium(name, m)) return fail(DISC_E_NOT_READY, "no medium in " + name);
    if (isDvdType(m.type)) return fail(DISC_E_NOT_SUPPORTED, "a DVD has no raw sectors");
    if (m.tracks.empty()) return fail(DISC_E_NO_TRACK, "nothing is recorded on the disc");
    MediumReader reader;
    if (Error e = reader.open(*this, name, m)) return e;
    os::File out;
    const std::string bin = base + ".bin";
    if (uint32_t err = out.openWrite(bin, true); err || (err = out.resize(0)))
        return fail(DISC_E_FILE, "cannot create " + bin, err);
    CueSheet sheet;
    sheet.files.push_back(os::fileName(bin));
    std::vector<uint8_t> data(size_t(256) * cd::kRawSector);
    uint64_t at = 0;
    for (const Track& t : m.tracks) {
        CueTrack c;
        c.number = t.number;
        c.session = t.session;
        c.mode = t.audio() ? CueMode::Audio : (t.dataMode == 2 ? CueMode::Mode2Raw : CueMode::Mode1Raw);
        const uint32_t first = static_cast<uint32_t>(at / cd::kRawSector);
        if (t.pregap) c.index0 = first;
        c.index1 = first + t.pregap;
        sheet.tracks.push_back(c);
        for (uint32_t lba = t.start - t.pregap, end = t.start + t.length; lba < end;) {
            const uint32_t count = std::min<uint32_t>(256, end - lba);
            if (Error e = reader.raw(t, lba, count, data.data())) return e;
            if (uint32_t err = out.writeAt(at, data.data(), size_t(count) * cd::kRawSector))
                return fail(DISC_E_FILE, "write failed", err);
            at += uint64_t(count) * cd::kRawSector;
            lba += count;
        }
    }
    const std::string cue = renderCueSheet(sheet, false);
    return writeText(base + ".cue", cue);
}

}  // namespace disc
