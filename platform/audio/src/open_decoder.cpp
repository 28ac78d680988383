// Finds an audio file's kind from its first bytes and opens it with the
// decoder of that kind; content without a known mark is tried as a tracker
// module (whose marks libopenmpt knows), then as MPEG audio.
#include "decoder.h"
#include "file.h"

#include <cstring>

namespace audio {
namespace {

typedef OpenResult (*Opener)(const std::string&);

// The ASF header object's identifier, first in every Windows Media file.
const uint8_t ASF_HEADER[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};

Opener MarkedOpener(const uint8_t* head, size_t n) {
  if (n >= 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0) return OpenWav;
  if (n >= 4 && std::memcmp(head, "OggS", 4) == 0) return OpenVorbis;
  if (n >= 16 && std::memcmp(head, ASF_HEADER, 16) == 0) return OpenWma;
  return nullptr;
}

}  // namespace

OpenResult OpenDecoder(const std::string& path) {
  uint8_t head[16] = {};
  size_t n;
  {
    File file(path);
    if (!file.is_open()) return {nullptr, AUDIO_ERROR_FILE};
    n = file.Read(head, sizeof head);
  }
  if (n == 0) return {nullptr, AUDIO_ERROR_FORMAT};
  if (Opener marked = MarkedOpener(head, n)) {
    OpenResult r = marked(path);
    // A RIFF file may wrap MPEG audio; anything else is what its mark says.
    if (r.error != AUDIO_ERROR_FORMAT || marked != OpenWav) return r;
    return OpenMpeg(path);
  }
  OpenResult r = OpenModule(path);
  if (r.error != AUDIO_ERROR_FORMAT) return r;
  return OpenMpeg(path);
}

}  // namespace audio
