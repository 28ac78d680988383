// CFilesProcessingDialog: the modeless window an editor shows while it adds
// files, with the file being added and a Stop button. The adding loop reads
// the stop flag between files. Its template is files_processing_dialog.rc,
// which the module's script includes.
#pragma once
#include "files_processing_ids.h"
#include <window/dialog.h>
#include <string>

class CFilesProcessingDialog : public wnd::DialogImpl<CFilesProcessingDialog> {
public:
    enum { IDD = IDD_FILES_PROCESSING };
    // The numbers of the caption and Stop texts in every editor's section.
    enum : unsigned { IDS_STOP_TEXT = 8245, IDS_CAPTION_TEXT = 8246 };

    // `section`: the language-file section of the editor's texts.
    explicit CFilesProcessingDialog(std::string section) : m_section(std::move(section)) {}

    // Shows the path, shortened to the width of its line.
    void SetFile(const std::string& path);
    bool StopRequested() const { return m_stop; }

    WND_MSG_MAP_BEGIN(CFilesProcessingDialog)
        WND_MESSAGE(WM_INITDIALOG, OnInitDialog)
        WND_MESSAGE(WM_SHOWWINDOW, OnShowWindow)
        WND_COMMAND_CODE(IDC_PROCESSING_STOP, BN_CLICKED, OnStop)
    WND_MSG_MAP_END()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnShowWindow(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnStop(WORD, WORD, HWND, BOOL&);
    std::string Text(unsigned id, const char* builtIn) const;

    std::string m_section;
    HWND m_path = nullptr;
    bool m_stop = false;
};
