#include "channel.h"

#include <algorithm>

namespace audio {

typedef std::lock_guard<std::mutex> Lock;

Channel::Channel(std::unique_ptr<Decoder> decoder, std::string path, bool decode_only)
    : decoder_(std::move(decoder)), path_(std::move(path)), decode_only_(decode_only) {}

Channel::~Channel() {
  Lock lock(mutex_);
  EndPlayback();
}

bool Channel::SeekFrame(uint64_t frame) {
  Lock lock(decode_mutex_);
  if (!decoder_->Seek(frame)) return false;
  frame_ = frame;
  return true;
}

// The data is as long as the decoder said at the open: a decoder that ends
// early (damaged data) is followed by silence up to that length.
long Channel::ReadFrames(int16_t* out, size_t frames) {
  Lock lock(decode_mutex_);
  uint64_t left = decoder_->length_frames() - std::min(frame_, decoder_->length_frames());
  if (frames > left) frames = size_t(left);
  if (frames == 0) return 0;
  long got = decoder_->Read(out, frames);
  if (got == 0) {
    std::fill(out, out + frames * format().channels, int16_t(0));
    got = long(frames);
  }
  if (got > 0) frame_ += uint64_t(got);
  return got;
}

AudioError Channel::SetPosition(uint64_t bytes) {
  Lock lock(mutex_);
  uint64_t frame = bytes / frame_bytes();
  if (frame > decoder_->length_frames()) return AUDIO_ERROR_POSITION;
  AudioStatus status = player_ ? player_->Status() : AUDIO_STOPPED;
  EndPlayback();
  if (!SeekFrame(frame)) return AUDIO_ERROR_POSITION;
  // A playing channel goes on playing from there.
  if (status == AUDIO_STOPPED) return AUDIO_OK;
  AudioError e = PlayLocked(false);
  if (e == AUDIO_OK && status == AUDIO_PAUSED) player_->Pause();
  return e;
}

uint64_t Channel::Position() {
  Lock lock(mutex_);
  if (player_) return (play_start_ + player_->PlayedFrames()) * frame_bytes();
  Lock decode(decode_mutex_);
  return frame_ * frame_bytes();
}

long Channel::Read(void* buffer, uint32_t bytes, AudioError* error) {
  Lock lock(mutex_);
  size_t frames = bytes / frame_bytes();
  *error = AUDIO_ERROR_ARGUMENT;
  if (!buffer || frames == 0 || player_) return -1;
  long got = ReadFrames(static_cast<int16_t*>(buffer), frames);
  if (got <= 0) {
    *error = got < 0 ? decoder_->error() : AUDIO_ERROR_ENDED;
    return -1;
  }
  *error = AUDIO_OK;
  return got * long(frame_bytes());
}

void Channel::EndPlayback() {
  if (!player_) return;
  uint64_t heard = play_start_ + player_->PlayedFrames();
  player_->Stop();
  player_.reset();
  // The decoder ran ahead of what was heard: go back to the heard frame.
  Lock decode(decode_mutex_);
  if (heard < frame_ && decoder_->Seek(heard)) frame_ = heard;
}

AudioError Channel::Play(bool restart) {
  Lock lock(mutex_);
  return PlayLocked(restart);
}

AudioError Channel::PlayLocked(bool restart) {
  if (decode_only_) return AUDIO_ERROR_DECODE_ONLY;
  if (player_ && player_->Status() == AUDIO_PAUSED && !restart) {
    player_->Resume();
    return AUDIO_OK;
  }
  EndPlayback();
  {
    Lock decode(decode_mutex_);
    if (restart || frame_ >= decoder_->length_frames()) {
      if (!decoder_->Seek(0)) return AUDIO_ERROR_POSITION;
      frame_ = 0;
    }
    play_start_ = frame_;
  }
  player_ = std::make_unique<WavePlayer>(format(), [this](int16_t* out, size_t frames) {
    return ReadFrames(out, frames);
  });
  AudioError e = player_->Start();
  if (e != AUDIO_OK) player_.reset();
  return e;
}

AudioError Channel::Pause() {
  Lock lock(mutex_);
  if (!player_ || player_->Status() != AUDIO_PLAYING) return AUDIO_ERROR_ARGUMENT;
  player_->Pause();
  return AUDIO_OK;
}

AudioError Channel::Resume() {
  Lock lock(mutex_);
  if (!player_ || player_->Status() != AUDIO_PAUSED) return AUDIO_ERROR_ARGUMENT;
  player_->Resume();
  return AUDIO_OK;
}

AudioError Channel::Stop() {
  Lock lock(mutex_);
  if (decode_only_) return AUDIO_ERROR_DECODE_ONLY;
  EndPlayback();
  return AUDIO_OK;
}

AudioStatus Channel::Status() {
  Lock lock(mutex_);
  return player_ ? player_->Status() : AUDIO_STOPPED;
}

}  // namespace audio
