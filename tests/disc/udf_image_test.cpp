// DVD-Video images: UDF 1.02 with an ISO 9660 bridge, read back by udfinfo,
// isoinfo and 7z; the files' data lie in the order they were added.
#include "disc_test_support.h"
#include "iso_format.h"

#include <map>
#include <regex>
#include <sstream>

namespace disc_test {
namespace {

class UdfImages : public DiscTest {
protected:
    DiscHandle folder(const char* name, DiscHandle parent) {
        DiscHandle n = 0;
        Frame f;
        EXPECT_EQ(UdfTree_AddFolder(&n, f.text, sizeof f.text, &f.sys, ++number_, name, parent), 0) << f.text;
        return n;
    }
    DiscHandle file(const std::string& name, const std::string& data, DiscHandle parent) {
        const std::string path = writeSource("dvd/" + name, data);
        DiscHandle n = 0;
        Frame f;
        EXPECT_EQ(UdfTree_AddFile(&n, f.text, sizeof f.text, &f.sys, ++number_, name.c_str(), path.c_str(), parent), 0)
            << f.text;
        return n;
    }
    // The DVD-Video image of the three folders, written to the DVD writer's disc.
    void writeImage(DiscHandle root, DiscHandle video, DiscHandle audio) {
        Frame f;
        DiscHandle image = 0;
        ASSERT_EQ(UdfTree_BuildImage(&image, f.text, sizeof f.text, &f.sys, root, video, audio, "VideoDVD"), 0)
            << f.text;
        DiscHandle g = grabber(kDvd);
        ASSERT_EQ(Grabber_TrackAtOnceFromTree(g, GF(f), image, 1, 0, 0, 1, 1), 0) << f.text;
    }
    uint32_t number_ = 0;
};

std::string content(const std::string& name, size_t size) {
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i) s[i] = char(name[i % name.size()] + i / 4096);
    return s;
}

TEST_F(UdfImages, DvdVideoReadsBackWithItsLabelRevisionAndFileOrder) {
    DiscHandle root = folder("", 0), video = folder("VIDEO_TS", root), audio = folder("AUDIO_TS", root);
    // The order a DVD player expects, which is not the order of the names.
    const std::vector<std::pair<std::string, size_t>> files = {
        {"VIDEO_TS.IFO", 12288}, {"VIDEO_TS.VOB", 100000}, {"VIDEO_TS.BUP", 12288},
        {"VTS_01_0.IFO", 20480}, {"VTS_01_1.VOB", 1500000}, {"VTS_01_0.BUP", 20480}};
    for (const auto& [name, size] : files) file(name, content(name, size), video);
    Frame f;
    DiscHandle image = 0;
    ASSERT_EQ(UdfTree_BuildImage(&image, f.text, sizeof f.text, &f.sys, root, video, audio, "VideoDVD"), 0) << f.text;
    uint32_t high = 0;
    const uint64_t bytes = IsoTree_GetImageSize(image, &high);
    EXPECT_GT(bytes, 1664000u);
    DiscHandle g = grabber(kDvd);
    ASSERT_EQ(Grabber_TrackAtOnceFromTree(g, GF(f), image, 1, 0, 0, 1, 1), 0) << f.text;
    ASSERT_EQ(closeSession(g), 0);
    const std::string iso = exportMedium("drive0");

    const std::string udf = run("udfinfo " + iso);
    EXPECT_NE(udf.find("label=VideoDVD"), std::string::npos) << udf;
    EXPECT_NE(udf.find("udfrev=1.02"), std::string::npos) << udf;

    // The ISO side lists every file, their extents ascending in the order added.
    const std::string listing = run(std::string(ISOINFO) + " -l -i " + iso);
    std::map<std::string, uint32_t> extent;
    std::regex record(R"(\[\s*(\d+)\s+\d+\]\s+(\S+);1)");
    for (std::sregex_iterator it(listing.begin(), listing.end(), record), end; it != end; ++it)
        extent[(*it)[2]] = uint32_t(std::stoul((*it)[1]));
    ASSERT_EQ(extent.size(), files.size()) << listing;
    for (size_t i = 1; i < files.size(); ++i)
        EXPECT_LT(extent[files[i - 1].first], extent[files[i].first]) << files[i].first << "\n" << listing;
    EXPECT_NE(run(std::string(ISOINFO) + " -d -i " + iso).find("Volume id: VideoDVD"), std::string::npos);
    EXPECT_NE(listing.find("Directory listing of /AUDIO_TS/"), std::string::npos) << listing;

    for (const char* type : {"udf", "iso"})
        EXPECT_EQ(md5(run(std::string(SEVENZ) + " x -so -t" + type + " " + iso + " VIDEO_TS/VTS_01_1.VOB")),
                  md5(content("VTS_01_1.VOB", 1500000)))
            << type;
    EXPECT_EQ(UdfTree_FreeImage(&image), 0);
    EXPECT_EQ(image, 0u);
}

// Folders whose identifiers take several blocks: a DVD of many title sets,
// and a sub-folder below VIDEO_TS.
TEST_F(UdfImages, LargeFoldersReadBackInBothFileSystems) {
    DiscHandle root = folder("", 0), video = folder("VIDEO_TS", root), audio = folder("AUDIO_TS", root);
    DiscHandle extra = folder("EXTRA", video);
    char name[32];
    for (int set = 1; set <= 99; ++set)
        for (const char* ext : {"IFO", "BUP"}) {
            std::snprintf(name, sizeof name, "VTS_%02d_0.%s", set, ext);
            file(name, content(name, 2048 + set), video);
        }
    file("NOTES.TXT", "notes", extra);
    ASSERT_NO_FATAL_FAILURE(writeImage(root, video, audio));
    const std::string iso = exportMedium("drive0");
    EXPECT_NE(run("udfinfo " + iso).find("numfiles=199"), std::string::npos) << run("udfinfo " + iso);
    for (const char* type : {"udf", "iso"}) {
        const std::string listing = run(std::string(SEVENZ) + " l -t" + type + " " + iso);
        EXPECT_NE(listing.find("199 files"), std::string::npos) << type << listing;
        EXPECT_EQ(run(std::string(SEVENZ) + " x -so -t" + type + " " + iso + " VIDEO_TS/EXTRA/NOTES.TXT"), "notes")
            << type;
        EXPECT_EQ(md5(run(std::string(SEVENZ) + " x -so -t" + type + " " + iso + " VIDEO_TS/VTS_99_0.BUP")),
                  md5(content("VTS_99_0.BUP", 2048 + 99)))
            << type;
    }
}

TEST_F(UdfImages, BuildRefusesFoldersOutsideTheRootAndDuplicateNames) {
    DiscHandle root = folder("", 0), video = folder("VIDEO_TS", root), other = folder("", 0);
    DiscHandle stray = folder("AUDIO_TS", other);
    file("VIDEO_TS.IFO", "ifo", video);
    Frame f;
    DiscHandle n = 0, image = 0;
    const std::string path = writeSource("again", "x");
    EXPECT_EQ(UdfTree_AddFile(&n, f.text, sizeof f.text, &f.sys, 1, "video_ts.ifo", path.c_str(), video),
              DISC_E_DUPLICATE_NAME);
    EXPECT_EQ(UdfTree_BuildImage(&image, f.text, sizeof f.text, &f.sys, root, video, stray, "VideoDVD"),
              DISC_E_INVALID_ARGUMENT);
    EXPECT_EQ(image, 0u);
    EXPECT_EQ(UdfTree_FreeNode(&stray, 1), 0);
    EXPECT_EQ(UdfTree_FreeNode(&stray, 1), DISC_E_INVALID_HANDLE);
}

}  // namespace
}  // namespace disc_test

