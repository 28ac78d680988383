// CD sectors as they lie on the disc: 2352 bytes with the sync pattern, the
// header (address and mode) and the error codes (EDC, and the P and Q parity of
// the Reed-Solomon product code), for Mode 1 and for Mode 2 XA Form 1 and
// Form 2; audio sectors are 2352 bytes of samples.
#pragma once

#include <cstdint>
#include <string>

namespace disc::cd {

constexpr uint32_t kRawSector = 2352;
constexpr uint32_t kUserData = 2048;
constexpr uint32_t kForm2Data = 2324;
constexpr uint32_t kLeadInFrames = 150;  // address 0 is 00:02:00
constexpr uint32_t kFramesPerSecond = 75;

// Mode 2 subheader (written twice into the sector).
struct XaSubheader {
    uint8_t file = 0, channel = 0, submode = 0x08, coding = 0;
};
enum : uint8_t { kSubEndOfRecord = 0x01, kSubVideo = 0x02, kSubAudio = 0x04, kSubData = 0x08,
                 kSubTrigger = 0x10, kSubForm2 = 0x20, kSubRealTime = 0x40, kSubEndOfFile = 0x80 };

void encodeMode1(uint32_t lba, const uint8_t* data2048, uint8_t* out2352);
void encodeMode2Form1(uint32_t lba, const XaSubheader& sub, const uint8_t* data2048, uint8_t* out2352);
void encodeMode2Form2(uint32_t lba, const XaSubheader& sub, const uint8_t* data2324, uint8_t* out2352);

bool hasSync(const uint8_t* sector);
// True when the sector's EDC (and, for Mode 1 and Form 1, its parity) is right.
bool checkSector(const uint8_t* sector);
// The 2048 user bytes of a data sector (Mode 1, or Mode 2 Form 1); false (and
// zeros) for a Form 2, audio or unreadable one.
bool cookedData(const uint8_t* raw, uint8_t* out2048);
// Absolute address (`lba`) in the header; the mode byte.
uint32_t headerLba(const uint8_t* raw);

// "mm:ss:ff" of a frame count, and back; false for malformed text.
std::string msfText(uint32_t frames);
bool parseMsf(const std::string& text, uint32_t& frames);

}  // namespace disc::cd
