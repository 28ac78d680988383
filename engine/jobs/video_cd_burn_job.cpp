#include "jobs/video_cd_burn_job.h"
#include "devices/device.h"
#include "devices/device_constants.h"
#include "jobs/job_steps.h"
#include <cstdio>

const JOB_TRAITS CVideoCdBurnJob::VIDEO_CD_TRAITS = {JOB_VIDEOCD, "_VK_BurnVideoCDThread", 400, 800,
                                                     "\tUNKNOWN EXCEPTION!"};
const JOB_TRAITS CVideoCdBurnJob::SUPER_VIDEO_CD_TRAITS = {JOB_SUPERVIDEOCD, "_VK_BurnSuperVideoCDThread", 400, 800,
                                                           "\tUNKNOWN EXCEPTION!"};

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

HRESULT CVideoCdBurnJob::Pass(CJobMessenger& job, JOB_STATE_RECORD* record, CGrabber& grabber,
                              const MEDIUM_STATE& medium, CTrayLock& tray, Next* next)
{
    // The layer lays out a whole disc: only a blank one is written.
    if (medium.status != DISC_STATUS_BLANK) {
        if (IsErasableMedium(medium.type)) {
            if (job.Ask(ASK_ERASE_FOR_BLANK) != 1) return SCARD_W_CANCELLED_BY_USER;
            *next = Next::EraseThenRetry;
            return S_OK;
        }
        // Asked with the tray closed: the user swaps the disc himself.
        if (!AskForAnotherDisc(job, tray, ASK_NEED_BLANK)) return SCARD_W_CANCELLED_BY_USER;
        *next = Next::Retry;
        return S_OK;
    }
    return Write(job, grabber, record);
}

HRESULT CVideoCdBurnJob::Write(CJobMessenger& job, CGrabber& grabber, JOB_STATE_RECORD* record)
{
    if (!StartWriting(job, grabber, record)) return E_FAIL;

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
