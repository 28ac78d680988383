#include "video_cd_builder.h"

#include "cd_sector.h"
#include "iso_format.h"
#include "os_seam.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace disc {

namespace {

constexpr uint32_t kTrackOneBlocks = 300;
constexpr uint32_t kGap = 150;
constexpr uint32_t kMinTrackBlocks = 300;  // four seconds
constexpr uint32_t kInfoLba = 150, kEntriesLba = 151, kTracksLba = 152;
constexpr uint32_t kPathL = 18, kPathM = 19, kFirstDir = 20;
constexpr uint16_t kAttrForm1 = 0x0D55, kAttrForm2 = 0x1555, kAttrFolder = 0x8D55;

using Sector = std::vector<uint8_t>;

uint8_t bcd(uint32_t v) { return uint8_t((v / 10) << 4 | v % 10); }

void msfBcd(uint8_t* p, uint32_t frames) {
    p[0] = bcd(frames / (60 * 75));
    p[1] = bcd(frames / 75 % 60);
    p[2] = bcd(frames % 75);
}

struct Entry {
    std::string id;
    uint32_t lba = 0, size = 0;
    uint16_t attributes = kAttrForm1;
    bool folder = false;
};

struct Folder {
    std::string name;
    std::vector<Entry> files;
    uint32_t lba = 0;
};

class Builder {
public:
    Builder(const VideoCdRequest& r, uint64_t streamBytes) : r_(r) {
        streamBlocks_ = static_cast<uint32_t>((streamBytes + cd::kForm2Data - 1) / cd::kForm2Data);
        trackTwoBlocks_ = std::max(streamBlocks_, kMinTrackBlocks);
        trackTwoStart_ = kTrackOneBlocks + kGap;
    }

    std::vector<Sector> trackOne();
    uint32_t discBlocks() const { return trackTwoStart_ + trackTwoBlocks_; }
    uint32_t trackTwoBlocks() const { return trackTwoBlocks_; }
    uint32_t streamBlocks() const { return streamBlocks_; }
    int64_t date() const;

private:
    std::vector<Folder> folders() const;
    uint32_t putRecord(uint8_t* p, const Entry& e) const;
    void descriptor(uint8_t* p, uint32_t pathTableSize, const Folder& root) const;
    void info(uint8_t* p) const;
    void entries(uint8_t* p) const;
    void tracks(uint8_t* p) const;

