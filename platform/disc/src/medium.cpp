#include "medium.h"

#include "key_value_text.h"

#include <algorithm>
#include <cstdio>

namespace disc {

namespace {

bool inList(uint32_t type, std::initializer_list<uint32_t> list) {
    return std::find(list.begin(), list.end(), type) != list.end();
}

// CD lead-out and lead-in around a session boundary: 6750 + 4500 + 150 blocks
// after the first session, 2250 + 4500 + 150 after later ones.
constexpr uint32_t kFirstSessionGap = 11400;
constexpr uint32_t kLaterSessionGap = 6900;
// DVDs record in ECC blocks of 16 sectors and have no CD lead-in or lead-out
// between sessions: a closed session fills up its last ECC block and one
// more block is lost to linking, so the next session starts 16 to 31 blocks
// after the data, on an ECC block boundary.
constexpr uint32_t kDvdEccBlock = 16;

void toMsf(uint32_t blocks, uint8_t out[4]) {
    uint32_t lba = blocks + 150;
    out[0] = 0;
    out[1] = static_cast<uint8_t>(std::min<uint32_t>(lba / 4500, 255));
    out[2] = static_cast<uint8_t>((lba / 75) % 60);
    out[3] = static_cast<uint8_t>(lba % 75);
}

}  // namespace

bool isDvdType(uint32_t t) { return inList(t, {4, 5, 6, 7, 8, 9, 13, 15, 16, 17, 18, 19, 20, 21, 22}); }
bool isWritableType(uint32_t t) { return inList(t, {2, 3, 5, 6, 7, 8, 9, 11, 12, 13, 15, 16, 18, 19, 21, 22}); }
bool isErasableType(uint32_t t) { return inList(t, {3, 6, 7, 8, 9, 12, 19, 22}); }
bool isKnownType(uint32_t t) { return t >= 1 && t <= 15 && t != DISC_MT_NO_MEDIA; }

uint32_t defaultCapacity(uint32_t type) {
    switch (type) {
    case DISC_MT_DVD_PLUS_R_DL: return 4173824;
    case DISC_MT_DVD_RAM: return 2236704;
    default: break;
    }
    if (isDvdType(type)) return 2298496;  // 4.7 GB
    return 359848;                        // 80-minute CD
}

Medium Medium::blank(uint32_t type, uint32_t capacity, uint64_t serial) {
    Medium m;
    m.type = type;
    m.capacity = capacity ? capacity : defaultCapacity(type);
    m.serial = serial;
    return m;
}

DiscStatus Medium::status() const {
    if (finalized) return DISC_STATUS_COMPLETE;
    return tracks.empty() ? DISC_STATUS_BLANK : DISC_STATUS_APPENDABLE;
}

uint32_t Medium::sessionCount() const { return tracks.empty() ? 0 : tracks.back().session; }

uint32_t Medium::usedEnd() const { return tracks.empty() ? 0 : tracks.back().start + tracks.back().length; }

uint32_t Medium::sessionGap() const {
    if (tracks.empty() || sessionOpen) return 0;
    if (isDvdType(type)) return (kDvdEccBlock - usedEnd() % kDvdEccBlock) % kDvdEccBlock + kDvdEccBlock;
    return sessionCount() == 1 ? kFirstSessionGap : kLaterSessionGap;
}

uint32_t Medium::nextWritable() const { return usedEnd() + sessionGap(); }

uint32_t Medium::freeBlocks() const {
    if (!acceptsWrites()) return 0;
    uint32_t nwa = nextWritable();
    return capacity > nwa ? capacity - nwa : 0;
}

bool Medium::acceptsWrites() const { return isWritableType(type) && !finalized; }
bool Medium::hasIncompleteTrack() const { return acceptsWrites(); }

uint32_t Medium::trackCount() const {
    return static_cast<uint32_t>(tracks.size()) + (hasIncompleteTrack() ? 1 : 0);
}

void Medium::appendTrack(uint32_t start, uint32_t length, bool leaveOpenAfterClose) {
    Track t;
    t.start = start;
    t.length = length;
    appendTrack(t, leaveOpenAfterClose);
}

void Medium::appendTrack(Track t, bool leaveOpenAfterClose) {
    t.number = static_cast<uint32_t>(tracks.size()) + 1;
    t.session = sessionOpen ? sessionCount() : sessionCount() + 1;
    tracks.push_back(t);
    sessionOpen = true;
    leaveOpen = leaveOpenAfterClose;
}

void Medium::closeSession() {
    if (!sessionOpen) return;
    sessionOpen = false;
    if (!leaveOpen) finalized = true;
}

void Medium::erase() {
    tracks.clear();
    finalized = false;
    sessionOpen = false;
    leaveOpen = true;
    ++generation;
}

DiscInformation Medium::information() const {
    DiscInformation info {};
    info.discStatus = static_cast<uint8_t>(status());
    info.lastSessionStatus = sessionOpen ? 1 : (finalized ? 3 : 0);
    info.erasable = isErasableType(type) ? 1 : 0;
    info.firstTrack = 1;
    info.trackCount = static_cast<uint8_t>(std::min<uint32_t>(trackCount(), 255));
    uint32_t sessions = sessionCount() + (hasIncompleteTrack() && !sessionOpen ? 1 : 0);
    info.sessionCount = static_cast<uint8_t>(std::min<uint32_t>(sessions, 255));
    info.lastTrackInLastSession = info.trackCount;
    info.firstTrackInLastSession = info.trackCount;
    for (const Track& t : tracks)
        if (t.session == sessions) { info.firstTrackInLastSession = static_cast<uint8_t>(t.number); break; }
    info.mediumType = type;
    toMsf(nextWritable(), info.lastLeadInStart);
    toMsf(capacity, info.lastLeadOutStart);
    return info;
}

bool Medium::trackInformation(uint32_t number, DiscTrackInformation& out) const {
    out = DiscTrackInformation {};
    if (number >= 1 && number <= tracks.size()) {
        const Track& t = tracks[number - 1];
        out.trackNumber = static_cast<uint8_t>(t.number);
        out.sessionNumber = static_cast<uint8_t>(t.session);
        out.trackMode = t.mode;
        out.dataMode = t.dataMode;
        out.startAddress = t.start;
        out.nextWritableAddress = 0;
        out.trackSize = t.length;
        return true;
    }
    bool incomplete = number == DISC_TRACK_INCOMPLETE || number == tracks.size() + 1;
    if (!incomplete || !hasIncompleteTrack()) return false;
    out.trackNumber = static_cast<uint8_t>(tracks.size() + 1);
    out.sessionNumber = static_cast<uint8_t>(sessionOpen ? sessionCount() : sessionCount() + 1);
    out.trackMode = 4;
    out.dataMode = 1;
    out.blank = 1;
    out.startAddress = nextWritable();
    out.nextWritableAddress = nextWritable();
    out.freeBlocks = freeBlocks();
    return true;
}

const Track* Medium::sessionStartTrack(uint32_t trackNumber) const {
    if (trackNumber < 1 || trackNumber > tracks.size()) return nullptr;
    uint32_t session = tracks[trackNumber - 1].session;
    for (const Track& t : tracks)
        if (t.session == session) return &t;
    return nullptr;
}

std::string Medium::serialize() const {
    KeyValueText kv;
    kv.add("type", type);
    kv.add("capacity", capacity);
    char serialText[32];
    std::snprintf(serialText, sizeof serialText, "0x%016llx", static_cast<unsigned long long>(serial));
    kv.add("serial", std::string(serialText));
    kv.add("generation", generation);
    kv.add("finalized", finalized ? 1 : 0);
    kv.add("session_open", sessionOpen ? 1 : 0);
    kv.add("leave_open", leaveOpen ? 1 : 0);
    kv.add("image", image);
    for (const Track& t : tracks) {
        // number,session,start,length,sector size,track mode,data mode,pregap
        kv.add("track", formatNumberList({t.number, t.session, t.start, t.length, t.sectorSize, t.mode, t.dataMode,
                                          t.pregap}));
    }
    return kv.text();
}

bool Medium::parse(const std::string& text, Medium& out) {
    KeyValueText kv = KeyValueText::parse(text);
    Medium m;
    m.type = static_cast<uint32_t>(kv.number("type", 0));
    if (!isKnownType(m.type)) return false;
    m.capacity = static_cast<uint32_t>(kv.number("capacity", defaultCapacity(m.type)));
    m.serial = kv.number("serial");
    m.generation = static_cast<uint32_t>(kv.number("generation"));
    m.finalized = kv.number("finalized") != 0;
    m.sessionOpen = kv.number("session_open") != 0;
    m.leaveOpen = kv.number("leave_open", 1) != 0;
    m.image = kv.get("image");
    for (const std::string& line : kv.all("track")) {
        std::vector<uint32_t> f = parseNumberList(line);
        if (f.size() < 4) return false;
        Track t;
        t.number = f[0];
        t.session = f[1];
        t.start = f[2];
        t.length = f[3];
        if (f.size() >= 7) {
            t.sectorSize = static_cast<uint16_t>(f[4]);
            t.mode = static_cast<uint8_t>(f[5]);
            t.dataMode = static_cast<uint8_t>(f[6]);
        }
        if (f.size() >= 8) t.pregap = f[7];
        if ((t.sectorSize != 2048 && t.sectorSize != 2352) || t.pregap > t.start) return false;
        m.tracks.push_back(t);
    }
    out = std::move(m);
    return true;
}

}  // namespace disc
