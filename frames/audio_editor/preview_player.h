// CPreviewPlayer: the audio editor's hold on the engine's preview player.
// That player is one object for every client, so it is this editor's only
// while its GetID answers what it answered right after this editor's own
// Init; a failed Init leaves no id that counts as ours.
#pragma once
#include "engine.h"
#include <com/ptr.h>
#include <string>

class CPreviewPlayer {
public:
    // The player's statuses.
    enum : unsigned { STOPPED = 0, PLAYING = 1, STALLED = 2, PAUSED = 3 };
    // The trackbar counts in units of this many bytes of sound.
    static const unsigned POSITION_UNIT = 100000;

    void Attach(ICoAudioPlayer* player) { m_player = player; }
    ICoAudioPlayer* Player() const { return m_player; }

    // Opens and plays the file, then waits `settleMs` for the status: true
    // when it plays. The id read after the Init is kept whatever follows.
    bool Start(const std::string& path, unsigned settleMs = 200);
    // The player still holds what this editor started.
    bool Ours() const;
    // Ours and playing or paused.
    bool Active() const;
    void Pause() const;
    void Stop() const;
    // Position and length in trackbar units; 0 when unknown.
    unsigned Position() const;
    unsigned Length() const;
    void Seek(unsigned units) const;

    int m_playingIndex = -1;  // the list row being previewed
    bool m_seeking = false;   // the user holds the trackbar

private:
    com::ComPtr<ICoAudioPlayer> m_player;
    long long m_streamId = -1;
};
