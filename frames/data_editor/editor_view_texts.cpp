#include "editor_view_texts.h"
#include <algorithm>
#include <cstring>

void CopyText(char* buffer, int size, const std::string& text)
{
    if (!buffer || size <= 0) return;
    const size_t n = std::min(text.size(), size_t(size - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = 0;
}

void CopyText(wchar_t* buffer, int size, const std::string& text)
{
    if (!buffer || size <= 0) return;
    buffer[0] = 0;
    const int needed = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (needed <= 0) return;
    std::wstring wide(size_t(needed), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], needed);
    const size_t n = std::min(wcslen(wide.c_str()), size_t(size - 1));
    std::memcpy(buffer, wide.data(), n * sizeof(wchar_t));
    buffer[n] = 0;
}

std::string EntryInfoTip(const CUserFSEntry* entry, const CDataEditorTexts& texts, const std::string& type,
                         const std::string& size)
{
    if (!entry) return std::string();
    const std::string name = texts.Text(IDS_COLUMN_NAME), kind = texts.Text(IDS_COLUMN_TYPE);
    std::string tip = name + " : \"" + entry->m_name + "\"\n" + kind + " : " + type;
    if (entry->IsFolder()) return tip;
    tip += "\n" + texts.Text(IDS_COLUMN_SIZE) + " : " + size;
    tip += "\n" + texts.Text(IDS_ORIGINAL_PATH) + " : \"" + entry->m_sourcePath + "\"";
    return tip;
}

POINT ContextMenuPoint(POINT at)
{
    if (MonitorFromPoint(at, MONITOR_DEFAULTTONULL)) return at;
    MONITORINFO info = {sizeof info};
    if (!GetMonitorInfoA(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &info)) return at;
    if (at.x < info.rcWork.left) at.x = info.rcWork.left;
    if (at.x > info.rcWork.right) at.x = info.rcWork.right;
    return at;
}
