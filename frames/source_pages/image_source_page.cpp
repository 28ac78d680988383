#include "image_source_page.h"
#include <shared/log.h>

LRESULT CBurnImageSourceWindow::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    ShowImagePath();
    CheckDlgButton(m_hWnd, IDC_DELETE_IMAGE, m_delete ? BST_CHECKED : BST_UNCHECKED);
    m_resizer.Add(IDC_IMAGE_GROUP, CDialogResizer::SIZE_X | CDialogResizer::SIZE_Y);
    m_resizer.Add(IDC_IMAGE_PATH, CDialogResizer::SIZE_X);
    m_resizer.Add(IDC_CHOOSE_IMAGE, CDialogResizer::MOVE_X);
    m_resizer.Add(IDC_DELETE_IMAGE, CDialogResizer::SIZE_X);
    if (!CreateNextBackButtons(FALSE, TRUE) || !m_resizer.Start(m_hWnd)) {
        Destroy();
        return -1;
    }
    LayoutNextBackButtons();
    AddPane(IMAGE_PANE_ID, IDS_IMAGE_PANE, IDI_IMAGE_PANE);
    SetControlText(IDC_IMAGE_GROUP, IDS_IMAGE_GROUP);
    SetControlText(IDC_DELETE_IMAGE, IDS_DELETE_AFTER_BURN);
    RefreshControls();
    return TRUE;
}

LRESULT CBurnImageSourceWindow::OnSize(UINT, WPARAM, LPARAM, BOOL&)
{
    // The group ends above the Back and Next buttons' row.
    m_resizer.Resize();
    const int bottom = LayoutNextBackButtons();
    wnd::Window group = GetDlgItem(IDC_IMAGE_GROUP);
    RECT r = group.GetRectInParent();
    RECT check = wnd::Window(GetDlgItem(IDC_DELETE_IMAGE)).GetRectInParent();
    const int lowest = check.bottom + (check.top - r.top) / 3;
    if (r.bottom > bottom) group.Move(r.left, r.top, wnd::Width(r), std::max<int>(bottom, lowest) - r.top);
    return 0;
}

LRESULT CBurnImageSourceWindow::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize = {MIN_TRACK_WIDTH, MIN_TRACK_HEIGHT};
    return 0;
}

void CBurnImageSourceWindow::RefreshControls()
{
    if (!IsWindow()) return;
    EnableControl(IDC_CHOOSE_IMAGE, m_enabled);
    EnableControl(IDC_DELETE_IMAGE, m_enabled);
    EnableControl(IDC_NEXT_BUTTON, m_enabled && !m_imagePath.empty());
}

LRESULT CBurnImageSourceWindow::OnChoose(WORD, WORD, HWND, BOOL&)
{
    std::string path = m_imagePath;
    if (ChooseImageFile(CCoPelgrave::CreateFilterString(), true, &path)) {
        m_imagePath = path;
        m_modified = true;
        ShowImagePath();
    }
    RefreshControls();
    return 0;
}

HRESULT CBurnImageSourceWindow::OnBeginMainOp()
{
    CLogFunctionScope scope("CBurnImageSourceWindow OnBeginMainOp");
    const DWORD attributes = m_imagePath.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(m_imagePath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SendSourceReady(S_OK, m_imagePath);
        return S_OK;
    }
    Box(attributes == INVALID_FILE_ATTRIBUTES ? IDS_IMAGE_MISSING : IDS_IMAGE_IS_FOLDER, MB_ICONERROR);
    SendSourceReady(E_FAIL, std::string());
    return E_FAIL;
}

HRESULT CBurnImageSourceWindow::OnEndMainOp(SAFEARRAY* data)
{
    // The project passes on no test write's result: the image stays then too.
    if (m_delete && BurnSucceeded(data)) DeleteImage(m_imagePath);
    return S_OK;
}
