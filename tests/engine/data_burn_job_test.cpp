// The data burn job on the engine's virtual drives, seen from a client
// process: its events, the questions it asks, and the discs it leaves,
// read back with the Linux ISO tools.
#include <gtest/gtest.h>
#include "job_client.h"
#include "event_sequence.h"
#include "unix_tools.h"
#include <algorithm>
#include <string>
#include <vector>

namespace {

TEST_F(EngineJob, ADataBurnOnABlankCdRSendsItsEventsAndReadsBackWithTheIsoTools)
{
    Insert(2);
    com::ComPtr<IFileTree> tree = FixtureTree();
    ASSERT_EQ(S_OK, tree->SetVolumeLabel(com::Bstr("JOBDISC")));
    ASSERT_EQ(0u, Burn(tree));

    const std::vector<unsigned> expected = {
        DM_BURNPREPARE, S_IMAGE_BEGIN, S_IMAGE_END, S_OPC, S_BUP, DM_BURNSTART, DM_ANALYZEBEGIN, DM_TARGETSIZE,
        DM_FILLBUFFERBEGIN, DM_FILLBUFFEREND, DM_WRITEPROGRESS, DM_FLUSHBUFFERBEGIN, DM_FLUSHBUFFEREND, DM_BURNEND};
    EXPECT_TRUE(SameEvents(expected, JobMessages()));
    for (const EngineEvent& e : JobEvents()) {
        if (e.message == DM_STATUS && (e.lParam & 0xFFFF) != ST_DATA_IMAGE_BEGIN) {
            EXPECT_EQ(1u, e.lParam >> 16) << "status " << (e.lParam & 0xFFFF);
        }
    }
    // Started at a speed of the drive's table, progress rising to 100.
    const std::vector<unsigned> speeds = WriteSpeeds(device);
    ASSERT_EQ(1u, All(DM_BURNSTART).size());
    EXPECT_NE(speeds.end(), std::find(speeds.begin(), speeds.end(), All(DM_BURNSTART)[0]));
    std::vector<unsigned> progress = All(DM_WRITEPROGRESS);
    ASSERT_FALSE(progress.empty());
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(100u << 16, progress.back());
    for (unsigned use : All(DM_BUFFERSTATUS)) EXPECT_LE(use, 100u);

    // Appendable: the written track and the open one behind it.
    EXPECT_EQ(2u, TrackCount());
    const std::string iso = ExportDisc();
    ASSERT_FALSE(iso.empty());
    const std::string joliet = RunUnix("isoinfo -J -f -i '" + iso + "'");
    for (const char* path : {"/readme.txt\n", "/empty.dat\n", "/Sub Folder\n", "/Sub Folder/big.bin\n"})
        EXPECT_NE(std::string::npos, joliet.find(path)) << path << " in\n" << joliet;
    const std::string xorriso = RunUnix("xorriso -indev '" + iso + "' -find / -type f 2>/dev/null");
    for (const char* path : {"'/readme.txt'", "'/empty.dat'", "'/Sub Folder/big.bin'"})
        EXPECT_NE(std::string::npos, xorriso.find(path)) << path << " in\n" << xorriso;
    const std::string volume = RunUnix("isoinfo -d -i '" + iso + "'");
    EXPECT_NE(std::string::npos, volume.find("Volume id: JOBDISC")) << volume;
    // 7z extracts each file; cmp finds them equal to their sources.
    std::string sources = UnixPath(files.File("readme.txt"));
    sources.resize(sources.size() - std::string("readme.txt").size());
    const std::string same =
        RunUnix("for f in readme.txt empty.dat 'Sub Folder/big.bin'; do 7z x -so '" + iso +
                "' \"$f\" | cmp -s - \"" + sources + "$(basename \"$f\")\" && echo same; done");
    EXPECT_EQ("same\nsame\nsame\n", same);
}

TEST_F(EngineJob, ASourceThatIsNoFileTreeIsRefusedWithoutAJob)
{
    com::ComPtr<IFileTree> tree = NewTree();
    com::ComPtr<IFileTreeNode> root;
    ASSERT_EQ(S_OK, tree->GetRootNode(&root));
    EXPECT_EQ(E_INVALIDARG, writer->BurnData(COOKIE, 0xFFFF, nullptr, 2));
    EXPECT_EQ(E_INVALIDARG, writer->BurnData(COOKIE, 0xFFFF, root, 2));
    EXPECT_EQ(E_INVALIDARG, writer->BurnData(COOKIE, 0xFFFF, device, 2));
    unsigned busy = 1;
    EXPECT_EQ(S_OK, device->GetDeviceBusy(&busy));
    EXPECT_EQ(0u, busy);
    PumpFor(300);
    EXPECT_TRUE(JobEvents().empty());
}

TEST_F(EngineJob, ATestWriteSucceedsAndLeavesTheMediumAsItWas)
{
    for (unsigned lastArgument : {0xFFFFFFFFu, 0x000001FFu}) {
        SCOPED_TRACE(lastArgument);
        Insert(2);
        const std::string before = MediumBytes(CD_DRIVE);
        EXPECT_EQ(0u, Burn(FixtureTree(), lastArgument));
        EXPECT_EQ(before, MediumBytes(CD_DRIVE));
        EXPECT_EQ(1u, TrackCount());
    }
    // A drive without test write refuses it; the medium stays blank.
    DriveValue noTestWrite("write_caps", "0x3", "0x7");
    ASSERT_TRUE(noTestWrite.Set());
    Insert(2);
    const std::string before = MediumBytes(CD_DRIVE);
    EXPECT_EQ(unsigned(E_FAIL), Burn(FixtureTree(), 0xFFFFFFFF));
    EXPECT_EQ(before, MediumBytes(CD_DRIVE));
}

TEST_F(EngineJob, AFinalizedDiscIsCompleteAndTheNextBurnAsksWhatItsMediumNeeds)
{
    struct Case {
        unsigned type, question, answer, result;
    };
    const Case cases[] = {
        {2, ASK_NOT_ENOUGH_SPACE, 0, CANCELLED},  // CD-R: another disc
        {3, ASK_ERASE_FINALIZED, 0, CANCELLED},   // CD-RW: erase it?
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        Insert(c.type);
        com::ComPtr<IFileTree> tree = FixtureTree();
        ASSERT_EQ(S_OK, tree->DoFinalize(1));
        ASSERT_EQ(0u, Burn(tree));
        hyper total = 0, used = 0, free = 0;
        ASSERT_EQ(S_OK, medium->GetSpaces(&total, &used, &free));
        EXPECT_EQ(0, free);
        EXPECT_EQ(-1, total) << "a complete disc";

        const size_t before = sink->Events().size();
        sink->SetAnswer(c.answer);
        EXPECT_EQ(c.result, Burn(FixtureTree()));
        sink->SetAnswer(1);
        std::vector<EngineEvent> all = sink->Events();
        std::vector<unsigned> questions;
        for (size_t i = before; i < all.size(); ++i)
            if (all[i].message == DM_QUESTION) questions.push_back(all[i].lParam);
        EXPECT_EQ(std::vector<unsigned>{c.question}, questions);
    }
}

// The image's size is compared with the free space as a 64-bit number: a
// file past 4 GiB (sparse) does not pass for the few megabytes of its low
// 32 bits on a CD-R.
TEST_F(EngineJob, AnImageLargerThanTheFreeSpaceAsksForAnotherDisc)
{
    Insert(2);
    const std::string big = files.File("huge.bin");
    HANDLE file = CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    LARGE_INTEGER size;
    size.QuadPart = (4LL << 30) + (1 << 20);
    EXPECT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);
    com::ComPtr<IFileTree> tree = NewTree();
    com::ComPtr<IFileTreeNode> root;
    ASSERT_EQ(S_OK, tree->GetRootNode(&root));
    Add(tree, root, big, "huge.bin");
    const std::string before = MediumBytes(CD_DRIVE);
    sink->SetAnswer(0);
    EXPECT_EQ(CANCELLED, Burn(tree));
    EXPECT_EQ(std::vector<unsigned>{ASK_NOT_ENOUGH_SPACE}, All(DM_QUESTION));
    EXPECT_EQ(before, MediumBytes(CD_DRIVE));
}

