// Burn and erase jobs on the engine's virtual drives, seen from a client
// process: the events of each job, the questions it asks, and the discs it
// leaves, read back with the Linux ISO tools.
#include <gtest/gtest.h>
#include "disc_folder.h"
#include "engine.h"
#include "engine_services.h"
#include "event_sink.h"
#include "files.h"
#include "unix_tools.h"
#include "vokmar_process.h"
#include <com/bstr.h>
#include <com/ptr.h>
#include <algorithm>
#include <string>
#include <vector>

namespace {

const DWORD JOB_WAIT_MS = 30000;
const unsigned COOKIE = 0x7A11;
const unsigned CANCELLED = 0x8010006E;
const char* const CD_DRIVE = "drive1";  // letter F, the CD writer

// A value of drive F's description for a scope.
class DriveValue {
public:
    DriveValue(const char* key, const char* value, const char* restore) : m_key(key), m_restore(restore)
    {
        m_set = SetDriveValue(CD_DRIVE, key, value);
    }
    ~DriveValue() { EXPECT_TRUE(SetDriveValue(CD_DRIVE, m_key, m_restore)) << m_key; }
    bool Set() const { return m_set; }

private:
    const char *m_key, *m_restore;
    bool m_set;
};

class EngineJob : public testing::Test {
protected:
    // The jobs leave their cookie in the device; the suites after this one
    // meet a fresh engine.
    static void TearDownTestSuite() { StopEngine(); }

    void SetUp() override
    {
        ASSERT_EQ(S_OK, devices.CoCreate(CLSID_CoDevices, IID_IDevices, CLSCTX_LOCAL_SERVER));
        ASSERT_EQ(S_OK, com::CreateObject<CTestEventSink>(IID__IMessageCallback, reinterpret_cast<void**>(&sinkItf)));
        sink = static_cast<CTestEventSink*>(sinkItf.Get());
        ASSERT_EQ(S_OK, Advise(devices, &listCookie));
        if (devices->IsInitialized() != S_OK) sink->WaitFor(DM_DEVICESSCANNED, 5000);
        ASSERT_EQ(S_OK, devices->GetDeviceByDriveLetter('F', &device));
        ASSERT_EQ(S_OK, device->QueryInterface(IID_IWriter, reinterpret_cast<void**>(&writer)));
        ASSERT_EQ(S_OK, device->QueryInterface(IID_IMedium, reinterpret_cast<void**>(&medium)));
        ASSERT_EQ(S_OK, Advise(device, &deviceCookie));
        WriteFileBytes(files.File("readme.txt"), "hello disc\n");
        WriteFileBytes(files.File("big.bin"), Pattern(3 * 1024 * 1024 + 17));
        WriteFileBytes(files.File("empty.dat"), "");
    }
    void TearDown() override
    {
        if (deviceCookie) Unadvise(device, deviceCookie);
        if (listCookie) Unadvise(devices, listCookie);
        // Every test leaves drive F as the others expect it: a blank CD-R.
        Insert(2);
    }

    static std::string Pattern(size_t size)
    {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 4096);
        return bytes;
    }
    HRESULT Advise(IUnknown* object, DWORD* cookie) { return AdviseSink(object, sinkItf, cookie); }
    void Unadvise(IUnknown* object, DWORD cookie) { UnadviseSink(object, cookie); }
    // A fresh medium of that type in drive F (a CD's capacity unless told).
    static void Insert(unsigned type, unsigned blocks = 359848)
    {
        ASSERT_EQ(0u, RunDiscTool("insert F " + std::to_string(type) + " " + std::to_string(blocks)));
    }

