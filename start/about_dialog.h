// CAboutDialog: Help > About (dialog 100): the application's title, version
// and copyright from the application-type file, the version of every module
// in the program folder, and the web-site and mail links, over the light
// backdrop.
#pragma once
#include "hyperlink.h"
#include <window/dialog.h>
#include <string>

// "Copyright (C) 2005-2007 Holder", or one year when both are equal.
std::string CopyrightLine(const std::string& holder, const std::string& first, const std::string& last);
// One line "<file> version a.b.c.d" for every "*.ax", "*.ocx", "*.dll" and
// "*.exe" of `folder` (with its trailing "\"), in that order of patterns;
// files without a version resource are left out. Lines are separated
// by "\r\n".
std::string ListModuleVersions(const std::string& folder);

class CAboutDialog : public wnd::DialogImpl<CAboutDialog> {
public:
    enum { IDD = 100 };
    enum {
        IDC_VERSION = 1010, IDC_COPYRIGHT = 1011, IDC_MODULES_LABEL = 1012, IDC_MODULES = 1013,
        IDC_SITE_LABEL = 1014, IDC_MAIL_LABEL = 1015, IDC_TITLE = 1018, IDC_SITE = 1022, IDC_MAIL = 1023
    };

    WND_MSG_MAP_BEGIN(CAboutDialog)
        WND_MESSAGE(WM_INITDIALOG, OnInitDialog)
        WND_MESSAGE(WM_ERASEBKGND, OnEraseBackground)
        WND_MESSAGE(WM_CTLCOLORSTATIC, OnControlColor)
        WND_MESSAGE(WM_CTLCOLORBTN, OnControlColor)
        WND_MESSAGE(WM_DRAWITEM, OnDrawItem)
        WND_COMMAND(IDOK, OnEnd)
        WND_COMMAND(IDCANCEL, OnEnd)
    WND_MSG_MAP_END()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnControlColor(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDrawItem(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEnd(WORD, WORD id, HWND, BOOL&)
    {
        EndDialog(id);
        return 0;
    }

    CHyperLink m_site;
    CHyperLink m_mail;
};
