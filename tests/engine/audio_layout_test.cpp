// The engine's audio CD layout seen from a client process: the analysis
// of each file, the starts, moves and image size, and the decode to CD
// sound with its events.
#include <gtest/gtest.h>
#include "audio_fixtures.h"
#include "engine.h"
#include "event_sink.h"
#include "files.h"
#include "vokmar_process.h"
#include <audio/audio_layer.h>
#include <com/bstr.h>
#include <com/object.h>
#include <com/ptr.h>
#include <com/text.h>
#include <cstring>
#include <set>

namespace {

using audio_fixtures::EncodedFolder;
using audio_fixtures::ToneWav;

struct Msf {
    unsigned min, sec, frames;
    bool operator==(const Msf& o) const { return min == o.min && sec == o.sec && frames == o.frames; }
};

std::ostream& operator<<(std::ostream& out, const Msf& m)
{
    return out << m.min << ":" << m.sec << ":" << m.frames;
}

std::string Text(BSTR text)
{
    std::string s = com::AnsiFromBstr(text);
    SysFreeString(text);
    return s;
}

uint32_t Le32(const std::string& b, size_t at)
{
    return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 |
           static_cast<uint8_t>(b[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}

// The 10-digit WAV files of the temporary folder, which the engine shares.
std::set<std::string> TempWavs()
{
    char folder[MAX_PATH + 1];
    GetTempPathA(sizeof folder, folder);
    std::set<std::string> found;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((std::string(folder) + "??????????.wav").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return found;
    do found.insert(data.cFileName); while (FindNextFileA(find, &data));
    FindClose(find);
    return found;
}

// The client's list of indexes for MoveTracks.
class CIndexes : public com::ObjectRoot<com::MultiThreadModel>, public IEnumULONG {
public:
    COM_INTERFACES_BEGIN(CIndexes)
        COM_INTERFACE(IEnumULONG)
    COM_INTERFACES_END()
    void Set(std::vector<unsigned long> values) { m_values = std::move(values); }
    STDMETHODIMP Next(unsigned long celt, unsigned long* rgelt, unsigned long* fetched) override
    {
        unsigned long n = 0;
        for (; n < celt && m_at < m_values.size(); ++n) rgelt[n] = m_values[m_at++];
        if (fetched) *fetched = n;
        return n == celt ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(unsigned long) override { return E_NOTIMPL; }
    STDMETHODIMP Reset() override { m_at = 0; return S_OK; }
    STDMETHODIMP Clone(IEnumULONG**) override { return E_NOTIMPL; }
private:
    std::vector<unsigned long> m_values;
    size_t m_at = 0;
};

// Cancels the decode when the first track is part done.
class CCancellingSink : public CTestEventSink {
public:
    STDMETHODIMP IMC_PostMessage(unsigned int msg, unsigned int w, unsigned int l) override
    {
        if (msg == LM_DECODEPROGRESS && l > 0 && l < 100 && layout && !cancelled) {
            cancelled = true;
            layout->Cancel();
        }
        return CTestEventSink::IMC_PostMessage(msg, w, l);
    }
    com::ComPtr<IAudioCDLayout> layout;
    bool cancelled = false;
};

class EngineAudioLayout : public testing::Test {
protected:
    void SetUp() override
    {
        com::ComPtr<IObjectCreator> creator;
        ASSERT_EQ(S_OK, creator.CoCreate(CLSID_CoDevices, IID_IObjectCreator, CLSCTX_LOCAL_SERVER));
        com::ComPtr<IUnknown> made;
        ASSERT_EQ(S_OK, creator->CreateObject(CLSID_CoAudioCDLayout, &made));
        ASSERT_EQ(S_OK, layout.QueryFrom(made, IID_IAudioCDLayout));
        ASSERT_TRUE(Audio_Start());
    }
    void TearDown() override { Audio_Stop(); }

    com::ComPtr<IAudioTrack> Track(unsigned index)
    {
        com::ComPtr<IAudioTrack> track;
        EXPECT_EQ(S_OK, layout->GetTrack(index, &track));
        return track;
    }
    Msf Start(unsigned index)
    {
        Msf m = {99, 99, 99};
        EXPECT_EQ(S_OK, Track(index)->GetStartMSFT(&m.min, &m.sec, &m.frames));
        return m;
    }
    std::string Title(unsigned index)
    {
        BSTR title = nullptr;
        EXPECT_EQ(S_OK, Track(index)->GetTitle(&title));
        return Text(title);
    }
    std::string TempFile(unsigned index)
    {
        BSTR path = nullptr;
        EXPECT_EQ(S_OK, Track(index)->GetTempFilePath(&path));
        return Text(path);
    }
    // Runs a decode to its end; the events it gave.
    std::vector<EngineEvent> DecodeAll(CTestEventSink* sink)
    {
        DWORD cookie = 0;
        EXPECT_EQ(S_OK, AdviseSink(layout, static_cast<_IMessageCallback*>(sink), &cookie));
        EXPECT_EQ(S_OK, layout->Decode());
        EXPECT_TRUE(sink->WaitFor(LM_DECODEEND, 20000));
        UnadviseSink(layout, cookie);
        return sink->Events();
    }
    // The samples of a file as the audio layer decodes them here.
    static std::vector<int16_t> Decoded(const std::string& path)
    {
        std::vector<int16_t> out;
        AudioChannel ch = Audio_Open(path.c_str(), AUDIO_OPEN_DECODE);
        EXPECT_NE(0u, ch);
        int16_t block[2048];
        int32_t got;
        while (ch && (got = Audio_Read(ch, block, sizeof block)) > 0) out.insert(out.end(), block, block + got / 2);
        Audio_Close(ch);
        return out;
    }

    com::ComPtr<IAudioCDLayout> layout;
    TempFolder temp;
};

struct AnalysisCase {
    const char* file;  // '*': an encoded fixture
    AUDIO_FILE_FORMAT format;
    unsigned channels, rate;
    Msf length;
    const char* title;
};

}  // namespace

TEST_F(EngineAudioLayout, AnalysesEachFileItsFormatShapeLengthAndTitle)
{
    std::vector<int16_t> pcm;
    WriteFileBytes(temp.File("mono22k8.wav"), ToneWav(22050, 1, 8, 22050 * 3 / 2, &pcm));
    WriteFileBytes(temp.File("stereo48k.24.wav"), ToneWav(48000, 2, 24, 48000 * 2, &pcm));
    WriteFileBytes(temp.File("tiny.mod"), audio_fixtures::ModBytes());
    WriteFileBytes(temp.File("tiny.xm"), audio_fixtures::XmBytes());
    WriteFileBytes(temp.File("three.wav"), ToneWav(44100, 3, 16, 4410, &pcm));
    WriteFileBytes(temp.File("notes.mp3"), "These are notes, not sound.\n");
    const AnalysisCase cases[] = {
        {"mono22k8.wav", AFF_WAV, 1, 22050, {0, 1, 37}, "mono22k8"},
        {"stereo48k.24.wav", AFF_WAV, 2, 48000, {0, 2, 0}, "stereo48k.24"},
        {"tiny.mod", AFF_MOD, 2, 44100, {0, 7, 51}, "tiny"},  // 7.68 s
        {"tiny.xm", AFF_XM, 2, 44100, {0, 1, 69}, "tiny"},     // 1.92 s
        {"*tagged.mp3", AFF_MP3, 2, 44100, {0, 1, 0}, "Tagged Title"},
        {"*plain.mp3", AFF_MP3, 1, 22050, {0, 1, 0}, "plain"},
        {"*tagged.mp2", AFF_MP2, 2, 44100, {0, 1, 1}, "Second Title"},
        {"*plain.mp2", AFF_MP2, 2, 44100, {0, 1, 1}, "plain"},
        {"*mono.ogg", AFF_OGG, 1, 22050, {0, 1, 0}, "mono"},
    };
    for (const AnalysisCase& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = c.file[0] == '*' ? EncodedFolder() + (c.file + 1) : temp.File(c.file);
        ASSERT_EQ(S_OK, layout->AddTrack(com::Bstr(path)));
        unsigned count = 0;
        ASSERT_EQ(S_OK, layout->GetTrackCount(&count));
        com::ComPtr<IAudioTrack> track = Track(count - 1);
        AUDIO_FILE_FORMAT format = AFF_UNKNOWN;
        unsigned channels = 0, rate = 0;
        Msf length = {99, 99, 99};
        EXPECT_EQ(S_OK, track->GetFormat(&format));
        EXPECT_EQ(S_OK, track->GetStereo(&channels));
        EXPECT_EQ(S_OK, track->GetSampleRate(&rate));
        EXPECT_EQ(S_OK, track->GetLengthMSFT(&length.min, &length.sec, &length.frames));
        EXPECT_EQ(c.format, format);
        EXPECT_EQ(c.channels, channels);
        EXPECT_EQ(c.rate, rate);
        EXPECT_EQ(c.length, length);
        EXPECT_EQ(c.title, Title(count - 1));
        BSTR stored = nullptr;
        EXPECT_EQ(S_OK, track->GetPath(&stored));
        EXPECT_EQ(path, Text(stored));
        EXPECT_EQ("", TempFile(count - 1));
    }
    // Three channels, text named .mp3, no file: refused, the list unchanged.
    for (const char* name : {"three.wav", "notes.mp3", "missing.ogg"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(E_FAIL, layout->InsertTrack(0, com::Bstr(temp.File(name))));
    }
    unsigned count = 0;
    EXPECT_EQ(S_OK, layout->GetTrackCount(&count));
    EXPECT_EQ(sizeof cases / sizeof cases[0], count);
    EXPECT_EQ("mono22k8", Title(0));
}

TEST_F(EngineAudioLayout, StartsMovesImageSizeAndTitles)
{
    std::vector<int16_t> pcm;
    // 1.5 s mono at 22,050 Hz: 66,150 bytes in the file, 112.5 sectors on a
    // CD, of which the half counts whole.
    WriteFileBytes(temp.File("a.wav"), ToneWav(22050, 1, 16, 22050 * 3 / 2, &pcm));
    // 2 s of CD sound, and 300 frames: half a sector and a bit.
    WriteFileBytes(temp.File("b.wav"), ToneWav(44100, 2, 16, 88200, &pcm));
    WriteFileBytes(temp.File("c.wav"), ToneWav(44100, 2, 16, 300, &pcm));
    ASSERT_EQ(S_OK, layout->AddTrack(com::Bstr(temp.File("a.wav"))));
    ASSERT_EQ(S_OK, layout->AddTrack(com::Bstr(temp.File("b.wav"))));
    ASSERT_EQ(S_OK, layout->InsertTrack(0, com::Bstr(temp.File("c.wav"))));
    // c, a, b
    EXPECT_EQ((Msf{0, 0, 0}), Start(0));
    EXPECT_EQ((Msf{0, 0, 0}), Start(1));  // less than a frame, cut
    EXPECT_EQ((Msf{0, 1, 38}), Start(2));
    hyper size = 0;
    EXPECT_EQ(S_OK, layout->GetImageSize(&size));
    EXPECT_EQ(2352 * (1 + 113 + 150), size);

    com::ComPtr<IAudioTrack> b = Track(2);
    unsigned index = 0;
    EXPECT_EQ(S_OK, layout->GetTrackIndex(b, &index));
    EXPECT_EQ(2u, index);

    // Move b and c (given in that order) before a's place: b, c, a. An index
    // past the end is left out.
    com::ComPtr<com::ComObject<CIndexes>> indexes;
    ASSERT_EQ(S_OK, com::CreateObjectImpl<CIndexes>(&indexes));
    indexes->Set({2, 0, 7});
    ASSERT_EQ(S_OK, layout->MoveTracks(indexes, 1));
    EXPECT_EQ("b", Title(0));
    EXPECT_EQ("c", Title(1));
    EXPECT_EQ("a", Title(2));
    EXPECT_EQ((Msf{0, 2, 0}), Start(1));
    EXPECT_EQ((Msf{0, 2, 0}), Start(2));
    EXPECT_EQ(E_POINTER, layout->MoveTracks(nullptr, 0));

    EXPECT_EQ(S_OK, layout->RemoveTrack(0));
    EXPECT_EQ(E_INVALIDARG, layout->RemoveTrack(2));
    EXPECT_EQ(S_OK, layout->GetTrackIndex(b, &index));
    EXPECT_EQ(0xFFFFFFFFu, index);
    EXPECT_EQ((Msf{0, 0, 0}), Start(1));
    com::ComPtr<IAudioTrack> none;
    EXPECT_EQ(E_INVALIDARG, layout->GetTrack(2, &none));

    // The title is kept by no one, and read back empty, never unset.
    EXPECT_EQ(S_OK, layout->SetCDTitle(com::Bstr("Live")));
    BSTR title = reinterpret_cast<BSTR>(1);
    EXPECT_EQ(S_OK, layout->GetCDTitle(&title));
    ASSERT_NE(reinterpret_cast<BSTR>(1), title);
    EXPECT_EQ("", Text(title));
}

TEST_F(EngineAudioLayout, DecodesToCdWavsWithItsEventsInOrder)
{
    std::vector<int16_t> pcm;
    WriteFileBytes(temp.File("cd.wav"), ToneWav(44100, 2, 16, 4410, &pcm));
    // CD rate and channels, but 8 bits: not CD sound.
    WriteFileBytes(temp.File("cd8.wav"), ToneWav(44100, 2, 8, 4410, &pcm));
    const std::string mono = EncodedFolder() + "mono.ogg", stereo = EncodedFolder() + "stereo.ogg";
    ASSERT_EQ(S_OK, layout->AddTrack(com::Bstr(temp.File("cd.wav"))));
    ASSERT_EQ(S_OK, layout->AddTrack(com::Bstr(temp.File("cd8.wav"))));
    ASSERT_EQ(S_OK, layout->AddTrack(com::Bstr(EncodedFolder() + "tagged.mp3")));
    ASSERT_EQ(S_OK, layout->AddTrack(com::Bstr(stereo)));
    ASSERT_EQ(S_OK, layout->AddTrack(com::Bstr(mono)));
    const std::set<std::string> before = TempWavs();

    com::ComPtr<com::ComObject<CTestEventSink>> sink;
    ASSERT_EQ(S_OK, com::CreateObjectImpl<CTestEventSink>(&sink));
    std::vector<EngineEvent> events = DecodeAll(sink.Get());
    ASSERT_GE(events.size(), 8u);
    EXPECT_EQ(LM_DECODEBEGIN, events.front().message);
    EXPECT_EQ(LM_DECODEEND, events.back().message);
    EXPECT_EQ(0u, events.back().wParam);
    // Progress of tracks 1 to 4 only, each from 0 to 100, rising.
    unsigned lastTrack = 1, lastPercent = 0;
    for (size_t i = 1; i + 1 < events.size(); ++i) {
        SCOPED_TRACE(i);
        const EngineEvent& e = events[i];
        ASSERT_EQ(LM_DECODEPROGRESS, e.message);
        if (e.wParam == lastTrack) {
            EXPECT_GE(e.lParam, lastPercent);
        } else {
            EXPECT_EQ(lastTrack + 1, e.wParam);
            EXPECT_EQ(100u, lastPercent);
            EXPECT_EQ(0u, e.lParam);
        }
        lastTrack = e.wParam;
        lastPercent = e.lParam;
    }
    EXPECT_EQ(4u, lastTrack);
    EXPECT_EQ(100u, lastPercent);

    // Only the WAV of CD sound is burned as it is.
    EXPECT_EQ("", TempFile(0));
    const std::string eightBitWav = ReadFileBytes(TempFile(1)), mp3Wav = ReadFileBytes(TempFile(2));
    const std::string stereoWav = ReadFileBytes(TempFile(3)), monoWav = ReadFileBytes(TempFile(4));
    EXPECT_EQ(before.size() + 4, TempWavs().size());

    // CD sound headers, each telling its own length.
    for (const std::string* wav : {&eightBitWav, &mp3Wav, &stereoWav, &monoWav}) {
        ASSERT_GE(wav->size(), 44u);
        const uint32_t data = static_cast<uint32_t>(wav->size() - 44);
        // PCM, 2 channels, 44,100 Hz, 176,400 bytes a second, 4 a frame, 16 bits.
        std::string header("RIFF....WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xAC\0\0\x10\xB1\x02\0\x04\0\x10\0data....", 44);
        for (int i = 0; i < 4; ++i) {
            header[4 + i] = static_cast<char>(((data + 36) >> (8 * i)) & 0xFF);
            header[40 + i] = static_cast<char>((data >> (8 * i)) & 0xFF);
        }
        EXPECT_EQ(header, wav->substr(0, 44));
        EXPECT_EQ(data + 36, Le32(*wav, 4));
    }
    // 44.1 kHz stereo comes through sample for sample, widened from 8 bits
    // or decoded.
    const std::pair<std::string, const std::string*> asDecoded[] = {
        {temp.File("cd8.wav"), &eightBitWav}, {EncodedFolder() + "tagged.mp3", &mp3Wav}, {stereo, &stereoWav}};
    for (const auto& pair : asDecoded) {
        SCOPED_TRACE(pair.first);
        const std::vector<int16_t> source = Decoded(pair.first);
        const std::string& wav = *pair.second;
        ASSERT_EQ(source.size() * 2, wav.size() - 44);
        EXPECT_EQ(0, std::memcmp(source.data(), wav.data() + 44, wav.size() - 44));
    }
    // Mono 22,050 Hz: each sample to both sides, each twice.
    const std::vector<int16_t> half = Decoded(mono);
    ASSERT_EQ(half.size() * 8, monoWav.size() - 44);
    const int16_t* out = reinterpret_cast<const int16_t*>(monoWav.data() + 44);
    size_t wrong = 0;
    for (size_t k = 0; k < half.size() * 2; ++k)
        if (out[2 * k] != half[k / 2] || out[2 * k + 1] != half[k / 2]) ++wrong;
    EXPECT_EQ(0u, wrong);

    // A second decode skips what is done: begin and end only.
    com::ComPtr<com::ComObject<CTestEventSink>> again;
    ASSERT_EQ(S_OK, com::CreateObjectImpl<CTestEventSink>(&again));
    events = DecodeAll(again.Get());
    ASSERT_EQ(2u, events.size());
    EXPECT_EQ(LM_DECODEBEGIN, events[0].message);
    EXPECT_EQ(LM_DECODEEND, events[1].message);

    // Removing a track deletes its file; so does the layout's end.
    const std::string stereoPath = TempFile(3), monoPath = TempFile(4);
    EXPECT_EQ(S_OK, layout->RemoveTrack(3));
    EXPECT_FALSE(FileExists(stereoPath));
    EXPECT_TRUE(FileExists(monoPath));
    layout.Reset();
    EXPECT_FALSE(FileExists(monoPath));
}

TEST_F(EngineAudioLayout, CancelMidTrackDeletesItsFileAndStillEnds)
{
    WriteFileBytes(temp.File("tiny.mod"), audio_fixtures::ModBytes());
    ASSERT_EQ(S_OK, layout->AddTrack(com::Bstr(temp.File("tiny.mod"))));
    ASSERT_EQ(S_OK, layout->AddTrack(com::Bstr(EncodedFolder() + "stereo.ogg")));
    const std::set<std::string> before = TempWavs();

    com::ComPtr<com::ComObject<CCancellingSink>> sink;
    ASSERT_EQ(S_OK, com::CreateObjectImpl<CCancellingSink>(&sink));
    sink->layout = layout;
    std::vector<EngineEvent> events = DecodeAll(sink.Get());
    sink->layout.Reset();
    EXPECT_TRUE(sink->cancelled);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(LM_DECODEEND, events.back().message);
    EXPECT_EQ(2u, events.back().wParam);  // stopped
    // The stopped decode goes no further than the track it was in.
    for (const EngineEvent& e : events) {
        if (e.message == LM_DECODEPROGRESS) {
            EXPECT_EQ(0u, e.wParam);
        }
    }
    EXPECT_EQ("", TempFile(0));
    EXPECT_EQ("", TempFile(1));
    EXPECT_EQ(before, TempWavs());

    // Decode again: both tracks are made this time.
    com::ComPtr<com::ComObject<CTestEventSink>> again;
    ASSERT_EQ(S_OK, com::CreateObjectImpl<CTestEventSink>(&again));
    events = DecodeAll(again.Get());
    EXPECT_EQ(0u, events.back().wParam);
    EXPECT_TRUE(FileExists(TempFile(0)));
    EXPECT_TRUE(FileExists(TempFile(1)));
    // A module renders at 44.1 kHz stereo: its WAV holds the whole length.
    EXPECT_NEAR(44 + 7.68 * 176400, static_cast<double>(ReadFileBytes(TempFile(0)).size()), 176.4);
}

// A file changed since it was added is not decoded: the layer would read it
// through the old analysis and fill what it cannot decode with silence. The
// decode fails on it (a CD sound file, burned as it is, too), its track
// named by the last progress event, no file of it left; the track before
// keeps its file.
TEST_F(EngineAudioLayout, AFileChangedSinceItWasAddedFailsTheDecode)
{
    const std::string mp3 = ReadFileBytes(EncodedFolder() + "tagged.mp3");
    std::vector<int16_t> pcm;
    const std::string cd = audio_fixtures::ToneWav(44100, 2, 16, 44100, &pcm);
    const struct {
        const char* name;
        std::string bytes, changedTo;
    } cases[] = {
        {"cut short.mp3", mp3, mp3.substr(0, 100)},
        {"grown.mp3", mp3, mp3 + mp3},
        {"cd sound cut short.wav", cd, cd.substr(0, cd.size() / 2)},
    };
    ASSERT_EQ(S_OK, layout->AddTrack(com::Bstr(EncodedFolder() + "stereo.ogg")));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = temp.File(c.name);
        WriteFileBytes(path, c.bytes);
        ASSERT_EQ(S_OK, layout->AddTrack(com::Bstr(path)));
        WriteFileBytes(path, c.changedTo);
        std::set<std::string> before = TempWavs();
        com::ComPtr<com::ComObject<CTestEventSink>> sink;
        ASSERT_EQ(S_OK, com::CreateObjectImpl<CTestEventSink>(&sink));
        const std::vector<EngineEvent> events = DecodeAll(sink.Get());
        ASSERT_GE(events.size(), 2u);
        EXPECT_EQ(LM_DECODEEND, events.back().message);
        EXPECT_EQ(1u, events.back().wParam);  // failed
        EXPECT_EQ(LM_DECODEPROGRESS, events[events.size() - 2].message);
        EXPECT_EQ(1u, events[events.size() - 2].wParam);
        EXPECT_EQ("", TempFile(1));
        const std::string kept = TempFile(0);
        ASSERT_TRUE(FileExists(kept));
        before.insert(kept.substr(kept.find_last_of('\\') + 1));
        EXPECT_EQ(before, TempWavs());
        ASSERT_EQ(S_OK, layout->RemoveTrack(1));
    }
}

TEST_F(EngineAudioLayout, IsMadeByItsClassToo)
{
    com::ComPtr<IAudioCDLayout> direct;
    ASSERT_EQ(S_OK, direct.CoCreate(CLSID_CoAudioCDLayout, IID_IAudioCDLayout, CLSCTX_LOCAL_SERVER));
    EXPECT_FALSE(com::SameObject(direct, layout));
    unsigned count = 99;
    EXPECT_EQ(S_OK, direct->GetTrackCount(&count));
    EXPECT_EQ(0u, count);
}
