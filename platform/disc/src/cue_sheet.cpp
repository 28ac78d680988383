#include "cue_sheet.h"

#include "cd_sector.h"

#include <cstdlib>

namespace disc {

namespace {

constexpr uint32_t kMaxTrack = 99;
constexpr uint32_t kMaxFrames = 9999 * 60 * cd::kFramesPerSecond;  // DVD parts run past 100 minutes
constexpr uint64_t kMaxNumber = 0xFFFFFFFFull;

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 32);
    return s;
}

// Splits a line into words; a quoted word may hold blanks. False for an
// unterminated quote.
bool words(const std::string& line, std::vector<std::string>& out) {
    out.clear();
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') { ++i; continue; }
        std::string w;
        if (line[i] == '"') {
            size_t end = line.find('"', i + 1);
            if (end == std::string::npos) return false;
            w = line.substr(i + 1, end - i - 1);
            i = end + 1;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t') w += line[i++];
        }
        out.push_back(w);
    }
    return true;
}

bool number(const std::string& text, uint64_t max, uint64_t& out) {
    if (text.empty() || text.size() > 10) return false;
    uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + uint64_t(c - '0');
    }
    if (v > max) return false;
    out = v;
    return true;
}

bool modeOf(const std::string& text, CueMode& mode) {
    const std::string m = upper(text);
    if (m == "AUDIO") mode = CueMode::Audio;
    else if (m == "MODE1/2048") mode = CueMode::Mode1Cooked;
    else if (m == "MODE1/2352") mode = CueMode::Mode1Raw;
    else if (m == "MODE2/2352") mode = CueMode::Mode2Raw;
    else return false;
    return true;
}

class Parser {
public:
    Parser(CueSheet& out, const CueLimits& limits) : out_(out), limits_(limits) {}

    Error line(const std::string& text);
    Error finish();

    uint32_t lineNumber = 0;

private:
    Error bad(const std::string& why) const {
        return fail(DISC_E_BAD_IMAGE, "line " + std::to_string(lineNumber) + ": " + why);
    }
    Error remark(const std::vector<std::string>& w);
    Error index(const std::vector<std::string>& w);
    Error endTrack();

    CueSheet& out_;
    const CueLimits& limits_;
    uint32_t session_ = 1;
    bool inTrack_ = false, hasIndex1_ = false, afterIndex_ = false;
    CueTrack track_;
};

Error Parser::remark(const std::vector<std::string>& w) {
    if (w.size() < 2) return {};
    const std::string what = upper(w[1]);
    uint64_t v = 0;
    if (what == "SESSION") {
        if (w.size() != 3 || !number(w[2], kMaxTrack, v) || v < session_ || v == 0) return bad("bad session number");
        if (inTrack_) if (Error e = endTrack()) return e;
        session_ = uint32_t(v);
    } else if (what == "LBA" || what == "BLOCKS") {
        if (!inTrack_ || w.size() != 3 || !number(w[2], kMaxNumber / 2, v)) return bad("bad " + what);
        (what == "LBA" ? track_.lba : track_.blocks) = int64_t(v);
    } else if (what == "MEDIUM") {
        if (w.size() != 3 || !number(w[2], 255, v)) return bad("bad medium type");
        out_.mediumType = uint32_t(v);
    } else if (what == "DISC" && w.size() == 3 && upper(w[2]) == "APPENDABLE") {
        out_.appendable = true;
    }
    return {};  // any other remark is a comment
}

Error Parser::index(const std::vector<std::string>& w) {
    uint64_t n = 0;
    uint32_t frames = 0;
    if (!inTrack_ || w.size() != 3 || !number(w[1], 99, n) || !cd::parseMsf(w[2], frames) || frames > kMaxFrames)
        return bad("bad INDEX");
    if (n == 0) {
        if (hasIndex1_ || track_.index0 >= 0) return bad("INDEX 00 after INDEX 01");
        track_.index0 = frames;
    } else if (n == 1) {
        if (hasIndex1_ || (track_.index0 >= 0 && frames < track_.index0)) return bad("bad INDEX 01");
        track_.index1 = frames;
        hasIndex1_ = true;
    } else if (!hasIndex1_ || frames < track_.index1) {
        return bad("INDEX out of order");
    }
    afterIndex_ = true;
    return {};
}

Error Parser::endTrack() {
    if (!hasIndex1_) return bad("track " + std::to_string(track_.number) + " has no INDEX 01");
    if (!out_.tracks.empty()) {
        const CueTrack& prev = out_.tracks.back();
        uint32_t start = track_.index0 >= 0 ? uint32_t(track_.index0) : track_.index1;
        if (prev.file == track_.file && start < prev.index1) return bad("tracks overlap");
    }
    out_.tracks.push_back(track_);
    inTrack_ = false;
    return {};
}

