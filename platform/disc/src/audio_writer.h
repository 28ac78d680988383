// Writes WAV files as the audio tracks of a CD and finalizes the disc:
// track-at-once with 150 blocks of silence before each track after the first,
// or disc-at-once with the tracks back to back. Files, space and the drive's
// modes are checked before the first byte; a failed or cancelled write leaves
// the medium as it was, and a test write changes nothing.
#pragma once

#include "drive.h"
#include "error.h"
#include "progress_reporter.h"
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

class AudioWriter {
public:
    AudioWriter(Drive& drive, ProgressReporter& progress) : drive_(drive), progress_(progress) {}

    Error write(const AudioRequest& request);

private:
    struct Plan {
        Medium before, after;
        std::vector<Track> tracks;
        std::string raw;  // the medium's raw sector file
        bool emulateSpeed = false;
        uint32_t writeSpeed = 0;
        std::optional<DiscFault> fault;
        uint64_t totalBlocks = 0;
    };

    Error plan(const AudioRequest& request, Plan& p);
    Error writeTrack(WavFile& wav, const Track& t, const Plan& p, os::File* raw, uint64_t& done);
    Error advance(const Plan& p, uint32_t lba, uint64_t done);
    Error commit(const Plan& p);
    bool cancelled() const { return drive_.cancelCount() != cancelMark_; }

    Drive& drive_;
    ProgressReporter& progress_;
    uint64_t cancelMark_ = 0;
    uint64_t startMs_ = 0;
};

}  // namespace disc
