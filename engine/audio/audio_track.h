// CCoAudioTrack: one audio file of an audio CD layout. It opens the file
// through the audio layer for decoding and keeps what the analysis found;
// ISimpleRawPtr hands the object itself to the layout and the burn job.
// While its channel is open the track holds a start-up of the audio layer,
// so a client that keeps a track past its layout can still use it.
#pragma once
#include "engine.h"
#include <audio/audio_layer.h>
#include <shared/auto_object_logger.h>
#include <com/object.h>
#include <cstdint>
#include <string>

class CCoAudioTrack : public com::ObjectRoot<com::MultiThreadModel>,
                      public IAudioTrack,
                      public ISimpleRawPtr,
                      public CAutoObjectLogger<CCoAudioTrack> {
public:
    COM_INTERFACES_BEGIN(CCoAudioTrack)
        COM_INTERFACE(IAudioTrack)
        COM_INTERFACE(ISimpleRawPtr)
    COM_INTERFACES_END()

    void FinalRelease();

    // Opens and analyses the file; E_FAIL when it is no audio the layer
    // reads or has more than two channels.
    HRESULT Analyse(const std::string& path);

    // IAudioTrack
    STDMETHODIMP GetTitle(BSTR* a_pbsTitle) override;
    STDMETHODIMP GetArtist(BSTR* a_pbsArtist) override;
    STDMETHODIMP GetPath(BSTR* a_pbsPath) override;
    STDMETHODIMP GetLengthMSFT(unsigned int* a_puiMin, unsigned int* a_puiSec, unsigned int* a_puiFT) override;
    STDMETHODIMP GetFormat(AUDIO_FILE_FORMAT* a_pFormat) override;
    STDMETHODIMP GetSampleRate(unsigned int* a_puiSampleRate) override;
    STDMETHODIMP GetStereo(unsigned int* a_puiChannels) override;
    STDMETHODIMP SetTitle(BSTR a_bsTitle) override;
    STDMETHODIMP SetArtist(BSTR a_bsArtist) override;
    STDMETHODIMP GetTempFilePath(BSTR* a_pbsPath) override;
    STDMETHODIMP GetStartMSFT(unsigned int* a_puiMin, unsigned int* a_puiSec, unsigned int* a_puiFT) override;

    // ISimpleRawPtr: the CCoAudioTrack itself.
    STDMETHODIMP_(ULONG_PTR) GetRawPtr() override;

    // For the layout and its decode thread.
    AUDIO_FILE_FORMAT Format() const { return m_format; }
    AudioChannel Channel() const { return m_channel; }
    uint32_t Rate() const { return m_rate; }
    uint32_t Channels() const { return m_channels; }
    // A WAV file of CD sound (44.1 kHz, 16 bits, stereo) that the disc
    // layer takes as it is; every other track is decoded for the disc.
    bool IsCdSound() const { return m_cdSound; }
    uint64_t LengthBytes() const { return m_lengthBytes; }
    double LengthSeconds() const { return m_lengthSeconds; }
    const std::string& Path() const { return m_path; }
    // The file has the size and last write time it had at the analysis. The
    // channel reads a changed file through the old analysis (its length,
    // where its frames were) and fills what it cannot decode with silence,
    // so a changed file would be burned as something the list does not show.
    bool SourceUnchanged() const;
    // The track's size on a CD: 44.1 kHz 16-bit stereo, whole sectors.
    int64_t CdBytes() const;
    void SetStart(double seconds);
    std::string TempPath();
    // The decoded file, deleted with the track (or when replaced).
    void SetTempPath(const std::string& path);

    static AUDIO_FILE_FORMAT FormatOfType(uint32_t type);

private:
    static HRESULT Msf(double seconds, unsigned int* min, unsigned int* sec, unsigned int* frames);
    HRESULT Text(const std::string& text, BSTR* out);
    void ReadTitle(const std::string& path);

    std::string m_title, m_artist, m_path, m_tempPath;
    AUDIO_FILE_FORMAT m_format = AFF_UNKNOWN;
    double m_start = 0, m_lengthSeconds = 0;
    uint64_t m_lengthBytes = 0;
    uint32_t m_rate = 0, m_channels = 0, m_bits = 0;
    bool m_cdSound = false;  // found by the disc layer's own check
    AudioChannel m_channel = 0;
    bool m_started = false;  // holds a start-up of the audio layer
    uint64_t m_fileSize = 0;  // the file as the analysis found it
    FILETIME m_written = {};
};
