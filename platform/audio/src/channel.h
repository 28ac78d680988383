// An open channel: its decoder, its position and, while it plays, its player.
#pragma once

#include "decoder.h"
#include "wave_player.h"

#include <memory>
#include <mutex>
#include <string>

namespace audio {

class Channel {
 public:
  Channel(std::unique_ptr<Decoder> decoder, std::string path, bool decode_only);
  ~Channel();

  const Format& format() const { return decoder_->format(); }
  uint32_t frame_bytes() const { return format().channels * 2; }
  uint64_t LengthBytes() const { return decoder_->length_frames() * frame_bytes(); }
  const std::string& path() const { return path_; }

  AudioError SetPosition(uint64_t bytes);
  uint64_t Position();
  // Bytes read, or -1 with *error set (AUDIO_ERROR_ENDED at the end).
  long Read(void* buffer, uint32_t bytes, AudioError* error);

  AudioError Play(bool restart);
  AudioError Pause();
  AudioError Resume();
  AudioError Stop();
  AudioStatus Status();

 private:
  long ReadFrames(int16_t* out, size_t frames);
  bool SeekFrame(uint64_t frame);
  AudioError PlayLocked(bool restart);
  void EndPlayback();

  std::unique_ptr<Decoder> decoder_;
  std::string path_;
  bool decode_only_;
  // The control lock (the player) is never held by the player's thread,
  // which reads under the decoder lock only, so a stop can wait for it.
  std::mutex mutex_;
  std::mutex decode_mutex_;  // the decoder and the frame
  uint64_t frame_ = 0;       // the next frame the decoder delivers
  uint64_t play_start_ = 0;     // where the player started
  std::unique_ptr<WavePlayer> player_;
};

}  // namespace audio
