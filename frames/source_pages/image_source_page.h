// CBurnImageSourceWindow: the image-source page of the image-burn project.
// The user chooses an existing image file (our .mds or an .iso); at the
// project's start the page checks it and hands its path on; after a
// successful real burn it can delete the image. It never talks to the
// engine.
#pragma once
#include "source_page.h"

class CBurnImageSourceWindow : public CSourcePage<CBurnImageSourceWindow> {
public:
    enum { IDD = IDD_IMAGE_SOURCE, PANE_ID = IMAGE_PANE_ID };

    explicit CBurnImageSourceWindow(CCoPelgrave& frame) : CSourcePage(frame) {}

    WND_MSG_MAP_BEGIN(CBurnImageSourceWindow)
        WND_MESSAGE(WM_INITDIALOG, OnInitDialog)
        WND_MESSAGE(WM_SIZE, OnSize)
        WND_MESSAGE(WM_GETMINMAXINFO, OnGetMinMaxInfo)
        WND_COMMAND_CODE(IDC_CHOOSE_IMAGE, BN_CLICKED, OnChoose)
        WND_COMMAND_CODE(IDC_DELETE_IMAGE, BN_CLICKED, OnDeleteChecked)
        WND_CHAIN(CNextBackButtonsCreator<CBurnImageSourceWindow>)
    WND_MSG_MAP_END()

    // Checks the path and reports it (PCID_SOURCE_READY).
    HRESULT OnBeginMainOp() override;
    // Deletes the image after a successful burn when the user asked for it.
    HRESULT OnEndMainOp(SAFEARRAY* data) override;

    void RefreshControls();

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnChoose(WORD, WORD, HWND, BOOL&);
};
