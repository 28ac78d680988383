#include "log_list.h"
#include <commctrl.h>
#include <cstdarg>
#include <cstdio>

void CLogList::Attach(HWND list)
{
    m_list = list;
    ListView_SetExtendedListViewStyle(m_list, LVS_EX_FULLROWSELECT);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>("");
    column.cx = 100;
    SendMessageA(m_list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    FitColumn();
}

void CLogList::Printf(const char* format, ...)
{
    char text[4096];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    Add(text);
}

void CLogList::Add(const char* text)
{
    if (!m_list) return;
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<char*>(text);
    int row = static_cast<int>(SendMessageA(m_list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return;
    // The vertical scroll bar may have come with this row.
    FitColumn();
    ListView_EnsureVisible(m_list, row, FALSE);
}

void CLogList::FitColumn()
{
    if (!m_list) return;
    RECT client = {};
    GetClientRect(m_list, &client);
    ListView_SetColumnWidth(m_list, 0, client.right - client.left - 2);
}