    // A tree of the fixture's files: readme.txt, empty.dat and
    // "Sub Folder\big.bin".
    com::ComPtr<IFileTree> NewTree()
    {
        com::ComPtr<IFileTree> tree;
        EXPECT_EQ(S_OK, tree.CoCreate(CLSID_CoISOFileTree, IID_IFileTree, CLSCTX_LOCAL_SERVER));
        return tree;
    }
    static com::ComPtr<IFileTreeNode> Add(IFileTree* tree, IFileTreeNode* parent, const std::string& source,
                                          const std::string& name)
    {
        com::ComPtr<IFileTreeNode> node;
        EXPECT_EQ(S_OK, tree->Add(parent, source.empty() ? nullptr : com::Bstr(source).Get(), com::Bstr(name), &node))
            << name;
        return node;
    }
    com::ComPtr<IFileTree> FixtureTree()
    {
        com::ComPtr<IFileTree> tree = NewTree();
        com::ComPtr<IFileTreeNode> root, folder;
        EXPECT_EQ(S_OK, tree->GetRootNode(&root));
        Add(tree, root, files.File("readme.txt"), "readme.txt");
        Add(tree, root, files.File("empty.dat"), "empty.dat");
        folder = Add(tree, root, "", "Sub Folder");
        Add(tree, folder, files.File("big.bin"), "big.bin");
        return tree;
    }

    // Starts a job and waits for its end event; the end's result.
    unsigned Burn(IFileTree* tree, unsigned lastArgument = 2, unsigned speed = 0xFFFF)
    {
        const size_t before = sink->Events().size();
        EXPECT_EQ(S_OK, writer->BurnData(COOKIE, speed, tree, lastArgument));
        return WaitEnd(DM_BURNEND, before);
    }
    unsigned Erase(unsigned full)
    {
        const size_t before = sink->Events().size();
        EXPECT_EQ(S_OK, writer->Erase(COOKIE, 0xFFFF, full));
        return WaitEnd(DM_ERASEEND, before);
    }
    unsigned WaitEnd(unsigned message, size_t after)
    {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < JOB_WAIT_MS) {
            std::vector<EngineEvent> all = sink->Events();
            for (size_t i = after; i < all.size(); ++i)
                if (all[i].message == message) return all[i].lParam;
            PumpFor(20);
        }
        std::string seen;
        for (const EngineEvent& e : sink->Events()) seen += " " + std::to_string(e.message) + ":" + std::to_string(e.lParam);
        ADD_FAILURE() << "no event " << message << "; events:" << seen;
        return 0xFFFFFFFF;
    }
    // The job's events (those with the cookie, the medium's aside), a run
    // of progress or buffer reports as one.
    std::vector<EngineEvent> JobEvents()
    {
        std::vector<EngineEvent> job;
        for (const EngineEvent& e : sink->Events()) {
            if (e.message == DM_MEDIUMCHANGED || e.wParam != COOKIE) continue;
            const bool report = e.message == DM_WRITEPROGRESS || e.message == DM_BUFFERSTATUS;
            if (report && !job.empty() && (job.back().message == DM_WRITEPROGRESS || job.back().message == DM_BUFFERSTATUS))
                continue;
            job.push_back(e);
        }
        return job;
    }
    std::vector<unsigned> JobMessages()
    {
        std::vector<unsigned> messages;
        for (const EngineEvent& e : JobEvents()) messages.push_back(e.message == DM_STATUS ? 1000 + (e.lParam & 0xFFFF)
                                                                                           : e.message);
        return messages;
    }
    std::vector<unsigned> All(unsigned message)
    {
        std::vector<unsigned> values;
        for (const EngineEvent& e : sink->Events())
            if (e.message == message && e.wParam == COOKIE) values.push_back(e.lParam);
        return values;
    }
    unsigned TrackCount()
    {
        unsigned count = 0;
        EXPECT_EQ(S_OK, medium->GetTrackCount(&count));
        return count;
    }
    // The start of the disc's incomplete track: where the next session goes.
    unsigned NextWritable()
    {
        com::ComPtr<ITrack> track;
        unsigned start = 0;
        if (SUCCEEDED(medium->GetTrack(&track, TrackCount()))) track->GetStartAdress(&start);
        return start;
    }
    // Drive F's disc as an image file, with its Unix path.
    std::string ExportDisc()
    {
        const std::string iso = exported.File("disc.iso");
        EXPECT_EQ(0u, RunDiscTool("export F \"" + iso + "\""));
        return UnixPath(iso);
    }

    // A fresh medium in drive F whose check by the engine has come by, so
    // that no check of the drive is still due.
    void InsertChecked(unsigned type)
    {
        const size_t before = Changes();
        Insert(type);
        for (DWORD start = GetTickCount(); Changes() <= before && GetTickCount() - start < 5000;) PumpFor(20);
    }
    size_t Changes()
    {
        size_t n = 0;
        for (const EngineEvent& e : sink->Events()) n += e.message == DM_MEDIUMCHANGED ? 1 : 0;
        return n;
    }
    // What the engine's log gained since `from` (its size then).
    static std::string LogSince(size_t from)
    {
        const std::string log = ReadFileBytes(EngineLogPath());
        return from < log.size() ? log.substr(from) : std::string();
    }
    static size_t LogSize() { return ReadFileBytes(EngineLogPath()).size(); }

    com::ComPtr<IDevices> devices;
    com::ComPtr<IDevice> device;
    com::ComPtr<IWriter> writer;
    com::ComPtr<IMedium> medium;
    com::ComPtr<_IMessageCallback> sinkItf;
    CTestEventSink* sink = nullptr;
    DWORD listCookie = 0, deviceCookie = 0;
    TempFolder files, exported;
};

