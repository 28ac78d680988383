// The burning frame (Drubeck.dll) in a stand-in project, burning and erasing
// on the engine's virtual drives: what it shows, what it tells its project,
// the questions it asks through its boxes, and the discs it leaves, read
// back with the Linux ISO tools.
#include <gtest/gtest.h>
#include "box_driver.h"
#include "commands.h"
#include "disc_folder.h"
#include "frame_fixture.h"
#include "unix_tools.h"
#include "vokmar_process.h"
#include <com/bstr.h>
#include <shared/variant_safearray.h>
#include <algorithm>

namespace {

enum {
    IDC_BURN = 8192, IDC_ERASE = 8193, IDC_CANCEL = 8194, IDC_BUFFER = 8195, IDC_PROGRESS = 8197,
    IDC_DRIVES = 8198, IDC_SPEEDS = 8199, IDC_TEST_WRITE = 8204, IDC_BACK = 29334, IDC_NEXT = 29335,
};
const DWORD JOB_WAIT_MS = 30000;
const long CANCELLED = static_cast<long>(0x8010006E);
const char* const CD_DRIVE = "drive1";  // F, the CD writer

class BurningFrame : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // An engine that another suite left on its way out is awaited first.
        StopEngine();
        services = new CTestServices();
    }
    static void TearDownTestSuite()
    {
        delete services;
        // The jobs leave their cookies in the devices: later suites meet a fresh engine.
        StopEngine();
    }
    void SetUp() override
    {
        Insert('F', 2);
        WriteFileBytes(files.File("readme.txt"), "hello disc\n");
        WriteFileBytes(files.File("big.bin"), Pattern(4 * 1024 * 1024 + 5));
    }
    void TearDown() override
    {
        Insert('F', 2);
        if (usedDvd) Insert('E', 8);
    }

    static void Insert(char drive, unsigned type)
    {
        ASSERT_EQ(0u, RunDiscTool(std::string("insert ") + drive + " " + std::to_string(type)));
    }
    static std::string Pattern(size_t size)
    {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 4096);
        return bytes;
    }
    // An engine file tree of the fixture's files: readme.txt and "Sub Folder\big.bin".
    com::ComPtr<IFileTree> Tree(bool finalize = false)
    {
        com::ComPtr<IFileTree> tree;
        EXPECT_EQ(S_OK, tree.CoCreate(CLSID_CoISOFileTree, IID_IFileTree, CLSCTX_LOCAL_SERVER));
        com::ComPtr<IFileTreeNode> root, folder, node;
        EXPECT_EQ(S_OK, tree->GetRootNode(&root));
        EXPECT_EQ(S_OK, tree->Add(root, com::Bstr(files.File("readme.txt")), com::Bstr("readme.txt"), &node));
        EXPECT_EQ(S_OK, tree->Add(root, nullptr, com::Bstr("Sub Folder"), &folder));
        EXPECT_EQ(S_OK, tree->Add(folder, com::Bstr(files.File("big.bin")), com::Bstr("big.bin"), &node));
        EXPECT_EQ(S_OK, tree->SetVolumeLabel(com::Bstr("FRAMEDISC")));
        if (finalize) {
            EXPECT_EQ(S_OK, tree->DoFinalize(1));
        }
        return tree;
    }
    // A frame whose drive list has been filled (the engine's first scan).
    std::unique_ptr<CFrameUnderTest> NewFrame(int left = 10)
    {
        auto frame = std::make_unique<CFrameUnderTest>(*services, left);
        EXPECT_TRUE(frame->Made());
        if (frame->Made()) {
            EXPECT_TRUE(PumpUntil([&] { return frame->ComboItems(IDC_DRIVES).size() >= 2; }, 10000));
        }
        return frame;
    }
    // Presses Burn and waits for the burn's end at the project.
    static bool BurnAndWait(CFrameUnderTest& frame)
    {
        const size_t results = frame.Project().Results().size();
        frame.Click(IDC_BURN);
        return PumpUntil([&] { return frame.Project().Results().size() > results; }, JOB_WAIT_MS);
    }
    static unsigned TrackCount(char letter)
    {
        com::ComPtr<IDevices> devices;
        com::ComPtr<IDevice> device;
        com::ComPtr<IMedium> medium;
        unsigned count = 0;
        if (SUCCEEDED(devices.CoCreate(CLSID_CoDevices, IID_IDevices, CLSCTX_LOCAL_SERVER)) &&
            SUCCEEDED(devices->GetDeviceByDriveLetter(letter, &device)) &&
            SUCCEEDED(device->QueryInterface(IID_IMedium, reinterpret_cast<void**>(&medium))))
            medium->GetTrackCount(&count);
        return count;
    }
    // Drive F's disc as an image file, by its Unix path.
    std::string ExportDisc()
    {
        const std::string iso = exported.File("disc.iso");
        EXPECT_EQ(0u, RunDiscTool("export F \"" + iso + "\""));
        return UnixPath(iso);
    }

    static CTestServices* services;
    TempFolder files, exported;
    bool usedDvd = false;
};

CTestServices* BurningFrame::services = nullptr;

// The project's commands of one number, as (numbers, text).
std::vector<std::vector<long>> Numbers(const CStubProject& project, unsigned int id)
{
    std::vector<std::vector<long>> all;
    for (const RecordedCommand& c : project.Commands(id)) all.push_back(c.numbers);
    return all;
}

