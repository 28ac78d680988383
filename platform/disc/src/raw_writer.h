// What the writers of whole sessions (session-at-once images, audio tracks)
// share: the plan's medium before and after, the pace of an emulated drive,
// an armed fault, cancel, progress, and the commit that keeps the new medium
// only when the drive still holds the one the write started from.
#pragma once

#include "drive.h"
#include "error.h"
#include "progress_reporter.h"

#include <optional>

namespace disc {

struct RawWritePlan {
    Medium before, after;
    bool emulateSpeed = false;
    uint32_t writeSpeed = 0;
    std::optional<DiscFault> fault;
    uint64_t totalBlocks = 0;
};

class RawWriter {
protected:
    RawWriter(Drive& drive, ProgressReporter& progress, uint32_t writeRequest)
        : drive_(drive), progress_(progress), writeRequest_(writeRequest) {}

    // After `done` blocks, the last at `lba`: the armed fault, the emulated
    // speed, cancel, then the progress report.
    Error advance(const RawWritePlan& p, uint32_t lba, uint64_t done);
    Error commit(const RawWritePlan& p);
    bool cancelled() const { return drive_.cancelCount() != cancelMark_; }

    Drive& drive_;
    ProgressReporter& progress_;
    uint32_t writeRequest_;  // the writing handle's speed request
    uint64_t cancelMark_ = 0;
    uint64_t startMs_ = 0;
};

}  // namespace disc
