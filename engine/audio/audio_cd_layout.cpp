#include "audio/audio_cd_layout.h"
#include <shared/log.h>
#include <shared/method_log.h>
#include <com/guard.h>
#include <com/text.h>
#include <algorithm>
#include <memory>

namespace {

const size_t RESERVED_TRACKS = 100;
// An enumerator that never says S_FALSE still ends.
const size_t MAX_MOVED_INDEXES = 100000;

}  // namespace

// What a decode thread owns: its reference on the layout, taken before the
// thread starts, and the tracks as they were when Decode was called.
struct CCoAudioCDLayout::DecodeRun {
    CCoAudioCDLayout* layout;
    com::ComPtr<IAudioCDLayout> hold;
    std::vector<TrackPtr> tracks;
};

HRESULT CCoAudioCDLayout::FinalConstruct()
{
    m_tracks.reserve(RESERVED_TRACKS);
    // Counted only when it worked, so teardown stops only what started.
    m_started = Audio_Start() != 0;
    if (!m_started) LogPrintf("CCoAudioCDLayout: Audio_Start failed: %s", Audio_ErrorText(Audio_ErrorCode()));
    return S_OK;
}

void CCoAudioCDLayout::FinalRelease()
{
    m_tracks.clear();
    if (m_started) Audio_Stop();
    m_started = false;
}

void CCoAudioCDLayout::RecomputeStarts()
{
    double start = 0;
    for (const TrackPtr& track : m_tracks) {
        track->SetStart(start);
        start += track->LengthSeconds();
    }
}

STDMETHODIMP CCoAudioCDLayout::InsertTrack(unsigned int a_uiIndex, BSTR a_bsFilePath)
{
    CLogMethodScope<CCoAudioCDLayout> log("InsertTrack");
    return com::Guarded("CCoAudioCDLayout::InsertTrack", [&]() -> HRESULT {
        TrackPtr track;
        HRESULT hr = com::CreateObjectImpl<CCoAudioTrack>(&track);
        if (FAILED(hr)) return hr;
        // The analysis reads the file: outside the lock.
        if (FAILED(track->Analyse(com::AnsiFromBstr(a_bsFilePath)))) return E_FAIL;
        com::ObjectLock<CCoAudioCDLayout> lock(this);
        const size_t at = std::min<size_t>(a_uiIndex, m_tracks.size());
        m_tracks.insert(m_tracks.begin() + at, track);
        RecomputeStarts();
        return S_OK;
    });
}

STDMETHODIMP CCoAudioCDLayout::AddTrack(BSTR a_bsFilePath)
{
    return InsertTrack(0xFFFFFFFFu, a_bsFilePath);
}

STDMETHODIMP CCoAudioCDLayout::RemoveTrack(unsigned int a_uiTrackIndex)
{
    TrackPtr gone;  // released outside the lock: its file goes then
    com::ObjectLock<CCoAudioCDLayout> lock(this);
    if (a_uiTrackIndex >= m_tracks.size()) return E_INVALIDARG;
    gone = m_tracks[a_uiTrackIndex];
    m_tracks.erase(m_tracks.begin() + a_uiTrackIndex);
    RecomputeStarts();
    return S_OK;
}

STDMETHODIMP CCoAudioCDLayout::GetTrack(unsigned int a_uiIndex, IAudioTrack** a_ppAudioTrack)
{
    if (!a_ppAudioTrack) return E_INVALIDARG;
    *a_ppAudioTrack = nullptr;
    com::ObjectLock<CCoAudioCDLayout> lock(this);
    if (a_uiIndex >= m_tracks.size()) return E_INVALIDARG;
    return m_tracks[a_uiIndex]->QueryInterface(IID_IAudioTrack, reinterpret_cast<void**>(a_ppAudioTrack));
}

STDMETHODIMP CCoAudioCDLayout::GetTrackCount(unsigned int* a_puiTrackCount)
{
    if (!a_puiTrackCount) return E_INVALIDARG;
    com::ObjectLock<CCoAudioCDLayout> lock(this);
    *a_puiTrackCount = static_cast<unsigned>(m_tracks.size());
    return S_OK;
}

STDMETHODIMP CCoAudioCDLayout::GetTrackIndex(IAudioTrack* a_pAudioTrack, unsigned int* a_puiTrackIndex)
{
    if (!a_pAudioTrack || !a_puiTrackIndex) return E_INVALIDARG;
    *a_puiTrackIndex = 0xFFFFFFFFu;
    com::ObjectLock<CCoAudioCDLayout> lock(this);
    for (size_t i = 0; i < m_tracks.size(); ++i)
        if (com::SameObject(static_cast<IAudioTrack*>(m_tracks[i].Get()), a_pAudioTrack)) {
            *a_puiTrackIndex = static_cast<unsigned>(i);
            break;
        }
    return S_OK;
}

STDMETHODIMP CCoAudioCDLayout::Decode()
{
    CLogMethodScope<CCoAudioCDLayout> log("Decode");
    return com::Guarded("CCoAudioCDLayout::Decode", [&]() -> HRESULT {
        auto run = std::make_unique<DecodeRun>();
        run->layout = this;
        run->hold = this;  // the thread's reference, taken before it starts
        com::ObjectLock<CCoAudioCDLayout> lock(this);
        if (m_decoding) return STG_E_INUSE;
        run->tracks = m_tracks;
        InterlockedExchange(&m_stop, 0);
        m_decoding = true;
        HANDLE thread = CreateThread(nullptr, 0, DecodeThread, run.get(), 0, nullptr);
        if (!thread) {
            m_decoding = false;
            LogPrintf("CCoAudioCDLayout: no decode thread (error %lu)", GetLastError());
            return E_FAIL;
        }
        run.release();  // the thread's now
        CloseHandle(thread);
        return S_OK;
    });
}

