#include "iso_reader.h"

#include "iso_format.h"
#include "os_seam.h"

#include <cstring>
#include <set>

namespace disc {

namespace {

struct Record {
    uint32_t extent = 0, size = 0;
    uint8_t flags = 0;
    int64_t modified = 0;
    const uint8_t* id = nullptr;
    uint32_t idLen = 0;
};

// Parses the record at p with `avail` bytes left; false when malformed.
bool parseRecord(const uint8_t* p, uint32_t avail, Record& r) {
    if (avail < 34) return false;
    uint32_t len = p[0];
    if (len < 34 || len > avail) return false;
    r.idLen = p[32];
    if (r.idLen == 0 || 33 + r.idLen > len) return false;
    r.extent = iso::getLe32(p + 2);
    r.size = iso::getLe32(p + 10);
    r.flags = p[25];
    r.modified = iso::unixFromRecordDate(p + 18);
    r.id = p + 33;
    return true;
}

std::string recordName(const Record& r, bool joliet) {
    std::string name;
    if (joliet) {
        std::u16string u;
        for (uint32_t i = 0; i + 1 < r.idLen; i += 2) u.push_back(char16_t(r.id[i] << 8 | r.id[i + 1]));
        size_t semi = u.find(u';');
        if (semi != std::u16string::npos) u.resize(semi);
        name = os::ucs2ToAnsi(u);
    } else {
        name.assign(reinterpret_cast<const char*>(r.id), r.idLen);
        size_t semi = name.find(';');
        if (semi != std::string::npos) name.resize(semi);
        if (!name.empty() && name.back() == '.') name.pop_back();
    }
    return name;
}

class SessionReader {
public:
    SessionReader(SectorReader& reader, const ReadLimits& limits) : reader_(reader), limits_(limits) {}

    Error run(uint32_t sessionStart, ImportedEntry& root);

private:
    Error findRoot(uint32_t sessionStart, Record& root, std::vector<uint8_t>& descriptor);
    Error readDirectory(const Record& dir, ImportedEntry& into, uint32_t depth);
    Error readEntries(const std::vector<uint8_t>& data, ImportedEntry& into, std::vector<Record>& subdirs);
    bool inRange(uint32_t extent, uint64_t bytes) const {
        uint64_t blocks = (bytes + iso::kBlock - 1) / iso::kBlock;
        return extent < reader_.limit() && blocks <= reader_.limit() - extent;
    }

