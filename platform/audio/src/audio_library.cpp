// The layer's C API: the start-up count, the channel table and the calling
// thread's error code.
#include <audio/audio_layer.h>

#include "channel.h"
#include "file.h"

#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>

namespace audio {
namespace {

std::mutex g_mutex;  // the count and the table
int g_starts = 0;
uint32_t g_last_handle = 0;  // handles count up and are never reused
std::map<uint32_t, std::shared_ptr<Channel>> g_channels;
thread_local int g_error = AUDIO_OK;

int Fail(int error) {
  g_error = error;
  return 0;
}

int Done() {
  g_error = AUDIO_OK;
  return 1;
}

int Result(AudioError e) { return e == AUDIO_OK ? Done() : Fail(e); }

// The channel, held for the call, or null with the error set.
std::shared_ptr<Channel> Find(AudioChannel handle) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (g_starts == 0) {
    g_error = AUDIO_ERROR_NOT_STARTED;
    return nullptr;
  }
  auto it = g_channels.find(handle);
  if (it == g_channels.end()) {
    g_error = AUDIO_ERROR_HANDLE;
    return nullptr;
  }
  return it->second;
}

void CopyField(char* out, const char* in, size_t n) {
  std::memcpy(out, in, n);
  out[n] = 0;  // the text ends at its first zero or at the field's end
}

}  // namespace
}  // namespace audio

using namespace audio;

extern "C" {

int Audio_Start(void) {
  std::lock_guard<std::mutex> lock(g_mutex);
  ++g_starts;
  return Done();
}

int Audio_Stop(void) {
  std::map<uint32_t, std::shared_ptr<Channel>> freed;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_starts == 0) return Fail(AUDIO_ERROR_NOT_STARTED);
    if (--g_starts == 0) freed.swap(g_channels);
  }
  return Done();  // the freed channels stop their players outside the lock
}

AudioChannel Audio_Open(const char* path, uint32_t flags) {
  if (!path) return AudioChannel(Fail(AUDIO_ERROR_ARGUMENT));
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_starts == 0) return AudioChannel(Fail(AUDIO_ERROR_NOT_STARTED));
  }
  try {
    OpenResult r = OpenDecoder(path);
    if (!r.decoder) return AudioChannel(Fail(r.error));
    auto channel = std::make_shared<Channel>(std::move(r.decoder), path, (flags & AUDIO_OPEN_DECODE) != 0);
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_starts == 0) return AudioChannel(Fail(AUDIO_ERROR_NOT_STARTED));
    g_channels[++g_last_handle] = channel;
    g_error = AUDIO_OK;
    return g_last_handle;
  } catch (const std::bad_alloc&) {
    return AudioChannel(Fail(AUDIO_ERROR_MEMORY));
  } catch (...) {
    return AudioChannel(Fail(AUDIO_ERROR_DECODE));
  }
}

int Audio_Close(AudioChannel handle) {
  std::shared_ptr<Channel> channel;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_starts == 0) return Fail(AUDIO_ERROR_NOT_STARTED);
    auto it = g_channels.find(handle);
    if (it == g_channels.end()) return Fail(AUDIO_ERROR_HANDLE);
    channel = std::move(it->second);
    g_channels.erase(it);
  }
  return Done();
}

int Audio_GetInfo(AudioChannel handle, AudioInfo* info) {
  if (!info) return Fail(AUDIO_ERROR_ARGUMENT);
  auto channel = Find(handle);
  if (!channel) return 0;
  const Format& f = channel->format();
  info->type = f.type;
  info->rate = f.rate;
  info->channels = f.channels;
  info->is_music = f.music ? 1 : 0;
  info->bits = f.bits;
  return Done();
}

uint64_t Audio_GetLength(AudioChannel handle) {
  auto channel = Find(handle);
  if (!channel) return UINT64_MAX;
  Done();
  return channel->LengthBytes();
}

