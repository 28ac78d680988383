// CAboutDlg: the engine's about box (dialog 206), with the file version from
// the program's version resource.
#pragma once
#include "windows/resource.h"
#include <window/dialog.h>
#include <string>

// "1.0.0.1" from the module's version resource; empty when it cannot be read.
std::string ModuleFileVersion(HMODULE module);

class CAboutDlg : public wnd::DialogImpl<CAboutDlg> {
public:
    enum { IDD = IDD_ABOUT };

    WND_MSG_MAP_BEGIN(CAboutDlg)
        WND_MESSAGE(WM_INITDIALOG, OnInitDialog)
        WND_COMMAND(IDOK, OnClose)
        WND_COMMAND(IDCANCEL, OnClose)
    WND_MSG_MAP_END()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(WORD, WORD id, HWND, BOOL&)
    {
        EndDialog(id);
        return 0;
    }
};
