// RIFF WAVE files with PCM samples of 8, 16, 24 or 32 bits, any rate and
// channel count, converted to 16-bit samples.
#include "decoder.h"
#include "file.h"

#include <cstring>
#include <vector>

namespace audio {
namespace {

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

const uint16_t WAVE_FORMAT_PCM_TAG = 1;
const uint16_t WAVE_FORMAT_EXTENSIBLE_TAG = 0xFFFE;

class WavDecoder : public Decoder {
 public:
  WavDecoder(const std::string& path) : file_(path) {}

  AudioError Open() {
    if (!file_.is_open()) return AUDIO_ERROR_FILE;
    uint8_t riff[12];
    if (!file_.ReadAt(0, riff, sizeof riff) || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0)
      return AUDIO_ERROR_FORMAT;
    int64_t file_size = file_.Size();
    bool have_fmt = false;
    // Walk the chunks; a data chunk longer than the file (a writer that
    // stopped early) is cut to what is there.
    for (int64_t pos = 12; pos + 8 <= file_size;) {
      uint8_t head[8];
      if (!file_.ReadAt(pos, head, 8)) break;
      uint32_t size = Le32(head + 4);
      int64_t body = pos + 8;
      if (std::memcmp(head, "fmt ", 4) == 0) {
        AudioError e = ReadFmt(body, size);
        if (e != AUDIO_OK) return e;
        have_fmt = true;
      } else if (std::memcmp(head, "data", 4) == 0 && have_fmt) {
        data_start_ = body;
        uint64_t avail = uint64_t(file_size - body);
        uint64_t bytes = size < avail ? size : avail;
        length_frames_ = bytes / block_;
        return Seek(0) ? AUDIO_OK : AUDIO_ERROR_FILE;
      }
      pos = body + size + (size & 1);
    }
    return AUDIO_ERROR_FORMAT;
  }

  long Read(int16_t* out, size_t frames) override {
    uint64_t left = length_frames_ - frame_;
    if (frames > left) frames = size_t(left);
    if (frames == 0) return 0;
    raw_.resize(frames * block_);
    size_t got = file_.Read(raw_.data(), raw_.size()) / block_;
    Convert(raw_.data(), got * format_.channels, out);
    frame_ += got;
    if (got == 0) {
      error_ = AUDIO_ERROR_FILE;
      return -1;
    }
    return long(got);
  }

  bool Seek(uint64_t frame) override {
    if (frame > length_frames_ || !file_.Seek(data_start_ + int64_t(frame * block_))) return false;
    frame_ = frame;
    return true;
  }

 private:
  AudioError ReadFmt(int64_t pos, uint32_t size) {
    uint8_t f[40] = {};
    if (size < 16 || !file_.ReadAt(pos, f, size < sizeof f ? size : sizeof f)) return AUDIO_ERROR_FORMAT;
    uint16_t tag = Le16(f);
    // The extensible form carries the real format in its subformat's first two bytes.
    if (tag == WAVE_FORMAT_EXTENSIBLE_TAG && size >= 40) tag = Le16(f + 24);
    format_.type = AUDIO_TYPE_WAV;
    format_.channels = Le16(f + 2);
    format_.rate = Le32(f + 4);
    bits_ = Le16(f + 14);
    format_.bits = bits_;
    if (tag != WAVE_FORMAT_PCM_TAG || format_.channels == 0 || format_.rate == 0 ||
        (bits_ != 8 && bits_ != 16 && bits_ != 24 && bits_ != 32))
      return AUDIO_ERROR_FORMAT;
    block_ = format_.channels * (bits_ / 8);
    return AUDIO_OK;
  }

  // Samples narrower than 16 bits are widened, wider ones keep their top 16 bits.
  void Convert(const uint8_t* in, size_t samples, int16_t* out) const {
    switch (bits_) {
      case 8:
        for (size_t i = 0; i < samples; ++i) out[i] = int16_t((in[i] - 128) * 256);  // no shift of a negative value
        break;
      case 16:
        for (size_t i = 0; i < samples; ++i) out[i] = int16_t(Le16(in + 2 * i));
        break;
      default: {
        size_t width = bits_ / 8;
        for (size_t i = 0; i < samples; ++i) out[i] = int16_t(Le16(in + width * i + width - 2));
      }
    }
  }

  File file_;
  int64_t data_start_ = 0;
  uint32_t bits_ = 16;
  uint32_t block_ = 4;
  uint64_t frame_ = 0;
  std::vector<uint8_t> raw_;
};

}  // namespace

OpenResult OpenWav(const std::string& path) {
  auto wav = std::make_unique<WavDecoder>(path);
  OpenResult r;
  r.error = wav->Open();
  if (r.error == AUDIO_OK) r.decoder = std::move(wav);
  return r;
}

}  // namespace audio
