// CWaitDialog: a modeless box with one line of text, shown at once over its
// owner while the caller keeps the thread busy; it goes with the object.
#pragma once
#include "project_ids.h"
#include <window/dialog.h>
#include <string>

class CWaitDialog : public wnd::DialogImpl<CWaitDialog> {
public:
    enum { IDD = IDD_PROJECT_WAIT, TEXT_MARGIN = 24 };

    CWaitDialog(HWND owner, const std::string& text);
    ~CWaitDialog();

    WND_MSG_MAP_BEGIN(CWaitDialog)
        WND_MESSAGE(WM_INITDIALOG, OnInitDialog)
    WND_MSG_MAP_END()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);

    std::string m_text;
};

// CNextButtonPosHinter: the geometry of the frames' Back and Next buttons,
// taken from the system's dialog font through a hidden dialog.
class CNextButtonPosHinter : public wnd::DialogImpl<CNextButtonPosHinter> {
public:
    enum { IDD = IDD_PROJECT_BUTTON_HINTER };

    // Creates the hidden dialog (owner: the desktop), reads the four values
    // and destroys it. False when the dialog could not be made.
    bool Measure();

    UINT HorizontalMargin() const { return m_horizontalMargin; }
    UINT VerticalMargin() const { return m_verticalMargin; }
    UINT Width() const { return m_width; }
    UINT Height() const { return m_height; }

    WND_MSG_MAP_BEGIN(CNextButtonPosHinter)
        WND_MESSAGE(WM_INITDIALOG, OnInitDialog)
    WND_MSG_MAP_END()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);

    UINT m_horizontalMargin = 0, m_verticalMargin = 0, m_width = 0, m_height = 0;
};
