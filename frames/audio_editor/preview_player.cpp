#include "preview_player.h"
#include <com/bstr.h>

bool CPreviewPlayer::Start(const std::string& path, unsigned settleMs)
{
    m_streamId = -1;
    if (!m_player || FAILED(m_player->Init(com::Bstr(path)))) return false;
    unsigned id = 0;
    if (FAILED(m_player->GetID(&id)) || id == 0) return false;
    m_streamId = id;
    if (FAILED(m_player->Play())) return false;
    Sleep(settleMs);
    // A player still filling the device's buffer is stalled for a moment:
    // it is given a little longer before the play counts as failed.
    unsigned status = STOPPED;
    for (unsigned waited = 0; SUCCEEDED(m_player->GetCurrentStatus(&status)) && status == STALLED && waited < 1000;
         waited += 50)
        Sleep(50);
    return status == PLAYING;
}

bool CPreviewPlayer::Ours() const
{
    unsigned id = 0;
    return m_player && m_streamId >= 0 && SUCCEEDED(m_player->GetID(&id)) && id == m_streamId;
}

bool CPreviewPlayer::Active() const
{
    unsigned status = STOPPED;
    return Ours() && SUCCEEDED(m_player->GetCurrentStatus(&status)) && (status == PLAYING || status == PAUSED);
}

void CPreviewPlayer::Pause() const
{
    if (Active()) m_player->Pause();
}

void CPreviewPlayer::Stop() const
{
    if (Active()) m_player->Stop();
}

unsigned CPreviewPlayer::Position() const
{
    unsigned pos = 0;
    return m_player && SUCCEEDED(m_player->GetPos(&pos)) ? pos / POSITION_UNIT : 0;
}

unsigned CPreviewPlayer::Length() const
{
    unsigned length = 0;
    return m_player && SUCCEEDED(m_player->GetLength(&length)) ? length / POSITION_UNIT : 0;
}

void CPreviewPlayer::Seek(unsigned units) const
{
    if (Ours()) m_player->SetPos(units * POSITION_UNIT);
}
