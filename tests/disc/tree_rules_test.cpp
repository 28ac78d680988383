// Tree rules: names Joliet cannot hold, case-only duplicates, files in use,
// sources that change, walking, and checked handles.
#include "disc_test_support.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace disc_test {
namespace {

class TreeRules : public DiscTest {};

TEST_F(TreeRules, NamesJolietCannotHoldAreRefused) {
    struct Case { std::string name; int expected; };
    const std::string u64(64, 'n');
    for (const Case& c : {Case {u64, 0}, Case {u64 + "x", DISC_E_BAD_NAME}, Case {"a*b", DISC_E_BAD_NAME},
                          Case {"a:b", DISC_E_BAD_NAME}, Case {"semi;colon", DISC_E_BAD_NAME},
                          Case {"q?", DISC_E_BAD_NAME}, Case {"back\\slash", DISC_E_BAD_NAME},
                          Case {"slash/", DISC_E_BAD_NAME}, Case {"tab\tname", DISC_E_BAD_NAME},
                          Case {"..", DISC_E_BAD_NAME}, Case {"Ärger über Öl", 0},
                          Case {std::string(63, 'a') + "é", 0}}) {
        DiscHandle t = newTree();
        DiscNodeHandle n = 0;
        Frame f;
        EXPECT_EQ(IsoTree_Add(t, f.text, sizeof f.text, &f.sys, nullptr, c.name.c_str(), 0, IsoTree_GetRoot(t), &n),
                  c.expected) << c.name;
        EXPECT_EQ(n != 0, c.expected == 0) << c.name;
    }
}

TEST_F(TreeRules, CaseOnlyDuplicatesAreRefusedOnAddAndRename) {
    DiscHandle t = newTree();
    DiscNodeHandle root = IsoTree_GetRoot(t);
    DiscNodeHandle readme = addFile(t, root, "ReadMe.txt", "1");
    DiscNodeHandle other = addFile(t, root, "other.txt", "2");
    addFolder(t, root, "Straße");
    Frame f;
    DiscNodeHandle n = 0;
    std::string src = writeSource("dup", "3");
    EXPECT_EQ(IsoTree_Add(t, f.text, sizeof f.text, &f.sys, src.c_str(), "README.TXT", 0, root, &n), DISC_E_DUPLICATE_NAME);
    EXPECT_EQ(IsoTree_Add(t, f.text, sizeof f.text, &f.sys, nullptr, "STRAßE", 0, root, &n), DISC_E_DUPLICATE_NAME);
    EXPECT_EQ(IsoTree_Rename(t, other, "", "readme.TXT", ""), 0);
    EXPECT_EQ(IsoTree_Rename(t, readme, "", "README.txt", ""), 1) << "renaming a node to its own name in other case";
    char iso[260], name[260], source[260];
    ASSERT_EQ(IsoTree_GetName(t, readme, iso, name, source), 0);
    EXPECT_STREQ(name, "README.txt");
}

TEST_F(TreeRules, FileInUseGivesCodeFiveWithSystemErrorThirtyTwo) {
    std::string path = writeSource("locked.bin", "held by another program");
    int holder = open(path.c_str(), O_RDONLY);
    ASSERT_EQ(flock(holder, LOCK_EX), 0);
    DiscHandle t = newTree();
    DiscNodeHandle n = 0;
    Frame f;
    EXPECT_EQ(IsoTree_Add(t, f.text, sizeof f.text, &f.sys, path.c_str(), nullptr, 0, IsoTree_GetRoot(t), &n), DISC_E_FILE);
    EXPECT_EQ(f.sys, 32u);
    EXPECT_EQ(n, 0u);
    close(holder);
    EXPECT_EQ(IsoTree_Add(t, f.text, sizeof f.text, &f.sys, path.c_str(), nullptr, 0, IsoTree_GetRoot(t), &n), 0);
    EXPECT_EQ(f.sys, 0u);
    std::string missing = (sources_ / "missing").string();
    EXPECT_EQ(IsoTree_Add(t, f.text, sizeof f.text, &f.sys, missing.c_str(), nullptr, 0, IsoTree_GetRoot(t), &n), DISC_E_FILE);
    EXPECT_EQ(f.sys, 2u);
}

TEST_F(TreeRules, SourceThatChangesSizeFailsTheWrite) {
    for (const std::string replacement : {std::string("short"), std::string(100000, 'L')}) {
        DiscHandle g = grabber(kDvd), t = newTree();
        std::string path = writeSource("changing.bin", std::string(50000, 'o'));
        DiscNodeHandle n = 0;
        Frame f;
        ASSERT_EQ(IsoTree_Add(t, f.text, sizeof f.text, &f.sys, path.c_str(), nullptr, 0, IsoTree_GetRoot(t), &n), 0);
        writeSource("changing.bin", replacement);
        std::string before = mediumBytes("drive0");
        EXPECT_EQ(burn(g, t), DISC_E_SOURCE_CHANGED);
        EXPECT_EQ(mediumBytes("drive0"), before);
    }
}

TEST_F(TreeRules, WalkAttributesSizesAndRemoval) {
    DiscHandle t = newTree();
    DiscNodeHandle root = IsoTree_GetRoot(t);
    DiscNodeHandle folder = addFolder(t, root, "folder");
    DiscNodeHandle file = addFile(t, root, "file.bin", std::string(1234, 'f'));
    addFile(t, folder, "inner.txt", "i");
    EXPECT_EQ(IsoTree_GetFirstKid(t, root), folder);
    EXPECT_EQ(IsoTree_GetNextKid(t, root, folder), file);
    EXPECT_EQ(IsoTree_GetNextKid(t, root, file), 0u);
    EXPECT_EQ(IsoTree_GetFirstKid(t, IsoTree_GetFirstKid(t, folder)), 0u) << "a file has no kids";
    uint32_t attr = 0;
    uint64_t size = 0;
    ASSERT_EQ(IsoTree_GetAttributes(t, folder, &attr), 0);
    EXPECT_EQ(attr, 0x10u);
    ASSERT_EQ(IsoTree_GetAttributes(t, file, &attr), 0);
    EXPECT_EQ(attr, 0x80u);
    ASSERT_EQ(IsoTree_GetSize(t, file, &size), 0);
    EXPECT_EQ(size, 1234u);
    DiscNodeHandle removed = folder;
    EXPECT_EQ(IsoTree_Remove(t, &removed, 1), 1);
    EXPECT_EQ(removed, 0u);
    EXPECT_EQ(IsoTree_GetFirstKid(t, root), file);
    EXPECT_EQ(IsoTree_GetAttributes(t, folder, &attr), DISC_E_INVALID_HANDLE) << "stale node";
}

TEST_F(TreeRules, FindKidIgnoresLetterCaseAndFollowsChanges) {
    DiscHandle t = newTree(), other = newTree();
    DiscNodeHandle root = IsoTree_GetRoot(t);
    DiscNodeHandle folder = addFolder(t, root, "Straße");
    DiscNodeHandle file = addFile(t, folder, "Ärger.TXT", "a");
    struct Case { DiscNodeHandle parent; const char* name; DiscNodeHandle expected; };
    for (const Case& c : {Case {root, "Straße", folder}, Case {root, "STRAßE", folder}, Case {root, "straße", folder},
                          Case {folder, "ärger.txt", file}, Case {root, "ärger.txt", 0}, Case {file, "x", 0},
                          Case {root, "", 0}, Case {root, "Strasse", 0}})
        EXPECT_EQ(IsoTree_FindKid(t, c.parent, c.name), c.expected) << c.name;
    EXPECT_EQ(IsoTree_FindKid(other, root, "Straße"), 0u) << "node of another tree";
    EXPECT_EQ(IsoTree_FindKid(t, root, nullptr), 0u);
    ASSERT_EQ(IsoTree_Rename(t, file, "", "Neu.txt", ""), 1);
    EXPECT_EQ(IsoTree_FindKid(t, folder, "ärger.txt"), 0u) << "old name after a rename";
    EXPECT_EQ(IsoTree_FindKid(t, folder, "NEU.TXT"), file);
    DiscNodeHandle gone = folder;
    ASSERT_EQ(IsoTree_Remove(t, &gone, 1), 1);
    EXPECT_EQ(IsoTree_FindKid(t, root, "Straße"), 0u) << "after removal";
    EXPECT_EQ(IsoTree_FindKid(t, folder, "NEU.TXT"), 0u) << "inside a removed folder";
}

TEST_F(TreeRules, StaleAndForeignHandlesGiveErrors) {
    DiscHandle t = newTree(), other = newTree(), g = grabber(kDvd);
    DiscNodeHandle node = addFolder(t, IsoTree_GetRoot(t), "x");
    Frame f;
    uint32_t attr;
    EXPECT_EQ(IsoTree_GetAttributes(other, node, &attr), DISC_E_INVALID_HANDLE) << "node of another tree";
    DiscInformation info;
    EXPECT_EQ(Grabber_GetDiscInformation(t, GF(f), &info), DISC_E_INVALID_HANDLE) << "tree as grabber";
    EXPECT_EQ(f.failure.code, uint32_t(DISC_E_INVALID_HANDLE));
    EXPECT_EQ(Grabber_TrackAtOnceFromTree(g, GF(f), g, 1, 0, 1, 1, 1), DISC_E_INVALID_HANDLE) << "grabber as tree";
    DiscHandle gone = g;
    ASSERT_EQ(DiscHandle_Destroy(&gone), 0);
    EXPECT_EQ(gone, 0u);
    EXPECT_EQ(Grabber_GetDiscInformation(g, GF(f), &info), DISC_E_INVALID_HANDLE) << "destroyed grabber";
    EXPECT_EQ(DiscHandle_Destroy(&g), DISC_E_INVALID_HANDLE);
    for (DiscHandle junk : {0u, 1u, 0xFFFFFFFFu, 0x10000000u})
        EXPECT_EQ(Grabber_GetDiscInformation(junk, GF(f), &info), DISC_E_INVALID_HANDLE);
    EXPECT_STREQ(DiscLayer_OperationName(DISC_OP_TAO_FROM_TREE), "StarBurn_CdvdBurnerGrabber_TrackAtOnceFromTree");
}

}  // namespace
}  // namespace disc_test
