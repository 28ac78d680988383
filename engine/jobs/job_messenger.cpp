#include "jobs/job_messenger.h"

void CJobMessenger::SendPhase(JOB_STATE_RECORD* record, uint32_t phase)
{
    record->phase = phase;
    Send(WM_JOB_STATE, reinterpret_cast<WPARAM>(record));
}

void CJobMessenger::End(JOB_STATE_RECORD* record, HRESULT result)
{
    record->result = result;
    SendPhase(record, JOB_PHASE_END);
}

unsigned CJobMessenger::Ask(unsigned question) { return static_cast<unsigned>(Send(WM_ASK_USER, question)); }

void CJobMessenger::Status(unsigned code, unsigned flag) { Send(WM_JOB_STATUS, StatusWord(code, flag)); }

void CJobMessenger::CheckMedium() { Send(WM_CHECK_MEDIUM, 0); }

bool CJobMessenger::AskForMedium(IDevice* device, unsigned question)
{
    device->Eject();
    if (Ask(question) != 1) return false;
    // Yes closes the tray, as the user pushes it in: a virtual drive has
    // no one else to do it, and a disc put in meanwhile is then found.
    device->Load();
    CheckMedium();
    return true;
}

void CJobMessenger::Progress(uint32_t reason, void* param1, void* param2)
{
    BURNER_CALLBACK_RECORD record = {reason, param1, param2};
    Send(WM_BURNER_CALLBACK, reinterpret_cast<WPARAM>(&record));
}

void CJobMessenger::ReleaseDevice() { Send(WM_JOB_REF, 0); }