TEST_F(BurningFrame, TheFrameOffersItsPaneListsTheDrivesAndAnswersItsProject)
{
    CBoxDriver boxes;
    const CFrameUnderTest::Buttons geometry = {10, 12, 90, 24};
    CFrameUnderTest frame(*services, 10, &geometry);
    ASSERT_TRUE(frame.Made());
    ASSERT_TRUE(PumpUntil([&] { return frame.ComboItems(IDC_DRIVES).size() >= 2; }, 10000));
    CStubProject& project = frame.Project();

    // The pane and its three actions, translated from the frame's own strings.
    std::vector<RecordedCommand> panes = project.Commands(PCID_ADD_PANE);
    ASSERT_EQ(1u, panes.size());
    EXPECT_EQ("Burn", panes[0].text);
    EXPECT_EQ(8192, panes[0].numbers.at(0));
    EXPECT_NE(0, panes[0].numbers.at(1)) << "an icon";
    std::vector<std::pair<long, std::string>> actions;
    for (const RecordedCommand& c : project.Commands(PCID_ADD_ACTION)) actions.push_back({c.numbers.at(1), c.text});
    EXPECT_EQ((std::vector<std::pair<long, std::string>>{
                  {8193, "Start burning"}, {8199, "Start quick erasing"}, {8249, "Start full erasing"}}),
              actions);
    char label[64] = "";
    GetDlgItemTextA(frame.Window(), 8200, label, sizeof(label));
    EXPECT_STREQ("Device:", label);

    // Both writers listed by their whole names; the first writable one chosen.
    std::vector<std::string> drives = frame.ComboItems(IDC_DRIVES);
    ASSERT_EQ(2u, drives.size());
    EXPECT_EQ('E', drives[0][0]);
    EXPECT_EQ(drives[0], frame.ComboText(IDC_DRIVES));
    EXPECT_TRUE(frame.Logged("Searching for CD/DVD devices..."));
    EXPECT_TRUE(frame.Logged("Devices found: 2"));
    EXPECT_TRUE(frame.Logged("        " + drives[1]));
    EXPECT_TRUE(frame.Logged("Device selected: " + drives[0]));
    std::vector<RecordedCommand> renames = project.Commands(PCID_RENAME_PANE);
    ASSERT_FALSE(renames.empty());
    EXPECT_EQ("Burn\nDevice: " + drives[0], renames.back().text);
    // The speeds end with "Max", the default.
    std::vector<std::string> speeds = frame.ComboItems(IDC_SPEEDS);
    ASSERT_GE(speeds.size(), 2u);
    EXPECT_EQ("Max", speeds.back());
    EXPECT_EQ("Max", frame.ComboText(IDC_SPEEDS));
    EXPECT_NE(std::string::npos, speeds[0].find("X (")) << speeds[0];
    EXPECT_TRUE(frame.Enabled(IDC_BURN));
    EXPECT_FALSE(frame.Enabled(IDC_CANCEL));

    // Answers to the project's questions.
    long value = -1;
    CVariantSafearray ask(1);
    ask.Create();
    ask.Prepare({{VT_I4 | VT_BYREF, &value}});
    EXPECT_EQ(S_OK, frame.Command(BFCID_GET_SPEED, ask));
    EXPECT_EQ(0xFFFF, value);
    EXPECT_EQ(S_OK, frame.Command(BFCID_GET_TEST_WRITE, ask));
    EXPECT_EQ(0, value);
    frame.Check(IDC_TEST_WRITE, true);
    EXPECT_EQ(S_OK, frame.Command(BFCID_GET_TEST_WRITE, ask));
    EXPECT_EQ(1, value);
    frame.Check(IDC_TEST_WRITE, false);
    ASSERT_TRUE(frame.SelectDrive('F'));
    EXPECT_EQ(S_OK, frame.Command(BFCID_GET_DEVICE_ID, ask));
    com::ComPtr<IDevices> devices;
    com::ComPtr<IDevice> cd;
    unsigned cdId = 0;
    ASSERT_EQ(S_OK, devices.CoCreate(CLSID_CoDevices, IID_IDevices, CLSCTX_LOCAL_SERVER));
    ASSERT_EQ(S_OK, devices->GetDeviceByDriveLetter('F', &cd));
    cd->GetDeviceID(&cdId);
    EXPECT_EQ(static_cast<long>(cdId), value);
    // The project chooses the drive: the continued disc's, or none it lists.
    ASSERT_TRUE(frame.SelectDrive('E'));
    EXPECT_EQ(S_OK, frame.Command(BFCID_SET_DEVICE_ID, {static_cast<long>(cdId)}));
    EXPECT_EQ('F', frame.ComboText(IDC_DRIVES)[0]);
    EXPECT_EQ("Burn\nDevice: " + frame.ComboText(IDC_DRIVES), project.Commands(PCID_RENAME_PANE).back().text);
    EXPECT_EQ(S_OK, frame.Command(BFCID_GET_DEVICE_ID, ask));
    EXPECT_EQ(static_cast<long>(cdId), value);
    EXPECT_EQ(E_INVALIDARG, frame.Command(BFCID_SET_DEVICE_ID, {0x7F7F7F7F}));
    EXPECT_EQ('F', frame.ComboText(IDC_DRIVES)[0]);
    EXPECT_EQ(E_INVALIDARG, frame.Performer()->InvokeCommand(nullptr, IID_NULL, PCID_ENABLE_UI, nullptr));
    EXPECT_EQ(E_COMMAND_NOT_HANDLED, frame.Command(PCID_NEXT));
    com::ComPtr<IOwnWindow> own;
    ASSERT_EQ(S_OK, frame.Performer()->QueryInterface(IID_IOwnWindow, reinterpret_cast<void**>(&own)));
    EXPECT_EQ(E_INVALIDARG, own->CreateOwnWindow(reinterpret_cast<HWND>(0x1234)));
    com::ComPtr<IUnknown> loadSave;
    EXPECT_EQ(E_NOINTERFACE, frame.Performer()->QueryInterface(IID_ILoadSave, reinterpret_cast<void**>(&loadSave)));

    // The project disables the frame while another page works: only Cancel
    // stays, for the source's preparation.
    EXPECT_EQ(S_OK, frame.Command(PCID_ENABLE_UI, {0}));
    EXPECT_FALSE(frame.Enabled(IDC_BURN));
    EXPECT_FALSE(frame.Enabled(IDC_DRIVES));
    EXPECT_TRUE(frame.Enabled(IDC_CANCEL));
    std::vector<std::vector<long>> disabled = Numbers(project, PCID_DISABLE_ACTION);
    ASSERT_GE(disabled.size(), 3u);
    EXPECT_EQ((std::vector<std::vector<long>>{{8192, 8193}, {8192, 8199}, {8192, 8249}}),
              std::vector<std::vector<long>>(disabled.end() - 3, disabled.end()));
    EXPECT_EQ(S_OK, frame.Command(PCID_ENABLE_UI, {1}));
    EXPECT_TRUE(frame.Enabled(IDC_BURN));
    EXPECT_FALSE(frame.Enabled(IDC_CANCEL));

    // The project's geometry places Back and Next at the bottom left; their
    // clicks go to the project; a disabled button sends nothing.
    RECT client = {}, back = {}, next = {};
    GetClientRect(frame.Window(), &client);
    GetWindowRect(frame.Control(IDC_BACK), &back);
    GetWindowRect(frame.Control(IDC_NEXT), &next);
    MapWindowPoints(HWND_DESKTOP, frame.Window(), reinterpret_cast<POINT*>(&back), 2);
    MapWindowPoints(HWND_DESKTOP, frame.Window(), reinterpret_cast<POINT*>(&next), 2);
    EXPECT_EQ((std::vector<long>{10, client.bottom - 24 - 12, 90, 24}),
              (std::vector<long>{back.left, back.top, back.right - back.left, back.bottom - back.top}));
    EXPECT_EQ(10 + 90 + 4, next.left);
    EXPECT_EQ(back.top, next.top);
    char text[32] = "";
    GetWindowTextA(frame.Control(IDC_NEXT), text, sizeof(text));
    EXPECT_STREQ("Next", text);
    project.Clear();
    frame.Click(IDC_NEXT);
    frame.Click(IDC_BACK);
    std::vector<unsigned> sent;
    for (const RecordedCommand& c : project.Commands()) sent.push_back(c.id);
    EXPECT_EQ((std::vector<unsigned>{PCID_NEXT, PCID_BACK}), sent);
    CVariantSafearray state(6);
    state.Create();
    state.Prepare({{VT_UI4, 10}, {VT_UI4, 12}, {VT_UI4, 90}, {VT_UI4, 24}, {VT_BOOL, 0}, {VT_BOOL, 1}});
    EXPECT_EQ(S_OK, frame.Command(PCID_SET_BUTTONS_STATE, state));
    project.Clear();
    frame.Click(IDC_BACK);
    EXPECT_TRUE(project.Commands().empty());
    EXPECT_TRUE(boxes.Seen().empty());
}

