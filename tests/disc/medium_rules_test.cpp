// The rules media follow, as a table, and the guarantees that a refused,
// failed, cancelled or test write leaves the medium byte for byte as it was.
#include "disc_test_support.h"

#include <thread>

namespace disc_test {
namespace {

enum class Prepare { Blank, Appendable, Complete, Erased };

struct RuleCase {
    const char* name;
    uint32_t type;
    Prepare prepare;
    enum Op { Write, Erase, Close } op;
    int expected;
    uint8_t statusAfter;  // DiscStatus when the operation succeeded
};

void PrintTo(const RuleCase& c, std::ostream* os) { *os << c.name; }

class MediumRules : public DiscTest, public ::testing::WithParamInterface<RuleCase> {};

TEST_P(MediumRules, FollowTheTable) {
    const RuleCase& c = GetParam();
    tool("insert drive0 " + std::to_string(c.type));
    DiscHandle g = grabber(kDvd);
    Frame f;
    auto write = [&](bool leaveOpen) {
        DiscHandle t = newTree();
        addFile(t, IsoTree_GetRoot(t), "file.txt", "content");
        int rc = burn(g, t, leaveOpen);
        if (rc == 0) EXPECT_EQ(closeSession(g), 0);
        return rc;
    };
    if (c.prepare == Prepare::Appendable) ASSERT_EQ(write(true), 0);
    if (c.prepare == Prepare::Complete) ASSERT_EQ(write(false), 0);
    if (c.prepare == Prepare::Erased) {
        ASSERT_EQ(write(false), 0);
        ASSERT_EQ(Grabber_Blank(g, GF(f), 1), 0);
    }
    std::string before = mediumBytes("drive0");
    int rc = c.op == RuleCase::Write ? write(true)
             : c.op == RuleCase::Erase ? Grabber_Blank(g, GF(f), 1)
                                       : Grabber_CloseSession(g, GF(f));
    EXPECT_EQ(rc, c.expected) << f.text;
    DiscInformation info {};
    ASSERT_EQ(Grabber_GetDiscInformation(g, GF(f), &info), 0);
    if (rc == 0) EXPECT_EQ(info.discStatus, c.statusAfter);
    else EXPECT_EQ(mediumBytes("drive0"), before) << "a refused operation changed the medium";
}

INSTANTIATE_TEST_SUITE_P(
    Table, MediumRules,
    ::testing::Values(
        RuleCase {"BlankDvdRTakesData", DISC_MT_DVD_R, Prepare::Blank, RuleCase::Write, 0, DISC_STATUS_APPENDABLE},
        RuleCase {"WriteOnceAppends", DISC_MT_DVD_PLUS_R, Prepare::Appendable, RuleCase::Write, 0, DISC_STATUS_APPENDABLE},
        RuleCase {"CompleteDiscRefuses", DISC_MT_DVD_R, Prepare::Complete, RuleCase::Write, DISC_E_NOT_WRITABLE, 0},
        RuleCase {"RewritableAppends", DISC_MT_DVD_RW_SEQ, Prepare::Appendable, RuleCase::Write, 0, DISC_STATUS_APPENDABLE},
        RuleCase {"RewritableCompleteRefuses", DISC_MT_DVD_PLUS_RW, Prepare::Complete, RuleCase::Write, DISC_E_NOT_WRITABLE, 0},
        RuleCase {"ErasedRewritableTakesData", DISC_MT_DVD_RW_SEQ, Prepare::Erased, RuleCase::Write, 0, DISC_STATUS_APPENDABLE},
        RuleCase {"EraseRewritable", DISC_MT_DVD_PLUS_RW, Prepare::Complete, RuleCase::Erase, 0, DISC_STATUS_BLANK},
        RuleCase {"EraseWriteOnceRefuses", DISC_MT_DVD_R, Prepare::Appendable, RuleCase::Erase, DISC_E_NOT_ERASABLE, 0},
        RuleCase {"CloseWithNothingOpen", DISC_MT_DVD_R, Prepare::Blank, RuleCase::Close, 0, DISC_STATUS_BLANK},
        RuleCase {"CloseWithNothingOpenOnComplete", DISC_MT_DVD_R, Prepare::Complete, RuleCase::Close, 0, DISC_STATUS_COMPLETE}),
    [](const ::testing::TestParamInfo<RuleCase>& i) { return std::string(i.param.name); });

class MediumGuarantees : public DiscTest {};

TEST_F(MediumGuarantees, PressedDiscRefusesWritesAndErase) {
    std::string iso = writeSource("pressed.iso", std::string(2048 * 40, '\1'));
    tool("press drive0 " + iso);
    DiscHandle g = grabber(kDvd);
    Frame f;
    uint32_t type = 0;
    ASSERT_EQ(Grabber_GetDiscType(g, GF(f), &type), 0);
    EXPECT_EQ(type, uint32_t(DISC_MT_CD_ROM));
    EXPECT_EQ(Grabber_TrackAtOnceFromFile(g, GF(f), iso.c_str(), 0, 0, 0, 1, 1), DISC_E_NOT_WRITABLE);
    EXPECT_EQ(Grabber_Blank(g, GF(f), 1), DISC_E_NOT_ERASABLE);
    DiscTrackInformation t {};
    EXPECT_EQ(Grabber_GetTrackInformation(g, GF(f), DISC_TRACK_INCOMPLETE, &t), DISC_E_NO_TRACK);
}

TEST_F(MediumGuarantees, CapacityIsCheckedBeforeTheFirstByte) {
    tool("insert drive1 2 100");  // a CD-R of 100 blocks
    DiscHandle g = grabber(kCd);
    DiscHandle t = newTree();
    addFile(t, IsoTree_GetRoot(t), "big.bin", std::string(2048 * 200, 'b'));
    std::string before = mediumBytes("drive1");
    Frame f;
    ASSERT_EQ(IsoTree_Build(t, f.text, sizeof f.text, &f.sys, 0, 100, 1, "L", "", ""), 0);
    EXPECT_EQ(Grabber_TrackAtOnceFromTree(g, GF(f), t, 1, 0, 1, 1, 1), DISC_E_NO_SPACE);
    EXPECT_EQ(Grabber_TrackAtOnceFromTree(g, GF(f), t, 1, 1, 1, 1, 1), DISC_E_NO_SPACE) << "test write too";
    EXPECT_EQ(mediumBytes("drive1"), before);
}

TEST_F(MediumGuarantees, TestWriteLeavesEveryByte) {
    DiscHandle g = grabber(kDvd);
    DiscHandle t1 = newTree();
    addFile(t1, IsoTree_GetRoot(t1), "a.txt", "first");
    ASSERT_EQ(burn(g, t1), 0);
    ASSERT_EQ(closeSession(g), 0);
    std::string before = mediumBytes("drive0");
    DiscHandle t2 = newTree();
    addFile(t2, IsoTree_GetRoot(t2), "b.txt", std::string(5 << 20, 'q'));
    EXPECT_EQ(burn(g, t2, false, true), 0);
    EXPECT_EQ(closeSession(g), 0);
    EXPECT_EQ(mediumBytes("drive0"), before);
}

TEST_F(MediumGuarantees, FailedOrUnderrunWriteLeavesTheMedium) {
    struct Case { DiscFault fault; uint32_t bup; int expected; };
    for (const Case& c : {Case {{DISC_OP_TAO_FROM_TREE, DISC_E_MEDIUM_IO, 3000, 0}, 0, DISC_E_MEDIUM_IO},
                          Case {{DISC_OP_TAO_FROM_TREE, 0, 0, 2500}, 0, DISC_E_UNDERRUN},
                          Case {{DISC_OP_TAO_FROM_TREE, DISC_E_NOT_READY, 0, 0}, 0, DISC_E_NOT_READY}}) {
        DiscHandle g = grabber(kDvd);
        Frame f;
        ASSERT_EQ(Grabber_SetBUP(g, GF(f), c.bup), 0);
        DiscHandle t = newTree();
        addFile(t, IsoTree_GetRoot(t), "big.bin", std::string(12 << 20, 'z'));
        std::string before = mediumBytes("drive0");
        DiscLayer_InjectFault(kDvd.port, kDvd.bus, kDvd.target, kDvd.lun, &c.fault);
        EXPECT_EQ(burn(g, t), c.expected);
        EXPECT_EQ(mediumBytes("drive0"), before);
    }
}

TEST_F(MediumGuarantees, UnderrunWithProtectionCarriesOn) {
    DiscHandle g = grabber(kDvd);
    Frame f;
    ASSERT_EQ(Grabber_SetBUP(g, GF(f), 1), 0);
    DiscHandle t = newTree();
    addFile(t, IsoTree_GetRoot(t), "big.bin", std::string(12 << 20, 'z'));
    DiscFault fault {DISC_OP_TAO_FROM_TREE, 0, 0, 2500};
    DiscLayer_InjectFault(kDvd.port, kDvd.bus, kDvd.target, kDvd.lun, &fault);
    EXPECT_EQ(burn(g, t), 0);
}

// Each handle asks for its own speeds: a medium check through the engine's
// handle leaves the speed a job's handle asked for, which its write uses.
TEST_F(MediumGuarantees, EachHandleKeepsTheSpeedsItAskedFor) {
    DiscHandle job = grabber(kDvd), check = grabber(kDvd);
    Frame f;
    ASSERT_EQ(Grabber_SetSpeeds(job, GF(f), 0xFFFF, 5540), 0);
    ASSERT_EQ(Grabber_SetSpeeds(check, GF(f), 0xFFFF, 0xFFFF), 0);
    uint32_t read = 0, maxRead = 0, write = 0, maxWrite = 0;
    ASSERT_EQ(Grabber_GetSpeeds(job, GF(f), &read, &maxRead, &write, &maxWrite), 0);
    EXPECT_EQ(write, 5540u);
    ASSERT_EQ(Grabber_GetSpeeds(check, GF(f), &read, &maxRead, &write, &maxWrite), 0);
    EXPECT_EQ(write, maxWrite);
    EXPECT_GT(maxWrite, 5540u);
}

// The engine cancels through the device's own handle while its job writes
// through a fresh one.
TEST_F(MediumGuarantees, CancelThroughAnotherHandleStopsTheWriteAndLeavesTheMedium) {
    std::string driveFile = (data_ / "VirtualDrives" / "drive0.drive").string();
    std::string spec = readFile(driveFile);
    spec.replace(spec.find("emulate_speed=0"), 15, "emulate_speed=1");
    writeSource("../data/VirtualDrives/drive0.drive", spec);
    tool("insert drive0 8");  // bumps the stamp, so the layer reloads the drive
    DiscHandle own = grabber(kDvd), job = grabber(kDvd);
    Frame f;
    ASSERT_EQ(Grabber_SetSpeeds(job, GF(f), 0xFFFF, 3324), 0);  // about 3.2 MB/s
    DiscHandle t = newTree();
    addFile(t, IsoTree_GetRoot(t), "big.bin", std::string(16 << 20, 'c'));
    std::string before = mediumBytes("drive0");
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        Grabber_Cancel(own);
    });
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(burn(job, t), DISC_E_CANCELLED);
    canceller.join();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
    EXPECT_EQ(mediumBytes("drive0"), before);
}

