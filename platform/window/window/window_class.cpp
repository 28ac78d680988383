#include "window/window_impl.h"
#include <cstdio>

namespace wnd {

const char* RegisterWindowClass(WindowClassInfo& info, HINSTANCE module)
{
    const char* name = info.name;
    if (!name) {
        if (!info.madeUpName[0])
            std::snprintf(info.madeUpName, sizeof(info.madeUpName), "Tavell.Window.%p", static_cast<void*>(&info));
        name = info.madeUpName;
    }
    if (info.registered) return name;
    WNDCLASSEXA wc = {sizeof(wc)};
    wc.style = info.style;
    wc.lpfnWndProc = &WindowObject::WindowProc;
    wc.hInstance = module;
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = info.background;
    wc.lpszClassName = name;
    if (!::RegisterClassExA(&wc)) {
        if (::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
        // Left by an earlier load of this library (the system keeps a
        // library's classes after it is unloaded): its procedure is gone.
        // With windows of it still alive, it is ours and stays.
        if (::UnregisterClassA(name, module) && !::RegisterClassExA(&wc)) return nullptr;
    }
    info.registered = true;
    return name;
}

}  // namespace wnd
