#include "decode_progress_dialog.h"
#include "audio_editor_texts.h"
#include <commctrl.h>

LRESULT CDecodeProgressDialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    SetWindowTextA(m_hWnd, AudioEditorText(IDS_DECODING_PROGRESS).c_str());
    SetDlgItemTextA(m_hWnd, IDC_DECODE_TOTAL_TEXT, "");
    SetDlgItemTextA(m_hWnd, IDC_DECODE_TRACK_TEXT, "");
    SetDlgItemTextA(m_hWnd, IDC_DECODE_STOP, AudioEditorText(IDS_STOP).c_str());
    for (int bar : {IDC_DECODE_TOTAL_BAR, IDC_DECODE_TRACK_BAR}) {
        SendDlgItemMessageA(m_hWnd, bar, PBM_SETRANGE32, 0, 100);
        SendDlgItemMessageA(m_hWnd, bar, PBM_SETPOS, 0, 0);
    }
    return TRUE;
}

void CDecodeProgressDialog::ShowProgress(unsigned index, unsigned count, unsigned percent, const std::string* title)
{
    if (!IsWindow()) return;
    SetDlgItemTextA(m_hWnd, IDC_DECODE_TOTAL_TEXT, AudioEditorFormat(IDS_DECODE_TOTAL, int(index + 1), int(count)).c_str());
    SendDlgItemMessageA(m_hWnd, IDC_DECODE_TOTAL_BAR, PBM_SETRANGE32, 0, LPARAM(count * 100));
    SendDlgItemMessageA(m_hWnd, IDC_DECODE_TOTAL_BAR, PBM_SETPOS, WPARAM(index * 100 + percent), 0);
    if (!title) return;
    SetDlgItemTextA(m_hWnd, IDC_DECODE_TRACK_TEXT, AudioEditorFormat(IDS_DECODE_TRACK, int(index + 1), title->c_str()).c_str());
    SendDlgItemMessageA(m_hWnd, IDC_DECODE_TRACK_BAR, PBM_SETPOS, WPARAM(percent), 0);
}

LRESULT CDecodeProgressDialog::OnShowWindow(UINT, WPARAM shown, LPARAM, BOOL& handled)
{
    if (shown) m_stop = false;
    handled = FALSE;
    return 0;
}

LRESULT CDecodeProgressDialog::OnStop(WORD, WORD, HWND, BOOL&)
{
    m_stop = true;
    return 0;
}