// A complete rewritable disc, erased inside the burn on the user's yes:
// the erase's events come between the burn's prepare and start, the image
// is built once, and the tree for start address 0 is written.
TEST_F(EngineJob, AnEraseInsideABurnOfACompleteRewritableDiscRunsInOrder)
{
    Insert(3);
    com::ComPtr<IFileTree> first = FixtureTree();
    ASSERT_EQ(S_OK, first->DoFinalize(1));
    ASSERT_EQ(0u, Burn(first));
    const size_t before = sink->Events().size();
    ASSERT_EQ(S_OK, writer->BurnData(COOKIE, 0xFFFF, FixtureTree(), 2));
    // The erase's end leaves the device busy for its burn, which goes on.
    ASSERT_TRUE(sink->WaitFor(DM_ERASEEND, JOB_WAIT_MS));
    unsigned busy = 0;
    EXPECT_EQ(S_OK, device->GetDeviceBusy(&busy));
    EXPECT_EQ(1u, busy);
    EXPECT_EQ(0u, WaitEnd(DM_BURNEND, before));
    std::vector<unsigned> messages;
    std::vector<EngineEvent> all = sink->Events();
    for (size_t i = before; i < all.size(); ++i) {
        const EngineEvent& e = all[i];
        if (e.message == DM_MEDIUMCHANGED || e.message == DM_WRITEPROGRESS || e.message == DM_BUFFERSTATUS ||
            (e.message >= DM_ANALYZEBEGIN && e.message <= DM_FLUSHBUFFEREND))
            continue;
        messages.push_back(e.message == DM_STATUS ? StatusCode(e.lParam & 0xFFFF) : e.message);
        if (e.message == DM_ERASEEND) {
            EXPECT_EQ(0u, e.lParam);
        }
        if (e.message == DM_QUESTION) {
            EXPECT_EQ(unsigned(ASK_ERASE_FINALIZED), e.lParam);
        }
    }
    const std::vector<unsigned> expected = {DM_BURNPREPARE, DM_QUESTION, DM_ERASEPREPARE, DM_ERASESTART, DM_ERASEEND,
                                            S_IMAGE_BEGIN,  S_IMAGE_END, S_OPC,           S_BUP,         DM_BURNSTART,
                                            DM_BURNEND};
    EXPECT_TRUE(SameEvents(expected, messages));
    EXPECT_EQ(2u, TrackCount()) << "one session on the erased disc, left open";
}

