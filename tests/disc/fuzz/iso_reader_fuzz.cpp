// libFuzzer target of the session reader: the input is the disc from block 16
// on (the descriptors), so the fuzzer spends its time on the structures.
#include "iso_reader.h"

#include <cstring>
#include <vector>

namespace {

class InputReader : public disc::SectorReader {
public:
    InputReader(const uint8_t* data, size_t size) : bytes_(16 * 2048, 0) {
        bytes_.insert(bytes_.end(), data, data + size);
        bytes_.resize((bytes_.size() + 2047) / 2048 * 2048);
    }
    uint32_t limit() const override { return uint32_t(bytes_.size() / 2048); }
    bool read(uint32_t lba, uint32_t count, uint8_t* out) override {
        if (uint64_t(lba) + count > limit()) return false;
        std::memcpy(out, bytes_.data() + size_t(lba) * 2048, size_t(count) * 2048);
        return true;
    }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader reader(data, size);
    disc::ImportedEntry root;
    disc::ReadLimits limits;
    limits.maxEntries = 10000;
    disc::readIsoSession(reader, 0, root, limits);
    return 0;
}
