// DialogImpl: a dialog from the dialog resource T::IDD of the module that
// compiles T in, modal or modeless, whose messages go to T's message map.
//
//   class CAboutDialog : public wnd::DialogImpl<CAboutDialog> {
//   public:
//       enum { IDD = 301 };
//       WND_MSG_MAP_BEGIN(CAboutDialog)
//           WND_MESSAGE(WM_INITDIALOG, OnInitDialog)
//           WND_COMMAND(IDCANCEL, OnClose)
//       WND_MSG_MAP_END()
//       LRESULT OnClose(WORD, WORD, HWND, BOOL&) { EndDialog(IDCANCEL); return 0; }
//   };
//   INT_PTR result = CAboutDialog().DoModal(owner);
//
// A handler's result is the message's result (DWLP_MSGRESULT, or the
// return value for WM_INITDIALOG, WM_CTLCOLOR* and the few others the
// dialog manager reads so). An unhandled message goes to the dialog manager.
#pragma once
#include "window/window_object.h"
#include <com/module.h>

namespace wnd {

template <class T>
class DialogImpl : public WindowObject {
public:
    // The module whose resources hold the template; T may hide it.
    static HINSTANCE DialogModule() { return com::ModuleInstance(); }

    // What EndDialog was given; -1 (or 0 when `owner` is not a window)
    // when the dialog could not be made.
    INT_PTR DoModal(HWND owner = ::GetActiveWindow(), LPARAM init = 0)
    {
        return RunModalDialog(T::DialogModule(), T::IDD, owner, init);
    }
    // A modeless dialog; destroy it with Destroy(). Its keyboard interface
    // needs IsDialogMessage in the thread's message loop.
    HWND Create(HWND owner, LPARAM init = 0)
    {
        return CreateModelessDialog(T::DialogModule(), T::IDD, owner, init);
    }
    // Ends a modal dialog with `result`.
    BOOL EndDialog(INT_PTR result) { return ::EndDialog(m_hWnd, result); }
};

}  // namespace wnd
