#include "space_bar_painter.h"
#include "backdrop.h"
#include <shared/colors.h>
#include <shared/drawing.h>
#include <algorithm>
#include <cstdio>

namespace {

const double MIB = 1048576.0;
const double GIB = 1073741824.0;
const int BAR_HEIGHT = 16;
const COLORREF WHITE_BASE = RGB(254, 254, 254);
const COLORREF USED_COLOR = RGB(64, 255, 0);

const CSpaceBarMark CD_MARKS[] = {
    {202440704.0, RGB(0, 255, 128)}, {688449536.0, RGB(0, 125, 255)}, {736966656.0, RGB(255, 150, 0)}};
const CSpaceBarMark LARGE_MARKS[] = {
    {4706074624.0, RGB(0, 0, 255)},     {8547993600.0, RGB(0, 125, 255)},  {15076554752.0, RGB(0, 255, 125)},
    {25025314816.0, RGB(125, 255, 0)},  {33259255808.0, RGB(255, 125, 0)}, {50050629632.0, RGB(255, 0, 0)}};
const int LARGE_MARK_COUNT = sizeof(LARGE_MARKS) / sizeof(LARGE_MARKS[0]);

// Row 0 the CD scale, then one row per larger capacity mark.
const CSpaceBarScale DATA_SCALES[] = {
    {838860800.0, 16, CD_MARKS, 3},          {5368709120.0, 10, LARGE_MARKS, LARGE_MARK_COUNT},
    {9663676416.0, 10, LARGE_MARKS, LARGE_MARK_COUNT},  {16106127360.0, 15, LARGE_MARKS, LARGE_MARK_COUNT},
    {27917287424.0, 26, LARGE_MARKS, LARGE_MARK_COUNT}, {34359738368.0, 16, LARGE_MARKS, LARGE_MARK_COUNT},
    {53687091200.0, 20, LARGE_MARKS, LARGE_MARK_COUNT}};

const CSpaceBarMark AUDIO_MARKS[] = {
    {1320.0, RGB(0, 255, 128)}, {3902.0, RGB(0, 125, 255)}, {static_cast<double>(4177.8f), RGB(255, 150, 0)}};
const CSpaceBarScale AUDIO_SCALE = {4800.0, 16, AUDIO_MARKS, 3};

std::string Format(const char* format, double value, const char* unit)
{
    char text[64];
    std::snprintf(text, sizeof(text), format, value, unit);
    return text;
}

std::string MinutesSeconds(float seconds)
{
    const int whole = seconds > 0 ? static_cast<int>(seconds) : 0;
    char text[32];
    std::snprintf(text, sizeof(text), "%02i:%02i", whole / 60, whole % 60);
    return text;
}

// The top third from the base shifted by (-10, -20) to the base, the rest
// from the base to the base shifted by (-50, -20).
void FillTwoStepGradient(HDC dc, const RECT& rc, COLORREF base)
{
    const int third = (rc.bottom - rc.top) / 3;
    FillGradientRect(dc, rc.left, rc.top, rc.right - rc.left, third, ShiftColorHLS(base, -10, -20), base, TRUE);
    FillGradientRect(dc, rc.left, rc.top + third, rc.right - rc.left, rc.bottom - rc.top - third, base,
                     ShiftColorHLS(base, -50, -20), TRUE);
}

void FillSolid(HDC dc, int left, int top, int right, int bottom, COLORREF color)
{
    RECT rc = {left, top, right, bottom};
    HBRUSH brush = ::CreateSolidBrush(color);
    ::FillRect(dc, &rc, brush);
    ::DeleteObject(brush);
}

void DrawCentredText(HDC dc, const std::string& text, int x, int y)
{
    SIZE extent = {};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    ::TextOutA(dc, x - extent.cx / 2, y - extent.cy / 2, text.c_str(), static_cast<int>(text.size()));
}

void DrawScale(HDC dc, int width, const CSpaceBarScale& scale, bool audio)
{
    const double step = scale.maximum / scale.divisions;
    for (int i = 1; i < scale.divisions; ++i) {
        const int x = ScaleX(width, i * step, scale.maximum);
        FillSolid(dc, x, 18, x + 1, i % 2 ? 26 : 21, RGB(0, 0, 0));
        if (i % 2) continue;
        std::string label;
        if (audio)
            label = Format("%2.0f:00", i * step / 60.0, "");
        else if (scale.maximum <= DATA_SCALES[0].maximum)
            label = Format("%.0f %s", i * step / MIB, "Mb");
        else
            label = Format("%.0f %s", i * step / GIB, "Gb");
        DrawCentredText(dc, label, x, 27);
    }
}

void DrawUsedText(HDC dc, const std::string& text, int used)
{
    SIZE extent = {};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    const int x = extent.cx < used - 8 ? (used - extent.cx) / 2 : used;
    const int y = (BAR_HEIGHT - extent.cy) / 2;
    ::SetTextColor(dc, RGB(255, 255, 255));
    ::TextOutA(dc, x + 1, y + 1, text.c_str(), static_cast<int>(text.size()));
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

}  // namespace

const CSpaceBarScale& DataScaleFor(ULONGLONG bytes)
{
    if (bytes <= 838860800ULL) return DATA_SCALES[0];
    for (int i = 0; i < LARGE_MARK_COUNT; ++i)
        if (LARGE_MARKS[i].position > static_cast<double>(bytes)) return DATA_SCALES[i + 1];
    return DATA_SCALES[LARGE_MARK_COUNT];  // beyond every capacity: the largest scale, clamped
}

const CSpaceBarScale& AudioScale() { return AUDIO_SCALE; }

int ScaleX(int width, double value, double maximum)
{
    if (width <= 1 || value <= 0) return 0;
    const double x = (width - 1) * std::min(value, maximum) / maximum;
    return static_cast<int>(x);
}

std::string SpaceBarSizeText(ULONGLONG bytes)
{
    if (bytes < 1000000ULL) return Format("%.1f %s", bytes / 1024.0, "Kb");
    if (bytes < 1073741824ULL) return Format("%.1f %s", bytes / MIB, "Mb");
    return Format("%.1f %s", bytes / GIB, "Gb");
}

std::string SpaceBarLengthText(float seconds) { return MinutesSeconds(seconds); }

std::string SpaceBarSummary(const CSpaceBarState& state)
{
    if (state.mode == SPACE_BAR_DATA)
        return Format("Data size: %.2f %s", static_cast<float>(state.bytes) / 1048576.0f, "Mb");
    if (state.mode == SPACE_BAR_AUDIO) return "Total length: " + MinutesSeconds(state.seconds);
    return std::string();
}

void PaintSpaceBar(HDC dc, SIZE size, const CSpaceBarState& state)
{
    CPenSelector pen(dc, ::GetSysColor(COLOR_BTNFACE));
    CBrushSelector brush(dc, ::GetSysColor(COLOR_BTNFACE));
    FillBackdrop(dc, RECT{0, 0, size.cx, size.cy});
    if (state.mode != SPACE_BAR_DATA && state.mode != SPACE_BAR_AUDIO) return;
    const bool audio = state.mode == SPACE_BAR_AUDIO;
    const CSpaceBarScale& scale = audio ? AudioScale() : DataScaleFor(state.bytes);
    const double value = audio ? state.seconds : static_cast<double>(state.bytes);

    const RECT bar = {0, 0, size.cx, BAR_HEIGHT};
    FillTwoStepGradient(dc, bar, WHITE_BASE);
    FillSolid(dc, 0, BAR_HEIGHT, size.cx, BAR_HEIGHT + 2, RGB(0, 0, 0));

    HGDIOBJ oldFont = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(0, 0, 0));
    DrawScale(dc, size.cx, scale, audio);

    const int used = ScaleX(size.cx, value, scale.maximum);
    if (used > 0) FillTwoStepGradient(dc, RECT{0, 0, used, BAR_HEIGHT}, USED_COLOR);
    for (int i = 0; i < scale.markCount; ++i) {
        if (scale.marks[i].position > scale.maximum) continue;
        const int x = ScaleX(size.cx, scale.marks[i].position, scale.maximum);
        FillSolid(dc, x, 0, x + 2, BAR_HEIGHT, scale.marks[i].color);
    }
    if (audio ? value > 0 : state.bytes != 0)
        DrawUsedText(dc, audio ? SpaceBarLengthText(state.seconds) : SpaceBarSizeText(state.bytes), used);
    ::SelectObject(dc, oldFont);
}
