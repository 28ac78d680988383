// Reads a medium's sectors back: the cooked 2048-byte view of any block (of a
// track that keeps raw sectors, their user data), and the raw 2352-byte
// sectors of a CD track (kept ones from the raw file, the others made from the
// cooked view with their header and error codes).
#pragma once

#include "drive_folder.h"
#include "error.h"
#include "medium.h"
#include "os_seam.h"

#include <vector>

namespace disc {

class MediumReader {
public:
    Error open(const DriveFolder& folder, const std::string& name, const Medium& medium);

    // Blocks past the end of the medium's files read as zeros.
    Error cooked(uint32_t lba, uint32_t count, uint8_t* out);
    Error raw(const Track& track, uint32_t lba, uint32_t count, uint8_t* out);
    // Copies `size` bytes of the cooked file from `offset` into `dest` in the
    // kernel where the system can; what lies past the file's end is left as
    // it is in `dest` (a hole, zeros). Only for media without raw tracks.
    Error copyCooked(uint64_t offset, uint64_t size, os::File& dest, uint64_t destOffset);
    // The same for the raw sectors of a track that keeps them.
    Error copyRaw(uint32_t lba, uint32_t count, os::File& dest, uint64_t destOffset);

private:
    Error readZeroFilled(os::File& file, uint64_t offset, size_t size, uint8_t* out);

    os::File cooked_, raw_;
    std::vector<Track> rawData_;  // data tracks that keep raw sectors
};

}  // namespace disc
