#include "files_processing_dialog.h"
#include <shared/translator.h>
#include <commctrl.h>
#include <shlwapi.h>

LRESULT CFilesProcessingDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    m_path = ::GetDlgItem(m_hWnd, IDC_PROCESSING_PATH);
    return TRUE;
}

void CFilesProcessingDialog::SetFile(const std::string& path)
{
    if (!IsWindow()) return;
    // The compaction works in a MAX_PATH buffer: a longer path is cut, and
    // the buffer is terminated whatever it held.
    char shown[MAX_PATH];
    lstrcpynA(shown, path.c_str(), MAX_PATH);
    shown[MAX_PATH - 1] = 0;
    RECT line = {};
    ::GetClientRect(m_path, &line);
    if (HDC dc = ::GetDC(m_path)) {
        HGDIOBJ old = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
        ::PathCompactPathA(dc, shown, UINT(line.right - line.left));
        ::SelectObject(dc, old);
        ::ReleaseDC(m_path, dc);
    }
    ::SetWindowTextA(m_path, shown);
    ShowTexts();
}

void CFilesProcessingDialog::SetProgress(const std::string& line, int done, int total)
{
    if (!IsWindow()) return;
    ::SetWindowTextA(m_path, line.c_str());
    HWND bar = ::GetDlgItem(m_hWnd, IDC_PROCESSING_BAR);
    ::ShowWindow(bar, SW_SHOWNA);
    ::SendMessageA(bar, PBM_SETRANGE32, 0, total);
    ::SendMessageA(bar, PBM_SETPOS, done, 0);
    ShowTexts();
}

void CFilesProcessingDialog::ShowTexts()
{
    SetWindowTextA(m_hWnd, Text(m_captionId, "Files processing").c_str());
    SetDlgItemTextA(m_hWnd, IDC_PROCESSING_STOP, Text(m_stopId, "Stop").c_str());
}

LRESULT CFilesProcessingDialog::OnShowWindow(UINT, WPARAM shown, LPARAM, BOOL& handled)
{
    if (shown) m_stop = false;
    handled = FALSE;
    return 0;
}

LRESULT CFilesProcessingDialog::OnStop(WORD, WORD, HWND, BOOL&)
{
    m_stop = true;
    return 0;
}

std::string CFilesProcessingDialog::Text(unsigned id, const char* builtIn) const
{
    std::string text = LookUpLangStr(m_section, id);
    return text.empty() ? builtIn : text;
}
