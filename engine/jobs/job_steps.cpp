#include "jobs/job_steps.h"
#include "devices/device.h"
#include "devices/device_constants.h"

MEDIUM_STATE ReadMedium(CGrabber& grabber)
{
    MEDIUM_STATE m;
    // A drive that is not ready has no medium to write on.
    if (grabber.TestUnitReady() != DISC_OK || grabber.GetDiscType(&m.type) != DISC_OK) {
        m.type = DISC_MT_NO_MEDIA;
        return m;
    }
    DiscInformation disc = {};
    if (grabber.GetDiscInformation(&disc) == DISC_OK) m.status = disc.discStatus;
    DiscTrackInformation track = {};
    if (m.status != DISC_STATUS_COMPLETE && grabber.GetTrackInformation(DISC_TRACK_INCOMPLETE, &track) == DISC_OK)
        m.freeBytes = uint64_t(track.freeBlocks) * BLOCK_SIZE;
    return m;
}

uint32_t ReadMediumType(CGrabber& grabber)
{
    uint32_t type = DISC_MT_NO_MEDIA;
    if (grabber.GetDiscType(&type) != DISC_OK) type = DISC_MT_NO_MEDIA;
    return type;
}

bool SetJobSpeeds(CJobMessenger& job, CGrabber& grabber, unsigned writeSpeed, uint32_t* granted)
{
    uint32_t read = 0, maxRead = 0, maxWrite = 0;
    *granted = 0;
    if (grabber.SetSpeeds(FASTEST_SPEED, writeSpeed) != DISC_OK ||
        grabber.GetSpeeds(&read, &maxRead, granted, &maxWrite) != DISC_OK) {
        job.Status(ST_SPEED_FAILED);
        return false;
    }
    return true;
}

void CalibrateAndProtect(CJobMessenger& job, CGrabber& grabber)
{
    job.Status(ST_SENDING_OPC, grabber.SendOPC() == DISC_OK ? 1 : 0);
    uint32_t available = 0, enabled = 0;
    if (grabber.GetBUP(&available, &enabled) == DISC_OK && available)
        job.Status(ST_BUP_ENABLED, grabber.SetBUP(1) == DISC_OK ? 1 : 0);
}

bool AskForMedium(CJobMessenger& job, CCoDevice* device, unsigned question)
{
    return job.AskForMedium(static_cast<IDevice*>(device), question);
}
