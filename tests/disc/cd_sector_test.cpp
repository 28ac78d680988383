// Raw CD sectors checked against the code's definition rather than against the
// encoder: the EDC as a bitwise CRC, and the P and Q parity through their
// syndromes, which are zero for every column and diagonal of a right sector.
#include "cd_sector.h"
#include "cue_sheet.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using namespace disc;

struct Gf {
    uint8_t exp[512], log[256];
    Gf() {
        uint32_t x = 1;
        for (int i = 0; i < 255; ++i) {
            exp[i] = exp[i + 255] = uint8_t(x);
            log[x] = uint8_t(i);
            x <<= 1;
            if (x & 0x100) x ^= 0x11D;
        }
    }
    uint8_t mul(uint8_t a, uint8_t b) const { return a && b ? exp[log[a] + log[b]] : 0; }
    uint8_t pow(int n) const { return exp[n % 255]; }
};

uint32_t bitwiseEdc(const uint8_t* p, size_t n) {
    uint32_t crc = 0;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int b = 0; b < 8; ++b) crc = crc & 1 ? (crc >> 1) ^ 0xD8018001u : crc >> 1;
    }
    return crc;
}

uint32_t le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

// Zero syndromes of the (26,24) P code over the columns and the (45,43) Q
// code over the diagonals, each byte of a 16-bit word apart.
bool parityHolds(std::vector<uint8_t> s, bool zeroAddress) {
    static const Gf gf;
    if (zeroAddress) std::fill(s.begin() + 12, s.begin() + 16, 0);
    const uint8_t* v = s.data() + 12;
    auto word = [&](uint32_t w, int b) { return v[2 * w + b]; };
    for (int b = 0; b < 2; ++b) {
        for (uint32_t c = 0; c < 43; ++c) {
            uint8_t s0 = 0, s1 = 0;
            for (int i = 0; i < 26; ++i) {
                uint8_t x = word(43 * i + c, b);
                s0 ^= x;
                s1 ^= gf.mul(x, gf.pow(25 - i));
            }
            if (s0 || s1) return false;
        }
        for (uint32_t d = 0; d < 26; ++d) {
            uint8_t s0 = 0, s1 = 0;
            for (int i = 0; i < 45; ++i) {
                uint32_t w = i < 43 ? (43 * d + 44 * i) % 1118 : 1118 + d + (i - 43) * 26;
                uint8_t x = word(w, b);
                s0 ^= x;
                s1 ^= gf.mul(x, gf.pow(44 - i));
            }
            if (s0 || s1) return false;
        }
    }
    return true;
}

enum class Kind { Mode1, Form1, Form2 };
struct SectorCase {
    const char* name;
    Kind kind;
    uint32_t lba;
    const char* msf;  // header address, BCD as text
};
void PrintTo(const SectorCase& c, std::ostream* os) { *os << c.name; }

class CdSectors : public ::testing::TestWithParam<SectorCase> {};

TEST_P(CdSectors, CarryHeaderEdcAndParityOfTheirKind) {
    const SectorCase& c = GetParam();
    std::mt19937 rng(c.lba + 7);
    std::vector<uint8_t> data(cd::kForm2Data), s(cd::kRawSector);
    for (uint8_t& b : data) b = uint8_t(rng());
    cd::XaSubheader sub;
    sub.file = 1;
    sub.channel = 2;
    if (c.kind == Kind::Mode1) cd::encodeMode1(c.lba, data.data(), s.data());
    if (c.kind == Kind::Form1) cd::encodeMode2Form1(c.lba, sub, data.data(), s.data());
    if (c.kind == Kind::Form2) cd::encodeMode2Form2(c.lba, sub, data.data(), s.data());

    ASSERT_TRUE(cd::hasSync(s.data()));
    char msf[16];
    std::snprintf(msf, sizeof msf, "%02x:%02x:%02x", s[12], s[13], s[14]);
    EXPECT_STREQ(msf, c.msf);
    EXPECT_EQ(cd::headerLba(s.data()), c.lba);
    EXPECT_EQ(s[15], c.kind == Kind::Mode1 ? 1 : 2);
    if (c.kind == Kind::Mode1) {
        EXPECT_EQ(le32(&s[2064]), bitwiseEdc(s.data(), 2064));
        EXPECT_TRUE(parityHolds(s, false));
        EXPECT_TRUE(std::equal(data.begin(), data.begin() + 2048, s.begin() + 16));
    } else {
        EXPECT_EQ(s[16], 1);
        EXPECT_EQ(s[17], 2);
        EXPECT_TRUE(std::equal(s.begin() + 16, s.begin() + 20, s.begin() + 20)) << "subheader twice";
        const bool form2 = c.kind == Kind::Form2;
        EXPECT_EQ((s[18] & cd::kSubForm2) != 0, form2);
        if (form2) {
            EXPECT_EQ(le32(&s[2348]), bitwiseEdc(&s[16], 2332));
        } else {
            EXPECT_EQ(le32(&s[2072]), bitwiseEdc(&s[16], 2056));
            EXPECT_TRUE(parityHolds(s, true));
        }
    }
    EXPECT_TRUE(cd::checkSector(s.data()));
    s[600] ^= 1;
    EXPECT_FALSE(cd::checkSector(s.data())) << "a flipped bit goes unnoticed";
    s[600] ^= 1;
    uint8_t cooked[2048];
    EXPECT_EQ(cd::cookedData(s.data(), cooked), c.kind != Kind::Form2);
}

