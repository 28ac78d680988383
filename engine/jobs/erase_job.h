// The erase job: blanks a rewritable disc with a grabber of its own on the
// job frame, either for IWriter::Erase or inside a burn
// job that asked the user first (an internal erase). Its events are
// DM_ERASEPREPARE, DM_ERASESTART and DM_ERASEEND with the device's cookie.
#pragma once
#include "jobs/job_frame.h"

enum ERASE_TYPE : uint32_t { ERASE_FULL = 1, ERASE_QUICK = 2 };

// The record that asks the device window for an internal erase: kind
// JOB_INTERNAL_ERASE, phase JOB_PHASE_INTERNAL. The window starts the erase
// thread and answers in `result` (negative when it could not) and `thread`;
// the erase's own end result arrives in `eraseResult`.
struct INTERNAL_ERASE_RECORD {
    JOB_STATE_RECORD job;
    HANDLE thread;
    HRESULT eraseResult;
};

class CEraseJob : public CJobFrame {
public:
    // IWriter::Erase: STG_E_INUSE when the device is busy, E_FAIL when the
    // worker cannot start.
    static HRESULT Start(CCoDevice* device, unsigned cookie, unsigned speed, bool full);
    // On the device window's thread: starts a quick erase inside the running
    // job and fills the request record.
    static void StartInternal(CCoDevice* device, INTERNAL_ERASE_RECORD* request);
    // On a burn worker: runs an internal erase through the device window
    // and waits for its end. The erase's result; E_FAIL when it could not
    // start.
    static HRESULT RunInternal(HWND deviceWindow);

private:
    static const JOB_TRAITS TRAITS;

    CEraseJob(CCoDevice* device, ERASE_TYPE type, HRESULT* resultOut)
        : CJobFrame(device, TRAITS), m_type(type), m_resultOut(resultOut) {}
    void OnBusy() override;
    void OnStarting(unsigned speed) override;
    void OnStartFailed() override;
    void OnStarted() override;
    const char* StartedLine() const override { return "Erasing thread started successfully"; }
    void OnWindowGone() override;
    void AfterPrepare(JOB_STATE_RECORD* record) override;
    HRESULT OnException(const JOB_STATE_RECORD& record) override { return record.result; }
    HRESULT Body(CJobMessenger& job, JOB_STATE_RECORD* record) override;
    void End(CJobMessenger& job, JOB_STATE_RECORD* record, HRESULT result) override;

    ERASE_TYPE m_type;
    HRESULT* m_resultOut;  // an internal erase's waiting caller; null otherwise
};
