// Decodes an audio file to a 16-bit WAV file through the audio layer and
// prints the time the decode took: audio_bench <audio file> <wav file>
#include <audio/audio_layer.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

void Put32(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = (unsigned char)(v >> (8 * i));
}

// The 44-byte header of a PCM WAV file.
void WavHeader(unsigned char* h, const AudioInfo& info, uint32_t data) {
  uint32_t block = info.channels * 2;
  std::memcpy(h, "RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0", 22);
  Put32(h + 4, 36 + data);
  h[22] = (unsigned char)info.channels;
  h[23] = 0;
  Put32(h + 24, info.rate);
  Put32(h + 28, info.rate * block);
  h[32] = (unsigned char)block;
  h[33] = 0;
  h[34] = 16;
  h[35] = 0;
  std::memcpy(h + 36, "data", 4);
  Put32(h + 40, data);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: audio_bench <audio file> <wav file>\n");
    return 2;
  }
  LARGE_INTEGER freq, t0, topen, t1;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&t0);
  Audio_Start();
  AudioChannel ch = Audio_Open(argv[1], AUDIO_OPEN_DECODE);
  AudioInfo info{};
  if (!ch || !Audio_GetInfo(ch, &info)) {
    std::fprintf(stderr, "%s: %s\n", argv[1], Audio_ErrorText(Audio_ErrorCode()));
    return 1;
  }
  QueryPerformanceCounter(&topen);
  std::FILE* out = std::fopen(argv[2], "wb");
  if (!out) return 1;
  unsigned char header[44];
  std::fwrite(header, 1, sizeof header, out);
  std::vector<char> block(1 << 16);
  uint64_t total = 0;
  for (int32_t got; (got = Audio_Read(ch, block.data(), uint32_t(block.size()))) > 0; total += uint32_t(got))
    std::fwrite(block.data(), 1, size_t(got), out);
  if (Audio_ErrorCode() != AUDIO_ERROR_ENDED) {
    std::fprintf(stderr, "%s: %s\n", argv[1], Audio_ErrorText(Audio_ErrorCode()));
    return 1;
  }
  WavHeader(header, info, uint32_t(total));
  std::fseek(out, 0, SEEK_SET);
  std::fwrite(header, 1, sizeof header, out);
  std::fclose(out);
  Audio_Close(ch);
  Audio_Stop();
  QueryPerformanceCounter(&t1);
  std::printf("%.3f s (open %.3f s) for %.1f s of audio\n", double(t1.QuadPart - t0.QuadPart) / freq.QuadPart,
              double(topen.QuadPart - t0.QuadPart) / freq.QuadPart, double(total) / (info.rate * info.channels * 2));
  return 0;
}
