#include "jobs/dvd_video_burn_job.h"
#include "devices/device.h"
#include "devices/device_constants.h"
#include "file_trees/dvd_video_image.h"
#include "jobs/job_steps.h"

const JOB_TRAITS CDvdVideoBurnJob::TRAITS = {JOB_DVDVIDEO, "_VK_BurnDVDVideoThread", 500, 800,
                                             "\tUNKNOWN EXCEPTION!"};

HRESULT CDvdVideoBurnJob::Start(CCoDevice* device, unsigned cookie, unsigned speed, const std::string& folder,
                                unsigned lastArgument)
{
    if (!FitsPathField(folder)) return E_INVALIDARG;
    return Launch(std::unique_ptr<CJobFrame>(new CDvdVideoBurnJob(device, folder)), cookie, speed, lastArgument);
}

HRESULT CDvdVideoBurnJob::Pass(CJobMessenger& job, JOB_STATE_RECORD* record, CGrabber& grabber,
                               const MEDIUM_STATE& medium, CTrayLock& tray, Next* next)
{
    const bool erasable = IsErasableMedium(medium.type);
    if (medium.status == DISC_STATUS_COMPLETE && erasable) return AskEraseFinalized(job, next);
    // Built on every pass: the files may have changed while the user
    // changed the disc.
    job.Status(ST_DVDVIDEO_IMAGE_BEGIN);
    CDvdVideoImage image;
    const bool built = image.Build(m_folder) == DVD_IMAGE_OK;
    job.Status(ST_DVDVIDEO_IMAGE_END, built ? 1 : 0);
    if (!built) return E_FAIL;
    if (Cancelled()) return CancelledResult();
    // A finalized disc that is not erasable has no room at all.
    if (medium.status == DISC_STATUS_COMPLETE || medium.freeBytes < image.Size())
        return AskForRoom(job, medium, tray, next);
    if (!StartWriting(job, grabber, record)) return E_FAIL;
    const bool test = IsTestWrite(record->lastArgument);
    if (grabber.TrackAtOnceFromTree(image.Handle(), test ? 1 : 0, 0) != DISC_OK) return E_FAIL;
    if (!test && grabber.CloseSession() != DISC_OK) return E_FAIL;
    return S_OK;
}
