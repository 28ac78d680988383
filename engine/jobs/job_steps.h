// The steps that several jobs take on the medium of their own grabber,
// written once: reading the medium, setting the speeds, OPC and buffer
// protection, asking for a medium. Each reports to the job's events as the
// frame's jobs do.
#pragma once
#include "devices/grabber.h"
#include "jobs/job_messenger.h"
#include "devices/medium_type.h"

#include <string>

class CCoDevice;

// The path field of a job's record: 260 bytes with the terminating NUL.
const size_t JOB_PATH_FIELD = 260;
// True when `path`, and `room` more characters after it, fit the field. A
// path that does not is refused by the starter, never cut short.
inline bool FitsPathField(const std::string& path, size_t room = 0)
{
    return !path.empty() && path.size() + room < JOB_PATH_FIELD;
}

// What a job reads of the medium before it writes.
struct MEDIUM_STATE {
    uint32_t type = DISC_MT_NO_MEDIA;
    uint8_t status = DISC_STATUS_BLANK;
    uint64_t freeBytes = 0;
};

// The medium's type, status and free bytes; an empty or unready drive
// reads as DISC_MT_NO_MEDIA.
MEDIUM_STATE ReadMedium(CGrabber& grabber);

// The medium's type: an empty drive, or a failing query, reads as
// DISC_MT_NO_MEDIA. An empty drive is never ready: no unit-ready test.
uint32_t ReadMediumType(CGrabber& grabber);

// Reads at the fastest speed and writes at `writeSpeed` (KB/s). The write
// speed the drive took in `*granted`; false after ST_SPEED_FAILED.
bool SetJobSpeeds(CJobMessenger& job, CGrabber& grabber, unsigned writeSpeed, uint32_t* granted);

// The power calibration (ST_SENDING_OPC with its outcome), then buffer
// underrun protection where the drive has it (ST_BUP_ENABLED).
void CalibrateAndProtect(CJobMessenger& job, CGrabber& grabber);

// Opens the tray and asks the client for a medium (`question`); on yes the
// tray is closed, the new medium checked and true returned.
bool AskForMedium(CJobMessenger& job, CCoDevice* device, unsigned question);
