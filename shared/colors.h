// Colours in the HLS space, where owner-drawn parts derive their shades
// from a few base colours by moving lightness and saturation.
//
// Packed HLS: byte 0 hue (0-255 for 0-360 degrees), byte 1 lightness,
// byte 2 saturation, each 0-255. The conversions use single-precision
// arithmetic and truncate, so a round trip may lose a step.
#pragma once
#include <windows.h>

DWORD RGBToHLS(COLORREF rgb);
COLORREF HLSToRGB(DWORD hls);
// One channel, 0-255, for a hue in degrees between the two magnitudes.
int HueToRGB(float m1, float m2, float hue);
// Moves lightness and saturation by -100 to 100 percent: towards 255 when
// positive, towards 0 when negative; the hue stays.
COLORREF ShiftColorHLS(COLORREF rgb, int lightnessPercent, int saturationPercent);

inline DWORD PackHLS(BYTE hue, BYTE lightness, BYTE saturation)
{
    return hue | (static_cast<DWORD>(lightness) << 8) | (static_cast<DWORD>(saturation) << 16);
}
inline BYTE HLSHue(DWORD hls) { return static_cast<BYTE>(hls); }
inline BYTE HLSLightness(DWORD hls) { return static_cast<BYTE>(hls >> 8); }
inline BYTE HLSSaturation(DWORD hls) { return static_cast<BYTE>(hls >> 16); }
