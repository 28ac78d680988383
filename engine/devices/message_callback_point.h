// The _IMessageCallback connection point of an engine object: events go to
// every advised sink, each called outside the object's lock.
#pragma once
#include <engine.h>
#include <com/connection_point.h>

class MessageCallbackPoint : public com::ConnectionPoint {
public:
    explicit MessageCallbackPoint(com::ConnectionPointContainer* container)
        : ConnectionPoint(container, IID__IMessageCallback) {}

    // IMC_PostMessage on every sink; the last call's result, S_OK with none.
    HRESULT FirePost(unsigned msg, unsigned wParam, unsigned lParam)
    {
        return Fire<_IMessageCallback>(
            [&](_IMessageCallback* sink) { return sink->IMC_PostMessage(msg, wParam, lParam); });
    }

    // IMC_SendMessageRetVal on every sink, all writing into one answer: the
    // last sink's answer stands.
    HRESULT FireSendRetVal(unsigned* answer, unsigned msg, unsigned wParam, unsigned lParam)
    {
        return Fire<_IMessageCallback>([&](_IMessageCallback* sink) {
            return sink->IMC_SendMessageRetVal(answer, msg, wParam, lParam);
        });
    }

    // DM_QUESTION, sent: the answer starts as the question code and the
    // last sink's answer stands. With no sink advised, or when the last
    // call failed, the answer is 0: no one said to go on.
    unsigned Ask(unsigned cookie, unsigned question)
    {
        unsigned answer = question;
        HRESULT hr = E_FAIL;
        for (com::ComPtr<IUnknown>& sink : Sinks())
            hr = static_cast<_IMessageCallback*>(sink.Get())->IMC_SendMessageRetVal(&answer, DM_QUESTION, cookie,
                                                                                    question);
        return SUCCEEDED(hr) ? answer : 0;
    }
};
