// The folders and files of a DVD-Video disc until its image is built: a UDF
// tree whose children keep the order they were added in, because the image
// lays the files' data out in that order (VIDEO_TS.IFO first).
#pragma once

#include "error.h"
#include "iso_image.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace disc {

struct UdfNode {
    uint32_t number = 0;         // the caller's node number
    std::string name;
    bool folder = false;
    std::string source;          // files
    uint64_t size = 0;
    int64_t modified = 0;
    bool hasParent = false;
    std::vector<std::shared_ptr<UdfNode>> kids;
};

// Lays out a UDF 1.02 file system with an ISO 9660 bridge from block 0: both
// describe the same file data, which lie contiguous in the order of a walk
// through the folders in the order their entries were added.
Error buildUdfImage(const UdfNode& root, const std::string& volume, int64_t now, IsoImage& out);

}  // namespace disc
