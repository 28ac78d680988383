// ContainedWindow: a window that an object subclasses on behalf of another
// object (its container), whose messages go to one alternate section of the
// container's message map; what that section leaves goes to the window's own
// procedure.
//
//   class CSplitter : public wnd::WindowImpl<CSplitter> {
//       wnd::ContainedWindow m_button{this, 1};
//       WND_MSG_MAP_BEGIN(CSplitter)
//           ...
//       WND_ALT_MAP(1)
//           WND_MESSAGE(WM_MOUSEMOVE, OnButtonMouseMove)
//       WND_MSG_MAP_END()
//   };
//   m_button.SubclassWindow(::CreateWindowExA(0, "BUTTON", ...));
#pragma once
#include "window/window_object.h"

namespace wnd {

class ContainedWindow : public WindowObject {
public:
    ContainedWindow(MessageMap* container, DWORD mapId) : m_container(container), m_mapId(mapId) {}

    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                              DWORD) override
    {
        return m_container->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, m_mapId);
    }

private:
    MessageMap* m_container;
    DWORD m_mapId;
};

}  // namespace wnd
