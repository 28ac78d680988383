// A stand-in for the main frame: a top-level window with its own menu and
// an MDI client, hosting project windows as the application's frame does.
// It records the notices that project windows send it.
#pragma once
#include "frame_messages.h"
#include "hosting.h"
#include <window/window_impl.h>
#include <vector>

class CMainFrameStandIn : public wnd::WindowImpl<CMainFrameStandIn> {
public:
    CMainFrameStandIn();
    ~CMainFrameStandIn();

    WND_MSG_MAP_BEGIN(CMainFrameStandIn)
        WND_MESSAGE(WM_RECENTFILESCHANGED, OnRecentFilesChanged)
        WND_MESSAGE(WM_MDISETMENU, OnMdiSetMenu)
        WND_MESSAGE(WM_NOTIFY, OnNotify)
        WND_MESSAGE(WM_MENUSELECT, OnMenuSelect)
        WND_MESSAGE_RANGE(0, 0xFFFFFFFF, OnDefault)
    WND_MSG_MAP_END()

    HWND Client() const { return m_client; }
    HMENU OwnMenu() const { return m_menu; }
    // The active MDI child, or null.
    HWND ActiveChild() const;
    // Creates a project's window in the MDI client, then shows and
    // activates it as the main frame does after File > New.
    HRESULT OpenChild(IOwnWindow* own) const;
    // Sends a command the frame does not handle to the active child, as the
    // main frame forwards it.
    LRESULT Forward(WORD command) const;
    // Lets posted and sent messages through.
    static void Pump();

    // The WM_NOTIFY blocks that came in: wParam and the block's bytes
    // (an NMSIZEBARUPDATE for SIZEBARN_UPDATE, else the header).
    struct Notice {
        WPARAM wParam;
        std::vector<unsigned char> bytes;
    };
    std::vector<Notice> notices;
    int recentFilesChanged = 0;
    int ownMenuRestored = 0;
    int menuSelects = 0;

private:
    LRESULT OnRecentFilesChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMdiSetMenu(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnNotify(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMenuSelect(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDefault(UINT, WPARAM, LPARAM, BOOL&);

    HWND m_client = nullptr;
    HMENU m_menu = nullptr;
};