    SectorReader& reader_;
    ReadLimits limits_;
    bool joliet_ = false;
    bool continuing_ = false;  // the last record was a section with more to come
    uint32_t entries_ = 0;
    std::set<uint32_t> visited_;
};

Error SessionReader::findRoot(uint32_t sessionStart, Record& root, std::vector<uint8_t>& keep) {
    std::vector<uint8_t> block(iso::kBlock);
    bool havePrimary = false;
    for (uint32_t i = 0; i < 32; ++i) {
        uint64_t lba = uint64_t(sessionStart) + iso::kDescriptorStart + i;
        if (lba >= reader_.limit() || !reader_.read(uint32_t(lba), 1, block.data())) break;
        if (std::memcmp(block.data() + 1, "CD001", 5) != 0 || block[0] == 255) break;
        bool joliet = block[0] == 2 && block[88] == '%' && block[89] == '/' &&
                      (block[90] == '@' || block[90] == 'C' || block[90] == 'E');
        if (block[0] == 1 && !havePrimary && !joliet_) { keep = block; havePrimary = true; }
        if (joliet && !joliet_) { keep = block; joliet_ = true; }
    }
    if (keep.empty()) return fail(DISC_E_BAD_FORMAT, "no ISO 9660 volume descriptor in the session");
    if (!parseRecord(keep.data() + 156, 34, root) || !(root.flags & iso::kFlagDirectory))
        return fail(DISC_E_BAD_FORMAT, "bad root directory record");
    return {};
}

Error SessionReader::readEntries(const std::vector<uint8_t>& data, ImportedEntry& into, std::vector<Record>& subdirs) {
    for (size_t sector = 0; sector < data.size(); sector += iso::kBlock) {
        for (uint32_t at = 0; at < iso::kBlock;) {
            const uint8_t* p = data.data() + sector + at;
            if (p[0] == 0) break;  // rest of the sector is padding
            Record r;
            if (!parseRecord(p, iso::kBlock - at, r)) return fail(DISC_E_BAD_FORMAT, "bad directory record");
            at += p[0];
            if (r.idLen == 1 && (r.id[0] == 0 || r.id[0] == 1)) continue;  // "." and ".."
            if (++entries_ > limits_.maxEntries) return fail(DISC_E_BAD_FORMAT, "too many entries");
            std::string name = recordName(r, joliet_);
            if (r.flags & iso::kFlagDirectory) {
                subdirs.push_back(r);
                ImportedEntry folder;
                folder.name = name;
                folder.folder = true;
                folder.modified = r.modified;
                into.kids.push_back(std::move(folder));
                continuing_ = false;
                continue;
            }
            if (r.size && !inRange(r.extent, r.size)) return fail(DISC_E_BAD_FORMAT, "file extent beyond the disc");
            // Sections of a multi-extent file follow each other under one name.
            bool continues = continuing_ && !into.kids.back().folder && into.kids.back().name == name;
            if (!continues) {
                ImportedEntry file;
                file.name = name;
                file.modified = r.modified;
                into.kids.push_back(std::move(file));
            }
            ImportedEntry& f = into.kids.back();
            f.extents.push_back(Extent {r.extent, r.size});
            f.size += r.size;
            continuing_ = (r.flags & iso::kFlagMultiExtent) != 0;
        }
    }
    return {};
}

Error SessionReader::readDirectory(const Record& dir, ImportedEntry& into, uint32_t depth) {
    if (depth > limits_.maxDepth) return fail(DISC_E_BAD_FORMAT, "folders nested too deep");
    if (dir.size == 0 || dir.size > limits_.maxDirectoryBytes || !inRange(dir.extent, dir.size))
        return fail(DISC_E_BAD_FORMAT, "directory extent out of range");
    if (!visited_.insert(dir.extent).second) return fail(DISC_E_BAD_FORMAT, "directory loop");
    uint32_t blocks = (dir.size + iso::kBlock - 1) / iso::kBlock;
    std::vector<uint8_t> data(size_t(blocks) * iso::kBlock);
    if (!reader_.read(dir.extent, blocks, data.data())) return fail(DISC_E_MEDIUM_IO, "cannot read a directory");
    std::vector<Record> subdirs;
    continuing_ = false;
    if (Error e = readEntries(data, into, subdirs)) return e;
    size_t k = 0;
    for (const Record& sub : subdirs) {
        while (!into.kids[k].folder) ++k;
        if (Error e = readDirectory(sub, into.kids[k++], depth + 1)) return e;
    }
    return {};
}

Error SessionReader::run(uint32_t sessionStart, ImportedEntry& root) {
    Record rootRecord;
    std::vector<uint8_t> descriptor;
    if (Error e = findRoot(sessionStart, rootRecord, descriptor)) return e;
    root = ImportedEntry {};
    root.folder = true;
    root.modified = rootRecord.modified;
    return readDirectory(rootRecord, root, 0);
}

}  // namespace

Error readIsoSession(SectorReader& reader, uint32_t sessionStart, ImportedEntry& root, const ReadLimits& limits) {
    return SessionReader(reader, limits).run(sessionStart, root);
}

void addImportedEntries(IsoTree& tree, const ImportedEntry& root) {
    std::vector<std::pair<const ImportedEntry*, uint32_t>> pending {{&root, tree.root()}};
    while (!pending.empty()) {
        auto [entry, folder] = pending.back();
        pending.pop_back();
        for (const ImportedEntry& kid : entry->kids) {
            IsoNode node;
            node.name = kid.name;
            node.folder = kid.folder;
            node.size = kid.size;
            node.modified = kid.modified;
            node.extents = kid.extents;
            uint32_t id = 0;
            if (tree.addImported(folder, std::move(node), id)) continue;  // a name the tree cannot hold
            if (kid.folder) pending.emplace_back(&kid, id);
        }
    }
}

}  // namespace disc
