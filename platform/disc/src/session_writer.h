// Writes an image session-at-once: every track of every session the image
// holds, at the addresses the source disc had (a sheet that names them must
// agree with the medium), with the raw sectors of Mode 2 and audio tracks kept
// beside the cooked view. Medium, space and addresses are checked before the
// first byte; a failed or cancelled write leaves the medium as it was.
#pragma once

#include "disc_image.h"
#include "raw_writer.h"

#include <optional>
#include <vector>

namespace disc {

class SessionWriter : RawWriter {
public:
    SessionWriter(Drive& drive, ProgressReporter& progress, uint32_t writeRequest)
        : RawWriter(drive, progress, writeRequest) {}

    // `cancelMark`: the drive's cancel count the caller's operation began
    // with, when it did work of its own before this write (a cancel then
    // still stops it); else the count when the write begins.
    Error write(DiscImage& image, bool test, uint32_t bufferBytes, std::optional<uint64_t> cancelMark = {});

private:
    struct Plan : RawWritePlan {
        std::vector<Track> tracks;      // where each image track goes
        std::vector<uint32_t> skip;     // index 0 blocks a session's first track drops
        std::string image, raw;         // the medium's files
    };
    struct Files {
        os::File cooked, raw;
        uint64_t cookedSize = 0, rawSize = 0;
    };

    Error plan(DiscImage& image, bool test, Plan& p);
    Error writeTrack(DiscImage& image, size_t index, const Plan& p, Files* files, uint64_t& done);
    static void convert(const ImageTrack& it, const Track& t, uint32_t lba, uint32_t count, uint32_t gapSectors,
                        const uint8_t* source, uint8_t* cooked, uint8_t* raw);
    Error store(const Track& t, uint32_t lba, uint32_t count, const uint8_t* cooked, const uint8_t* raw, Files& f);
};

}  // namespace disc
