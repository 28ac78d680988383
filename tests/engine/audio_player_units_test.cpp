// The preview player inside the engine's process, beside other users of
// the audio layer.
#include <gtest/gtest.h>
#include "audio/audio_player.h"
#include "audio_fixtures.h"
#include "files.h"
#include <com/bstr.h>
#include <com/ptr.h>

TEST(AudioPlayerUnits, AnOpenFileOutlivesTheLastOtherUserOfTheAudioLayer)
{
    TempFolder temp;
    std::vector<int16_t> pcm;
    WriteFileBytes(temp.File("a.wav"), audio_fixtures::ToneWav(8000, 1, 16, 800, &pcm));
    com::ComPtr<ICoAudioPlayer> player;
    ASSERT_EQ(S_OK, com::CreateObject<CCoAudioPlayer>(IID_ICoAudioPlayer, reinterpret_cast<void**>(&player)));

    // Another user (a layout) starts and stops the layer around the Init:
    // the player's file stays open, as the player holds its own start.
    ASSERT_EQ(1, Audio_Start());
    ASSERT_EQ(S_OK, player->Init(com::Bstr(temp.File("a.wav"))));
    ASSERT_EQ(1, Audio_Stop());
    unsigned length = 0;
    EXPECT_EQ(S_OK, player->GetLength(&length));
    EXPECT_EQ(1600u, length);

    // A failed Init holds no start: the layer is down again afterwards.
    EXPECT_EQ(E_FAIL, player->Init(com::Bstr(temp.File("missing.wav"))));
    EXPECT_EQ(0, Audio_Stop());
    EXPECT_EQ(AUDIO_ERROR_NOT_STARTED, Audio_ErrorCode());

    // Null out pointers.
    EXPECT_EQ(E_POINTER, player->GetPos(nullptr));
    EXPECT_EQ(E_POINTER, player->GetLength(nullptr));
    EXPECT_EQ(E_POINTER, player->GetID(nullptr));
    EXPECT_EQ(E_POINTER, player->GetCurrentStatus(nullptr));
}
