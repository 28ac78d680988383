// CCoAudioCDLayout: the ordered tracks of an audio CD. Before a burn it
// decodes, on a thread of its own, every track that is not already a WAV
// file of CD sound into a temporary CD-sound WAV file (the disc layer writes
// nothing else), and tells its clients through
// _IMessageCallback (LM_DECODEBEGIN, LM_DECODEPROGRESS, LM_DECODEEND).
// Each layout holds one start-up of the audio layer.
#pragma once
#include "audio/audio_track.h"
#include "audio/track_decoder.h"
#include "devices/message_callback_point.h"
#include "engine.h"
#include <shared/auto_object_logger.h>
#include <com/connection_point.h>
#include <com/external_connection.h>
#include <com/lock.h>
#include <com/object.h>
#include <com/ptr.h>
#include <string>
#include <vector>

class CCoAudioCDLayout : public com::ObjectRoot<com::MultiThreadModel>,
                         public IAudioCDLayout,
                         public com::ConnectionPointContainer,
                         public com::ExternalConnection,
                         public CAutoObjectLogger<CCoAudioCDLayout> {
public:
    COM_INTERFACES_BEGIN(CCoAudioCDLayout)
        COM_INTERFACE(IAudioCDLayout)
        COM_INTERFACE(IConnectionPointContainer)
        COM_INTERFACE(IExternalConnection)
    COM_INTERFACES_END()

    HRESULT FinalConstruct();
    void FinalRelease();

    // IAudioCDLayout
    STDMETHODIMP InsertTrack(unsigned int a_uiIndex, BSTR a_bsFilePath) override;
    STDMETHODIMP AddTrack(BSTR a_bsFilePath) override;
    STDMETHODIMP RemoveTrack(unsigned int a_uiTrackIndex) override;
    STDMETHODIMP GetTrack(unsigned int a_uiIndex, IAudioTrack** a_ppAudioTrack) override;
    STDMETHODIMP GetTrackCount(unsigned int* a_puiTrackCount) override;
    STDMETHODIMP GetTrackIndex(IAudioTrack* a_pAudioTrack, unsigned int* a_puiTrackIndex) override;
    STDMETHODIMP Decode() override;
    STDMETHODIMP Cancel() override;
    STDMETHODIMP MoveTracks(IEnumULONG* a_pEnumULONG, unsigned long a_pPos) override;
    STDMETHODIMP SetCDTitle(BSTR a_bsCDTitle) override;
    STDMETHODIMP GetCDTitle(BSTR* a_pbsTitle) override;
    STDMETHODIMP GetImageSize(hyper* a_pImageDataSize) override;

protected:
    // Runs on the decode thread after the layout takes a new decode and
    // before this one's end is fired: the tests hold the thread here.
    virtual void BeforeDecodeEnd() {}

private:
    using TrackPtr = com::ComPtr<com::ComObject<CCoAudioTrack>>;
    struct DecodeRun;

    static DWORD WINAPI DecodeThread(void* run);
    // Decodes the snapshot; the end event's first value (0 every track
    // done, 1 a track failed, 2 stopped).
    unsigned DecodeTracks(const std::vector<TrackPtr>& tracks, const std::string& folder);
    // A track whose file changed since it was added: logged, named by a
    // progress event, and the decode's result (failed).
    unsigned ChangedSource(const CCoAudioTrack& track, unsigned index);
    void Fire(unsigned message, unsigned wParam, unsigned lParam);
    // Under the object lock.
    void RecomputeStarts();

    MessageCallbackPoint m_events{this};
    com::CriticalSection m_fireLock;  // events of one decode reach sinks in order
    std::vector<TrackPtr> m_tracks;
    volatile LONG m_stop = 0;
    bool m_decoding = false;
    bool m_started = false;  // holds a start-up of the audio layer
};

// Decode results, the first value of LM_DECODEEND.
enum : unsigned { DECODE_DONE = 0, DECODE_FAILED = 1, DECODE_STOPPED = 2 };
