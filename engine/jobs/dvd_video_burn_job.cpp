#include "jobs/dvd_video_burn_job.h"
#include "devices/device.h"
#include "devices/device_constants.h"
#include "devices/tray_lock.h"
#include "file_trees/dvd_video_image.h"
#include "jobs/erase_job.h"
#include "jobs/job_steps.h"

const JOB_TRAITS CDvdVideoBurnJob::TRAITS = {JOB_DVDVIDEO, "_VK_BurnDVDVideoThread", 500, 800,
                                             "\tUNKNOWN EXCEPTION!"};

namespace {
const DWORD START_PAUSE_MS = 100;  // between the drive's set-up and the start event
}

HRESULT CDvdVideoBurnJob::Start(CCoDevice* device, unsigned cookie, unsigned speed, const std::string& folder,
                                unsigned lastArgument)
{
    if (!FitsPathField(folder)) return E_INVALIDARG;
    return Launch(std::unique_ptr<CJobFrame>(new CDvdVideoBurnJob(device, folder)), cookie, speed, lastArgument);
}

HRESULT CDvdVideoBurnJob::Body(CJobMessenger& job, JOB_STATE_RECORD* record)
{
    for (;;) {
        Next next = Next::Done;
        HRESULT hr = Pass(job, record, &next);
        if (next == Next::Done) return hr;
        if (next == Next::EraseThenRetry && FAILED(hr = CEraseJob::RunInternal(m_device->WindowHandle())))
            return hr;
    }
}

HRESULT CDvdVideoBurnJob::Pass(CJobMessenger& job, JOB_STATE_RECORD* record, Next* next)
{
    CGrabber grabber;
    if (grabber.Create(CCoDevice::BurnerCallback, m_device, m_device->Id(), JobBufferSize(record->lastArgument)) !=
        DISC_OK)
        return E_FAIL;
    const MEDIUM_STATE medium = ReadMedium(grabber);
    const bool erasable = IsErasableMedium(medium.type);
    if (medium.type == DISC_MT_NO_MEDIA || !IsWritableMedium(medium.type)) {
        const unsigned question = medium.type == DISC_MT_NO_MEDIA ? ASK_INSERT_DISC : ASK_NOT_WRITABLE;
        if (!AskForMedium(job, m_device, question)) return SCARD_W_CANCELLED_BY_USER;
        *next = Next::Retry;
        return S_OK;
    }
    CTrayLock tray(grabber);
    if (medium.status == DISC_STATUS_COMPLETE && erasable) {
        if (job.Ask(ASK_ERASE_FINALIZED) == 1) {
            *next = Next::EraseThenRetry;
            return S_OK;
        }
        job.Status(ST_FINALIZED);
        return SCARD_W_CANCELLED_BY_USER;
    }
    // Built on every pass: the files may have changed while the user
    // changed the disc.
    job.Status(ST_DVDVIDEO_IMAGE_BEGIN);
    CDvdVideoImage image;
    const bool built = image.Build(m_folder) == DVD_IMAGE_OK;
    job.Status(ST_DVDVIDEO_IMAGE_END, built ? 1 : 0);
    if (!built) return E_FAIL;
    // A finalized disc that is not erasable has no room at all.
    if (medium.status == DISC_STATUS_COMPLETE || medium.freeBytes < image.Size()) {
        if (medium.status != DISC_STATUS_BLANK && erasable) {
            if (job.Ask(ASK_ERASE_FOR_SPACE) != 1) return SCARD_W_CANCELLED_BY_USER;
            *next = Next::EraseThenRetry;
            return S_OK;
        }
        // Asked with the tray closed: the user swaps the disc himself.
        if (job.Ask(ASK_NOT_ENOUGH_SPACE) != 1) return SCARD_W_CANCELLED_BY_USER;
        *next = Next::Retry;
        return S_OK;
    }
    uint32_t write = 0;
    if (!SetJobSpeeds(job, grabber, record->speed, &write)) return E_FAIL;
    CalibrateAndProtect(job, grabber);
    Sleep(START_PAUSE_MS);
    record->speed = write;
    job.Start(record);
    const bool test = IsTestWrite(record->lastArgument);
    if (grabber.TrackAtOnceFromTree(image.Handle(), test ? 1 : 0, 0) != DISC_OK) return E_FAIL;
    if (!test && grabber.CloseSession() != DISC_OK) return E_FAIL;
    return S_OK;
}