// A rewritable disc without room for the next session is erased on the
// user's yes. A tree laid out behind the old session no longer fits the
// erased disc and fails; a tree laid out from address 0 is written.
TEST_F(EngineJob, AnEraseForSpaceWritesOnlyATreeLaidOutForTheErasedDisc)
{
    struct Case {
        bool behindOldSession;
        unsigned result, tracksAfter;
    };
    const Case cases[] = {{true, unsigned(E_FAIL), 1}, {false, 0, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behindOldSession);
        Insert(3, 14000);  // one session, then too little room for another
        ASSERT_EQ(0u, Burn(FixtureTree()));
        com::ComPtr<IFileTree> second = FixtureTree();
        if (c.behindOldSession) {
            ASSERT_EQ(S_OK, second->SetStartLBA(NextWritable()));
        }
        const size_t before = sink->Events().size();
        EXPECT_EQ(c.result, Burn(second));
        std::vector<unsigned> questions, images;
        std::vector<EngineEvent> all = sink->Events();
        for (size_t i = before; i < all.size(); ++i) {
            if (all[i].message == DM_QUESTION) questions.push_back(all[i].lParam);
            if (all[i].message == DM_STATUS && (all[i].lParam & 0xFFFF) == ST_DATA_IMAGE_BEGIN) images.push_back(1);
        }
        EXPECT_EQ(std::vector<unsigned>{ASK_ERASE_FOR_SPACE}, questions);
        EXPECT_EQ(1u, images.size()) << "built once";
        EXPECT_EQ(c.tracksAfter, TrackCount());
    }
}

TEST_F(EngineJob, ASecondSessionListsTheOldAndTheNewFiles)
{
    Insert(2);
    ASSERT_EQ(0u, Burn(FixtureTree()));
    const unsigned next = NextWritable();
    ASSERT_GT(next, 0u);

    com::ComPtr<IFileTree> second = NewTree();
    com::ComPtr<ITrack> track;
    ASSERT_EQ(S_OK, medium->GetTrack(&track, 1));
    ASSERT_EQ(S_OK, second->ImportTrack(track, device));
    ASSERT_EQ(S_OK, second->SetStartLBA(next));
    com::ComPtr<IFileTreeNode> root;
    ASSERT_EQ(S_OK, second->GetRootNode(&root));
    WriteFileBytes(files.File("new.txt"), "from session two");
    Add(second, root, files.File("new.txt"), "new.txt");
    ASSERT_EQ(0u, Burn(second));
    EXPECT_EQ(3u, TrackCount());

    const std::string iso = ExportDisc();
    const std::string session = "xorriso -indev '" + iso + "' -load sbsector " + std::to_string(next);
    const std::string listing = RunUnix(session + " -find / -type f 2>/dev/null");
    for (const char* path : {"'/readme.txt'", "'/Sub Folder/big.bin'", "'/new.txt'"})
        EXPECT_NE(std::string::npos, listing.find(path)) << path << " in\n" << listing;
    const std::string out = UnixPath(exported.File("readme.out"));
    EXPECT_EQ("hello disc\n", RunUnix(session + " -osirrox on -extract /readme.txt '" + out + "' >/dev/null 2>&1; cat '" +
                                      out + "'"));
}

