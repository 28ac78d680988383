#include "audio_player.h"
#include <shared/method_log.h>
#include <shared/log.h>
#include <com/bstr.h>
#include <com/guard.h>
#include <com/text.h>

void CCoAudioPlayer::FinalRelease()
{
    com::AutoLock lock(m_lock);
    FreeChannel();
}

void CCoAudioPlayer::FreeChannel()
{
    if (!m_channel) return;
    Audio_Close(m_channel);
    Audio_Stop();
    m_channel = 0;
}

HRESULT CCoAudioPlayer::Checked(int succeeded, const char* call)
{
    if (succeeded) return S_OK;
    LogPrintf("CCoAudioPlayer: %s failed: %s", call, Audio_ErrorText(Audio_ErrorCode()));
    return E_FAIL;
}

HRESULT CCoAudioPlayer::Figure(uint64_t value, unsigned int* out)
{
    *out = 0;
    if (value > 0xFFFFFFFEu) return E_FAIL;  // the layer's failure, or past 32 bits
    *out = static_cast<unsigned int>(value);
    return S_OK;
}

STDMETHODIMP CCoAudioPlayer::Reset()
{
    return S_OK;
}

STDMETHODIMP CCoAudioPlayer::Init(BSTR a_bsFilePath)
{
    CLogMethodScope<CCoAudioPlayer> log("Init");
    return com::Guarded("CCoAudioPlayer::Init", [&] {
        com::AutoLock lock(m_lock);
        FreeChannel();
        m_path = com::AnsiFromBstr(a_bsFilePath);
        // The start-up is held only while a channel is open.
        if (!Audio_Start()) return Checked(0, "Audio_Start");
        m_channel = Audio_Open(m_path.c_str(), 0);
        if (!m_channel) {
            HRESULT hr = Checked(0, "Audio_Open");
            Audio_Stop();
            return hr;
        }
        return S_OK;
    });
}

STDMETHODIMP CCoAudioPlayer::Play()
{
    com::AutoLock lock(m_lock);
    if (!m_channel) return E_FAIL;
    if (Audio_Status(m_channel) == AUDIO_PAUSED) return Checked(Audio_Resume(m_channel), "Audio_Resume");
    // Anything else plays from the start, a stopped channel too.
    return Checked(Audio_Play(m_channel, 1), "Audio_Play");
}

STDMETHODIMP CCoAudioPlayer::Stop()
{
    com::AutoLock lock(m_lock);
    if (!m_channel) return E_FAIL;
    return Checked(Audio_StopChannel(m_channel), "Audio_StopChannel");
}

STDMETHODIMP CCoAudioPlayer::Pause()
{
    com::AutoLock lock(m_lock);
    if (!m_channel) return E_FAIL;
    if (Audio_Status(m_channel) == AUDIO_PAUSED) return Checked(Audio_Resume(m_channel), "Audio_Resume");
    return Checked(Audio_Pause(m_channel), "Audio_Pause");
}

STDMETHODIMP CCoAudioPlayer::SetPos(unsigned long a_dwPos)
{
    com::AutoLock lock(m_lock);
    if (!m_channel) return E_FAIL;
    return Checked(Audio_SetPosition(m_channel, a_dwPos), "Audio_SetPosition");
}

STDMETHODIMP CCoAudioPlayer::GetCurrentStatus(unsigned int* a_pStatus)
{
    if (!a_pStatus) return E_POINTER;
    com::AutoLock lock(m_lock);
    int status = m_channel ? Audio_Status(m_channel) : AUDIO_STOPPED;
    *a_pStatus = status < 0 ? AUDIO_STOPPED : static_cast<unsigned int>(status);
    return S_OK;
}

STDMETHODIMP CCoAudioPlayer::GetID(unsigned int* a_pID)
{
    if (!a_pID) return E_POINTER;
    com::AutoLock lock(m_lock);
    *a_pID = m_channel;
    return S_OK;
}

STDMETHODIMP CCoAudioPlayer::GetPos(unsigned int* a_pPos)
{
    if (!a_pPos) return E_POINTER;
    com::AutoLock lock(m_lock);
    *a_pPos = 0;
    return m_channel ? Figure(Audio_GetPosition(m_channel), a_pPos) : E_FAIL;
}

STDMETHODIMP CCoAudioPlayer::GetLength(unsigned int* a_pLength)
{
    if (!a_pLength) return E_POINTER;
    com::AutoLock lock(m_lock);
    *a_pLength = 0;
    return m_channel ? Figure(Audio_GetLength(m_channel), a_pLength) : E_FAIL;
}
