#include <gtest/gtest.h>
#include "near_color.h"
#include <shared/colors.h>
#include <shared/drawing.h>

namespace {

struct Hls {
    int h, l, s;
};

Hls Unpack(DWORD hls) { return {HLSHue(hls), HLSLightness(hls), HLSSaturation(hls)}; }

// A 32-bit top-down bitmap in a memory context, filled white.
class Canvas {
public:
    Canvas(int width, int height) : m_width(width)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
        for (int i = 0; i < width * height; ++i) m_bits[i] = 0xFFFFFF;
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC Dc() const { return m_dc; }
    COLORREF Pixel(int x, int y) const
    {
        GdiFlush();
        DWORD p = m_bits[y * m_width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

private:
    int m_width;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    DWORD* m_bits = nullptr;
};

}  // namespace

// Expected values worked from the formulas (single precision, truncated):
// blue is 240 degrees, 240 * 255 / 360 = 170; lightness (255 + 0) / 510 *
// 255 = 127.5 -> 127; red lands on 360 degrees, which is not above 360, so
// 255; (200, 100, 50): 380 - 360 = 20 degrees -> 14, 250 / 510 -> 125,
// 150 / 250 -> 153; yellow ties red and green, green is tested first: 60
// degrees -> 42.
TEST(Colors, RgbToHls)
{
    struct Case {
        COLORREF rgb;
        Hls hls;
    } cases[] = {
        {RGB(0, 0, 255), {170, 127, 255}},   {RGB(255, 0, 0), {255, 127, 255}},
        {RGB(0, 255, 0), {85, 127, 255}},    {RGB(255, 255, 0), {42, 127, 255}},
        {RGB(200, 100, 50), {14, 125, 153}}, {RGB(10, 200, 200), {127, 105, 230}},
        {RGB(0, 0, 0), {0, 0, 0}},           {RGB(255, 255, 255), {0, 255, 0}},
        {RGB(254, 254, 254), {0, 254, 0}},
    };
    for (const Case& c : cases) {
        Hls got = Unpack(RGBToHLS(c.rgb));
        EXPECT_EQ(c.hls.h, got.h) << std::hex << c.rgb;
        EXPECT_EQ(c.hls.l, got.l) << std::hex << c.rgb;
        EXPECT_EQ(c.hls.s, got.s) << std::hex << c.rgb;
    }
}

// Blue back: m2 = 127/255 * 2 = 0.996, m1 = 0, blue = m2 * 255 -> 254.
TEST(Colors, HlsToRgbAndHueToRgb)
{
    struct Case {
        Hls hls;
        COLORREF rgb;
    } cases[] = {
        {{170, 127, 255}, RGB(0, 0, 254)},   {{255, 127, 255}, RGB(254, 0, 0)},
        {{85, 127, 255}, RGB(0, 254, 0)},    {{0, 200, 0}, RGB(200, 200, 200)},
        {{42, 100, 150}, RGB(158, 157, 41)}, {{200, 180, 60}, RGB(187, 162, 197)},
        {{14, 125, 153}, RGB(200, 99, 49)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.rgb, HLSToRGB(PackHLS(c.hls.h, c.hls.l, c.hls.s))) << c.hls.h << "," << c.hls.l << "," << c.hls.s;

    // Rising, flat, falling and low parts, and hues outside 0-360 wrapped.
    struct HueCase {
        float hue;
        int value;
    } hues[] = {{30, 127}, {420, 204}, {-30, 51}, {100, 204}, {200, 153}, {300, 51}};
    for (const HueCase& h : hues) EXPECT_EQ(h.value, HueToRGB(0.2f, 0.8f, h.hue)) << h.hue;
}

TEST(Colors, ShiftMovesLightnessAndSaturation)
{
    struct Case {
        COLORREF rgb;
        int lightness, saturation;
        COLORREF expected;
    } cases[] = {
        {RGB(254, 254, 254), -10, 0, RGB(228, 228, 228)},  // 254 * 90 / 100: a tenth darker, still grey
        {RGB(200, 100, 50), 0, 0, RGB(200, 99, 49)},       // within rounding of the input
        {RGB(200, 100, 50), 20, -50, RGB(181, 140, 120)},
        {RGB(200, 100, 50), -30, 30, RGB(149, 65, 24)},
        {RGB(0, 0, 255), 50, 0, RGB(127, 127, 255)},
        {RGB(0, 0, 255), -100, 0, RGB(0, 0, 0)},
        {RGB(10, 200, 200), 100, 100, RGB(255, 255, 255)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, ShiftColorHLS(c.rgb, c.lightness, c.saturation))
            << std::hex << c.rgb << std::dec << " " << c.lightness << " " << c.saturation;
}

TEST(Drawing, GradientsRunFromTheFirstColourToTheSecond)
{
    Canvas canvas(100, 100);
    ASSERT_TRUE(FillGradientRect(canvas.Dc(), 0, 0, 100, 10, RGB(255, 0, 0), RGB(0, 0, 255), FALSE));
    EXPECT_TRUE(Near(RGB(255, 0, 0), canvas.Pixel(0, 5), 4));
    EXPECT_TRUE(Near(RGB(0, 0, 255), canvas.Pixel(99, 5), 4));
    EXPECT_TRUE(Near(RGB(127, 0, 127), canvas.Pixel(50, 5), 6));
    ASSERT_TRUE(FillGradientRect(canvas.Dc(), 0, 20, 10, 80, RGB(0, 0, 0), RGB(0, 255, 0), TRUE));
    EXPECT_TRUE(Near(RGB(0, 0, 0), canvas.Pixel(5, 20), 4));
    EXPECT_TRUE(Near(RGB(0, 255, 0), canvas.Pixel(5, 99), 4));
    EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(50, 50));  // outside both

    HBITMAP bitmap = nullptr;
    ASSERT_TRUE(CreateGradientBitmap(canvas.Dc(), SIZE{50, 4}, RGB(0, 0, 0), RGB(255, 255, 255), &bitmap, FALSE));
    HDC source = CreateCompatibleDC(canvas.Dc());
    HGDIOBJ old = SelectObject(source, bitmap);
    BitBlt(canvas.Dc(), 0, 60, 50, 4, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    DeleteObject(bitmap);
    EXPECT_TRUE(Near(RGB(0, 0, 0), canvas.Pixel(0, 61), 6));
    EXPECT_TRUE(Near(RGB(255, 255, 255), canvas.Pixel(49, 61), 6));
}

// Everything drawn off screen reaches the target, but only inside the rectangle.
TEST(Drawing, MemoryDcCopiesItsRectangleBack)
{
    Canvas canvas(40, 20);
    RECT rect = {10, 2, 30, 8};
    {
        CMemoryDC memory(canvas.Dc(), &rect);
        RECT all = {0, 0, 40, 20};
        HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
        FillRect(memory, &all, black);
        DeleteObject(black);
        EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(15, 5));  // nothing until it goes
    }
    EXPECT_EQ(RGB(0, 0, 0), canvas.Pixel(10, 2));
    EXPECT_EQ(RGB(0, 0, 0), canvas.Pixel(29, 7));
    EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(9, 5));
    EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(30, 5));
    EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(15, 8));
}

