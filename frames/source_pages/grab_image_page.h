// CGrabImageWindow: the grab-image page, which reads a disc into an image
// file the user names, started from its own button or its task-pane action,
// without a burn afterwards. No project type opens it (window mode 2).
#pragma once
#include "reading_page.h"

class CGrabImageWindow : public CReadingPage<CGrabImageWindow> {
public:
    enum { IDD = IDD_GRAB_IMAGE, PANE_ID = GRAB_PANE_ID };

    explicit CGrabImageWindow(CCoPelgrave& frame) : CReadingPage(frame) {}

    WND_MSG_MAP_BEGIN(CGrabImageWindow)
        WND_MESSAGE(WM_INITDIALOG, OnInitDialog)
        WND_MESSAGE(WM_SIZE, OnSize)
        WND_COMMAND_CODE(IDC_GRAB, BN_CLICKED, OnGrabClicked)
        WND_COMMAND_CODE(IDCANCEL, BN_CLICKED, OnCancelClicked)
        WND_CHAIN(CReadingPage<CGrabImageWindow>)
    WND_MSG_MAP_END()

    // The pane's action 8201 starts the grab; the pane itself does nothing.
    HRESULT OnHostButton(SAFEARRAY* data) override;

    void RefreshControls();
    void OnGrabEnded(HRESULT result);
    void OnImageChosen() {}

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGrabClicked(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancelClicked(WORD, WORD, HWND, BOOL&);

    // Asks before files of the grab are overwritten, then grabs.
    HRESULT Grab();
    // The files the grab writes that exist already: "<base>.mds", "<base>.xmN".
    bool ImageExists() const;
    void AddAction();
};
