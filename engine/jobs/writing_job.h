// CWritingJob: a job that writes its disc in passes. Each pass makes its own
// grabber, reads the medium and either writes or asks the user; a yes asks
// for another pass, with the drive erased first where the answer was to
// erase. Between passes no grabber is alive and the tray is unlocked, so the
// erase and the next pass find the drive free.
#pragma once
#include "jobs/job_frame.h"
#include "jobs/job_steps.h"
#include "devices/tray_lock.h"

class CWritingJob : public CJobFrame {
protected:
    // What one pass ends with besides its result.
    enum class Next { Done, Retry, EraseThenRetry };

    using CJobFrame::CJobFrame;

    HRESULT Body(CJobMessenger& job, JOB_STATE_RECORD* record) override;
    // One pass on a writable medium: `grabber` made for the job's buffer,
    // `medium` read from it and the tray locked (`tray`, which a pass may
    // release early). An empty drive or a medium that cannot be written
    // never reaches a pass: the user is asked for another first.
    virtual HRESULT Pass(CJobMessenger& job, JOB_STATE_RECORD* record, CGrabber& grabber,
                         const MEDIUM_STATE& medium, CTrayLock& tray, Next* next) = 0;

    // A finalized rewritable disc: the erase offered; declined, ST_FINALIZED
    // and the job cancelled.
    HRESULT AskEraseFinalized(CJobMessenger& job, Next* next);
    // Content larger than the medium's room: a rewritable disc with content
    // is offered the erase; any other is asked for a disc with room, with
    // the tray kept closed but unlocked (the user swaps the disc himself).
    HRESULT AskForRoom(CJobMessenger& job, const MEDIUM_STATE& medium, CTrayLock& tray, Next* next);
    // Asks a question that has the user change the disc: the tray lock is
    // let go first, so that the tray opens. True on yes.
    static bool AskForAnotherDisc(CJobMessenger& job, CTrayLock& tray, unsigned question);
    // The drive set up for the write: the speeds (false after
    // ST_SPEED_FAILED), calibration and buffer protection, a short pause,
    // then the start event with the write speed the drive took. False too
    // when the job was cancelled (the write must not begin).
    bool StartWriting(CJobMessenger& job, CGrabber& grabber, JOB_STATE_RECORD* record);

private:
    // Makes the pass's grabber and reads the medium; asks for a writable
    // one, or runs the pass with the tray locked.
    HRESULT OpenPass(CJobMessenger& job, JOB_STATE_RECORD* record, Next* next);
};
