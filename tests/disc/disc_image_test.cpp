// Raw CD images and grabs: CUE sheets with BIN files written session-at-once,
// discs read into our descriptor and its data files and written back, ISO
// files written track-at-once; each read back with Debian's CD tools.
#include "cd_sector.h"
#include "disc_test_support.h"

#include <fstream>
#include <map>
#include <regex>

namespace disc_test {
namespace {

constexpr uint32_t kRaw = 2352;

class RawImages : public DiscTest {
protected:
    int sao(DiscHandle g, const std::string& path, bool test = false) {
        Frame f;
        int rc = Grabber_SessionAtOnceRawRawPW(g, GF(f), path.c_str(), test ? 1 : 0, 1, 1, 0, 0);
        lastText_ = f.text;
        return rc;
    }
    int grabCd(DiscHandle g, const std::string& base) {
        Frame f;
        int rc = Grabber_GrabCdImage(g, GF(f), base.c_str(), 3, 1, 1, 0, 1, 0);
        lastText_ = f.text;
        return rc;
    }
    int grabDvd(DiscHandle g, const std::string& base, uint32_t partMegabytes) {
        Frame f;
        int rc = Grabber_GrabDvdImage(g, GF(f), base.c_str(), partMegabytes, 1, 1, 0, 1);
        lastText_ = f.text;
        return rc;
    }
    std::string file(const std::string& name) const { return (root_ / name).string(); }
    void put(const std::string& name, const std::string& data) const {
        std::ofstream(root_ / name, std::ios::binary) << data;
    }
    // An ISO 9660 image made by genisoimage from a few files.
    std::string makeIso(const std::string& name, const std::string& volume) {
        writeSource("iso/readme.txt", "made by genisoimage\n");
        writeSource("iso/big.bin", std::string(300000, 'b'));
        run("genisoimage -quiet -V " + volume + " -o " + file(name) + " " + (sources_ / "iso").string());
        return readFile(root_ / name);
    }
    // What the exported raw image of a drive's CD holds.
    std::string exportRaw(const std::string& drive, const std::string& base) {
        tool("export-raw " + drive + " " + file(base));
        return readFile(root_ / (base + ".bin"));
    }
    // An exported CUE sheet without the name of its data file.
    std::string sheetOf(const std::string& base) const {
        std::string text = readFile(root_ / (base + ".cue"));
        size_t at = text.find(base + ".bin");
        return at == std::string::npos ? text : text.erase(at, base.size());
    }
    std::vector<std::string> grabFiles(const std::string& stem) const {
        std::vector<std::string> names;
        for (auto& e : fs::directory_iterator(root_))
            if (e.path().filename().string().rfind(stem + ".", 0) == 0) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string lastText_;
};

std::string noise(size_t bytes, uint32_t seed) {
    std::string s(bytes, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (char& c : s) { x = x * 1664525 + 1013904223; c = char(x >> 24); }
    return s;
}


TEST_F(RawImages, CueWithDataAndAudioTracksIsWrittenAsItsLayoutSays) {
    const std::string iso = makeIso("data.iso", "CUEDATA");
    const uint32_t isoBlocks = uint32_t(iso.size() / 2048);
    const std::string audio = noise(450 * kRaw + 200 * kRaw, 3);  // track 2: 300 + 150 of index 0 of track 3
    put("audio.bin", audio);
    put("disc.cue",
        "FILE \"data.iso\" BINARY\n  TRACK 01 MODE1/2048\n    INDEX 01 00:00:00\n"
        "FILE \"audio.bin\" BINARY\n  TRACK 02 AUDIO\n    PREGAP 00:02:00\n    INDEX 01 00:00:00\n"
        "  TRACK 03 AUDIO\n    INDEX 00 00:04:00\n    INDEX 01 00:06:00\n");
    DiscHandle g = grabber(kCd);
    ASSERT_EQ(sao(g, file("disc.cue")), 0) << lastText_;
    ASSERT_EQ(closeSession(g), 0);

    const std::string bin = exportRaw("drive1", "out");
    auto tracks = cdInfoTracks(file("out.cue"));
    ASSERT_EQ(tracks.size(), 4u) << run("cat " + file("out.cue"));  // the lead-out is listed too
    EXPECT_EQ(tracks[0], std::make_pair(0u, std::string("data")));
    EXPECT_EQ(tracks[1], std::make_pair(isoBlocks + 150, std::string("audio")));
    EXPECT_EQ(tracks[2], std::make_pair(isoBlocks + 150 + 300 + 150, std::string("audio")));
    EXPECT_EQ(tracks[3].first, isoBlocks + 150 + 300 + 150 + 200);

    // bchunk splits the raw image back into the ISO and the audio, each
    // track from its index 1 to the next one's index 0.
    run("cd " + root_.string() + " && bchunk out.bin out.cue part");
    EXPECT_EQ(md5(readFile(root_ / "part01.iso")), md5(iso));
    const std::string t2 = readFile(root_ / "part02.cdr"), t3 = readFile(root_ / "part03.cdr");
    EXPECT_EQ(md5(t2), md5(audio.substr(0, 300 * kRaw)));
    EXPECT_EQ(md5(t3), md5(audio.substr(450 * kRaw)));
    EXPECT_EQ(md5(bin.substr(size_t(isoBlocks) * kRaw, 150 * kRaw)), md5(std::string(150 * kRaw, '\0')))
        << "the silence of track 2's gap";
    EXPECT_EQ(md5(bin.substr(size_t(isoBlocks + 450) * kRaw, 150 * kRaw)), md5(audio.substr(300 * kRaw, 150 * kRaw)))
        << "track 3's index 0 from the file";

    // The data track's raw sectors carry their address and error codes.
    for (uint32_t lba : {0u, 16u, isoBlocks - 1}) EXPECT_TRUE(disc::cd::checkSector(
        reinterpret_cast<const uint8_t*>(bin.data()) + size_t(lba) * kRaw)) << lba;
    EXPECT_NE(run(std::string(ISOINFO) + " -d -i " + exportMedium("drive1")).find("Volume id: CUEDATA"),
              std::string::npos);
}

// Only our descriptor names where its tracks lay; a bare image or a CUE
// sheet made for block 0 is checked against its own data, so that it is not
// appended behind a session its file system knows nothing of.
TEST_F(RawImages, AnImageMadeForBlockZeroIsRefusedOnADiscWithASession) {
    const std::string iso = makeIso("made.iso", "FORZERO");
    std::string raw;
    for (size_t lba = 0; lba * 2048 < iso.size(); ++lba) {
        uint8_t sector[kRaw];
        disc::cd::encodeMode1(uint32_t(lba), reinterpret_cast<const uint8_t*>(iso.data()) + lba * 2048, sector);
        raw.append(reinterpret_cast<const char*>(sector), kRaw);
    }
    put("cooked.img", iso);
    put("raw.img", raw);
    put("raw.bin", raw);
    put("raw.cue", "FILE \"raw.bin\" BINARY\n  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\n");
    DiscHandle g = grabber(kCd);
    DiscHandle t = newTree();
    addFile(t, IsoTree_GetRoot(t), "first.txt", "the first session");
    ASSERT_EQ(burn(g, t), 0);
    ASSERT_EQ(closeSession(g), 0);
    for (const char* name : {"cooked.img", "raw.img", "raw.cue"}) {
        SCOPED_TRACE(name);
        const std::string before = mediumBytes("drive1");
        EXPECT_EQ(sao(g, file(name)), DISC_E_WRONG_ADDRESS) << lastText_;
        EXPECT_TRUE(mediumBytes("drive1") == before);
    }
    // On a blank disc each is where it was made for.
    for (const char* name : {"cooked.img", "raw.img", "raw.cue"}) {
        SCOPED_TRACE(name);
        tool("insert drive1 2");
        DiscHandle fresh = grabber(kCd);
        EXPECT_EQ(sao(fresh, file(name)), 0) << lastText_;
    }
}

// A sheet's FILE names a file in the sheet's folder or below it; any other
// name (absolute, rooted, UNC, a drive, a stream, a ".." step, a device) is
// refused as a bad image before any file is opened.
TEST_F(RawImages, ASheetNamesOnlyFilesInItsOwnFolder) {
    const std::string iso = makeIso("made.iso", "NAMES");
    fs::create_directories(root_ / "sub");
    put("sub/data.bin", iso);
    put("data.bin", iso);
    struct Case {
        std::string name;
        int result;
    };
    const Case cases[] = {
        {"sub/data.bin", 0},
        {"../data.bin", DISC_E_BAD_IMAGE},
        {"sub/../data.bin", DISC_E_BAD_IMAGE},
        {"..\\data.bin", DISC_E_BAD_IMAGE},
        {file("data.bin"), DISC_E_BAD_IMAGE},
        {"C:\\data.bin", DISC_E_BAD_IMAGE},
        {"\\\\host\\share\\data.bin", DISC_E_BAD_IMAGE},
        {"\\data.bin", DISC_E_BAD_IMAGE},
        {"data.bin:stream", DISC_E_BAD_IMAGE},
        {"CON", DISC_E_BAD_IMAGE},
        {"com1.bin", DISC_E_BAD_IMAGE},
        {"sub/nul", DISC_E_BAD_IMAGE},
    };
    for (const char* sheet : {"disc.cue", "disc.mds"}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(sheet) + ": " + c.name);
            tool("insert drive1 2");
            put(sheet, "FILE \"" + c.name + "\" BINARY\n  TRACK 01 MODE1/2048\n    INDEX 01 00:00:00\n");
            EXPECT_EQ(sao(grabber(kCd), file(sheet)), c.result) << lastText_;
        }
    }
}

struct ReadReports {
    std::vector<std::pair<int64_t, int64_t>> progress;
    DiscHandle cancelWith = 0;
};

uint32_t onRead(uint32_t reason, void* context, void* p1, void* p2) {
    auto* r = static_cast<ReadReports*>(context);
    if (reason != DISC_CB_READ_PROGRESS) return 0;
    r->progress.emplace_back(*static_cast<int64_t*>(p1), *static_cast<int64_t*>(p2));
    if (r->cancelWith) Grabber_Cancel(r->cancelWith);
    return 0;
}

// A CD of two data sessions is read into the descriptor and one raw data
// file, which written to a blank CD-R gives the same sectors and sessions.
TEST_F(RawImages, GrabbedMultisessionCdWrittenBackGivesTheSameSectors) {
    DiscHandle g = grabber(kCd);
    for (const char* name : {"first.txt", "second.txt"}) {
        DiscHandle t = newTree();
        addFile(t, IsoTree_GetRoot(t), name, noise(200000, name[0]));
        ASSERT_EQ(burn(g, t), 0);
        ASSERT_EQ(closeSession(g), 0);
    }
    DiscTrackInformation second {};
    Frame f;
    ASSERT_EQ(Grabber_GetTrackInformation(g, GF(f), 2, &second), 0);
    const std::string source = exportRaw("drive1", "source");
    const std::string sourceIso = readFile(exportMedium("drive1"));

    ReadReports reports;
    DiscHandle reader = grabber(kCd, onRead, &reports);
    ASSERT_EQ(grabCd(reader, file("copy")), 0) << lastText_;
    EXPECT_EQ(grabFiles("copy"), (std::vector<std::string> {"copy.mds", "copy.xm0"}));
    EXPECT_EQ(md5(readFile(root_ / "copy.xm0")), md5(source)) << "the data file holds the tracks' raw sectors";
    const std::string mds = readFile(root_ / "copy.mds");
    EXPECT_NE(mds.find("FILE \"copy.xm0\" BINARY"), std::string::npos) << mds;
    EXPECT_NE(mds.find("REM SESSION 02"), std::string::npos) << mds;
    EXPECT_NE(mds.find("REM LBA " + std::to_string(second.startAddress)), std::string::npos) << mds;
    ASSERT_FALSE(reports.progress.empty());
    EXPECT_EQ(reports.progress.back().first, int64_t(source.size()));
    EXPECT_EQ(reports.progress.back().second, int64_t(source.size()));

    tool("insert drive1 2");
    ASSERT_EQ(sao(g, file("copy.mds")), 0) << lastText_;
    ASSERT_EQ(closeSession(g), 0);
    DiscInformation info {};
    ASSERT_EQ(Grabber_GetDiscInformation(g, GF(f), &info), 0);
    EXPECT_EQ(info.discStatus, DISC_STATUS_APPENDABLE) << "the source was left open";
    EXPECT_EQ(md5(exportRaw("drive1", "written")), md5(source));
    EXPECT_EQ(sheetOf("written"), sheetOf("source"));
    EXPECT_EQ(md5(readFile(exportMedium("drive1"))), md5(sourceIso));
    DiscHandle imported = newTree();
    ASSERT_EQ(IsoTree_ImportSession(g, imported, 2, 1, f.text, sizeof f.text, &f.sys), 0) << f.text;
    EXPECT_NE(IsoTree_FindKid(imported, IsoTree_GetRoot(imported), "second.txt"), 0u) << "the copy's last session";
}

// Mode 2 XA sectors (Form 1 and Form 2, as a Video CD has them) and audio
// keep their raw bytes through a write, a grab and a write of the grab.
TEST_F(RawImages, Mode2AndAudioSectorsSurviveAGrabAndACopy) {
    std::string xa;
    std::vector<uint8_t> sector(kRaw), data(2324);
    for (uint32_t lba = 0; lba < 400; ++lba) {
        for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(lba * 7 + i);
        disc::cd::XaSubheader sub;
        sub.file = 1;
        sub.channel = 1;
        if (lba < 200) disc::cd::encodeMode2Form1(lba, sub, data.data(), sector.data());
        else disc::cd::encodeMode2Form2(lba, sub, data.data(), sector.data());
        xa.append(reinterpret_cast<const char*>(sector.data()), kRaw);
    }
    put("disc.bin", xa + noise(300 * kRaw, 9));
    put("disc.cue", "FILE \"disc.bin\" BINARY\n  TRACK 01 MODE2/2352\n    INDEX 01 00:00:00\n"
                    "  TRACK 02 AUDIO\n    INDEX 00 00:05:25\n    INDEX 01 00:07:25\n");
    DiscHandle g = grabber(kCd);
    ASSERT_EQ(sao(g, file("disc.cue")), 0) << lastText_;
    ASSERT_EQ(closeSession(g), 0);
    const std::string source = exportRaw("drive1", "source");
    EXPECT_EQ(md5(source), md5(readFile(root_ / "disc.bin")));
    EXPECT_NE(run("cd-info --no-cddb --no-device-info --cue-file " + file("source.cue")).find("XA"),
              std::string::npos);
    ASSERT_EQ(grabCd(g, file("grab")), 0) << lastText_;
    tool("insert drive1 2");
    ASSERT_EQ(sao(g, file("grab.mds")), 0) << lastText_;
    EXPECT_EQ(md5(exportRaw("drive1", "copy")), md5(source));
    EXPECT_EQ(sheetOf("copy"), sheetOf("source"));
}

// A grab into a base that holds an earlier grab leaves that set whole when
// it fails, and replaces it whole when it succeeds: no descriptor that
// points at missing data, no higher parts of the earlier, larger grab.
TEST_F(RawImages, AGrabReplacesAnEarlierSetWholeOrLeavesIt) {
    DiscHandle g = grabber(kDvd);
    DiscHandle t = newTree();
    addFile(t, IsoTree_GetRoot(t), "big.bin", noise(3000000, 7));
    ASSERT_EQ(burn(g, t), 0);
    ASSERT_EQ(closeSession(g), 0);
    ASSERT_EQ(grabDvd(g, file("set"), 1), 0) << lastText_;
    const auto first = grabFiles("set");
    ASSERT_GE(first.size(), 4u);
    std::map<std::string, std::string> before;
    for (const std::string& name : first) before[name] = md5(readFile(root_ / name));

    DiscFault fault {DISC_OP_GRAB_DVD, DISC_E_MEDIUM_IO, 700, 0};
    DiscLayer_InjectFault(kDvd.port, kDvd.bus, kDvd.target, kDvd.lun, &fault);
    EXPECT_EQ(grabDvd(g, file("set"), 1), DISC_E_MEDIUM_IO);
    EXPECT_EQ(grabFiles("set"), first);
    for (const std::string& name : first) EXPECT_EQ(md5(readFile(root_ / name)), before[name]) << name;

    tool("insert drive0 8");
    DiscHandle small = grabber(kDvd), tree = newTree();
    addFile(tree, IsoTree_GetRoot(tree), "small.txt", "small");
    ASSERT_EQ(burn(small, tree), 0);
    ASSERT_EQ(closeSession(small), 0);
    ASSERT_EQ(grabDvd(small, file("set"), 1), 0) << lastText_;
    EXPECT_EQ(grabFiles("set"), (std::vector<std::string> {"set.mds", "set.xm0"}));
}

// A DVD is read as a plain image of its recorded area: split at the size
// asked for, its parts together are the disc; unsplit, the ISO tools open it.
TEST_F(RawImages, GrabbedDvdIsAnIsoImageInPartsAndWritesBack) {
    DiscHandle g = grabber(kDvd);
    const std::string big = noise(1500000, 5);
    for (const char* name : {"one.bin", "two.bin"}) {
        DiscHandle t = newTree();
        addFile(t, IsoTree_GetRoot(t), name, big);
        ASSERT_EQ(burn(g, t), 0);
        ASSERT_EQ(closeSession(g), 0);
    }
    const std::string disc = readFile(exportMedium("drive0"));

    ASSERT_EQ(grabDvd(g, file("parts"), 1), 0) << lastText_;
    const auto parts = grabFiles("parts");
    ASSERT_GE(parts.size(), 4u);
    std::string joined;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        ASSERT_EQ(parts[i + 1], "parts.xm" + std::to_string(i));
        std::string part = readFile(root_ / parts[i + 1]);
        EXPECT_LE(part.size(), 1u << 20);
        joined += part;
    }
    EXPECT_EQ(md5(joined), md5(disc));