// A burn from the frame: the burn request, the hand-over of the tree, the
// job's lines, bars and controls, and the end reported to the project. The
// project may send PCID_START with its preparation's result or without data.
TEST_F(BurningFrame, ItsControlsKeepClearOfEachOtherInANarrowOrWidePane)
{
    CFrameUnderTest frame(*services, 10);
    ASSERT_TRUE(frame.Made());
    const int ids[] = {8200, IDC_DRIVES, 8201, IDC_SPEEDS, IDC_TEST_WRITE, IDC_BURN, IDC_ERASE, IDC_CANCEL};
    RECT start;
    GetClientRect(frame.Window(), &start);
    // The template's width, a pane a fifth narrower (a small project window) and a wide one.
    for (int width : {int(start.right), int(start.right) * 4 / 5, int(start.right) * 2}) {
        SetWindowPos(frame.Window(), nullptr, 0, 0, width, 400, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
        std::vector<RECT> rects;
        for (int id : ids) {
            RECT r;
            GetWindowRect(frame.Control(id), &r);
            rects.push_back(r);
        }
        for (size_t i = 0; i < rects.size(); ++i) {
            EXPECT_LE(rects[i].right - rects[0].left, width) << "control " << ids[i] << " at width " << width;
            for (size_t j = i + 1; j < rects.size(); ++j) {
                RECT both;
                EXPECT_FALSE(IntersectRect(&both, &rects[i], &rects[j]))
                    << "controls " << ids[i] << " and " << ids[j] << " at width " << width;
            }
        }
    }
}

TEST_F(BurningFrame, ABurnWritesTheDiscShowsItsProgressAndReportsTheEnd)
{
    CBoxDriver boxes;
    struct Case {
        bool startData, testWrite;
    };
    for (const Case c : {Case{false, false}, Case{true, true}}) {
        SCOPED_TRACE(c.startData ? "PCID_START [S_OK], test write" : "PCID_START without data");
        Insert('F', 2);
        auto frame = NewFrame();
        ASSERT_TRUE(frame->SelectDrive('F'));
        // Slowed to the lowest speed, so that the job is seen at work.
        DriveValue slow("emulate_speed", "1", "0");
        ASSERT_TRUE(slow.Set());
        PumpUntil([] { return false; }, 300);
        frame->SelectSpeedItem(0);
        frame->Check(IDC_TEST_WRITE, c.testWrite);
        CStubProject& project = frame->Project();
        if (c.startData) project.StartWith(S_OK);
        else project.StartWithoutData();
        project.SetTree(Tree());
        const std::string before = MediumBytes(CD_DRIVE);
        if (!c.testWrite) Screenshot("before-burn");
        project.Clear();

        frame->Click(IDC_BURN);
        int progress = 0, buffer = 0;
        bool lockedWhileWorking = true, sawWorking = false, shot = false;
        ASSERT_TRUE(PumpUntil(
            [&] {
                if (frame->Logged("Burning started: *") && project.Results().empty()) {
                    sawWorking = true;
                    lockedWhileWorking = lockedWhileWorking && !frame->Enabled(IDC_BURN) &&
                                         !frame->Enabled(IDC_DRIVES) && !frame->Enabled(IDC_TEST_WRITE) &&
                                         frame->Enabled(IDC_CANCEL);
                    progress = std::max(progress, frame->Position(IDC_PROGRESS));
                    buffer = std::max(buffer, frame->Position(IDC_BUFFER));
                    if (!shot && !c.testWrite && progress >= 10) Screenshot("during-burn", false), shot = true;
                }
                return !project.Results().empty();
            },
            JOB_WAIT_MS));
        EXPECT_TRUE(sawWorking);
        EXPECT_TRUE(lockedWhileWorking);
        EXPECT_GT(progress, 0);
        if (!c.testWrite) {
            EXPECT_GT(buffer, 0);
        }

        // The request, the questions, the end: in this order.
        std::vector<unsigned> flow;
        for (const RecordedCommand& r : project.Commands())
            if (r.id != PCID_ENABLE_ACTION && r.id != PCID_DISABLE_ACTION) flow.push_back(r.id);
        EXPECT_EQ((std::vector<unsigned>{PCID_ENABLE_UI, PCID_REQUEST_BURN, BFCID_GET_BURN_TYPE, BFCID_GET_DATAIMAGE,
                                         PCID_RESULT, PCID_ENABLE_UI}),
                  flow);
        EXPECT_EQ((std::vector<std::vector<long>>{{0}, {1}}), Numbers(project, PCID_ENABLE_UI));
        EXPECT_EQ(std::vector<long>{S_OK}, project.Results());
        for (const char* line :
             {"Data files prepared", "Preparing to burn...", "Creating data image...",
              "Data image creation successfully completed", "Sending OPC", "Buffer underrun protection enabled",
              "Burning started: *", "Analysing target file...", "Target file size: *", "Filling buffer...",
              "Buffer filled", "Flushing buffer...", "Buffer flushed", "Writing Lead-in and Lead-out...",
              "Lead-in and Lead-out written", "Burning successfully completed "})
            EXPECT_EQ(1u, frame->Count(line)) << line;
        std::vector<std::string> log = frame->Log();
        EXPECT_EQ("Burning successfully completed ", log.back());
        auto at = [&](const char* line) { return std::find(log.begin(), log.end(), line) - log.begin(); };
        EXPECT_LT(at("Preparing to burn..."), at("Buffer filled"));
        EXPECT_LT(at("Buffer filled"), at("Lead-in and Lead-out written"));
        // Back to idle: bars at 0, controls enabled.
        EXPECT_EQ(0, frame->Position(IDC_PROGRESS));
        EXPECT_EQ(0, frame->Position(IDC_BUFFER));
        EXPECT_TRUE(PumpUntil([&] { return frame->Enabled(IDC_BURN) && frame->Enabled(IDC_DRIVES); }, 2000));
        EXPECT_FALSE(frame->Enabled(IDC_CANCEL));
        if (c.testWrite) {
            EXPECT_EQ(before, MediumBytes(CD_DRIVE));
            continue;
        }
        Screenshot("after-burn");
        const std::string iso = ExportDisc();
        const std::string joliet = RunUnix("isoinfo -J -f -i '" + iso + "'");
        for (const char* path : {"/readme.txt\n", "/Sub Folder\n", "/Sub Folder/big.bin\n"})
            EXPECT_NE(std::string::npos, joliet.find(path)) << path << " in\n" << joliet;
        EXPECT_NE(std::string::npos, RunUnix("isoinfo -d -i '" + iso + "'").find("Volume id: FRAMEDISC"));
        EXPECT_EQ("hello disc\n", RunUnix("isoinfo -J -x /readme.txt -i '" + iso + "'"));
    }
    EXPECT_TRUE(boxes.Seen().empty());
}

// Before any job: a failed preparation, a failed type question or a type
// the frame cannot burn ends the request with its result, and the project
// enables its pages again.
TEST_F(BurningFrame, ARequestThatCannotStartEndsWithItsResult)
{
    struct Case {
        HRESULT preparation, typeResult;
        long type;
        const char* line;
        long result;
    };
    const Case cases[] = {
        {E_FAIL, S_OK, 2, "Data files preparation failed", E_FAIL},
        {CANCELLED, S_OK, 2, "Data files preparation cancelled", CANCELLED},
        {S_OK, E_NOTIMPL, 2, "Burning type query failed, see log file for details", E_NOTIMPL},
        {S_OK, S_OK, 9, "Burning operation failed to start, see application and Vokmar log files for details",
         E_INVALIDARG},
    };
    auto frame = NewFrame();
    CStubProject& project = frame->Project();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        project.Clear();
        project.StartWith(c.preparation);
        project.SetBurnType(c.type, c.typeResult);
        frame->Click(IDC_BURN);
        ASSERT_TRUE(PumpUntil([&] { return !project.Results().empty(); }, 5000));
        EXPECT_TRUE(frame->Logged(c.line));
        EXPECT_EQ(std::vector<long>{c.result}, project.Results());
        EXPECT_EQ((std::vector<std::vector<long>>{{0}, {1}}), Numbers(project, PCID_ENABLE_UI));
        EXPECT_FALSE(frame->Logged("Preparing to burn..."));
        EXPECT_TRUE(frame->Enabled(IDC_BURN));
    }
}

}  // namespace

