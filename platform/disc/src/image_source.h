// What a track write streams: blocks of 2048 bytes, read in ascending order.
#pragma once

#include "error.h"
#include "iso_image.h"
#include "os_seam.h"

#include <memory>
#include <string>

namespace disc {

class ImageSource {
public:
    virtual ~ImageSource() = default;
    virtual uint32_t blocks() const = 0;
    // Fills `count` blocks from `first` (relative to the track's start).
    virtual Error read(uint32_t first, uint32_t count, uint8_t* out) = 0;
    // Copies up to `count` blocks from `first` straight from a source file into
    // `dest` when they are whole blocks of one file; returns how many it copied
    // (0: use read). Reads and direct copies go in ascending order.
    virtual uint32_t copyDirect(uint32_t, uint32_t, os::File&, uint64_t, Error&) { return 0; }
    // How many of `count` blocks from `first` (at least one) to read through
    // the buffer when copyDirect declined: a source may stop where a direct
    // copy can take over.
    virtual uint32_t bufferedRun(uint32_t, uint32_t count) const { return count; }
};

// A built ISO tree: metadata from memory, file data from the sources.
class TreeImageSource : public ImageSource {
public:
    explicit TreeImageSource(std::shared_ptr<const IsoImage> image) : image_(std::move(image)) {}
    uint32_t blocks() const override { return image_->blocks; }
    Error read(uint32_t first, uint32_t count, uint8_t* out) override;
    uint32_t copyDirect(uint32_t first, uint32_t count, os::File& dest, uint64_t destOffset, Error& e) override;
    // Up to the next large file.
    uint32_t bufferedRun(uint32_t first, uint32_t count) const override;

private:
    Error openSource(uint32_t index);
    Error copyExtent(const SourceExtent& e, uint64_t from, uint64_t to, uint8_t* out);

    std::shared_ptr<const IsoImage> image_;
    size_t nextExtent_ = 0;  // first extent that may still be read
    uint32_t openIndex_ = UINT32_MAX;
    os::File file_;
};

// An image file of 2048-byte sectors; a short last sector reads as zeros.
class FileImageSource : public ImageSource {
public:
    Error open(const std::string& path);
    uint32_t blocks() const override { return blocks_; }
    Error read(uint32_t first, uint32_t count, uint8_t* out) override;
    uint32_t copyDirect(uint32_t first, uint32_t count, os::File& dest, uint64_t destOffset, Error& e) override;
    // The block of the root folder an ISO 9660 image names; -1 for another image.
    int64_t isoRoot();

private:
    os::File file_;
    uint64_t size_ = 0;
    uint32_t blocks_ = 0;
};

}  // namespace disc
