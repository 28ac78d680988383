// Reads the file system of one session back from a disc (session import).
// The disc is untrusted: every length and extent is checked against the
// record and the readable area, directory loops and depth are bounded.
#pragma once

#include "error.h"
#include "iso_tree.h"

#include <cstdint>
#include <string>
#include <vector>

namespace disc {

class SectorReader {
public:
    virtual ~SectorReader() = default;
    virtual uint32_t limit() const = 0;  // blocks that can be read
    virtual bool read(uint32_t lba, uint32_t count, uint8_t* out) = 0;
};

struct ImportedEntry {
    std::string name;
    bool folder = false;
    uint64_t size = 0;
    int64_t modified = 0;
    std::vector<Extent> extents;
    std::vector<ImportedEntry> kids;
};

struct ReadLimits {
    uint32_t maxDepth = 64;
    uint32_t maxEntries = 1000000;
    uint32_t maxDirectoryBytes = 16u << 20;
};

// Reads the session whose volume descriptors start at `sessionStart` + 16,
// preferring the Joliet hierarchy, into `root` (a folder).
Error readIsoSession(SectorReader& reader, uint32_t sessionStart, ImportedEntry& root,
                     const ReadLimits& limits = ReadLimits());

// Adds what was read under the tree's root; names the tree cannot hold (and
// duplicates) are skipped.
void addImportedEntries(IsoTree& tree, const ImportedEntry& root);

}  // namespace disc
