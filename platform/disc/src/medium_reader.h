// Reads a medium's sectors back: the cooked 2048-byte view of any block, and
// the raw 2352-byte sectors of a CD track (kept ones from the raw file, Mode 1
// ones made from the cooked view with their header and error codes).
#pragma once

#include "drive_folder.h"
#include "error.h"
#include "medium.h"
#include "os_seam.h"

namespace disc {

class MediumReader {
public:
    Error open(const DriveFolder& folder, const std::string& name, const Medium& medium);

    // Blocks past the end of the medium's files read as zeros.
    Error cooked(uint32_t lba, uint32_t count, uint8_t* out);
    Error raw(const Track& track, uint32_t lba, uint32_t count, uint8_t* out);

private:
    Error readZeroFilled(os::File& file, uint64_t offset, size_t size, uint8_t* out);

    os::File cooked_, raw_;
};

}  // namespace disc
