#include "audio/audio_track.h"
#include "devices/grabber.h"
#include <shared/log.h>
#include <com/guard.h>
#include <com/text.h>
#include <cmath>

namespace {

// One CD sector holds 1/75 s of 44.1 kHz 16-bit stereo sound.
const uint64_t CD_SECTOR_BYTES = 2352;
const uint64_t CD_SECTORS_PER_SECOND = 75;

bool FileStamp(const std::string& path, uint64_t* size, FILETIME* written)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    *size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    *written = data.ftLastWriteTime;
    return true;
}

}  // namespace

AUDIO_FILE_FORMAT CCoAudioTrack::FormatOfType(uint32_t type)
{
    switch (type) {
    case AUDIO_TYPE_WAV: return AFF_WAV;
    case AUDIO_TYPE_MP3: return AFF_MP3;
    case AUDIO_TYPE_MP2: return AFF_MP2;
    case AUDIO_TYPE_MP1: return AFF_MP1;
    case AUDIO_TYPE_OGG: return AFF_OGG;
    case AUDIO_TYPE_WMA: return AFF_WMA;
    case AUDIO_TYPE_MO3: return AFF_MO3;
    case AUDIO_TYPE_MOD: return AFF_MOD;
    case AUDIO_TYPE_MTM: return AFF_MTM;
    case AUDIO_TYPE_S3M: return AFF_S3M;
    case AUDIO_TYPE_XM: return AFF_XM;
    case AUDIO_TYPE_IT: return AFF_IT;
    default: return AFF_UNKNOWN;
    }
}

void CCoAudioTrack::FinalRelease()
{
    SetTempPath(std::string());
    if (m_channel) Audio_Close(m_channel);
    if (m_started) Audio_Stop();
}

HRESULT CCoAudioTrack::Analyse(const std::string& path)
{
    // Taken before the file is read: a change while it is read counts too.
    if (!FileStamp(path, &m_fileSize, &m_written)) {
        LogPrintf("CCoAudioTrack: \"%s\" cannot be read (error %lu)", path.c_str(), GetLastError());
        return E_FAIL;
    }
    m_started = Audio_Start() != 0;
    if (!m_started) {
        LogPrintf("CCoAudioTrack: Audio_Start failed: %s", Audio_ErrorText(Audio_ErrorCode()));
        return E_FAIL;
    }
    m_channel = Audio_Open(path.c_str(), AUDIO_OPEN_DECODE);
    AudioInfo info = {};
    if (!m_channel || !Audio_GetInfo(m_channel, &info)) {
        LogPrintf("CCoAudioTrack: \"%s\" cannot be opened: %s", path.c_str(), Audio_ErrorText(Audio_ErrorCode()));
        return E_FAIL;
    }
    if (info.channels < 1 || info.channels > 2 || info.rate == 0) return E_FAIL;
    m_format = FormatOfType(info.type);
    m_rate = info.rate;
    m_channels = info.channels;
    m_bits = info.bits;
    m_cdSound = m_format == AFF_WAV && m_rate == 44100 && m_channels == 2 && m_bits == 16 &&
                IsBurnableCdSound(path.c_str());
    m_lengthBytes = Audio_GetLength(m_channel);
    if (m_lengthBytes == UINT64_MAX) return E_FAIL;
    m_lengthSeconds = Audio_BytesToSeconds(m_channel, m_lengthBytes);
    if (m_format == AFF_MP3 || m_format == AFF_MP2 || m_format == AFF_MP1) {
        AudioId3v1 tag = {};
        if (Audio_GetId3v1(m_channel, &tag)) m_title = tag.title;
    }
    if (m_title.empty()) ReadTitle(path);
    m_path = path;
    return S_OK;
}

bool CCoAudioTrack::SourceUnchanged() const
{
    uint64_t size = 0;
    FILETIME written = {};
    return FileStamp(m_path, &size, &written) && size == m_fileSize &&
           CompareFileTime(&written, &m_written) == 0;
}

// The file's name without its folder and extension.
void CCoAudioTrack::ReadTitle(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    m_title = name;
}

int64_t CCoAudioTrack::CdBytes() const
{
    if (!m_rate || !m_channels) return 0;
    // Counted from the sample frames, not the file's bytes: a mono or
    // low-rate file takes more room on the disc than on the hard disk.
    const uint64_t frames = m_lengthBytes / (2 * m_channels);
    const uint64_t sectors = (frames * CD_SECTORS_PER_SECOND + m_rate - 1) / m_rate;
    return static_cast<int64_t>(sectors * CD_SECTOR_BYTES);
}

void CCoAudioTrack::SetStart(double seconds)
{
    com::ObjectLock<CCoAudioTrack> lock(this);
    m_start = seconds;
}

