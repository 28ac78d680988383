// Plays sample frames from a source through the system's wave output, on a
// thread of its own that keeps a few short buffers queued.
#pragma once

#include "decoder.h"

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace audio {

class WavePlayer {
 public:
  // Fills up to `frames` frames; returns how many, 0 at the end.
  using Source = std::function<long(int16_t*, size_t)>;

  WavePlayer(const Format& format, Source source);
  ~WavePlayer();
  WavePlayer(const WavePlayer&) = delete;
  WavePlayer& operator=(const WavePlayer&) = delete;

  AudioError Start();
  void Pause();
  void Resume();
  void Stop();
  AudioStatus Status();
  // Frames heard since Start.
  uint64_t PlayedFrames();

 private:
  void Run();
  bool Fill(WAVEHDR& header, std::vector<int16_t>& buffer);
  uint64_t DevicePosition();

  Format format_;
  Source source_;
  HWAVEOUT wave_ = nullptr;
  HANDLE event_ = nullptr;
  std::thread thread_;
  std::mutex mutex_;  // the device handle against Pause, Resume and position
  std::atomic<bool> stop_{false};
  std::atomic<bool> running_{false};
  bool paused_ = false;
  uint64_t paused_frames_ = 0;  // the position held while paused
  std::atomic<uint64_t> queued_frames_{0};
};

}  // namespace audio
