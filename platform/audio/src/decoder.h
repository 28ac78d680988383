// One opened audio file that delivers 16-bit interleaved sample frames.
#pragma once

#include <audio/audio_layer.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace audio {

struct Format {
  uint32_t type = 0;
  uint32_t rate = 0;
  uint32_t channels = 0;
  uint32_t bits = 0;  // a WAV file's own sample size
  bool music = false;
};

class Decoder {
 public:
  virtual ~Decoder() = default;
  const Format& format() const { return format_; }
  uint64_t length_frames() const { return length_frames_; }
  // Fills up to `frames` frames; returns how many (0 at the end) or -1 with
  // error() set when the data cannot be decoded.
  virtual long Read(int16_t* out, size_t frames) = 0;
  // Moves to a frame within the length; false when the decoder cannot.
  virtual bool Seek(uint64_t frame) = 0;
  AudioError error() const { return error_; }

 protected:
  Format format_;
  uint64_t length_frames_ = 0;
  AudioError error_ = AUDIO_ERROR_DECODE;
};

struct OpenResult {
  std::unique_ptr<Decoder> decoder;
  AudioError error = AUDIO_OK;
};

// Each opener answers AUDIO_ERROR_FORMAT when the file is not its kind.
OpenResult OpenWav(const std::string& path);
OpenResult OpenMpeg(const std::string& path);
OpenResult OpenVorbis(const std::string& path);
OpenResult OpenModule(const std::string& path);
OpenResult OpenWma(const std::string& path);

// Finds the file's kind from its content and opens it.
OpenResult OpenDecoder(const std::string& path);

}  // namespace audio
