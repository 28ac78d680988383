// CDecodeProgressDialog: the modeless window the audio editor shows while
// the engine decodes the tracks: the files done over all, the track being
// decoded, and Stop. The editor reads the stop flag at each progress event.
#pragma once
#include "audio_editor_ids.h"
#include <window/dialog.h>
#include <string>

class CDecodeProgressDialog : public wnd::DialogImpl<CDecodeProgressDialog> {
public:
    enum { IDD = IDD_DECODE_PROGRESS };

    // Track `index` of `count` at `percent`, with the track's title when known.
    void ShowProgress(unsigned index, unsigned count, unsigned percent, const std::string* title);
    bool StopRequested() const { return m_stop; }

    WND_MSG_MAP_BEGIN(CDecodeProgressDialog)
        WND_MESSAGE(WM_INITDIALOG, OnInitDialog)
        WND_MESSAGE(WM_SHOWWINDOW, OnShowWindow)
        WND_COMMAND_CODE(IDC_DECODE_STOP, BN_CLICKED, OnStop)
    WND_MSG_MAP_END()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnShowWindow(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnStop(WORD, WORD, HWND, BOOL&);

    bool m_stop = false;
};
