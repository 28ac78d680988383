// The numbers of drives and media the device and the jobs count in.
#pragma once
#include <cstdint>

// Bytes of one data block (a CD's mode-1 sector, a DVD's sector).
const uint32_t BLOCK_SIZE = 2048;
// A CD address's frames per second, and the two seconds of pregap before
// its first block.
const uint32_t MSF_FRAMES_PER_SECOND = 75;
const uint32_t MSF_PREGAP_SECONDS = 2;

// The speed (KB/s) that asks a drive for its fastest.
const uint32_t FASTEST_SPEED = 0xFFFF;
// KB/s of one "x": 1x of a CD, 1x of a DVD.
const unsigned CD_SPEED_UNIT = 176;
const unsigned DVD_SPEED_UNIT = 1385;
// The odd speeds between whole steps that drives have: 2.2x CD, 2.4x DVD.
const unsigned CD_ODD_SPEED = 387;
const unsigned DVD_ODD_SPEED = 3324;

// The last argument of a job method: its low byte is the buffer size the
// job's grabber is made with; 0xFF there asks for a test write.
const unsigned TEST_WRITE_MARKER = 0xFF;
inline uint32_t JobBufferSize(unsigned lastArgument) { return lastArgument & 0xFF; }
inline bool IsTestWrite(unsigned lastArgument) { return JobBufferSize(lastArgument) == TEST_WRITE_MARKER; }
