// A built image: the session's metadata blocks in memory and the list of file
// extents that a write streams from the sources.
#pragma once

#include "error.h"
#include "iso_tree.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace disc {

struct SourceExtent {
    uint32_t lba = 0;          // absolute block address
    uint64_t offset = 0;       // byte offset in the source
    uint64_t size = 0;         // bytes of this section
    uint32_t file = 0;         // index into IsoImage::sources
};

struct SourceFile {
    std::string path;
    uint64_t size = 0;         // size when added; a different size fails the write
};

// Files of this size and more start on a 64 KiB boundary of the medium, and
// a write copies them straight from their source.
constexpr uint64_t kLargeFileBytes = 1u << 20;

struct IsoImage {
    uint32_t start = 0;                // first block of the session
    uint32_t blocks = 0;               // session length
    std::vector<uint8_t> metadata;     // blocks from `start` on
    std::vector<SourceFile> sources;
    std::vector<SourceExtent> extents; // ascending addresses, after the metadata
    std::vector<uint8_t> tail;         // the image's last blocks, after the extents
    ImportOrigin origin;

    uint32_t metadataBlocks() const { return static_cast<uint32_t>(metadata.size() / 2048); }
};

struct VolumeTexts {
    std::string label, publisher, application;
};

// Told how many of the tree's nodes the build has laid out; `total` counts
// the root, which is done only when the whole image is.
using BuildProgress = std::function<void(uint32_t done, uint32_t total)>;

// Lays out the tree from `start` on and renders every descriptor, path table
// and directory. The tree keeps each node's primary identifier.
Error buildIsoImage(IsoTree& tree, uint32_t start, const VolumeTexts& texts, int64_t now, IsoImage& out,
                    const BuildProgress& progress = {});

}  // namespace disc
