#include "xml_file.h"
#include <cstdio>
#include <cstring>

std::string FormatXmlDword(unsigned long value)
{
    char text[64];
    std::snprintf(text, sizeof(text), "%d", static_cast<int>(value));
    return text;
}

std::string FormatXmlDouble(double value)
{
    char text[128];
    std::snprintf(text, sizeof(text), "%e", value);
    std::string s = text;
    // The C runtime here prints at least two exponent digits; the format
    // has three.
    std::size_t e = s.find_first_of("eE");
    if (e != std::string::npos && e + 1 < s.size() && (s[e + 1] == '+' || s[e + 1] == '-')) {
        std::size_t digits = s.size() - (e + 2);
        if (digits < 3) s.insert(e + 2, 3 - digits, '0');
    }
    return s;
}

namespace {

const char kUtf8Mark[] = "\xEF\xBB\xBF";

bool IsAsciiLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool StartsName(unsigned char c) { return c >= 127 || IsAsciiLetter(c) || c == '_'; }

bool ContinuesName(unsigned char c)
{
    return StartsName(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':';
}

// UTF-8 text as ANSI text of the system code page.
std::string AnsiFromUtf8(const std::string& utf8)
{
    if (utf8.empty()) return std::string();
    const int size = static_cast<int>(utf8.size());
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(wideLength, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, &wide[0], wideLength);
    const int ansiLength = WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string ansi(ansiLength, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, &ansi[0], ansiLength, nullptr, nullptr);
    return ansi;
}

// Line ends as TinyXML's own file loading leaves them: CR LF and CR become LF.
std::string WithNewlines(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            out += text[i];
        } else {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        }
    }
    return out;
}

// Reads the rest of `file`; false on a read error.
bool ReadRest(FILE* file, std::string* text)
{
    char block[4096];
    std::size_t n;
    while ((n = std::fread(block, 1, sizeof(block), file)) > 0) text->append(block, n);
    return !std::ferror(file);
}

// Skips from `at` past the first `end`; the text's end when there is none.
std::size_t After(const std::string& text, std::size_t at, const char* end)
{
    const std::size_t found = text.find(end, at);
    return found == std::string::npos ? text.size() : found + std::strlen(end);
}

// The end of the start tag at `at` (just past its '>'), quoted values
// skipped; `empty` tells whether it closed itself ("/>").
std::size_t EndOfStartTag(const std::string& text, std::size_t at, bool* empty)
{
    char quote = 0;
    for (std::size_t i = at; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            *empty = i > at && text[i - 1] == '/';
            return i + 1;
        }
    }
    *empty = true;
    return text.size();
}

}  // namespace

bool NestsWithin(const std::string& text, std::size_t limit)
{
    std::size_t depth = 0;
    for (std::size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at)) {
        if (text.compare(at, 4, "<!--") == 0) {
            at = After(text, at + 4, "-->");
        } else if (text.compare(at, 9, "<![CDATA[") == 0) {
            at = After(text, at + 9, "]]>");
        } else if (text.compare(at, 2, "<?") == 0 || text.compare(at, 2, "<!") == 0) {
            at = After(text, at + 2, ">");
        } else if (text.compare(at, 2, "</") == 0) {
            if (depth > 0) --depth;
            at = After(text, at + 2, ">");
        } else {
            bool empty = false;
            at = EndOfStartTag(text, at + 1, &empty);
            if (!empty && ++depth > limit) return false;
        }
    }
    return true;
}

bool IsXmlName(const std::string& name)
{
    if (name.empty() || !StartsName(static_cast<unsigned char>(name[0]))) return false;
    for (unsigned char c : name)
        if (!ContinuesName(c)) return false;
    return true;
}

XmlLoad LoadXmlFile(TiXmlDocument& doc, const std::string& path)
{
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
        GetLastError() == ERROR_FILE_NOT_FOUND)
        return XmlLoad::Missing;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return XmlLoad::Unopenable;
    std::string text;
    const bool read = ReadRest(file, &text);
    std::fclose(file);
    if (!read) return XmlLoad::Unparsable;
    const bool utf8 = text.compare(0, sizeof(kUtf8Mark) - 1, kUtf8Mark) == 0;
    if (utf8) text = AnsiFromUtf8(text.substr(sizeof(kUtf8Mark) - 1));
    // The parser and every reader of the tree recurse once per level.
    if (!NestsWithin(text, MAX_XML_DEPTH)) return XmlLoad::Unparsable;
    doc.Clear();
    doc.Parse(WithNewlines(text).c_str(), nullptr, TIXML_ENCODING_LEGACY);
    return doc.Error() ? XmlLoad::Unparsable : XmlLoad::Loaded;
}

HRESULT SaveXmlFile(TiXmlDocument& doc, const std::string& path)
{
    std::string folder = ".";
    std::size_t slash = path.find_last_of("\\/");
    if (slash != std::string::npos) folder = path.substr(0, slash + 1);
    char temp[MAX_PATH];
    if (!GetTempFileNameA(folder.c_str(), "tb", 0, temp)) return E_FAIL;

    // Text mode, as TinyXML saves: line ends become CR LF.
    FILE* file = std::fopen(temp, "w");
    bool ok = file && doc.SaveFile(file);
    if (file) {
        ok = (std::fflush(file) == 0) && ok && !std::ferror(file);
        ok = (std::fclose(file) == 0) && ok;
    }
    if (ok) ok = MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) DeleteFileA(temp);
    return ok ? S_OK : E_FAIL;
}