// Status codes in JobMessages() are 1000 + code.
const unsigned S_IMAGE_BEGIN = 1000 + ST_DATA_IMAGE_BEGIN, S_IMAGE_END = 1000 + ST_DATA_IMAGE_END,
               S_OPC = 1000 + ST_SENDING_OPC, S_BUP = 1000 + ST_BUP_ENABLED;

TEST_F(EngineJob, ADataBurnOnABlankCdRSendsItsEventsAndReadsBackWithTheIsoTools)
{
    Insert(2);
    com::ComPtr<IFileTree> tree = FixtureTree();
    ASSERT_EQ(S_OK, tree->SetVolumeLabel(com::Bstr("JOBDISC")));
    ASSERT_EQ(0u, Burn(tree));

    const std::vector<unsigned> expected = {
        DM_BURNPREPARE, S_IMAGE_BEGIN, S_IMAGE_END, S_OPC, S_BUP, DM_BURNSTART, DM_ANALYZEBEGIN, DM_TARGETSIZE,
        DM_FILLBUFFERBEGIN, DM_FILLBUFFEREND, DM_WRITEPROGRESS, DM_FLUSHBUFFERBEGIN, DM_FLUSHBUFFEREND, DM_BURNEND};
    EXPECT_EQ(expected, JobMessages());
    for (const EngineEvent& e : JobEvents()) {
        if (e.message == DM_STATUS && (e.lParam & 0xFFFF) != ST_DATA_IMAGE_BEGIN) {
            EXPECT_EQ(1u, e.lParam >> 16) << "status " << (e.lParam & 0xFFFF);
        }
    }
    // Started at a speed of the drive's table, progress rising to 100.
    com::ComPtr<IDeviceSpeedEnum> reads, writes;
    ASSERT_EQ(S_OK, device->GetDeviceSpeeds(&reads, &writes));
    std::vector<unsigned> speeds;
    unsigned speed = 0;
    unsigned long fetched = 0;
    while (writes->Next(1, &speed, &fetched) == S_OK) speeds.push_back(speed);
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

TEST_F(EngineJob, ABusyDriveRefusesEveryJobAndTakesOneAgainAfterTheEnd)
{
    Insert(2);
    com::ComPtr<IFileTree> tree = FixtureTree();
    const size_t before = sink->Events().size();
    ASSERT_EQ(S_OK, writer->BurnData(COOKIE, 0xFFFF, tree, 0xFFFFFFFF));
    unsigned busy = 0;
    EXPECT_EQ(S_OK, device->GetDeviceBusy(&busy));
    EXPECT_EQ(1u, busy);
    EXPECT_EQ(STG_E_INUSE, writer->BurnData(COOKIE + 1, 0xFFFF, tree, 2));
    EXPECT_EQ(STG_E_INUSE, writer->Erase(COOKIE + 1, 0xFFFF, 0));
    EXPECT_EQ(0u, WaitEnd(DM_BURNEND, before));
    for (const EngineEvent& e : sink->Events()) EXPECT_NE(COOKIE + 1, e.wParam) << "event " << e.message;
    ASSERT_EQ(1u, All(DM_BURNPREPARE).size());
    EXPECT_EQ(0u, Burn(tree));
    EXPECT_EQ(S_OK, device->GetDeviceBusy(&busy));
    EXPECT_EQ(0u, busy);
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
        messages.push_back(e.message == DM_STATUS ? 1000 + (e.lParam & 0xFFFF) : e.message);
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
    EXPECT_EQ(expected, messages);
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

TEST_F(EngineJob, EraseQuickOrFullBlanksARewritableDisc)
{
    for (unsigned full : {0u, 1u, 2u}) {
        SCOPED_TRACE(full);
        Insert(3);
        ASSERT_EQ(0u, Burn(FixtureTree()));
        ASSERT_EQ(2u, TrackCount());
        const size_t before = sink->Events().size();
        EXPECT_EQ(0u, Erase(full));
        std::vector<unsigned> messages;
        std::vector<EngineEvent> all = sink->Events();
        for (size_t i = before; i < all.size(); ++i)
            if (all[i].message != DM_MEDIUMCHANGED) messages.push_back(all[i].message);
        EXPECT_EQ((std::vector<unsigned>{DM_ERASEPREPARE, DM_ERASESTART, DM_ERASEEND}), messages);
        EXPECT_EQ(1u, TrackCount());
        hyper total = 0, used = 1, free = 0;
        ASSERT_EQ(S_OK, medium->GetSpaces(&total, &used, &free));
        EXPECT_EQ(0, used);
    }
}

TEST_F(EngineJob, EraseRefusesWriteOnceMediaAndAsksAnEmptyDriveForADisc)
{
    Insert(2);
    const std::string before = MediumBytes(CD_DRIVE);
    EXPECT_EQ(unsigned(E_FAIL), Erase(0));
    EXPECT_EQ(std::vector<unsigned>{ST_NOT_ERASABLE}, All(DM_STATUS));
    EXPECT_EQ(before, MediumBytes(CD_DRIVE));

    ASSERT_EQ(0u, RunDiscTool("eject F"));
    sink->SetAnswer(0);
    EXPECT_EQ(CANCELLED, Erase(1));
    sink->SetAnswer(1);
    EXPECT_EQ(std::vector<unsigned>{ASK_INSERT_DISC}, All(DM_QUESTION));
}

TEST_F(EngineJob, CancelDuringASlowWriteEndsTheJobAtOnceAndLeavesTheDisc)
{
    Insert(2);
    WriteFileBytes(files.File("slow.bin"), Pattern(12 * 1024 * 1024));
    com::ComPtr<IFileTree> tree = NewTree();
    com::ComPtr<IFileTreeNode> root;
    ASSERT_EQ(S_OK, tree->GetRootNode(&root));
    Add(tree, root, files.File("slow.bin"), "slow.bin");
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

// A client that lets go of everything (or dies) right after it started a
// burn: the running job keeps the engine, and the disc is written.
TEST_F(EngineJob, ARunningJobKeepsTheEngineWhenEveryClientHasLetGo)
{
    Insert(2);
    WriteFileBytes(files.File("slow.bin"), Pattern(3 * 1024 * 1024));
    com::ComPtr<IFileTree> tree = NewTree();
    com::ComPtr<IFileTreeNode> root;
    ASSERT_EQ(S_OK, tree->GetRootNode(&root));
    Add(tree, root, files.File("slow.bin"), "slow.bin");
    DriveValue slow("emulate_speed", "1", "0");
    ASSERT_TRUE(slow.Set());
    EngineProcess engine;
    ASSERT_TRUE(engine.Found());
    // The slowest speed: some 4 seconds of writing.
    ASSERT_EQ(S_OK, writer->BurnData(COOKIE, 706, tree, 2));
    Unadvise(device, deviceCookie);
    Unadvise(devices, listCookie);
    deviceCookie = listCookie = 0;
    root.Reset();
    tree.Reset();
    writer.Reset();
    medium.Reset();
    device.Reset();
    devices.Reset();
    PumpFor(7000);  // past the engine's 5 s time-out and its 1 s pause
    ASSERT_TRUE(engine.Alive()) << "the job was killed with its engine";

    // A new client finds the burn ended and its session on the disc.
    ASSERT_EQ(S_OK, devices.CoCreate(CLSID_CoDevices, IID_IDevices, CLSCTX_LOCAL_SERVER));
    EXPECT_EQ(engine.Pid(), EngineProcess().Pid());
    ASSERT_EQ(S_OK, devices->GetDeviceByDriveLetter('F', &device));
    ASSERT_EQ(S_OK, device->QueryInterface(IID_IMedium, reinterpret_cast<void**>(&medium)));
    unsigned busy = 1;
    for (DWORD start = GetTickCount(); busy && GetTickCount() - start < 10000; PumpFor(100))
        ASSERT_EQ(S_OK, device->GetDeviceBusy(&busy));
    EXPECT_EQ(0u, busy);
    EXPECT_EQ(2u, TrackCount()) << "the written track and the open one";
}

// IObjectCreator::CreateObject from another thread of the client, bounded:
// E_PENDING when no answer came within `ms`.
HRESULT CreateObjectMeanwhile(DWORD ms)
{
    struct Call {
        HRESULT result = E_PENDING;
        static DWORD WINAPI Run(void* self)
        {
            CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            {
                com::ComPtr<IObjectCreator> creator;
                com::ComPtr<IUnknown> made;
                HRESULT hr = creator.CoCreate(CLSID_CoDevices, IID_IObjectCreator, CLSCTX_LOCAL_SERVER);
                if (SUCCEEDED(hr)) hr = creator->CreateObject(CLSID_CoISOFileTree, &made);
                static_cast<Call*>(self)->result = hr;
            }
            CoUninitialize();
            return 0;
        }
    };
    auto* call = new Call;  // left to a thread that never answers
    HANDLE thread = CreateThread(nullptr, 0, Call::Run, call, 0, nullptr);
    if (!thread) return E_FAIL;
    const bool answered = WaitForSingleObject(thread, ms) == WAIT_OBJECT_0;
    CloseHandle(thread);
    if (!answered) return E_PENDING;
    const HRESULT result = call->result;
    delete call;
    return result;
}

// A client that calls the engine while it considers a question: the device
// list's window, on the engine's main thread, is free to serve the call.
TEST_F(EngineJob, AClientCallsTheEngineWhileItsQuestionIsOpen)
{
    ASSERT_EQ(0u, RunDiscTool("eject F"));
    HRESULT created = S_OK;
    sink->SetAnswer(0);
    sink->OnQuestion([&](unsigned) { created = CreateObjectMeanwhile(5000); });
    EXPECT_EQ(CANCELLED, Burn(FixtureTree()));
    sink->OnQuestion(nullptr);
    EXPECT_EQ(E_NOINTERFACE, created) << "E_PENDING: the call waited for the question";
}

// Each job's handlers log their entry and exit; an internal erase among
// them.
TEST_F(EngineJob, JobHandlersLogTheirEntryAndExit)
{
    Insert(3);
    com::ComPtr<IFileTree> first = FixtureTree();
    ASSERT_EQ(S_OK, first->DoFinalize(1));
    ASSERT_EQ(0u, Burn(first));
    const size_t from = LogSize();
    ASSERT_EQ(0u, Burn(FixtureTree()));  // erased inside, on the answer 1
    ASSERT_EQ(0u, Erase(0));
    const std::string log = LogSince(from);
    size_t at = 0;
    for (const char* handler : {"OnDataBurnPrepare", "OnInternalErase", "OnErasePrepare", "OnEraseStart", "OnEraseEnd",
                                "OnDataBurnStart", "OnDataBurnEnd", "OnErasePrepare", "OnEraseStart", "OnEraseEnd"}) {
        SCOPED_TRACE(handler);
        const std::string enter = std::string("=> CCoDevice ") + handler + "()";
        const std::string leave = std::string("<= CCoDevice ") + handler + "()";
        const size_t entered = log.find(enter, at);
        ASSERT_NE(std::string::npos, entered) << log;
        EXPECT_NE(std::string::npos, log.find(leave, entered));
        at = entered + enter.size();
    }
}

// A drive that fails one operation of a job, as the disc layer's faults
// make it fail from outside: the job's statuses, its result and the
// failure line in the engine's log.
TEST_F(EngineJob, AFailingDriveEndsEachJobWithItsStatusResultAndFailureLine)
{
    struct Case {
        const char* what;
        bool erase;
        const char* operation;  // "" for an image build that fails by itself
        unsigned status;        // a status word the job sends (no flag), 0 for none
        const char* line;
    };
    const Case cases[] = {
        {"burn: speed refused", false, "StarBurn_CdvdBurnerGrabber_SetSpeeds", ST_SPEED_FAILED,
         "\tStarBurn_CdvdBurnerGrabber_SetSpeeds failed, error code - 0x00000009, exception text is \"injected failure\""},
        {"burn: session not closed", false, "StarBurn_CdvdBurnerGrabber_CloseSession", 0,
         "\tStarBurn_CdvdBurnerGrabber_CloseSession failed, error code - 0x00000009, exception text is \"injected failure\""},
        {"burn: no grabber", false, "StarBurn_CdvdBurnerGrabber_Create", 0,
         "\tStarBurn_CdvdBurnerGrabber_Create failed, error code - 0x00000009, exception text is \"injected failure\""},
        {"burn: image not built", false, "", ST_DATA_IMAGE_END,
         "\tIsoTree_Build failed, error code - 0x00000007, exception text is \"image too large\""},
        {"erase: speed refused", true, "StarBurn_CdvdBurnerGrabber_SetSpeeds", ST_SPEED_FAILED,
         "\tStarBurn_CdvdBurnerGrabber_SetSpeeds failed, error code - 0x00000009, exception text is \"injected failure\""},
        {"erase: no grabber", true, "StarBurn_CdvdBurnerGrabber_Create", 0,
         "\tStarBurn_CdvdBurnerGrabber_Create failed, error code - 0x00000009, exception text is \"injected failure\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        InsertChecked(c.erase ? 3 : 2);
        com::ComPtr<IFileTree> tree = FixtureTree();
        if (!*c.operation) {
            // Laid out past the last block a disc can address.
            ASSERT_EQ(S_OK, tree->SetStartLBA(0xFFFFFFF0));
        } else {
            ASSERT_EQ(0u, RunDiscTool(std::string("fault F ") + c.operation + " 9"));
        }
        const size_t from = LogSize(), before = sink->Events().size();
        EXPECT_EQ(unsigned(E_FAIL), c.erase ? Erase(1) : Burn(tree));
        std::vector<unsigned> statuses;
        const std::vector<EngineEvent> all = sink->Events();
        for (size_t i = before; i < all.size(); ++i)
            if (all[i].message == DM_STATUS) statuses.push_back(all[i].lParam);
        if (c.status) {
            EXPECT_NE(statuses.end(), std::find(statuses.begin(), statuses.end(), c.status));
        }
        const std::string log = LogSince(from);
        EXPECT_NE(std::string::npos, log.find(c.line)) << log;
    }
}

// A drive that offers one kind of erase only: the quick and the full erase
// reach it as what they are.
TEST_F(EngineJob, QuickAndFullEraseReachTheDriveAsWhatTheyAre)
{
    struct Case {
        const char* modes;  // 1 quick only, 2 full only
        unsigned full;
        unsigned result;
    };
    const Case cases[] = {{"1", 0, 0}, {"1", 1, unsigned(E_FAIL)}, {"2", 0, unsigned(E_FAIL)}, {"2", 1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.modes) + (c.full ? " full" : " quick"));
        DriveValue modes("blank_modes", c.modes, "3");
        ASSERT_TRUE(modes.Set());
        Insert(3);
        ASSERT_EQ(0u, Burn(FixtureTree()));
        EXPECT_EQ(c.result, Erase(c.full));
        EXPECT_EQ(c.result ? 2u : 1u, TrackCount());
    }
}

}  // namespace
