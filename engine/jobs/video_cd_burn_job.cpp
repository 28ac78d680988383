#include "jobs/video_cd_burn_job.h"
#include "devices/device.h"
#include "devices/device_constants.h"
#include "devices/tray_lock.h"
#include "jobs/erase_job.h"
#include "jobs/job_steps.h"
#include <cstdio>

const JOB_TRAITS CVideoCdBurnJob::VIDEO_CD_TRAITS = {JOB_VIDEOCD, "_VK_BurnVideoCDThread", 400, 800,
                                                     "\tUNKNOWN EXCEPTION!"};
const JOB_TRAITS CVideoCdBurnJob::SUPER_VIDEO_CD_TRAITS = {JOB_SUPERVIDEOCD, "_VK_BurnSuperVideoCDThread", 400, 800,
                                                           "\tUNKNOWN EXCEPTION!"};

namespace {
const DWORD START_PAUSE_MS = 100;  // between the drive's set-up and the start event
}

std::string VideoCdDateText(const SYSTEMTIME& local)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%4i%02i%02i%02i%02i", local.wYear, local.wMonth, local.wDay, local.wHour,
                  local.wMinute);
    return text;
}

HRESULT CVideoCdBurnJob::Start(CCoDevice* device, FORMAT format, unsigned cookie, unsigned speed,
                               const std::string& stream, unsigned lastArgument)
{
    if (!FitsPathField(stream)) return E_INVALIDARG;
    return Launch(std::unique_ptr<CJobFrame>(new CVideoCdBurnJob(device, format, stream)), cookie, speed,
                  lastArgument);
}

HRESULT CVideoCdBurnJob::Body(CJobMessenger& job, JOB_STATE_RECORD* record)
{
    for (;;) {
        Next next = Next::Done;
        HRESULT hr = Pass(job, record, &next);
        if (next == Next::Done) return hr;
        if (next == Next::EraseThenRetry && FAILED(hr = CEraseJob::RunInternal(m_device->WindowHandle())))
            return hr;
    }
}

HRESULT CVideoCdBurnJob::Pass(CJobMessenger& job, JOB_STATE_RECORD* record, Next* next)
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
    // The layer lays out a whole disc: only a blank one is written.
    if (medium.status != DISC_STATUS_BLANK) {
        if (IsErasableMedium(medium.type)) {
            if (job.Ask(ASK_ERASE_FOR_BLANK) != 1) return SCARD_W_CANCELLED_BY_USER;
            *next = Next::EraseThenRetry;
            return S_OK;
        }
        // Asked with the tray closed: the user swaps the disc himself.
        if (job.Ask(ASK_NEED_BLANK) != 1) return SCARD_W_CANCELLED_BY_USER;
        *next = Next::Retry;
        return S_OK;
    }
    return Write(job, grabber, record);
}

HRESULT CVideoCdBurnJob::Write(CJobMessenger& job, CGrabber& grabber, JOB_STATE_RECORD* record)
{
    uint32_t write = 0;
    if (!SetJobSpeeds(job, grabber, record->speed, &write)) return E_FAIL;
    CalibrateAndProtect(job, grabber);
    Sleep(START_PAUSE_MS);
    record->speed = write;
    job.Start(record);

    const bool test = IsTestWrite(record->lastArgument);
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    const std::string date = VideoCdDateText(now);
    if (grabber.WriteVideoCd(m_stream.c_str(), date.c_str(), m_format == SUPER_VIDEO_CD, test ? 1 : 0) != DISC_OK)
        return E_FAIL;
    // A test write leaves nothing to close.
    if (!test && grabber.CloseSession() != DISC_OK) return E_FAIL;
    record->result = S_OK;
    return S_OK;
}
