#include "window/window_object.h"
#include <com/guard.h>

namespace wnd {

namespace {

const char kObjectProperty[] = "Tavell.WindowObject";

thread_local WindowObject* t_pending = nullptr;

// Dialog messages whose result is the dialog procedure's return value
// rather than DWLP_MSGRESULT.
bool ReturnsDirectly(UINT msg)
{
    switch (msg) {
    case WM_INITDIALOG:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return true;
    default:
        return false;
    }
}

bool IsNotifyFormatQuery(UINT msg, LPARAM lParam) { return msg == WM_NOTIFYFORMAT && lParam == NF_QUERY; }

// Restores the message an object was handling when a handler returns.
class CurrentMessage {
public:
    CurrentMessage(const MSG*& slot, const MSG* msg) : m_slot(slot), m_saved(slot) { m_slot = msg; }
    ~CurrentMessage() { m_slot = m_saved; }
private:
    const MSG*& m_slot;
    const MSG* m_saved;
};

// The object the next window created on this thread binds to, for the
// duration of the creating call.
class PendingBinding {
public:
    explicit PendingBinding(WindowObject* object) { t_pending = object; }
    ~PendingBinding() { t_pending = nullptr; }
};

// Runs a handler under the guard: no exception leaves a window procedure.
template <class Body>
bool RunGuarded(const char* where, Body&& body)
{
    return SUCCEEDED(com::Guarded(where, [&] {
        body();
        return S_OK;
    }));
}

}  // namespace

// One dispatch of a message to an object. The outermost dispatch of a
// window that got WM_NCDESTROY calls OnFinalMessage as it ends, when no
// handler of the object is left on the stack.
class WindowObject::Dispatch {
public:
    Dispatch(WindowObject* self, HWND hWnd) : m_self(self), m_hWnd(hWnd) { ++m_self->m_depth; }
    ~Dispatch()
    {
        if (--m_self->m_depth > 0 || !m_self->m_destroyed) return;
        m_self->m_destroyed = false;
        // Last use of the object here: OnFinalMessage may delete it.
        WindowObject* self = m_self;
        HWND hWnd = m_hWnd;
        RunGuarded("wnd::WindowObject::OnFinalMessage", [&] { self->OnFinalMessage(hWnd); });
    }
    Dispatch(const Dispatch&) = delete;
    Dispatch& operator=(const Dispatch&) = delete;

private:
    WindowObject* m_self;
    HWND m_hWnd;
};

HWND WindowObject::CreateBound(const char* className, HINSTANCE module, HWND parent, const RECT* rect,
                               const char* text, DWORD style, DWORD exStyle, UINT_PTR menuOrId, void* param)
{
    if (m_hWnd) return nullptr;
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = CW_USEDEFAULT, height = CW_USEDEFAULT;
    if (rect) {
        x = rect->left;
        y = rect->top;
        width = rect->right - rect->left;
        height = rect->bottom - rect->top;
    } else if (style & WS_CHILD) {
        x = y = width = height = 0;
    }
    PendingBinding binding(this);
    return ::CreateWindowExA(exStyle, className, text, style, x, y, width, height, parent,
                             reinterpret_cast<HMENU>(menuOrId), module, param);
}

INT_PTR WindowObject::RunModalDialog(HINSTANCE module, int id, HWND parent, LPARAM init)
{
    if (m_hWnd) return -1;
    PendingBinding binding(this);
    return ::DialogBoxParamA(module, MAKEINTRESOURCEA(id), parent, &WindowObject::DialogProc, init);
}

HWND WindowObject::CreateModelessDialog(HINSTANCE module, int id, HWND parent, LPARAM init)
{
    if (m_hWnd) return nullptr;
    PendingBinding binding(this);
    return ::CreateDialogParamA(module, MAKEINTRESOURCEA(id), parent, &WindowObject::DialogProc, init);
}

HWND WindowObject::CreateModelessDialog(HINSTANCE module, const DLGTEMPLATE* dialog, HWND parent, LPARAM init)
{
    if (m_hWnd) return nullptr;
    PendingBinding binding(this);
    return ::CreateDialogIndirectParamA(module, dialog, parent, &WindowObject::DialogProc, init);
}

WindowObject* WindowObject::TakePending()
{
    WindowObject* object = t_pending;
    t_pending = nullptr;
    return object;
}

WindowObject* WindowObject::FromHandle(HWND hWnd)
{
    return static_cast<WindowObject*>(::GetPropA(hWnd, kObjectProperty));
}

void WindowObject::Bind(HWND hWnd)
{
    m_hWnd = hWnd;
    ::SetPropA(hWnd, kObjectProperty, this);
}

void WindowObject::Unbind()
{
    ::RemovePropA(m_hWnd, kObjectProperty);
    m_hWnd = nullptr;
    m_superProc = nullptr;
}

bool WindowObject::SubclassWindow(HWND hWnd)
{
    if (m_hWnd || !::IsWindow(hWnd) || FromHandle(hWnd)) return false;
    Bind(hWnd);
    m_superProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowObject::WindowProc)));
    if (!m_superProc) { Unbind(); return false; }
    return true;
}

