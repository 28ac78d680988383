// One medium: its type, capacity, sessions and tracks, and the rules real
// media follow. Every track has its cooked view in the medium's image file as
// 2048-byte sectors at their logical block address. Mode 1 tracks keep only
// that: their raw CD sectors follow from it. Tracks whose raw sectors do not
// (Mode 2 XA, audio) keep them in the medium's raw file too, 2352 bytes per
// block at their address.
#pragma once

#include "disc/disc_layer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace disc {

bool isDvdType(uint32_t type);
bool isWritableType(uint32_t type);
bool isErasableType(uint32_t type);
bool isKnownType(uint32_t type);
uint32_t defaultCapacity(uint32_t type);  // user blocks of a common disc of the type

struct Track {
    uint32_t number = 0, session = 0;
    uint32_t start = 0, length = 0;  // blocks from index 1 on
    uint16_t sectorSize = 2048;      // 2352: raw sectors kept in the raw file
    uint8_t mode = 4, dataMode = 1;  // 4 data (data mode 1 or 2), 0 audio (data mode 0)
    uint32_t pregap = 0;             // blocks of index 0 before `start`, part of the track

    bool raw() const { return sectorSize == 2352; }
    bool audio() const { return mode == 0; }
};

class Medium {
public:
    uint32_t type = DISC_MT_CD_R;
    uint32_t capacity = 0;      // user blocks
    uint64_t serial = 0;        // tells one medium from another
    uint32_t generation = 0;    // rises with every erase
    bool finalized = false;
    bool sessionOpen = false;   // the last session has tracks and no lead-out yet
    bool leaveOpen = true;      // what closing the open session does
    std::string image;          // data file of a pressed disc; empty: the drive's own
    std::vector<Track> tracks;

    static Medium blank(uint32_t type, uint32_t capacity, uint64_t serial);

    DiscStatus status() const;
    uint32_t sessionCount() const;      // written sessions, the open one included
    uint32_t usedEnd() const;           // block after the last written track
    uint32_t nextWritable() const;
    uint32_t freeBlocks() const;
    bool acceptsWrites() const;
    bool hasIncompleteTrack() const;
    uint32_t trackCount() const;        // the incomplete track included

    void appendTrack(uint32_t start, uint32_t length, bool leaveOpenAfterClose);
    // Appends a track of the given kind (its number and session are set).
    void appendTrack(Track track, bool leaveOpenAfterClose);
    void closeSession();                // no-op when nothing is open
    void erase();

    DiscInformation information() const;
    // False for a number that names no track.
    bool trackInformation(uint32_t number, DiscTrackInformation& out) const;
    const Track* sessionStartTrack(uint32_t trackNumber) const;  // first track of that track's session

    std::string serialize() const;
    static bool parse(const std::string& text, Medium& out);

private:
    uint32_t sessionGap() const;
};

}  // namespace disc
