// Images written by the layer, read back with the standard ISO tools.
#include "disc_test_support.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <set>
#include <sstream>
#include <unistd.h>
#include <utime.h>

namespace disc_test {
namespace {

class IsoReadback : public DiscTest {};

// isoinfo knows no UTF-8: list the Joliet names as Latin-1 and convert.
std::string jolietListing(const std::string& iso) {
    return run(std::string(ISOINFO) + " -J -j iso8859-1 -f -i " + iso + " | iconv -f latin1 -t utf-8");
}

TEST_F(IsoReadback, NamesSizesContentsAndVolumeTextsReadBack) {
    DiscHandle g = grabber(kDvd), t = newTree();
    DiscNodeHandle root = IsoTree_GetRoot(t);
    DiscNodeHandle docs = addFolder(t, root, "Documents and Settings");
    DiscNodeHandle deep = addFolder(t, docs, "Ünïcode Ordner");
    const std::string big(3 * 1024 * 1024 + 17, 'x');  // crosses write chunks and blocks
    addFile(t, root, "readme.txt", "hello disc\n");
    addFile(t, root, "a name with spaces and a long tail.extension", "spaces");
    addFile(t, docs, "big.bin", big);
    addFile(t, deep, "Grüße.txt", "grüße");
    addFile(t, root, "empty.dat", "");
    ASSERT_EQ(burn(g, t, false), 0);
    ASSERT_EQ(closeSession(g), 0);
    std::string iso = exportMedium("drive0");

    std::string joliet = jolietListing(iso);
    for (const char* path : {"/readme.txt", "/a name with spaces and a long tail.extension",
                             "/Documents and Settings/big.bin", "/Documents and Settings/Ünïcode Ordner/Grüße.txt",
                             "/empty.dat"})
        EXPECT_NE(joliet.find(std::string(path) + "\n"), std::string::npos) << path << " in\n" << joliet;
    std::string primary = run(std::string(ISOINFO) + " -f -i " + iso);
    EXPECT_NE(primary.find("/README.TXT;1"), std::string::npos) << primary;
    EXPECT_NE(primary.find("/DOCUMENTS_AND_SETTINGS/BIG.BIN;1"), std::string::npos) << primary;

    EXPECT_EQ(run(std::string(SEVENZ) + " x -so " + iso + " readme.txt"), "hello disc\n");
    EXPECT_EQ(md5(run(std::string(SEVENZ) + " x -so " + iso + " 'Documents and Settings/big.bin'")), md5(big));
    EXPECT_EQ(run(std::string(SEVENZ) + " x -so " + iso + " 'Documents and Settings/Ünïcode Ordner/Grüße.txt'"),
              "grüße");
    std::string sizes = run(std::string(XORRISO) + " -indev " + iso + " -find / -type f -exec lsdl");
    EXPECT_NE(sizes.find(std::to_string(big.size())), std::string::npos) << sizes;

    std::string volume = run(std::string(ISOINFO) + " -d -i " + iso);
    EXPECT_NE(volume.find("Volume id: DATA"), std::string::npos) << volume;
    EXPECT_NE(volume.find("Publisher id: Tavell software"), std::string::npos) << volume;
    EXPECT_NE(volume.find("Application id: Tavell Burner"), std::string::npos) << volume;
    EXPECT_NE(volume.find("Joliet with UCS level 3"), std::string::npos) << volume;
}

// Record dates come from the files' modification times, in both hierarchies.
TEST_F(IsoReadback, FileDatesReadBackInBothHierarchies) {
    DiscHandle g = grabber(kDvd), t = newTree();
    std::string path = writeSource("Dated file.txt", "dated");
    const utimbuf times = {981173106, 981173106};  // 2001-02-03 04:05:06 UTC
    ASSERT_EQ(utime(path.c_str(), &times), 0);
    DiscNodeHandle n = 0;
    Frame f;
    ASSERT_EQ(IsoTree_Add(t, f.text, sizeof f.text, &f.sys, path.c_str(), nullptr, 0, IsoTree_GetRoot(t), &n), 0);
    ASSERT_EQ(burn(g, t), 0);
    std::string iso = exportMedium("drive0");
    for (const char* hierarchy : {"", "-J "}) {
        std::string listing = run("TZ=UTC " + std::string(ISOINFO) + " -l " + hierarchy + "-i " + iso);
        size_t line = listing.find("Feb  3 2001");
        ASSERT_NE(line, std::string::npos) << hierarchy << listing;
        EXPECT_NE(listing.find(hierarchy[0] ? "Dated file.txt" : "DATED_FILE.TXT;1", line), std::string::npos)
            << listing;
    }
}

TEST_F(IsoReadback, PrimaryNamesStayUniqueWhenTheyCollapse) {
    DiscHandle g = grabber(kDvd), t = newTree();
    DiscNodeHandle root = IsoTree_GetRoot(t);
    addFile(t, root, "report+2020.txt", "a");
    addFile(t, root, "report 2020.txt", "b");
    addFile(t, root, "report_2020.txt", "c");
    ASSERT_EQ(burn(g, t), 0);
    std::string iso = exportMedium("drive0");
    std::istringstream primary(run(std::string(ISOINFO) + " -f -i " + iso));
    std::set<std::string> names;
    for (std::string line; std::getline(primary, line);) {
        EXPECT_EQ(line.find_first_not_of("/ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_.;"), std::string::npos) << line;
        names.insert(line);
    }
    EXPECT_EQ(names.size(), 3u);
    std::string joliet = jolietListing(iso);
    for (const char* name : {"/report+2020.txt\n", "/report 2020.txt\n", "/report_2020.txt\n"})
        EXPECT_NE(joliet.find(name), std::string::npos) << joliet;
}

// Directories of many sectors, with records that must not cross a sector.
TEST_F(IsoReadback, LargeFoldersListEveryEntry) {
    DiscHandle g = grabber(kDvd), t = newTree();
    DiscNodeHandle folder = addFolder(t, IsoTree_GetRoot(t), "many");
    const int count = 1500;
    std::string path = writeSource("shared.txt", "same");
    for (int i = 0; i < count; ++i) {
        std::string name = "entry number " + std::to_string(i) + " with a longer name.txt";
        DiscNodeHandle n = 0;
        Frame f;
        ASSERT_EQ(IsoTree_Add(t, f.text, sizeof f.text, &f.sys, path.c_str(), name.c_str(), 0, folder, &n), 0);
    }
    ASSERT_EQ(burn(g, t), 0);
    std::string iso = exportMedium("drive0");
    auto lines = [](const std::string& s) { return std::count(s.begin(), s.end(), '\n'); };
    EXPECT_EQ(lines(jolietListing(iso)), count + 1);
    EXPECT_EQ(lines(run(std::string(ISOINFO) + " -f -i " + iso)), count + 1);
    EXPECT_EQ(run(std::string(SEVENZ) + " x -so " + iso + " 'many/entry number 1499 with a longer name.txt'"), "same");
}

// A sparse file of 4 GiB and more is written as multi-extent sections and
// reads back whole; the markers at the section boundary and the end prove it.
TEST_F(IsoReadback, FileOfFourGibibytesReadsBackWhole) {
    const uint64_t size = (4ull << 30) + 4096 + 5;
    std::string path = writeSource("huge.bin", "");
    int fd = open(path.c_str(), O_WRONLY);
    ASSERT_EQ(ftruncate(fd, static_cast<off_t>(size)), 0);
    ASSERT_EQ(pwrite(fd, "HEAD", 4, 0), 4);
    ASSERT_EQ(pwrite(fd, "EDGE", 4, static_cast<off_t>(0xFFFFF800ull - 2)), 4);
    ASSERT_EQ(pwrite(fd, "TAIL!", 5, static_cast<off_t>(size - 5)), 5);
    close(fd);

    DiscHandle g = grabber(kDvd), t = newTree();
    DiscNodeHandle n = 0;
    Frame f;
    ASSERT_EQ(IsoTree_Add(t, f.text, sizeof f.text, &f.sys, path.c_str(), nullptr, 0, IsoTree_GetRoot(t), &n), 0);
    ASSERT_EQ(burn(g, t), 0) << f.text;
    std::string iso = exportMedium("drive0");

    std::string listing = run(std::string(XORRISO) + " -indev " + iso + " -find /huge.bin -exec lsdl");
    EXPECT_NE(listing.find(std::to_string(size)), std::string::npos) << listing;
    auto cut = [&](uint64_t at, int len) {
        std::string out = (root_ / "cut").string();
        run(std::string(XORRISO) + " -osirrox on -indev " + iso + " -extract_cut /huge.bin " + std::to_string(at) +
            " " + std::to_string(len) + " " + out);
        std::string bytes = readFile(out);
        fs::remove(out);
        return bytes;
    };
    EXPECT_EQ(cut(0, 4), "HEAD");
    EXPECT_EQ(cut(0xFFFFF800ull - 2, 4), "EDGE");
    EXPECT_EQ(cut(size - 5, 5), "TAIL!");
    EXPECT_LT(fs::file_size(data_ / "VirtualDrives" / "drive0.img") / 1024 / 1024, 5000u);
}

// Files of 1 MiB and more start on a 64 KiB boundary of the medium (a copy
// off it takes half as long again); smaller files stay packed.
TEST_F(IsoReadback, LargeFilesStartOnSixtyFourKibibyteBoundaries) {
    DiscHandle g = grabber(kDvd), t = newTree();
    DiscNodeHandle root = IsoTree_GetRoot(t);
    addFile(t, root, "a.txt", "small");
    addFile(t, root, "b.bin", std::string(1 << 20, 'b'));
    addFile(t, root, "c.txt", std::string(3 * 2048 + 1, 'c'));
    addFile(t, root, "d.bin", std::string((1 << 20) + 1, 'd'));
    addFile(t, root, "e.txt", "small");
    ASSERT_EQ(burn(g, t), 0);
    std::istringstream layout(run(std::string(XORRISO) + " -indev " + exportMedium("drive0") +
                                  " -find / -type f -exec report_lba 2>/dev/null"));
    std::map<std::string, uint32_t> lba;
    for (std::string line; std::getline(layout, line);) {
        unsigned extent = 0, start = 0, blocks = 0;
        char name[64] = {};
        if (std::sscanf(line.c_str(), "File data lba: %u , %u , %u , %*u , '/%63[^']'", &extent, &start, &blocks, name) == 4)
            lba[name] = start;
    }
    ASSERT_EQ(lba.size(), 5u);
    EXPECT_EQ(lba["b.bin"] % 32, 0u) << lba["b.bin"];
    EXPECT_EQ(lba["d.bin"] % 32, 0u) << lba["d.bin"];
    EXPECT_EQ(lba["c.txt"], lba["b.bin"] + 512);
    EXPECT_EQ(lba["e.txt"], lba["d.bin"] + 513);
}

// Session two imports session one, adds a file and is written at the next
// writable address behind the CD's lead-out and lead-in; the last session
// lists both files.
TEST_F(IsoReadback, SecondSessionListsOldAndNewFiles) {
    DiscHandle g = grabber(kCd);
    DiscHandle first = newTree();
    addFile(first, IsoTree_GetRoot(first), "old.txt", "from session one");
    ASSERT_EQ(burn(g, first), 0);
    ASSERT_EQ(closeSession(g), 0);
    uint32_t nwa = nextWritable(g);
    EXPECT_GT(nwa, 11400u);

    DiscHandle second = newTree();
    Frame f;
    ASSERT_EQ(IsoTree_ImportSession(g, second, 1, 1, f.text, sizeof f.text, &f.sys), 0) << f.text;
    addFile(second, IsoTree_GetRoot(second), "new.txt", "from session two");
    ASSERT_EQ(burn(g, second, false), 0);
    ASSERT_EQ(closeSession(g), 0);

    std::string iso = exportMedium("drive1");
    std::string listing = run(std::string(XORRISO) + " -indev " + iso + " -load sbsector " + std::to_string(nwa) +
                              " -find / -type f");
    EXPECT_NE(listing.find("'/old.txt'"), std::string::npos) << listing;
    EXPECT_NE(listing.find("'/new.txt'"), std::string::npos) << listing;
    std::string old = (root_ / "old.out").string();
    run(std::string(XORRISO) + " -osirrox on -indev " + iso + " -load sbsector " + std::to_string(nwa) +
        " -extract /old.txt " + old);
    EXPECT_EQ(readFile(old), "from session one");
}

}  // namespace
}  // namespace disc_test
