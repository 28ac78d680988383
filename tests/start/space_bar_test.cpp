// The space measure bar's painter, read back by pixels from a bitmap: the
// scale chosen for a byte count (its ticks), the used part's end, the size
// text's place, and the clamp of counts and lengths beyond the largest
// scale; and its texts.
#include "space_bar_painter.h"
#include <gtest/gtest.h>

namespace {

const int kWidth = 801;  // (width - 1) = 800: x = 800 x value / maximum
const int kHeight = 36;

class Canvas {
public:
    Canvas()
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    void Paint(const CSpaceBarState& state)
    {
        PaintSpaceBar(m_dc, SIZE{kWidth, kHeight}, state);
        GdiFlush();
    }
    int R(int x, int y) const { return (m_bits[y * kWidth + x] >> 16) & 0xFF; }
    int G(int x, int y) const { return (m_bits[y * kWidth + x] >> 8) & 0xFF; }
    int B(int x, int y) const { return m_bits[y * kWidth + x] & 0xFF; }
    bool Green(int x, int y) const { return G(x, y) > R(x, y) + 40 && G(x, y) > B(x, y) + 40; }
    bool Dark(int x, int y) const { return R(x, y) < 70 && G(x, y) < 70 && B(x, y) < 70; }
    // The x of every dark pixel of a row.
    std::vector<int> DarkInRow(int y) const
    {
        std::vector<int> xs;
        for (int x = 0; x < kWidth; ++x)
            if (Dark(x, y)) xs.push_back(x);
        return xs;
    }
    int DarkIn(int left, int right, int top, int bottom) const
    {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = std::max(0, left); x < std::min(kWidth, right); ++x) count += Dark(x, y);
        return count;
    }

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
};

// The ticks of a scale of `divisions` as the row under the bar shows them.
std::vector<int> Ticks(int divisions)
{
    std::vector<int> xs;
    for (int i = 1; i < divisions; ++i) xs.push_back(800 * i / divisions);
    return xs;
}

struct ScaleCase {
    const char* name;
    ULONGLONG bytes;
    double maximum;  // the scale expected
    int divisions;
};

const double MiB = 1048576.0, GiB = 1073741824.0;

class SpaceBarScales : public testing::TestWithParam<ScaleCase> {};

TEST_P(SpaceBarScales, DrawTheScaleAndTheUsedPartOfTheCount)
{
    const ScaleCase& c = GetParam();
    Canvas canvas;
    canvas.Paint(CSpaceBarState{SPACE_BAR_DATA, c.bytes, 0});
    // Row 19 holds only the ticks: one per inner division.
    EXPECT_EQ(canvas.DarkInRow(19), Ticks(c.divisions)) << c.name;
    const int used = static_cast<int>(800.0 * std::min(static_cast<double>(c.bytes), c.maximum) / c.maximum);
    // The bar's bottom row: green up to the used part's end, not beyond (a
    // mark at the count covers the end itself and the pixel after it).
    if (used >= 3) {
        EXPECT_TRUE(canvas.Green(used - 2, 15)) << c.name << " at " << used - 2;
    }
    if (used + 2 < kWidth) {
        EXPECT_FALSE(canvas.Green(used + 2, 15)) << c.name << " past " << used;
    }
    EXPECT_EQ(DataScaleFor(c.bytes).maximum, c.maximum) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Edges, SpaceBarScales,
    testing::Values(ScaleCase{"empty", 0, 800 * MiB, 16},
                    ScaleCase{"800 MiB", 838860800ULL, 800 * MiB, 16},
                    ScaleCase{"800 MiB + 1", 838860801ULL, 5 * GiB, 10},
                    ScaleCase{"DVD - 1", 4706074623ULL, 5 * GiB, 10},
                    ScaleCase{"DVD", 4706074624ULL, 9 * GiB, 10},
                    ScaleCase{"DVD DL - 1", 8547993599ULL, 9 * GiB, 10},
                    ScaleCase{"DVD DL", 8547993600ULL, 15 * GiB, 15},
                    ScaleCase{"HD DVD - 1", 15076554751ULL, 15 * GiB, 15},
                    ScaleCase{"HD DVD", 15076554752ULL, 26 * GiB, 26},
                    ScaleCase{"BD - 1", 25025314815ULL, 26 * GiB, 26},
                    ScaleCase{"BD", 25025314816ULL, 32 * GiB, 16},
                    ScaleCase{"HD DVD DL - 1", 33259255807ULL, 32 * GiB, 16},
                    ScaleCase{"HD DVD DL", 33259255808ULL, 50 * GiB, 20},
                    ScaleCase{"BD DL - 1", 50050629631ULL, 50 * GiB, 20},
                    // Beyond every capacity: the largest scale, the used part
                    // clamped to the bar's width.
                    ScaleCase{"BD DL", 50050629632ULL, 50 * GiB, 20},
                    ScaleCase{"60 GB", 60000000000ULL, 50 * GiB, 20}),
    [](const testing::TestParamInfo<ScaleCase>& info) { return "case" + std::to_string(info.index); });