int Audio_GetId3v1(AudioChannel handle, AudioId3v1* tag) {
  if (!tag) return Fail(AUDIO_ERROR_ARGUMENT);
  auto channel = Find(handle);
  if (!channel) return 0;
  File file(channel->path());
  int64_t size = file.is_open() ? file.Size() : -1;
  uint8_t raw[128];
  if (size < 128 || !file.ReadAt(size - 128, raw, sizeof raw)) return Fail(AUDIO_ERROR_NO_TAG);
  if (std::memcmp(raw, "TAG", 3) != 0) return Fail(AUDIO_ERROR_NO_TAG);
  CopyField(tag->title, reinterpret_cast<char*>(raw + 3), 30);
  CopyField(tag->artist, reinterpret_cast<char*>(raw + 33), 30);
  CopyField(tag->album, reinterpret_cast<char*>(raw + 63), 30);
  CopyField(tag->year, reinterpret_cast<char*>(raw + 93), 4);
  CopyField(tag->comment, reinterpret_cast<char*>(raw + 97), 30);
  // ID3v1.1 keeps the track number in the comment's last byte after a zero.
  tag->track = raw[125] == 0 ? raw[126] : 0;
  tag->genre = raw[127];
  return Done();
}

double Audio_BytesToSeconds(AudioChannel handle, uint64_t bytes) {
  auto channel = Find(handle);
  if (!channel) return -1;
  Done();
  return double(bytes / channel->frame_bytes()) / channel->format().rate;
}

uint64_t Audio_SecondsToBytes(AudioChannel handle, double seconds) {
  auto channel = Find(handle);
  if (!channel) return UINT64_MAX;
  if (!(seconds >= 0)) {
    Fail(AUDIO_ERROR_ARGUMENT);
    return UINT64_MAX;
  }
  Done();
  return uint64_t(std::llround(seconds * channel->format().rate)) * channel->frame_bytes();
}

int Audio_SetPosition(AudioChannel handle, uint64_t position) {
  auto channel = Find(handle);
  return channel ? Result(channel->SetPosition(position)) : 0;
}

uint64_t Audio_GetPosition(AudioChannel handle) {
  auto channel = Find(handle);
  if (!channel) return UINT64_MAX;
  Done();
  return channel->Position();
}

int32_t Audio_Read(AudioChannel handle, void* buffer, uint32_t bytes) {
  auto channel = Find(handle);
  if (!channel) return -1;
  AudioError e = AUDIO_OK;
  long got = channel->Read(buffer, bytes, &e);
  g_error = e;
  return int32_t(got);
}

int Audio_Play(AudioChannel handle, int restart) {
  auto channel = Find(handle);
  return channel ? Result(channel->Play(restart != 0)) : 0;
}

int Audio_Pause(AudioChannel handle) {
  auto channel = Find(handle);
  return channel ? Result(channel->Pause()) : 0;
}

int Audio_Resume(AudioChannel handle) {
  auto channel = Find(handle);
  return channel ? Result(channel->Resume()) : 0;
}

int Audio_StopChannel(AudioChannel handle) {
  auto channel = Find(handle);
  return channel ? Result(channel->Stop()) : 0;
}

int Audio_Status(AudioChannel handle) {
  auto channel = Find(handle);
  if (!channel) return -1;
  Done();
  return channel->Status();
}

int Audio_ErrorCode(void) { return g_error; }

const char* Audio_ErrorText(int code) {
  switch (code) {
    case AUDIO_OK: return "no error";
    case AUDIO_ERROR_NOT_STARTED: return "the audio layer is not started";
    case AUDIO_ERROR_FILE: return "the file cannot be opened or read";
    case AUDIO_ERROR_FORMAT: return "not an audio file of a known kind";
    case AUDIO_ERROR_HANDLE: return "no such channel";
    case AUDIO_ERROR_ENDED: return "the channel has ended";
    case AUDIO_ERROR_POSITION: return "the position is past the end";
    case AUDIO_ERROR_DECODE: return "the audio data is damaged";
    case AUDIO_ERROR_NO_WMA: return "this system has no Windows Media reader that decodes the file";
    case AUDIO_ERROR_DEVICE: return "the wave output cannot play the channel";
    case AUDIO_ERROR_DECODE_ONLY: return "the channel was opened for decoding only";
    case AUDIO_ERROR_NO_TAG: return "the file has no ID3v1 tag";
    case AUDIO_ERROR_ARGUMENT: return "invalid argument";
    case AUDIO_ERROR_MEMORY: return "out of memory";
  }
  return "unknown error";
}

}  // extern "C"
