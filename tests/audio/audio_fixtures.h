// Fixtures of the audio layer's tests: files the tests write themselves
// (WAV of any shape, a small MOD and XM) and the encoded files with their
// reference decodes that the build made with Debian's tools.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace audio_fixtures {

// The folder of the encoded fixtures, with a trailing slash.
std::string EncodedFolder();

// A PCM WAV file of the given shape whose samples are `samples` (already in
// the file's width: 8-bit unsigned, 16/24-bit signed), interleaved.
std::string WavBytes(uint32_t rate, uint16_t channels, uint16_t bits, const std::vector<int32_t>& samples);
// A tone of the shape as WAV bytes, and its samples converted to 16 bits.
std::string ToneWav(uint32_t rate, uint16_t channels, uint16_t bits, uint32_t frames, std::vector<int16_t>* pcm16);

// WAV files of CD sound's shape (44.1 kHz, stereo) that a CD writer must
// not take as they are, each holding a tone of `frames` frames whose
// samples in 16 bits are `*pcm16`: a streamed data size (0xFFFFFFFF), a data
// chunk cut short, a wrong byte rate, a wrong block align, 65 chunks before
// the samples, and 24-bit samples.
struct NamedWav {
  const char* name;
  std::string bytes;
};
std::vector<NamedWav> OddCdWavs(uint32_t frames, std::vector<int16_t>* pcm16);

// A 4-channel ProTracker module: one pattern of 64 rows at speed 6 and
// 125 BPM (7.68 s), one short looped sample playing a note.
std::string ModBytes();
// A FastTracker 2 module: one pattern of 16 rows at speed 6 and 125 BPM
// (1.92 s), one instrument without samples.
std::string XmBytes();

// The data chunk's samples of a 16-bit WAV file (a reference decode).
std::vector<int16_t> WavSamples16(const std::string& bytes);

}  // namespace audio_fixtures
