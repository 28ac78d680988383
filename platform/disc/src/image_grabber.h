// Reads a disc into an image: <base>.mds, our descriptor (see cue_sheet.h),
// and its data files <base>.xm0, <base>.xm1, ... A CD gives the raw sectors
// of every recorded track (index 0 blocks included) in one data file; a DVD
// gives the 2048-byte sectors of its whole recorded area, split into parts of
// the size asked for, so that the first part alone is an ordinary ISO image of
// a disc that fits in it. The descriptor is written last; a failed or
// cancelled read deletes every file it made.
#pragma once

#include "drive.h"
#include "error.h"
#include "os_seam.h"
#include "progress_reporter.h"

#include <memory>
#include <string>
#include <vector>

namespace disc {

class ImageGrabber {
public:
    ImageGrabber(Drive& drive, ProgressReporter& progress, uint32_t readRequest)
        : drive_(drive), progress_(progress), readRequest_(readRequest) {}

    Error grabCd(const std::string& base);
    // `partBytes` 0: one data file.
    Error grabDvd(const std::string& base, uint64_t partBytes);

private:
    Error snapshot(bool dvd, Medium& out);
    Error run(const std::string& base, bool dvd, uint64_t partBytes);
    Error commit(const std::string& base, size_t parts);
    Error readCd(const Medium& m, const std::string& base, std::string& sheet);
    Error readDvd(const Medium& m, const std::string& base, uint64_t partBytes, std::string& sheet);
    Error store(const std::string& base, uint64_t at, const uint8_t* data, size_t size, uint64_t partBytes);
    Error part(const std::string& base, size_t index, os::File*& out);
    Error step(uint64_t blocks, uint64_t totalBytes, uint32_t sectorBytes);
    std::string partPath(const std::string& base, size_t index) const;
    bool cancelled() const { return drive_.cancelCount() != cancelMark_; }

    Drive& drive_;
    ProgressReporter& progress_;
    uint32_t readRequest_;  // the reading handle's speed request
    uint64_t cancelMark_ = 0, startMs_ = 0, doneBlocks_ = 0;
    uint32_t readSpeed_ = 0;
    bool emulateSpeed_ = false;
    DiscFault fault_ {};
    std::vector<std::string> made_;
    std::vector<std::unique_ptr<os::File>> parts_;
};

}  // namespace disc