TEST_F(MediumGuarantees, StaleTreesAreRefused) {
    DiscHandle g = grabber(kDvd);
    DiscHandle t1 = newTree();
    addFile(t1, IsoTree_GetRoot(t1), "a.txt", "one");
    ASSERT_EQ(burn(g, t1), 0);
    ASSERT_EQ(closeSession(g), 0);
    Frame f;
    auto imported = [&] {
        DiscHandle t = newTree();
        EXPECT_EQ(IsoTree_ImportSession(g, t, 1, 1, f.text, sizeof f.text, &f.sys), 0) << f.text;
        addFile(t, IsoTree_GetRoot(t), "b.txt", "two");
        return t;
    };
    // Built for an address that is no longer the next writable one.
    DiscHandle wrongStart = newTree();
    addFile(wrongStart, IsoTree_GetRoot(wrongStart), "c.txt", "three");
    ASSERT_EQ(IsoTree_Build(wrongStart, f.text, sizeof f.text, &f.sys, 0, 100, 1, "L", "", ""), 0);
    std::string before = mediumBytes("drive0");
    EXPECT_EQ(Grabber_TrackAtOnceFromTree(g, GF(f), wrongStart, 1, 0, 1, 1, 1), DISC_E_WRONG_ADDRESS);
    // Imported, then the disc is erased.
    DiscHandle beforeErase = imported();
    uint32_t start = nextWritable(g);
    ASSERT_EQ(Grabber_Blank(g, GF(f), 1), 0);
    ASSERT_EQ(IsoTree_Build(beforeErase, f.text, sizeof f.text, &f.sys, 0, 100, 1, "L", "", ""), 0);
    EXPECT_EQ(Grabber_TrackAtOnceFromTree(g, GF(f), beforeErase, 1, 0, 1, 1, 1), DISC_E_STALE_TREE);
    (void)start;
    // Imported from another medium: the CD in the other drive.
    DiscHandle cd = grabber(kCd);
    DiscHandle t2 = newTree();
    addFile(t2, IsoTree_GetRoot(t2), "a.txt", "one");
    ASSERT_EQ(burn(cd, t2), 0);
    ASSERT_EQ(closeSession(cd), 0);
    DiscHandle fromCd = newTree();
    ASSERT_EQ(IsoTree_ImportSession(cd, fromCd, 1, 1, f.text, sizeof f.text, &f.sys), 0);
    ASSERT_EQ(IsoTree_Build(fromCd, f.text, sizeof f.text, &f.sys, 0, 100, 1, "L", "", ""), 0);
    EXPECT_EQ(Grabber_TrackAtOnceFromTree(g, GF(f), fromCd, 1, 0, 1, 1, 1), DISC_E_STALE_TREE);
    // A tree changed after its build.
    DiscHandle changed = newTree();
    addFile(changed, IsoTree_GetRoot(changed), "d.txt", "four");
    ASSERT_EQ(IsoTree_Build(changed, f.text, sizeof f.text, &f.sys, 0, 100, 1, "L", "", ""), 0);
    addFolder(changed, IsoTree_GetRoot(changed), "late");
    EXPECT_EQ(Grabber_TrackAtOnceFromTree(g, GF(f), changed, 1, 0, 1, 1, 1), DISC_E_NOT_BUILT);
    EXPECT_NE(mediumBytes("drive0"), before) << "only the erase changed the disc";
}