// A tree imported from a disc that was then erased, or swapped for another,
// would write a session that points at files no longer there: the job
// fails and the disc stays as it was.
TEST_F(EngineJob, ATreeMadeStaleByAnEraseOrASwappedDiscFails)
{
    for (bool swap : {false, true}) {
        SCOPED_TRACE(swap ? "swapped" : "erased");
        Insert(3);
        ASSERT_EQ(0u, Burn(FixtureTree()));
        com::ComPtr<IFileTree> second = NewTree();
        com::ComPtr<ITrack> track;
        ASSERT_EQ(S_OK, medium->GetTrack(&track, 1));
        ASSERT_EQ(S_OK, second->ImportTrack(track, device));
        if (swap)
            Insert(3);
        else
            ASSERT_EQ(0u, Erase(0));
        const std::string before = MediumBytes(CD_DRIVE);
        EXPECT_EQ(unsigned(E_FAIL), Burn(second));
        EXPECT_EQ(before, MediumBytes(CD_DRIVE));
    }
}

TEST_F(EngineJob, AnEmptyDriveOrAPressedDiscAsksForADiscAndGoesOnOnlyWhenOneCame)
{
    // A pressed disc: a CD-ROM made from an image file of 20 blocks.
    WriteFileBytes(files.File("pressed.iso"), std::string(20 * 2048, '\0'));
    struct Case {
        std::string tool;
        unsigned question;
    };
    const Case cases[] = {{"eject F", ASK_INSERT_DISC}, {"press F \"" + files.File("pressed.iso") + "\"", ASK_NOT_WRITABLE}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tool);
        // No: the job ends as cancelled, and nothing was written.
        ASSERT_EQ(0u, RunDiscTool(c.tool));
        const size_t before = sink->Events().size();
        sink->SetAnswer(0);
        EXPECT_EQ(CANCELLED, Burn(FixtureTree()));
        // Yes after the user put a blank CD-R in: the burn goes on.
        sink->SetAnswer(1);
        sink->OnQuestion([](unsigned) { RunDiscTool("insert F 2 359848"); });
        EXPECT_EQ(0u, Burn(FixtureTree()));
        sink->OnQuestion(nullptr);
        std::vector<unsigned> questions;
        std::vector<EngineEvent> all = sink->Events();
        for (size_t i = before; i < all.size(); ++i)
            if (all[i].message == DM_QUESTION) questions.push_back(all[i].lParam);
        // The "no" left the tray open: the second burn finds no disc.
        EXPECT_EQ((std::vector<unsigned>{c.question, ASK_INSERT_DISC}), questions);
        EXPECT_EQ(2u, TrackCount());
    }
}

TEST_F(EngineJob, CancelDuringASlowWriteEndsTheJobAtOnceAndLeavesTheDisc)
{
    Insert(2);
    com::ComPtr<IFileTree> tree = TreeOfOneFile("slow.bin", 12 * 1024 * 1024);
    DriveValue slow("emulate_speed", "1", "0");
    ASSERT_TRUE(slow.Set());
    const std::string before = MediumBytes(CD_DRIVE);
    const size_t first = sink->Events().size();
    // The slowest speed: 12 MiB take some 17 seconds.
    ASSERT_EQ(S_OK, writer->BurnData(COOKIE, 706, tree, 2));
    ASSERT_TRUE(sink->WaitFor(DM_BURNSTART, 10000));
    PumpFor(1000);  // well into the write
    EXPECT_TRUE(All(DM_BURNEND).empty());
    const DWORD cancelled = GetTickCount();
    EXPECT_EQ(S_OK, writer->Cancel());
    const unsigned result = WaitEnd(DM_BURNEND, first);
    const DWORD took = GetTickCount() - cancelled;
    EXPECT_EQ(unsigned(E_FAIL), result);
    EXPECT_LT(took, 1000u);
    EXPECT_EQ(before, MediumBytes(CD_DRIVE));
}

}  // namespace

