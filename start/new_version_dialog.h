// CNewVersionDialog: dialog 223, the offer of a newer version with Yes, No
// and "Do not remind me of this version anymore". The choice is saved in
// the common settings ("Application": "dontRemindOfNewVersion",
// "versionThatDontRemindOf") however the dialog ends; when the reminder is
// off for the offered version, the dialog ends at once with -1.
#pragma once
#include <window/dialog.h>
#include <string>

class CNewVersionDialog : public wnd::DialogImpl<CNewVersionDialog> {
public:
    enum { IDD = 223 };
    enum { IDC_MESSAGE = 1046, IDC_DONT_REMIND = 1047 };

    CNewVersionDialog(const std::string& offered, const std::string& current);
    const std::string& Message() const { return m_message; }
    bool ReminderOff() const { return m_reminderOff; }

    WND_MSG_MAP_BEGIN(CNewVersionDialog)
        WND_MESSAGE(WM_INITDIALOG, OnInitDialog)
        WND_COMMAND(IDYES, OnAnswer)
        WND_COMMAND(IDNO, OnAnswer)
        WND_COMMAND(IDCANCEL, OnAnswer)
    WND_MSG_MAP_END()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnAnswer(WORD, WORD id, HWND, BOOL&);

    std::string m_offered;
    std::string m_message;
    bool m_reminderOff = false;
};
