// The burning frame's jobs: the burn request and its hand-over through the
// partner's answers, the erase, and the cancel.
#include "burning_frame.h"
#include <com/bstr.h>
#include <shared/log.h>
#include <shared/variant_safearray.h>
#include <commctrl.h>
#include <string>

// One burn type: its preparation lines, the question that fetches its
// source, and the engine call that burns it.
struct BurnKind {
    long type;
    UINT prepared, cancelled, failed;
    unsigned int question;
    const char* questionName;
    const char* routine;
    bool textSource;  // a path (BSTR), else an engine object
    UINT before;      // the line logged before the call (0: none)
};

namespace {

const BurnKind kBurnKinds[] = {
    {BURN_TYPE_DVD_VIDEO, IDS_DVD_PREPARED, IDS_DVD_PREPARE_CANCELLED, IDS_DVD_PREPARE_FAILED,
     BFCID_GET_DVDIMAGE_FOLDER, "BFCID_GET_DVDIMAGE_FOLDER", "_Burn_DVDVideo()", true, IDS_USING_FOLDER},
    {BURN_TYPE_DATA, IDS_DATA_PREPARED, IDS_DATA_PREPARE_CANCELLED, IDS_DATA_PREPARE_FAILED, BFCID_GET_DATAIMAGE,
     "BFCID_GET_DATAIMAGE", "_Burn_Data()", false, 0},
    {BURN_TYPE_AUDIO, IDS_AUDIO_PREPARED, IDS_AUDIO_PREPARE_CANCELLED, IDS_AUDIO_PREPARE_FAILED,
     BFCID_GET_AUDIOIMAGE, "BFCID_GET_AUDIOIMAGE", "_Burn_Audio()", false, 0},
    {BURN_TYPE_IMAGE, IDS_IMAGE_PREPARED, IDS_IMAGE_PREPARE_CANCELLED, IDS_IMAGE_PREPARE_FAILED,
     BFCID_GET_ISOIMAGE_PATH, "BFCID_GET_ISOIMAGE_PATH", "_Burn_ISOImage()", true, 0},
    {BURN_TYPE_VIDEO_CD, IDS_VCD_PREPARED, IDS_VCD_PREPARE_CANCELLED, IDS_VCD_PREPARE_FAILED,
     BFCID_GET_VIDEO_CD_FILENAME, "BFCID_GET_VIDEO_CD_FILENAME", "_Burn_VideoCD()", true, IDS_BURNING_VCD},
    {BURN_TYPE_SUPER_VIDEO_CD, IDS_SVCD_PREPARED, IDS_SVCD_PREPARE_CANCELLED, IDS_SVCD_PREPARE_FAILED,
     BFCID_GET_SUPER_VIDEO_CD_FILENAME, "BFCID_GET_SUPER_VIDEO_CD_FILENAME", "_Burn_SuperVideoCD()", true,
     IDS_BURNING_SVCD},
};

const HRESULT CANCELLED_BY_USER = static_cast<HRESULT>(0x8010006E);

}  // namespace

unsigned long CCoDrubeck::LastArgument()
{
    return IsDlgButtonChecked(m_hWnd, IDC_TEST_WRITE) == BST_CHECKED ? 0xFFFFFFFF : 2;
}

void CCoDrubeck::RequestBurn()
{
    if (m_job != Job::None) return;  // one job of this frame at a time
    SendEnableUI(FALSE);
    if (FAILED(SendCommand(PCID_REQUEST_BURN, nullptr))) SendEnableUI(TRUE);
}

LRESULT CCoDrubeck::OnBurnClicked(WORD, WORD, HWND button, BOOL&)
{
    if (::IsWindowEnabled(button)) RequestBurn();
    return 0;
}

LRESULT CCoDrubeck::OnStartResult(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    FinishBurnStart(StartBurn(static_cast<HRESULT>(wParam)));
    return 0;
}

