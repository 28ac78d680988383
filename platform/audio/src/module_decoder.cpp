// Tracker modules (MOD, MTM, S3M, XM, IT and MO3) through libopenmpt,
// rendered once through at 44,100 Hz stereo.
#include "decoder.h"
#include "file.h"

#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace audio {
namespace {

const uint32_t MUSIC_RATE = 44100;

uint32_t TypeOf(const std::string& container, const std::string& type) {
  if (container == "mo3") return AUDIO_TYPE_MO3;
  if (type == "mod") return AUDIO_TYPE_MOD;
  if (type == "mtm") return AUDIO_TYPE_MTM;
  if (type == "s3m") return AUDIO_TYPE_S3M;
  if (type == "xm") return AUDIO_TYPE_XM;
  if (type == "it") return AUDIO_TYPE_IT;
  return 0;
}

std::string Metadata(openmpt_module* mod, const char* key) {
  const char* text = openmpt_module_get_metadata(mod, key);
  std::string value = text ? text : "";
  openmpt_free_string(text);
  return value;
}

class ModuleDecoder : public Decoder {
 public:
  ~ModuleDecoder() override {
    if (mod_) openmpt_module_destroy(mod_);
  }

  AudioError Open(const std::string& path) {
    File file(path);
    if (!file.is_open()) return AUDIO_ERROR_FILE;
    int64_t size = file.Size();
    if (size <= 0) return AUDIO_ERROR_FORMAT;
    // Look at the header before reading a large file whole.
    std::vector<uint8_t> data(size_t(std::min<int64_t>(size, openmpt_probe_file_header_get_recommended_size())));
    if (!file.ReadAt(0, data.data(), data.size())) return AUDIO_ERROR_FILE;
    int probe = openmpt_probe_file_header(OPENMPT_PROBE_FILE_HEADER_FLAGS_DEFAULT, data.data(), data.size(),
                                          uint64_t(size), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (probe != OPENMPT_PROBE_FILE_HEADER_RESULT_SUCCESS) return AUDIO_ERROR_FORMAT;
    data.resize(size_t(size));
    if (!file.ReadAt(0, data.data(), data.size())) return AUDIO_ERROR_FILE;
    mod_ = openmpt_module_create_from_memory2(data.data(), data.size(), nullptr, nullptr, nullptr, nullptr,
                                               nullptr, nullptr, nullptr);
    if (!mod_) return AUDIO_ERROR_FORMAT;
    format_.type = TypeOf(Metadata(mod_, "container"), Metadata(mod_, "type"));
    if (format_.type == 0) return AUDIO_ERROR_FORMAT;
    format_.rate = MUSIC_RATE;
    format_.channels = 2;
    format_.music = true;
    openmpt_module_set_repeat_count(mod_, 0);
    length_frames_ = uint64_t(std::llround(openmpt_module_get_duration_seconds(mod_) * MUSIC_RATE));
    return AUDIO_OK;
  }

  // The rendering may end a few frames before or after the length the
  // module reports: the data is cut or padded with silence to that length.
  long Read(int16_t* out, size_t frames) override {
    uint64_t left = length_frames_ - frame_;
    if (frames > left) frames = size_t(left);
    size_t got = ended_ ? 0 : openmpt_module_read_interleaved_stereo(mod_, MUSIC_RATE, frames, out);
    if (got < frames) {
      ended_ = true;
      std::memset(out + got * 2, 0, (frames - got) * 4);
    }
    frame_ += frames;
    return long(frames);
  }

  bool Seek(uint64_t frame) override {
    if (frame > length_frames_) return false;
    openmpt_module_set_position_seconds(mod_, double(frame) / MUSIC_RATE);
    frame_ = frame;
    ended_ = false;
    return true;
  }

 private:
  openmpt_module* mod_ = nullptr;
  uint64_t frame_ = 0;
  bool ended_ = false;
};

}  // namespace

OpenResult OpenModule(const std::string& path) {
  auto module = std::make_unique<ModuleDecoder>();
  OpenResult r;
  r.error = module->Open(path);
  if (r.error == AUDIO_OK) r.decoder = std::move(module);
  return r;
}

}  // namespace audio
