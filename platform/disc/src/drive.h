// One virtual drive at run time: its description and medium (loaded from the
// drive folder), its speeds, tray lock and buffer-underrun setting, the job
// that runs on it and the faults a test has armed. Every grabber of the drive
// shares this object, so a cancel through any of them reaches the job.
#pragma once

#include "drive_folder.h"
#include "drive_spec.h"
#include "error.h"
#include "medium.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace disc {

class Drive {
public:
    Drive(std::shared_ptr<const DriveFolder> folder, std::string name, DriveSpec spec);

    const std::string& name() const { return name_; }
    uint32_t id() const { return id_; }
    const DriveFolder& folder() const { return *folder_; }

    // Guards everything below except the job flag and the cancel counter.
    std::mutex& mutex() { return mutex_; }
    DriveSpec spec;
    std::optional<Medium> medium;
    bool removed = false;
    bool bupEnabled = false;
    uint32_t lockCount = 0;  // tray locks of all the drive's handles

    // A medium the drive can read: present and the tray closed. Locked.
    const Medium* readyMedium() const;
    // The speeds the drive takes for a handle's requests (each handle asks
    // for its own: a medium check through one handle leaves a job's write
    // on another at its speed). Locked.
    uint32_t readSpeed(uint32_t request) const;
    uint32_t writeSpeed(uint32_t request) const;
    uint32_t maxReadSpeed() const;
    uint32_t maxWriteSpeed() const;

    // One job at a time (writes, blank, import).
    bool beginJob();
    void endJob();
    bool busy() const { return busy_.load(); }
    uint64_t cancelCount() const { return cancels_.load(); }
    void cancel() { ++cancels_; }

    // A fault set from outside (the drive folder's fault file) is for the
    // handles made after it came: the engine's long-lived handle of a drive
    // must not take a fault meant for the next job. One set in process is
    // for any handle.
    void armFault(const DiscFault& fault, bool fromOutside = false);
    // The armed fault of that operation, taken once; `madeAt` is the
    // faultClock() of the handle asking when it was made.
    std::optional<DiscFault> takeFault(uint32_t operation, uint64_t madeAt = UINT64_MAX);
    uint64_t faultClock();

private:
    const std::vector<uint32_t>& readTable() const;
    const std::vector<uint32_t>& writeTable() const;

    std::shared_ptr<const DriveFolder> folder_;
    std::string name_;
    uint32_t id_;
    std::mutex mutex_;
    std::atomic<bool> busy_ {false};
    std::atomic<uint64_t> cancels_ {0};
    std::mutex faultMutex_;
    struct ArmedFault {
        DiscFault fault;
        uint64_t armedAt;  // 0: for any handle
    };
    std::vector<ArmedFault> faults_;
    uint64_t faultClock_ = 0;
};

// Holds the drive's one job for a scope, when it was free.
class DriveJob {
public:
    explicit DriveJob(Drive& d) : drive_(d), owned_(d.beginJob()) {}
    ~DriveJob() { if (owned_) drive_.endJob(); }
    DriveJob(const DriveJob&) = delete;
    DriveJob& operator=(const DriveJob&) = delete;
    bool owned() const { return owned_; }

private:
    Drive& drive_;
    bool owned_;
};

// Speed a drive takes for a request: the fastest of the table not above it,
// the slowest when all are above, the fastest for 0xFFFF.
uint32_t pickSpeed(const std::vector<uint32_t>& table, uint32_t request);

}  // namespace disc
