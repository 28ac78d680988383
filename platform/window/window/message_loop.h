// MessageLoop: a thread's message loop with message filters, which see each
// queued message before it is translated and dispatched (accelerators,
// keyboard interfaces), and idle handlers, which run when the queue has
// emptied (updating toolbars from the update-UI state).
//
//   wnd::MessageLoop loop;
//   wnd::MessageLoop::Registration registered(loop);  // the thread's loop
//   ... windows add their filters through MessageLoop::Current() ...
//   int code = loop.Run();
#pragma once
#include <windows.h>
#include <vector>

namespace wnd {

class MessageFilter {
public:
    // TRUE when the message was taken (it is then not dispatched).
    virtual BOOL PreTranslateMessage(MSG* msg) = 0;
protected:
    ~MessageFilter() = default;
};

class IdleHandler {
public:
    virtual BOOL OnIdle() = 0;
protected:
    ~IdleHandler() = default;
};

class MessageLoop {
public:
    void AddMessageFilter(MessageFilter* filter);
    void RemoveMessageFilter(MessageFilter* filter);
    void AddIdleHandler(IdleHandler* handler);
    void RemoveIdleHandler(IdleHandler* handler);

    // Until WM_QUIT; returns its exit code.
    int Run();
    // What the filters say of one message, the last added first.
    BOOL PreTranslateMessage(MSG* msg);
    void OnIdle();

    // The loop registered for the calling thread, or null.
    static MessageLoop* Current();

    // Registers a loop for the calling thread for the scope's life.
    class Registration {
    public:
        explicit Registration(MessageLoop& loop);
        ~Registration();
        Registration(const Registration&) = delete;
        Registration& operator=(const Registration&) = delete;
    private:
        MessageLoop* m_previous;
    };

private:
    std::vector<MessageFilter*> m_filters;
    std::vector<IdleHandler*> m_idleHandlers;
};

}  // namespace wnd
