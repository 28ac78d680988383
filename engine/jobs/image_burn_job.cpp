#include "jobs/image_burn_job.h"
#include "devices/device.h"
#include "devices/device_constants.h"
#include "jobs/job_steps.h"

// Kind JOB_DVDVIDEO: the image burn's phases are the DVD-Video burn's.
const JOB_TRAITS CImageBurnJob::TRAITS = {JOB_DVDVIDEO, "_VK_BurnImageThread", 400, 800, "\tUNKNOWN EXCEPTION!"};

HRESULT CImageBurnJob::Start(CCoDevice* device, unsigned cookie, unsigned speed, const std::string& path,
                             unsigned lastArgument)
{
    if (!FitsPathField(path)) return E_INVALIDARG;
    return Launch(std::unique_ptr<CJobFrame>(new CImageBurnJob(device, path)), cookie, speed, lastArgument);
}

bool CImageBurnJob::IsIsoPath(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    return lstrcmpiA(path.c_str() + dot, ".iso") == 0;
}

uint64_t CImageBurnJob::TrackBytes() const
{
    if (!IsIsoPath(m_path)) return 0;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    // A missing file is the write's failure to report.
    if (!GetFileAttributesExA(m_path.c_str(), GetFileExInfoStandard, &data)) return 0;
    const uint64_t size = uint64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    return (size + BLOCK_SIZE - 1) / BLOCK_SIZE * BLOCK_SIZE;
}

HRESULT CImageBurnJob::Pass(CJobMessenger& job, JOB_STATE_RECORD* record, CGrabber& grabber,
                            const MEDIUM_STATE& medium, CTrayLock& tray, Next* next)
{
    const bool erasable = IsErasableMedium(medium.type);
    // An image replaces what is on a rewritable disc: an appendable one is
    // offered the erase as a finalized one is.
    if (medium.status != DISC_STATUS_BLANK && erasable) {
        if (job.Ask(ASK_ERASE_FINALIZED) == 1) {
            *next = Next::EraseThenRetry;
            return S_OK;
        }
        job.Status(ST_ERASE_DECLINED);
        return SCARD_W_CANCELLED_BY_USER;
    }
    // An image that does not fit is refused before the first byte.
    const uint64_t size = TrackBytes();
    if (medium.status == DISC_STATUS_COMPLETE || medium.freeBytes < size)
        return AskForRoom(job, medium, tray, next);
    return Write(job, grabber, record);
}

HRESULT CImageBurnJob::Write(CJobMessenger& job, CGrabber& grabber, JOB_STATE_RECORD* record)
{
    if (!StartWriting(job, grabber, record)) return E_FAIL;

    const bool test = IsTestWrite(record->lastArgument);
    int written;
    if (IsIsoPath(m_path)) {
        written = grabber.TrackAtOnceFromFile(m_path.c_str(), test ? 1 : 0);
    } else {
        // No other way writes a raw image: a drive without session-at-once
        // writing leaves the disc untouched and the job failed.
        DiscWriteModes modes = {};
        if (grabber.ProbeWriteModes(&modes) != DISC_OK || !modes.sessionAtOnce) return E_FAIL;
        written = grabber.SessionAtOnceRaw(m_path.c_str(), test ? 1 : 0);
    }
    if (written != DISC_OK) return E_FAIL;
    if (!test && grabber.CloseSession() != DISC_OK) return E_FAIL;
    return S_OK;
}
