// CJobFrame: the one frame every engine job runs on. A job class derives
// from it, names its kind, its worker's log name and its delays in a
// JOB_TRAITS, and writes its body; the frame does the rest, in this order:
//
//   starter (the job method's thread)   worker (a thread of the job's own)
//   under the device lock:              the worker's function scope
//     busy check (STG_E_INUSE)          worker delay
//     OnStarting                        window check (gone: OnWindowGone,
//     CCoDevice::StartJob                 the hold given back, -1)
//       (the hold: a reference on       Prepare, AfterPrepare
//        the device and a server lock)  Body (an exception: OnException)
//     OnStarted                         End (the job's own end steps)
//     starter delay                     the hold given back, last
//
// A new job:
//
//   class CAudioBurnJob : public CJobFrame {
//   public:
//       static HRESULT Start(CCoDevice* device, unsigned cookie, unsigned speed, ...)
//       {
//           return Launch(std::unique_ptr<CJobFrame>(new CAudioBurnJob(device, ...)), cookie, speed,
//                         lastArgument);
//       }
//   private:
//       static const JOB_TRAITS TRAITS;  // {JOB_AUDIO, "_VK_BurnAudioThread", 500, 800, ...}
//       HRESULT Body(CJobMessenger& job, JOB_STATE_RECORD* record) override;
//   };
//
// The steps that several jobs take on the medium are in job_steps.h.
#pragma once
#include "jobs/job_messenger.h"
#include <memory>

class CCoDevice;

struct JOB_TRAITS {
    uint32_t kind;                // JOB_KIND of the records and events
    const char* workerLogName;    // the worker's function scope in the log
    DWORD starterDelayMs;         // the job method waits so long after the start
    DWORD workerDelayMs;          // the worker waits so long before its window check
    const char* exceptionLine;    // logged when the body throws
};

class CJobFrame {
public:
    virtual ~CJobFrame() = default;
    CJobFrame(const CJobFrame&) = delete;
    CJobFrame& operator=(const CJobFrame&) = delete;

protected:
    CJobFrame(CCoDevice* device, const JOB_TRAITS& traits) : m_device(device), m_traits(traits) {}

    // The starter of a job method: STG_E_INUSE when the device is busy,
    // E_FAIL when the worker cannot start; else S_OK, the job the worker's.
    static HRESULT Launch(std::unique_ptr<CJobFrame> job, unsigned cookie, unsigned speed,
                          unsigned lastArgument);
    // Starts the worker on a device that another job's worker holds (an
    // erase inside a burn), with a hold of its own: the thread, or null
    // when it could not start (the job then deleted).
    static HANDLE LaunchHeld(std::unique_ptr<CJobFrame> job);

    // The job's own work between its prepare and its end phase.
    virtual HRESULT Body(CJobMessenger& job, JOB_STATE_RECORD* record) = 0;

    // Hooks of the starter, under the device lock, the job still its own.
    virtual void OnBusy() {}
    virtual void OnStarting(unsigned /*speed*/) {}
    virtual void OnStartFailed() {}
    virtual void OnStarted() {}
    // Logged after the starter's delay (null: nothing).
    virtual const char* StartedLine() const { return nullptr; }

    // Hooks of the worker.
    virtual void OnWindowGone() {}
    virtual void AfterPrepare(JOB_STATE_RECORD* /*record*/) {}
    // The exception line is logged; the result the job ends with.
    virtual HRESULT OnException(const JOB_STATE_RECORD& /*record*/) { return E_FAIL; }
    // The end steps, in the job's order; the end phase must be among them.
    virtual void End(CJobMessenger& job, JOB_STATE_RECORD* record, HRESULT result) { job.End(record, result); }

    // True once Cancel reached the device after the job started: a job
    // checks it between its steps and before each disc-layer call, and
    // then ends with CancelledResult(), the disc as it was.
    bool Cancelled() const;
    static HRESULT CancelledResult();

    CCoDevice* m_device;  // held for the worker through its hold
    const JOB_TRAITS& m_traits;

private:
    static DWORD WINAPI Thread(void* context);
    // The thread's result: 0, or -1 when the device window was gone.
    DWORD Run();

    uint32_t m_cancelMark = 0;  // the device's cancel count at the start
};