HRESULT CCoDrubeck::StartBurn(HRESULT preparation)
{
    long type = 0;
    HRESULT hr = E_OUTOFMEMORY;
    {
        CVariantSafearray data(1);
        if (data.Create()) hr = data.Prepare({{VT_I4 | VT_BYREF, &type}});
        if (SUCCEEDED(hr)) hr = SendCommand(BFCID_GET_BURN_TYPE, data);
    }
    if (FAILED(hr)) {
        LogText(IDS_TYPE_QUERY_FAILED);
        return hr;
    }
    const BurnKind* kind = nullptr;
    for (const BurnKind& k : kBurnKinds)
        if (k.type == type) kind = &k;
    if (!kind) {
        // Nothing to burn: the partner learns it from the result.
        LogFailure("BFCID_GET_BURN_TYPE", type, 0);
        LogText(IDS_BURN_START_FAILED);
        return E_INVALIDARG;
    }
    LogText(preparation == CANCELLED_BY_USER ? kind->cancelled : preparation == S_OK ? kind->prepared : kind->failed);
    if (FAILED(preparation)) return preparation;
    hr = RunBurnKind(*kind);
    if (FAILED(hr)) LogText(IDS_BURN_START_FAILED);
    return hr;
}

HRESULT CCoDrubeck::RunBurnKind(const BurnKind& kind)
{
    const std::string name = std::string("CCoDrubeck ") + kind.routine;
    CLogFunctionScope scope(name.c_str());
    BSTR text = nullptr;
    IUnknown* object = nullptr;
    HRESULT hr = E_OUTOFMEMORY;
    {
        CVariantSafearray data(1);
        if (data.Create())
            hr = kind.textSource ? data.Prepare({{VT_BSTR | VT_BYREF, &text}})
                                 : data.Prepare({{VT_UNKNOWN | VT_BYREF, &object}});
        if (SUCCEEDED(hr)) hr = SendCommand(kind.question, data);
    }
    // What the partner handed over is this frame's from here on.
    com::Bstr source;
    source.Attach(text);
    com::ComPtr<IUnknown> tree;
    tree.Attach(object);
    if (FAILED(hr)) {
        LogFailure(kind.questionName, hr);
        return hr;
    }
    if (kind.before == IDS_USING_FOLDER)
        m_log.Printf("%s: \"%s\"", Text(kind.before).c_str(), source.Ansi().c_str());
    else if (kind.before)
        m_log.Printf(Text(kind.before).c_str(), source.Ansi().c_str());

    IDevice* device = m_drives.Device();
    if (!device) return E_FAIL;
    const unsigned long speed = SelectedSpeed(), last = LastArgument();
    // The job is this frame's from the call on: its first events may come
    // before the call returns.
    JobStarted(Job::Burn);
    if (kind.type >= BURN_TYPE_VIDEO_CD) {
        com::ComPtr<IWriter2> writer;
        hr = device->QueryInterface(IID_IWriter2, reinterpret_cast<void**>(&writer));
        if (SUCCEEDED(hr))
            hr = kind.type == BURN_TYPE_VIDEO_CD ? writer->BurnVideoCD(m_cookie, speed, source, last)
                                                 : writer->BurnSuperVideoCD(m_cookie, speed, source, last);
        else
            hr = E_FAIL;
    } else {
        com::ComPtr<IWriter> writer;
        hr = device->QueryInterface(IID_IWriter, reinterpret_cast<void**>(&writer));
        if (FAILED(hr)) hr = E_FAIL;
        else if (kind.type == BURN_TYPE_DVD_VIDEO) hr = writer->BurnDVDVideo(m_cookie, speed, source, last);
        else if (kind.type == BURN_TYPE_DATA) hr = writer->BurnData(m_cookie, speed, tree, last);
        else if (kind.type == BURN_TYPE_AUDIO) hr = writer->BurnAudio(m_cookie, speed, tree, last);
        else hr = writer->BurnImage(m_cookie, speed, source, last);
    }
    if (FAILED(hr)) JobEnded();
    return hr;
}

void CCoDrubeck::FinishBurnStart(HRESULT result)
{
    if (SUCCEEDED(result)) {
        RefreshControls();
        return;
    }
    // The project enables its pages again.
    SendResult(result);
    SendEnableUI(TRUE);
    RefreshControls();
}

