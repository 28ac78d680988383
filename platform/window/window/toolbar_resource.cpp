#include "window/toolbar_resource.h"
#include <commctrl.h>

namespace wnd {

ToolBarResource ToolBarResource::Load(HINSTANCE module, UINT id)
{
    ToolBarResource result;
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(RT_TOOLBAR_ID));
    if (!found) return result;
    HGLOBAL loaded = ::LoadResource(module, found);
    const WORD* data = loaded ? static_cast<const WORD*>(::LockResource(loaded)) : nullptr;
    DWORD size = ::SizeofResource(module, found);
    if (!data || size < 8 || data[0] != 1) return result;
    WORD count = data[3];
    if (size < 8u + 2u * count) return result;
    result.width = data[1];
    result.height = data[2];
    result.commands.assign(data + 4, data + 4 + count);
    return result;
}

HWND CreateToolBarFromResource(HWND parent, HINSTANCE module, UINT id, UINT controlId, DWORD style)
{
    ToolBarResource resource = ToolBarResource::Load(module, id);
    if (resource.commands.empty()) return nullptr;
    HWND toolbar = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, style, 0, 0, 100, 100, parent,
                                     reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)), module, nullptr);
    if (!toolbar) return nullptr;
    ::SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageA(toolbar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    int images = 0;
    std::vector<TBBUTTON> buttons;
    for (WORD command : resource.commands) {
        TBBUTTON button = {};
        if (command) {
            button.iBitmap = images++;
            button.idCommand = command;
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = TBSTYLE_BUTTON;
        } else {
            button.fsStyle = TBSTYLE_SEP;
            button.iBitmap = 8;
        }
        buttons.push_back(button);
    }
    ::SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(resource.width, resource.height));
    TBADDBITMAP bitmap = {module, id};
    if (::SendMessageA(toolbar, TB_ADDBITMAP, images, reinterpret_cast<LPARAM>(&bitmap)) < 0 ||
        !::SendMessageA(toolbar, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()))) {
        ::DestroyWindow(toolbar);
        return nullptr;
    }
    ::SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
    return toolbar;
}

}  // namespace wnd