std::string CCoAudioTrack::TempPath()
{
    com::ObjectLock<CCoAudioTrack> lock(this);
    return m_tempPath;
}

void CCoAudioTrack::SetTempPath(const std::string& path)
{
    std::string old;
    {
        com::ObjectLock<CCoAudioTrack> lock(this);
        old.swap(m_tempPath);
        m_tempPath = path;
    }
    if (!old.empty() && old != path) DeleteFileA(old.c_str());
}

HRESULT CCoAudioTrack::Msf(double seconds, unsigned int* min, unsigned int* sec, unsigned int* frames)
{
    if (!min || !sec || !frames) return E_POINTER;
    // Whole frames, cut towards zero; the millionth of a frame keeps 7.68 s
    // (7.6799... in binary) at 7 s 51 frames.
    const double total = seconds > 0 ? std::floor(seconds * 75 + 1e-6) : 0;
    const unsigned whole = static_cast<unsigned>(total / 75);
    *min = whole / 60;
    *sec = whole - *min * 60;
    *frames = static_cast<unsigned>(total - static_cast<double>(whole) * 75);
    return S_OK;
}

HRESULT CCoAudioTrack::Text(const std::string& text, BSTR* out)
{
    if (!out) return E_POINTER;
    *out = com::BstrFromAnsi(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CCoAudioTrack::GetTitle(BSTR* a_pbsTitle)
{
    return com::Guarded("CCoAudioTrack::GetTitle", [&] {
        com::ObjectLock<CCoAudioTrack> lock(this);
        return Text(m_title, a_pbsTitle);
    });
}

STDMETHODIMP CCoAudioTrack::GetArtist(BSTR* a_pbsArtist)
{
    return com::Guarded("CCoAudioTrack::GetArtist", [&] {
        com::ObjectLock<CCoAudioTrack> lock(this);
        return Text(m_artist, a_pbsArtist);
    });
}

STDMETHODIMP CCoAudioTrack::GetPath(BSTR* a_pbsPath)
{
    return com::Guarded("CCoAudioTrack::GetPath", [&] { return Text(m_path, a_pbsPath); });
}

STDMETHODIMP CCoAudioTrack::GetLengthMSFT(unsigned int* a_puiMin, unsigned int* a_puiSec, unsigned int* a_puiFT)
{
    return Msf(m_lengthSeconds, a_puiMin, a_puiSec, a_puiFT);
}

STDMETHODIMP CCoAudioTrack::GetFormat(AUDIO_FILE_FORMAT* a_pFormat)
{
    if (!a_pFormat) return E_POINTER;
    *a_pFormat = m_format;
    return S_OK;
}

STDMETHODIMP CCoAudioTrack::GetSampleRate(unsigned int* a_puiSampleRate)
{
    if (!a_puiSampleRate) return E_POINTER;
    *a_puiSampleRate = m_rate;
    return S_OK;
}

STDMETHODIMP CCoAudioTrack::GetStereo(unsigned int* a_puiChannels)
{
    if (!a_puiChannels) return E_POINTER;
    *a_puiChannels = m_channels;
    return S_OK;
}

STDMETHODIMP CCoAudioTrack::SetTitle(BSTR a_bsTitle)
{
    return com::Guarded("CCoAudioTrack::SetTitle", [&] {
        std::string title = com::AnsiFromBstr(a_bsTitle);
        com::ObjectLock<CCoAudioTrack> lock(this);
        m_title.swap(title);
        return S_OK;
    });
}

STDMETHODIMP CCoAudioTrack::SetArtist(BSTR a_bsArtist)
{
    return com::Guarded("CCoAudioTrack::SetArtist", [&] {
        std::string artist = com::AnsiFromBstr(a_bsArtist);
        com::ObjectLock<CCoAudioTrack> lock(this);
        m_artist.swap(artist);
        return S_OK;
    });
}

STDMETHODIMP CCoAudioTrack::GetTempFilePath(BSTR* a_pbsPath)
{
    return com::Guarded("CCoAudioTrack::GetTempFilePath", [&] { return Text(TempPath(), a_pbsPath); });
}

STDMETHODIMP CCoAudioTrack::GetStartMSFT(unsigned int* a_puiMin, unsigned int* a_puiSec, unsigned int* a_puiFT)
{
    double start;
    {
        com::ObjectLock<CCoAudioTrack> lock(this);
        start = m_start;
    }
    return Msf(start, a_puiMin, a_puiSec, a_puiFT);
}

STDMETHODIMP_(ULONG_PTR) CCoAudioTrack::GetRawPtr()
{
    return reinterpret_cast<ULONG_PTR>(this);
}
