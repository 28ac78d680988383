// The audio burn job on the engine's CD writer, seen from a client process:
// a layout of WAV, MP3 and Ogg tracks decoded and burned, its events, the
// finalized disc split back into tracks with bchunk and compared sample for
// sample, the gaps of both write modes, and the layouts and discs refused
// before the first byte.
#include <gtest/gtest.h>
#include "audio_fixtures.h"
#include "job_client.h"
#include <audio/audio_layer.h>
#include <com/text.h>
#include <cstring>
#include <functional>

namespace {

using audio_fixtures::EncodedFolder;
using audio_fixtures::ToneWav;

const unsigned CD_SECTOR = 2352;

class EngineAudioBurn : public EngineJob {
protected:
    com::ComPtr<IAudioCDLayout> NewLayout()
    {
        com::ComPtr<IObjectCreator> creator;
        com::ComPtr<IUnknown> made;
        com::ComPtr<IAudioCDLayout> layout;
        EXPECT_EQ(S_OK, devices->QueryInterface(IID_IObjectCreator, reinterpret_cast<void**>(&creator)));
        if (!creator) return layout;
        EXPECT_EQ(S_OK, creator->CreateObject(CLSID_CoAudioCDLayout, &made));
        if (made) EXPECT_EQ(S_OK, layout.QueryFrom(made, IID_IAudioCDLayout));
        return layout;
    }
    // A layout of a CD WAV, a mono 22 kHz WAV, an MP3 and an Ogg.
    com::ComPtr<IAudioCDLayout> FourTrackLayout()
    {
        std::vector<int16_t> pcm;
        WriteFileBytes(files.File("cd.wav"), ToneWav(44100, 2, 16, 44100 + 123, &pcm));
        WriteFileBytes(files.File("mono22k.wav"), ToneWav(22050, 1, 16, 22050 / 2 + 7, &pcm));
        com::ComPtr<IAudioCDLayout> layout = NewLayout();
        for (const std::string& path : {files.File("cd.wav"), files.File("mono22k.wav"),
                                        EncodedFolder() + "tagged.mp3", EncodedFolder() + "stereo.ogg"})
            EXPECT_EQ(S_OK, layout->AddTrack(com::Bstr(path))) << path;
        return layout;
    }
    // Runs the layout's decode to its end; the end's result.
    static unsigned Decode(IAudioCDLayout* layout)
    {
        com::ComPtr<com::ComObject<CTestEventSink>> events;
        EXPECT_EQ(S_OK, com::CreateObjectImpl<CTestEventSink>(&events));
        DWORD cookie = 0;
        EXPECT_EQ(S_OK, AdviseSink(layout, static_cast<_IMessageCallback*>(events.Get()), &cookie));
        EXPECT_EQ(S_OK, layout->Decode());
        EXPECT_TRUE(events->WaitFor(LM_DECODEEND, 20000));
        UnadviseSink(layout, cookie);
        for (const EngineEvent& e : events->Events())
            if (e.message == LM_DECODEEND) return e.wParam;
        return 99;
    }
    unsigned BurnAudio(IAudioCDLayout* layout, unsigned lastArgument = 2)
    {
        const size_t before = sink->Events().size();
        EXPECT_EQ(S_OK, writer->BurnAudio(COOKIE, 0xFFFF, layout, lastArgument));
        return WaitEnd(DM_BURNEND, before);
    }
    // The samples the disc takes for a track: its decoded WAV's, or its own
    // file's when it was not decoded.
    static std::string BurnedSamples(IAudioCDLayout* layout, unsigned index)
    {
        com::ComPtr<IAudioTrack> track;
        EXPECT_EQ(S_OK, layout->GetTrack(index, &track));
        BSTR path = nullptr;
        EXPECT_EQ(S_OK, track->GetTempFilePath(&path));
        std::string file = com::AnsiFromBstr(path);
        SysFreeString(path);
        if (file.empty()) {
            EXPECT_EQ(S_OK, track->GetPath(&path));
            file = com::AnsiFromBstr(path);
            SysFreeString(path);
        }
        const std::vector<int16_t> samples = audio_fixtures::WavSamples16(ReadFileBytes(file));
        return std::string(reinterpret_cast<const char*>(samples.data()), samples.size() * 2);
    }
    std::vector<unsigned> TrackStarts()
    {
        std::vector<unsigned> starts;
        for (unsigned i = 1; i <= TrackCount(); ++i) {
            com::ComPtr<ITrack> track;
            unsigned start = 0;
            EXPECT_EQ(S_OK, medium->GetTrack(&track, i));
            if (track) EXPECT_EQ(S_OK, track->GetStartAdress(&start));
            starts.push_back(start);
        }
        return starts;
    }
};

TEST_F(EngineAudioBurn, FourDecodedTracksMakeAFinalizedCdThatReadsBackSampleForSample)
{
    struct Mode {
        const char* name;
        const char* writeModes;  // the drive's: raw disc-at-once or not
        unsigned gap;
    };
    const Mode modes[] = {{"track-at-once", "0x7", 150}, {"disc-at-once", "0x1F", 0}};
    for (const Mode& mode : modes) {
        SCOPED_TRACE(mode.name);
        DriveValue writeModes("write_modes", mode.writeModes, "0x1F");
        ASSERT_TRUE(writeModes.Set());
        Insert(2);
        com::ComPtr<IAudioCDLayout> layout = FourTrackLayout();
        ASSERT_EQ(0u, Decode(layout));
        sink->Clear();
        ASSERT_EQ(0u, BurnAudio(layout));

        // Nothing to analyse: the write starts with its size; buffer protection
        // comes before the calibration.
        const std::vector<unsigned> expected = {
            DM_BURNPREPARE, S_IMAGE_BEGIN, S_IMAGE_END, S_BUP, S_OPC, DM_BURNSTART, DM_TARGETSIZE,
            DM_FILLBUFFERBEGIN, DM_WRITEPROGRESS, DM_FILLBUFFEREND, DM_WRITEPROGRESS, DM_FLUSHBUFFERBEGIN,
            DM_FLUSHBUFFEREND, DM_BURNEND};
        EXPECT_TRUE(SameEvents(expected, JobMessages()));
        for (const EngineEvent& e : JobEvents())
            if (e.message == DM_STATUS && (e.lParam & 0xFFFF) != ST_DATA_IMAGE_BEGIN) {
                EXPECT_EQ(1u, e.lParam >> 16) << "status " << (e.lParam & 0xFFFF);
            }
        std::vector<unsigned> progress = All(DM_WRITEPROGRESS);
        ASSERT_FALSE(progress.empty());
        EXPECT_EQ(100u << 16, progress.back());

        // Four tracks on a finalized disc, each after the last one's
        // sectors and, track-at-once, two seconds of silence.
        hyper total = 0, used = 0, free = 0;
        ASSERT_EQ(S_OK, medium->GetSpaces(&total, &used, &free));
        EXPECT_EQ(-1, total) << "a complete disc";
        std::vector<std::string> samples;
        for (unsigned i = 0; i < 4; ++i) samples.push_back(BurnedSamples(layout, i));
        std::vector<unsigned> starts;
        unsigned lba = 0;
        for (const std::string& s : samples) {
            starts.push_back(lba);
            lba += static_cast<unsigned>((s.size() + CD_SECTOR - 1) / CD_SECTOR) + mode.gap;
        }
        EXPECT_EQ(starts, TrackStarts());

        // bchunk splits the raw image into the tracks as they were decoded,
        // each padded with silence to whole sectors.
        const std::string base = exported.File("audio");
        ASSERT_EQ(0u, RunDiscTool("export-raw F \"" + base + "\""));
        const std::string cue = ReadFileBytes(base + ".cue");
        EXPECT_EQ(mode.gap != 0, cue.find("INDEX 00") != std::string::npos) << cue;
        RunUnix("cd \"$(dirname '" + UnixPath(base) + "')\" && bchunk audio.bin audio.cue part");
        for (unsigned i = 0; i < 4; ++i) {
            SCOPED_TRACE(i);
            char name[16];
            snprintf(name, sizeof name, "part%02u.cdr", i + 1);
            const std::string track = ReadFileBytes(exported.File(name));
            std::string padded = samples[i];
            padded.resize((padded.size() + CD_SECTOR - 1) / CD_SECTOR * CD_SECTOR, '\0');
            ASSERT_EQ(padded.size(), track.size());
            EXPECT_TRUE(padded == track);
            DeleteFileA(exported.File(name).c_str());
        }
        // The mono track is its source at CD rate: each sample twice, on both sides.
        const std::string& mono = samples[1];
        const int16_t* out = reinterpret_cast<const int16_t*>(mono.data());
        std::vector<int16_t> source;
        ToneWav(22050, 1, 16, 22050 / 2 + 7, &source);
        ASSERT_EQ(source.size() * 8, mono.size());
        EXPECT_EQ(source[100], out[400]);
        EXPECT_EQ(source[100], out[403]);
    }
}

TEST_F(EngineAudioBurn, ALayoutThatCannotBeWrittenEndsTheJobBeforeTheDrive)
{
    std::vector<int16_t> pcm;
    WriteFileBytes(files.File("short.wav"), ToneWav(44100, 2, 16, 2000, &pcm));
    struct Case {
        const char* name;
        std::function<com::ComPtr<IAudioCDLayout>()> make;
    };
    const Case cases[] = {
        {"no tracks", [&] { return NewLayout(); }},
        {"100 tracks",
         [&] {
             com::ComPtr<IAudioCDLayout> layout = NewLayout();
             for (int i = 0; i < 100; ++i) EXPECT_EQ(S_OK, layout->AddTrack(com::Bstr(files.File("short.wav"))));
             return layout;
         }},
        {"an Ogg never decoded",
         [&] {
             com::ComPtr<IAudioCDLayout> layout = NewLayout();
             EXPECT_EQ(S_OK, layout->AddTrack(com::Bstr(files.File("short.wav"))));
             EXPECT_EQ(S_OK, layout->AddTrack(com::Bstr(EncodedFolder() + "stereo.ogg")));
             return layout;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Insert(2);
        const std::string before = MediumBytes(CD_DRIVE);
        com::ComPtr<IAudioCDLayout> layout = c.make();
        sink->Clear();
        EXPECT_EQ(unsigned(E_FAIL), BurnAudio(layout));
        EXPECT_TRUE(SameEvents({DM_BURNPREPARE, DM_BURNEND}, JobMessages()));
        EXPECT_EQ(before, MediumBytes(CD_DRIVE));
    }
    // A source that is no layout starts no job.
    sink->Clear();
    EXPECT_EQ(E_INVALIDARG, writer->BurnAudio(COOKIE, 0xFFFF, nullptr, 2));
    EXPECT_EQ(E_INVALIDARG, writer->BurnAudio(COOKIE, 0xFFFF, device, 2));
    PumpFor(300);
    EXPECT_TRUE(JobEvents().empty());
}

// 4 s of CD sound in four tracks: 300 sectors, and 450 more of gaps
// track-at-once. A disc of 600 free blocks takes them only disc-at-once.
TEST_F(EngineAudioBurn, TheGapsCountAgainstTheFreeSpaceBeforeTheFirstByte)
{
    std::vector<int16_t> pcm;
    WriteFileBytes(files.File("second.wav"), ToneWav(44100, 2, 16, 44100, &pcm));
    com::ComPtr<IAudioCDLayout> layout = NewLayout();
    for (int i = 0; i < 4; ++i) ASSERT_EQ(S_OK, layout->AddTrack(com::Bstr(files.File("second.wav"))));
    hyper size = 0;
    ASSERT_EQ(S_OK, layout->GetImageSize(&size));
    ASSERT_EQ(300 * CD_SECTOR, size);
    {
        DriveValue trackAtOnce("write_modes", "0x7", "0x1F");
        ASSERT_TRUE(trackAtOnce.Set());
        Insert(2, 600);
        const std::string before = MediumBytes(CD_DRIVE);
        sink->Clear();
        sink->SetAnswer(0);
        EXPECT_EQ(CANCELLED, BurnAudio(layout));
        sink->SetAnswer(1);
        EXPECT_EQ(std::vector<unsigned>{ASK_NOT_ENOUGH_SPACE}, All(DM_QUESTION));
        EXPECT_EQ(before, MediumBytes(CD_DRIVE));
    }
    Insert(2, 600);
    sink->Clear();
    EXPECT_EQ(0u, BurnAudio(layout));
    EXPECT_TRUE(All(DM_QUESTION).empty());
    EXPECT_EQ(4u, TrackCount());
}

}  // namespace

TEST_F(EngineAudioBurn, ATestWriteLeavesTheDiscAsItWas)
{
    std::vector<int16_t> pcm;
    WriteFileBytes(files.File("second.wav"), ToneWav(44100, 2, 16, 44100, &pcm));
    com::ComPtr<IAudioCDLayout> layout = NewLayout();
    ASSERT_EQ(S_OK, layout->AddTrack(com::Bstr(files.File("second.wav"))));
    Insert(2);
    const std::string before = MediumBytes(CD_DRIVE);
    EXPECT_EQ(0u, BurnAudio(layout, 0xFFFFFFFF));
    EXPECT_EQ(before, MediumBytes(CD_DRIVE));
}

// Audio CDs are finalized: the next audio burn on a CD-RW asks to erase it
// and, told yes, erases and writes in the same job.
TEST_F(EngineAudioBurn, AFinalizedCdRwIsErasedAndWrittenInTheSameJob)
{
    std::vector<int16_t> pcm;
    WriteFileBytes(files.File("second.wav"), ToneWav(44100, 2, 16, 44100, &pcm));
    com::ComPtr<IAudioCDLayout> layout = NewLayout();
    ASSERT_EQ(S_OK, layout->AddTrack(com::Bstr(files.File("second.wav"))));
    Insert(3);
    ASSERT_EQ(0u, BurnAudio(layout));
    ASSERT_EQ(S_OK, layout->AddTrack(com::Bstr(files.File("second.wav"))));
    sink->Clear();
    EXPECT_EQ(0u, BurnAudio(layout));
    EXPECT_EQ(std::vector<unsigned>{ASK_ERASE_FINALIZED}, All(DM_QUESTION));
    EXPECT_EQ(2u, TrackCount());
    hyper total = 0, used = 0, free = 0;
    ASSERT_EQ(S_OK, medium->GetSpaces(&total, &used, &free));
    EXPECT_EQ(-1, total) << "a complete disc";
}

// A WAV file counts as CD sound only when the disc takes it as it is: one
// that has CD sound's shape but headers or samples the disc refuses is not
// burned as it is (the job names it undecoded) and is decoded; the disc
// then holds its samples.
TEST_F(EngineAudioBurn, AWavTheDiscRefusesAsItIsIsDecodedAndBurned)
{
    std::vector<int16_t> pcm;
    for (const audio_fixtures::NamedWav& wav : audio_fixtures::OddCdWavs(44100 / 4, &pcm)) {
        SCOPED_TRACE(wav.name);
        const std::string path = files.File("odd.wav");
        WriteFileBytes(path, wav.bytes);
        com::ComPtr<IAudioCDLayout> layout = NewLayout();
        ASSERT_EQ(S_OK, layout->AddTrack(com::Bstr(path)));
        Insert(2);
        const std::string before = MediumBytes(CD_DRIVE);
        EXPECT_EQ(unsigned(E_FAIL), BurnAudio(layout)) << "not decoded yet";
        EXPECT_TRUE(before == MediumBytes(CD_DRIVE));

        ASSERT_EQ(0u, Decode(layout));
        EXPECT_EQ(0u, BurnAudio(layout));
        const std::string base = exported.File("odd");
        ASSERT_EQ(0u, RunDiscTool("export-raw F \"" + base + "\""));
        std::string expected(reinterpret_cast<const char*>(pcm.data()), pcm.size() * 2);
        expected.resize((expected.size() + CD_SECTOR - 1) / CD_SECTOR * CD_SECTOR, '\0');
        EXPECT_TRUE(expected == ReadFileBytes(base + ".bin"));
    }
}
