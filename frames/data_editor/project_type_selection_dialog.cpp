#include "project_type_selection_dialog.h"
#include <frames/common/dialog_placement.h>
#include "dialog_texts.h"

namespace {

const int RADIOS[] = {IDC_BEGIN_NEW_DISC, IDC_CONTINUE_DISC};

const DWORD kTranslateRows[] = {
    TRANSLATE_KIND_TEXT, IDC_DISC_LABEL,    IDS_DISC,          TRANSLATE_KIND_TEXT, IDC_BEGIN_NEW_DISC, IDS_BEGIN_NEW_DISC,
    TRANSLATE_KIND_TEXT, IDC_CONTINUE_DISC, IDS_CONTINUE_DISC, TRANSLATE_KIND_TEXT, IDC_FINALIZE, IDS_FINALIZE_AFTER_BURN,
    TRANSLATE_KIND_TEXT, IDCANCEL,          IDS_COMMON_CANCEL, TRANSLATE_KIND_TEXT, IDOK,               IDS_COMMON_NEXT,
    TRANSLATE_TABLE_END, 0,                 0,
};

}  // namespace

LRESULT CProjectTypeSelectionDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    SetWindowTextA(m_hWnd, DialogText(IDS_NEW_PROJECT).c_str());
    m_radio = m_finalize = 0;
    m_flags = 0;
    TranslateDialog(m_hWnd, kTranslateRows);
    CenterOverOwner(m_hWnd);
    ::CheckRadioButton(m_hWnd, IDC_BEGIN_NEW_DISC, IDC_CONTINUE_DISC, RADIOS[m_radio == 1 ? 1 : 0]);
    ::CheckDlgButton(m_hWnd, IDC_FINALIZE, m_finalize >= 0 && m_finalize <= 2 ? UINT(m_finalize) : BST_UNCHECKED);
    return TRUE;
}

LRESULT CProjectTypeSelectionDialog::OnOK(WORD, WORD, HWND, BOOL&)
{
    m_radio = 0;
    for (int i = 0; i < 2; ++i)
        if (::IsDlgButtonChecked(m_hWnd, RADIOS[i]) == BST_CHECKED) m_radio = i;
    m_finalize = int(::IsDlgButtonChecked(m_hWnd, IDC_FINALIZE));
    m_flags = (m_radio == 1 ? CONTINUE_DISC : 0) | (m_finalize != 0 ? FINALIZE_DISC : 0);
    EndDialog(IDOK);
    return 0;
}

LRESULT CProjectTypeSelectionDialog::OnCancel(WORD, WORD, HWND, BOOL&)
{
    EndDialog(IDCANCEL);
    return 0;
}
