// Video CD and Super Video CD discs written from a small MPEG program stream
// that the test makes, read back with vcd-info (Debian's vcdimager) and
// libcdio's cd-info.
#include "cd_sector.h"
#include "disc_test_support.h"
#include "../support/mpeg_program_stream.h"

namespace disc_test {
namespace {

constexpr size_t kPack = 2324;

std::string programStream(size_t packs) { return MpegProgramStream(packs); }

struct VcdCase {
    const char* name;
    bool super;
    const char* format;   // as vcd-info names it
    const char* folder;   // the stream's file
};
void PrintTo(const VcdCase& c, std::ostream* os) { *os << c.name; }

class VideoCds : public DiscTest, public ::testing::WithParamInterface<VcdCase> {
protected:
    int write(DiscHandle g, const std::string& stream, bool super, const char* date = "200702030905") {
        Frame f;
        int rc = super ? Grabber_SuperVideoCD(g, GF(f), stream.c_str(), date, 1, 1, 0, 1, 1)
                       : Grabber_VideoCD(g, GF(f), stream.c_str(), date, 1, 1, 0, 1, 1);
        text_ = f.text;
        return rc;
    }
    std::string text_;
};

TEST_P(VideoCds, ReadBackWithTheirFormatFilesAndStream) {
    const VcdCase& c = GetParam();
    const std::string stream = programStream(400);
    const std::string path = writeSource("movie.mpg", stream);
    DiscHandle g = grabber(kCd);
    ASSERT_EQ(write(g, path, c.super), 0) << text_;
    ASSERT_EQ(closeSession(g), 0);
    const std::string base = (root_ / "vcd").string();
    tool("export-raw drive1 " + base);

    const std::string info = run("vcd-info -B -f -T -E -F -I --show-pvd-all --cue-file " + base + ".cue 2>&1");
    EXPECT_NE(info.find(c.format), std::string::npos) << info;
    EXPECT_NE(info.find(c.folder), std::string::npos) << info;
    EXPECT_NE(info.find("CD-RTOS CD-BRIDGE"), std::string::npos) << info;
    EXPECT_NE(info.find("ENTRY[00]: track#  1 (SEQUENCE[0]), LSN    450"), std::string::npos) << info;
    EXPECT_EQ(info.find("error"), std::string::npos) << info;
    const std::string tracks = run("cd-info --no-cddb --no-device-info --cue-file " + base + ".cue");
    EXPECT_NE(tracks.find("2: 00:08:00  000450 XA"), std::string::npos) << tracks;

    // The date text is the volume's creation date; track 2 carries the
    // stream in the Form 2 user data of its sectors.
    const std::string bin = readFile(base + ".bin");
    EXPECT_EQ(bin.substr(16 * 2352 + 24 + 813, 16), "2007020309050000");
    const size_t trackTwo = 450;  // track 1 and the gap
    std::string back;
    for (size_t i = 0; i < 400; ++i) {
        const auto* s = reinterpret_cast<const uint8_t*>(bin.data()) + (trackTwo + i) * 2352;
        ASSERT_TRUE(disc::cd::checkSector(s)) << i;
        ASSERT_TRUE(s[18] & disc::cd::kSubForm2) << i;
        back.append(reinterpret_cast<const char*>(s) + 24, kPack);
    }
    EXPECT_EQ(md5(back), md5(stream));
}

INSTANTIATE_TEST_SUITE_P(Formats, VideoCds,
                         ::testing::Values(VcdCase {"VideoCd", false, "VCD 2.0", "AVSEQ01.DAT"},
                                           VcdCase {"SuperVideoCd", true, "SVCD", "AVSEQ01.MPG"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(VideoCds, OnlyAProgramStreamOnABlankCdIsWritten) {
    const std::string stream = writeSource("movie.mpg", programStream(10));
    const std::string text = writeSource("notes.txt", "no stream");
    DiscHandle g = grabber(kCd);
    std::string before = mediumBytes("drive1");
    EXPECT_EQ(write(g, text, false), DISC_E_BAD_IMAGE);
    EXPECT_EQ(write(g, stream, false, "2007-02-03"), DISC_E_INVALID_ARGUMENT);
    EXPECT_EQ(mediumBytes("drive1"), before);
    DiscHandle t = newTree();
    addFile(t, IsoTree_GetRoot(t), "data.txt", "data");
    ASSERT_EQ(burn(g, t), 0);
    before = mediumBytes("drive1");
    EXPECT_EQ(write(g, stream, true), DISC_E_NOT_WRITABLE);
    EXPECT_EQ(mediumBytes("drive1"), before);
    EXPECT_EQ(write(grabber(kDvd), stream, false), DISC_E_NOT_SUPPORTED);
    for (const auto& entry : fs::directory_iterator(data_ / "VirtualDrives"))
        EXPECT_EQ(entry.path().filename().string().find(".videocd"), std::string::npos)
            << "the build's raw image is removed: " << entry.path();
}

// A sector holds one pack: a stream whose packs are not 2324 bytes long
// would be cut mid-pack into a disc no player reads.
TEST_F(VideoCds, AStreamOfOtherPackSizesIsRefusedUntouched) {
    struct Case {
        const char* name;
        std::string stream;
    };
    std::string shortPacks;
    for (int i = 0; i < 20; ++i) shortPacks += programStream(1).substr(0, 2048);
    const std::string trailing = programStream(10) + std::string(100, '\x55');
    const Case cases[] = {{"packs of 2048 bytes", shortPacks}, {"a piece of a pack after the last", trailing}};
    DiscHandle g = grabber(kCd);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = writeSource("odd.mpg", c.stream);
        const std::string before = mediumBytes("drive1");
        EXPECT_EQ(write(g, path, false), DISC_E_BAD_IMAGE) << text_;
        EXPECT_EQ(mediumBytes("drive1"), before);
    }
}

}  // namespace
}  // namespace disc_test
