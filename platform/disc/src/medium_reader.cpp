#include "medium_reader.h"

#include "cd_sector.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace disc {

Error MediumReader::open(const DriveFolder& folder, const std::string& name, const Medium& medium) {
    uint32_t err = cooked_.openRead(folder.imagePath(name, medium));
    if (err && err != os::kErrNotFound) return fail(DISC_E_MEDIUM_IO, "cannot read the medium", err);
    if (medium.image.empty()) {
        err = raw_.openRead(folder.rawPath(name));
        if (err && err != os::kErrNotFound) return fail(DISC_E_MEDIUM_IO, "cannot read the medium", err);
    }
    rawData_.clear();
    for (const Track& t : medium.tracks)
        if (t.raw() && !t.audio()) rawData_.push_back(t);
    return {};
}

Error MediumReader::readZeroFilled(os::File& file, uint64_t offset, size_t size, uint8_t* out) {
    size_t got = 0;
    if (file.isOpen())
        if (uint32_t err = file.readAt(offset, out, size, got)) return fail(DISC_E_MEDIUM_IO, "cannot read the medium", err);
    std::memset(out + got, 0, size - got);
    return {};
}

Error MediumReader::cooked(uint32_t lba, uint32_t count, uint8_t* out) {
    if (Error e = readZeroFilled(cooked_, uint64_t(lba) * cd::kUserData, size_t(count) * cd::kUserData, out)) return e;
    std::vector<uint8_t> raw;
    for (const Track& t : rawData_) {
        const uint32_t from = std::max(lba, t.start - t.pregap), to = std::min(lba + count, t.start + t.length);
        for (uint32_t at = from; at < to;) {
            const uint32_t n = std::min<uint32_t>(to - at, 512);
            raw.resize(size_t(n) * cd::kRawSector);
            if (Error e = readZeroFilled(raw_, uint64_t(at) * cd::kRawSector, raw.size(), raw.data())) return e;
            for (uint32_t i = 0; i < n; ++i) {
                const uint8_t* r = &raw[size_t(i) * cd::kRawSector];
                uint8_t* c = out + size_t(at - lba + i) * cd::kUserData;
                if (t.dataMode == 1) std::memcpy(c, r + 16, cd::kUserData);  // whatever its header says
                else cd::cookedData(r, c);
            }
            at += n;
        }
    }
    return {};
}

Error MediumReader::copyCooked(uint64_t offset, uint64_t size, os::File& dest, uint64_t destOffset) {
    uint64_t got = 0;
    if (cooked_.isOpen())
        if (uint32_t err = cooked_.copyTo(offset, dest, destOffset, size, got))
            return fail(DISC_E_FILE, "cannot copy the medium", err);
    return {};
}

Error MediumReader::copyRaw(uint32_t lba, uint32_t count, os::File& dest, uint64_t destOffset) {
    uint64_t got = 0;
    if (raw_.isOpen())
        if (uint32_t err = raw_.copyTo(uint64_t(lba) * cd::kRawSector, dest, destOffset,
                                       uint64_t(count) * cd::kRawSector, got))
            return fail(DISC_E_FILE, "cannot copy the medium", err);
    return {};
}

Error MediumReader::raw(const Track& track, uint32_t lba, uint32_t count, uint8_t* out) {
    if (track.raw()) return readZeroFilled(raw_, uint64_t(lba) * cd::kRawSector, size_t(count) * cd::kRawSector, out);
    std::vector<uint8_t> data(size_t(count) * cd::kUserData);
    if (Error e = cooked(lba, count, data.data())) return e;
    for (uint32_t i = 0; i < count; ++i)
        cd::encodeMode1(lba + i, &data[size_t(i) * cd::kUserData], out + size_t(i) * cd::kRawSector);
    return {};
}

}  // namespace disc
