// Ogg Vorbis through vorbisfile, reading the file with the layer's own I/O.
#include "decoder.h"
#include "file.h"

#include <vorbis/vorbisfile.h>

namespace audio {
namespace {

size_t ReadCb(void* buf, size_t size, size_t n, void* src) {
  return static_cast<File*>(src)->Read(buf, size * n) / (size ? size : 1);
}
int SeekCb(void* src, ogg_int64_t off, int whence) {
  return static_cast<File*>(src)->Seek(off, whence) ? 0 : -1;
}
long TellCb(void* src) { return long(static_cast<File*>(src)->Tell()); }

class VorbisDecoder : public Decoder {
 public:
  explicit VorbisDecoder(const std::string& path) : file_(path) {}
  ~VorbisDecoder() override {
    if (open_) ov_clear(&vf_);
  }

  AudioError Open() {
    if (!file_.is_open()) return AUDIO_ERROR_FILE;
    ov_callbacks cb = {ReadCb, SeekCb, nullptr, TellCb};
    if (ov_open_callbacks(&file_, &vf_, nullptr, 0, cb) != 0) return AUDIO_ERROR_FORMAT;
    open_ = true;
    vorbis_info* vi = ov_info(&vf_, 0);
    ogg_int64_t total = ov_pcm_total(&vf_, -1);
    if (!vi || total < 0) return AUDIO_ERROR_FORMAT;
    // Chained links of another rate or channel count would be read in the
    // first link's shape (wrong speed, garbled channels): refused.
    for (long link = 1; link < ov_streams(&vf_); ++link) {
      vorbis_info* other = ov_info(&vf_, link);
      if (!other || other->rate != vi->rate || other->channels != vi->channels) return AUDIO_ERROR_DECODE;
    }
    format_.type = AUDIO_TYPE_OGG;
    format_.rate = uint32_t(vi->rate);
    format_.channels = uint32_t(vi->channels);
    length_frames_ = uint64_t(total);
    return AUDIO_OK;
  }

  long Read(int16_t* out, size_t frames) override {
    char* dst = reinterpret_cast<char*>(out);
    size_t want = frames * format_.channels * 2, got = 0;
    while (got < want) {
      int section = 0;
      long n = ov_read(&vf_, dst + got, int(want - got), 0, 2, 1, &section);
      if (n == OV_HOLE) continue;  // a gap in the stream: decoding goes on after it
      if (n < 0) {
        if (got) break;
        error_ = AUDIO_ERROR_DECODE;
        return -1;
      }
      if (n == 0) break;
      got += size_t(n);
    }
    return long(got / (format_.channels * 2));
  }

  bool Seek(uint64_t frame) override { return ov_pcm_seek(&vf_, ogg_int64_t(frame)) == 0; }

 private:
  File file_;
  OggVorbis_File vf_{};
  bool open_ = false;
};

}  // namespace

OpenResult OpenVorbis(const std::string& path) {
  auto ogg = std::make_unique<VorbisDecoder>(path);
  OpenResult r;
  r.error = ogg->Open();
  if (r.error == AUDIO_OK) r.decoder = std::move(ogg);
  return r;
}

}  // namespace audio
