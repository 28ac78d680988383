// Playback through the wave output, heard by an ALSA device that writes the
// samples to a file (see asoundrc.in): what is played is what was decoded.
#include "audio_fixtures.h"
#include "files.h"

#include <audio/audio_layer.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

using namespace audio_fixtures;

namespace {

class AudioPlayback : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Wine's ALSA driver, not the sound server's.
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Wine\\Drivers", &key));
    RegSetValueExA(key, "Audio", 0, REG_SZ, reinterpret_cast<const BYTE*>("alsa"), 5);
    RegCloseKey(key);
  }
  void SetUp() override {
    ASSERT_EQ(1, Audio_Start());
    DeleteFileA(AUDIO_CAPTURE);
  }
  void TearDown() override { Audio_Stop(); }

  static bool WaitForStatus(AudioChannel ch, int status) {
    for (int i = 0; i < 500; ++i) {
      if (Audio_Status(ch) == status) return true;
      Sleep(10);
    }
    return false;
  }
  static std::vector<int16_t> Decoded(const std::string& path) {
    AudioChannel ch = Audio_Open(path.c_str(), AUDIO_OPEN_DECODE);
    std::vector<int16_t> out;
    char block[4096];
    for (int32_t got; (got = Audio_Read(ch, block, sizeof block)) > 0;)
      out.insert(out.end(), reinterpret_cast<int16_t*>(block), reinterpret_cast<int16_t*>(block + got));
    Audio_Close(ch);
    return out;
  }
  // The played samples hold the expected ones as one run (the device may
  // add silence before and after).
  static void ExpectPlayed(const std::vector<int16_t>& expected) {
    std::string raw = ReadFileBytes(AUDIO_CAPTURE);
    std::vector<int16_t> played(raw.size() / 2);
    std::copy(raw.data(), raw.data() + played.size() * 2, reinterpret_cast<char*>(played.data()));
    ASSERT_GE(played.size(), expected.size());
    auto at = std::search(played.begin(), played.end(), expected.begin(), expected.end());
    ASSERT_TRUE(at != played.end()) << "played " << played.size() << " samples, not the " << expected.size()
                                    << " of the file";
    EXPECT_TRUE(std::all_of(played.begin(), at, [](int16_t s) { return s == 0; }));
  }

  TempFolder temp_;
};

TEST_F(AudioPlayback, PlaysTheSamplesOfAWavAndAnMp3) {
  std::vector<int16_t> pcm;
  WriteFileBytes(temp_.File("tone.wav"), ToneWav(44100, 2, 16, 13230, &pcm));
  for (std::string path : {temp_.File("tone.wav"), EncodedFolder() + "tagged.mp3"}) {
    SCOPED_TRACE(path);
    DeleteFileA(AUDIO_CAPTURE);
    std::vector<int16_t> expected = Decoded(path);
    AudioChannel ch = Audio_Open(path.c_str(), 0);
    ASSERT_NE(0u, ch);
    ASSERT_EQ(1, Audio_Play(ch, 1)) << Audio_ErrorText(Audio_ErrorCode());
    EXPECT_EQ(AUDIO_PLAYING, Audio_Status(ch));
    ASSERT_TRUE(WaitForStatus(ch, AUDIO_STOPPED));
    EXPECT_EQ(Audio_GetLength(ch), Audio_GetPosition(ch));
    ASSERT_EQ(1, Audio_Close(ch));  // the device is closed: the file is whole
    ExpectPlayed(expected);
  }
}

TEST_F(AudioPlayback, PausesResumesStopsAndRestarts) {
  std::vector<int16_t> pcm;
  // Long enough that ALSA's null device, which takes samples faster than
  // they play, does not reach the end while the test pauses and stops.
  WriteFileBytes(temp_.File("long.wav"), ToneWav(22050, 1, 16, 22050 * 30, &pcm));
  AudioChannel ch = Audio_Open(temp_.File("long.wav").c_str(), 0);
  ASSERT_NE(0u, ch);
  EXPECT_EQ(22050u * 30 * 2, Audio_GetLength(ch));
  EXPECT_EQ(0, Audio_Pause(ch));  // nothing plays yet
  ASSERT_EQ(1, Audio_Play(ch, 1));
  Sleep(300);
  ASSERT_EQ(1, Audio_Pause(ch));
  EXPECT_EQ(AUDIO_PAUSED, Audio_Status(ch));
  uint64_t paused_at = Audio_GetPosition(ch);
  EXPECT_GT(paused_at, 0u);
  EXPECT_LT(paused_at, Audio_GetLength(ch) / 2);
  Sleep(200);
  EXPECT_EQ(paused_at, Audio_GetPosition(ch));
  // Play on a paused channel resumes where it paused.
  ASSERT_EQ(1, Audio_Play(ch, 0));
  EXPECT_EQ(AUDIO_PLAYING, Audio_Status(ch));
  Sleep(200);
  ASSERT_EQ(1, Audio_Pause(ch));
  ASSERT_EQ(1, Audio_Resume(ch));
  EXPECT_GT(Audio_GetPosition(ch), paused_at);
  ASSERT_EQ(1, Audio_StopChannel(ch));
  EXPECT_EQ(AUDIO_STOPPED, Audio_Status(ch));
  uint64_t stopped_at = Audio_GetPosition(ch);
  EXPECT_GT(stopped_at, paused_at);
  EXPECT_LT(stopped_at, Audio_GetLength(ch));
  // A restart begins at the start again.
  ASSERT_EQ(1, Audio_Play(ch, 1));
  EXPECT_LT(Audio_GetPosition(ch), stopped_at);
  ASSERT_EQ(1, Audio_StopChannel(ch));
  ASSERT_EQ(1, Audio_Close(ch));
}

}  // namespace
