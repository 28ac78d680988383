// Writes one data track to a drive's medium under the rules real media follow:
// only writable, unfinished media take data, the capacity is checked before the
// first byte, and a refused, failed or cancelled write leaves the medium as it
// was (the new blocks lie past the old end of its data file, which is cut back).
// A test write reads every block and sends every callback but writes nothing.
#pragma once

#include "drive.h"
#include "error.h"
#include "image_source.h"
#include "iso_tree.h"
#include "progress_reporter.h"

#include <optional>
#include <vector>

namespace disc {

struct WriteRequest {
    ImageSource* source = nullptr;
    uint32_t operation = 0;           // DiscOperation, for armed faults
    bool test = false;
    bool leaveOpen = true;            // closing the session keeps the disc appendable
    bool fromTree = false;            // a tree must start at the next writable address
    uint32_t treeStart = 0;
    int64_t isoRoot = -1;             // root folder of an ISO image file: not below the start
    ImportOrigin origin;
    uint32_t bufferBytes = 0;
    uint32_t writeRequest = 0xFFFF;   // the handle's write speed request
};

class TrackWriter {
public:
    TrackWriter(Drive& drive, ProgressReporter& progress) : drive_(drive), progress_(progress) {}

    Error write(const WriteRequest& request);

private:
    struct Snapshot {
        Medium medium;
        std::string image;
        bool emulateSpeed = false, bup = false;
        uint32_t writeSpeed = 0;
        std::optional<DiscFault> fault;
    };

    Error prepare(const WriteRequest& request, Snapshot& snap, uint32_t& start);
    Error stream(const WriteRequest& request, const Snapshot& snap, uint32_t start, os::File* out);
    Error transfer(const WriteRequest& request, uint32_t start, uint32_t done, uint32_t& count,
                   std::vector<uint8_t>& data, os::File* out);
    Error commit(const WriteRequest& request, const Snapshot& snap, uint32_t start);
    bool cancelled() const { return drive_.cancelCount() != cancelMark_; }
    void pace(uint64_t bytes, uint32_t speedKBps, uint64_t startMs, uint64_t doneBytes) const;

    Drive& drive_;
    ProgressReporter& progress_;
    uint64_t cancelMark_ = 0;
};

}  // namespace disc
