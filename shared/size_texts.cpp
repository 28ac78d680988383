#include "size_texts.h"

namespace {

// The decimal digits with a blank before every group of three from the
// right (`groups` false: before the last three only).
std::string Grouped(LONGLONG value, bool groups)
{
    std::string digits = std::to_string(value);
    const size_t first = digits[0] == '-' ? 1 : 0;
    for (size_t end = digits.size(); end > first + 3; end -= 3) {
        digits.insert(end - 3, 1, ' ');
        if (!groups) break;
    }
    return digits;
}

}  // namespace

std::string FormatSizeShort(LONGLONG bytes, const std::string& unit1, const std::string& unit2)
{
    int divisions = 0;
    while (divisions < 2 && bytes > 1024) {
        bytes /= 1024;
        ++divisions;
    }
    std::string text = Grouped(bytes, false);
    if (divisions == 1) text += " " + unit1;
    if (divisions == 2) text += " " + unit2;
    return text;
}

std::string FormatSizeLong(LONGLONG bytes, const std::string& unit1, const std::string& unit2)
{
    return Grouped(bytes, true) + " (" + FormatSizeShort(bytes, unit1, unit2) + ")";
}
