// ContainedWindow: a window (a control, an MDI client) that an owner object
// subclasses and whose messages go to one alternate section of the owner's
// message map; what the section leaves goes to the window's own procedure.
//
//   WND_MSG_MAP_BEGIN(CMainFrame)
//       ...
//   WND_ALT_MAP(1)  // the MDI client
//       WND_MESSAGE(WM_MDIDESTROY, OnMdiDestroy)
//   WND_MSG_MAP_END()
//   wnd::ContainedWindow m_client{this, 1};  m_client.SubclassWindow(client);
#pragma once
#include "window/window_object.h"

namespace wnd {

class ContainedWindow : public WindowObject {
public:
    ContainedWindow(MessageMap* owner, DWORD mapId) : m_owner(owner), m_mapId(mapId) {}

    BOOL ProcessWindowMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD) override
    {
        return m_owner->ProcessWindowMessage(hWnd, msg, wParam, lParam, result, m_mapId);
    }

private:
    MessageMap* m_owner;
    DWORD m_mapId;
};

}  // namespace wnd