namespace {

// The line index of the first line after `from` equal to `line` (or
// starting so, for a line ending in '*'); npos when none.
size_t Find(const std::vector<std::string>& log, const std::string& line, size_t from = 0)
{
    for (size_t i = from; i < log.size(); ++i)
        if (log[i] == line || (line.back() == '*' && log[i].compare(0, line.size() - 1, line, 0, line.size() - 1) == 0))
            return i;
    return std::string::npos;
}

TEST_F(BurningFrame, TheEnginesQuestionsAreAskedInTheFramesBoxes)
{
    CBoxDriver boxes;
    auto frame = NewFrame();
    ASSERT_TRUE(frame->SelectDrive('F'));
    CStubProject& project = frame->Project();

    // An empty drive: the box asks for a disc, the user puts one in and goes on.
    ASSERT_EQ(0u, RunDiscTool("eject F"));
    boxes.BeforeAnswer([](const SeenBox&) { RunDiscTool("insert F 2"); });
    project.SetTree(Tree());
    ASSERT_TRUE(BurnAndWait(*frame));
    EXPECT_EQ(std::vector<long>{S_OK}, project.Results());
    ASSERT_EQ(1u, boxes.Seen().size());
    EXPECT_EQ("Tavell Burner", boxes.Seen()[0].caption);
    EXPECT_EQ("No disc inserted or drive is not ready. Please insert a disc.", boxes.Seen()[0].text);
    boxes.BeforeAnswer(nullptr);

    // A finalized rewritable disc is erased inside the burn on the user's
    // yes. The erase's end leaves the frame busy: the burn goes on.
    Insert('F', 3);
    project.SetTree(Tree(true));
    ASSERT_TRUE(BurnAndWait(*frame));
    ASSERT_EQ(1u, boxes.Seen().size()) << "a blank disc asks nothing";
    project.Clear();
    project.SetTree(Tree(true));
    const size_t from = frame->Log().size();
    frame->Click(IDC_BURN);
    bool sawEraseEnd = false, busyAfterErase = true;
    ASSERT_TRUE(PumpUntil(
        [&] {
            if (Find(frame->Log(), "Erasing successfully completed ", from) != std::string::npos &&
                project.Results().empty()) {
                sawEraseEnd = true;
                busyAfterErase = busyAfterErase && !frame->Enabled(IDC_DRIVES) && !frame->Enabled(IDC_BURN) &&
                                 !frame->Enabled(IDC_TEST_WRITE) && frame->Enabled(IDC_CANCEL);
            }
            return !project.Results().empty();
        },
        JOB_WAIT_MS));
    EXPECT_TRUE(sawEraseEnd);
    EXPECT_TRUE(busyAfterErase);
    EXPECT_EQ(std::vector<long>{S_OK}, project.Results());
    ASSERT_EQ(2u, boxes.Seen().size());
    EXPECT_EQ("Disc in drive is finalized, but it can be erased. Perform erasing?", boxes.Seen()[1].text);
    std::vector<std::string> log = frame->Log();
    size_t at = from;
    for (const char* line : {"Preparing to burn...", "Preparing to erase...", "Erasing started: *",
                             "Erasing successfully completed ", "Burning started: *", "Burning successfully completed "}) {
        at = Find(log, line, at);
        ASSERT_NE(std::string::npos, at) << line << " in order after line " << from;
    }
    EXPECT_EQ(1u, TrackCount('F')) << "one finalized session on the erased disc";

    // Declined: the burn ends as the user's cancel and the disc stays.
    boxes.Answer(IDCANCEL);
    project.Clear();
    project.SetTree(Tree());
    const std::string before = MediumBytes(CD_DRIVE);
    ASSERT_TRUE(BurnAndWait(*frame));
    EXPECT_EQ(std::vector<long>{CANCELLED}, project.Results());
    EXPECT_EQ("Burning canceled by user", frame->Log().back());
    EXPECT_EQ(3u, boxes.Seen().size());
    EXPECT_EQ(before, MediumBytes(CD_DRIVE));
    EXPECT_TRUE(frame->Enabled(IDC_BURN));
}

// Erasing from the task panel's actions: the engine's erase lines, the disc
// blank afterwards, and nothing told to the project. A disc that cannot be
// erased, and a drive that cannot take the job, are shown to the user.
TEST_F(BurningFrame, EraseQuickOrFullBlanksARewritableDiscAndShowsWhatFails)
{
    CBoxDriver boxes;
    auto frame = NewFrame();
    ASSERT_TRUE(frame->SelectDrive('F'));
    CStubProject& project = frame->Project();
    // The actions of the task panel, then the Erase button's menu.
    const long MENU_QUICK_ERASE = 0;
    for (long action : {8199L, 8249L, MENU_QUICK_ERASE}) {
        SCOPED_TRACE(action);
        Insert('F', 3);
        project.SetTree(Tree());
        ASSERT_TRUE(BurnAndWait(*frame));
        ASSERT_EQ(2u, TrackCount('F'));
        project.Clear();
        const size_t from = frame->Log().size();
        if (action == MENU_QUICK_ERASE) {
            // The menu's loop takes the keys waiting in the queue: the first item, chosen.
            PostMessageA(frame->Window(), WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(frame->Window(), WM_KEYDOWN, VK_RETURN, 0);
            frame->Click(IDC_ERASE);
        } else {
            EXPECT_EQ(S_OK, frame->Command(PCID_ACTIVE_CHANGED_NOTIFY, {8192, action}));
        }
        ASSERT_TRUE(PumpUntil([&] { return Find(frame->Log(), "Erasing successfully completed ", from) != std::string::npos; },
                              JOB_WAIT_MS));
        std::vector<std::string> log = frame->Log();
        EXPECT_EQ(from, Find(log, "Preparing to erase...", from));
        EXPECT_NE(std::string::npos, Find(log, "Erasing started: *", from));
        EXPECT_EQ(1u, TrackCount('F'));
        std::vector<RecordedCommand> commands = project.Commands();
        ASSERT_FALSE(commands.empty());
        if (action != MENU_QUICK_ERASE) {
            EXPECT_EQ(PCID_SET_ACTIVE_ACTION, commands[0].id);
            EXPECT_EQ((std::vector<long>{8192, long(0xFFFFFFFE)}), commands[0].numbers);
        }
        EXPECT_TRUE(project.Commands(PCID_RESULT).empty());
        EXPECT_TRUE(project.Commands(PCID_ENABLE_UI).empty());
        EXPECT_TRUE(PumpUntil([&] { return frame->Enabled(IDC_ERASE) && frame->Enabled(IDC_DRIVES); }, 2000));
    }
    EXPECT_TRUE(boxes.Seen().empty());

    // A write-once disc is not erasable: said in the log and in a box.
    Insert('F', 2);
    size_t from = frame->Log().size();
    frame->Command(PCID_ACTIVE_CHANGED_NOTIFY, {8192, 8199});
    ASSERT_TRUE(PumpUntil([&] { return Find(frame->Log(), "Erasing failed", from) != std::string::npos; }, JOB_WAIT_MS));
    EXPECT_NE(std::string::npos, Find(frame->Log(), "Disc is not erasable", from));
    ASSERT_EQ(1u, boxes.Seen().size());
    EXPECT_EQ("Tavell Burner", boxes.Seen()[0].caption);
    EXPECT_EQ("Disc is not erasable", boxes.Seen()[0].text);

    // Another client's job holds the drive: the erase cannot start, which
    // the frame logs and shows; the other job's events are not its own.
    Insert('F', 3);
    DriveValue slow("emulate_speed", "1", "0");
    ASSERT_TRUE(slow.Set());
    com::ComPtr<IDevices> devices;
    com::ComPtr<IDevice> cd;
    com::ComPtr<IWriter> writer;
    ASSERT_EQ(S_OK, devices.CoCreate(CLSID_CoDevices, IID_IDevices, CLSCTX_LOCAL_SERVER));
    ASSERT_EQ(S_OK, devices->GetDeviceByDriveLetter('F', &cd));
    ASSERT_EQ(S_OK, cd->QueryInterface(IID_IWriter, reinterpret_cast<void**>(&writer)));
    ASSERT_EQ(S_OK, writer->BurnData(0x5150, 706, Tree(), 2));
    from = frame->Log().size();
    frame->Command(PCID_ACTIVE_CHANGED_NOTIFY, {8192, 8249});
    const char* const refused = "Erasing operation failed to start, see application and Vokmar log files for details";
    EXPECT_NE(std::string::npos, Find(frame->Log(), refused, from));
    ASSERT_EQ(2u, boxes.Seen().size());
    EXPECT_EQ(refused, boxes.Seen()[1].text);
    EXPECT_EQ(S_OK, writer->Cancel());
    unsigned busy = 1;
    EXPECT_TRUE(PumpUntil([&] { return SUCCEEDED(cd->GetDeviceBusy(&busy)) && !busy; }, JOB_WAIT_MS));
    // The drive free again, the frame's erase is offered again.
    EXPECT_TRUE(PumpUntil([&] { return frame->Enabled(IDC_ERASE); }, 5000));
    std::vector<std::string> log = frame->Log();
    for (const char* line : {"Preparing to burn...", "Burning started: *", "Burning failed", "Preparing to erase..."})
        EXPECT_EQ(std::string::npos, Find(log, line, from)) << line;
}

TEST_F(BurningFrame, CancelMidBurnStopsTheJobAndLeavesTheDiscAndTheFrameUsable)
{
    CBoxDriver boxes;
    WriteFileBytes(files.File("big.bin"), Pattern(12 * 1024 * 1024));
    auto frame = NewFrame();
    ASSERT_TRUE(frame->SelectDrive('F'));
    DriveValue slow("emulate_speed", "1", "0");
    ASSERT_TRUE(slow.Set());
    PumpUntil([] { return false; }, 300);
    frame->SelectSpeedItem(0);
    CStubProject& project = frame->Project();
    project.SetTree(Tree());
    const std::string before = MediumBytes(CD_DRIVE);
    frame->Click(IDC_BURN);
    ASSERT_TRUE(PumpUntil([&] { return frame->Logged("Burning started: *"); }, JOB_WAIT_MS));
    PumpUntil([] { return false; }, 800);
    ASSERT_TRUE(project.Results().empty());

    // The frame refuses to close while it burns.
    EXPECT_EQ(-1, SendMessageA(frame->Window(), WM_CLOSE, 0, 0));
    ASSERT_EQ(1u, boxes.Seen().size());
    EXPECT_EQ("Disc burning is in progress, can't close until it is finished of canceled.", boxes.Seen()[0].text);

    ASSERT_TRUE(frame->Enabled(IDC_CANCEL));
    frame->Click(IDC_CANCEL);
    ASSERT_TRUE(PumpUntil([&] { return !project.Results().empty(); }, 5000)) << "the engine's job ends at once";
    EXPECT_EQ(1u, project.Commands(PCID_CANCEL).size());
    EXPECT_EQ(S_OK, project.FrameAnswerToCancel()) << "the relay comes back to the frame, which takes it";
    EXPECT_EQ(std::vector<long>{E_FAIL}, project.Results());
    EXPECT_EQ("Burning canceled by user", frame->Log().back()) << "the user's cancel, whatever the job ended with";
    EXPECT_FALSE(frame->Logged("Burning failed"));
    EXPECT_EQ(before, MediumBytes(CD_DRIVE));
    EXPECT_EQ(0, frame->Position(IDC_PROGRESS));
    EXPECT_TRUE(PumpUntil([&] { return frame->Enabled(IDC_BURN) && frame->Enabled(IDC_DRIVES); }, 2000));
    EXPECT_FALSE(frame->Enabled(IDC_CANCEL));
    EXPECT_EQ(0, SendMessageA(frame->Window(), WM_CLOSE, 0, 0));
    EXPECT_EQ(1u, boxes.Seen().size());
}

TEST_F(BurningFrame, TwoFramesOnTwoDrivesEachSeeOnlyTheirOwnJob)
{
    CBoxDriver boxes;
    usedDvd = true;
    // Made back to back, most likely within one tick.
    auto a = NewFrame(10);
    auto b = NewFrame(640);
    ASSERT_TRUE(a->SelectDrive('E'));
    ASSERT_TRUE(b->SelectDrive('F'));
    a->Project().SetTree(Tree());
    b->Project().SetTree(Tree());
    a->Click(IDC_BURN);
    b->Click(IDC_BURN);
    ASSERT_TRUE(PumpUntil([&] { return !a->Project().Results().empty() && !b->Project().Results().empty(); },
                          JOB_WAIT_MS));
    Screenshot("two-frames");
    for (CFrameUnderTest* frame : {a.get(), b.get()}) {
        EXPECT_EQ(std::vector<long>{S_OK}, frame->Project().Results());
        for (const char* line : {"Preparing to burn...", "Burning started: *", "Buffer filled",
                                 "Burning successfully completed "})
            EXPECT_EQ(1u, frame->Count(line)) << line;
    }

    // B watches A's drive while A burns there again: nothing of A's job
    // reaches B's log, bars or project.
    ASSERT_TRUE(b->SelectDrive('E'));
    b->Project().Clear();
    Insert('E', 8);
    a->Project().SetTree(Tree());
    int bProgress = 0;
    const size_t results = a->Project().Results().size();
    a->Click(IDC_BURN);
    ASSERT_TRUE(PumpUntil(
        [&] {
            bProgress = std::max(bProgress, b->Position(IDC_PROGRESS));
            return a->Project().Results().size() > results;
        },
        JOB_WAIT_MS));
    EXPECT_EQ((std::vector<long>{S_OK, S_OK}), a->Project().Results());
    EXPECT_EQ(2u, a->Count("Burning started: *"));
    for (const char* line : {"Preparing to burn...", "Burning started: *", "Buffer filled", "Filling buffer...",
                             "Burning successfully completed "})
        EXPECT_EQ(1u, b->Count(line)) << line;
    EXPECT_EQ(0, bProgress);
    EXPECT_TRUE(b->Project().Results().empty());
    EXPECT_TRUE(b->Enabled(IDC_DRIVES));
    EXPECT_TRUE(boxes.Seen().empty());
}

}  // namespace

namespace {

// A drive that goes away while the frame burns on it takes the job's end
// event with it: the frame ends the job as failed and can be closed.
TEST_F(BurningFrame, ADriveThatGoesDuringTheBurnEndsTheJobAsFailed)
{
    struct Gone {
        ~Gone() { PumpUntil([] { return RemoveDrive("drive8"); }, 3000); }
    } gone;
    CBoxDriver boxes;
    WriteFileBytes(files.File("big.bin"), Pattern(12 * 1024 * 1024));
    auto frame = NewFrame();
    ASSERT_TRUE(PumpUntil([] { return AddDrive("drive8", "1:0:5:0", 'H'); }, 3000));
    ASSERT_TRUE(PumpUntil([&] { return frame->ComboItems(IDC_DRIVES).size() == 3; }, 10000));
    ASSERT_EQ(0u, RunDiscTool("insert H 2"));
    ASSERT_TRUE(frame->SelectDrive('H'));
    ASSERT_TRUE(PumpUntil([&] { return frame->Enabled(IDC_BURN); }, 10000));
    ASSERT_TRUE(SetDriveValue("drive8", "emulate_speed", "1"));
    PumpUntil([] { return false; }, 300);
    frame->SelectSpeedItem(0);
    CStubProject& project = frame->Project();
    project.SetTree(Tree());
    frame->Click(IDC_BURN);
    ASSERT_TRUE(PumpUntil([&] { return frame->Logged("Burning started: *"); }, JOB_WAIT_MS));
    ASSERT_TRUE(project.Results().empty());

    ASSERT_TRUE(PumpUntil([] { return RemoveDrive("drive8"); }, 3000));
    ASSERT_TRUE(PumpUntil([&] { return !project.Results().empty(); }, 15000)) << "the frame ends the lost job";
    EXPECT_EQ(std::vector<long>{E_FAIL}, project.Results());
    const std::vector<std::string> log = frame->Log();
    const auto lost = std::find(log.begin(), log.end(), "The drive or the engine is gone, the job cannot end normally");
    ASSERT_NE(log.end(), lost);
    EXPECT_EQ(log.end(), std::find(lost, log.end(), "Burning successfully completed "));
    EXPECT_NE(log.end(), std::find(lost, log.end(), "Burning failed"));
    EXPECT_EQ(0, frame->Position(IDC_PROGRESS));
    EXPECT_TRUE(PumpUntil([&] { return frame->Enabled(IDC_DRIVES); }, 2000));
    EXPECT_FALSE(frame->Enabled(IDC_CANCEL));
    EXPECT_EQ(0, SendMessageA(frame->Window(), WM_CLOSE, 0, 0)) << "Close works again";
    EXPECT_TRUE(boxes.Seen().empty());
}

// A drive that comes and goes: logged, listed once, and when it was the
// chosen one the frame is left without a drive until the next arrival.
TEST_F(BurningFrame, DrivesThatComeAndGoAreFollowedByTheList)
{
    // Gone again whatever happens here, so that other tests meet two drives.
    struct Gone {
        ~Gone() { PumpUntil([] { return RemoveDrive("drive7"); }, 3000); }
    } gone;
    auto frame = NewFrame();
    // The engine may be writing the drive files just now: tried again then.
    ASSERT_TRUE(PumpUntil([] { return AddDrive("drive7", "1:0:4:0", 'G'); }, 3000));
    ASSERT_TRUE(PumpUntil([&] { return frame->ComboItems(IDC_DRIVES).size() == 3; }, 10000));
    const std::string name = frame->ComboItems(IDC_DRIVES)[2];
    EXPECT_EQ("G:1:0:4:0  TAVELLCD-RW VCW-52", name);
    EXPECT_EQ(1u, frame->Count("Device arrived: " + name));
    ASSERT_TRUE(frame->SelectDrive('G'));

    ASSERT_TRUE(PumpUntil([] { return RemoveDrive("drive7"); }, 3000));
    ASSERT_TRUE(PumpUntil([&] { return frame->ComboItems(IDC_DRIVES).size() == 2; }, 10000));
    EXPECT_TRUE(frame->Logged("Device removed: " + name));
    EXPECT_EQ("", frame->ComboText(IDC_DRIVES));
    EXPECT_EQ(std::vector<std::string>{"None"}, frame->ComboItems(IDC_SPEEDS));
    EXPECT_FALSE(frame->Enabled(IDC_BURN));
    EXPECT_FALSE(frame->Enabled(IDC_ERASE));

    // With no drive chosen, the next one to come is taken.
    // The engine may be writing the drive files just now: tried again then.
    ASSERT_TRUE(PumpUntil([] { return AddDrive("drive7", "1:0:4:0", 'G'); }, 3000));
    ASSERT_TRUE(PumpUntil([&] { return frame->ComboItems(IDC_DRIVES).size() == 3; }, 10000));
    EXPECT_EQ(name, frame->ComboText(IDC_DRIVES));
    EXPECT_EQ("Max", frame->ComboText(IDC_SPEEDS));
    EXPECT_TRUE(PumpUntil([&] { return frame->Enabled(IDC_BURN); }, 2000));
}

}  // namespace
