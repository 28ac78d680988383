// Audio CDs written from WAV files: the tracks split back out of the exported
// raw image with bchunk and listed by cd-info, sample for sample; the gaps of
// track-at-once and disc-at-once; tables and files refused before the first
// byte; failed, cancelled and test writes that leave the medium as it was.
#include "disc_test_support.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>
#include <regex>

namespace disc_test {
namespace {

constexpr uint32_t kRaw = 2352;

std::string le16(uint32_t v) { return {char(v & 0xFF), char(v >> 8 & 0xFF)}; }
std::string le32(uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }

struct WavFormat {
    uint32_t tag = 1, channels = 2, rate = 44100, bits = 16;
};

// A WAV file's bytes around `pcm`, with an extra chunk before the samples.
std::string wavBytes(const std::string& pcm, WavFormat f = {}) {
    const uint32_t align = f.channels * f.bits / 8;
    std::string fmt = le16(f.tag) + le16(f.channels) + le32(f.rate) + le32(f.rate * align) + le16(align) + le16(f.bits);
    std::string body = "WAVE" + std::string("fmt ") + le32(uint32_t(fmt.size())) + fmt + "LIST" + le32(3) + "abc" +
                       std::string(1, '\0') + "data" + le32(uint32_t(pcm.size())) + pcm;
    return "RIFF" + le32(uint32_t(body.size())) + body;
}

// `frames` stereo sample pairs of a sine wave (left and right apart).
std::string sine(uint32_t frames, double hertz) {
    std::string pcm;
    pcm.reserve(size_t(frames) * 4);
    for (uint32_t i = 0; i < frames; ++i) {
        const double x = std::sin(2 * M_PI * hertz * i / 44100);
        pcm += le16(uint16_t(int16_t(x * 20000))) + le16(uint16_t(int16_t(x * -12000)));
    }
    return pcm;
}

std::string padded(const std::string& pcm) { return pcm + std::string((kRaw - pcm.size() % kRaw) % kRaw, '\0'); }

class AudioDiscs : public DiscTest {
protected:
    using Table = std::unique_ptr<DiscAudioTrackTable>;

    Table table(const std::vector<std::string>& paths) {
        Table t(new DiscAudioTrackTable {});
        t->count = uint32_t(paths.size());
        for (size_t i = 0; i < paths.size() && i < DISC_AUDIO_MAX_TRACKS; ++i)
            std::strncpy(t->entries[i], paths[i].c_str(), DISC_AUDIO_ENTRY_BYTES);
        return t;
    }
    int write(DiscHandle g, const DiscAudioTrackTable* t, bool dao, bool test = false) {
        Frame f;
        const int rc = dao ? Grabber_DiscAtOnceAudio(g, GF(f), t, 0, test ? 1 : 0, 0, 1, 1, 1)
                           : Grabber_TrackAtOnceAudio(g, GF(f), t, 0, test ? 1 : 0, 0, 0, 1, 1);
        lastText_ = f.text;
        return rc;
    }
    // Four sine tracks of odd lengths (none a whole number of sectors).
    std::vector<std::string> fourTracks() {
        const uint32_t frames[] = {44100 * 2 + 7, 30001, 44100 * 3 + 1, 12345};
        std::vector<std::string> paths;
        for (uint32_t i = 0; i < 4; ++i) {
            pcm_.push_back(sine(frames[i], 220.0 * (i + 1)));
            paths.push_back(writeSource("t" + std::to_string(i) + ".wav", wavBytes(pcm_.back())));
        }
        return paths;
    }
    std::string file(const std::string& name) const { return (root_ / name).string(); }

