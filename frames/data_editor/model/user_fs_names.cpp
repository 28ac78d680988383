#include "user_fs_names.h"
#include <cstring>

namespace {

// The byte length of the character at `pos`: 2 for a lead byte with its
// trail, else 1 (a lead byte at the very end stands alone).
size_t CharLength(const std::string& text, size_t pos, UINT codePage)
{
    if (pos + 1 < text.size() && IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[pos]))) return 2;
    return 1;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool IsReserved(const std::string& lower)
{
    static const char* const names[] = {"con", "prn", "aux", "clock$", "nul"};
    auto matches = [&](const std::string& reserved) {
        return lower == reserved ||
               (lower.size() > reserved.size() && lower.compare(0, reserved.size(), reserved) == 0 &&
                lower[reserved.size()] == '.');
    };
    for (const char* name : names)
        if (matches(name)) return true;
    for (char digit = '1'; digit <= '9'; ++digit)
        if (matches(std::string("com") + digit) || matches(std::string("lpt") + digit)) return true;
    return false;
}

}  // namespace

std::string TrimName(const std::string& name, UINT codePage)
{
    size_t start = 0;
    while (start < name.size() && name[start] == ' ') ++start;
    size_t end = start;
    for (size_t pos = start; pos < name.size();) {
        const size_t length = CharLength(name, pos, codePage);
        if (length == 2 || (name[pos] != ' ' && name[pos] != '.')) end = pos + length;
        pos += length;
    }
    return name.substr(start, end - start);
}

int ValidateFileName(const std::string& name, UINT codePage)
{
    std::string lower;
    for (size_t pos = 0; pos < name.size();) {
        const size_t length = CharLength(name, pos, codePage);
        if (length == 1) {
            const BYTE c = static_cast<BYTE>(name[pos]);
            if (c < 32 || std::strchr("*\\/?><:\"|", c)) return NAME_ILLEGAL_CHARACTER;
            lower += LowerAscii(char(c));
        } else {
            lower.append(name, pos, 2);
        }
        pos += length;
    }
    const std::string trimmed = TrimName(lower, codePage);
    if (trimmed.empty() || trimmed[0] == '.') return NAME_REQUIRED;
    if (IsReserved(trimmed)) return NAME_RESERVED;
    if (trimmed.size() > MAX_NAME_BYTES) return NAME_TOO_LONG;
    return NAME_VALID;
}

std::string FileNameOfPath(const std::string& path, UINT codePage)
{
    // `end` follows the last character that is no separator; the name
    // starts after the last separator before it.
    size_t start = 0, end = 0, separatorEnd = 0;
    for (size_t pos = 0; pos < path.size();) {
        const size_t length = CharLength(path, pos, codePage);
        if (length == 1 && path[pos] == '\\') {
            separatorEnd = pos + 1;
        } else {
            start = separatorEnd > end ? separatorEnd : start;
            end = pos + length;
        }
        pos += length;
    }
    return path.substr(start, end - start);
}

std::string CutToBytes(const std::string& text, size_t bytes, UINT codePage)
{
    size_t end = 0;
    while (end < text.size()) {
        const size_t length = CharLength(text, end, codePage);
        if (end + length > bytes) break;
        end += length;
    }
    return text.substr(0, end);
}

std::string FoldCase(const std::string& name, UINT codePage)
{
    if (name.empty()) return name;
    std::wstring wide(name.size(), L'\0');
    const int n = MultiByteToWideChar(codePage, 0, name.data(), int(name.size()), &wide[0], int(wide.size()));
    if (n <= 0) return name;
    wide.resize(size_t(n));
    CharUpperBuffW(&wide[0], DWORD(wide.size()));
    // The folded text as UTF-8: one spelling for each folded name.
    std::string folded(wide.size() * 3, '\0');
    const int m = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), &folded[0], int(folded.size()),
                                      nullptr, nullptr);
    folded.resize(m > 0 ? size_t(m) : 0);
    return folded;
}

int CompareNoCase(const std::string& a, const std::string& b)
{
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const BYTE x = static_cast<BYTE>(LowerAscii(a[i])), y = static_cast<BYTE>(LowerAscii(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool EqualNoCase(const std::string& a, const std::string& b) { return FoldCase(a) == FoldCase(b); }
