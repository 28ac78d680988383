// The engine's events at the burning frame: drives that come and go, media,
// the phases of this frame's jobs, their questions, status words, progress
// and buffer reports.
#include "burning_frame.h"
#include "event_texts.h"
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
    case DM_DEVICEARRIVED: OnDeviceArrived(w); break;
    case DM_DEVICEREMOVED: OnDeviceRemoved(w); break;
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

void CCoDrubeck::OnDeviceArrived(unsigned int id)
{
    if (!m_devices || m_devices->IsInitialized() != S_OK) return;
    // The first scan's arrivals may come after the list was filled.
    if (FindDriveItem(id) >= 0) return;
    com::ComPtr<IDevice> device;
    if (FAILED(m_devices->GetDeviceByID(id, &device))) return;
    com::Bstr name;
    device->GetDeviceName(&name);
    m_log.Printf("%s: %s", Text(IDS_DEVICE_ARRIVED).c_str(), name.Ansi().c_str());
    const bool hadSelection = ::SendMessageA(m_driveList, CB_GETCURSEL, 0, 0) >= 0;
    int item = static_cast<int>(::SendMessageA(m_driveList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.Ansi().c_str())));
    if (item < 0) return;
    ::SendMessageA(m_driveList, CB_SETITEMDATA, item, id);
    if (hadSelection || m_device) return;
    m_device = device;
    AdviseDrive();
    ::SendMessageA(m_driveList, CB_SETCURSEL, item, 0);
    FillSpeedList();
}

void CCoDrubeck::OnDeviceRemoved(unsigned int id)
{
    // The job's end event went with the drive's window.
    if (m_job != Job::None && id == m_jobDeviceId) EndLostJob();
    const int item = FindDriveItem(id);
    if (item < 0) return;
    char text[512] = "";
    if (::SendMessageA(m_driveList, CB_GETLBTEXTLEN, item, 0) < static_cast<LRESULT>(sizeof(text)))
        ::SendMessageA(m_driveList, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text));
    m_log.Printf("%s: %s", Text(IDS_DEVICE_REMOVED).c_str(), text);
    if (::SendMessageA(m_driveList, CB_GETCURSEL, 0, 0) == item) {
        DropDrive();
        ::SendMessageA(m_driveList, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        FillSpeedList();
    }
    ::SendMessageA(m_driveList, CB_DELETESTRING, item, 0);
}

void CCoDrubeck::OnMediumChanged(unsigned int type)
{
    UINT stringId = 0;
    const char* name = MediumName(type, &stringId);
    const std::string text = name ? name : Text(stringId);
    m_log.Printf("%s: %s", Text(IDS_MEDIUM_IN_DRIVE).c_str(), text.c_str());
    FillSpeedList();
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
        m_log.Printf("%s: %s", Text(IDS_BURNING_STARTED).c_str(), SpeedText(value).c_str());
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
        m_log.Printf("%s: %s", Text(IDS_ERASING_STARTED).c_str(), SpeedText(value).c_str());
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
    UINT text = 0, type = 0;
    if (!QuestionText(code, &text, &type)) return 0;
    return MessageBox(m_hWnd, Text(text).c_str(), type);
}

void CCoDrubeck::OnStatus(unsigned int word)
{
    const StatusReaction reaction = ReactionToStatus(word);
    if (!reaction.stringId) return;
    const std::string text = Text(reaction.stringId);
    m_log.Add(text.c_str());
    if (reaction.showBox) ::MessageBoxA(m_hWnd, text.c_str(), "Tavell Burner", MB_ICONWARNING);
}