DWORD WINAPI CCoAudioCDLayout::DecodeThread(void* param)
{
    std::unique_ptr<DecodeRun> run(static_cast<DecodeRun*>(param));
    // The component runtime carries the events to the clients, and the
    // audio layer reads WMA through it.
    const HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    CCoAudioCDLayout* layout = run->layout;
    char folder[MAX_PATH + 1] = "";
    GetTempPathA(sizeof folder, folder);
    unsigned result = DECODE_FAILED;
    com::Guarded("CCoAudioCDLayout::DecodeThread", [&] {
        layout->Fire(LM_DECODEBEGIN, 0, 0);
        result = layout->DecodeTracks(run->tracks, folder);
        return S_OK;
    });
    {
        // A client told of the end may decode again at once, so the flag is
        // cleared first; under the firing lock, which the next decode's
        // begin waits for, so that this end reaches the sinks before it.
        com::AutoLock fire(layout->m_fireLock);
        {
            com::ObjectLock<CCoAudioCDLayout> lock(layout);
            layout->m_decoding = false;
        }
        com::Guarded("CCoAudioCDLayout::DecodeThread", [&] {
            layout->BeforeDecodeEnd();
            layout->m_events.FirePost(LM_DECODEEND, result, 0);
            return S_OK;
        });
    }
    run.reset();  // may be the layout's last reference
    if (SUCCEEDED(init)) CoUninitialize();
    return 0;
}

unsigned CCoAudioCDLayout::DecodeTracks(const std::vector<TrackPtr>& tracks, const std::string& folder)
{
    for (size_t i = 0; i < tracks.size(); ++i) {
        CCoAudioTrack& track = *tracks[i].Get();
        const unsigned index = static_cast<unsigned>(i);
        // A file changed since it was added is not what the list shows: the
        // decode fails on it, its track named by a progress event.
        if (!track.SourceUnchanged()) return ChangedSource(track, index);
        if (track.IsCdSound()) continue;  // burned as it is
        const std::string done = track.TempPath();
        if (!done.empty() && GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
        Fire(LM_DECODEPROGRESS, index, 0);
        CTrackDecoder decoder(folder, &m_stop, [&](unsigned percent) { Fire(LM_DECODEPROGRESS, index, percent); });
        std::string path;
        switch (decoder.Decode(track, &path)) {
        case DecodeResult::Done: break;
        case DecodeResult::Stopped: return DECODE_STOPPED;
        case DecodeResult::Failed: return DECODE_FAILED;
        }
        if (!track.SourceUnchanged()) {  // changed while it was read
            DeleteFileA(path.c_str());
            return ChangedSource(track, index);
        }
        track.SetTempPath(path);
    }
    return DECODE_DONE;
}

unsigned CCoAudioCDLayout::ChangedSource(const CCoAudioTrack& track, unsigned index)
{
    LogPrintf("CCoAudioCDLayout: \"%s\" has changed since it was added: not decoded", track.Path().c_str());
    Fire(LM_DECODEPROGRESS, index, 0);
    return DECODE_FAILED;
}

void CCoAudioCDLayout::Fire(unsigned message, unsigned wParam, unsigned lParam)
{
    com::AutoLock lock(m_fireLock);
    m_events.FirePost(message, wParam, lParam);
}

STDMETHODIMP CCoAudioCDLayout::Cancel()
{
    InterlockedExchange(&m_stop, 1);
    return S_OK;
}

STDMETHODIMP CCoAudioCDLayout::MoveTracks(IEnumULONG* a_pEnumULONG, unsigned long a_pPos)
{
    if (!a_pEnumULONG) return E_POINTER;
    return com::Guarded("CCoAudioCDLayout::MoveTracks", [&]() -> HRESULT {
        // The client's enumerator is read before the lock is taken.
        std::vector<unsigned long> indexes;
        unsigned long index = 0, fetched = 0;
        while (indexes.size() < MAX_MOVED_INDEXES && a_pEnumULONG->Next(1, &index, &fetched) == S_OK && fetched == 1)
            indexes.push_back(index);
        com::ObjectLock<CCoAudioCDLayout> lock(this);
        // Indexes past the end, and repeats, are left out.
        std::vector<bool> moving(m_tracks.size(), false);
        std::vector<TrackPtr> moved;
        size_t below = 0;
        for (unsigned long i : indexes) {
            if (i >= m_tracks.size() || moving[i]) continue;
            moving[i] = true;
            moved.push_back(m_tracks[i]);
            if (i < a_pPos) ++below;
        }
        std::vector<TrackPtr> rest;
        for (size_t i = 0; i < m_tracks.size(); ++i)
            if (!moving[i]) rest.push_back(m_tracks[i]);
        const size_t target = std::min<size_t>(a_pPos - std::min<size_t>(below, a_pPos), rest.size());
        rest.insert(rest.begin() + target, moved.begin(), moved.end());
        m_tracks.swap(rest);
        RecomputeStarts();
        return S_OK;
    });
}

STDMETHODIMP CCoAudioCDLayout::SetCDTitle(BSTR)
{
    return S_OK;
}

STDMETHODIMP CCoAudioCDLayout::GetCDTitle(BSTR* a_pbsTitle)
{
    if (!a_pbsTitle) return E_POINTER;
    *a_pbsTitle = SysAllocString(L"");
    return *a_pbsTitle ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CCoAudioCDLayout::GetImageSize(hyper* a_pImageDataSize)
{
    if (!a_pImageDataSize) return E_POINTER;
    com::ObjectLock<CCoAudioCDLayout> lock(this);
    int64_t total = 0;
    for (const TrackPtr& track : m_tracks) total += track->CdBytes();
    *a_pImageDataSize = total;
    return S_OK;
}
