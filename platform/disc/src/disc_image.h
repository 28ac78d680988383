// An image to write session-at-once: our descriptor (.mds), a CUE sheet with
// its BIN files, or a bare image of raw (2352-byte) or cooked (2048-byte)
// sectors. Opening checks everything a write relies on (the files exist and
// hold every sector the sheet names, data tracks carry the sync pattern) so
// that a bad image is refused before the first byte goes to the medium.
#pragma once

#include "cue_sheet.h"
#include "disc/disc_layer.h"
#include "error.h"
#include "os_seam.h"

#include <memory>
#include <string>
#include <vector>

namespace disc {

struct ImageTrack {
    CueMode mode = CueMode::Mode1Cooked;
    uint32_t session = 1;       // as the image numbers them
    int64_t lba = -1;           // where index 1 lay on the source disc, when known
    uint32_t indexZero = 0;     // blocks of index 0 held in the data, before index 1
    uint32_t silence = 0;       // PREGAP blocks the data does not hold
    uint32_t blocks = 0;        // from index 1 on
    uint32_t stream = 0;
    uint64_t offset = 0;        // byte of the stream where the index 0 blocks begin
};

class DiscImage {
public:
    Error open(const std::string& path);

    const std::vector<ImageTrack>& tracks() const { return tracks_; }
    bool appendable() const { return appendable_; }
    bool rawTracks() const;  // audio or Mode 2: a CD's own sectors

    // Reads `count` sectors of the track's data (index 0 blocks first) from
    // `first` on, cueSectorBytes() each.
    Error read(const ImageTrack& track, uint32_t first, uint32_t count, uint8_t* out);
    // The same sectors copied into `dest` at `destOffset` in the kernel where
    // the system can (holes stay holes).
    Error copyTo(const ImageTrack& track, uint32_t first, uint32_t count, os::File& dest, uint64_t destOffset);

private:
    struct Part {
        std::string path;
        uint64_t size = 0;
        std::shared_ptr<os::File> file;
    };
    struct Stream {
        std::vector<Part> parts;
        uint64_t size = 0;
    };

    Error openSheet(const std::string& path, bool descriptor);
    Error openBare(const std::string& path);
    Error addStream(const std::vector<std::string>& paths);
    Error layTracks(const CueSheet& sheet, bool descriptor, const std::vector<uint32_t>& streamOfFile,
                    const std::vector<uint64_t>& baseOfFile);
    Error checkTrack(ImageTrack& t);
    Error readStream(Stream& s, uint64_t offset, size_t size, uint8_t* out);

    std::vector<Stream> streams_;
    std::vector<ImageTrack> tracks_;
    bool appendable_ = false;
};

}  // namespace disc
