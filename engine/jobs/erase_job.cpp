#include "jobs/erase_job.h"
#include "devices/device.h"
#include "jobs/job_steps.h"
#include "devices/tray_lock.h"
#include <shared/log.h>

const JOB_TRAITS CEraseJob::TRAITS = {JOB_ERASE, "_VK_EraseThread", 400, 800,
                                      "UNKNOWN EXCEPTION, speed = %i kbps\n"};

namespace {
// The erase record's buffer-size field holds 1, and so does its grabber's.
const unsigned ERASE_LAST_ARGUMENT = 1;
const uint32_t READY_TIMEOUT_S = 30;
}

HRESULT CEraseJob::Start(CCoDevice* device, unsigned cookie, unsigned speed, bool full)
{
    const ERASE_TYPE type = full ? ERASE_FULL : ERASE_QUICK;
    return Launch(std::unique_ptr<CJobFrame>(new CEraseJob(device, type, nullptr)), cookie, speed,
                  ERASE_LAST_ARGUMENT);
}

void CEraseJob::OnBusy() { LogPrintf("Device is busy"); }

void CEraseJob::OnStarting(unsigned speed)
{
    LogPrintf("Preparing to erase");
    LogPrintf("Erase type: %s, Speed: %i", m_type == ERASE_FULL ? "full" : "quick", static_cast<int>(speed));
}

void CEraseJob::OnStartFailed() { LogPrintf("Failed to start erasing thread"); }

void CEraseJob::OnStarted() { m_device->SetInternalErase(false); }

void CEraseJob::StartInternal(CCoDevice* device, INTERNAL_ERASE_RECORD* request)
{
    device->SetInternalErase(true);
    request->job.result = S_OK;
    request->thread =
        LaunchHeld(std::unique_ptr<CJobFrame>(new CEraseJob(device, ERASE_QUICK, &request->eraseResult)));
    if (request->thread) {
        LogPrintf("Internal erase thread started successfully");
        return;
    }
    request->job.result = E_FAIL;
    LogPrintf("Internal erase thread startup failed");
}

HRESULT CEraseJob::RunInternal(HWND deviceWindow)
{
    LogPrintf("Preparing internal erase");
    INTERNAL_ERASE_RECORD request = {};
    request.job.kind = JOB_INTERNAL_ERASE;
    request.job.phase = JOB_PHASE_INTERNAL;
    request.job.result = E_FAIL;  // stays so when no one serves the request
    request.eraseResult = E_FAIL;
    SendMessageA(deviceWindow, WM_JOB_STATE, reinterpret_cast<WPARAM>(&request.job), 0);
    if (request.job.result < 0 || !request.thread) {
        LogPrintf("Internal erase failed");
        return E_FAIL;
    }
    LogPrintf("Waiting for finish");
    WaitForSingleObject(request.thread, INFINITE);
    CloseHandle(request.thread);
    // Spelt as the log readers know it.
    LogPrintf("Internal erase seccessfull");
    return request.eraseResult;
}

void CEraseJob::OnWindowGone()
{
    if (m_resultOut) *m_resultOut = E_FAIL;
}

void CEraseJob::AfterPrepare(JOB_STATE_RECORD* record) { record->lastArgument = ERASE_LAST_ARGUMENT; }

void CEraseJob::End(CJobMessenger& job, JOB_STATE_RECORD* record, HRESULT result)
{
    if (m_resultOut) *m_resultOut = result;
    job.End(record, result);
    LogPrintf("Erase thread exit, speed = %i kbps\n", static_cast<int>(record->speed));
}

HRESULT CEraseJob::Body(CJobMessenger& job, JOB_STATE_RECORD* record)
{
    // A grabber of the job's own, as the burns have: the device's grabber
    // serves the medium checks, which set the drive's speeds while they
    // probe.
    CGrabber grabber;
    if (grabber.Create(CCoDevice::BurnerCallback, m_device, m_device->Id(), record->lastArgument) != DISC_OK)
        return E_FAIL;
    // An empty drive is never ready: look for the disc first, so that the
    // user is asked for one.
    while (ReadMediumType(grabber) == DISC_MT_NO_MEDIA) {
        if (!AskForMedium(job, m_device, ASK_INSERT_DISC)) return SCARD_W_CANCELLED_BY_USER;
        if (Cancelled()) return CancelledResult();
    }
    if (grabber.TestUnitReady(READY_TIMEOUT_S) != DISC_OK) {
        job.Status(ST_NOT_READY);
        return E_FAIL;
    }
    uint32_t type = DISC_MT_NO_MEDIA;
    grabber.GetDiscType(&type);
    CTrayLock tray(grabber);
    if (!IsErasableMedium(type)) {
        job.Status(ST_NOT_ERASABLE);
        return E_FAIL;
    }
    uint32_t write = 0;
    if (Cancelled() || !SetJobSpeeds(job, grabber, record->speed, &write)) return E_FAIL;
    record->speed = write;
    job.Start(record);
    if (Cancelled()) return CancelledResult();
    LogPrintf("Erasing, speed = %i kbps\n", static_cast<int>(record->speed));
    const int blank = grabber.Blank(m_type == ERASE_FULL ? 0 : 1);
    LogPrintf("Erasing completed, speed = %i kbps\n", static_cast<int>(record->speed));
    return blank == DISC_OK ? S_OK : E_FAIL;
}
