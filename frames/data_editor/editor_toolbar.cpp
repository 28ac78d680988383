#include "editor_toolbar.h"
#include "data_editor_frame.h"
#include "editor_resource.h"

void CEditorToolbar::ShowSorting(bool on) const { ChangeImage(ID_SORT_TOGGLE, on ? SORT_ON_IMAGE : SORT_OFF_IMAGE); }

bool CEditorToolbar::Create(HWND frame, HINSTANCE module, bool sorting)
{
    static const int icons[] = {IDI_CREATE_FOLDER, IDI_ADD_FILES, IDI_ADD_FOLDER, IDI_RENAME,
                                IDI_DELETE,        IDI_SORT_ON,   IDI_SORT_OFF};
    const ToolbarButton buttons[] = {
        {ID_CREATE_FOLDER, 0}, {ID_ADD_FILES, 1}, {ID_ADD_FOLDER, 2}, {0, 0}, {ID_RENAME, 3}, {ID_DELETE, 4}, {0, 0},
        {ID_SORT_TOGGLE, sorting ? SORT_ON_IMAGE : SORT_OFF_IMAGE},
    };
    return CRebarToolbar::Create(frame, module, icons, sizeof icons / sizeof icons[0], buttons,
                                 sizeof buttons / sizeof buttons[0]);
}