    std::vector<std::string> pcm_;
    std::string lastText_;
};


uint32_t sectorsOf(const std::string& pcm) { return uint32_t((pcm.size() + kRaw - 1) / kRaw); }

class AudioModes : public AudioDiscs, public ::testing::WithParamInterface<bool> {};

// Track-at-once puts 150 blocks of silence before tracks 2 to 4; disc-at-once
// none. Either way each track reads back as its samples padded to whole
// sectors, and the disc is finalized.
TEST_P(AudioModes, TracksReadBackSampleForSample) {
    const bool dao = GetParam();
    tool(std::string("write-modes drive1 ") + (dao ? "0x8" : "0x1"));
    DiscHandle g = grabber(kCd);
    auto t = table(fourTracks());
    EXPECT_EQ(write(g, t.get(), !dao), DISC_E_NOT_SUPPORTED) << "the drive lacks the other mode";
    ASSERT_EQ(write(g, t.get(), dao), 0) << lastText_;

    Frame f;
    DiscInformation info {};
    ASSERT_EQ(Grabber_GetDiscInformation(g, GF(f), &info), 0);
    EXPECT_EQ(info.discStatus, DISC_STATUS_COMPLETE);
    EXPECT_EQ(info.trackCount, 4);
    EXPECT_EQ(info.sessionCount, 1);

    tool("export-raw drive1 " + file("out"));
    const uint32_t gap = dao ? 0 : 150;
    auto tracks = cdInfoTracks(file("out.cue"));
    ASSERT_EQ(tracks.size(), 5u) << readFile(root_ / "out.cue");  // the lead-out too
    uint32_t lba = 0;
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(tracks[i], std::make_pair(lba, std::string("audio"))) << "track " << i + 1;
        lba += sectorsOf(pcm_[i]) + (i < 3 ? gap : 0);
    }
    EXPECT_EQ(tracks[4].first, lba);
    const std::string cue = readFile(root_ / "out.cue");
    EXPECT_EQ(std::regex_search(cue, std::regex("INDEX 00")), !dao) << cue;

    run("cd " + root_.string() + " && bchunk out.bin out.cue part");
    for (size_t i = 0; i < 4; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "part%02zu.cdr", i + 1);
        EXPECT_EQ(md5(readFile(root_ / name)), md5(padded(pcm_[i]))) << name;
    }
    const std::string bin = readFile(root_ / "out.bin");
    if (!dao)
        EXPECT_EQ(bin.substr(size_t(sectorsOf(pcm_[0])) * kRaw, 150 * kRaw), std::string(150 * kRaw, '\0'))
            << "the gap before track 2 is silence";
}

INSTANTIATE_TEST_SUITE_P(Modes, AudioModes, ::testing::Values(false, true),
                         [](const auto& info) { return std::string(info.param ? "DiscAtOnce" : "TrackAtOnce"); });

// Audio after a data session goes on in a session of its own and closes the disc.
TEST_F(AudioDiscs, AudioAfterADataSessionStartsASessionOfItsOwn) {
    DiscHandle g = grabber(kCd);
    DiscHandle tree = newTree();
    addFile(tree, IsoTree_GetRoot(tree), "readme.txt", "data first");
    ASSERT_EQ(burn(g, tree), 0);
    ASSERT_EQ(closeSession(g), 0);
    const uint32_t start = nextWritable(g);
    pcm_.push_back(sine(5000, 440));
    auto t = table({writeSource("a.wav", wavBytes(pcm_[0]))});
    ASSERT_EQ(write(g, t.get(), false), 0) << lastText_;
    Frame f;
    DiscTrackInformation info {};
    ASSERT_EQ(Grabber_GetTrackInformation(g, GF(f), 2, &info), 0);
    EXPECT_EQ(info.sessionNumber, 2);
    EXPECT_EQ(info.trackMode, 0);
    EXPECT_EQ(info.startAddress, start);
    EXPECT_EQ(info.trackSize, sectorsOf(pcm_[0]));
    EXPECT_EQ(nextWritable(g), 0xFFFFFFFFu) << "finalized";
}

enum class Entry { Fine, NoNul, Empty, Missing, Folder, ZeroBytes, NoSamples, Mono22k, EightBit, Float, TextFile,
                   ChunkPastEnd, DataBeforeFormat };

