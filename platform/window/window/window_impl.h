// WindowImpl: a window of our own window class whose messages go to the
// message map of T.
//
//   class CDevicesWindow : public wnd::WindowImpl<CDevicesWindow> {
//   public:
//       WND_CLASS("DevicesWindow", 0, nullptr)
//       WND_MSG_MAP_BEGIN(CDevicesWindow)
//           WND_MESSAGE(WM_DEVICECHANGE, OnDeviceChange)
//       WND_MSG_MAP_END()
//   };
//   CDevicesWindow w;  w.Create(HWND_MESSAGE, nullptr, "", 0);
//
// Without WND_CLASS the class gets a private name of its own. The class is
// registered, once, with the instance of the module that compiles T in.
#pragma once
#include "window/window_object.h"
#include <com/module.h>

namespace wnd {

struct WindowClassInfo {
    const char* name;    // null: a name made up for this class
    UINT style;
    HBRUSH background;   // null: the window paints its whole background
    bool registered;
    char madeUpName[40];
};

// Registers the class (window procedure WindowObject::WindowProc) unless it
// is; returns its name, or null when registering failed.
const char* RegisterWindowClass(WindowClassInfo& info, HINSTANCE module);

template <class T>
class WindowImpl : public WindowObject {
public:
    static WindowClassInfo& GetWindowClassInfo()
    {
        static WindowClassInfo info = {nullptr, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), false, ""};
        return info;
    }

    // `rect` null: the default place of a top-level window, an empty child.
    // `menuOrId` is the menu of a top-level window or the identifier of a
    // child; `param` reaches WM_CREATE as lpCreateParams.
    HWND Create(HWND parent, const RECT* rect, const char* text, DWORD style, DWORD exStyle = 0,
                UINT_PTR menuOrId = 0, void* param = nullptr)
    {
        HINSTANCE module = com::ModuleInstance();
        const char* name = RegisterWindowClass(T::GetWindowClassInfo(), module);
        if (!name) return nullptr;
        return CreateBound(name, module, parent, rect, text, style, exStyle, menuOrId, param);
    }
};

}  // namespace wnd

// Names the window class of a WindowImpl (the name others find it by).
#define WND_CLASS(name, style, background)                                          \
    static ::wnd::WindowClassInfo& GetWindowClassInfo()                             \
    {                                                                               \
        static ::wnd::WindowClassInfo info = {name, (style), (background), false, ""}; \
        return info;                                                                \
    }
