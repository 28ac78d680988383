#include "window/file_dialog.h"
#include <commdlg.h>

namespace wnd {

FileDialog::FileDialog(bool open, const std::string& filter, const char* defaultExtension)
    : m_open(open), m_filter(filter), m_defaultExtension(defaultExtension ? defaultExtension : "")
{
    for (char& c : m_filter)
        if (c == '|') c = '\0';
    m_filter.append(2, '\0');
}

bool FileDialog::DoModal(HWND owner)
{
    char path[4096] = "";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = m_filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof(path);
    ofn.lpstrDefExt = m_defaultExtension.empty() ? nullptr : m_defaultExtension.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER |
                (m_open ? OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST : OFN_OVERWRITEPROMPT);
    BOOL chosen = m_open ? ::GetOpenFileNameA(&ofn) : ::GetSaveFileNameA(&ofn);
    if (!chosen) return false;
    m_path = path;
    return true;
}

}  // namespace wnd
