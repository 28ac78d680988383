#include "jobs/job_frame.h"
#include "devices/device.h"
#include <shared/log.h>

HRESULT CJobFrame::Launch(std::unique_ptr<CJobFrame> job, unsigned cookie, unsigned speed, unsigned lastArgument)
{
    CCoDevice* device = job->m_device;
    const DWORD delay = job->m_traits.starterDelayMs;
    // Held through the starter's delay too: the worker's prepare waits for
    // the job method to return.
    com::ObjectLock<CCoDevice> lock(device);
    if (device->IsBusy()) {
        job->OnBusy();
        return STG_E_INUSE;
    }
    job->OnStarting(speed);
    job->m_cancelMark = device->CancelCount();
    const HRESULT hr = device->StartJob(cookie, speed, lastArgument, Thread, job.get());
    if (FAILED(hr)) {
        job->OnStartFailed();
        return hr == STG_E_INUSE ? hr : E_FAIL;
    }
    job->OnStarted();
    const char* started = job->StartedLine();
    job.release();  // the worker's now
    Sleep(delay);
    if (started) LogPrintf("%s", started);
    return S_OK;
}

HANDLE CJobFrame::LaunchHeld(std::unique_ptr<CJobFrame> job)
{
    CCoDevice* device = job->m_device;
    // Held for the thread, as a job method holds the device for its worker.
    device->HoldForWorker();
    job->m_cancelMark = device->CancelCount();
    HANDLE thread = CreateThread(nullptr, 0, Thread, job.get(), 0, nullptr);
    if (!thread) {
        CCoDevice::ReleaseWorkerHold(device);
        return nullptr;
    }
    job.release();  // the worker's now
    return thread;
}

bool CJobFrame::Cancelled() const
{
    if (m_device->CancelCount() == m_cancelMark) return false;
    LogPrintf("\tCancelled: the job stops before its next step");
    return true;
}

// A cancelled job ends as a cancelled write does: failed, not declined.
HRESULT CJobFrame::CancelledResult() { return E_FAIL; }

DWORD WINAPI CJobFrame::Thread(void* context)
{
    std::unique_ptr<CJobFrame> job(static_cast<CJobFrame*>(context));
    return job->Run();
}

DWORD CJobFrame::Run()
{
    CLogFunctionScope log(m_traits.workerLogName);
    Sleep(m_traits.workerDelayMs);
    HWND window = m_device->WindowHandle();
    if (!window || !IsWindow(window)) {
        OnWindowGone();
        CCoDevice::ReleaseWorkerHold(m_device);  // may free the device
        return static_cast<DWORD>(-1);
    }
    CJobMessenger job(window);
    JOB_STATE_RECORD record = {0, m_traits.kind};
    record.result = E_FAIL;
    job.Prepare(&record);
    AfterPrepare(&record);
    HRESULT result;
    try {
        result = Body(job, &record);
    } catch (...) {
        LogPrintf(m_traits.exceptionLine, static_cast<int>(record.speed));
        result = OnException(record);
    }
    End(job, &record, result);
    job.ReleaseDevice();  // last: it may free the device
    return 0;
}
