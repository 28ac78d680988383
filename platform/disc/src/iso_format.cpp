#include "iso_format.h"

#include <cstdio>

namespace disc::iso {

// Days to civil date, proleptic Gregorian (H. Hinnant's algorithm).
CivilTime civilFromUnix(int64_t seconds) {
    int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    int64_t rem = seconds - days * 86400;
    days += 719468;
    int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    int64_t doe = days - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    CivilTime t;
    t.day = int(doy - (153 * mp + 2) / 5 + 1);
    t.month = int(mp < 10 ? mp + 3 : mp - 9);
    t.year = int(yoe + era * 400 + (t.month <= 2));
    t.hour = int(rem / 3600);
    t.minute = int(rem / 60 % 60);
    t.second = int(rem % 60);
    return t;
}

int64_t unixFromRecordDate(const uint8_t d[7]) {
    int y = 1900 + d[0], m = d[1], day = d[2];
    if (m < 1 || m > 12 || day < 1 || day > 31) return 0;
    y -= m <= 2;
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    int64_t days = era * 146097 + doe - 719468;
    int64_t zone = static_cast<int8_t>(d[6]) * 15 * 60;
    return days * 86400 + d[3] * 3600 + d[4] * 60 + d[5] - zone;
}

static int clampYear(int year) { return year < 1900 ? 1900 : (year > 2155 ? 2155 : year); }

void putRecordDate(uint8_t* p, int64_t unixSeconds) {
    CivilTime t = civilFromUnix(unixSeconds);
    p[0] = uint8_t(clampYear(t.year) - 1900);
    p[1] = uint8_t(t.month);
    p[2] = uint8_t(t.day);
    p[3] = uint8_t(t.hour);
    p[4] = uint8_t(t.minute);
    p[5] = uint8_t(t.second);
    p[6] = 0;
}

void putDescriptorDate(uint8_t* p, int64_t unixSeconds) {
    CivilTime t = civilFromUnix(unixSeconds);
    char text[20];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d00", clampYear(t.year) % 10000, t.month, t.day,
                  t.hour, t.minute, t.second);
    std::memcpy(p, text, 16);
    p[16] = 0;
}

void putText(uint8_t* p, size_t size, const std::string& text) {
    std::memset(p, ' ', size);
    std::memcpy(p, text.data(), text.size() < size ? text.size() : size);
}

void putUcs2(uint8_t* p, size_t size, const std::u16string& text) {
    for (size_t i = 0; i + 1 < size; i += 2) putBe16(p + i, ' ');
    for (size_t i = 0; i < text.size() && 2 * i + 1 < size; ++i) putBe16(p + 2 * i, text[i]);
}

uint32_t putRecord(uint8_t* p, uint32_t extent, uint32_t size, int64_t date, uint8_t flags,
                   const uint8_t* id, uint32_t idBytes) {
    uint32_t len = recordLength(idBytes);
    std::memset(p, 0, len);
    p[0] = uint8_t(len);
    putBoth32(p + 2, extent);
    putBoth32(p + 10, size);
    putRecordDate(p + 18, date);
    p[25] = flags;
    putBoth16(p + 28, 1);
    p[32] = uint8_t(idBytes);
    std::memcpy(p + 33, id, idBytes);
    return len;
}

}  // namespace disc::iso
