// The audio CD layout's pieces inside the engine's process: the decode of
// one track to CD sound, its failures, and the audio layer's start-ups.
#include <gtest/gtest.h>
#include "audio/audio_cd_layout.h"
#include "audio/track_decoder.h"
#include "audio_fixtures.h"
#include "event_sink.h"
#include "files.h"
#include <com/bstr.h>
#include <com/ptr.h>
#include <cstring>

namespace {

using audio_fixtures::ToneWav;
using TrackPtr = com::ComPtr<com::ComObject<CCoAudioTrack>>;

class AudioLayoutUnits : public testing::Test {
protected:
    TrackPtr Track(const std::string& path)
    {
        TrackPtr track;
        EXPECT_EQ(S_OK, com::CreateObjectImpl<CCoAudioTrack>(&track));
        EXPECT_EQ(S_OK, track->Analyse(path));
        return track;
    }

    TempFolder temp, out;
    volatile LONG stop = 0;
    std::vector<unsigned> percents;
};

struct ResampleCase {
    uint32_t rate;
    uint16_t channels, bits;
    uint32_t frames, outFrames;
};

}  // namespace

TEST_F(AudioLayoutUnits, ResamplesEachShapeToCdSoundByTheNearestEarlierFrame)
{
    const ResampleCase cases[] = {
        {22050, 1, 8, 22050, 44100},   // each frame twice, to both sides
        {48000, 2, 24, 48000, 44100},  // every 48,000/44,100th frame
        {8000, 2, 16, 9000, 49613},    // 9000 x 44100 / 8000 = 49612.5, rounded up
        {44100, 1, 16, 5000, 5000},
    };
    for (const ResampleCase& c : cases) {
        SCOPED_TRACE(c.rate);
        std::vector<int16_t> pcm;
        WriteFileBytes(temp.File("src.wav"), ToneWav(c.rate, c.channels, c.bits, c.frames, &pcm));
        TrackPtr track = Track(temp.File("src.wav"));
        percents.clear();
        CTrackDecoder decoder(out.Path(), &stop, [&](unsigned p) { percents.push_back(p); });
        std::string path;
        ASSERT_EQ(DecodeResult::Done, decoder.Decode(*track.Get(), &path));
        const std::string wav = ReadFileBytes(path);
        ASSERT_EQ(44 + c.outFrames * 4u, wav.size());
        EXPECT_EQ(CdWavHeader(c.outFrames * 4), wav.substr(0, 44));
        const int16_t* got = reinterpret_cast<const int16_t*>(wav.data() + 44);
        size_t wrong = 0;
        for (uint64_t k = 0; k < c.outFrames; ++k) {
            const uint64_t src = k * c.rate / 44100;
            const int16_t left = pcm[src * c.channels], right = pcm[src * c.channels + c.channels - 1];
            if (got[2 * k] != left || got[2 * k + 1] != right) ++wrong;
        }
        EXPECT_EQ(0u, wrong);
        ASSERT_FALSE(percents.empty());
        EXPECT_EQ(100u, percents.back());
        DeleteFileA(path.c_str());
    }
}

TEST_F(AudioLayoutUnits, AStoppedOrFailedDecodeLeavesNoFile)
{
    std::vector<int16_t> pcm;
    WriteFileBytes(temp.File("src.wav"), ToneWav(22050, 1, 16, 22050, &pcm));
    TrackPtr track = Track(temp.File("src.wav"));
    std::string path = "untouched";

    // Stopped at the first progress: the half-written file goes.
    CTrackDecoder stopping(out.Path(), &stop, [&](unsigned) { stop = 1; });
    EXPECT_EQ(DecodeResult::Stopped, stopping.Decode(*track.Get(), &path));
    EXPECT_EQ("untouched", path);
    stop = 0;

    // A folder where no file can be made.
    CTrackDecoder nowhere(temp.File("missing\\"), &stop, [](unsigned) {});
    EXPECT_EQ(DecodeResult::Failed, nowhere.Decode(*track.Get(), &path));
    EXPECT_EQ("untouched", path);

    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(out.File("*").c_str(), &data);
    size_t files = 0;
    if (find != INVALID_HANDLE_VALUE) {
        do
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
        while (FindNextFileA(find, &data));
        FindClose(find);
    }
    EXPECT_EQ(0u, files);
}

TEST_F(AudioLayoutUnits, LayoutsAndTracksStopOnlyTheStartsTheyMade)
{
    std::vector<int16_t> pcm;
    WriteFileBytes(temp.File("a.wav"), ToneWav(8000, 1, 16, 800, &pcm));
    com::ComPtr<IAudioCDLayout> layout;
    ASSERT_EQ(S_OK, com::CreateObject<CCoAudioCDLayout>(IID_IAudioCDLayout, reinterpret_cast<void**>(&layout)));
    ASSERT_EQ(S_OK, layout->AddTrack(com::Bstr(temp.File("a.wav"))));
    EXPECT_EQ(E_FAIL, layout->AddTrack(com::Bstr(temp.File("missing.wav"))));
    // A client keeps a track past its layout: it still answers.
    com::ComPtr<IAudioTrack> track;
    ASSERT_EQ(S_OK, layout->GetTrack(0, &track));
    layout.Reset();
    unsigned rate = 0;
    EXPECT_EQ(S_OK, track->GetSampleRate(&rate));
    EXPECT_EQ(8000u, rate);
    track.Reset();
    // Every start was matched by one stop: the layer is down.
    EXPECT_EQ(0, Audio_Stop());
    EXPECT_EQ(AUDIO_ERROR_NOT_STARTED, Audio_ErrorCode());
}