struct RefusedAudio {
    const char* name;
    std::vector<Entry> entries;
    int expected;
    bool dao = false;
    uint32_t count = 0;  // the table's count when not the entries'
};

class RefusedAudioWrites : public AudioDiscs, public ::testing::WithParamInterface<RefusedAudio> {
protected:
    std::string entry(Entry e, size_t i) {
        const std::string name = "e" + std::to_string(i) + ".wav";
        const std::string pcm = sine(3000, 500);
        switch (e) {
        case Entry::Fine: return writeSource(name, wavBytes(pcm));
        case Entry::NoNul: return "";
        case Entry::Empty: return "";
        case Entry::Missing: return (sources_ / "gone.wav").string();
        case Entry::Folder: fs::create_directories(sources_ / name); return (sources_ / name).string();
        case Entry::ZeroBytes: return writeSource(name, "");
        case Entry::NoSamples: return writeSource(name, wavBytes(""));
        case Entry::Mono22k: return writeSource(name, wavBytes(pcm, {1, 1, 22050, 16}));
        case Entry::EightBit: return writeSource(name, wavBytes(pcm, {1, 2, 44100, 8}));
        case Entry::Float: return writeSource(name, wavBytes(pcm, {3, 2, 44100, 32}));
        case Entry::TextFile: return writeSource("e" + std::to_string(i) + ".mp3", "ID3 this is no audio\n");
        case Entry::ChunkPastEnd: {
            std::string bytes = wavBytes(pcm);
            return writeSource(name, bytes.substr(0, bytes.size() - 10));
        }
        case Entry::DataBeforeFormat:
            return writeSource(name, "RIFF" + le32(12 + 8 + 4) + "WAVE" + "data" + le32(4) + "abcd");
        }
        return "";
    }
};
void PrintTo(const RefusedAudio& c, std::ostream* os) { *os << c.name; }

TEST_P(RefusedAudioWrites, LeaveTheMediumUntouched) {
    const RefusedAudio& c = GetParam();
    tool("insert drive1 2 3000");
    DiscHandle g = grabber(kCd);
    DiscHandle tree = newTree();
    addFile(tree, IsoTree_GetRoot(tree), "old.txt", "already there");
    ASSERT_EQ(burn(g, tree, true, false), 0);
    std::vector<std::string> paths;
    for (size_t i = 0; i < c.entries.size(); ++i) paths.push_back(entry(c.entries[i], i));
    auto t = table(paths);
    if (c.count) {
        t->count = c.count;
        for (uint32_t i = 1; i < DISC_AUDIO_MAX_TRACKS; ++i) std::memcpy(t->entries[i], t->entries[0], DISC_AUDIO_ENTRY_BYTES);
    }
    for (size_t i = 0; i < c.entries.size(); ++i)
        if (c.entries[i] == Entry::NoNul) std::memset(t->entries[i], 'x', DISC_AUDIO_ENTRY_BYTES);
    const std::string before = mediumBytes("drive1");
    EXPECT_EQ(write(g, t.get(), c.dao), c.expected) << lastText_;
    EXPECT_FALSE(lastText_.empty());
    EXPECT_EQ(mediumBytes("drive1"), before);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedAudioWrites,
    ::testing::Values(
        RefusedAudio {"HundredTracks", {Entry::Fine}, DISC_E_INVALID_ARGUMENT, false, 100},
        RefusedAudio {"NoTracks", {}, DISC_E_INVALID_ARGUMENT},
        RefusedAudio {"PathTooLong", {Entry::Fine, Entry::NoNul}, DISC_E_INVALID_ARGUMENT},
        RefusedAudio {"EmptyEntry", {Entry::Fine, Entry::Empty, Entry::Fine}, DISC_E_INVALID_ARGUMENT},
        RefusedAudio {"MissingFile", {Entry::Fine, Entry::Missing}, DISC_E_FILE},
        RefusedAudio {"FolderForFile", {Entry::Folder}, DISC_E_FILE},
        RefusedAudio {"EmptyFile", {Entry::ZeroBytes}, DISC_E_BAD_IMAGE},
        RefusedAudio {"NoSamples", {Entry::Fine, Entry::NoSamples}, DISC_E_BAD_IMAGE},
        RefusedAudio {"Mono22k", {Entry::Mono22k}, DISC_E_BAD_IMAGE},
        RefusedAudio {"EightBit", {Entry::EightBit}, DISC_E_BAD_IMAGE},
        RefusedAudio {"FloatSamples", {Entry::Float}, DISC_E_BAD_IMAGE},
        RefusedAudio {"TextNamedMp3", {Entry::TextFile}, DISC_E_BAD_IMAGE},
        RefusedAudio {"ChunkPastTheEnd", {Entry::ChunkPastEnd}, DISC_E_BAD_IMAGE},
        RefusedAudio {"SamplesBeforeFormat", {Entry::DataBeforeFormat}, DISC_E_BAD_IMAGE}),
    [](const auto& info) { return std::string(info.param.name); });

