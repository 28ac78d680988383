// The engine's preview player seen from a client process: one player for
// every client, its file, play, pause, stop, position and length.
#include <gtest/gtest.h>
#include "audio_fixtures.h"
#include "engine.h"
#include "files.h"
#include "vokmar_process.h"
#include <audio/audio_layer.h>
#include <com/bstr.h>
#include <com/ptr.h>
#include <algorithm>

namespace {

const unsigned STOPPED = 0, PLAYING = 1, PAUSED = 3;

class EngineAudioPlayer : public testing::Test {
protected:
    void SetUp() override
    {
        // Wine's ALSA driver, which the tests point at a file device.
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Wine\\Drivers", &key));
        RegSetValueExA(key, "Audio", 0, REG_SZ, reinterpret_cast<const BYTE*>("alsa"), 5);
        RegCloseKey(key);
        ASSERT_EQ(S_OK, player.CoCreate(CLSID_CoAudioPlayer, IID_ICoAudioPlayer, CLSCTX_LOCAL_SERVER));
    }

    unsigned Status()
    {
        unsigned status = 99;
        EXPECT_EQ(S_OK, player->GetCurrentStatus(&status));
        return status;
    }
    unsigned Id()
    {
        unsigned id = 99;
        EXPECT_EQ(S_OK, player->GetID(&id));
        return id;
    }
    unsigned Pos()
    {
        unsigned pos = 0xFFFFFFFF;
        EXPECT_EQ(S_OK, player->GetPos(&pos));
        return pos;
    }
    bool WaitForStatus(unsigned status)
    {
        for (int i = 0; i < 500 && Status() != status; ++i) Sleep(10);
        return Status() == status;
    }

    com::ComPtr<ICoAudioPlayer> player;
    TempFolder temp;
};

}  // namespace

TEST_F(EngineAudioPlayer, WithoutAFileEveryCallFailsAndSetsItsOutValues)
{
    com::ComPtr<ICoAudioPlayer> second;
    ASSERT_EQ(S_OK, second.CoCreate(CLSID_CoAudioPlayer, IID_ICoAudioPlayer, CLSCTX_LOCAL_SERVER));
    EXPECT_TRUE(com::SameObject(player, second));

    WriteFileBytes(temp.File("notes.mp3"), "These are notes, not sound.\n");
    EXPECT_EQ(E_FAIL, player->Init(com::Bstr(temp.File("notes.mp3"))));
    EXPECT_EQ(0u, Id());
    EXPECT_EQ(STOPPED, Status());
    EXPECT_EQ(E_FAIL, player->Play());
    EXPECT_EQ(E_FAIL, player->Stop());
    EXPECT_EQ(E_FAIL, player->Pause());
    EXPECT_EQ(E_FAIL, player->SetPos(0));
    // No value of the caller's is taken for the player's answer.
    unsigned pos = 0xFFFFFFFF, length = 0xFFFFFFFF;
    EXPECT_EQ(E_FAIL, player->GetPos(&pos));
    EXPECT_EQ(E_FAIL, player->GetLength(&length));
    EXPECT_EQ(0u, pos);
    EXPECT_EQ(0u, length);
    EXPECT_EQ(S_OK, player->Reset());
}

