// The audio layer's analysis and decoding: what it reports of each kind of
// file, and the samples it decodes against Debian's own decoders.
#include "audio_fixtures.h"
#include "files.h"

#include <audio/audio_layer.h>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace audio_fixtures;

namespace {

class AudioDecode : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(1, Audio_Start()); }
  void TearDown() override { Audio_Stop(); }

  // The whole decoded data of a file, read in blocks of 4096 bytes.
  static std::vector<int16_t> DecodeAll(AudioChannel ch) {
    std::vector<int16_t> out;
    char block[4096];
    for (;;) {
      int32_t got = Audio_Read(ch, block, sizeof block);
      if (got < 0) {
        EXPECT_EQ(AUDIO_ERROR_ENDED, Audio_ErrorCode());
        return out;
      }
      out.insert(out.end(), reinterpret_cast<int16_t*>(block), reinterpret_cast<int16_t*>(block + got));
    }
  }

  TempFolder temp_;
};

struct AnalysisCase {
  const char* file;
  uint32_t type, channels, rate;
  double seconds, tolerance;
  const char* title;  // null: no ID3v1 tag
};

TEST_F(AudioDecode, ReportsKindShapeLengthAndTagOfEachFile) {
  std::vector<int16_t> pcm;
  WriteFileBytes(temp_.File("mono22k8.wav"), ToneWav(22050, 1, 8, 22050, &pcm));
  WriteFileBytes(temp_.File("stereo48k24.wav"), ToneWav(48000, 2, 24, 24000, &pcm));
  WriteFileBytes(temp_.File("three.wav"), ToneWav(44100, 3, 16, 4410, &pcm));
  WriteFileBytes(temp_.File("tiny.mod"), ModBytes());
  WriteFileBytes(temp_.File("tiny.xm"), XmBytes());
  // A module's kind is told by its content, not by its name.
  WriteFileBytes(temp_.File("module.mp3"), XmBytes());
  const std::string enc = EncodedFolder();
  // MPEG lengths: lame's gapless header gives the exact length; twolame
  // writes none, so its 39 frames of 1152 samples count whole.
  const AnalysisCase cases[] = {
      {"mono22k8.wav", AUDIO_TYPE_WAV, 1, 22050, 1.0, 1e-9, nullptr},
      {"stereo48k24.wav", AUDIO_TYPE_WAV, 2, 48000, 0.5, 1e-9, nullptr},
      {"three.wav", AUDIO_TYPE_WAV, 3, 44100, 0.1, 1e-9, nullptr},
      {"tiny.mod", AUDIO_TYPE_MOD, 2, 44100, 7.68, 0.001, nullptr},
      {"tiny.xm", AUDIO_TYPE_XM, 2, 44100, 1.92, 0.001, nullptr},
      {"module.mp3", AUDIO_TYPE_XM, 2, 44100, 1.92, 0.001, nullptr},
      {"*tagged.mp3", AUDIO_TYPE_MP3, 2, 44100, 1.0, 1e-9, "Tagged Title"},
      {"*plain.mp3", AUDIO_TYPE_MP3, 1, 22050, 1.0, 1e-9, nullptr},
      // An ID3v2 tag at the start is skipped; its title is not an ID3v1 one
      // (lame resamples to 32 kHz at this bit rate).
      {"*id3v2.mp3", AUDIO_TYPE_MP3, 2, 32000, 1.0, 1e-9, nullptr},
      {"*plain.mp2", AUDIO_TYPE_MP2, 2, 44100, 39 * 1152 / 44100.0, 1e-9, nullptr},
      {"*tagged.mp2", AUDIO_TYPE_MP2, 2, 44100, 39 * 1152 / 44100.0, 1e-9, "Second Title"},
      {"*mono.ogg", AUDIO_TYPE_OGG, 1, 22050, 1.0, 1e-9, nullptr},
      {"*stereo.ogg", AUDIO_TYPE_OGG, 2, 44100, 1.0, 1e-9, nullptr},
  };
  for (const AnalysisCase& c : cases) {
    SCOPED_TRACE(c.file);
    std::string path = c.file[0] == '*' ? enc + (c.file + 1) : temp_.File(c.file);
    AudioChannel ch = Audio_Open(path.c_str(), AUDIO_OPEN_DECODE);
    ASSERT_NE(0u, ch) << Audio_ErrorText(Audio_ErrorCode());
    AudioInfo info{};
    ASSERT_EQ(1, Audio_GetInfo(ch, &info));
    EXPECT_EQ(c.type, info.type);
    EXPECT_EQ(c.channels, info.channels);
    EXPECT_EQ(c.rate, info.rate);
    EXPECT_EQ(c.type < 0x10000 || c.type >= 0x20000 ? 1u : 0u, info.is_music);
    uint64_t length = Audio_GetLength(ch);
    EXPECT_EQ(0u, length % (2 * c.channels));
    EXPECT_NEAR(c.seconds, Audio_BytesToSeconds(ch, length), c.tolerance);
    EXPECT_EQ(length, Audio_SecondsToBytes(ch, Audio_BytesToSeconds(ch, length)));
    AudioId3v1 tag{};
    if (c.title) {
      ASSERT_EQ(1, Audio_GetId3v1(ch, &tag));
      EXPECT_STREQ(c.title, tag.title);
    } else {
      EXPECT_EQ(0, Audio_GetId3v1(ch, &tag));
      EXPECT_EQ(AUDIO_ERROR_NO_TAG, Audio_ErrorCode());
    }
    // Every kind decodes to exactly its reported length.
    EXPECT_EQ(length, DecodeAll(ch).size() * 2);
    EXPECT_EQ(1, Audio_Close(ch));
  }
}

