// Video CD and Super Video CD images from an MPEG program stream, as a raw
// image (<base>.bin with <base>.cue) to be written session-at-once:
//   track 1, Mode 2 XA: an ISO 9660 file system with the CD-XA mark, the
//     folders of the format and its entry files (INFO and ENTRIES at sectors
//     150 and 151, for a Super Video CD also TRACKS), and the stream's file,
//     whose extent is track 2;
//   track 2, Mode 2 Form 2 after a two-second gap: the stream, 2324 bytes a
//     sector, at least four seconds long.
// The date text (twelve digits, year to minute) is the file system's
// creation date.
#pragma once

#include "disc/disc_layer.h"
#include "error.h"

#include <string>

namespace disc {

struct VideoCdRequest {
    std::string stream;   // MPEG program stream
    std::string date;     // "YYYYMMDDhhmm"
    bool super = false;
};

// Blocks the written disc takes.
Error buildVideoCd(const VideoCdRequest& request, const std::string& base, uint32_t& discBlocks);

}  // namespace disc
