#include "erase_job.h"
#include "device.h"
#include "grabber.h"
#include "job_messenger.h"
#include "medium_type.h"
#include "tray_lock.h"
#include <log.h>
#include <memory>

namespace {

const DWORD WORKER_DELAY_MS = 800;
const DWORD STARTER_DELAY_MS = 400;

IDevice* Itf(CCoDevice* device) { return static_cast<IDevice*>(device); }

}  // namespace

HRESULT CEraseJob::Start(CCoDevice* device, unsigned cookie, unsigned speed, bool full)
{
    const ERASE_TYPE type = full ? ERASE_FULL : ERASE_QUICK;
    std::unique_ptr<CEraseJob> job(new CEraseJob(device, type, nullptr));
    com::ObjectLock<CCoDevice> lock(device);
    if (device->IsBusy()) {
        LogPrintf("Device is busy");
        return STG_E_INUSE;
    }
    LogPrintf("Preparing to erase");
    LogPrintf("Erase type: %s, Speed: %i", type == ERASE_FULL ? "full" : "quick", static_cast<int>(speed));
    // The erase record's buffer-size field holds 1.
    HRESULT hr = device->StartJob(cookie, speed, 1, Thread, job.get());
    if (FAILED(hr)) {
        LogPrintf("Failed to start erasing thread");
        return E_FAIL;
    }
    device->SetInternalErase(false);
    job.release();  // the thread's now
    Sleep(STARTER_DELAY_MS);
    LogPrintf("Erasing thread started successfully");
    return S_OK;
}

void CEraseJob::StartInternal(CCoDevice* device, INTERNAL_ERASE_RECORD* request)
{
    device->SetInternalErase(true);
    auto* job = new CEraseJob(device, ERASE_QUICK, &request->eraseResult);
    request->job.result = S_OK;
    // Held for the thread, as a job method holds the device for its worker.
    device->HoldForWorker();
    request->thread = CreateThread(nullptr, 0, Thread, job, 0, nullptr);
    if (request->thread) {
        LogPrintf("Internal erase thread started successfully");
        return;
    }
    request->job.result = E_FAIL;
    CCoDevice::ReleaseWorkerHold(device);
    delete job;
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
    LogPrintf("Internal erase seccessfull");
    return request.eraseResult;
}

DWORD WINAPI CEraseJob::Thread(void* context)
{
    std::unique_ptr<CEraseJob> job(static_cast<CEraseJob*>(context));
    return job->Run();
}

DWORD CEraseJob::Run()
{
    CLogFunctionScope log("_VK_EraseThread");
    Sleep(WORKER_DELAY_MS);
    HWND window = m_device->WindowHandle();
    if (!window || !IsWindow(window)) {
        if (m_resultOut) *m_resultOut = E_FAIL;
        CCoDevice::ReleaseWorkerHold(m_device);
        return static_cast<DWORD>(-1);
    }
    CJobMessenger job(window);
    JOB_STATE_RECORD record = {0, JOB_ERASE};
    record.result = E_FAIL;
    job.Prepare(&record);
    record.lastArgument = 1;
    HRESULT result = E_FAIL;
    try {
        result = Body(job, &record);
    } catch (...) {
        LogPrintf("UNKNOWN EXCEPTION, speed = %i kbps\n", static_cast<int>(record.speed));
        result = record.result;
    }
    if (m_resultOut) *m_resultOut = result;
    job.End(&record, result);
    LogPrintf("Erase thread exit, speed = %i kbps\n", static_cast<int>(record.speed));
    job.ReleaseDevice();  // last: it may free the device
    return 0;
}

HRESULT CEraseJob::Body(CJobMessenger& job, JOB_STATE_RECORD* record)
{
    // A grabber of the job's own, as the burns have: the device's grabber
    // serves the medium checks, which set the drive's speeds while they
    // probe. Its buffer-size field holds 1.
    CGrabber grabber;
    if (grabber.Create(CCoDevice::BurnerCallback, m_device, m_device->Id(), record->lastArgument) != DISC_OK)
        return E_FAIL;
    // An empty drive is never ready: look for the disc first, so that the
    // user is asked for one.
    for (;;) {
        uint32_t type = DISC_MT_NO_MEDIA;
        if (grabber.GetDiscType(&type) != DISC_OK) type = DISC_MT_NO_MEDIA;
        if (type != DISC_MT_NO_MEDIA) break;
        if (!job.AskForMedium(Itf(m_device), ASK_INSERT_DISC)) return SCARD_W_CANCELLED_BY_USER;
    }
    if (grabber.TestUnitReady(30) != DISC_OK) {
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
    uint32_t read = 0, maxRead = 0, write = 0, maxWrite = 0;
    if (grabber.SetSpeeds(0xFFFF, record->speed) != DISC_OK ||
        grabber.GetSpeeds(&read, &maxRead, &write, &maxWrite) != DISC_OK) {
        job.Status(ST_SPEED_FAILED);
        return E_FAIL;
    }
    record->speed = write;
    job.Start(record);
    LogPrintf("Erasing, speed = %i kbps\n", static_cast<int>(record->speed));
    const int blank = grabber.Blank(m_type == ERASE_FULL ? 0 : 1);
    LogPrintf("Erasing completed, speed = %i kbps\n", static_cast<int>(record->speed));
    return blank == DISC_OK ? S_OK : E_FAIL;
}
