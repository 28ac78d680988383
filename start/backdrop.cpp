#include "backdrop.h"
#include <shared/colors.h>
#include <shared/drawing.h>

void FillBackdrop(HDC dc, const RECT& rect)
{
    const COLORREF white = RGB(254, 254, 254);
    const int width = rect.right - rect.left;
    const int third = rect.bottom / 3;  // of the bottom coordinate, as the rest of the layout counts
    FillGradientRect(dc, rect.left, rect.top, width, third - rect.top, ShiftColorHLS(white, -40, -20), white, TRUE);
    FillGradientRect(dc, rect.left, third, width, rect.bottom - third, white, ShiftColorHLS(white, -10, -20), TRUE);
}