Error Parser::line(const std::string& text) {
    ++lineNumber;
    if (text.size() > limits_.maxLine) return bad("line too long");
    std::vector<std::string> w;
    if (!words(text, w)) return bad("unterminated quote");
    if (w.empty()) return {};
    const std::string key = upper(w[0]);
    uint64_t v = 0;
    uint32_t frames = 0;
    if (key == "REM") return remark(w);
    if (key == "FILE") {
        if (w.size() != 3 || w[1].empty()) return bad("bad FILE");
        const std::string type = upper(w[2]);
        if (type != "BINARY") return bad("file type " + w[2] + " is not taken");
        if (out_.files.size() >= limits_.maxFiles) return bad("too many files");
        if (inTrack_) if (Error e = endTrack()) return e;
        out_.files.push_back(w[1]);
        return {};
    }
    if (key == "TRACK") {
        if (out_.files.empty()) return bad("TRACK before FILE");
        if (w.size() != 3 || !number(w[1], kMaxTrack, v) || v == 0) return bad("bad TRACK");
        if (inTrack_) if (Error e = endTrack()) return e;
        uint32_t expected = out_.tracks.empty() ? uint32_t(v) : out_.tracks.back().number + 1;
        if (v != expected) return bad("track numbers must follow each other");
        track_ = CueTrack {};
        track_.number = uint32_t(v);
        track_.session = session_;
        track_.file = uint32_t(out_.files.size() - 1);
        if (!modeOf(w[2], track_.mode)) return bad("track mode " + w[2] + " is not taken");
        inTrack_ = true;
        hasIndex1_ = afterIndex_ = false;
        return {};
    }
    if (key == "INDEX") return index(w);
    if (key == "PREGAP") {
        if (!inTrack_ || afterIndex_ || w.size() != 2 || !cd::parseMsf(w[1], frames) || frames > kMaxFrames)
            return bad("bad PREGAP");
        track_.pregap = frames;
        return {};
    }
    for (const char* ignored : {"CATALOG", "CDTEXTFILE", "FLAGS", "ISRC", "PERFORMER", "SONGWRITER", "TITLE"})
        if (key == ignored) return {};
    return bad("command " + w[0] + " is not taken");
}

Error Parser::finish() {
    if (inTrack_) if (Error e = endTrack()) return e;
    if (out_.tracks.empty()) return fail(DISC_E_BAD_IMAGE, "the sheet has no track");
    return {};
}

}  // namespace

uint32_t cueSectorBytes(CueMode mode) { return mode == CueMode::Mode1Cooked ? cd::kUserData : cd::kRawSector; }

const char* cueModeName(CueMode mode) {
    switch (mode) {
    case CueMode::Audio: return "AUDIO";
    case CueMode::Mode1Cooked: return "MODE1/2048";
    case CueMode::Mode1Raw: return "MODE1/2352";
    case CueMode::Mode2Raw: return "MODE2/2352";
    }
    return "";
}

Error parseCueSheet(const std::string& text, CueSheet& out, const CueLimits& limits) {
    out = CueSheet {};
    if (text.size() > limits.maxBytes) return fail(DISC_E_BAD_IMAGE, "the sheet is too large");
    if (text.find('\0') != std::string::npos) return fail(DISC_E_BAD_IMAGE, "the sheet is not text");
    Parser parser(out, limits);
    size_t at = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) at = 3;  // byte-order mark
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (Error e = parser.line(line)) return e;
        at = end + 1;
    }
    return parser.finish();
}

std::string renderCueSheet(const CueSheet& sheet, bool descriptor) {
    std::string s;
    if (descriptor) {
        s += "REM Tavell disc image\r\n";
        if (sheet.mediumType) s += "REM MEDIUM " + std::to_string(sheet.mediumType) + "\r\n";
        if (sheet.appendable) s += "REM DISC APPENDABLE\r\n";
    }
    uint32_t session = 0;
    size_t file = 0;
    for (const CueTrack& t : sheet.tracks) {
        for (; file <= t.file && file < sheet.files.size(); ++file)
            s += "FILE \"" + sheet.files[file] + "\" BINARY\r\n";
        if (t.session != session && (descriptor || sheet.tracks.back().session > 1)) {
            session = t.session;
            s += "REM SESSION " + std::string(session < 10 ? "0" : "") + std::to_string(session) + "\r\n";
        }
        char head[64];
        std::snprintf(head, sizeof head, "  TRACK %02u %s\r\n", t.number, cueModeName(t.mode));
        s += head;
        if (descriptor && t.lba >= 0) s += "    REM LBA " + std::to_string(t.lba) + "\r\n";
        if (descriptor && t.blocks >= 0) s += "    REM BLOCKS " + std::to_string(t.blocks) + "\r\n";
        if (t.pregap) s += "    PREGAP " + cd::msfText(t.pregap) + "\r\n";
        if (t.index0 >= 0) s += "    INDEX 00 " + cd::msfText(uint32_t(t.index0)) + "\r\n";
        s += "    INDEX 01 " + cd::msfText(t.index1) + "\r\n";
    }
    for (; file < sheet.files.size(); ++file) s += "FILE \"" + sheet.files[file] + "\" BINARY\r\n";
    return s;
}

}  // namespace disc
