// A WAV file to go on an audio CD: 44,100 Hz, 16-bit, two-channel PCM. The
// header is untrusted: its chunks are walked within the file's size and a
// bounded count, and anything else is refused with the reason.
#pragma once

#include "disc/disc_layer.h"
#include "error.h"
#include "os_seam.h"

#include <cstdint>
#include <string>

namespace disc {

class WavFile {
public:
    // DISC_E_FILE when the file cannot be read, DISC_E_BAD_IMAGE for another
    // format or a file without samples.
    Error open(const std::string& path);

    uint64_t dataBytes() const { return dataBytes_; }
    uint32_t sectors() const;  // CD audio sectors, the last one padded
    // Fills `count` sectors from `first` on; past the samples come zeros.
    Error read(uint32_t first, uint32_t count, uint8_t* out);

private:
    Error findChunks(uint64_t fileSize);
    Error checkFormat(const uint8_t* fmt, uint32_t size) const;
    Error bad(const std::string& why) const;

    std::string path_;
    os::File file_;
    uint64_t dataOffset_ = 0, dataBytes_ = 0;
};

}  // namespace disc
