// MPEG audio layers 1, 2 and 3 through libmpg123, reading the file with the
// layer's own I/O (the library's own open would take the path as UTF-8).
#include "decoder.h"
#include "file.h"

#include <mpg123.h>

#include <mutex>

namespace audio {
namespace {

ssize_t ReadCb(void* src, void* buf, size_t n) { return ssize_t(static_cast<File*>(src)->Read(buf, n)); }
off_t SeekCb(void* src, off_t off, int whence) {
  File* f = static_cast<File*>(src);
  return f->Seek(off, whence) ? off_t(f->Tell()) : off_t(-1);
}

const uint32_t TYPE_OF_LAYER[4] = {0, AUDIO_TYPE_MP1, AUDIO_TYPE_MP2, AUDIO_TYPE_MP3};

class MpegDecoder : public Decoder {
 public:
  explicit MpegDecoder(const std::string& path) : file_(path) {}
  ~MpegDecoder() override {
    if (mh_) mpg123_delete(mh_);
  }

  AudioError Open() {
    static std::once_flag init;
    std::call_once(init, [] { mpg123_init(); });
    if (!file_.is_open()) return AUDIO_ERROR_FILE;
    mh_ = mpg123_new(nullptr, nullptr);
    if (!mh_) return AUDIO_ERROR_MEMORY;
    mpg123_param(mh_, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    // Every rate and channel count as the file has it, as 16-bit samples.
    mpg123_format_none(mh_);
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i) mpg123_format(mh_, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_replace_reader_handle(mh_, ReadCb, SeekCb, nullptr) != MPG123_OK ||
        mpg123_open_handle(mh_, &file_) != MPG123_OK)
      return AUDIO_ERROR_FORMAT;
    long rate = 0;
    int channels = 0, encoding = 0;
    mpg123_frameinfo info{};
    if (mpg123_getformat(mh_, &rate, &channels, &encoding) != MPG123_OK || mpg123_info(mh_, &info) != MPG123_OK ||
        info.layer < 1 || info.layer > 3)
      return AUDIO_ERROR_FORMAT;
    // The exact length takes a pass over the frames (no decoding): an
    // encoder's header that counts them is not trusted, as a file cut short
    // keeps the count of the whole.
    if (mpg123_scan(mh_) != MPG123_OK) return AUDIO_ERROR_FORMAT;
    off_t length = mpg123_length(mh_);
    if (length < 0) return AUDIO_ERROR_FORMAT;
    format_.type = TYPE_OF_LAYER[info.layer];
    format_.rate = uint32_t(rate);
    format_.channels = uint32_t(channels);
    length_frames_ = uint64_t(length);
    return AUDIO_OK;
  }

  long Read(int16_t* out, size_t frames) override {
    unsigned char* dst = reinterpret_cast<unsigned char*>(out);
    size_t block = format_.channels * 2, want = frames * block, got = 0;
    if (changed_) return -1;
    while (got < want) {
      size_t done = 0;
      int rc = mpg123_read(mh_, dst + got, want - got, &done);
      got += done;
      if (rc == MPG123_DONE) break;
      if (rc == MPG123_NEW_FORMAT && !SameFormat()) {
        // Joined files of another rate or channel count: the rest would be
        // read in the first part's shape. What came before is kept.
        error_ = AUDIO_ERROR_DECODE;
        changed_ = true;
        return got ? long(got / block) : -1;
      }
      if (rc == MPG123_NEW_FORMAT || rc == MPG123_OK) continue;
      if (got) break;
      error_ = AUDIO_ERROR_DECODE;
      return -1;
    }
    return long(got / block);
  }

  bool Seek(uint64_t frame) override { return mpg123_seek(mh_, off_t(frame), SEEK_SET) >= 0; }

 private:
  bool SameFormat() {
    long rate = 0;
    int channels = 0, encoding = 0;
    return mpg123_getformat(mh_, &rate, &channels, &encoding) == MPG123_OK && uint32_t(rate) == format_.rate &&
           uint32_t(channels) == format_.channels;
  }

  File file_;
  mpg123_handle* mh_ = nullptr;
  bool changed_ = false;  // the format changed: nothing more is read
};

}  // namespace

OpenResult OpenMpeg(const std::string& path) {
  auto mpeg = std::make_unique<MpegDecoder>(path);
  OpenResult r;
  r.error = mpeg->Open();
  if (r.error == AUDIO_OK) r.decoder = std::move(mpeg);
  return r;
}

}  // namespace audio
