// Whether two colours are the same to within `tolerance` in each of red,
// green and blue: what the display shows is compared with what a window
// means to draw, give or take the display's rounding.
#pragma once
#include <windows.h>
#include <cstdlib>

inline bool Near(COLORREF a, COLORREF b, int tolerance = 8)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}
