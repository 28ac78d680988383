#include "list_view.h"
#include <commctrl.h>

std::vector<std::string> ListViewRows(HWND list)
{
    std::vector<std::string> lines;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[1024] = "";
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
        lines.push_back(text);
    }
    return lines;
}
