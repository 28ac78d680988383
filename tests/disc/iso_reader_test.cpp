// The session reader treats the disc as untrusted: damaged structures give
// DISC_E_BAD_FORMAT, never a crash or a read out of bounds.
#include "disc_test_support.h"
#include "iso_format.h"
#include "iso_image.h"
#include "iso_reader.h"

#include <cstring>

namespace disc_test {
namespace {

class MemoryReader : public disc::SectorReader {
public:
    explicit MemoryReader(std::vector<uint8_t> data) : data_(std::move(data)) {}
    uint32_t limit() const override { return uint32_t(data_.size() / 2048); }
    bool read(uint32_t lba, uint32_t count, uint8_t* out) override {
        if (uint64_t(lba) + count > limit()) return false;
        std::memcpy(out, data_.data() + size_t(lba) * 2048, size_t(count) * 2048);
        return true;
    }
    std::vector<uint8_t> data_;
};

class IsoReader : public DiscTest {
protected:
    // The metadata of a small image built at block 0.
    std::vector<uint8_t> image() {
        disc::IsoTree tree(true);
        uint32_t folder = 0, file = 0;
        EXPECT_FALSE(tree.addFolder(tree.root(), "Folder", folder));
        EXPECT_FALSE(tree.addFile(folder, writeSource("x.txt", "xyz"), "Datei.txt", file));
        disc::IsoImage img;
        EXPECT_FALSE(disc::buildIsoImage(tree, 0, {"L", "", ""}, 0, img));
        std::vector<uint8_t> data = img.metadata;
        data.resize(size_t(img.blocks) * 2048);
        return data;
    }
    static uint32_t jolietRoot(const std::vector<uint8_t>& d) { return disc::iso::getLe32(&d[17 * 2048 + 156 + 2]); }
};

TEST_F(IsoReader, ReadsItsOwnImageWithJolietNames) {
    MemoryReader reader(image());
    disc::ImportedEntry root;
    ASSERT_FALSE(disc::readIsoSession(reader, 0, root));
    ASSERT_EQ(root.kids.size(), 1u);
    EXPECT_EQ(root.kids[0].name, "Folder");
    ASSERT_EQ(root.kids[0].kids.size(), 1u);
    EXPECT_EQ(root.kids[0].kids[0].name, "Datei.txt");
    EXPECT_EQ(root.kids[0].kids[0].size, 3u);
}

TEST_F(IsoReader, DamagedStructuresAreRefused) {
    struct Damage { const char* what; void (*apply)(std::vector<uint8_t>&, uint32_t root); };
    const Damage damages[] = {
        {"no descriptors", [](std::vector<uint8_t>& d, uint32_t) { std::memset(&d[16 * 2048], 0, 3 * 2048); }},
        {"root extent past the end", [](std::vector<uint8_t>& d, uint32_t) {
             for (uint32_t vd : {16u, 17u}) disc::iso::putBoth32(&d[vd * 2048 + 156 + 2], 0x7FFFFFF0); }},
        {"root size huge", [](std::vector<uint8_t>& d, uint32_t) {
             for (uint32_t vd : {16u, 17u}) disc::iso::putBoth32(&d[vd * 2048 + 156 + 10], 0xFFFFFFFF); }},
        {"record longer than the sector", [](std::vector<uint8_t>& d, uint32_t root) { d[root * 2048 + 68] = 250;
             std::memset(&d[root * 2048 + 68 + 1], 1, 250); d[root * 2048 + 68 + 32] = 200; }},
        {"name longer than the record", [](std::vector<uint8_t>& d, uint32_t root) { d[root * 2048 + 68 + 32] = 120; }},
        {"folder that contains itself", [](std::vector<uint8_t>& d, uint32_t root) {
             disc::iso::putBoth32(&d[root * 2048 + 68 + 2], root); }},
        {"file extent past the end", [](std::vector<uint8_t>& d, uint32_t root) {
             uint32_t sub = disc::iso::getLe32(&d[root * 2048 + 68 + 2]);
             disc::iso::putBoth32(&d[sub * 2048 + 68 + 2], 0x00FFFFFF); }},
    };
    for (const Damage& damage : damages) {
        std::vector<uint8_t> data = image();
        damage.apply(data, jolietRoot(data));
        MemoryReader reader(data);
        disc::ImportedEntry root;
        disc::Error e = disc::readIsoSession(reader, 0, root);
        EXPECT_EQ(e.code, DISC_E_BAD_FORMAT) << damage.what;
    }
}

TEST_F(IsoReader, TruncatedImagesNeverReadPastTheEnd) {
    std::vector<uint8_t> full = image();
    for (size_t blocks = 0; blocks < full.size() / 2048; ++blocks) {
        MemoryReader reader(std::vector<uint8_t>(full.begin(), full.begin() + blocks * 2048));
        disc::ImportedEntry root;
        EXPECT_TRUE(disc::readIsoSession(reader, 0, root)) << blocks;
    }
}

}  // namespace
}  // namespace disc_test
