// A client's _IMessageCallback sink for the tests: records every event with
// the thread it arrived on and answers questions with a set value.
#pragma once
#include <engine.h>
#include <com/object.h>
#include <functional>
#include <vector>

struct EngineEvent {
    unsigned message, wParam, lParam;
    bool sent;  // IMC_SendMessageRetVal
};

class CTestEventSink : public com::ObjectRoot<com::MultiThreadModel>, public _IMessageCallback {
public:
    COM_INTERFACES_BEGIN(CTestEventSink)
        COM_INTERFACE(_IMessageCallback)
    COM_INTERFACES_END()

    STDMETHODIMP IMC_SendMessageRetVal(unsigned int* answer, unsigned int msg, unsigned int w,
                                       unsigned int l) override;
    STDMETHODIMP IMC_SendMessage(unsigned int, unsigned int, unsigned int) override { return E_NOTIMPL; }
    STDMETHODIMP IMC_PostMessage(unsigned int msg, unsigned int w, unsigned int l) override;

    void SetAnswer(unsigned answer) { m_answer = answer; }
    // Runs before a question is answered (a script that inserts a disc, say).
    void OnQuestion(std::function<void(unsigned question)> script) { m_script = std::move(script); }
    // Pumps messages until an event of that number came or the time is up.
    bool WaitFor(unsigned message, DWORD ms);
    std::vector<EngineEvent> Events();
    // Forgets the events so far: the next job's are the only ones.
    void Clear();
    // The answer that was in the engine's variable when a question came.
    unsigned AnswerOnArrival() const { return m_answerOnArrival; }

private:
    void Record(const EngineEvent& e);
    std::vector<EngineEvent> m_events;
    std::function<void(unsigned)> m_script;
    unsigned m_answer = 1;
    unsigned m_answerOnArrival = 0;
};

// Connects `sink` to the _IMessageCallback point of an engine object, and
// takes it away again.
HRESULT AdviseSink(IUnknown* object, IUnknown* sink, DWORD* cookie);
void UnadviseSink(IUnknown* object, DWORD cookie);
