// Image layout, in blocks:
//   16 ISO 9660 primary descriptor, 17 its terminator, 18-20 the UDF volume
//   recognition sequence (BEA01, NSR02, TEA01); then the ISO path tables and
//   directories; 32 the main and 48 the reserve volume descriptor sequence
//   (primary, implementation use, partition, logical volume, unallocated space,
//   terminator); 64 the integrity descriptor and its terminator; 256 the anchor.
//   The partition starts at 257: the file set descriptor and its terminator,
//   a file entry and the identifiers of every folder, a file entry per file,
//   then the files' data. One more anchor closes the image.
#include "udf_tree.h"

#include "iso_format.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <set>

namespace disc {

namespace {

constexpr uint32_t kBlock = 2048;
constexpr uint32_t kMainVds = 32, kReserveVds = 48, kIntegrity = 64, kAnchor = 256, kPartition = 257;
constexpr uint64_t kMaxExtent = (1u << 30) - kBlock;  // a UDF extent length has 30 bits

enum : uint16_t { kTagPvd = 1, kTagAnchor = 2, kTagIuvd = 4, kTagPd = 5, kTagLvd = 6, kTagUsd = 7, kTagTd = 8,
                  kTagLvid = 9, kTagFsd = 256, kTagFid = 257, kTagFe = 261 };

void le16(uint8_t* p, uint16_t v) { iso::putLe16(p, v); }
void le32(uint8_t* p, uint32_t v) { iso::putLe32(p, v); }
void le64(uint8_t* p, uint64_t v) { le32(p, uint32_t(v)); le32(p + 4, uint32_t(v >> 32)); }

uint16_t crcItu(const uint8_t* p, size_t n) {
    uint16_t crc = 0;
    for (size_t i = 0; i < n; ++i) {
        crc ^= uint16_t(p[i] << 8);
        for (int b = 0; b < 8; ++b) crc = crc & 0x8000 ? uint16_t(crc << 1 ^ 0x1021) : uint16_t(crc << 1);
    }
    return crc;
}

// The 16-byte tag, with its CRC over the `length` bytes of the descriptor.
void tag(uint8_t* p, uint16_t id, uint32_t location, size_t length) {
    le16(p, id);
    le16(p + 2, 2);
    le16(p + 6, 1);
    le16(p + 8, crcItu(p + 16, length - 16));
    le16(p + 10, uint16_t(length - 16));
    le32(p + 12, location);
    uint8_t sum = 0;
    for (int i = 0; i < 16; ++i)
        if (i != 4) sum = uint8_t(sum + p[i]);
    p[4] = sum;
}

void charspec(uint8_t* p) { std::memcpy(p + 1, "OSTA Compressed Unicode", 23); }

void regid(uint8_t* p, const char* id, bool udfSuffix) {
    std::memcpy(p + 1, id, std::strlen(id));
    if (udfSuffix) le16(p + 24, 0x0102);
}

// 8-bit compressed Unicode: Latin-1 characters, '_' for the rest.
std::string dchars(const std::string& text) {
    std::string out(1, '\x08');
    for (size_t i = 0; i < text.size() && out.size() < 255; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        out += c < 0x80 ? char(c) : '_';
    }
    return out;
}

void dstring(uint8_t* p, size_t size, const std::string& text) {
    if (text.empty()) return;
    std::string d = dchars(text).substr(0, size - 1);
    std::memcpy(p, d.data(), d.size());
    p[size - 1] = uint8_t(d.size());
}

void timestamp(uint8_t* p, int64_t unix) {
    iso::CivilTime t = iso::civilFromUnix(unix);
    le16(p, 0x1000);  // local time, offset 0
    le16(p + 2, uint16_t(t.year));
    p[4] = uint8_t(t.month);
    p[5] = uint8_t(t.day);
    p[6] = uint8_t(t.hour);
    p[7] = uint8_t(t.minute);
    p[8] = uint8_t(t.second);
}

void longAd(uint8_t* p, uint32_t length, uint32_t block) {
    le32(p, length);
    le32(p + 4, block);
}

// ISO 9660 identifiers: d-characters, upper case.
std::string isoName(const std::string& name, bool folder) {
    std::string out;
    for (char c : name) {
        char u = c >= 'a' && c <= 'z' ? char(c - 32) : c;
        bool ok = (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || (u == '.' && !folder);
        out += ok ? u : '_';
    }
    out = out.substr(0, 30);
    return folder ? out : out + ";1";
}

// The identifier with a number worked in before its extension (and version),
// still within 30 characters: "A~2.VOB;1".
std::string numberedIsoName(const std::string& id, bool folder, unsigned n) {
    const std::string version = folder ? "" : ";1";
    std::string stem = id.substr(0, id.size() - version.size());
    const size_t dot = folder ? std::string::npos : stem.rfind('.');
    std::string ext = dot == std::string::npos ? "" : stem.substr(dot);
    if (dot != std::string::npos) stem.resize(dot);
    const std::string tag = "~" + std::to_string(n);
    stem = stem.substr(0, std::min(stem.size(), 30 - std::min<size_t>(30, ext.size() + tag.size())));
    return stem + tag + ext + version;
}

struct Dir {
    const UdfNode* node = nullptr;
    uint32_t parent = 0;           // index
    std::vector<uint32_t> kids;    // indexes of sub-folders
    uint32_t isoLba = 0, isoSize = 0;
    uint32_t fe = 0, fids = 0, fidBytes = 0;  // partition blocks
};

class UdfBuilder {
public:
    UdfBuilder(const UdfNode& root, const std::string& volume, int64_t now, IsoImage& out)
        : root_(root), volume_(volume), now_(now), out_(out) {}

    Error run();

private:
    void collect();
    uint32_t fidLength(const UdfNode& n) const { return (38 + uint32_t(dchars(n.name).size()) + 3) & ~3u; }
    // Each node's ISO 9660 identifier, unique in its folder after mapping.
    void nameForIso();
    const std::string& isoId(const UdfNode* n) const { return isoIds_.at(n); }
    std::vector<const UdfNode*> isoOrder(const UdfNode& folder) const;
    // The folders in path-table order: by level, then by parent's number,
    // then by identifier; the numbers (1 for the root) by folder index.
    void orderPathTable();
    uint32_t isoDirSize(const UdfNode& folder) const;
    Error layOut();
    uint8_t* block(uint32_t lba) { return &out_.metadata[size_t(lba) * kBlock]; }
    uint8_t* pblock(uint32_t p) { return block(kPartition + p); }
    void writeIso();
    void writeVolume();
    void anchor(uint8_t* p, uint32_t lba);
    void writeFiles();
    void fileEntry(uint32_t p, const UdfNode& n, uint64_t length, const std::vector<std::pair<uint32_t, uint32_t>>& ads,
                   uint16_t links, uint64_t uniqueId);

    const UdfNode& root_;
    std::string volume_;
    int64_t now_;
    IsoImage& out_;
    std::vector<Dir> dirs_;
    std::map<const UdfNode*, uint32_t> dirOf_;
    std::map<const UdfNode*, uint32_t> fileFe_, fileData_;  // partition blocks
    std::vector<const UdfNode*> files_;                      // data order
    std::map<const UdfNode*, std::string> isoIds_;
    std::vector<uint32_t> tableOrder_, tableNumber_;
    uint32_t pathTable_ = 0, pathTableL_ = 0, pathTableM_ = 0;
    uint32_t partitionLength_ = 0, end_ = 0;
};

void UdfBuilder::collect() {
    std::function<void(const UdfNode&, uint32_t)> walk = [&](const UdfNode& n, uint32_t parent) {
        uint32_t index = static_cast<uint32_t>(dirs_.size());
        Dir d;
        d.node = &n;
        d.parent = parent;
        dirs_.push_back(d);
        dirOf_[&n] = index;
        if (index != parent) dirs_[parent].kids.push_back(index);
        for (const auto& k : n.kids) {
            if (k->folder) walk(*k, index);
            else files_.push_back(k.get());
        }
    };
    walk(root_, 0);
}

void UdfBuilder::nameForIso() {
    std::function<void(const UdfNode&)> walk = [&](const UdfNode& folder) {
        std::set<std::string> taken;
        for (const auto& k : folder.kids) {
            std::string id = isoName(k->name, k->folder);
            for (unsigned n = 1; !taken.insert(id).second; ++n) id = numberedIsoName(isoName(k->name, k->folder), k->folder, n);
            isoIds_[k.get()] = id;
            if (k->folder) walk(*k);
        }
    };
    isoIds_[&root_] = std::string(1, '\0');
    walk(root_);
}

std::vector<const UdfNode*> UdfBuilder::isoOrder(const UdfNode& folder) const {
    std::vector<const UdfNode*> kids;
    for (const auto& k : folder.kids) kids.push_back(k.get());
    std::sort(kids.begin(), kids.end(), [&](const UdfNode* a, const UdfNode* b) { return isoId(a) < isoId(b); });
    return kids;
}

void UdfBuilder::orderPathTable() {
    tableOrder_ = {0};
    tableNumber_.assign(dirs_.size(), 0);
    tableNumber_[0] = 1;
    // Level by level: each folder's sub-folders by identifier, the folders of
    // a level in their parents' order.
    for (size_t i = 0; i < tableOrder_.size(); ++i) {
        std::vector<uint32_t> kids = dirs_[tableOrder_[i]].kids;
        std::sort(kids.begin(), kids.end(),
                  [&](uint32_t a, uint32_t b) { return isoId(dirs_[a].node) < isoId(dirs_[b].node); });
        for (uint32_t k : kids) {
            tableOrder_.push_back(k);
            tableNumber_[k] = uint32_t(tableOrder_.size());
        }
    }
}

uint32_t UdfBuilder::isoDirSize(const UdfNode& folder) const {
    uint32_t offset = 2 * iso::recordLength(1), sectors = 1;
    for (const UdfNode* k : isoOrder(folder)) {
        uint32_t len = iso::recordLength(uint32_t(isoId(k).size()));
        if (offset + len > kBlock) { ++sectors; offset = 0; }
        offset += len;
    }
    return sectors * kBlock;
}

Error UdfBuilder::layOut() {
    // ISO path tables and directories from block 21 up to the descriptors at 32
    // when they fit, else after the integrity sequence.
    nameForIso();
    orderPathTable();
    // The root's identifier is its one zero byte.
    for (const Dir& d : dirs_) pathTable_ += 8 + ((uint32_t(isoId(d.node).size()) + 1) & ~1u);
    pathTable_ = std::max<uint32_t>(pathTable_, 10);
    uint32_t isoBlocks = 2 * ((pathTable_ + kBlock - 1) / kBlock);
    for (Dir& d : dirs_) { d.isoSize = isoDirSize(*d.node); isoBlocks += d.isoSize / kBlock; }
    uint32_t next = isoBlocks <= kMainVds - 21 ? 21 : kIntegrity + 2;
    if (next + isoBlocks > kAnchor) return fail(DISC_E_NOT_SUPPORTED, "too many folders for a DVD-Video disc");
    const uint32_t tableBlocks = (pathTable_ + kBlock - 1) / kBlock;
    pathTableL_ = next;
    pathTableM_ = next + tableBlocks;
    next += 2 * tableBlocks;
    for (Dir& d : dirs_) { d.isoLba = next; next += d.isoSize / kBlock; }

    uint32_t p = 2;  // after the file set descriptor and its terminator
    for (Dir& d : dirs_) {
        d.fe = p++;
        d.fids = p;
        d.fidBytes = 40;  // the parent's identifier
        for (const auto& k : d.node->kids) d.fidBytes += fidLength(*k);
        p += (d.fidBytes + kBlock - 1) / kBlock;
    }
    for (const UdfNode* f : files_) fileFe_[f] = p++;
    for (const UdfNode* f : files_) {
        fileData_[f] = p;
        uint64_t blocks = (f->size + kBlock - 1) / kBlock;
        if (p + blocks > 0x7FFFFFFFull) return fail(DISC_E_NO_SPACE, "image too large");
        p += static_cast<uint32_t>(blocks);
    }
    partitionLength_ = p;
    end_ = kPartition + p + 1;  // the closing anchor
    return {};
}

void UdfBuilder::writeIso() {
    uint8_t* pvd = block(16);
    pvd[0] = 1;
    std::memcpy(pvd + 1, "CD001", 5);
    pvd[6] = 1;
    iso::putText(pvd + 8, 32, "");
    iso::putText(pvd + 40, 32, volume_);
    iso::putBoth32(pvd + 80, end_);
    iso::putBoth16(pvd + 120, 1);
    iso::putBoth16(pvd + 124, 1);
    iso::putBoth16(pvd + 128, kBlock);
    iso::putBoth32(pvd + 132, pathTable_);
    iso::putLe32(pvd + 140, pathTableL_);
    iso::putBe32(pvd + 148, pathTableM_);
    uint8_t rootId = 0;
    iso::putRecord(pvd + 156, dirs_[0].isoLba, dirs_[0].isoSize, now_, iso::kFlagDirectory, &rootId, 1);
    for (size_t at : {190, 318, 446, 574}) iso::putText(pvd + at, 128, "");
    for (size_t at : {702, 739, 776}) iso::putText(pvd + at, 37, "");
    iso::putDescriptorDate(pvd + 813, now_);
    iso::putDescriptorDate(pvd + 830, now_);
    std::memcpy(pvd + 847, "0000000000000000", 16);
    iso::putDescriptorDate(pvd + 864, now_);
    pvd[881] = 1;
    uint8_t* term = block(17);
    term[0] = 255;
    std::memcpy(term + 1, "CD001", 5);
    term[6] = 1;
    const char* vrs[] = {"BEA01", "NSR02", "TEA01"};
    for (int i = 0; i < 3; ++i) {
        std::memcpy(block(18 + i) + 1, vrs[i], 5);
        block(18 + i)[6] = 1;
    }
    // Path tables in ISO 9660's order, each record naming its parent's number.
    size_t at = 0;
    for (uint32_t index : tableOrder_) {
        const Dir& d = dirs_[index];
        const std::string& id = isoId(d.node);
        const uint16_t parent = uint16_t(tableNumber_[d.parent]);
        uint8_t* l = block(pathTableL_) + at;
        uint8_t* m = block(pathTableM_) + at;
        l[0] = m[0] = uint8_t(id.size());
        iso::putLe32(l + 2, d.isoLba);
        iso::putBe32(m + 2, d.isoLba);
        iso::putLe16(l + 6, parent);
        iso::putBe16(m + 6, parent);
        std::memcpy(l + 8, id.data(), id.size());
        std::memcpy(m + 8, id.data(), id.size());
        at += 8 + ((id.size() + 1) & ~size_t(1));
    }
    for (const Dir& d : dirs_) {
        uint8_t* base = block(d.isoLba);
        uint32_t offset = 0;
        auto put = [&](uint32_t extent, uint32_t size, uint8_t flags, const std::string& id) {
            if (offset % kBlock + iso::recordLength(uint32_t(id.size())) > kBlock) offset = (offset / kBlock + 1) * kBlock;
            offset += iso::putRecord(base + offset, extent, size, now_, flags,
                                     reinterpret_cast<const uint8_t*>(id.data()), uint32_t(id.size()));
        };
        const Dir& parent = dirs_[d.parent];
        put(d.isoLba, d.isoSize, iso::kFlagDirectory, std::string(1, '\0'));
        put(parent.isoLba, parent.isoSize, iso::kFlagDirectory, std::string(1, '\1'));
        for (const UdfNode* k : isoOrder(*d.node)) {
            if (k->folder) {
                const Dir& sub = dirs_[dirOf_.at(k)];
                put(sub.isoLba, sub.isoSize, iso::kFlagDirectory, isoId(k));
            } else {
                put(kPartition + fileData_.at(k), uint32_t(k->size), 0, isoId(k));
            }
        }
    }
}

void UdfBuilder::writeVolume() {
    const std::string impl = "*Tavell Burner";
    for (uint32_t base : {kMainVds, kReserveVds}) {
        uint8_t* p = block(base);  // primary volume descriptor
        le32(p + 16, 0);
        dstring(p + 24, 32, volume_);
        le16(p + 56, 1);
        le16(p + 58, 1);
        le16(p + 60, 2);
        le16(p + 62, 2);
        le32(p + 64, 1);
        le32(p + 68, 1);
        char setId[17];
        std::snprintf(setId, sizeof setId, "%08llX", static_cast<unsigned long long>(now_) & 0xFFFFFFFFull);
        dstring(p + 72, 128, std::string(setId) + " " + volume_);
        charspec(p + 200);
        charspec(p + 264);
        timestamp(p + 376, now_);
        regid(p + 388, impl.c_str(), false);
        tag(p, kTagPvd, base, 512);

        p = block(base + 1);  // implementation use: logical volume information
        le32(p + 16, 1);
        regid(p + 20, "*UDF LV Info", true);
        charspec(p + 52);
        dstring(p + 116, 128, volume_);
        regid(p + 352, impl.c_str(), false);
        tag(p, kTagIuvd, base + 1, 512);

        p = block(base + 2);  // partition
        le32(p + 16, 2);
        le16(p + 20, 1);
        le16(p + 22, 0);
        regid(p + 24, "+NSR02", false);
        le32(p + 184, 1);  // read-only
        le32(p + 188, kPartition);
        le32(p + 192, partitionLength_);
        regid(p + 196, impl.c_str(), false);
        tag(p, kTagPd, base + 2, 512);

        p = block(base + 3);  // logical volume
        le32(p + 16, 3);
        charspec(p + 20);
        dstring(p + 84, 128, volume_);
        le32(p + 212, kBlock);
        regid(p + 216, "*OSTA UDF Compliant", true);
        longAd(p + 248, kBlock, 0);  // the file set descriptor
        le32(p + 264, 6);
        le32(p + 268, 1);
        regid(p + 272, impl.c_str(), false);
        le32(p + 432, 2 * kBlock);
        le32(p + 436, kIntegrity);
        p[440] = 1;
        p[441] = 6;
        le16(p + 442, 1);
        le16(p + 444, 0);
        tag(p, kTagLvd, base + 3, 446);

        p = block(base + 4);  // unallocated space: none
        le32(p + 16, 4);
        tag(p, kTagUsd, base + 4, 24);

        tag(block(base + 5), kTagTd, base + 5, 512);
    }
    uint8_t* p = block(kIntegrity);
    timestamp(p + 16, now_);
    le32(p + 28, 1);  // closed
    le64(p + 40, 16 + files_.size() + dirs_.size());  // next unique id
    le32(p + 72, 1);
    le32(p + 76, 46);
    le32(p + 80, 0);
    le32(p + 84, partitionLength_);
    regid(p + 88, impl.c_str(), false);
    le32(p + 120, uint32_t(files_.size()));
    le32(p + 124, uint32_t(dirs_.size()));
    le16(p + 128, 0x0102);
    le16(p + 130, 0x0102);
    le16(p + 132, 0x0102);
    tag(p, kTagLvid, kIntegrity, 134);
    tag(block(kIntegrity + 1), kTagTd, kIntegrity + 1, 512);

    anchor(block(kAnchor), kAnchor);
    out_.tail.assign(kBlock, 0);
    anchor(out_.tail.data(), end_ - 1);
}

void UdfBuilder::anchor(uint8_t* p, uint32_t lba) {
    le32(p + 16, 16 * kBlock);
    le32(p + 20, kMainVds);
    le32(p + 24, 16 * kBlock);
    le32(p + 28, kReserveVds);
    tag(p, kTagAnchor, lba, 512);
}

void UdfBuilder::fileEntry(uint32_t at, const UdfNode& n, uint64_t length,
                           const std::vector<std::pair<uint32_t, uint32_t>>& ads, uint16_t links, uint64_t uniqueId) {
    uint8_t* p = pblock(at);
    le16(p + 16 + 4, 4);              // strategy 4
    le16(p + 16 + 8, 1);              // one entry
    p[16 + 11] = n.folder ? 4 : 5;    // file type
    le16(p + 16 + 18, 0);             // short allocation descriptors
    le32(p + 36, 0xFFFFFFFF);
    le32(p + 40, 0xFFFFFFFF);
    le32(p + 44, n.folder ? 0x14A5 : 0x1084);  // read (and search) for all
    le16(p + 48, links);
    le64(p + 56, length);
    uint64_t recorded = 0;
    for (const auto& ad : ads) recorded += (ad.first + kBlock - 1) / kBlock;
    le64(p + 64, recorded);
    const int64_t date = n.modified ? n.modified : now_;
    timestamp(p + 72, date);
    timestamp(p + 84, date);
    timestamp(p + 96, date);
    le32(p + 108, 1);
    regid(p + 128, "*Tavell Burner", false);
    le64(p + 160, uniqueId);
    le32(p + 172, uint32_t(ads.size() * 8));
    for (size_t i = 0; i < ads.size(); ++i) {
        le32(p + 176 + 8 * i, ads[i].first);
        le32(p + 180 + 8 * i, ads[i].second);
    }
    tag(p, kTagFe, at, 176 + ads.size() * 8);
}

void UdfBuilder::writeFiles() {
    uint8_t* fsd = pblock(0);
    timestamp(fsd + 16, now_);
    le16(fsd + 28, 3);
    le16(fsd + 30, 3);
    le32(fsd + 32, 1);
    le32(fsd + 36, 1);
    charspec(fsd + 48);
    dstring(fsd + 112, 128, volume_);
    charspec(fsd + 240);
    dstring(fsd + 304, 32, volume_);
    longAd(fsd + 400, kBlock, dirs_[0].fe);
    regid(fsd + 416, "*OSTA UDF Compliant", true);
    tag(fsd, kTagFsd, 0, 512);
    tag(pblock(1), kTagTd, 1, 512);

    uint64_t uniqueId = 16;
    std::map<const UdfNode*, uint64_t> ids;
    for (const Dir& d : dirs_) ids[d.node] = d.node == &root_ ? 0 : uniqueId++;
    for (const UdfNode* f : files_) ids[f] = uniqueId++;
    for (const Dir& d : dirs_) {
        fileEntry(d.fe, *d.node, d.fidBytes, {{d.fidBytes, d.fids}}, uint16_t(1 + d.kids.size()), ids[d.node]);
        std::vector<uint8_t> fids(size_t((d.fidBytes + kBlock - 1) / kBlock) * kBlock, 0);
        uint32_t offset = 0;
        auto fid = [&](uint8_t characteristics, const std::string& id, uint32_t fe) {
            uint8_t* p = &fids[offset];
            le16(p + 16, 1);
            p[18] = characteristics;
            p[19] = uint8_t(id.size());
            longAd(p + 20, kBlock, fe);
            std::memcpy(p + 38, id.data(), id.size());
            const uint32_t length = (38 + uint32_t(id.size()) + 3) & ~3u;
            tag(p, kTagFid, d.fids + offset / kBlock, length);
            offset += length;
        };
        fid(0x0A, "", dirs_[d.parent].fe);
        for (const auto& k : d.node->kids)
            fid(k->folder ? 0x02 : 0x00, dchars(k->name), k->folder ? dirs_[dirOf_.at(k.get())].fe : fileFe_.at(k.get()));
        std::memcpy(pblock(d.fids), fids.data(), fids.size());
    }
    for (const UdfNode* f : files_) {
        std::vector<std::pair<uint32_t, uint32_t>> ads;
        uint32_t block = fileData_.at(f);
        for (uint64_t done = 0; done < f->size;) {
            uint64_t piece = std::min(kMaxExtent, f->size - done);
            ads.emplace_back(uint32_t(piece), block);
            block += uint32_t((piece + kBlock - 1) / kBlock);
            done += piece;
        }
        fileEntry(fileFe_.at(f), *f, f->size, ads, 1, ids[f]);
        if (!f->size) continue;
        const uint32_t index = static_cast<uint32_t>(out_.sources.size());
        out_.sources.push_back(SourceFile {f->source, f->size});
        out_.extents.push_back(SourceExtent {kPartition + fileData_.at(f), 0, f->size, index});
    }
}

Error UdfBuilder::run() {
    collect();
    for (const UdfNode* f : files_)
        if (f->size >= 0xFFFFF800ull) return fail(DISC_E_NOT_SUPPORTED, f->name + ": a file of 4 GiB or more");
    if (Error e = layOut()) return e;
    uint32_t metaBlocks = kPartition + (files_.empty() ? partitionLength_ : fileData_.at(files_.front()));
    out_.metadata.assign(size_t(metaBlocks) * kBlock, 0);
    writeIso();
    writeVolume();
    writeFiles();
    out_.start = 0;
    out_.blocks = end_;
    return {};
}

}  // namespace

Error buildUdfImage(const UdfNode& root, const std::string& volume, int64_t now, IsoImage& out) {
    out = IsoImage {};
    return UdfBuilder(root, volume, now, out).run();
}

}  // namespace disc