TEST_F(AudioDecode, RefusesWhatItCannotDecodeWithItsReason) {
  WriteFileBytes(temp_.File("text.mp3"), std::string(2000, 'x') + "\nThis is a text file, not audio.\n");
  WriteFileBytes(temp_.File("empty.wav"), "");
  WriteFileBytes(temp_.File("float.wav"), WavBytes(44100, 2, 16, {1, 2}).replace(20, 2, "\x03\x00", 2));
  // The header of a Windows Media file: the layer hands it to the system's
  // reader, which Wine does not have for audio.
  WriteFileBytes(temp_.File("song.wma"), std::string("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16) +
                                             std::string(200, '\0'));
  const struct {
    std::string path;
    int error;
  } cases[] = {
      {temp_.File("text.mp3"), AUDIO_ERROR_FORMAT},
      {temp_.File("empty.wav"), AUDIO_ERROR_FORMAT},
      {temp_.File("float.wav"), AUDIO_ERROR_FORMAT},
      {temp_.File("missing.ogg"), AUDIO_ERROR_FILE},
      {temp_.File("song.wma"), AUDIO_ERROR_NO_WMA},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(0u, Audio_Open(c.path.c_str(), AUDIO_OPEN_DECODE));
    EXPECT_EQ(c.error, Audio_ErrorCode()) << Audio_ErrorText(Audio_ErrorCode());
  }
}

TEST_F(AudioDecode, WavSamplesOfEveryWidthBecomeSixteenBits) {
  // 8-bit is unsigned, 24-bit keeps its top two bytes.
  WriteFileBytes(temp_.File("w8.wav"), WavBytes(8000, 1, 8, {0x00, 0x80, 0xFF, 0x81}));
  WriteFileBytes(temp_.File("w24.wav"), WavBytes(8000, 2, 24, {0x123456, -0x123456, 0x7FFFFF, -0x800000}));
  const struct {
    const char* file;
    std::vector<int16_t> pcm;
  } cases[] = {
      {"w8.wav", {-32768, 0, 32512, 256}},
      {"w24.wav", {0x1234, -0x1235, 0x7FFF, -0x8000}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    AudioChannel ch = Audio_Open(temp_.File(c.file).c_str(), AUDIO_OPEN_DECODE);
    ASSERT_NE(0u, ch);
    EXPECT_EQ(c.pcm, DecodeAll(ch));
  }
}

TEST_F(AudioDecode, MpegAndOggSamplesMatchDebiansDecoders) {
  for (const char* file :
       {"tagged.mp3", "plain.mp3", "id3v2.mp3", "plain.mp2", "tagged.mp2", "mono.ogg", "stereo.ogg"}) {
    SCOPED_TRACE(file);
    std::string path = EncodedFolder() + file;
    std::vector<int16_t> ref = WavSamples16(ReadFileBytes(path + ".ref.wav"));
    ASSERT_FALSE(ref.empty());
    AudioChannel ch = Audio_Open(path.c_str(), AUDIO_OPEN_DECODE);
    ASSERT_NE(0u, ch) << Audio_ErrorText(Audio_ErrorCode());
    std::vector<int16_t> pcm = DecodeAll(ch);
    ASSERT_EQ(ref.size(), pcm.size());
    // The same libraries built for this target's SSE code round a few
    // samples to the other side of Debian's 64-bit builds: never further.
    size_t off = 0;
    for (size_t i = 0; i < pcm.size(); ++i)
      if (std::abs(pcm[i] - ref[i]) > 1) ++off;
    EXPECT_EQ(0u, off);
  }
}

TEST_F(AudioDecode, PositionMovesTheDecodeToThatByte) {
  std::vector<int16_t> pcm;
  WriteFileBytes(temp_.File("tone.wav"), ToneWav(44100, 2, 16, 44100, &pcm));
  for (std::string path : {temp_.File("tone.wav"), EncodedFolder() + "tagged.mp3", EncodedFolder() + "stereo.ogg"}) {
    SCOPED_TRACE(path);
    AudioChannel ch = Audio_Open(path.c_str(), AUDIO_OPEN_DECODE);
    ASSERT_NE(0u, ch);
    std::vector<int16_t> whole = DecodeAll(ch);
    const uint64_t middle = 20000 * 4;  // frame 20,000 of a stereo file
    ASSERT_EQ(1, Audio_SetPosition(ch, middle));
    EXPECT_EQ(middle, Audio_GetPosition(ch));
    std::vector<int16_t> rest = DecodeAll(ch);
    EXPECT_TRUE(std::equal(rest.begin(), rest.end(), whole.begin() + middle / 2, whole.end()));
    EXPECT_EQ(whole.size() - middle / 2, rest.size());
    EXPECT_EQ(0, Audio_SetPosition(ch, Audio_GetLength(ch) + 4));
    EXPECT_EQ(AUDIO_ERROR_POSITION, Audio_ErrorCode());
  }
}

TEST_F(AudioDecode, HandlesAreNeverReusedAndTheLastStopFreesThem) {
  std::vector<int16_t> pcm;
  WriteFileBytes(temp_.File("a.wav"), ToneWav(8000, 1, 16, 100, &pcm));
  AudioChannel first = Audio_Open(temp_.File("a.wav").c_str(), AUDIO_OPEN_DECODE);
  ASSERT_NE(0u, first);
  ASSERT_EQ(1, Audio_Close(first));
  AudioChannel second = Audio_Open(temp_.File("a.wav").c_str(), AUDIO_OPEN_DECODE);
  EXPECT_NE(first, second);
  EXPECT_EQ(0, Audio_Close(first));
  EXPECT_EQ(AUDIO_ERROR_HANDLE, Audio_ErrorCode());
  // A decoding channel does not play.
  EXPECT_EQ(0, Audio_Play(second, 1));
  EXPECT_EQ(AUDIO_ERROR_DECODE_ONLY, Audio_ErrorCode());

  // Starts are counted: the channel lives until the last stop.
  ASSERT_EQ(1, Audio_Start());
  ASSERT_EQ(1, Audio_Stop());
  AudioInfo info{};
  EXPECT_EQ(1, Audio_GetInfo(second, &info));
  ASSERT_EQ(1, Audio_Stop());
  EXPECT_EQ(0, Audio_GetInfo(second, &info));
  EXPECT_EQ(AUDIO_ERROR_NOT_STARTED, Audio_ErrorCode());
  EXPECT_EQ(0, Audio_Stop());
  EXPECT_EQ(0u, Audio_Open(temp_.File("a.wav").c_str(), AUDIO_OPEN_DECODE));
  EXPECT_EQ(AUDIO_ERROR_NOT_STARTED, Audio_ErrorCode());
  ASSERT_EQ(1, Audio_Start());
  EXPECT_EQ(0, Audio_GetInfo(second, &info));
  EXPECT_EQ(AUDIO_ERROR_HANDLE, Audio_ErrorCode());
}

}  // namespace

// A file whose format changes on the way (MP3 files of two rates joined,
// chained Ogg links of two shapes) is refused with a decode error, at the
// open or when the change comes, never read in the first part's shape.
TEST_F(AudioDecode, AFormatThatChangesMidStreamIsADecodeError) {
  for (const char* name : {"joined.mp3", "chained.ogg"}) {
    SCOPED_TRACE(name);
    AudioChannel ch = Audio_Open((EncodedFolder() + name).c_str(), AUDIO_OPEN_DECODE);
    if (!ch) {
      EXPECT_EQ(AUDIO_ERROR_DECODE, Audio_ErrorCode()) << Audio_ErrorText(Audio_ErrorCode());
      continue;
    }
    char block[4096];
    int32_t got = 0;
    while ((got = Audio_Read(ch, block, sizeof block)) >= 0) {
    }
    EXPECT_EQ(AUDIO_ERROR_DECODE, Audio_ErrorCode()) << Audio_ErrorText(Audio_ErrorCode());
    Audio_Close(ch);
  }
}

TEST_F(AudioDecode, DamagedFilesDecodeWhatIsThereOrAreRefused) {
  std::vector<int16_t> pcm;
  std::string wav = ToneWav(8000, 1, 16, 800, &pcm);
  // A writer that stopped early: the data chunk claims more than is there.
  std::string cut = wav.substr(0, wav.size() - 100);
  std::string streamed = wav;
  streamed.replace(40, 4, "\xFF\xFF\xFF\xFF", 4);
  std::string mp3 = ReadFileBytes(EncodedFolder() + "tagged.mp3");
  WriteFileBytes(temp_.File("cut.wav"), cut);
  WriteFileBytes(temp_.File("streamed.wav"), streamed);
  WriteFileBytes(temp_.File("half.mp3"), mp3.substr(0, mp3.size() / 2));
  const struct {
    const char* file;
    uint64_t length;  // 0: whatever the decoder finds, as long as it delivers it
  } opened[] = {{"cut.wav", 800 * 2 - 100}, {"streamed.wav", 800 * 2}, {"half.mp3", 0}};
  for (const auto& c : opened) {
    SCOPED_TRACE(c.file);
    AudioChannel ch = Audio_Open(temp_.File(c.file).c_str(), AUDIO_OPEN_DECODE);
    ASSERT_NE(0u, ch) << Audio_ErrorText(Audio_ErrorCode());
    uint64_t length = Audio_GetLength(ch);
    if (c.length) EXPECT_EQ(c.length, length);
    EXPECT_EQ(length, DecodeAll(ch).size() * 2);
  }
  // Shapes the reader cannot take are refused, not divided by.
  const struct {
    const char* name;
    size_t at;
    std::string bytes;
  } refused[] = {
      {"no channels", 22, std::string("\0\0", 2)},
      {"12 bits", 34, std::string("\x0C\0", 2)},
      {"short format chunk", 16, std::string("\x08\0\0\0", 4)},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.name);
    WriteFileBytes(temp_.File("bad.wav"), std::string(wav).replace(c.at, c.bytes.size(), c.bytes));
    EXPECT_EQ(0u, Audio_Open(temp_.File("bad.wav").c_str(), AUDIO_OPEN_DECODE));
    EXPECT_EQ(AUDIO_ERROR_FORMAT, Audio_ErrorCode());
  }
}
