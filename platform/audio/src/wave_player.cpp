#include "wave_player.h"

namespace audio {
namespace {

const int BUFFERS = 4;
const uint32_t BUFFERS_PER_SECOND = 10;

}  // namespace

WavePlayer::WavePlayer(const Format& format, Source source) : format_(format), source_(std::move(source)) {}

WavePlayer::~WavePlayer() { Stop(); }

AudioError WavePlayer::Start() {
  WAVEFORMATEX wf = {};
  wf.wFormatTag = WAVE_FORMAT_PCM;
  wf.nChannels = WORD(format_.channels);
  wf.nSamplesPerSec = format_.rate;
  wf.wBitsPerSample = 16;
  wf.nBlockAlign = WORD(format_.channels * 2);
  wf.nAvgBytesPerSec = format_.rate * wf.nBlockAlign;
  if (format_.channels < 1 || format_.channels > 2) return AUDIO_ERROR_DEVICE;
  event_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!event_) return AUDIO_ERROR_DEVICE;
  if (waveOutOpen(&wave_, WAVE_MAPPER, &wf, DWORD_PTR(event_), 0, CALLBACK_EVENT) != MMSYSERR_NOERROR) {
    CloseHandle(event_);
    event_ = nullptr;
    wave_ = nullptr;
    return AUDIO_ERROR_DEVICE;
  }
  running_ = true;
  thread_ = std::thread([this] { Run(); });
  return AUDIO_OK;
}

bool WavePlayer::Fill(WAVEHDR& header, std::vector<int16_t>& buffer) {
  size_t frames = buffer.size() / format_.channels;
  long got = source_(buffer.data(), frames);
  if (got <= 0) return false;
  header = WAVEHDR{};
  header.lpData = reinterpret_cast<LPSTR>(buffer.data());
  header.dwBufferLength = DWORD(got * format_.channels * 2);
  waveOutPrepareHeader(wave_, &header, sizeof header);
  waveOutWrite(wave_, &header, sizeof header);
  queued_frames_ += uint64_t(got);
  return true;
}

void WavePlayer::Run() {
  WAVEHDR headers[BUFFERS];
  std::vector<int16_t> buffers[BUFFERS];
  bool queued[BUFFERS] = {};
  bool ended = false;
  size_t frames = format_.rate / BUFFERS_PER_SECOND;
  for (int i = 0; i < BUFFERS; ++i) {
    buffers[i].resize(frames * format_.channels);
    queued[i] = !ended && Fill(headers[i], buffers[i]);
    ended = !queued[i];
  }
  for (;;) {
    if (stop_) break;
    bool busy = false;
    for (int i = 0; i < BUFFERS; ++i) {
      if (queued[i] && (headers[i].dwFlags & WHDR_DONE)) {
        waveOutUnprepareHeader(wave_, &headers[i], sizeof headers[i]);
        queued[i] = !ended && Fill(headers[i], buffers[i]);
        ended = ended || !queued[i];
      }
      busy = busy || queued[i];
    }
    if (!busy) break;  // every buffer played: the end of the data
    WaitForSingleObject(event_, 50);
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stop_) waveOutReset(wave_);
  }
  for (int i = 0; i < BUFFERS; ++i)
    if (queued[i]) waveOutUnprepareHeader(wave_, &headers[i], sizeof headers[i]);
  running_ = false;
}

void WavePlayer::Pause() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (running_ && !paused_ && waveOutPause(wave_) == MMSYSERR_NOERROR) {
    paused_ = true;
    // The device may still count a few frames after the pause: a paused
    // channel keeps the position it had when paused.
    paused_frames_ = DevicePosition();
  }
}

void WavePlayer::Resume() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (paused_ && waveOutRestart(wave_) == MMSYSERR_NOERROR) paused_ = false;
}

void WavePlayer::Stop() {
  if (thread_.joinable()) {
    stop_ = true;
    SetEvent(event_);
    thread_.join();
  }
  std::lock_guard<std::mutex> lock(mutex_);
  if (wave_) {
    waveOutClose(wave_);
    wave_ = nullptr;
  }
  if (event_) {
    CloseHandle(event_);
    event_ = nullptr;
  }
  paused_ = false;
}

AudioStatus WavePlayer::Status() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!running_) return AUDIO_STOPPED;
  return paused_ ? AUDIO_PAUSED : AUDIO_PLAYING;
}

uint64_t WavePlayer::PlayedFrames() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!wave_) return 0;
  if (!running_ && !stop_) return queued_frames_;  // played to the end
  if (paused_) return paused_frames_;
  return DevicePosition();
}

uint64_t WavePlayer::DevicePosition() {
  MMTIME time = {};
  time.wType = TIME_BYTES;
  if (waveOutGetPosition(wave_, &time, sizeof time) != MMSYSERR_NOERROR || time.wType != TIME_BYTES) return 0;
  return time.u.cb / (format_.channels * 2);
}

}  // namespace audio
