// WindowObject: the tie between a window handle and the C++ object whose
// message map handles its messages. No machine-code thunks: the object is
// kept as a window property and found from the window on every message.
//
// An object is bound to its window at the window's first message (for a
// window the object creates, before WM_NCCREATE; for a dialog, before its
// controls are created and WM_INITDIALOG arrives), and unbound after
// WM_NCDESTROY. OnFinalMessage runs once the outermost dispatch of that
// window has returned: a window destroyed inside one of its own handlers
// (WM_CLOSE calling DestroyWindow) gets it after that handler, so an object
// that owns itself may delete itself there, and nowhere else.
//
// No C++ exception leaves the window procedures: a handler's exception is
// reported through com::ReportGuarded and the message answered 0.
//
// Messages no map entry takes go to the default procedure; WM_NOTIFYFORMAT
// is answered NFR_ANSI by default, so that common controls send the ANSI
// forms of their notifications.
#pragma once
#include "window/message_map.h"
#include "window/window.h"

namespace wnd {

class WindowObject : public Window, public MessageMap {
public:
    WindowObject() = default;
    WindowObject(const WindowObject&) = delete;
    WindowObject& operator=(const WindowObject&) = delete;
    virtual ~WindowObject() = default;

    // The object bound to a window, or null.
    static WindowObject* FromHandle(HWND hWnd);

    // Takes over an existing window (a control of a dialog, say): its
    // messages go to this object's map, then to its former procedure.
    bool SubclassWindow(HWND hWnd);
    // Gives the window its former procedure back; returns the handle.
    HWND UnsubclassWindow();

    // The default procedure for the message being handled (for a handler
    // that wants the default behaviour first), or for another message. An
    // MDI frame or child puts its own default procedure in.
    LRESULT DefWindowProc();
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

    // After the window's last message.
    virtual void OnFinalMessage(HWND) {}

    // Window procedures of objects' windows and dialogs.
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
    // Creating calls that bind the new window to this object.
    HWND CreateBound(const char* className, HINSTANCE module, HWND parent, const RECT* rect, const char* text,
                     DWORD style, DWORD exStyle, UINT_PTR menuOrId, void* param);
    INT_PTR RunModalDialog(HINSTANCE module, int id, HWND parent, LPARAM init);
    HWND CreateModelessDialog(HINSTANCE module, int id, HWND parent, LPARAM init);
    // A modeless dialog from a template in memory.
    HWND CreateModelessDialog(HINSTANCE module, const DLGTEMPLATE* dialog, HWND parent, LPARAM init);

private:
    class Dispatch;
    void Bind(HWND hWnd);
    void Unbind();
    static WindowObject* TakePending();

    WNDPROC m_superProc = nullptr;  // null: DefWindowProcA (or the dialog manager)
    const MSG* m_current = nullptr;
    int m_depth = 0;         // dispatches of this window on the stack
    bool m_destroyed = false;  // WM_NCDESTROY came; OnFinalMessage is due
};

}  // namespace wnd
