// CFilesProcessingDialog: the modeless window an editor shows while it adds
// files, with the file being added (or how many are done, over a bar) and a
// Stop button. The adding loop reads the stop flag between files. Its template is files_processing_dialog.rc,
// which the module's script includes.
#pragma once
#include "files_processing_ids.h"
#include <window/dialog.h>
#include <string>

class CFilesProcessingDialog : public wnd::DialogImpl<CFilesProcessingDialog> {
public:
    enum { IDD = IDD_FILES_PROCESSING };
    // `section`: the language-file section of the editor's texts, with the
    // numbers of the caption and the Stop button's text there.
    CFilesProcessingDialog(std::string section, unsigned captionId = 8246, unsigned stopId = 8245)
        : m_section(std::move(section)), m_captionId(captionId), m_stopId(stopId) {}

    // Shows the path, shortened to the width of its line.
    void SetFile(const std::string& path);
    // Shows `line` and the bar at `done` of `total`.
    void SetProgress(const std::string& line, int done, int total);
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

    void ShowTexts();

    std::string m_section;
    unsigned m_captionId, m_stopId;
    HWND m_path = nullptr;
    bool m_stop = false;
};
