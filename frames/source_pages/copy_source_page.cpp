#include "copy_source_page.h"
#include <shared/log.h>

CPelgraveWindow::CPelgraveWindow(CCoPelgrave& frame) : CReadingPage(frame)
{
    m_delete = true;
    MakeTemporaryImage();
}

void CPelgraveWindow::OnChoicesLoaded(ILoadableSection* section)
{
    CReadingPage::OnChoicesLoaded(section);
    // An image of the user's own: the page's temporary folder goes.
    OnImageChosen();
}

CPelgraveWindow::~CPelgraveWindow()
{
    // A project closed before (or after) its burn leaves none of the
    // page's own files behind; the folder itself goes with the base.
    if (OwnsImage()) DeleteImage(m_imagePath);
}

void CPelgraveWindow::MakeTemporaryImage()
{
    if (!m_tempFolder.empty()) RemoveDirectoryA(m_tempFolder.c_str());
    m_tempFolder = MakeTemporaryImageFolder();
    m_imagePath = m_tempFolder.empty() ? std::string() : m_tempFolder + "CDCopyImage.mds";
}

void CPelgraveWindow::OnImageChosen()
{
    // A path the user chose is no temporary image: its folder is not ours
    // to remove, and the one the page made is empty.
    if (!m_tempFolder.empty() && !OwnsImage()) {
        RemoveDirectoryA(m_tempFolder.c_str());
        m_tempFolder.clear();
    }
}

LRESULT CPelgraveWindow::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    if (!StartReading() || !CreateNextBackButtons(FALSE, TRUE)) {
        Destroy();
        return FALSE;
    }
    LayoutNextBackButtons();
    ShowImagePath();
    CheckDlgButton(m_hWnd, IDC_DELETE_IMAGE, m_delete ? BST_CHECKED : BST_UNCHECKED);
    m_resizer.Add(IDC_PAGE_LOG, CDialogResizer::SIZE_X | CDialogResizer::SIZE_Y);
    for (int wide : {IDC_DRIVE_GROUP, IDC_SOURCE_DRIVES})
        m_resizer.Add(wide, CDialogResizer::SIZE_X | CDialogResizer::MOVE_Y);
    for (int right : {IDC_SPEED_GROUP, IDC_READ_SPEEDS, IDC_CHOOSE_IMAGE})
        m_resizer.Add(right, CDialogResizer::MOVE_X | CDialogResizer::MOVE_Y);
    for (int wide : {IDC_READ_PROGRESS, IDC_IMAGE_PATH, IDC_DELETE_IMAGE})
        m_resizer.Add(wide, CDialogResizer::SIZE_X | CDialogResizer::MOVE_Y);
    if (!m_resizer.Start(m_hWnd)) {
        Destroy();
        return FALSE;
    }
    AddPane(COPY_PANE_ID, IDS_COPY_PANE, IDI_COPY_PANE);
    SetControlText(IDC_DRIVE_GROUP, IDS_DRIVE_GROUP);
    SetControlText(IDC_SPEED_GROUP, IDS_SPEED_GROUP);
    SetControlText(IDC_DELETE_IMAGE, IDS_DELETE_AFTER_COPY);
    RefreshControls();
    return TRUE;
}

LRESULT CPelgraveWindow::OnSize(UINT, WPARAM, LPARAM, BOOL&)
{
    // The controls keep their distance to the Back and Next buttons' row.
    m_resizer.Resize();
    LayoutNextBackButtons();
    m_log.FitColumn();
    return 0;
}

void CPelgraveWindow::RefreshControls()
{
    if (!IsWindow()) return;
    const bool busy = DriveBusy(), running = Started();
    EnableControl(IDC_NEXT_BUTTON, m_enabled && !busy && !running && !m_imagePath.empty());
    EnableControl(IDC_CHOOSE_IMAGE, m_enabled && !running);
    EnableControl(IDC_DELETE_IMAGE, m_enabled && !running);
    EnableControl(IDC_READ_SPEEDS, m_enabled && !busy && !running);
    EnableControl(IDC_SOURCE_DRIVES, m_enabled && !running);
}

HRESULT CPelgraveWindow::OnBeginMainOp()
{
    CLogFunctionScope scope("CPelgraveWindow OnBeginMainOp");
    if (m_imagePath.empty()) {
        MakeTemporaryImage();
        ShowImagePath();
    }
    return StartGrab();
}

void CPelgraveWindow::OnGrabEnded(HRESULT result)
{
    EndGrab(result);
    if (SUCCEEDED(result) && WritesOnTheReadingDrive()) {
        // One drive reads and writes: the copy wants the blank disc now.
        Device()->Eject();
        Box(IDS_INSERT_TARGET_DISC, MB_ICONINFORMATION);
    }
    SendSourceReady(result, m_imagePath);
}

bool CPelgraveWindow::WritesOnTheReadingDrive()
{
    long writer = 0;
    unsigned int reader = 0;
    CVariantSafearray data(1);
    if (!Device() || !data.Create() || FAILED(data.Prepare({{VT_I4 | VT_BYREF, &writer}})) ||
        FAILED(SendCommand(SFCID_GET_CURRENT_DEVICE_ID, data)) || FAILED(Device()->GetDeviceID(&reader)))
        return false;
    return static_cast<unsigned int>(writer) == reader;
}

HRESULT CPelgraveWindow::OnEndMainOp(SAFEARRAY* data)
{
    // After a success the image goes when the user asked; the page's own
    // temporary image of a failed burn is of no more use.
    if (BurnSucceeded(data) ? m_delete : OwnsImage()) DeleteImage(m_imagePath);
    return S_OK;
}

HRESULT CPelgraveWindow::OnCancelMainOp()
{
    if (Started()) CancelGrab();
    return S_OK;
}
