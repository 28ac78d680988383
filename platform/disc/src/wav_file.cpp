#include "wav_file.h"

#include "cd_sector.h"

#include <algorithm>
#include <cstring>

namespace disc {

namespace {

constexpr uint32_t kMaxChunks = 64;       // a WAV holds a handful; more is a broken or hostile file
constexpr uint32_t kMaxFormatBytes = 64;  // the largest format block (extensible) is 40 bytes

uint32_t le16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t le32(const uint8_t* p) { return le16(p) | le16(p + 2) << 16; }

}  // namespace

Error WavFile::bad(const std::string& why) const { return fail(DISC_E_BAD_IMAGE, path_ + ": " + why); }

uint32_t WavFile::sectors() const {
    return static_cast<uint32_t>((dataBytes_ + cd::kRawSector - 1) / cd::kRawSector);
}

Error WavFile::open(const std::string& path) {
    path_ = path;
    if (uint32_t err = file_.openRead(path)) return fail(DISC_E_FILE, "cannot open " + path, err);
    os::FileInfo info;
    if (uint32_t err = file_.info(info)) return fail(DISC_E_FILE, "cannot read " + path, err);
    if (info.directory) return fail(DISC_E_FILE, path + " is a folder", os::kErrAccessDenied);
    return findChunks(info.size);
}

Error WavFile::checkFormat(const uint8_t* fmt, uint32_t size) const {
    if (size < 16) return bad("the format chunk is too short");
    uint32_t tag = le16(fmt);
    if (tag == 0xFFFE && size >= 40) tag = le16(fmt + 24);  // extensible: the sub-format's tag
    const uint32_t channels = le16(fmt + 2), rate = le32(fmt + 4), byteRate = le32(fmt + 8),
                   align = le16(fmt + 12), bits = le16(fmt + 14);
    if (tag != 1) return bad("not PCM samples (format " + std::to_string(tag) + ")");
    if (rate != 44100 || bits != 16 || channels != 2)
        return bad(std::to_string(rate) + " Hz, " + std::to_string(bits) + " bits, " + std::to_string(channels) +
                   " channels; a CD takes 44100 Hz, 16 bits, 2 channels");
    if (align != 4 || byteRate != 176400) return bad("the format's block size or byte rate is wrong");
    return {};
}

// RIFF/WAVE: a 12-byte header, then chunks of an 8-byte header and a body
// padded to an even size. "fmt " must come before "data".
Error WavFile::findChunks(uint64_t fileSize) {
    uint8_t head[12];
    size_t got = 0;
    if (uint32_t err = file_.readAt(0, head, sizeof head, got)) return fail(DISC_E_FILE, "cannot read " + path_, err);
    if (got < sizeof head || std::memcmp(head, "RIFF", 4) || std::memcmp(head + 8, "WAVE", 4))
        return bad("not a WAV file");
    bool haveFormat = false;
    uint64_t at = sizeof head;
    for (uint32_t n = 0; n < kMaxChunks && at + 8 <= fileSize; ++n) {
        uint8_t chunk[8];
        if (uint32_t err = file_.readAt(at, chunk, sizeof chunk, got)) return fail(DISC_E_FILE, "cannot read " + path_, err);
        if (got < sizeof chunk) break;
        const uint32_t size = le32(chunk + 4);
        const uint64_t body = at + 8;
        if (size > fileSize - body) return bad("a chunk runs past the end of the file");
        if (!std::memcmp(chunk, "fmt ", 4)) {
            uint8_t fmt[kMaxFormatBytes] = {};
            const uint32_t want = std::min(size, kMaxFormatBytes);
            if (uint32_t err = file_.readAt(body, fmt, want, got)) return fail(DISC_E_FILE, "cannot read " + path_, err);
            if (got < want) return bad("the format chunk is cut short");
            if (Error e = checkFormat(fmt, size)) return e;
            haveFormat = true;
        } else if (!std::memcmp(chunk, "data", 4)) {
            if (!haveFormat) return bad("the samples come before their format");
            if (size == 0) return bad("the file holds no samples");
            dataOffset_ = body;
            dataBytes_ = size;
            return {};
        }
        at = body + size + (size & 1);
    }
    return bad(haveFormat ? "the file has no samples chunk" : "the file has no format chunk");
}

Error WavFile::read(uint32_t first, uint32_t count, uint8_t* out) {
    const uint64_t from = uint64_t(first) * cd::kRawSector, size = uint64_t(count) * cd::kRawSector;
    const uint64_t want = from < dataBytes_ ? std::min(size, dataBytes_ - from) : 0;
    size_t got = 0;
    if (want)
        if (uint32_t err = file_.readAt(dataOffset_ + from, out, static_cast<size_t>(want), got))
            return fail(DISC_E_FILE, "cannot read " + path_, err);
    if (got != want) return fail(DISC_E_SOURCE_CHANGED, path_ + " became shorter");
    std::memset(out + want, 0, static_cast<size_t>(size - want));
    return {};
}

}  // namespace disc