    ASSERT_EQ(grabDvd(g, file("whole"), 0), 0) << lastText_;
    const std::string xm0 = file("whole.xm0");
    EXPECT_NE(run(std::string(ISOINFO) + " -d -i " + xm0).find("Volume id: DATA"), std::string::npos);
    EXPECT_EQ(md5(run(std::string(SEVENZ) + " x -so " + xm0 + " one.bin")), md5(big));

    tool("insert drive0 5");
    ASSERT_EQ(sao(g, file("parts.mds")), 0) << lastText_;
    ASSERT_EQ(closeSession(g), 0);
    EXPECT_EQ(md5(readFile(exportMedium("drive0"))), md5(disc));
    DiscInformation info {};
    Frame f;
    ASSERT_EQ(Grabber_GetDiscInformation(g, GF(f), &info), 0);
    EXPECT_EQ(info.sessionCount, 3) << "two written and the empty one";
}

enum class GrabCase { EmptyDrive, BlankDisc, DvdAsCd, FailsMidway, Cancelled };
void PrintTo(GrabCase c, std::ostream* os) { *os << int(c); }

class FailedGrabs : public RawImages, public ::testing::WithParamInterface<std::pair<GrabCase, int>> {};

TEST_P(FailedGrabs, LeaveNoFileBehind) {
    const GrabCase c = GetParam().first;
    DiscHandle g = grabber(kCd);
    if (c != GrabCase::BlankDisc) {
        DiscHandle t = newTree();
        addFile(t, IsoTree_GetRoot(t), "data.bin", noise(3000000, 1));
        ASSERT_EQ(burn(g, t), 0);
    }
    if (c == GrabCase::EmptyDrive) tool("eject drive1");
    if (c == GrabCase::FailsMidway) {
        DiscFault fault {DISC_OP_GRAB_CD, DISC_E_MEDIUM_IO, 1000, 0};
        ASSERT_EQ(DiscLayer_InjectFault(kCd.port, kCd.bus, kCd.target, kCd.lun, &fault), 0);
    }
    ReadReports reports;
    DiscHandle reader = grabber(kCd, onRead, &reports);
    if (c == GrabCase::Cancelled) reports.cancelWith = g;  // another handle of the drive
    int rc = c == GrabCase::DvdAsCd ? grabDvd(reader, file("image"), 0) : grabCd(reader, file("image"));
    EXPECT_EQ(rc, GetParam().second) << lastText_;
    EXPECT_TRUE(grabFiles("image").empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, FailedGrabs,
                         ::testing::Values(std::make_pair(GrabCase::EmptyDrive, int(DISC_E_NOT_READY)),
                                           std::make_pair(GrabCase::BlankDisc, int(DISC_E_NO_TRACK)),
                                           std::make_pair(GrabCase::DvdAsCd, int(DISC_E_NOT_SUPPORTED)),
                                           std::make_pair(GrabCase::FailsMidway, int(DISC_E_MEDIUM_IO)),
                                           std::make_pair(GrabCase::Cancelled, int(DISC_E_CANCELLED))));

struct RefusedImage {
    const char* name;
    const char* cue;        // written as image.cue (or image.mds when it starts with "REM Tavell")
    std::string bin;        // written as image.bin
    int expected;
    const char* path = nullptr;  // what to write when not the sheet
};

class RefusedImages : public RawImages, public ::testing::WithParamInterface<RefusedImage> {};
void PrintTo(const RefusedImage& c, std::ostream* os) { *os << c.name; }

TEST_P(RefusedImages, LeaveTheMediumUntouched) {
    const RefusedImage& c = GetParam();
    tool("insert drive1 2 3000");
    DiscHandle g = grabber(kCd);
    DiscHandle t = newTree();
    addFile(t, IsoTree_GetRoot(t), "old.txt", "already there");
    ASSERT_EQ(burn(g, t), 0);
    put("image.bin", c.bin);
    const bool mds = std::string(c.cue).rfind("REM Tavell", 0) == 0;
    put(mds ? "image.mds" : "image.cue", c.cue);
    const std::string before = mediumBytes("drive1");
    EXPECT_EQ(sao(g, file(c.path ? c.path : (mds ? "image.mds" : "image.cue"))), c.expected) << lastText_;
    EXPECT_EQ(mediumBytes("drive1"), before);
}

const std::string kAudio = std::string(100 * kRaw, 'a');

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedImages,
    ::testing::Values(
        RefusedImage {"GarbageSheet", "this is no sheet\n", kAudio, DISC_E_BAD_IMAGE},
        RefusedImage {"MissingBin", "FILE \"gone.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n", kAudio,
                      DISC_E_FILE},
        RefusedImage {"RawDataWithoutSync", "FILE \"image.bin\" BINARY\nTRACK 01 MODE1/2352\nINDEX 01 00:00:00\n",
                      kAudio, DISC_E_BAD_IMAGE},
        RefusedImage {"PartialSector", "FILE \"image.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n",
                      kAudio + "xyz", DISC_E_BAD_IMAGE},
        RefusedImage {"IndexPastTheFile", "FILE \"image.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                      "TRACK 02 AUDIO\nINDEX 01 10:00:00\n", kAudio, DISC_E_BAD_IMAGE},
        RefusedImage {"BareOddSize", "", std::string(3000, 'x'), DISC_E_BAD_IMAGE, "image.bin"},
        RefusedImage {"DescriptorElsewhere", "REM Tavell disc image\nFILE \"image.bin\" BINARY\nTRACK 01 AUDIO\n"
                      "REM LBA 0\nINDEX 01 00:00:00\n", kAudio, DISC_E_WRONG_ADDRESS},
        RefusedImage {"Oversize", "FILE \"image.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n",
                      std::string(3000 * kRaw, 'a'), DISC_E_NO_SPACE}),
    [](const auto& info) { return std::string(info.param.name); });

struct CancelOnWrite {
    DiscHandle other;
};

uint32_t onWrite(uint32_t reason, void* context, void*, void*) {
    if (reason == DISC_CB_WRITE_PROGRESS) Grabber_Cancel(static_cast<CancelOnWrite*>(context)->other);
    return 0;
}

TEST_F(RawImages, FailedOrCancelledSessionWriteLeavesTheMediumAsItWas) {
    put("image.bin", noise(3000 * kRaw, 4));
    put("image.cue", "FILE \"image.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
    DiscHandle g = grabber(kCd);
    const std::string before = mediumBytes("drive1");
    DiscFault fault {DISC_OP_SAO_RAW, DISC_E_MEDIUM_IO, 1200, 0};
    ASSERT_EQ(DiscLayer_InjectFault(kCd.port, kCd.bus, kCd.target, kCd.lun, &fault), 0);
    EXPECT_EQ(sao(g, file("image.cue")), DISC_E_MEDIUM_IO);
    EXPECT_EQ(mediumBytes("drive1"), before);
    EXPECT_EQ(sao(g, file("image.cue"), true), 0) << "a test write";
    EXPECT_EQ(mediumBytes("drive1"), before);
    CancelOnWrite cancel {g};  // the cancel comes through another handle of the drive
    DiscHandle writer = grabber(kCd, onWrite, &cancel);
    EXPECT_EQ(sao(writer, file("image.cue")), DISC_E_CANCELLED);
    EXPECT_EQ(mediumBytes("drive1"), before);

    tool("insert drive0 8");
    put("dvd.cue", "FILE \"image.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
    DiscHandle dvd = grabber(kDvd);
    const std::string dvdBefore = mediumBytes("drive0");
    EXPECT_EQ(sao(dvd, file("dvd.cue")), DISC_E_NOT_SUPPORTED) << "audio on a DVD";
    EXPECT_EQ(mediumBytes("drive0"), dvdBefore);
}

TEST_F(RawImages, ADriveWithoutSessionAtOnceWritesNoImage) {
    const fs::path description = data_ / "VirtualDrives" / "drive1.drive";
    std::string text = readFile(description);
    const size_t at = text.find("write_modes=");
    ASSERT_NE(at, std::string::npos) << text;
    text.replace(at, text.find('\n', at) - at, "write_modes=0x1");  // track-at-once only
    std::ofstream(description, std::ios::binary) << text;
    tool("insert drive1 2");  // the layer reads the drive again
    put("image.bin", noise(300 * kRaw, 2));
    put("image.cue", "FILE \"image.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
    DiscHandle g = grabber(kCd);
    const std::string before = mediumBytes("drive1");
    EXPECT_EQ(sao(g, file("image.cue")), DISC_E_NOT_SUPPORTED);
    EXPECT_EQ(mediumBytes("drive1"), before);
}

// An .iso file goes on as one track padded to whole blocks; one made for the
// start of a disc is refused on a disc that has sessions already.
TEST_F(RawImages, IsoFileTrackIsPaddedAndMustFitItsPlace) {
    const std::string iso = makeIso("made.iso", "MADE");
    put("odd.iso", iso + "tail");
    DiscHandle g = grabber(kCd);
    Frame f;
    ASSERT_EQ(Grabber_TrackAtOnceFromFile(g, GF(f), file("odd.iso").c_str(), 0, 0, 1, 1, 1), 0) << f.text;
    DiscTrackInformation t {};
    ASSERT_EQ(Grabber_GetTrackInformation(g, GF(f), 1, &t), 0);
    EXPECT_EQ(t.trackSize, iso.size() / 2048 + 1);
    std::string written = readFile(exportMedium("drive1"));
    EXPECT_EQ(md5(written), md5(iso + "tail" + std::string(2044, '\0')));
    ASSERT_EQ(closeSession(g), 0);

    const std::string before = mediumBytes("drive1");
    EXPECT_EQ(Grabber_TrackAtOnceFromFile(g, GF(f), file("made.iso").c_str(), 0, 0, 1, 1, 1), DISC_E_WRONG_ADDRESS);
    EXPECT_EQ(mediumBytes("drive1"), before);
}

}  // namespace
}  // namespace disc_test
