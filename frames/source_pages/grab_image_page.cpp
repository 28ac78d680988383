#include "grab_image_page.h"
#include <shared/log.h>
#include <shlwapi.h>

LRESULT CGrabImageWindow::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    if (!StartReading()) {
        Destroy();
        return FALSE;
    }
    ShowImagePath();
    m_resizer.Add(IDC_PAGE_LOG, CDialogResizer::SIZE_X | CDialogResizer::SIZE_Y);
    for (int wide : {IDC_DRIVE_GROUP, IDC_SOURCE_DRIVES, IDC_READ_PROGRESS, IDC_IMAGE_PATH})
        m_resizer.Add(wide, CDialogResizer::SIZE_X | CDialogResizer::MOVE_Y);
    for (int right : {IDC_SPEED_GROUP, IDC_READ_SPEEDS, IDC_CHOOSE_IMAGE, IDC_GRAB, IDCANCEL})
        m_resizer.Add(right, CDialogResizer::MOVE_X | CDialogResizer::MOVE_Y);
    if (!m_resizer.Start(m_hWnd)) {
        Destroy();
        return FALSE;
    }
    AddPane(GRAB_PANE_ID, IDS_GRAB_PANE, IDI_GRAB_PANE);
    AddAction();
    SetControlText(IDC_DRIVE_GROUP, IDS_DRIVE_GROUP);
    SetControlText(IDC_SPEED_GROUP, IDS_SPEED_GROUP);
    SetControlText(IDC_GRAB, IDS_START_GRABBING);
    const std::string cancel = GetLangStr(IDS_COMMON_CANCEL);
    if (!cancel.empty()) SetDlgItemTextA(m_hWnd, IDCANCEL, cancel.c_str());
    RefreshControls();
    return TRUE;
}

void CGrabImageWindow::AddAction()
{
    HICON icon = LoadIconOfSize(IDI_GRAB_PANE, 16);
    CVariantSafearray data(4);
    if (data.Create() && SUCCEEDED(data.Prepare({{VT_UI4, static_cast<unsigned>(GRAB_PANE_ID)},
                                                 {VT_UI4, static_cast<unsigned>(GRAB_ACTION_ID)},
                                                 {VT_BSTR, com::Bstr(Text(IDS_START)).Get()},
                                                 {VT_UI4, HandleValue(icon)}})))
        SendCommand(PCID_ADD_ACTION, data);
    if (icon) DestroyIcon(icon);
}

LRESULT CGrabImageWindow::OnSize(UINT, WPARAM, LPARAM, BOOL&)
{
    m_resizer.Resize();
    m_log.FitColumn();
    return 0;
}

void CGrabImageWindow::RefreshControls()
{
    if (!IsWindow()) return;
    const bool busy = DriveBusy(), running = Started();
    const bool start = m_enabled && !busy && !running && !m_imagePath.empty();
    EnableControl(IDC_GRAB, start);
    CVariantSafearray data(2);
    if (data.Create() && SUCCEEDED(data.Prepare({{VT_UI4, static_cast<unsigned>(GRAB_PANE_ID)},
                                                 {VT_UI4, static_cast<unsigned>(GRAB_ACTION_ID)}})))
        SendCommand(start ? PCID_ENABLE_ACTION : PCID_DISABLE_ACTION, data);
    EnableControl(IDC_CHOOSE_IMAGE, m_enabled && !running);
    EnableControl(IDC_READ_SPEEDS, m_enabled && !busy && !running);
    EnableControl(IDC_SOURCE_DRIVES, m_enabled && !running);
    // Cancel reaches a grab however the project has the page.
    EnableControl(IDCANCEL, running || !m_enabled);
}

bool CGrabImageWindow::ImageExists() const
{
    if (PathFileExistsA(m_imagePath.c_str())) return true;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((WithoutExtension(m_imagePath) + ".xm*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool any = false;
    do {
        const char* dot = std::strrchr(found.cFileName, '.');
        any = any || (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && dot && IsImageSetExtension(dot + 1));
    } while (!any && FindNextFileA(search, &found));
    FindClose(search);
    return any;
}

HRESULT CGrabImageWindow::Grab()
{
    CLogFunctionScope scope("CGrabImageWindow Grab");
    if (m_imagePath.empty() || Started()) return E_FAIL;
    if (ImageExists()) {
        char question[2048];
        std::snprintf(question, sizeof question, Text(IDS_ASK_OVERWRITE).c_str(), m_imagePath.c_str());
        if (MessageBox(m_hWnd, question, MB_OKCANCEL | MB_ICONINFORMATION) == IDCANCEL) {
            SendEnableUI(true);
            return CANCELLED_BY_USER;
        }
        // The new image is not mixed with an old one's data files.
        DeleteImage(m_imagePath);
    }
    SendEnableUI(false);
    HRESULT hr = StartGrab();
    if (FAILED(hr)) SendEnableUI(true);
    return hr;
}

LRESULT CGrabImageWindow::OnGrabClicked(WORD, WORD, HWND button, BOOL&)
{
    if (::IsWindowEnabled(button)) Grab();
    return 0;
}

LRESULT CGrabImageWindow::OnCancelClicked(WORD, WORD, HWND button, BOOL&)
{
    if (::IsWindowEnabled(button)) CancelGrab();
    return 0;
}

HRESULT CGrabImageWindow::OnHostButton(SAFEARRAY* data)
{
    unsigned int pane = 0, action = 0;
    HRESULT hr = ExtractFromSafearray(data, {{VT_UI4, &pane}, {VT_UI4, &action}});
    MarkNoAction();
    if (FAILED(hr)) return hr;
    if (action == NO_ACTION_ID) return S_OK;
    return action == GRAB_ACTION_ID ? Grab() : S_FALSE;
}

void CGrabImageWindow::OnGrabEnded(HRESULT result)
{
    EndGrab(result);
    SendEnableUI(true);
}
