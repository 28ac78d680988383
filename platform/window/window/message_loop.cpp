#include "window/message_loop.h"
#include <algorithm>

namespace wnd {

namespace {

thread_local MessageLoop* t_current = nullptr;

template <class T>
void RemoveFrom(std::vector<T*>& list, T* item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

// Messages after which the loop goes idle again (input and painting; not
// the timer and mouse-move traffic that would keep it busy for nothing).
bool EndsBusySpell(const MSG& msg)
{
    switch (msg.message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_PAINT:
    case 0x0118:  // the caret's blink timer
        return false;
    default:
        return true;
    }
}

}  // namespace

void MessageLoop::AddMessageFilter(MessageFilter* filter) { m_filters.push_back(filter); }
void MessageLoop::RemoveMessageFilter(MessageFilter* filter) { RemoveFrom(m_filters, filter); }
void MessageLoop::AddIdleHandler(IdleHandler* handler) { m_idleHandlers.push_back(handler); }
void MessageLoop::RemoveIdleHandler(IdleHandler* handler) { RemoveFrom(m_idleHandlers, handler); }

BOOL MessageLoop::PreTranslateMessage(MSG* msg)
{
    // A filter may remove itself (its window closing): walk a copy.
    std::vector<MessageFilter*> filters(m_filters.rbegin(), m_filters.rend());
    for (MessageFilter* filter : filters)
        if (filter->PreTranslateMessage(msg)) return TRUE;
    return FALSE;
}

void MessageLoop::OnIdle()
{
    std::vector<IdleHandler*> handlers(m_idleHandlers);
    for (IdleHandler* handler : handlers) handler->OnIdle();
}

int MessageLoop::Run()
{
    bool idle = true;
    MSG msg;
    for (;;) {
        while (idle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            OnIdle();
            idle = false;
        }
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1) continue;
        if (!got) return static_cast<int>(msg.wParam);
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (EndsBusySpell(msg)) idle = true;
    }
}

MessageLoop* MessageLoop::Current() { return t_current; }

MessageLoop::Registration::Registration(MessageLoop& loop) : m_previous(t_current) { t_current = &loop; }
MessageLoop::Registration::~Registration() { t_current = m_previous; }

}  // namespace wnd
