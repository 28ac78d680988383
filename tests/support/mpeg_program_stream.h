// A small MPEG-1 program stream for the Video CD writers' tests: packs of
// one 2324-byte sector each, video and audio packets by turns, with a
// payload that differs from sector to sector.
#pragma once
#include <cstddef>
#include <string>

inline std::string MpegProgramStream(size_t packs)
{
    const size_t packBytes = 2324;
    std::string s;
    for (size_t i = 0; i < packs; ++i) {
        std::string pack("\x00\x00\x01\xBA\x21\x00\x01\x00\x01\x80\x1B\x91", 12);
        const size_t payload = packBytes - pack.size() - 6;
        pack += std::string("\x00\x00\x01", 3) + char(i % 3 ? 0xE0 : 0xC0);
        pack += char(payload >> 8);
        pack += char(payload & 0xFF);
        pack += '\x0F';
        for (size_t b = 1; b < payload; ++b) pack += char((i * 31 + b) & 0x7F);
        s += pack;
    }
    return s;
}
