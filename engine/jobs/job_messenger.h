// What a job's worker thread tells its device: the phases of the job,
// questions to the user, status words, medium checks and the disc layer's
// progress. Each call sends a message to the device's window and returns
// once the window's thread has handled it (and fired its event), so the
// events leave the engine in the order of the calls.
//
// Never call these while holding the device lock: the handlers take it.
// A job on the job frame (job_frame.h) writes only the middle of this: the
// frame starts the worker, prepares, ends and lets the device go.
//
//   device->StartJob(cookie, speed, lastArgument, Worker, context);   // in the job method
//   CJobMessenger job(device->WindowHandle());       // on the worker
//   JOB_STATE_RECORD record = {0, JOB_DATA};
//   job.Prepare(&record);                            // fills speed, address, last argument
//   if (!job.AskForMedium(device, ASK_INSERT_DISC)) ...
//   job.Status(ST_SENDING_OPC, opcResult);
//   job.Start(&record);
//   ...                                              // the layer's callback reports progress
//   job.End(&record, S_OK);
//   job.ReleaseDevice();                             // the worker's last word
#pragma once
#include <engine.h>
#include "jobs/job_messages.h"

class CJobMessenger {
public:
    explicit CJobMessenger(HWND deviceWindow) : m_window(deviceWindow) {}

    void Prepare(JOB_STATE_RECORD* record) { SendPhase(record, JOB_PHASE_PREPARE); }
    void Start(JOB_STATE_RECORD* record) { SendPhase(record, JOB_PHASE_START); }
    void End(JOB_STATE_RECORD* record, HRESULT result);
    // DM_QUESTION; the client's answer, 1 to go on (0 when no one answers).
    unsigned Ask(unsigned question);
    // DM_STATUS with the code in the low word and the flag in the high word.
    void Status(unsigned code, unsigned flag = 0);
    // Rescans the medium; DM_MEDIUMCHANGED unless the drive is empty.
    void CheckMedium();
    // Opens the tray and asks for a medium; on the answer 1 closes the tray,
    // checks the new medium and reports true.
    bool AskForMedium(IDevice* device, unsigned question);
    // One report of the disc layer's progress callback.
    void Progress(uint32_t reason, void* param1, void* param2);
    // WM_JOB_REF 0: CCoDevice::StartJob holds the device and the engine
    // for the worker; the worker lets both go with its last message.
    void ReleaseDevice();

private:
    void SendPhase(JOB_STATE_RECORD* record, uint32_t phase);
    LRESULT Send(UINT msg, WPARAM wParam) const { return SendMessageA(m_window, msg, wParam, 0); }

    HWND m_window;
};
