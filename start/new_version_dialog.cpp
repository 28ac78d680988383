#include "new_version_dialog.h"
#include "common_settings.h"
#include "resource.h"
#include <shared/checked_format.h>
#include <shared/services.h>
#include <shared/translator.h>
#include <vector>

namespace {

const char kMessage[] = "There is a new version available, %s (current is %s).\n Visit the program site?";

const DWORD kTranslations[] = {
    TRANSLATE_KIND_TEXT, CNewVersionDialog::IDC_DONT_REMIND, IDS_DONT_REMIND,
    TRANSLATE_KIND_TEXT, IDYES, IDS_YES_BUTTON,
    TRANSLATE_KIND_TEXT, IDNO, IDS_NO_BUTTON,
    TRANSLATE_TABLE_END};

}  // namespace

CNewVersionDialog::CNewVersionDialog(const std::string& offered, const std::string& current) : m_offered(offered)
{
    const std::string translated = LookUpLangStr(COMMON_LANG_SECTION, IDS_NEW_VERSION);
    const std::string& format = CheckedFormat(translated, kMessage);
    std::vector<char> text(format.size() + offered.size() + current.size() + 1);
    std::snprintf(text.data(), text.size(), format.c_str(), offered.c_str(), current.c_str());
    m_message = text.data();
    m_reminderOff = GetCommonDword("Application", "dontRemindOfNewVersion", 0) == 1 &&
                    GetCommonString("Application", "versionThatDontRemindOf", "0.0.0.0") == offered;
}

LRESULT CNewVersionDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    if (m_reminderOff) {
        EndDialog(-1);
        return TRUE;
    }
    SetText(GetCommonString("Application", "Title", ""));
    ::SetDlgItemTextA(m_hWnd, IDC_MESSAGE, m_message.c_str());
    TranslateDialogTexts(COMMON_LANG_SECTION, m_hWnd, kTranslations);
    CenterWindow();
    return TRUE;
}

LRESULT CNewVersionDialog::OnAnswer(WORD, WORD id, HWND, BOOL&)
{
    const bool dontRemind = ::IsDlgButtonChecked(m_hWnd, IDC_DONT_REMIND) == BST_CHECKED;
    SetCommonDword("Application", "dontRemindOfNewVersion", dontRemind ? 1 : 0);
    if (dontRemind) SetCommonString("Application", "versionThatDontRemindOf", m_offered.c_str());
    EndDialog(id == IDYES ? IDYES : IDNO);
    return 0;
}
