#include "jobs/writing_job.h"
#include "devices/device.h"
#include "devices/device_constants.h"
#include "jobs/erase_job.h"

namespace {
const DWORD START_PAUSE_MS = 100;  // between the drive's set-up and the start event
}

HRESULT CWritingJob::Body(CJobMessenger& job, JOB_STATE_RECORD* record)
{
    for (;;) {
        // Before every pass and every erase: a cancel that came while a
        // question was open or an erase ran ends the job here.
        if (Cancelled()) return CancelledResult();
        Next next = Next::Done;
        HRESULT hr = OpenPass(job, record, &next);
        if (next == Next::Done) return hr;
        if (Cancelled()) return CancelledResult();
        if (next == Next::EraseThenRetry && FAILED(hr = CEraseJob::RunInternal(m_device->WindowHandle())))
            return hr;
    }
}

HRESULT CWritingJob::OpenPass(CJobMessenger& job, JOB_STATE_RECORD* record, Next* next)
{
    CGrabber grabber;
    if (grabber.Create(CCoDevice::BurnerCallback, m_device, m_device->Id(), JobBufferSize(record->lastArgument)) !=
        DISC_OK)
        return E_FAIL;
    const MEDIUM_STATE medium = ReadMedium(grabber);
    if (medium.type == DISC_MT_NO_MEDIA || !IsWritableMedium(medium.type)) {
        const unsigned question = medium.type == DISC_MT_NO_MEDIA ? ASK_INSERT_DISC : ASK_NOT_WRITABLE;
        if (!AskForMedium(job, m_device, question)) return SCARD_W_CANCELLED_BY_USER;
        *next = Next::Retry;
        return S_OK;
    }
    CTrayLock tray(grabber);
    return Pass(job, record, grabber, medium, tray, next);
}

HRESULT CWritingJob::AskEraseFinalized(CJobMessenger& job, Next* next)
{
    if (job.Ask(ASK_ERASE_FINALIZED) == 1) {
        *next = Next::EraseThenRetry;
        return S_OK;
    }
    job.Status(ST_FINALIZED);
    return SCARD_W_CANCELLED_BY_USER;
}

bool CWritingJob::AskForAnotherDisc(CJobMessenger& job, CTrayLock& tray, unsigned question)
{
    tray.Release();
    return job.Ask(question) == 1;
}

HRESULT CWritingJob::AskForRoom(CJobMessenger& job, const MEDIUM_STATE& medium, CTrayLock& tray, Next* next)
{
    if (medium.status != DISC_STATUS_BLANK && IsErasableMedium(medium.type)) {
        if (job.Ask(ASK_ERASE_FOR_SPACE) != 1) return SCARD_W_CANCELLED_BY_USER;
        *next = Next::EraseThenRetry;
        return S_OK;
    }
    if (!AskForAnotherDisc(job, tray, ASK_NOT_ENOUGH_SPACE)) return SCARD_W_CANCELLED_BY_USER;
    *next = Next::Retry;
    return S_OK;
}

bool CWritingJob::StartWriting(CJobMessenger& job, CGrabber& grabber, JOB_STATE_RECORD* record)
{
    uint32_t write = 0;
    // A cancel during the image's build or the questions ends the job here.
    if (Cancelled() || !SetJobSpeeds(job, grabber, record->speed, &write)) return false;
    CalibrateAndProtect(job, grabber);
    Sleep(START_PAUSE_MS);
    if (Cancelled()) return false;
    record->speed = write;
    job.Start(record);
    // The last check before the layer's write, which sees later cancels.
    return !Cancelled();
}
