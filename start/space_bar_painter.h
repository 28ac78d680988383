// What the space measure bar draws: the scales, their capacity marks and
// the painting of one state into a device context of a given size, so that
// a test can paint into a bitmap and read the pixels.
#pragma once
#include <windows.h>
#include <string>

enum SPACE_BAR_MODE { SPACE_BAR_EMPTY = 0, SPACE_BAR_DATA = 1, SPACE_BAR_AUDIO = 2 };

struct CSpaceBarState {
    int mode = SPACE_BAR_EMPTY;
    ULONGLONG bytes = 0;
    float seconds = 0;
};

struct CSpaceBarMark {
    double position;  // bytes or seconds
    COLORREF color;
};

struct CSpaceBarScale {
    double maximum;  // bytes or seconds
    int divisions;
    const CSpaceBarMark* marks;
    int markCount;
};

// The data scale for a byte count: the 800 MiB scale up to its maximum,
// else the scale of the first larger capacity above the count; counts above
// the largest capacity keep the largest scale.
const CSpaceBarScale& DataScaleFor(ULONGLONG bytes);
const CSpaceBarScale& AudioScale();

// The x of `value` on a scale drawn over `width` pixels: (width - 1) x
// value / maximum, at most width - 1.
int ScaleX(int width, double value, double maximum);

// The text in the bar: "976.6 Kb" below 1,000,000 bytes, then Mb, then Gb;
// "mm:ss" for a length.
std::string SpaceBarSizeText(ULONGLONG bytes);
std::string SpaceBarLengthText(float seconds);
// The tooltip: "Data size: %.2f Mb" or "Total length: %02i:%02i"; empty
// before the first report.
std::string SpaceBarSummary(const CSpaceBarState& state);

// Paints the whole bar (`size` from the origin) for `state`.
void PaintSpaceBar(HDC dc, SIZE size, const CSpaceBarState& state);
