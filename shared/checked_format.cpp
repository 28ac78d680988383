#include "checked_format.h"
#include <cstring>

namespace {

// The kind of value a conversion reads: signed and unsigned integers,
// doubles, texts, characters and pointers, each with its size modifier.
std::string Kind(const std::string& length, char conversion)
{
    switch (conversion) {
    case 'd': case 'i': return length + "i";
    case 'u': case 'o': case 'x': case 'X': return length + "u";
    case 'e': case 'E': case 'f': case 'F': case 'g': case 'G': case 'a': case 'A': return length + "f";
    case 's': case 'S': return length + "s";
    case 'c': case 'C': return length + "c";
    case 'p': return "p";
    default: return std::string();
    }
}

}  // namespace

std::vector<std::string> FormatConversions(const std::string& format)
{
    const std::vector<std::string> invalid{"!"};
    std::vector<std::string> kinds;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        if (++i >= format.size()) return invalid;
        if (format[i] == '%') continue;
        while (i < format.size() && std::strchr("-+ #0", format[i])) ++i;
        for (int part = 0; part < 2 && i < format.size(); ++part) {  // width, then precision
            if (part == 1) {
                if (format[i] != '.') break;
                ++i;
            }
            if (i < format.size() && format[i] == '*') {
                kinds.push_back("i");
                ++i;
            } else {
                while (i < format.size() && format[i] >= '0' && format[i] <= '9') ++i;
            }
        }
        std::string length;
        static const char* const modifiers[] = {"I64", "I32", "ll", "hh", "h", "l", "L", "I", "j", "z", "t", "w"};
        for (const char* modifier : modifiers) {
            if (format.compare(i, std::strlen(modifier), modifier) == 0) {
                length = modifier;
                i += length.size();
                break;
            }
        }
        const std::string kind = i < format.size() ? Kind(length, format[i]) : std::string();
        if (kind.empty()) return invalid;
        kinds.push_back(kind);
    }
    return kinds;
}

const std::string& CheckedFormat(const std::string& translated, const std::string& builtin)
{
    const std::vector<std::string> expected = FormatConversions(builtin);
    return FormatConversions(translated) == expected ? translated : builtin;
}
