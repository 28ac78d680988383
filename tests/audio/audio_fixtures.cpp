#include "audio_fixtures.h"

#include <cmath>
#include <cstring>

namespace audio_fixtures {
namespace {

void Put16(std::string& s, uint32_t v) {
  s += char(v & 0xFF);
  s += char((v >> 8) & 0xFF);
}
void Put32(std::string& s, uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}
void PutBe16(std::string& s, uint32_t v) {
  s += char((v >> 8) & 0xFF);
  s += char(v & 0xFF);
}
void PutText(std::string& s, const char* text, size_t width) {
  std::string t(text);
  t.resize(width, '\0');
  s += t;
}

}  // namespace

std::string EncodedFolder() { return AUDIO_FIXTURES; }

std::string WavBytes(uint32_t rate, uint16_t channels, uint16_t bits, const std::vector<int32_t>& samples) {
  uint32_t width = bits / 8, data = uint32_t(samples.size()) * width;
  std::string s = "RIFF";
  Put32(s, 36 + data);
  s += "WAVEfmt ";
  Put32(s, 16);
  Put16(s, 1);
  Put16(s, channels);
  Put32(s, rate);
  Put32(s, rate * channels * width);
  Put16(s, channels * width);
  Put16(s, bits);
  s += "data";
  Put32(s, data);
  for (int32_t v : samples)
    for (uint32_t b = 0; b < width; ++b) s += char((uint32_t(v) >> (8 * b)) & 0xFF);
  return s;
}

std::string ToneWav(uint32_t rate, uint16_t channels, uint16_t bits, uint32_t frames, std::vector<int16_t>* pcm16) {
  std::vector<int32_t> samples;
  pcm16->clear();
  for (uint32_t i = 0; i < frames; ++i)
    for (uint16_t c = 0; c < channels; ++c) {
      double x = 0.6 * std::sin(2 * 3.14159265358979 * (440.0 + 110 * c) * i / rate);
      int32_t full = int32_t(std::lround(x * 8388607));  // 24-bit
      int32_t v = bits == 8 ? int32_t(std::lround(x * 127)) + 128 : bits == 16 ? full >> 8 : full;
      samples.push_back(v);
      pcm16->push_back(bits == 8 ? int16_t((v - 128) * 256) : int16_t(full >> 8));
    }
  return WavBytes(rate, channels, bits, samples);
}

std::vector<NamedWav> OddCdWavs(uint32_t frames, std::vector<int16_t>* pcm16) {
  const std::string wav = ToneWav(44100, 2, 16, frames, pcm16);
  auto patched = [&](size_t at, uint32_t value) {
    std::string s = wav;
    for (int b = 0; b < 4; ++b) s[at + b] = char(value >> (8 * b));
    return s;
  };
  const uint32_t data = frames * 4;
  std::string blockAlign = wav;
  blockAlign[32] = 2;
  std::string manyChunks = wav.substr(0, 36);
  for (int i = 0; i < 65; ++i) manyChunks += std::string("note\0\0\0\0", 8);
  manyChunks += wav.substr(36);
  std::vector<int16_t> wide;
  return {{"streamed data size", patched(40, 0xFFFFFFFF)},
          {"data chunk cut short", patched(40, data + 4000)},
          {"wrong byte rate", patched(28, 88200)},
          {"wrong block align", blockAlign},
          {"65 chunks before the samples", manyChunks},
          {"24 bits", ToneWav(44100, 2, 24, frames, &wide)}};
}

std::string ModBytes() {
  std::string s;
  PutText(s, "tiny mod", 20);
  const uint16_t SAMPLE_WORDS = 32;
  for (int i = 0; i < 31; ++i) {
    PutText(s, i == 0 ? "square" : "", 22);
    PutBe16(s, i == 0 ? SAMPLE_WORDS : 0);  // length in words
    s += char(0);                             // finetune
    s += char(i == 0 ? 64 : 0);               // volume
    PutBe16(s, 0);                            // loop start
    PutBe16(s, i == 0 ? SAMPLE_WORDS : 1);    // loop length
  }
  s += char(1);    // song length
  s += char(127);  // restart
  s += std::string(128, '\0');
  s += "M.K.";
  for (int row = 0; row < 64; ++row)
    for (int ch = 0; ch < 4; ++ch) {
      // Sample 1 at period 428 (C-2) on the first row of channel 1.
      bool note = row == 0 && ch == 0;
      uint16_t period = note ? 428 : 0;
      uint8_t sample = note ? 1 : 0;
      s += char((sample & 0xF0) | (period >> 8));
      s += char(period & 0xFF);
      s += char((sample & 0x0F) << 4);
      s += char(0);
    }
  for (int i = 0; i < SAMPLE_WORDS * 2; ++i) s += char(i < SAMPLE_WORDS ? 100 : -100);
  return s;
}

std::string XmBytes() {
  std::string s = "Extended Module: ";
  PutText(s, "tiny xm", 20);
  s += char(0x1A);
  PutText(s, "Tavell tests", 20);
  Put16(s, 0x0104);
  Put32(s, 276);  // header size from here
  Put16(s, 1);    // song length
  Put16(s, 0);    // restart
  Put16(s, 2);    // channels
  Put16(s, 1);    // patterns
  Put16(s, 1);    // instruments
  Put16(s, 1);    // linear frequencies
  Put16(s, 6);    // speed
  Put16(s, 125);  // BPM
  s += std::string(256, '\0');
  const uint16_t ROWS = 16;
  Put32(s, 9);  // pattern header
  s += char(0);
  Put16(s, ROWS);
  Put16(s, ROWS * 2);  // packed: one "empty" byte per cell
  s += std::string(ROWS * 2, char(0x80));
  Put32(s, 29);  // instrument header without samples
  PutText(s, "empty", 22);
  s += char(0);
  Put16(s, 0);
  return s;
}

std::vector<int16_t> WavSamples16(const std::string& bytes) {
  for (size_t pos = 12; pos + 8 <= bytes.size();) {
    uint32_t size;
    std::memcpy(&size, bytes.data() + pos + 4, 4);
    if (bytes.compare(pos, 4, "data") == 0) {
      size = std::min<uint32_t>(size, uint32_t(bytes.size() - pos - 8));
      std::vector<int16_t> out(size / 2);
      std::memcpy(out.data(), bytes.data() + pos + 8, out.size() * 2);
      return out;
    }
    pos += 8 + size + (size & 1);
  }
  return {};
}

}  // namespace audio_fixtures