namespace disc_test {
namespace {

// The ISO bridge's path tables: the L and M tables each hold as many bytes
// as the descriptor declares, their folders in ISO 9660's order (by level,
// then parent, then name) with every parent's number right; names that map
// to one identifier stay two records.
TEST_F(UdfImages, TheBridgePathTablesAreInIsoOrderAndNamesStayApart) {
    // Added deepest first and out of name order.
    DiscHandle root = folder("", 0), video = folder("VIDEO_TS", root);
    DiscHandle extra = folder("extra", video), deeper = folder("b-side", extra);
    DiscHandle audio = folder("AUDIO_TS", root);
    folder("a-side", extra);
    file("VIDEO_TS.IFO", content("ifo", 4096), video);
    file("notes-1.txt", "one", deeper);
    file("notes_1.txt", "two", deeper);
    ASSERT_NO_FATAL_FAILURE(writeImage(root, video, audio));
    const std::string iso = readFile(exportMedium("drive0"));
    auto at = [&](size_t offset) { return reinterpret_cast<const uint8_t*>(iso.data()) + offset; };
    const uint8_t* pvd = at(16 * 2048);
    const uint32_t size = disc::iso::getLe32(pvd + 132);
    const uint32_t lTable = disc::iso::getLe32(pvd + 140);
    const uint32_t mTable = uint32_t(pvd[148]) << 24 | pvd[149] << 16 | pvd[150] << 8 | pvd[151];

    struct Record {
        std::string id;
        uint16_t parent;
        bool operator==(const Record& o) const { return id == o.id && parent == o.parent; }
    };
    const std::vector<Record> expected = {{std::string(1, '\0'), 1}, {"AUDIO_TS", 1}, {"VIDEO_TS", 1},
                                          {"EXTRA", 3}, {"A_SIDE", 4}, {"B_SIDE", 4}};
    for (bool little : {true, false}) {
        SCOPED_TRACE(little ? "L table" : "M table");
        const uint8_t* t = at(size_t(little ? lTable : mTable) * 2048);
        std::vector<Record> records;
        size_t walked = 0;
        while (walked < size && t[walked]) {
            const uint8_t* r = t + walked;
            const uint16_t parent = little ? uint16_t(r[6] | r[7] << 8) : uint16_t(r[6] << 8 | r[7]);
            records.push_back({std::string(reinterpret_cast<const char*>(r + 8), r[0]), parent});
            walked += 8 + ((r[0] + 1) & ~1u);
        }
        EXPECT_EQ(size, walked);
        ASSERT_EQ(expected.size(), records.size());
        for (size_t i = 0; i < expected.size(); ++i)
            EXPECT_TRUE(expected[i] == records[i]) << i << ": " << records[i].id << " of " << records[i].parent;
    }
    const std::string listing = run(std::string(ISOINFO) + " -f -i " + exportMedium("drive0"));
    EXPECT_NE(listing.find("/VIDEO_TS/EXTRA/B_SIDE/NOTES_1.TXT;1"), std::string::npos) << listing;
    EXPECT_NE(listing.find("/VIDEO_TS/EXTRA/B_SIDE/NOTES_1~1.TXT;1"), std::string::npos) << listing;
}

}  // namespace
}  // namespace disc_test