TEST(Drawing, SelectorsDrawWithTheirColourAndRestore)
{
    Canvas canvas(20, 20);
    HGDIOBJ pen = GetCurrentObject(canvas.Dc(), OBJ_PEN);
    HGDIOBJ brush = GetCurrentObject(canvas.Dc(), OBJ_BRUSH);
    {
        CPenSelector penSelector(canvas.Dc(), RGB(0, 255, 0));
        CBrushSelector brushSelector(canvas.Dc(), NO_BRUSH_COLOR);
        Rectangle(canvas.Dc(), 0, 0, 10, 10);
        EXPECT_EQ(RGB(0, 255, 0), canvas.Pixel(0, 0));
        EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(5, 5));  // the null brush leaves the inside
        brushSelector.SetColor(RGB(255, 0, 0));
        penSelector.SetColor(RGB(0, 0, 255));
        Rectangle(canvas.Dc(), 0, 0, 10, 10);
        EXPECT_EQ(RGB(0, 0, 255), canvas.Pixel(0, 0));
        EXPECT_EQ(RGB(255, 0, 0), canvas.Pixel(5, 5));
    }
    EXPECT_EQ(pen, GetCurrentObject(canvas.Dc(), OBJ_PEN));
    EXPECT_EQ(brush, GetCurrentObject(canvas.Dc(), OBJ_BRUSH));
}

namespace {

// A 16 x 16 icon whose middle square (4 to 11) is red and whose border shows
// what lies below: through its mask, or through an alpha channel with an
// all-opaque mask.
HICON MiddleSquareIcon(bool alpha)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    DWORD* bits = nullptr;
    HBITMAP colour = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    WORD maskRows[16];
    for (int y = 0; y < 16; ++y) {
        maskRows[y] = 0;
        for (int x = 0; x < 16; ++x) {
            const bool inside = x >= 4 && x < 12 && y >= 4 && y < 12;
            bits[y * 16 + x] = inside ? (alpha ? 0xFFFF0000 : 0x00FF0000) : 0;
            // Mask rows are big-endian bit strings; 1 lets the background through.
            if (!inside && !alpha) maskRows[y] |= static_cast<WORD>(0x8000 >> x);
        }
        maskRows[y] = static_cast<WORD>(maskRows[y] << 8 | maskRows[y] >> 8);
    }
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, maskRows);
    ICONINFO icon = {TRUE, 0, 0, mask, colour};
    HICON result = CreateIconIndirect(&icon);
    DeleteObject(mask);
    DeleteObject(colour);
    return result;
}

}  // namespace

// The shadow takes the icon's outline, whether a mask or an alpha channel
// gives it.
TEST(Drawing, IconShadowFollowsTheIconsShape)
{
    for (bool alpha : {false, true}) {
        HICON icon = MiddleSquareIcon(alpha);
        ASSERT_TRUE(icon);
        Canvas canvas(20, 20);
        ASSERT_TRUE(DrawIconShadow(canvas.Dc(), 2, 2, icon, 16, RGB(40, 60, 80)));
        EXPECT_EQ(RGB(40, 60, 80), canvas.Pixel(2 + 8, 2 + 8)) << "alpha " << alpha;
        EXPECT_EQ(RGB(40, 60, 80), canvas.Pixel(2 + 4, 2 + 11)) << "alpha " << alpha;
        EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(2 + 1, 2 + 1)) << "alpha " << alpha;
        EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(2 + 12, 2 + 8)) << "alpha " << alpha;
        EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(1, 1)) << "outside the icon";
        DestroyIcon(icon);
    }
}