namespace {

// A cancel that comes while a question is open is kept by the job: the user
// then answers yes, and the job ends cancelled before its next step, with
// no start event and the disc as it was (not erased either: the erase is a
// step the cancel came before).
TEST_F(EngineJob, ACancelWhileAQuestionIsOpenEndsTheJobAtItsNextStep)
{
    struct Case {
        const char* name;
        unsigned question;
        std::function<void()> prepare, onQuestion;
    };
    const Case cases[] = {
        {"finalized CD-RW, erase it?", ASK_ERASE_FINALIZED,
         [&] {
             Insert(3);
             com::ComPtr<IFileTree> tree = FixtureTree();
             ASSERT_EQ(S_OK, tree->DoFinalize(1));
             ASSERT_EQ(0u, Burn(tree));
         },
         [] {}},
        {"empty drive, insert a disc", ASK_INSERT_DISC, [] { ASSERT_EQ(0u, RunDiscTool("eject F")); },
         [] { RunDiscTool("insert F 2"); }},
    };
    com::ComPtr<IWriter> other = OtherClientsWriter<IWriter>(IID_IWriter);
    ASSERT_TRUE(other);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(c.prepare());
        const std::function<void()> onQuestion = c.onQuestion;
        sink->OnQuestion([&](unsigned) {
            onQuestion();
            EXPECT_EQ(S_OK, other->Cancel());
        });
        const size_t from = sink->Events().size();
        const std::string before = MediumBytes(CD_DRIVE);
        EXPECT_EQ(unsigned(E_FAIL), Burn(FixtureTree()));
        sink->OnQuestion(nullptr);
        EXPECT_EQ(std::vector<unsigned>{c.question}, Questions(from));
        const std::vector<unsigned> messages = JobMessages(from);
        EXPECT_TRUE(SameEvents({DM_BURNPREPARE, DM_QUESTION, DM_BURNEND}, messages));
        if (c.question == ASK_ERASE_FINALIZED) EXPECT_TRUE(before == MediumBytes(CD_DRIVE));
        else EXPECT_EQ(1u, TrackCount()) << "the inserted disc stays blank";
    }
}

}  // namespace

namespace {

// The yes to a question for a disc closes the tray, as the user pushes it
// in: a disc left in an open tray, or put in while the question was open
// again, is found and written.
TEST_F(EngineJob, AYesToTheInsertQuestionClosesTheTrayAndFindsTheDisc)
{
    struct Case {
        const char* name;
        std::function<void()> prepare;
        unsigned insertAtQuestion;  // 0: no insert
        size_t questions;
    };
    const Case cases[] = {
        {"the disc in the open tray", [&] { ASSERT_EQ(S_OK, device->Eject()); }, 0, 1},
        {"a disc put in at the question asked again", [] { ASSERT_EQ(0u, RunDiscTool("eject F")); }, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Insert(2);
        ASSERT_NO_FATAL_FAILURE(c.prepare());
        unsigned asked = 0;
        const unsigned insertAt = c.insertAtQuestion;
        sink->OnQuestion([&](unsigned) {
            ++asked;
            if (asked == insertAt) RunDiscTool("insert F 2");
            if (asked > 3) sink->SetAnswer(0);  // no endless loop when the disc is never found
        });
        const size_t from = sink->Events().size();
        EXPECT_EQ(0u, Burn(FixtureTree()));
        sink->OnQuestion(nullptr);
        sink->SetAnswer(1);
        EXPECT_EQ(std::vector<unsigned>(c.questions, ASK_INSERT_DISC), Questions(from));
        EXPECT_EQ(2u, TrackCount());
    }
}

}  // namespace

namespace {

// A burn at the fastest speed on drive E's DVD-RW starts at a speed of the
// list the device offers for that disc, and that is the speed it writes at.
TEST_F(EngineJob, ABurnAtTheFastestSpeedStartsAtASpeedTheDriveOffers)
{
    ASSERT_EQ(0u, RunDiscTool("insert E 8"));
    com::ComPtr<IDevice> dvd;
    DWORD cookie = 0;
    com::ComPtr<IWriter> dvdWriter = AdvisedWriter('E', &dvd, &cookie);
    ASSERT_TRUE(dvdWriter);
    const size_t from = sink->Events().size();
    ASSERT_EQ(S_OK, dvdWriter->BurnData(COOKIE, 0xFFFF, FixtureTree(), 2));
    EXPECT_EQ(0u, WaitEnd(DM_BURNEND, from));
    Unadvise(dvd, cookie);
    const std::vector<unsigned> speeds = WriteSpeeds(dvd);
    const std::vector<unsigned> started = All(DM_BURNSTART);
    ASSERT_EQ(1u, started.size());
    EXPECT_NE(speeds.end(), std::find(speeds.begin(), speeds.end(), started[0])) << started[0];
    EXPECT_EQ(*std::max_element(speeds.begin(), speeds.end()), started[0]) << "the fastest the list names";
    ASSERT_EQ(0u, RunDiscTool("insert E 8"));
}

}  // namespace
