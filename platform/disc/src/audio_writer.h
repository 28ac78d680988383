// Writes WAV files as the audio tracks of a CD and finalizes the disc:
// track-at-once with 150 blocks of silence before each track after the first,
// or disc-at-once with the tracks back to back. Files, space and the drive's
// modes are checked before the first byte; a failed or cancelled write leaves
// the medium as it was, and a test write changes nothing.
#pragma once

#include "raw_writer.h"
#include "wav_file.h"

#include <optional>
#include <vector>

namespace disc {

struct AudioRequest {
    std::vector<WavFile>* files = nullptr;
    bool discAtOnce = false;
    bool test = false;
    uint32_t operation = 0;  // DiscOperation, for armed faults
    uint32_t bufferBytes = 0;
};

class AudioWriter : RawWriter {
public:
    AudioWriter(Drive& drive, ProgressReporter& progress, uint32_t writeRequest)
        : RawWriter(drive, progress, writeRequest) {}

    Error write(const AudioRequest& request);

private:
    struct Plan : RawWritePlan {
        std::vector<Track> tracks;
        std::string raw;  // the medium's raw sector file
    };

    Error plan(const AudioRequest& request, Plan& p);
    Error writeTrack(WavFile& wav, const Track& t, const Plan& p, os::File* raw, uint64_t& done);
};

}  // namespace disc
