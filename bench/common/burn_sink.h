// What the engine benchmarks share as the engine's client: a millisecond
// stopwatch, and the event sink of a burn or a grab that answers every
// question yes and times the job from its start event to its end.
#pragma once
#include <engine.h>
#include <com/object.h>
#include <windows.h>

namespace bench {

class Stopwatch {
public:
    Stopwatch() { QueryPerformanceFrequency(&m_frequency); QueryPerformanceCounter(&m_start); }
    double Ms() const
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return double(now.QuadPart - m_start.QuadPart) * 1000.0 / double(m_frequency.QuadPart);
    }
private:
    LARGE_INTEGER m_frequency, m_start;
};

class CBurnSink : public com::ObjectRoot<com::MultiThreadModel>, public _IMessageCallback {
public:
    COM_INTERFACES_BEGIN(CBurnSink)
        COM_INTERFACE(_IMessageCallback)
    COM_INTERFACES_END()

    STDMETHODIMP IMC_SendMessageRetVal(unsigned int* answer, unsigned int, unsigned int, unsigned int) override
    {
        if (answer) *answer = 1;
        return S_OK;
    }
    STDMETHODIMP IMC_SendMessage(unsigned int, unsigned int, unsigned int) override { return E_NOTIMPL; }
    STDMETHODIMP IMC_PostMessage(unsigned int msg, unsigned int, unsigned int l) override
    {
        if (msg == DM_BURNSTART || msg == DM_GRABSTART) m_started = m_clock.Ms();
        if (msg == DM_BURNEND || msg == DM_GRABEND) {
            m_ended = m_clock.Ms();
            m_result = l;
            m_done = true;
        }
        return S_OK;
    }
    // Serves the engine's calls into this apartment until the end event.
    bool WaitEnd(DWORD ms)
    {
        const DWORD start = GetTickCount();
        while (!m_done && GetTickCount() - start < ms) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        return m_done;
    }
    unsigned Result() const { return m_result; }
    double WriteMs() const { return m_ended - m_started; }

private:
    Stopwatch m_clock;
    volatile bool m_done = false;
    double m_started = 0, m_ended = 0;
    unsigned m_result = 0;
};

}  // namespace bench
