// Toolbar resources (resource type 241): a bitmap and a toolbar resource of
// the same identifier, the latter {WORD version 1, WORD button width, WORD
// button height, WORD count, WORD command[count]} with 0 for a separator.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <vector>

namespace wnd {

enum : WORD { RT_TOOLBAR_ID = 241 };

struct ToolBarResource {
    int width = 0;
    int height = 0;
    std::vector<WORD> commands;  // 0: separator

    // Empty (no commands) when the module has no such resource.
    static ToolBarResource Load(HINSTANCE module, UINT id);
};

// A flat toolbar child with the resource's buttons and bitmap (images in
// the order of the non-separator commands); null on failure.
HWND CreateToolBarFromResource(HWND parent, HINSTANCE module, UINT id, UINT controlId,
                               DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                                             TBSTYLE_TOOLTIPS | TBSTYLE_FLAT | CCS_NODIVIDER |
                                             CCS_NORESIZE | CCS_NOPARENTALIGN);

}  // namespace wnd
