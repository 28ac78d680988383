// What every disc layer call of a test passes: the exception-text buffer,
// the system-error field and the failure record, and the two default drives.
#pragma once

#include "disc/disc_layer.h"

#include <cstdint>

struct Frame {
    char text[1024] = {};
    uint32_t sys = 0;
    DiscFailureRecord failure = {};
};

#define GF(f) (f).text, sizeof((f).text), &(f).sys, &(f).failure

constexpr DiscDeviceAddress kDvd {1, 0, 0, 0};
constexpr DiscDeviceAddress kCd {1, 0, 1, 0};
