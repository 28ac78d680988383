// Lets a window thread's waiting messages through during long work on it
// (painting, the cancel request), without waiting for new ones.
#pragma once
#include <windows.h>

// Dispatches every message waiting now; a WM_QUIT is put back for the
// thread's own loop and ends the pumping.
void PumpWaitingMessages();

// Pumps at most once a period: a look into the queue is a round trip to the
// window server under Wine, too dear to make after every file of an add,
// while a user's Stop is still seen within the period.
class CPeriodicPump {
public:
    static const DWORD DEFAULT_PERIOD_MS = 20;
    explicit CPeriodicPump(DWORD periodMs = DEFAULT_PERIOD_MS) : m_period(periodMs), m_last(GetTickCount()) {}
    void Pump()
    {
        if (GetTickCount() - m_last < m_period) return;
        PumpWaitingMessages();
        m_last = GetTickCount();
    }

private:
    DWORD m_period;
    DWORD m_last;
};