LRESULT CCoDrubeck::OnEraseClicked(WORD, WORD, HWND button, BOOL&)
{
    if (!::IsWindowEnabled(button)) return 0;
    HMENU menu = LoadMenuA(com::ModuleInstance(), MAKEINTRESOURCEA(IDM_ERASE_POPUP));
    if (!menu) return 0;
    HMENU popup = GetSubMenu(menu, 0);
    for (UINT item : {ID_QUICK_ERASE, ID_FULL_ERASE}) {
        const std::string text = GetLangStr(item);
        if (!text.empty()) ModifyMenuA(popup, item, MF_BYCOMMAND | MF_STRING, item, text.c_str());
    }
    RECT r = wnd::Window(button).GetWindowRect();
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, r.left, r.bottom, 0, m_hWnd, nullptr));
    DestroyMenu(menu);
    if (chosen == ID_QUICK_ERASE) EraseDisc(0);
    else if (chosen == ID_FULL_ERASE) EraseDisc(1);
    return 0;
}

void CCoDrubeck::EraseDisc(unsigned int full)
{
    if (!m_drives.Device() || m_job != Job::None) return;
    com::ComPtr<IWriter> writer;
    HRESULT hr = m_drives.Device()->QueryInterface(IID_IWriter, reinterpret_cast<void**>(&writer));
    if (SUCCEEDED(hr)) {
        JobStarted(Job::Erase);
        hr = writer->Erase(m_cookie, SelectedSpeed(), full);
    }
    if (SUCCEEDED(hr)) {
        RefreshControls();
        return;
    }
    JobEnded();
    LogFailure("IWriter::Erase", hr);
    const std::string text = Text(IDS_ERASE_START_FAILED);
    m_log.Add(text.c_str());
    MessageBox(m_hWnd, text.c_str(), MB_ICONWARNING);
    RefreshControls();
}

LRESULT CCoDrubeck::OnCancelClicked(WORD, WORD, HWND button, BOOL&)
{
    if (!::IsWindowEnabled(button)) return 0;
    if (m_job != Job::None) m_cancelRequested = true;
    SendCommand(PCID_CANCEL, nullptr);
    CancelJob();
    return 0;
}

void CCoDrubeck::CancelJob()
{
    if (m_job == Job::None || !m_drives.Device()) return;
    com::ComPtr<IWriter> writer;
    if (SUCCEEDED(m_drives.Device()->QueryInterface(IID_IWriter, reinterpret_cast<void**>(&writer)))) {
        HRESULT hr = writer->Cancel();
        if (FAILED(hr)) LogFailure("IWriter::Cancel", hr);
    }
}

void CCoDrubeck::JobStarted(Job job)
{
    m_job = job;
    m_cancelRequested = false;
    m_jobDeviceId = 0;
    if (m_drives.Device()) m_drives.Device()->GetDeviceID(&m_jobDeviceId);
    SetTimer(m_hWnd, JOB_WATCH_TIMER, JOB_WATCH_MS, nullptr);
}

void CCoDrubeck::JobEnded()
{
    m_job = Job::None;
    KillTimer(m_hWnd, JOB_WATCH_TIMER);
}

LRESULT CCoDrubeck::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != JOB_WATCH_TIMER) {
        handled = FALSE;
        return 0;
    }
    if (m_job == Job::None) {
        KillTimer(m_hWnd, JOB_WATCH_TIMER);
        return 0;
    }
    // A drive that answers no more (the engine died, or the drive went
    // away with its events) ends the job here.
    unsigned int busy = 0;
    const HRESULT hr = m_drives.Device() ? m_drives.Device()->GetDeviceBusy(&busy) : E_FAIL;
    if (FAILED(hr)) {
        LogFailure("IDevice::GetDeviceBusy", hr);
        EndLostJob();
    }
    return 0;
}

void CCoDrubeck::EndLostJob()
{
    if (m_job == Job::None) return;
    const Job job = m_job;
    JobEnded();
    m_preparing = m_working = FALSE;
    LogText(IDS_JOB_LOST);
    ::SendMessageA(m_progress, PBM_SETPOS, 0, 0);
    ::SendMessageA(m_buffer, PBM_SETPOS, 0, 0);
    if (job == Job::Burn) {
        LogText(IDS_BURN_FAILED);
        SendResult(E_FAIL);
        SendEnableUI(TRUE);
    } else {
        LogText(IDS_ERASE_FAILED);
    }
    RefreshControls();
}