// CDs lose a lead-out and the next lead-in between sessions; DVDs only the
// rest of the last ECC block of 16 sectors and one more for linking.
struct GapCase {
    const char* name;
    DiscDeviceAddress drive;
    const char* insert;
    uint32_t capacity;
    uint32_t (*next)(uint32_t end, uint32_t session);
};

void PrintTo(const GapCase& c, std::ostream* os) { *os << c.name; }

class SessionGaps : public DiscTest, public ::testing::WithParamInterface<GapCase> {};

TEST_P(SessionGaps, IncompleteTrackStartsAfterTheGap) {
    const GapCase& c = GetParam();
    tool(c.insert);
    DiscHandle g = grabber(c.drive);
    Frame f;
    DiscInformation info {};
    ASSERT_EQ(Grabber_GetDiscInformation(g, GF(f), &info), 0);
    EXPECT_EQ(info.trackCount, 1);
    DiscTrackInformation t {};
    ASSERT_EQ(Grabber_GetTrackInformation(g, GF(f), 1, &t), 0);
    EXPECT_EQ(t.blank, 1);
    EXPECT_EQ(t.startAddress, 0u);
    EXPECT_EQ(t.freeBlocks, c.capacity);
    for (uint32_t session = 1; session <= 3; ++session) {
        uint32_t start = nextWritable(g);
        DiscHandle tree = newTree();
        // sizes that end the sessions at different places in an ECC block
        addFile(tree, IsoTree_GetRoot(tree), "s.txt", std::string(session * 5 * 2048 + 1, 'x'));
        ASSERT_EQ(burn(g, tree), 0);
        EXPECT_EQ(nextWritable(g), start + IsoTree_GetImageSize(tree, nullptr) / 2048) << "an open session has no gap";
        ASSERT_EQ(closeSession(g), 0);
        ASSERT_EQ(Grabber_GetTrackInformation(g, GF(f), session, &t), 0);
        EXPECT_EQ(t.startAddress, start);
        EXPECT_EQ(nextWritable(g), c.next(t.startAddress + t.trackSize, session)) << "session " << session;
    }
    ASSERT_EQ(Grabber_GetDiscInformation(g, GF(f), &info), 0);
    EXPECT_EQ(info.trackCount, 4);
    ASSERT_EQ(Grabber_GetTrackInformation(g, GF(f), 4, &t), 0);
    EXPECT_EQ(t.sessionNumber, 4);
    EXPECT_EQ(t.freeBlocks, c.capacity - t.startAddress);
}

INSTANTIATE_TEST_SUITE_P(
    Media, SessionGaps,
    ::testing::Values(
        GapCase {"CdR", kCd, "insert drive1 2", 359848,
                 [](uint32_t end, uint32_t session) { return end + (session == 1 ? 11400u : 6900u); }},
        GapCase {"DvdPlusR", kDvd, "insert drive0 13", 2298496,
                 [](uint32_t end, uint32_t) { return (end + 15) / 16 * 16 + 16; }},
        GapCase {"DvdMinusR", kDvd, "insert drive0 5", 2298496,
                 [](uint32_t end, uint32_t) { return (end + 15) / 16 * 16 + 16; }}),
    [](const ::testing::TestParamInfo<GapCase>& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace disc_test
