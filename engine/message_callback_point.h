// The _IMessageCallback connection point of an engine object: events go to
// every advised sink, each called outside the object's lock.
#pragma once
#include "engine.h"
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
};
