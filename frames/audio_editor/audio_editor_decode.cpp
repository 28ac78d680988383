// The audio editor's decode: PCID_START has the layout decode every track
// the burn cannot take as it is; the layout's events show the progress,
// Stop cancels, and the end is reported to the project as what it was.
#include "audio_editor_frame.h"
#include "audio_editor_texts.h"
#include "decode_progress_dialog.h"
#include <frames/common/dialog_placement.h>
#include <shared/log.h>
#include <shared/settings_helper.h>
#include <com/text.h>

namespace {
// The decode-end event's results.
enum : unsigned { DECODE_DONE = 0, DECODE_FAILED = 1, DECODE_CANCELLED = 2 };
}  // namespace

HRESULT CCoHollistra::StartDecode()
{
    if (Decoding() || m_decodeRunning) return STG_E_INUSE;
    m_decodeTrack = -1;
    m_decodeCount = 0;
    m_decodeTitle.reset();
    m_decodeCancelled = false;
    // Running before the call: the call into the engine dispatches posted
    // messages, and the begin event may come in before it returns.
    m_decodeRunning = true;
    const HRESULT hr = m_layout->Decode();
    if (FAILED(hr)) m_decodeRunning = false;
    return hr;
}

// The layout's events come from its own thread: a begin that arrives after
// the end of its decode must not show the window again. The editor's window
// stays enabled: its edits are refused while the window shows and while
// the project has the UI disabled, so no late event can leave it dead.
LRESULT CCoHollistra::OnDecodeBegin(UINT, WPARAM, LPARAM, BOOL&)
{
    if (!m_decodeRunning) return 0;
    m_player.Stop();
    if (m_decodeWindow && m_decodeWindow->IsWindow()) {
        CenterOverOwner(m_decodeWindow->m_hWnd);
        m_decodeWindow->Show(true);  // clears its stop flag
    }
    UpdateCommands();
    return 0;
}

// The count and the title are read once a track: a call into the engine
// dispatches the progress messages queued meanwhile, and reading them on
// every message would nest those handlers deeper with each call, the test's
// or the user's next input waiting under them. A message of the same track
// arriving during the reads shows the total line alone.
LRESULT CCoHollistra::OnDecodeProgress(UINT, WPARAM track, LPARAM percent, BOOL&)
{
    if (!m_decodeRunning) return 0;
    if (int(track) != m_decodeTrack) {
        m_decodeTrack = int(track);
        m_decodeTitle.reset();
        ReadDecodeTexts(unsigned(track));
    }
    if (m_decodeWindow) {
        m_decodeWindow->ShowProgress(unsigned(track), m_decodeCount, unsigned(percent), m_decodeTitle.get());
        if (m_decodeWindow->StopRequested() && !m_decodeCancelled) {
            m_decodeCancelled = true;
            m_layout->Cancel();
        }
    }
    return 0;
}

void CCoHollistra::ReadDecodeTexts(unsigned track)
{
    unsigned count = 0;
    if (SUCCEEDED(m_layout->GetTrackCount(&count))) m_decodeCount = count;
    com::ComPtr<IAudioTrack> decoded = Track(track);
    BSTR text = nullptr;
    if (!decoded || FAILED(decoded->GetTitle(&text))) return;
    auto title = std::make_unique<std::string>(com::AnsiFromBstr(text));
    SysFreeString(text);
    if (m_decodeTrack == int(track)) m_decodeTitle = std::move(title);
}

// The project learns the failure the layout reported (a stopped decode is a
// cancel, a failed one names its track); the project enables the UI again.
LRESULT CCoHollistra::OnDecodeEnd(UINT, WPARAM result, LPARAM, BOOL&)
{
    if (!m_decodeRunning) return 0;
    m_decodeRunning = false;
    if (m_decodeWindow && m_decodeWindow->IsWindow()) m_decodeWindow->Show(false);
    HRESULT reported = S_OK;
    if (result == DECODE_CANCELLED) {
        reported = SCARD_W_CANCELLED_BY_USER;
        LogPrintf("Decoding cancelled by user");
    } else if (result != DECODE_DONE) {
        reported = E_FAIL;
        LogPrintf("Decoding failed at track %i", m_decodeTrack + 1);
    }
    UpdateCommands();
    Send(PCID_RESULT, {{VT_UI4, static_cast<unsigned>(reported)},
                       {VT_UI4, static_cast<unsigned>(result == DECODE_FAILED ? m_decodeTrack : -1)}});
    // The project passes no failure on to the burning frame: the user learns
    // here why the burn did not start.
    if (result == DECODE_FAILED && IsWindow()) {
        const std::string title = m_decodeTrack >= 0 ? RowTexts(unsigned(m_decodeTrack)).title : std::string();
        TitledMessageBox(m_hWnd, AudioEditorFormat(IDS_DECODE_FAILED, m_decodeTrack + 1, title.c_str()).c_str(),
                         MB_OK | MB_ICONERROR);
    }
    return 0;
}
