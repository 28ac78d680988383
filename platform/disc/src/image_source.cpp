#include "image_source.h"

#include "iso_format.h"

#include <algorithm>
#include <cstring>

namespace disc {

namespace {
constexpr uint64_t kBlock = 2048;
}

Error TreeImageSource::openSource(uint32_t index) {
    if (openIndex_ == index) return {};
    const SourceFile& src = image_->sources[index];
    openIndex_ = UINT32_MAX;
    if (uint32_t err = file_.openSource(src.path)) return fail(DISC_E_FILE, "cannot open " + src.path, err);
    uint64_t size = 0;
    if (uint32_t err = file_.size(size)) return fail(DISC_E_FILE, "cannot read " + src.path, err);
    if (size != src.size) return fail(DISC_E_SOURCE_CHANGED, "the size of " + src.path + " changed");
    openIndex_ = index;
    return {};
}

// Copies the bytes [from, to) of the image (relative to the track) that lie in
// extent `e` into `out`, which starts at byte `base` of the track.
Error TreeImageSource::copyExtent(const SourceExtent& e, uint64_t from, uint64_t to, uint8_t* out) {
    const uint64_t extentStart = uint64_t(e.lba - image_->start) * kBlock;
    const uint64_t begin = std::max(from, extentStart), end = std::min(to, extentStart + e.size);
    if (begin >= end) return {};
    if (Error err = openSource(e.file)) return err;
    size_t got = 0;
    const size_t want = static_cast<size_t>(end - begin);
    if (uint32_t sys = file_.readAt(e.offset + (begin - extentStart), out + (begin - from), want, got))
        return fail(DISC_E_FILE, "cannot read " + image_->sources[e.file].path, sys);
    if (got != want) return fail(DISC_E_SOURCE_CHANGED, image_->sources[e.file].path + " became shorter");
    return {};
}

Error TreeImageSource::read(uint32_t first, uint32_t count, uint8_t* out) {
    const uint64_t from = uint64_t(first) * kBlock, to = uint64_t(first + count) * kBlock;
    std::memset(out, 0, static_cast<size_t>(to - from));
    const uint64_t metaEnd = image_->metadata.size();
    if (from < metaEnd)
        std::memcpy(out, image_->metadata.data() + from, static_cast<size_t>(std::min(to, metaEnd) - from));
    const auto& extents = image_->extents;
    while (nextExtent_ < extents.size()) {
        const SourceExtent& e = extents[nextExtent_];
        const uint64_t extentStart = uint64_t(e.lba - image_->start) * kBlock;
        if (extentStart >= to) break;
        if (Error err = copyExtent(e, from, to, out)) return err;
        if (extentStart + e.size > to) break;  // the rest comes with the next read
        ++nextExtent_;
    }
    const uint64_t tailStart = uint64_t(image_->blocks) * kBlock - image_->tail.size();
    if (!image_->tail.empty() && to > tailStart) {
        const uint64_t begin = std::max(from, tailStart);
        std::memcpy(out + (begin - from), image_->tail.data() + (begin - tailStart), static_cast<size_t>(to - begin));
    }
    return {};
}

uint32_t TreeImageSource::copyDirect(uint32_t first, uint32_t count, os::File& dest, uint64_t destOffset, Error& e) {
    const uint64_t from = uint64_t(first) * kBlock;
    if (from < image_->metadata.size()) return 0;
    const auto& extents = image_->extents;
    auto startOf = [&](const SourceExtent& x) { return uint64_t(x.lba - image_->start) * kBlock; };
    while (nextExtent_ < extents.size() && startOf(extents[nextExtent_]) + extents[nextExtent_].size <= from)
        ++nextExtent_;
    if (nextExtent_ == extents.size()) return 0;
    const SourceExtent& x = extents[nextExtent_];
    if (startOf(x) > from) return 0;
    uint32_t whole = static_cast<uint32_t>(std::min<uint64_t>(count, (startOf(x) + x.size - from) / kBlock));
    if (whole == 0) return 0;
    if ((e = openSource(x.file))) return 0;
    uint64_t want = uint64_t(whole) * kBlock, got = 0;
    if (uint32_t sys = file_.copyTo(x.offset + (from - startOf(x)), dest, destOffset, want, got)) {
        e = fail(DISC_E_MEDIUM_IO, "cannot copy " + image_->sources[x.file].path, sys);
        return 0;
    }
    if (got != want) { e = fail(DISC_E_SOURCE_CHANGED, image_->sources[x.file].path + " became shorter"); return 0; }
    return whole;
}

uint32_t TreeImageSource::bufferedRun(uint32_t first, uint32_t count) const {
    const uint64_t from = uint64_t(first) * kBlock, to = uint64_t(first + count) * kBlock;
    for (size_t i = nextExtent_; i < image_->extents.size(); ++i) {
        const SourceExtent& x = image_->extents[i];
        const uint64_t start = uint64_t(x.lba - image_->start) * kBlock;
        if (start >= to) break;
        if (start > from && x.size >= kLargeFileBytes) return static_cast<uint32_t>((start - from) / kBlock);
    }
    return count;
}

uint32_t FileImageSource::copyDirect(uint32_t first, uint32_t count, os::File& dest, uint64_t destOffset, Error& e) {
    uint32_t whole = std::min<uint32_t>(count, first < size_ / kBlock ? uint32_t(size_ / kBlock - first) : 0);
    if (whole == 0) return 0;
    uint64_t got = 0;
    if (uint32_t sys = file_.copyTo(uint64_t(first) * kBlock, dest, destOffset, uint64_t(whole) * kBlock, got))
        e = fail(DISC_E_MEDIUM_IO, "cannot copy the image", sys);
    else if (got != uint64_t(whole) * kBlock)
        e = fail(DISC_E_SOURCE_CHANGED, "the image became shorter");
    return e ? 0 : whole;
}

Error FileImageSource::open(const std::string& path) {
    if (uint32_t err = file_.openRead(path)) return fail(DISC_E_FILE, "cannot open " + path, err);
    os::FileInfo info;
    if (uint32_t err = file_.info(info)) return fail(DISC_E_FILE, "cannot read " + path, err);
    if (info.size == 0 || (info.size + kBlock - 1) / kBlock > 0xFFFFFFFFull)
        return fail(DISC_E_BAD_FORMAT, "not a disc image: " + path);
    size_ = info.size;
    blocks_ = static_cast<uint32_t>((size_ + kBlock - 1) / kBlock);
    return {};
}

int64_t FileImageSource::isoRoot() {
    uint8_t d[kBlock];
    if (blocks_ <= iso::kDescriptorStart || read(iso::kDescriptorStart, 1, d)) return -1;
    return iso::primaryRootLba(d);
}

Error FileImageSource::read(uint32_t first, uint32_t count, uint8_t* out) {
    const size_t want = size_t(count) * kBlock;
    size_t got = 0;
    if (uint32_t err = file_.readAt(uint64_t(first) * kBlock, out, want, got))
        return fail(DISC_E_FILE, "cannot read the image", err);
    if (got < want && uint64_t(first) * kBlock + got < size_)
        return fail(DISC_E_SOURCE_CHANGED, "the image became shorter");
    std::memset(out + got, 0, want - got);
    return {};
}

}  // namespace disc
