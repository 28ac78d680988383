// MdiFrameImpl: a multiple-document frame of our own window class. Its
// messages go to T's map, then to the system's frame procedure with the MDI
// client, which the frame creates in its client area.
//
//   class CMainFrame : public wnd::MdiFrameImpl<CMainFrame> { ... };
//   frame.Create(nullptr, nullptr, "Title", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, menu);
//   // in WM_CREATE: CreateMdiClient(windowMenu);
#pragma once
#include "window/window_impl.h"

namespace wnd {

class MdiFrame : public WindowObject {
public:
    HWND MdiClient() const { return m_mdiClient; }
    // The MDI client with the given control id (the first child gets
    // `firstChildId`); `windowMenu` receives the list of children.
    HWND CreateMdiClient(HMENU windowMenu = nullptr, UINT id = 0xE900, UINT firstChildId = 0xFF00);

    // The active child, or null; `maximized` tells whether it is maximised.
    HWND MdiGetActive(BOOL* maximized = nullptr) const;
    void MdiActivate(HWND child) const { ::SendMessageA(m_mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0); }
    void MdiMaximize(HWND child) const { ::SendMessageA(m_mdiClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0); }

    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    using WindowObject::DefWindowProc;

protected:
    HWND m_mdiClient = nullptr;
};

template <class T>
class MdiFrameImpl : public MdiFrame {
public:
    static WindowClassInfo& GetWindowClassInfo()
    {
        static WindowClassInfo info = {nullptr, 0, reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1), false, ""};
        return info;
    }

    HWND Create(HWND parent, const RECT* rect, const char* text, DWORD style, DWORD exStyle = 0,
                HMENU menu = nullptr, void* param = nullptr)
    {
        HINSTANCE module = com::ModuleInstance();
        const char* name = RegisterWindowClass(T::GetWindowClassInfo(), module);
        if (!name) return nullptr;
        return CreateBound(name, module, parent, rect, text, style, exStyle, reinterpret_cast<UINT_PTR>(menu), param);
    }
};

}  // namespace wnd
