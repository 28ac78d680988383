// The portable way to copy a range between files: through a buffer, leaving
// all-zero stretches unwritten so that sparse sources stay sparse. The buffer
// is kept per thread: a fresh 4 MiB block per chunk costs its page faults
// every time (under Wine about a third of the copy's time).
#include "os_seam.h"

#include <cstring>
#include <vector>

namespace disc::os {

bool allZero(const uint8_t* data, size_t size) {
    return size == 0 || (data[0] == 0 && std::memcmp(data, data + 1, size - 1) == 0);
}

uint32_t File::copyByBuffer(uint64_t offset, File& dest, uint64_t destOffset, uint64_t size, uint64_t& got) {
    static thread_local std::vector<uint8_t> buffer(4u << 20);
    got = 0;
    while (got < size) {
        size_t want = size_t(std::min<uint64_t>(buffer.size(), size - got)), n = 0;
        if (uint32_t err = readAt(offset + got, buffer.data(), want, n)) return err;
        if (n == 0) break;
        if (!allZero(buffer.data(), n))
            if (uint32_t err = dest.writeAt(destOffset + got, buffer.data(), n)) return err;
        got += n;
        if (n < want) break;
    }
    return 0;
}

}  // namespace disc::os
