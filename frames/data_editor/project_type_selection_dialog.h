// CProjectTypeSelectionDialog: the first question of a new data project,
// whether to begin a new disc or to continue a multisession one, and
// whether to close the disc after the burn.
#pragma once
#include "dialog_ids.h"
#include "data_project_classes.h"
#include <shared/translator.h>
#include <window/dialog.h>

class CProjectTypeSelectionDialog : public wnd::DialogImpl<CProjectTypeSelectionDialog>,
                                    public CTranslator<CProjectTypeSelectionDialog, &CLSID_CoNostrine> {
public:
    enum { IDD = IDD_PROJECT_TYPE };
    // The answer's bits.
    enum : unsigned { CONTINUE_DISC = 1, FINALIZE_DISC = 2 };

    // After OK.
    unsigned Flags() const { return m_flags; }

    WND_MSG_MAP_BEGIN(CProjectTypeSelectionDialog)
        WND_MESSAGE(WM_INITDIALOG, OnInitDialog)
        WND_COMMAND_CODE(IDOK, 0, OnOK)
        WND_COMMAND_CODE(IDCANCEL, 0, OnCancel)
        WND_CHAIN(CTranslator<CProjectTypeSelectionDialog, &CLSID_CoNostrine>)
    WND_MSG_MAP_END()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnOK(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);

    int m_radio = 0;      // 0 a new disc, 1 the multisession disc
    int m_finalize = 0;   // the check box's state, 0-2
    unsigned m_flags = 0;
};
