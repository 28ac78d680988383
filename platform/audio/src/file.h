// A file of the audio layer: ANSI path, 64-bit positions, closed on scope exit.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace audio {

class File {
 public:
  File() = default;
  explicit File(const std::string& path) : f_(std::fopen(path.c_str(), "rb")) {}
  ~File() { if (f_) std::fclose(f_); }
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  bool is_open() const { return f_ != nullptr; }
  size_t Read(void* buf, size_t n) { return std::fread(buf, 1, n, f_); }
  bool Seek(int64_t pos, int whence = SEEK_SET) { return _fseeki64(f_, pos, whence) == 0; }
  int64_t Tell() { return _ftelli64(f_); }
  int64_t Size();
  // Reads exactly n bytes at pos; false when the file is shorter.
  bool ReadAt(int64_t pos, void* buf, size_t n) { return Seek(pos) && Read(buf, n) == n; }

 private:
  std::FILE* f_ = nullptr;
};

inline int64_t File::Size() {
  int64_t here = Tell();
  if (!Seek(0, SEEK_END)) return -1;
  int64_t size = Tell();
  Seek(here);
  return size;
}

}  // namespace audio
