// FileDialog: the system's open and save file dialogs.
#pragma once
#include <windows.h>
#include <string>

namespace wnd {

class FileDialog {
public:
    // `filter`: pairs of description and patterns separated by '|', as
    // "Data projects|*.qvdata|All files|*.*".
    FileDialog(bool open, const std::string& filter, const char* defaultExtension = nullptr);

    // True with Path() set when the user chose a file.
    bool DoModal(HWND owner);
    const std::string& Path() const { return m_path; }

private:
    bool m_open;
    std::string m_filter;  // '\0'-separated, double '\0' at the end
    std::string m_defaultExtension;
    std::string m_path;
};

}  // namespace wnd
