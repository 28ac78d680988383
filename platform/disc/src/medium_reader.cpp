#include "medium_reader.h"

#include "cd_sector.h"

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
    return readZeroFilled(cooked_, uint64_t(lba) * cd::kUserData, size_t(count) * cd::kUserData, out);
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
