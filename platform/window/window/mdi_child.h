// MdiChildImpl: an MDI child of our own window class inside a frame's MDI
// client; unhandled messages go to the system's MDI child procedure.
#pragma once
#include "window/window_impl.h"
#include <algorithm>

namespace wnd {

class MdiChild : public WindowObject {
public:
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        return ::DefMDIChildProcA(m_hWnd, msg, wParam, lParam);
    }
    using WindowObject::DefWindowProc;
};

template <class T>
class MdiChildImpl : public MdiChild {
public:
    static WindowClassInfo& GetWindowClassInfo()
    {
        static WindowClassInfo info = {nullptr, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), false, ""};
        return info;
    }

    // A child of `mdiClient`, placed one step below and right of the
    // children there already, two thirds of the client's size.
    HWND Create(HWND mdiClient, const char* text, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                void* param = nullptr)
    {
        HINSTANCE module = com::ModuleInstance();
        const char* name = RegisterWindowClass(T::GetWindowClassInfo(), module);
        if (!name) return nullptr;
        RECT client = {};
        ::GetClientRect(mdiClient, &client);
        int children = 0;
        for (HWND c = ::GetWindow(mdiClient, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) ++children;
        const int step = ::GetSystemMetrics(SM_CYCAPTION) + ::GetSystemMetrics(SM_CYFRAME);
        const int offset = step * (children % 8);
        RECT place = {offset, offset, offset + std::max<LONG>(200, client.right * 2 / 3),
                      offset + std::max<LONG>(150, client.bottom * 2 / 3)};
        return CreateBound(name, module, mdiClient, &place, text, style | WS_CHILD, WS_EX_MDICHILD, 0, param);
    }
};

}  // namespace wnd
