// Message maps: a window or dialog class (or a mixin of one) declares which
// of its member functions handle which messages. The map is a function,
// ProcessWindowMessage, that the macros write; it returns TRUE when an
// entry took the message, with the result in `lResult`.
//
//   class CMyDialog : public wnd::DialogImpl<CMyDialog>, public CSomeMixin<CMyDialog> {
//   public:
//       enum { IDD = 101 };
//       WND_MSG_MAP_BEGIN(CMyDialog)
//           WND_MESSAGE(WM_INITDIALOG, OnInitDialog)
//           WND_COMMAND(IDOK, OnOk)
//           WND_COMMAND_RANGE(200, 210, OnButton)
//           WND_NOTIFY(IDC_LIST, LVN_ITEMCHANGED, OnItemChanged)
//           WND_CHAIN(CSomeMixin<CMyDialog>)
//       WND_MSG_MAP_END()
//   };
//
// Handlers (`handled` is TRUE on entry; set it FALSE to let later entries
// and the default procedure see the message):
//   LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);
//   LRESULT OnCommand(WORD code, WORD id, HWND control, BOOL& handled);
//   LRESULT OnNotify(int id, NMHDR* header, BOOL& handled);
//
// Entries are tried in order. A map may hold alternate sections
// (WND_ALT_MAP(n)) for windows that an object subclasses or contains;
// a window's own messages go to section 0. A mixin's map chained with
// WND_CHAIN sees the same section number.
#pragma once
#include <windows.h>
#include <commctrl.h>

namespace wnd {

// What every window or dialog object offers its window procedure.
class MessageMap {
public:
    virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                      LRESULT& lResult, DWORD dwMapId) = 0;
protected:
    ~MessageMap() = default;
};

// A parent hands the notifications of a control back to the control as
// message REFLECT_BASE + original message (the control, subclassed by an
// object, handles them in its own map).
enum : UINT { REFLECT_BASE = WM_USER + 0x1C00 };

// Sends a control's notification (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM,
// WM_MEASUREITEM, WM_DELETEITEM, WM_COMPAREITEM, WM_CTLCOLOR*, WM_HSCROLL,
// WM_VSCROLL) back to the control. `handled` is FALSE for other messages
// and for notifications that name no control.
LRESULT ReflectNotification(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam, BOOL& handled);

inline UINT NotifyCode(LPARAM lParam) { return reinterpret_cast<const NMHDR*>(lParam)->code; }
inline UINT_PTR NotifyId(LPARAM lParam) { return reinterpret_cast<const NMHDR*>(lParam)->idFrom; }

}  // namespace wnd

#define WND_MSG_MAP_BEGIN(cls)                                                              \
public:                                                                                     \
    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,           \
                              LRESULT& lResult, DWORD dwMapId = 0)                          \
    {                                                                                       \
        BOOL bHandled = TRUE;                                                               \
        (void)hWnd; (void)wParam; (void)lParam; (void)lResult; (void)bHandled;              \
        switch (dwMapId) {                                                                  \
        case 0: {

#define WND_ALT_MAP(n) } break; case (n): {

#define WND_MSG_MAP_END() } break; default: break; } return FALSE; }

// Runs one handler call `call`; returns from the map when it kept `bHandled`.
#define WND_HANDLE_(call)                 \
    {                                     \
        bHandled = TRUE;                  \
        lResult = call;                   \
        if (bHandled) return TRUE;        \
    }

#define WND_MESSAGE(msg, fn) \
    if (uMsg == (msg)) WND_HANDLE_(fn(uMsg, wParam, lParam, bHandled))

#define WND_MESSAGE_RANGE(first, last, fn) \
    if (uMsg >= (first) && uMsg <= (last)) WND_HANDLE_(fn(uMsg, wParam, lParam, bHandled))

#define WND_COMMAND_CALL_(fn) fn(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled)

// Any notification code from the command identifier (menus, accelerators, controls).
#define WND_COMMAND(id, fn) \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id)) WND_HANDLE_(WND_COMMAND_CALL_(fn))

#define WND_COMMAND_CODE(id, code, fn)                                          \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (code)) \
    WND_HANDLE_(WND_COMMAND_CALL_(fn))

#define WND_COMMAND_RANGE(first, last, fn)                                       \
    if (uMsg == WM_COMMAND && LOWORD(wParam) >= (first) && LOWORD(wParam) <= (last)) \
    WND_HANDLE_(WND_COMMAND_CALL_(fn))

#define WND_NOTIFY_CALL_(fn) fn(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam), bHandled)

// A notification code from any control.
#define WND_NOTIFY_CODE(code, fn)                                                  \
    if (uMsg == WM_NOTIFY && ::wnd::NotifyCode(lParam) == static_cast<UINT>(code)) \
    WND_HANDLE_(WND_NOTIFY_CALL_(fn))

// A notification code from one control.
#define WND_NOTIFY(id, code, fn)                                                   \
    if (uMsg == WM_NOTIFY && ::wnd::NotifyId(lParam) == static_cast<UINT_PTR>(id) && \
        ::wnd::NotifyCode(lParam) == static_cast<UINT>(code))                      \
    WND_HANDLE_(WND_NOTIFY_CALL_(fn))

// Every notification of one control.
#define WND_NOTIFY_ID(id, fn) \
    if (uMsg == WM_NOTIFY && ::wnd::NotifyId(lParam) == static_cast<UINT_PTR>(id)) WND_HANDLE_(WND_NOTIFY_CALL_(fn))

// Hands the message to the map of a base class or mixin (the name may hold
// template arguments).
#define WND_CHAIN(...) \
    if (__VA_ARGS__::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, dwMapId)) return TRUE;

// Hands the message to the map of a member object (a helper that is not a base).
#define WND_CHAIN_MEMBER(member) \
    if ((member).ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, dwMapId)) return TRUE;

// Sends controls' notifications back to them; put it last in the map.
#define WND_REFLECT_NOTIFICATIONS() \
    WND_HANDLE_(::wnd::ReflectNotification(hWnd, uMsg, wParam, lParam, bHandled))

// Entries of a control for what its parent reflected to it.
#define WND_REFLECTED_COMMAND_CODE(code, fn)                                                  \
    if (uMsg == ::wnd::REFLECT_BASE + WM_COMMAND && HIWORD(wParam) == (code))                 \
    WND_HANDLE_(WND_COMMAND_CALL_(fn))

#define WND_REFLECTED_NOTIFY_CODE(code, fn)                                                   \
    if (uMsg == ::wnd::REFLECT_BASE + WM_NOTIFY && ::wnd::NotifyCode(lParam) == static_cast<UINT>(code)) \
    WND_HANDLE_(WND_NOTIFY_CALL_(fn))

#define WND_REFLECTED_MESSAGE(msg, fn) \
    if (uMsg == ::wnd::REFLECT_BASE + (msg)) WND_HANDLE_(fn(uMsg, wParam, lParam, bHandled))