// Two tracks of 1430 blocks fit a disc of 2960 back to back, but not with the
// 150 blocks of silence track-at-once puts between them.
TEST_F(AudioDiscs, SpaceCountsTheGapsBeforeTheFirstByte) {
    tool("insert drive1 2 2960");
    DiscHandle g = grabber(kCd);
    const std::string half = writeSource("half.wav", wavBytes(std::string(1430 * kRaw - 100, '\x11')));
    const std::string whole = writeSource("whole.wav", wavBytes(std::string(2961 * kRaw, '\x22')));
    const std::string before = mediumBytes("drive1");
    EXPECT_EQ(write(g, table({half, half}).get(), false), DISC_E_NO_SPACE) << lastText_;
    EXPECT_EQ(write(g, table({whole}).get(), true), DISC_E_NO_SPACE) << lastText_;
    EXPECT_EQ(mediumBytes("drive1"), before);
    EXPECT_EQ(write(g, table({half, half}).get(), true), 0) << lastText_;
}

struct CancelOnWrite {
    DiscHandle other;
    uint32_t reports = 0;
};

uint32_t onWrite(uint32_t reason, void* context, void*, void*) {
    auto* c = static_cast<CancelOnWrite*>(context);
    if (reason == DISC_CB_WRITE_PROGRESS && ++c->reports == 1) Grabber_Cancel(c->other);
    return 0;
}

TEST_F(AudioDiscs, FailedCancelledOrTestWritesLeaveTheMediumAsItWas) {
    auto t = table(fourTracks());
    DiscHandle g = grabber(kCd);
    const std::string before = mediumBytes("drive1");
    DiscFault fault {DISC_OP_TAO_AUDIO, DISC_E_MEDIUM_IO, 300, 0};
    ASSERT_EQ(DiscLayer_InjectFault(kCd.port, kCd.bus, kCd.target, kCd.lun, &fault), 0);
    EXPECT_EQ(write(g, t.get(), false), DISC_E_MEDIUM_IO);
    EXPECT_EQ(mediumBytes("drive1"), before);
    EXPECT_EQ(write(g, t.get(), true, true), 0) << "a test write: " << lastText_;
    EXPECT_EQ(mediumBytes("drive1"), before);
    CancelOnWrite cancel {g};  // the cancel comes through another handle of the drive
    DiscHandle writer = grabber(kCd, onWrite, &cancel);
    EXPECT_EQ(write(writer, t.get(), false), DISC_E_CANCELLED);
    EXPECT_EQ(cancel.reports, 1u) << "no report after the cancel";
    EXPECT_EQ(mediumBytes("drive1"), before);

    tool("insert drive0 8");
    DiscHandle dvd = grabber(kDvd);
    const std::string dvdBefore = mediumBytes("drive0");
    EXPECT_EQ(write(dvd, t.get(), false), DISC_E_NOT_SUPPORTED) << "audio on a DVD";
    EXPECT_EQ(mediumBytes("drive0"), dvdBefore);
}

}  // namespace
}  // namespace disc_test
