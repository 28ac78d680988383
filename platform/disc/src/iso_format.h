// Byte-level helpers for ISO 9660 structures: both-endian numbers, dates and
// directory records.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace disc::iso {

constexpr uint32_t kBlock = 2048;
constexpr uint32_t kDescriptorStart = 16;           // blocks into the session
constexpr uint64_t kMaxSection = 0xFFFFF800ull;     // largest extent: 4 GiB - 2048
constexpr uint8_t kFlagDirectory = 0x02;
constexpr uint8_t kFlagMultiExtent = 0x80;

inline void putLe16(uint8_t* p, uint16_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }
inline void putBe16(uint8_t* p, uint16_t v) { p[0] = uint8_t(v >> 8); p[1] = uint8_t(v); }
inline void putLe32(uint8_t* p, uint32_t v) { for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i)); }
inline void putBe32(uint8_t* p, uint32_t v) { for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (24 - 8 * i)); }
inline void putBoth16(uint8_t* p, uint16_t v) { putLe16(p, v); putBe16(p + 2, v); }
inline void putBoth32(uint8_t* p, uint32_t v) { putLe32(p, v); putBe32(p + 4, v); }
inline uint16_t getLe16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t getLe32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The root folder's block of a primary volume descriptor; -1 for any other
// block.
inline int64_t primaryRootLba(const uint8_t* descriptor) {
    if (descriptor[0] != 1 || std::memcmp(descriptor + 1, "CD001", 5) != 0) return -1;
    return getLe32(descriptor + 156 + 2);
}

struct CivilTime { int year, month, day, hour, minute, second; };
CivilTime civilFromUnix(int64_t seconds);
int64_t unixFromRecordDate(const uint8_t date[7]);

// 7-byte directory-record date (UTC).
void putRecordDate(uint8_t* p, int64_t unixSeconds);
// 17-byte descriptor date "YYYYMMDDHHMMSScc" + zone (UTC).
void putDescriptorDate(uint8_t* p, int64_t unixSeconds);

// Writes `text` into a fixed field padded with blanks (a-characters field).
void putText(uint8_t* p, size_t size, const std::string& text);
// Writes UCS-2 big-endian text into a fixed field padded with UCS-2 blanks.
void putUcs2(uint8_t* p, size_t size, const std::u16string& text);

// Length of a directory record with an identifier of `idBytes` bytes.
inline uint32_t recordLength(uint32_t idBytes) { return (33 + idBytes + 1) & ~1u; }

// Writes a directory record; returns its length.
uint32_t putRecord(uint8_t* p, uint32_t extent, uint32_t size, int64_t date, uint8_t flags,
                   const uint8_t* id, uint32_t idBytes);

}  // namespace disc::iso
