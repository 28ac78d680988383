// CPelgraveWindow: the copy-source page of the disc-copy project. The user
// picks the drive that holds the disc to copy and a read speed; at the
// project's start the page reads the whole disc into an image (a fresh
// temporary one unless the user named another), ejects the disc when the
// writer is the same drive, and hands the image on for the burn. After the
// burn the page's own temporary image goes; an image the user named goes
// only after a successful burn when asked.
#pragma once
#include "reading_page.h"

class CPelgraveWindow : public CReadingPage<CPelgraveWindow> {
public:
    enum { IDD = IDD_COPY_SOURCE, PANE_ID = COPY_PANE_ID };

    explicit CPelgraveWindow(CCoPelgrave& frame);
    ~CPelgraveWindow() override;

    WND_MSG_MAP_BEGIN(CPelgraveWindow)
        WND_MESSAGE(WM_INITDIALOG, OnInitDialog)
        WND_MESSAGE(WM_SIZE, OnSize)
        WND_COMMAND_CODE(IDC_DELETE_IMAGE, BN_CLICKED, OnDeleteChecked)
        WND_CHAIN(CReadingPage<CPelgraveWindow>)
        WND_CHAIN(CNextBackButtonsCreator<CPelgraveWindow>)
    WND_MSG_MAP_END()

    // Reads the disc (the grab's events drive the page from here).
    HRESULT OnBeginMainOp() override;
    // The burn is over: the image goes when the page owns it, or after a
    // successful burn when the user asked.
    HRESULT OnEndMainOp(SAFEARRAY* data) override;
    // The burning frame's Cancel while the disc is read.
    HRESULT OnCancelMainOp() override;

    void RefreshControls();
    void OnGrabEnded(HRESULT result);
    void OnImageChosen();
    // The temporary image is the page's own (its folder was made for it).
    bool OwnsImage() const { return !m_tempFolder.empty() && m_imagePath.rfind(m_tempFolder, 0) == 0; }
    bool DeleteFlag() const { return m_delete; }
    // The page's own temporary image is no choice of the user's.
    std::string SavedImagePath() const { return OwnsImage() ? std::string() : m_imagePath; }
    void OnChoicesLoaded(ILoadableSection* section);

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    // A fresh temporary folder with "CDCopyImage.mds" as the image path.
    void MakeTemporaryImage();
    // The writing drive is the reading drive (the project asks the burner).
    bool WritesOnTheReadingDrive();
};