struct LengthCase {
    float seconds;
    int used;
};

TEST(SpaceBarAudio, DrawsTheLengthOnTheEightyMinuteScaleClamped)
{
    const LengthCase cases[] = {{0.0f, 0}, {1320.0f, 220}, {4800.0f, 800}, {6000.0f, 800}, {100000.0f, 800}};
    for (const LengthCase& c : cases) {
        Canvas canvas;
        canvas.Paint(CSpaceBarState{SPACE_BAR_AUDIO, 0, c.seconds});
        EXPECT_EQ(canvas.DarkInRow(19), Ticks(16)) << c.seconds;
        if (c.used >= 3) {
            EXPECT_TRUE(canvas.Green(c.used - 2, 15)) << c.seconds;
        }
        if (c.used + 2 < kWidth) {
            EXPECT_FALSE(canvas.Green(c.used + 2, 15)) << c.seconds;
        }
    }
}

TEST(SpaceBarText, IsCentredInALongUsedPartAndFollowsAShortOne)
{
    Canvas canvas;
    canvas.Paint(CSpaceBarState{SPACE_BAR_DATA, 0, 0});
    EXPECT_EQ(canvas.DarkIn(0, kWidth, 0, 15), 0) << "no text for 0 bytes";

    canvas.Paint(CSpaceBarState{SPACE_BAR_DATA, 20 * 1048576ULL, 0});  // 20 px used
    EXPECT_EQ(canvas.DarkIn(0, 20, 0, 15), 0);
    EXPECT_GT(canvas.DarkIn(20, 90, 0, 15), 20);

    canvas.Paint(CSpaceBarState{SPACE_BAR_DATA, 600 * 1048576ULL, 0});  // 600 px used
    EXPECT_GT(canvas.DarkIn(260, 340, 0, 15), 20);
    EXPECT_EQ(canvas.DarkIn(340, kWidth, 0, 15), 0);
}

TEST(SpaceBarText, SizesLengthsAndTheSummary)
{
    EXPECT_EQ(SpaceBarSizeText(999999), "976.6 Kb");
    EXPECT_EQ(SpaceBarSizeText(1000000), "1.0 Mb");
    EXPECT_EQ(SpaceBarSizeText(1073741823), "1024.0 Mb");
    EXPECT_EQ(SpaceBarSizeText(1073741824), "1.0 Gb");
    EXPECT_EQ(SpaceBarSizeText(60000000000ULL), "55.9 Gb");
    EXPECT_EQ(SpaceBarLengthText(125.9f), "02:05");
    EXPECT_EQ(SpaceBarSummary(CSpaceBarState{SPACE_BAR_DATA, 4194304, 0}), "Data size: 4.00 Mb");
    EXPECT_EQ(SpaceBarSummary(CSpaceBarState{SPACE_BAR_AUDIO, 0, 4799.5f}), "Total length: 79:59");
    EXPECT_EQ(SpaceBarSummary(CSpaceBarState{}), "");
}

}  // namespace