HWND WindowObject::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (!hWnd || !m_superProc) return nullptr;
    ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superProc));
    Unbind();
    return hWnd;
}

LRESULT WindowObject::DefWindowProc()
{
    return m_current ? DefWindowProc(m_current->message, m_current->wParam, m_current->lParam) : 0;
}

LRESULT WindowObject::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (m_superProc) return ::CallWindowProcA(m_superProc, m_hWnd, msg, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, msg, wParam, lParam);
}

LRESULT CALLBACK WindowObject::WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WindowObject* self = FromHandle(hWnd);
    if (!self && (self = TakePending())) self->Bind(hWnd);
    if (!self) return ::DefWindowProcA(hWnd, msg, wParam, lParam);

    MSG current = {hWnd, msg, wParam, lParam, 0, {0, 0}};
    LRESULT result = 0;
    Dispatch dispatch(self, hWnd);
    {
        CurrentMessage scope(self->m_current, &current);
        if (!RunGuarded("wnd::WindowObject::WindowProc", [&] {
                if (!self->ProcessWindowMessage(hWnd, msg, wParam, lParam, result, 0))
                    result = IsNotifyFormatQuery(msg, lParam) ? NFR_ANSI : self->DefWindowProc();
            }))
            result = 0;
    }
    if (msg == WM_NCDESTROY) {
        // A subclassed window gets its own procedure back for what is left.
        if (self->m_superProc)
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->m_superProc));
        self->Unbind();
        self->m_destroyed = true;
    }
    return result;
}

INT_PTR CALLBACK WindowObject::DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WindowObject* self = FromHandle(hWnd);
    if (!self && (self = TakePending())) self->Bind(hWnd);
    if (!self) {
        if (!IsNotifyFormatQuery(msg, lParam)) return FALSE;
        ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, NFR_ANSI);
        return TRUE;
    }

    MSG current = {hWnd, msg, wParam, lParam, 0, {0, 0}};
    LRESULT result = 0;
    BOOL handled = FALSE;
    Dispatch dispatch(self, hWnd);
    {
        CurrentMessage scope(self->m_current, &current);
        // A handler that threw has taken the message: it answers 0.
        if (!RunGuarded("wnd::WindowObject::DialogProc",
                        [&] { handled = self->ProcessWindowMessage(hWnd, msg, wParam, lParam, result, 0); })) {
            handled = TRUE;
            result = 0;
        }
    }
    if (msg == WM_NCDESTROY) {
        self->Unbind();
        self->m_destroyed = true;
        return handled;
    }
    if (!handled) {
        if (!IsNotifyFormatQuery(msg, lParam)) return FALSE;
        result = NFR_ANSI;
    }
    if (ReturnsDirectly(msg)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace wnd
