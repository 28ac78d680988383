#include "cd_sector.h"

#include <cstdio>
#include <cstring>

namespace disc::cd {

namespace {

struct Tables {
    uint32_t edc[256];
    uint8_t eccF[256], eccB[256];
    Tables() {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t e = i;
            for (int k = 0; k < 8; ++k) e = (e >> 1) ^ (e & 1 ? 0xD8018001u : 0);
            edc[i] = e;
            uint32_t j = (i << 1) ^ (i & 0x80 ? 0x11D : 0);
            eccF[i] = uint8_t(j);
            eccB[i ^ j] = uint8_t(i);
        }
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

uint32_t edc(const uint8_t* p, size_t n) {
    const Tables& t = tables();
    uint32_t e = 0;
    for (size_t i = 0; i < n; ++i) e = (e >> 8) ^ t.edc[(e ^ p[i]) & 0xFF];
    return e;
}

void putLe32(uint8_t* p, uint32_t v) { for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i)); }
uint32_t getLe32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

// One of the two parity codes over bytes 12..2075 (the P code) or 12..2247
// (the Q code), as the product code lays them out.
void eccBlock(const uint8_t* src, uint32_t majorCount, uint32_t minorCount, uint32_t majorMult,
              uint32_t minorInc, uint8_t* dest) {
    const Tables& t = tables();
    const uint32_t size = majorCount * minorCount;
    for (uint32_t major = 0; major < majorCount; ++major) {
        uint32_t index = (major >> 1) * majorMult + (major & 1);
        uint8_t a = 0, b = 0;
        for (uint32_t minor = 0; minor < minorCount; ++minor) {
            uint8_t v = src[index];
            index += minorInc;
            if (index >= size) index -= size;
            a ^= v;
            b ^= v;
            a = t.eccF[a];
        }
        a = t.eccB[t.eccF[a] ^ b];
        dest[major] = a;
        dest[major + majorCount] = a ^ b;
    }
}

// P and Q parity; Mode 2 computes them with the address bytes taken as zero.
void ecc(uint8_t* s, bool zeroAddress) {
    uint8_t address[4];
    std::memcpy(address, s + 12, 4);
    if (zeroAddress) std::memset(s + 12, 0, 4);
    eccBlock(s + 12, 86, 24, 2, 86, s + 2076);
    eccBlock(s + 12, 52, 43, 86, 88, s + 2248);
    std::memcpy(s + 12, address, 4);
}

uint8_t bcd(uint32_t v) { return uint8_t((v / 10) << 4 | v % 10); }
uint32_t fromBcd(uint8_t v) { return (v >> 4) * 10 + (v & 15); }

void header(uint32_t lba, uint8_t mode, uint8_t* s) {
    s[0] = 0;
    std::memset(s + 1, 0xFF, 10);
    s[11] = 0;
    uint32_t f = lba + kLeadInFrames;
    s[12] = bcd(f / (60 * kFramesPerSecond) % 100);
    s[13] = bcd(f / kFramesPerSecond % 60);
    s[14] = bcd(f % kFramesPerSecond);
    s[15] = mode;
}

void subheader(const XaSubheader& sub, uint8_t* s) {
    const uint8_t b[4] = {sub.file, sub.channel, sub.submode, sub.coding};
    std::memcpy(s + 16, b, 4);
    std::memcpy(s + 20, b, 4);
}

}  // namespace

void encodeMode1(uint32_t lba, const uint8_t* data, uint8_t* s) {
    header(lba, 1, s);
    std::memcpy(s + 16, data, kUserData);
    putLe32(s + 2064, edc(s, 2064));
    std::memset(s + 2068, 0, 8);
    ecc(s, false);
}

void encodeMode2Form1(uint32_t lba, const XaSubheader& sub, const uint8_t* data, uint8_t* s) {
    header(lba, 2, s);
    XaSubheader form1 = sub;
    form1.submode &= uint8_t(~kSubForm2);
    subheader(form1, s);
    std::memcpy(s + 24, data, kUserData);
    putLe32(s + 2072, edc(s + 16, 2056));
    ecc(s, true);
}

void encodeMode2Form2(uint32_t lba, const XaSubheader& sub, const uint8_t* data, uint8_t* s) {
    header(lba, 2, s);
    XaSubheader form2 = sub;
    form2.submode |= kSubForm2;
    subheader(form2, s);
    std::memcpy(s + 24, data, kForm2Data);
    putLe32(s + 2348, edc(s + 16, 2332));
}

bool hasSync(const uint8_t* s) {
    static const uint8_t sync[12] = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0};
    return std::memcmp(s, sync, 12) == 0;
}

bool checkSector(const uint8_t* s) {
    if (!hasSync(s)) return false;
    uint8_t copy[kRawSector];
    std::memcpy(copy, s, kRawSector);
    if (s[15] == 1) {
        if (edc(s, 2064) != getLe32(s + 2064)) return false;
        ecc(copy, false);
    } else if (s[15] == 2 && (s[18] & kSubForm2)) {
        uint32_t stored = getLe32(s + 2348);
        return stored == 0 || stored == edc(s + 16, 2332);
    } else if (s[15] == 2) {
        if (edc(s + 16, 2056) != getLe32(s + 2072)) return false;
        ecc(copy, true);
    } else {
        return false;
    }
    return std::memcmp(copy + 2076, s + 2076, kRawSector - 2076) == 0;
}

bool cookedData(const uint8_t* raw, uint8_t* out) {
    bool ok = hasSync(raw);
    if (ok && raw[15] == 1) { std::memcpy(out, raw + 16, kUserData); return true; }
    if (ok && raw[15] == 2 && !(raw[18] & kSubForm2)) { std::memcpy(out, raw + 24, kUserData); return true; }
    std::memset(out, 0, kUserData);
    return false;
}

uint32_t headerLba(const uint8_t* raw) {
    uint32_t f = (fromBcd(raw[12]) * 60 + fromBcd(raw[13])) * kFramesPerSecond + fromBcd(raw[14]);
    return f >= kLeadInFrames ? f - kLeadInFrames : 0;
}

std::string msfText(uint32_t frames) {
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", frames / (60 * kFramesPerSecond),
                  frames / kFramesPerSecond % 60, frames % kFramesPerSecond);
    return text;
}

bool parseMsf(const std::string& text, uint32_t& frames) {
    uint32_t part[3] = {0, 0, 0};
    size_t at = 0;
    for (int i = 0; i < 3; ++i) {
        size_t digits = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 4) {
            part[i] = part[i] * 10 + uint32_t(text[at++] - '0');
            ++digits;
        }
        if (digits == 0) return false;
        if (i < 2 && (at >= text.size() || text[at++] != ':')) return false;
    }
    if (at != text.size() || part[1] >= 60 || part[2] >= kFramesPerSecond) return false;
    frames = (part[0] * 60 + part[1]) * kFramesPerSecond + part[2];
    return true;
}

}  // namespace disc::cd