INSTANTIATE_TEST_SUITE_P(Kinds, CdSectors,
                         ::testing::Values(SectorCase {"Mode1AtZero", Kind::Mode1, 0, "00:02:00"},
                                           SectorCase {"Mode1LateOnTheDisc", Kind::Mode1, 359847, "79:59:72"},
                                           SectorCase {"Form1", Kind::Form1, 4350, "01:00:00"},
                                           SectorCase {"Form2", Kind::Form2, 16, "00:02:16"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CueSheetText, ReadsTracksIndexesGapsSessionsAndOurRemarks) {
    const char* text =
        "\xEF\xBB\xBFREM a comment\r\n"
        "REM MEDIUM 2\r\n"
        "REM DISC APPENDABLE\r\n"
        "FILE \"my disc.bin\" BINARY\r\n"
        "  TRACK 01 MODE1/2352\r\n"
        "    TITLE \"whatever\"\r\n"
        "    INDEX 01 00:00:00\r\n"
        "  TRACK 02 AUDIO\r\n"
        "    PREGAP 00:02:00\r\n"
        "    INDEX 01 01:00:00\r\n"
        "REM SESSION 02\n"
        "FILE \"b.bin\" binary\n"
        "  track 03 mode2/2352\n"
        "    REM LBA 20000\n"
        "    REM BLOCKS 300\n"
        "    INDEX 00 00:00:00\n"
        "    INDEX 01 00:02:00\n"
        "    INDEX 02 00:03:00\n";
    CueSheet sheet;
    ASSERT_FALSE(parseCueSheet(text, sheet)) << "a good sheet refused";
    ASSERT_EQ(sheet.tracks.size(), 3u);
    EXPECT_EQ(sheet.files, (std::vector<std::string> {"my disc.bin", "b.bin"}));
    EXPECT_EQ(sheet.mediumType, 2u);
    EXPECT_TRUE(sheet.appendable);
    const CueTrack &a = sheet.tracks[0], &b = sheet.tracks[1], &c = sheet.tracks[2];
    EXPECT_EQ(a.mode, CueMode::Mode1Raw);
    EXPECT_EQ(b.mode, CueMode::Audio);
    EXPECT_EQ(b.pregap, 150u);
    EXPECT_EQ(b.index1, 4500u);
    EXPECT_EQ(b.session, 1u);
    EXPECT_EQ(c.session, 2u);
    EXPECT_EQ(c.file, 1u);
    EXPECT_EQ(c.index0, 0);
    EXPECT_EQ(c.index1, 150u);
    EXPECT_EQ(c.lba, 20000);
    EXPECT_EQ(c.blocks, 300);

    CueSheet again;
    ASSERT_FALSE(parseCueSheet(renderCueSheet(sheet, true), again));
    ASSERT_EQ(again.tracks.size(), 3u);
    EXPECT_EQ(again.tracks[2].lba, 20000);
    EXPECT_EQ(again.tracks[1].pregap, 150u);
    EXPECT_EQ(again.files, sheet.files);
}

TEST(CueSheetText, RefusesWhatItDoesNotTake) {
    const std::string file = "FILE \"a.bin\" BINARY\n";
    const std::string track = file + "TRACK 01 MODE1/2352\n";
    const struct { const char* name; std::string text; } cases[] = {
        {"empty", ""},
        {"no track", file},
        {"track before file", "TRACK 01 AUDIO\nINDEX 01 00:00:00\n"},
        {"wave file", "FILE \"a.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"},
        {"mode 2 form-less", file + "TRACK 01 MODE2/2336\nINDEX 01 00:00:00\n"},
        {"cd+g", file + "TRACK 01 CDG\nINDEX 01 00:00:00\n"},
        {"no index 1", track + "INDEX 00 00:00:00\n"},
        {"index 0 after 1", track + "INDEX 01 00:02:00\nINDEX 00 00:03:00\n"},
        {"seconds of 60", track + "INDEX 01 00:60:00\n"},
        {"frames of 75", track + "INDEX 01 00:00:75\n"},
        {"msf with letters", track + "INDEX 01 0a:00:00\n"},
        {"huge number", track + "INDEX 01 99999999999:00:00\n"},
        {"track 0", file + "TRACK 00 AUDIO\nINDEX 01 00:00:00\n"},
        {"track 100", file + "TRACK 100 AUDIO\nINDEX 01 00:00:00\n"},
        {"tracks skip", track + "INDEX 01 00:00:00\nTRACK 03 AUDIO\nINDEX 01 00:10:00\n"},
        {"tracks overlap", track + "INDEX 01 00:10:00\nTRACK 02 AUDIO\nINDEX 01 00:05:00\n"},
        {"session goes back", "REM SESSION 02\n" + track + "INDEX 01 00:00:00\nREM SESSION 01\n"},
        {"postgap", track + "INDEX 01 00:00:00\nPOSTGAP 00:02:00\n"},
        {"unknown command", track + "INDEX 01 00:00:00\nFROBNICATE\n"},
        {"open quote", "FILE \"a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"},
        {"long line", track + "INDEX 01 00:00:00\nREM " + std::string(2000, 'x') + "\n"},
        {"nul byte", track + std::string("INDEX 01 00:00:00\n\0", 19)},
        {"huge sheet", track + "INDEX 01 00:00:00\n" + std::string(300 * 1024, '\n')},
    };
    for (const auto& c : cases) {
        CueSheet sheet;
        EXPECT_EQ(parseCueSheet(c.text, sheet).code, DISC_E_BAD_IMAGE) << c.name;
    }
}

}  // namespace
