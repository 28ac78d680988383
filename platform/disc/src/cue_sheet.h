// CUE sheets: the standard text that names a disc's data files and lays its
// tracks out in them, and this layer's own image descriptor (.mds), which is
// a CUE sheet with remarks that tell more:
//   REM SESSION n        the tracks that follow belong to session n
//   REM LBA n            the track's index 1 lies at block n of the disc
//   REM BLOCKS n         the track holds n blocks from index 1 on
//   REM MEDIUM n         the medium type the image was read from
//   REM DISC APPENDABLE  the source disc was left open for more sessions
// In a descriptor every FILE after the first continues the one data stream
// that the files make together (a large image split into parts); in a plain
// CUE sheet each FILE is a stream of its own.
// The text is untrusted: its size, lines, tracks and numbers are bounded.
#pragma once

#include "disc/disc_layer.h"
#include "error.h"

#include <cstdint>
#include <string>
#include <vector>

namespace disc {

enum class CueMode { Audio, Mode1Cooked, Mode1Raw, Mode2Raw };

uint32_t cueSectorBytes(CueMode mode);
const char* cueModeName(CueMode mode);  // "AUDIO", "MODE1/2048", ...

struct CueTrack {
    uint32_t number = 0;
    uint32_t session = 1;
    CueMode mode = CueMode::Mode1Cooked;
    uint32_t file = 0;      // index of the FILE line it stands under
    uint32_t index1 = 0;    // frames (sectors) from that file's start
    int64_t index0 = -1;    // frames, -1 when the track has no index 0
    uint32_t pregap = 0;    // PREGAP frames, not in the file
    int64_t lba = -1;       // REM LBA
    int64_t blocks = -1;    // REM BLOCKS
};

struct CueSheet {
    std::vector<std::string> files;  // as written in the sheet
    std::vector<CueTrack> tracks;
    uint32_t mediumType = 0;
    bool appendable = false;
};

struct CueLimits {
    size_t maxBytes = 256 * 1024;
    size_t maxLine = 1024;
    size_t maxFiles = 256;
};

// DISC_E_BAD_IMAGE with the line's number for anything it does not take.
Error parseCueSheet(const std::string& text, CueSheet& out, const CueLimits& limits = CueLimits());
std::string renderCueSheet(const CueSheet& sheet, bool descriptor);

}  // namespace disc
