#include "iso_names.h"

#include "disc/disc_layer.h"
#include "os_seam.h"

namespace disc::iso {

namespace {

constexpr size_t kMaxFolderChars = 31;
constexpr size_t kMaxFileChars = 30;  // name and extension, without dot and version
constexpr size_t kMaxExtension = 8;

std::string dCharacters(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 'a' && c <= 'z') out.push_back(char(c - 32));
        else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_') out.push_back(char(c));
        else if (c < 0x80 || (c & 0xC0) != 0x80) out.push_back('_');  // one '_' per character
    }
    return out;
}

}  // namespace

Error jolietName(const std::string& name, std::u16string& out) {
    if (name.empty() || name == "." || name == "..")
        return fail(DISC_E_BAD_NAME, "empty or reserved name");
    if (!os::ansiToUcs2(name, out)) return fail(DISC_E_BAD_NAME, "name does not convert to UCS-2: " + name);
    if (out.size() > kMaxJolietUnits) return fail(DISC_E_BAD_NAME, "name longer than 64 characters: " + name);
    for (char16_t u : out)
        if (u < 0x20 || u == '*' || u == '/' || u == ':' || u == ';' || u == '?' || u == '\\')
            return fail(DISC_E_BAD_NAME, "name holds a character Joliet forbids: " + name);
    return {};
}

std::u16string foldedName(const std::u16string& name) {
    std::u16string out(name);
    for (char16_t& u : out) u = os::foldCase(u);
    return out;
}

std::string PrimaryNamer::folderName(const std::string& name) {
    std::string base = dCharacters(name);
    if (base.size() > kMaxFolderChars) base.resize(kMaxFolderChars);
    return unique(base, std::string(), false);
}

std::string PrimaryNamer::fileName(const std::string& name) {
    size_t dot = name.find_last_of('.');
    std::string base = dCharacters(dot == std::string::npos ? name : name.substr(0, dot));
    std::string ext = dot == std::string::npos ? std::string() : dCharacters(name.substr(dot + 1));
    if (ext.size() > kMaxExtension) ext.resize(kMaxExtension);
    if (base.size() + ext.size() > kMaxFileChars) base.resize(kMaxFileChars - ext.size());
    return unique(base, ext, true);
}

std::string PrimaryNamer::unique(const std::string& base, const std::string& ext, bool file) {
    const size_t limit = file ? kMaxFileChars - ext.size() : kMaxFolderChars;
    auto compose = [&](const std::string& b) { return file ? b + "." + ext : b; };
    std::string candidate = compose(base.empty() ? "_" : base);
    for (unsigned n = 1; !used_.insert(candidate).second; ++n) {
        std::string digits = std::to_string(n);
        std::string b = base.substr(0, limit > digits.size() ? std::min(base.size(), limit - digits.size()) : 0);
        candidate = compose(b + digits);
    }
    return candidate;
}

}  // namespace disc::iso
