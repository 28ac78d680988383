#include "colors.h"
#include <algorithm>

namespace {

BYTE ToByte(float value)
{
    return static_cast<BYTE>(std::min(255, std::max(0, static_cast<int>(value))));
}

int ShiftByte(int value, int percent)
{
    if (percent > 0) return value + (255 - value) * percent / 100;
    if (percent < 0) return value * (percent + 100) / 100;
    return value;
}

}  // namespace

DWORD RGBToHLS(COLORREF rgb)
{
    const int r = GetRValue(rgb), g = GetGValue(rgb), b = GetBValue(rgb);
    const int high = std::max({r, g, b}), low = std::min({r, g, b});
    const float l = static_cast<float>(high + low) / 510.0f;
    if (high == low) return PackHLS(0, ToByte(l * 255.0f), 0);

    const float delta = static_cast<float>(high - low);
    const float s = l <= 0.5f ? delta / static_cast<float>(high + low)
                              : delta / static_cast<float>(510 - high - low);
    const float dr = static_cast<float>(high - r) / delta;
    const float dg = static_cast<float>(high - g) / delta;
    const float db = static_cast<float>(high - b) / delta;
    // Blue first, then green: that order decides ties.
    float h;
    if (b == high)
        h = (4.0f + dg - dr) * 60.0f;
    else if (g == high)
        h = (2.0f + dr - db) * 60.0f;
    else
        h = (6.0f + db - dg) * 60.0f;
    if (h > 360.0f) h -= 360.0f;
    return PackHLS(ToByte(h * 255.0f / 360.0f), ToByte(l * 255.0f), ToByte(s * 255.0f));
}

int HueToRGB(float m1, float m2, float hue)
{
    if (hue > 360.0f)
        hue -= 360.0f;
    else if (hue < 0.0f)
        hue += 360.0f;
    float value;
    if (hue < 60.0f)
        value = m1 + (m2 - m1) * hue / 60.0f;
    else if (hue < 180.0f)
        value = m2;
    else if (hue < 240.0f)
        value = m1 + (m2 - m1) * (240.0f - hue) / 60.0f;
    else
        value = m1;
    return ToByte(value * 255.0f);
}

COLORREF HLSToRGB(DWORD hls)
{
    const BYTE lightness = HLSLightness(hls), saturation = HLSSaturation(hls);
    if (saturation == 0) return RGB(lightness, lightness, lightness);
    const float s = saturation / 255.0f, l = lightness / 255.0f;
    const float m2 = l > 0.5f ? l + s - l * s : l * (1.0f + s);
    const float m1 = 2.0f * l - m2;
    const float h = HLSHue(hls) * 360.0f / 255.0f;
    return RGB(HueToRGB(m1, m2, h + 120.0f), HueToRGB(m1, m2, h), HueToRGB(m1, m2, h - 120.0f));
}

COLORREF ShiftColorHLS(COLORREF rgb, int lightnessPercent, int saturationPercent)
{
    const DWORD hls = RGBToHLS(rgb);
    return HLSToRGB(PackHLS(HLSHue(hls), static_cast<BYTE>(ShiftByte(HLSLightness(hls), lightnessPercent)),
                            static_cast<BYTE>(ShiftByte(HLSSaturation(hls), saturationPercent))));
}