    const VideoCdRequest& r_;
    uint32_t streamBlocks_ = 0, trackTwoBlocks_ = 0, trackTwoStart_ = 0;
};

int64_t Builder::date() const {
    auto num = [&](size_t at, size_t n) { return std::stoi(r_.date.substr(at, n)); };
    // Days from civil (proleptic Gregorian), as the date text is read as UTC.
    int y = num(0, 4), m = num(4, 2), d = num(6, 2);
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = unsigned((153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1);
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const int64_t days = int64_t(era) * 146097 + int64_t(doe) - 719468;
    return days * 86400 + num(8, 2) * 3600 + num(10, 2) * 60;
}

std::vector<Folder> Builder::folders() const {
    const uint32_t streamSize = streamBlocks_ * iso::kBlock;
    if (r_.super)
        return {{"EXT", {}}, {"MPEG2", {{"AVSEQ01.MPG;1", trackTwoStart_, streamSize, kAttrForm2}}}, {"SEGMENT", {}},
                {"SVCD", {{"ENTRIES.SVD;1", kEntriesLba, iso::kBlock}, {"INFO.SVD;1", kInfoLba, iso::kBlock},
                          {"TRACKS.SVD;1", kTracksLba, iso::kBlock}}}};
    return {{"CDI", {}}, {"EXT", {}}, {"MPEGAV", {{"AVSEQ01.DAT;1", trackTwoStart_, streamSize, kAttrForm2}}},
            {"SEGMENT", {}}, {"VCD", {{"ENTRIES.VCD;1", kEntriesLba, iso::kBlock}, {"INFO.VCD;1", kInfoLba, iso::kBlock}}}};
}

// A directory record with the CD-XA system use field.
uint32_t Builder::putRecord(uint8_t* p, const Entry& e) const {
    const uint32_t idLen = static_cast<uint32_t>(e.id.size());
    const uint32_t base = 33 + idLen + (idLen % 2 == 0 ? 1 : 0);
    const uint32_t length = base + 14;
    std::memset(p, 0, length);
    p[0] = uint8_t(length);
    iso::putBoth32(p + 2, e.lba);
    iso::putBoth32(p + 10, e.size);
    iso::putRecordDate(p + 18, date());
    p[25] = e.folder ? iso::kFlagDirectory : 0;
    iso::putBoth16(p + 28, 1);
    p[32] = uint8_t(idLen);
    std::memcpy(p + 33, e.id.data(), idLen);
    uint8_t* xa = p + base;
    iso::putBe16(xa + 4, e.attributes);
    xa[6] = 'X';
    xa[7] = 'A';
    xa[8] = e.attributes == kAttrForm2 ? 1 : 0;
    return length;
}

void Builder::descriptor(uint8_t* p, uint32_t pathTableSize, const Folder& root) const {
    p[0] = 1;
    std::memcpy(p + 1, "CD001", 5);
    p[6] = 1;
    iso::putText(p + 8, 32, "CD-RTOS CD-BRIDGE");
    iso::putText(p + 40, 32, r_.super ? "SUPERVCD" : "VIDEOCD");
    iso::putBoth32(p + 80, discBlocks());
    iso::putBoth16(p + 120, 1);
    iso::putBoth16(p + 124, 1);
    iso::putBoth16(p + 128, iso::kBlock);
    iso::putBoth32(p + 132, pathTableSize);
    iso::putLe32(p + 140, kPathL);
    iso::putBe32(p + 148, kPathM);
    const uint8_t rootId = 0;
    iso::putRecord(p + 156, root.lba, iso::kBlock, date(), iso::kFlagDirectory, &rootId, 1);
    for (size_t at : {190, 318, 446}) iso::putText(p + at, 128, "");
    iso::putText(p + 574, 128, r_.super ? "" : "CDI/CDI_VCD.APP;1");
    for (size_t at : {702, 739, 776}) iso::putText(p + at, 37, "");
    const std::string stamp = r_.date + "000000";  // seconds and hundredths
    for (size_t at : {813, 830, 864}) std::memcpy(p + at, stamp.data(), 16);
    std::memcpy(p + 847, "0000000000000000", 16);
    p[881] = 1;
    std::memcpy(p + 1024, "CD-XA001", 8);
}

void Builder::info(uint8_t* p) const {
    std::memcpy(p, r_.super ? "SUPERVCD" : "VIDEO_CD", 8);
    p[8] = r_.super ? 1 : 2;
    std::memset(p + 10, ' ', 16);  // album
    iso::putBe16(p + 26, 1);
    iso::putBe16(p + 28, 1);
    p[51] = 8;                     // offset multiplier
}

void Builder::entries(uint8_t* p) const {
    std::memcpy(p, r_.super ? "ENTRYSVD" : "ENTRYVCD", 8);
    p[8] = r_.super ? 1 : 2;
    iso::putBe16(p + 10, 1);
    p[12] = bcd(2);
    msfBcd(p + 13, trackTwoStart_ + cd::kLeadInFrames);
}

void Builder::tracks(uint8_t* p) const {
    std::memcpy(p, "TRACKSVD", 8);
    p[8] = 1;
    p[10] = 1;
    msfBcd(p + 11, trackTwoBlocks_);
}

std::vector<Sector> Builder::trackOne() {
    std::vector<Sector> s(kTrackOneBlocks, Sector(iso::kBlock, 0));
    std::vector<Folder> list = folders();
    Folder root;
    root.lba = kFirstDir;
    for (size_t i = 0; i < list.size(); ++i) list[i].lba = kFirstDir + 1 + uint32_t(i);
    // Path tables: the root, then its folders in name order.
    uint32_t at = 0;
    auto pathEntry = [&](const std::string& id, uint32_t lba) {
        uint8_t* l = s[kPathL].data() + at;
        uint8_t* m = s[kPathM].data() + at;
        l[0] = m[0] = uint8_t(id.size());
        iso::putLe32(l + 2, lba);
        iso::putBe32(m + 2, lba);
        iso::putLe16(l + 6, 1);
        iso::putBe16(m + 6, 1);
        std::memcpy(l + 8, id.data(), id.size());
        std::memcpy(m + 8, id.data(), id.size());
        at += 8 + ((uint32_t(id.size()) + 1) & ~1u);
    };
    pathEntry(std::string(1, '\0'), root.lba);
    for (const Folder& f : list) pathEntry(f.name, f.lba);
    descriptor(s[16].data(), at, root);
    s[17][0] = 255;
    std::memcpy(s[17].data() + 1, "CD001", 5);
    s[17][6] = 1;

    auto directory = [&](uint32_t lba, uint32_t parent, const std::vector<Entry>& kids) {
        uint8_t* p = s[lba].data();
        uint32_t off = putRecord(p, Entry {std::string(1, '\0'), lba, iso::kBlock, kAttrFolder, true});
        off += putRecord(p + off, Entry {std::string(1, '\1'), parent, iso::kBlock, kAttrFolder, true});
        for (const Entry& e : kids) off += putRecord(p + off, e);
    };
    std::vector<Entry> rootKids;
    for (const Folder& f : list) rootKids.push_back(Entry {f.name, f.lba, iso::kBlock, kAttrFolder, true});
    directory(root.lba, root.lba, rootKids);
    for (const Folder& f : list) directory(f.lba, root.lba, f.files);
    info(s[kInfoLba].data());
    entries(s[kEntriesLba].data());
    if (r_.super) tracks(s[kTracksLba].data());
    return s;
}

// An MPEG pack header's start code.
bool startsWithPack(const uint8_t* p, size_t size) {
    return size >= 4 && !p[0] && !p[1] && p[2] == 1 && p[3] == 0xBA;
}

// The program's end code alone, as a stream may close with it.
bool isProgramEnd(const uint8_t* p, size_t size) {
    return size == 4 && !p[0] && !p[1] && p[2] == 1 && p[3] == 0xB9;
}

// Submode of a stream sector: video or audio after the packets it carries.
uint8_t streamSubmode(const uint8_t* data, size_t size) {
    bool video = false, audio = false;
    for (size_t i = 0; i + 3 < size; ++i) {
        if (data[i] || data[i + 1] || data[i + 2] != 1) continue;
        uint8_t id = data[i + 3];
        video |= id >= 0xE0 && id <= 0xEF;
        audio |= (id >= 0xC0 && id <= 0xDF) || id == 0xBD;
    }
    uint8_t sub = cd::kSubForm2 | cd::kSubRealTime;
    if (video) sub |= cd::kSubVideo;
    else if (audio) sub |= cd::kSubAudio;
    return sub;
}

}  // namespace

Error buildVideoCd(const VideoCdRequest& r, const std::string& base, uint32_t& discBlocks) {
    if (r.date.size() != 12 || r.date.find_first_not_of("0123456789") != std::string::npos)
        return fail(DISC_E_INVALID_ARGUMENT, "the date text must be twelve digits");
    os::File in;
    if (uint32_t err = in.openRead(r.stream)) return fail(DISC_E_FILE, "cannot open " + r.stream, err);
    os::FileInfo info;
    if (uint32_t err = in.info(info)) return fail(DISC_E_FILE, "cannot read " + r.stream, err);
    uint8_t start[4] = {};
    size_t got = 0;
    if (uint32_t err = in.readAt(0, start, 4, got)) return fail(DISC_E_FILE, "cannot read " + r.stream, err);
    if (!startsWithPack(start, got))
        return fail(DISC_E_BAD_IMAGE, r.stream + " is no MPEG program stream");
    if (info.size / cd::kForm2Data > 400000) return fail(DISC_E_NO_SPACE, "the stream is too long for a CD");
    Builder b(r, info.size);
    discBlocks = b.discBlocks();

    os::File out;
    const std::string bin = base + ".bin";
    if (uint32_t err = out.openWrite(bin, true); err || (err = out.resize(0)))
        return fail(DISC_E_MEDIUM_IO, "cannot create " + bin, err);
    uint8_t raw[cd::kRawSector];
    uint64_t at = 0;
    auto put = [&]() -> Error {
        if (uint32_t err = out.writeAt(at, raw, sizeof raw)) return fail(DISC_E_MEDIUM_IO, "cannot write " + bin, err);
        at += sizeof raw;
        return {};
    };
    const std::vector<Sector> one = b.trackOne();
    for (uint32_t lba = 0; lba < one.size(); ++lba) {
        cd::XaSubheader sub;
        const bool used = lba >= 16 && (lba < kFirstDir + 6 || (lba >= kInfoLba && lba <= kTracksLba));
        if (used || lba < 16) {
            sub.submode = uint8_t(cd::kSubData | (lba >= 16 ? cd::kSubEndOfRecord : 0) | (lba == 17 ? cd::kSubEndOfFile : 0));
            cd::encodeMode2Form1(lba, sub, one[lba].data(), raw);
        } else {
            sub.submode = cd::kSubForm2;
            uint8_t zero[cd::kForm2Data] = {};
            cd::encodeMode2Form2(lba, sub, zero, raw);
        }
        if (Error e = put()) return e;
    }
    std::vector<uint8_t> data(cd::kForm2Data);
    const uint32_t first = kTrackOneBlocks + kGap;
    for (uint32_t i = 0; i < b.trackTwoBlocks(); ++i) {
        std::fill(data.begin(), data.end(), 0);
        cd::XaSubheader sub;
        sub.file = 1;
        sub.channel = 1;
        sub.submode = cd::kSubForm2;
        if (i < b.streamBlocks()) {
            if (uint32_t err = in.readAt(uint64_t(i) * cd::kForm2Data, data.data(), data.size(), got))
                return fail(DISC_E_FILE, "cannot read " + r.stream, err);
            // Each sector carries one pack: a stream of other packs would be
            // cut mid-pack into a disc no player reads.
            if (!startsWithPack(data.data(), got) && !isProgramEnd(data.data(), got))
                return fail(DISC_E_BAD_IMAGE, r.stream + " has no pack of 2324 bytes at sector " + std::to_string(i));
            sub.submode = streamSubmode(data.data(), got);
            sub.coding = sub.submode & cd::kSubVideo ? 0x0F : (sub.submode & cd::kSubAudio ? 0x7F : 0);
            if (i + 1 == b.streamBlocks()) sub.submode |= cd::kSubEndOfRecord | cd::kSubEndOfFile;
        }
        cd::encodeMode2Form2(first + i, sub, data.data(), raw);
        if (Error e = put()) return e;
    }
    const std::string name = os::fileName(bin);
    std::string cue = "FILE \"" + name + "\" BINARY\r\n  TRACK 01 MODE2/2352\r\n    INDEX 01 00:00:00\r\n"
                      "  TRACK 02 MODE2/2352\r\n    PREGAP 00:02:00\r\n    INDEX 01 " + cd::msfText(kTrackOneBlocks) + "\r\n";
    os::File sheet;
    const std::string cuePath = base + ".cue";
    if (uint32_t err = sheet.openWrite(cuePath, true); err || (err = sheet.resize(0)) ||
                                                       (err = sheet.writeAt(0, cue.data(), cue.size())))
        return fail(DISC_E_MEDIUM_IO, "cannot write " + cuePath, err);
    return {};
}

}  // namespace disc