// A decode's end reaches the sinks before the next decode's begin, even
// when another thread starts that decode the moment the first one ends.
namespace {

// A layout that, at the end of its first decode, starts the next one from
// the decode thread and gives it time to begin before the end is fired: the
// widest a client polling Decode can make the gap between the two.
class CRestartingLayout : public CCoAudioCDLayout {
public:
    CTestEventSink* sink = nullptr;
    HRESULT restarted = E_PENDING;

protected:
    void BeforeDecodeEnd() override
    {
        if (restarted != E_PENDING) return;
        restarted = Decode();
        for (DWORD begin = GetTickCount(); GetTickCount() - begin < 500 && Begins() < 2;) Sleep(5);
    }

private:
    size_t Begins()
    {
        size_t begins = 0;
        for (const EngineEvent& e : sink->Events()) begins += e.message == LM_DECODEBEGIN ? 1 : 0;
        return begins;
    }
};

}  // namespace

TEST_F(AudioLayoutUnits, EachDecodeEndsBeforeTheNextBegins)
{
    std::vector<int16_t> pcm;
    WriteFileBytes(temp.File("cd.wav"), ToneWav(44100, 2, 16, 441, &pcm));
    com::ComPtr<com::ComObject<CTestEventSink>> sink;
    ASSERT_EQ(S_OK, com::CreateObjectImpl<CTestEventSink>(&sink));
    com::ComPtr<com::ComObject<CRestartingLayout>> layout;
    ASSERT_EQ(S_OK, com::CreateObjectImpl<CRestartingLayout>(&layout));
    layout->sink = sink.Get();
    ASSERT_EQ(S_OK, layout->AddTrack(com::Bstr(temp.File("cd.wav"))));
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, AdviseSink(static_cast<IAudioCDLayout*>(layout.Get()), static_cast<_IMessageCallback*>(sink.Get()),
                               &cookie));
    ASSERT_EQ(S_OK, layout->Decode());
    for (DWORD begin = GetTickCount(); GetTickCount() - begin < 10000;) {
        size_t ends = 0;
        for (const EngineEvent& e : sink->Events()) ends += e.message == LM_DECODEEND ? 1 : 0;
        if (ends == 2) break;
        Sleep(10);
    }
    UnadviseSink(static_cast<IAudioCDLayout*>(layout.Get()), cookie);
    EXPECT_EQ(S_OK, layout->restarted);  // the busy flag was down before the end
    std::vector<unsigned> order;
    for (const EngineEvent& e : sink->Events())
        if (e.message != LM_DECODEPROGRESS) order.push_back(e.message);
    const std::vector<unsigned> expected = {LM_DECODEBEGIN, LM_DECODEEND, LM_DECODEBEGIN, LM_DECODEEND};
    EXPECT_EQ(expected, order);
}

TEST_F(AudioLayoutUnits, ADecodeWithNowhereToWriteStillEndsAndOutlivesItsLayout)
{
    WriteFileBytes(temp.File("tiny.mod"), audio_fixtures::ModBytes());
    com::ComPtr<IAudioCDLayout> layout;
    ASSERT_EQ(S_OK, com::CreateObject<CCoAudioCDLayout>(IID_IAudioCDLayout, reinterpret_cast<void**>(&layout)));
    ASSERT_EQ(S_OK, layout->AddTrack(com::Bstr(temp.File("tiny.mod"))));
    com::ComPtr<IAudioTrack> track;
    ASSERT_EQ(S_OK, layout->GetTrack(0, &track));
    com::ComPtr<com::ComObject<CTestEventSink>> sink;
    ASSERT_EQ(S_OK, com::CreateObjectImpl<CTestEventSink>(&sink));
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, AdviseSink(layout, static_cast<_IMessageCallback*>(sink.Get()), &cookie));

    // The temporary folder names a folder that is not there.
    char saved[MAX_PATH] = "";
    const DWORD had = GetEnvironmentVariableA("TMP", saved, sizeof saved);
    SetEnvironmentVariableA("TMP", temp.File("missing").c_str());
    const HRESULT started = layout->Decode();
    // The client lets go at once: the decode holds its own reference.
    layout.Reset();
    const bool ended = sink->WaitFor(LM_DECODEEND, 10000);
    SetEnvironmentVariableA("TMP", had ? saved : nullptr);
    ASSERT_EQ(S_OK, started);
    ASSERT_TRUE(ended);
    const std::vector<EngineEvent> events = sink->Events();
    EXPECT_EQ(LM_DECODEBEGIN, events.front().message);
    EXPECT_EQ(LM_DECODEEND, events.back().message);
    EXPECT_EQ(1u, events.back().wParam);  // failed
    BSTR path = nullptr;
    ASSERT_EQ(S_OK, track->GetTempFilePath(&path));
    EXPECT_EQ(0u, SysStringLen(path));
    SysFreeString(path);
}
