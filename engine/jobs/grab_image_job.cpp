#include "jobs/grab_image_job.h"
#include "devices/device.h"
#include "devices/device_constants.h"
#include "devices/medium_type.h"
#include "devices/tray_lock.h"
#include "jobs/job_steps.h"

const JOB_TRAITS CGrabImageJob::TRAITS = {JOB_GRABIMAGE, "_VK_GrabImageThread", 500, 800, "\tUNKNOWN EXCEPTION!"};

namespace {
// The grabber's buffer, in MiB: the job's last argument is the DVD part size,
// so the buffer is the job's own choice.
const uint32_t GRAB_BUFFER_MEGABYTES = 4;
// The longest extension a grab adds to its path: ".xm" and the part's
// number, five digits for the smallest parts of the largest disc.
const size_t GRAB_EXTENSION_ROOM = 8;
}  // namespace

HRESULT CGrabImageJob::Start(CCoDevice* device, unsigned cookie, unsigned speed, const std::string& path,
                             unsigned lastArgument)
{
    if (!FitsPathField(path, GRAB_EXTENSION_ROOM)) return E_INVALIDARG;
    return Launch(std::unique_ptr<CJobFrame>(new CGrabImageJob(device, path)), cookie, speed, lastArgument);
}

HRESULT CGrabImageJob::Body(CJobMessenger& job, JOB_STATE_RECORD* record)
{
    for (;;) {
        // A cancel while the insert question was open ends the grab here.
        if (Cancelled()) return CancelledResult();
        CGrabber grabber;
        if (grabber.Create(CCoDevice::BurnerCallback, m_device, m_device->Id(), GRAB_BUFFER_MEGABYTES) != DISC_OK)
            return E_FAIL;
        const uint32_t type = ReadMediumType(grabber);
        if (type != DISC_MT_NO_MEDIA) return Grab(job, grabber, record, type);
        if (!AskForMedium(job, m_device, ASK_INSERT_DISC)) return SCARD_W_CANCELLED_BY_USER;
    }
}

HRESULT CGrabImageJob::Grab(CJobMessenger& job, CGrabber& grabber, JOB_STATE_RECORD* record, uint32_t type)
{
    CTrayLock tray(grabber);
    uint32_t read = 0, maxRead = 0, write = 0, maxWrite = 0;
    if (grabber.SetSpeeds(record->speed, FASTEST_SPEED) != DISC_OK ||
        grabber.GetSpeeds(&read, &maxRead, &write, &maxWrite) != DISC_OK) {
        job.Status(ST_SPEED_FAILED);
        return E_FAIL;
    }
    record->speed = read;
    job.Start(record);
    if (Cancelled()) return CancelledResult();
    const int grabbed = IsDVDMedium(type) ? grabber.GrabDvdImage(m_path.c_str(), record->lastArgument)
                                          : grabber.GrabCdImage(m_path.c_str());
    return grabbed == DISC_OK ? S_OK : E_FAIL;
}
