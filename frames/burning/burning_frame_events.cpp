// The engine's events at the burning frame: drives that come and go, media,
// the phases of this frame's jobs, their questions, status words, progress
// and buffer reports.
#include "burning_frame.h"
#include "event_texts.h"
#include <frames/common/engine_questions.h>
#include <frames/common/medium_names.h>
#include <com/bstr.h>
#include <frames/common/engine_connection.h>
#include <commctrl.h>
#include <cinttypes>

namespace {

const HRESULT CANCELLED_BY_USER = static_cast<HRESULT>(0x8010006E);

}  // namespace

LRESULT CCoDrubeck::OnEngineEvent(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    const unsigned event = message - WM_ENGINE_EVENT;
    const unsigned int w = static_cast<unsigned int>(wParam), l = static_cast<unsigned int>(lParam);
    switch (event) {
    case DM_DEVICEARRIVED: m_drives.OnDeviceArrived(w); break;
    case DM_DEVICEREMOVED:
        // The job's end event went with the drive's window.
        if (m_job != Job::None && w == m_jobDeviceId) EndLostJob();
        m_drives.OnDeviceRemoved(w);
        break;
    case DM_MEDIUMCHANGED: OnMediumChanged(l); break;
    case DM_DEVICESSCANNED: FillDriveList(); return 0;
    case DM_QUESTION: return OnQuestion(w == m_cookie ? l : 0);
    case DM_BURNPREPARE: case DM_BURNSTART: case DM_BURNEND:
    case DM_ERASEPREPARE: case DM_ERASESTART: case DM_ERASEEND:
    case DM_STATUS: case DM_WRITEPROGRESS: case DM_BUFFERSTATUS: case DM_ANALYZEBEGIN: case DM_TARGETSIZE:
    case DM_FILLBUFFERBEGIN: case DM_FILLBUFFEREND: case DM_FLUSHBUFFERBEGIN: case DM_FLUSHBUFFEREND:
    case DM_BUFFERUNDERRUN:
        // Another client's job on a drive this frame watches too: only the
        // drive's busy state shows, at the job's start and end.
        if (w != m_cookie) {
            if (event == DM_BURNPREPARE || event == DM_BURNEND || event == DM_ERASEPREPARE || event == DM_ERASEEND)
                RefreshControls();
            return 0;
        }
        OnJobEvent(event, l);
        if (event > DM_ERASEEND) return 0;
        break;
    default: handled = FALSE; return 0;
    }
    RefreshControls();
    return 0;
}

void CCoDrubeck::OnMediumChanged(unsigned int type)
{
    const char* name = MediumName(type);
    const std::string text = name ? name : Text(type == MT_NO_MEDIA ? IDS_NO_MEDIA : IDS_UNKNOWN_MEDIUM);
    m_log.Printf("%s: %s", Text(IDS_MEDIUM_IN_DRIVE).c_str(), text.c_str());
    m_drives.FillSpeedList();
}

void CCoDrubeck::OnJobEvent(unsigned event, unsigned int value)
{
    switch (event) {
    case DM_BURNPREPARE:
        m_preparing = TRUE, m_working = FALSE;
        LogText(IDS_PREPARING_BURN);
        break;
    case DM_BURNSTART:
        m_preparing = FALSE, m_working = TRUE;
        m_log.Printf("%s: %s", Text(IDS_BURNING_STARTED).c_str(), m_drives.SpeedText(value).c_str());
        break;
    case DM_BURNEND: {
        const HRESULT result = static_cast<HRESULT>(value);
        // A job the user cancelled may end with the failure that stopped it.
        const bool cancelled = result == CANCELLED_BY_USER || (FAILED(result) && m_cancelRequested);
        m_preparing = m_working = FALSE;
        JobEnded();
        if (result >= 0) LogText(IDS_LEADS_WRITTEN);
        LogText(cancelled ? IDS_BURN_CANCELLED : result == S_OK ? IDS_BURN_SUCCEEDED : IDS_BURN_FAILED);
        ::SendMessageA(m_progress, PBM_SETPOS, 0, 0);
        ::SendMessageA(m_buffer, PBM_SETPOS, 0, 0);
        SendResult(result);
        SendEnableUI(TRUE);
        break;
    }
    case DM_ERASEPREPARE:
        m_preparing = TRUE, m_working = FALSE;
        LogText(IDS_PREPARING_ERASE);
        break;
    case DM_ERASESTART:
        m_preparing = FALSE, m_working = TRUE;
        m_log.Printf("%s: %s", Text(IDS_ERASING_STARTED).c_str(), m_drives.SpeedText(value).c_str());
        break;
    case DM_ERASEEND: {
        const HRESULT result = static_cast<HRESULT>(value);
        // An erase inside a burn hands the drive back to the burn, which is
        // still preparing.
        const bool cancelled = result == CANCELLED_BY_USER || (FAILED(result) && m_cancelRequested);
        m_preparing = m_job == Job::Burn;
        m_working = FALSE;
        if (m_job == Job::Erase) JobEnded();
        LogText(cancelled ? IDS_ERASE_CANCELLED : result == S_OK ? IDS_ERASE_SUCCEEDED : IDS_ERASE_FAILED);
        break;
    }
    case DM_STATUS: OnStatus(value); break;
    case DM_WRITEPROGRESS: ::SendMessageA(m_progress, PBM_SETPOS, value >> 16, 0); break;
    case DM_BUFFERSTATUS: ::SendMessageA(m_buffer, PBM_SETPOS, value, 0); break;
    case DM_ANALYZEBEGIN: LogText(IDS_ANALYSING); break;
    case DM_TARGETSIZE:
        m_log.Printf("%s: %" PRId64 " %s (%i %s)", Text(IDS_TARGET_SIZE).c_str(), static_cast<int64_t>(value) * 2048,
                     GetLangStr(IDS_COMMON_BYTES).empty() ? "byte(s)" : GetLangStr(IDS_COMMON_BYTES).c_str(),
                     static_cast<int>(value), Text(IDS_LOGICAL_BLOCKS).c_str());
        break;
    case DM_FILLBUFFERBEGIN: LogText(IDS_FILLING_BUFFER); break;
    case DM_FILLBUFFEREND: LogText(IDS_BUFFER_FILLED); break;
    case DM_FLUSHBUFFERBEGIN:
        ::SendMessageA(m_progress, PBM_SETPOS, 100, 0);
        LogText(IDS_FLUSHING_BUFFER);
        break;
    case DM_FLUSHBUFFEREND:
        ::SendMessageA(m_buffer, PBM_SETPOS, 0, 0);
        LogText(IDS_BUFFER_FLUSHED);
        LogText(IDS_WRITING_LEADS);
        break;
    case DM_BUFFERUNDERRUN: LogText(IDS_BUFFER_UNDERRUN); break;
    default: break;
    }
}

LRESULT CCoDrubeck::OnQuestion(unsigned int code)
{
    return AskEngineQuestion(code, Text, [this](const char* text, UINT type) { return MessageBox(m_hWnd, text, type); });
}

void CCoDrubeck::OnStatus(unsigned int word)
{
    const StatusReaction reaction = ReactionToStatus(word);
    if (!reaction.stringId) return;
    const std::string text = Text(reaction.stringId);
    m_log.Add(text.c_str());
    if (reaction.showBox) ::MessageBoxA(m_hWnd, text.c_str(), "Tavell Burner", MB_ICONWARNING);
}