TEST_F(EngineAudioPlayer, PlaysPausesStopsAndStartsAgainFromTheBeginning)
{
    std::vector<int16_t> pcm;
    // Long enough that ALSA's null device, which takes samples faster than
    // they play, does not reach the end while the test pauses and stops.
    WriteFileBytes(temp.File("voice.wav"), audio_fixtures::ToneWav(22050, 1, 16, 22050 * 30, &pcm));
    ASSERT_EQ(S_OK, player->Init(com::Bstr(temp.File("voice.wav"))));
    unsigned first = Id(), length = 0;
    EXPECT_NE(0u, first);
    ASSERT_EQ(S_OK, player->GetLength(&length));
    EXPECT_EQ(22050u * 30 * 2, length);
    EXPECT_EQ(STOPPED, Status());

    ASSERT_EQ(S_OK, player->Play());
    EXPECT_EQ(PLAYING, Status());
    Sleep(300);
    // Pause toggles; Play on a paused file resumes it.
    ASSERT_EQ(S_OK, player->Pause());
    EXPECT_EQ(PAUSED, Status());
    unsigned paused = Pos();
    EXPECT_GT(paused, 0u);
    ASSERT_EQ(S_OK, player->Pause());
    EXPECT_EQ(PLAYING, Status());
    ASSERT_EQ(S_OK, player->Pause());
    ASSERT_EQ(S_OK, player->Play());
    EXPECT_EQ(PLAYING, Status());
    EXPECT_GE(Pos(), paused);
    ASSERT_EQ(S_OK, player->Stop());
    EXPECT_EQ(STOPPED, Status());
    unsigned stopped = Pos();
    EXPECT_LT(stopped, length);
    ASSERT_EQ(S_OK, player->Play());
    EXPECT_LT(Pos(), stopped);
    // A position moves the playing file there.
    ASSERT_EQ(S_OK, player->SetPos(length - 2205 * 2));
    EXPECT_GE(Pos(), length - 2205 * 2);
    ASSERT_TRUE(WaitForStatus(STOPPED));
    EXPECT_EQ(length, Pos());
    EXPECT_EQ(E_FAIL, player->SetPos(length + 2));

    // Another file: a new identifier, never one given before.
    std::string mp3 = audio_fixtures::EncodedFolder() + "tagged.mp3";
    ASSERT_EQ(S_OK, player->Init(com::Bstr(mp3)));
    unsigned second = Id();
    EXPECT_NE(0u, second);
    EXPECT_NE(first, second);
    ASSERT_EQ(S_OK, player->GetLength(&length));
    EXPECT_EQ(44100u * 4, length);
    ASSERT_EQ(S_OK, player->Play());
    ASSERT_TRUE(WaitForStatus(STOPPED));
    EXPECT_EQ(length, Pos());
    ASSERT_EQ(S_OK, player->Init(com::Bstr(temp.File("voice.wav"))));
    EXPECT_NE(first, Id());
    EXPECT_NE(second, Id());
    // A failed Init leaves no file behind.
    EXPECT_EQ(E_FAIL, player->Init(com::Bstr(temp.File("missing.wav"))));
    EXPECT_EQ(0u, Id());
    EXPECT_EQ(E_FAIL, player->Play());
}

// The engine plays through the system's wave output: run with an ALSA
// device that writes to a file (ALSA_CONFIG_PATH, given by the test run and
// inherited by the engine this process starts), it plays the samples the
// file decodes to.
TEST_F(EngineAudioPlayer, PlaysTheSamplesOfAWavAndAnMp3)
{
    const std::string capture = ENGINE_AUDIO_CAPTURE;
    // An engine of this process's own, not one another program started.
    player.Reset();
    StopEngine();
    ASSERT_EQ(S_OK, player.CoCreate(CLSID_CoAudioPlayer, IID_ICoAudioPlayer, CLSCTX_LOCAL_SERVER));

    std::vector<int16_t> pcm;
    WriteFileBytes(temp.File("tone.wav"), audio_fixtures::ToneWav(44100, 2, 16, 13230, &pcm));
    for (const std::string& path : {temp.File("tone.wav"), audio_fixtures::EncodedFolder() + "tagged.mp3"}) {
        SCOPED_TRACE(path);
        DeleteFileA(capture.c_str());
        ASSERT_TRUE(Audio_Start());
        std::vector<int16_t> expected;
        AudioChannel decode = Audio_Open(path.c_str(), AUDIO_OPEN_DECODE);
        int16_t block[2048];
        for (int32_t got; decode && (got = Audio_Read(decode, block, sizeof block)) > 0;)
            expected.insert(expected.end(), block, block + got / 2);
        Audio_Close(decode);
        Audio_Stop();
        ASSERT_FALSE(expected.empty());

        ASSERT_EQ(S_OK, player->Init(com::Bstr(path)));
        ASSERT_EQ(S_OK, player->Play());
        ASSERT_TRUE(WaitForStatus(STOPPED));
        // The next Init closes the device: the capture is whole.
        EXPECT_EQ(E_FAIL, player->Init(com::Bstr(temp.File("missing.wav"))));
        const std::string raw = ReadFileBytes(capture);
        std::vector<int16_t> played(raw.size() / 2);
        std::copy(raw.data(), raw.data() + played.size() * 2, reinterpret_cast<char*>(played.data()));
        // The samples as one run, perhaps after silence.
        const auto at = std::search(played.begin(), played.end(), expected.begin(), expected.end());
        ASSERT_TRUE(at != played.end()) << "played " << played.size() << " samples, not the " << expected.size()
                                        << " of the file";
        EXPECT_TRUE(std::all_of(played.begin(), at, [](int16_t s) { return s == 0; }));
    }
}
