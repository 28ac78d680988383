// CFilesProcessingDialog: the modeless window the data editor shows while
// it adds files, with the file being added and a Stop button. The adding
// loop reads the stop flag between files.
#pragma once
#include "dialog_ids.h"
#include "data_project_classes.h"
#include <shared/translator.h>
#include <window/dialog.h>
#include <string>

class CFilesProcessingDialog : public wnd::DialogImpl<CFilesProcessingDialog>,
                               public CTranslator<CFilesProcessingDialog, &CLSID_CoNostrine> {
public:
    enum { IDD = IDD_FILES_PROCESSING };

    // Shows the path, shortened to the width of its line.
    void SetFile(const std::string& path);
    bool StopRequested() const { return m_stop; }

    WND_MSG_MAP_BEGIN(CFilesProcessingDialog)
        WND_MESSAGE(WM_INITDIALOG, OnInitDialog)
        WND_MESSAGE(WM_SHOWWINDOW, OnShowWindow)
        WND_COMMAND_CODE(IDC_PROCESSING_STOP, BN_CLICKED, OnStop)
        WND_CHAIN(CTranslator<CFilesProcessingDialog, &CLSID_CoNostrine>)
    WND_MSG_MAP_END()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnShowWindow(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnStop(WORD, WORD, HWND, BOOL&);

    HWND m_path = nullptr;
    bool m_stop = false;
};
