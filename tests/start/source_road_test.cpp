// The image-burning and disc-copy roads from the program's own windows:
// File > New, the type chosen in the project-type dialog, the source page
// driven through its buttons and file dialog, Next, the burning frame's
// drive and Burn; the burned disc read back and compared with its source.
#include "road_fixture.h"
#include "disc_folder.h"
#include "event_sink.h"
#include "unix_tools.h"
#include "vokmar_process.h"
#include <engine.h>
#include <com/bstr.h>
#include <com/ptr.h>
#include <com/object.h>
#include <gtest/gtest.h>
#include <algorithm>

namespace {

const char kImageProject[] = "{B559C352-D0D1-49CE-85AF-5DC3E4E28C04}";  // Ellidra.dll
const char kCopyProject[] = "{0DF96816-3BA6-4E20-9C3E-6E945B461A04}";   // Quorrel.dll
const char kDataProject[] = "{2EECB0E1-0EE1-4541-87B1-D135261D0108}";   // Maravin.dll
const int IDC_NEXT = 29335;
const int IDC_BURN = 8192, IDC_BURN_CANCEL = 8194, IDC_LOG = 8196, IDC_DRIVES = 8198, IDC_TEST_WRITE = 8204;
const int IDC_IMAGE_PATH = 205, IDC_CHOOSE_IMAGE = 206, IDC_DELETE_IMAGE = 216, IDC_SOURCE_DRIVES = 203,
          IDC_READ_SPEEDS = 207, IDC_PAGE_LOG = 213;
const char kBurnDone[] = "Burning successfully completed ";
const DWORD kBurnWait = 90000;

bool FolderExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

bool SameFiles(const std::string& a, const std::string& b)
{
    return RunUnix("cmp -s " + Quoted(UnixPath(a)) + " " + Quoted(UnixPath(b)) + " && echo same") == "same\n";
}

class SourceRoad : public RoadFixture {
protected:
    static void SetUpTestSuite() { StopEngine(); }
    static void TearDownTestSuite() { StopEngine(); }

    void SetUp() override
    {
        ASSERT_EQ(0u, RunDiscTool("insert E 8"));
        ASSERT_EQ(0u, RunDiscTool("insert F 2"));
        // The types File > New lists, the data disc first.
        install.RegisterType(kDataProject, 1, "Data CD/DVD project", "*.qvdata");
        install.RegisterType(kCopyProject, 3, "CD/DVD Copy project", "*.qvcopy");
        install.RegisterType(kImageProject, 4, "CD/DVD Image burning project", "*.qvimgburn");
    }
    void TearDown() override
    {
        if (run) CloseAnswering();
        run.reset();
        StopEngine();
        RunDiscTool("insert E 8");
        RunDiscTool("insert F 2");
    }

    // A data CD image of a few files made on the Unix side.
    std::string MakeIso(const char* name, size_t bigSize = 700000)
    {
        const std::string folder = images.File("content");
        CreateDirectoryA(folder.c_str(), nullptr);
        CreateDirectoryA((folder + "\\Sub").c_str(), nullptr);
        std::string big(bigSize, '\0');
        for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 13 + i / 977);
        WriteFileBytes(folder + "\\readme.txt", "an image to burn\n");
        WriteFileBytes(folder + "\\Sub\\big.bin", big);
        const std::string iso = images.File(name);
        RunUnix("genisoimage -quiet -J -R -V ROAD -o " + Quoted(UnixPath(iso)) + " " + Quoted(UnixPath(folder)));
        return iso;
    }

    // The project of the type, new from File > New, with its two pages.
    void NewProject(const char* typeName, const char* title)
    {
        ASSERT_TRUE(NewProjectOfType(typeName)) << typeName;
        HWND project = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (project = VisibleProject(title)) != nullptr; }, 20000)) << title;
        ProjectPanes(project, &page, &burner, true);
        ASSERT_TRUE(page && burner);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(page) != FALSE; }, 5000));
    }

    // Next on the source page brings the burning frame; the drive with the
    // letter is chosen there.
    void NextToDrive(char letter)
    {
        HWND next = GetDlgItem(page, IDC_NEXT);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(next) != FALSE; }, 10000)) << "Next on the source page";
        PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_NEXT, BN_CLICKED), reinterpret_cast<LPARAM>(next));
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(burner) != FALSE; }, 10000));
        ChooseDrive(burner, IDC_DRIVES, CBN_SELCHANGE, letter);
    }

    // A drive list's item of the drive with the letter chosen as the user
    // chooses it, the list's notification sent.
    void ChooseDrive(HWND dialog, int list, WORD notification, char letter)
    {
        HWND drives = GetDlgItem(dialog, list);
        int item = -1;
        ASSERT_TRUE(WaitUntil([&] {
            const std::vector<std::string> items = RemoteComboItems(drives);
            for (size_t i = 0; i < items.size(); ++i)
                if (!items[i].empty() && items[i][0] == letter) item = static_cast<int>(i);
            return item >= 0;
        }, 15000)) << "drive " << letter;
        SendMessageA(drives, CB_SETCURSEL, item, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(list, notification), reinterpret_cast<LPARAM>(drives));
    }

    // Burn pressed; every box answered (their texts in `boxes`) until the
    // burning frame's last line ends the job. The last line.
    std::string Burn(std::vector<std::string>* boxes, const std::function<void()>& meanwhile = nullptr,
                     const std::function<void(const std::string&)>& beforeAnswer = nullptr)
    {
        HWND burn = GetDlgItem(burner, IDC_BURN);
        if (!WaitUntil([&] { return IsWindowEnabled(burn) != FALSE; }, 15000)) return "Burn stayed disabled";
        PostMessageA(burner, WM_COMMAND, MAKEWPARAM(IDC_BURN, BN_CLICKED), reinterpret_cast<LPARAM>(burn));
        HWND log = GetDlgItem(burner, IDC_LOG);
        std::string last;
        WaitUntil([&] {
            if (meanwhile) meanwhile();
            if (HWND box = MessageBoxNow()) {
                if (beforeAnswer) beforeAnswer(MessageBoxText(box));
                boxes->push_back(AnswerBox(box, IDOK));
            }
            const std::vector<std::string> lines = RemoteListItems(log, Pid());
            last = lines.empty() ? "" : lines.back();
            return last == kBurnDone || last == "Burning failed" || last == "Burning cancelled by user" ||
                   last.find("failed") != std::string::npos;
        }, kBurnWait);
        // The pages take input again once the job has ended.
        WaitUntil([&] { return IsWindowEnabled(burn) != FALSE; }, 10000);
        return last;
    }

    std::string Export(char letter, const char* name)
    {
        const std::string iso = images.File(name);
        EXPECT_EQ(0u, RunDiscTool(std::string("export ") + letter + " \"" + iso + "\""));
        return iso;
    }

    // Our own image of a disc pressed into F: the engine grabs it, as the
    // copy does, into <base>.mds and <base>.xm0.
    void GrabF(const std::string& base)
    {
        com::ComPtr<IDevices> devices;
        ASSERT_EQ(S_OK, devices.CoCreate(CLSID_CoDevices, IID_IDevices, CLSCTX_LOCAL_SERVER));
        com::ComPtr<_IMessageCallback> sinkItf;
        ASSERT_EQ(S_OK, com::CreateObject<CTestEventSink>(IID__IMessageCallback, reinterpret_cast<void**>(&sinkItf)));
        auto* sink = static_cast<CTestEventSink*>(sinkItf.Get());
        if (devices->IsInitialized() != S_OK) {
            DWORD listCookie = 0;
            AdviseSink(devices, sinkItf, &listCookie);
            sink->WaitFor(DM_DEVICESSCANNED, 5000);
            UnadviseSink(devices, listCookie);
        }
        com::ComPtr<IDevice> device;
        ASSERT_EQ(S_OK, devices->GetDeviceByDriveLetter('F', &device));
        DWORD cookie = 0;
        ASSERT_EQ(S_OK, AdviseSink(device, sinkItf, &cookie));
        com::ComPtr<IReader> reader;
        ASSERT_EQ(S_OK, device->QueryInterface(IID_IReader, reinterpret_cast<void**>(&reader)));
        ASSERT_EQ(S_OK, reader->GrabImage(0x5EED, 0xFFFF, com::Bstr(base), 1024));
        EXPECT_TRUE(sink->WaitFor(DM_GRABEND, 60000));
        UnadviseSink(device, cookie);
        ASSERT_TRUE(FileExists(base + ".mds"));
    }

    // The image-source page given the path through its file dialog.
    void ChooseImage(const std::string& path)
    {
        ASSERT_TRUE(FileDialogFrom(page, IDC_CHOOSE_IMAGE, path)) << "the page's file dialog";
        ASSERT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(page, IDC_IMAGE_PATH)) == path; }, 5000))
            << WindowText(GetDlgItem(page, IDC_IMAGE_PATH));
    }
    void Check(HWND dialog, int box)
    {
        SendMessageA(GetDlgItem(dialog, box), BM_SETCHECK, BST_CHECKED, 0);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(box, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, box)));
    }

    // The image pressed into F, the program started and a new disc copy
    // reading from F.
    void NewCopyOf(const std::string& iso)
    {
        ASSERT_EQ(0u, RunDiscTool("press F \"" + iso + "\""));
        run = std::make_unique<TessalyRun>(install);
        ASSERT_TRUE(Frame());
        NewProject("CD/DVD Copy", "Copy#1");
        ASSERT_FALSE(HasFatalFailure());
        ChooseSourceDrive('F');
    }
    // The copy page's source drive chosen by its letter.
    void ChooseSourceDrive(char letter) { ChooseDrive(page, IDC_SOURCE_DRIVES, CBN_SELENDOK, letter); }
    // The folder of the copy page's temporary image.
    std::string ImageFolder()
    {
        const std::string path = WindowText(GetDlgItem(page, IDC_IMAGE_PATH));
        return path.substr(0, path.find_last_of('\\'));
    }
    // The files of an exported disc, listed by isoinfo.
    static std::string Listing(const std::string& iso)
    {
        return RunUnix("isoinfo -J -f -i " + Quoted(UnixPath(iso)));
    }

    TempFolder images;
    HWND page = nullptr, burner = nullptr;
};

TEST_F(SourceRoad, AnIsoChosenInTheFileDialogIsBurnedOntoTheDvdByteForByteAndStaysThere)
{
    const std::string iso = MakeIso("road.iso");
    ASSERT_TRUE(FileExists(iso));
    run = std::make_unique<TessalyRun>(install);
    ASSERT_TRUE(Frame());
    NewProject("CD/DVD Image Burning", "Image burning#1");
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_NEXT))) << "Next without an image";
    Shot("image-page-empty");
    ChooseImage(iso);
    Shot("image-page-chosen");
    NextToDrive('E');
    ASSERT_FALSE(HasFatalFailure());
    std::vector<std::string> boxes;
    EXPECT_EQ(kBurnDone, Burn(&boxes));
    EXPECT_TRUE(boxes.empty()) << testing::PrintToString(boxes);
    Shot("image-burned");
    EXPECT_TRUE(SameFiles(iso, Export('E', "dvd.iso"))) << "the disc is the image byte for byte";
    EXPECT_TRUE(FileExists(iso)) << "the user's image stays";
}

TEST_F(SourceRoad, OurGrabbedMdsIsBurnedOntoACdAndATestWriteLeavesDiscAndImageAsTheyWere)
{
    const std::string iso = MakeIso("pressed.iso");
    ASSERT_EQ(0u, RunDiscTool("press F \"" + iso + "\""));
    const std::string source = Export('F', "source.iso");
    const std::string base = images.File("grabbed");
    GrabF(base);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(0u, RunDiscTool("insert F 2"));
    const std::string blank = MediumBytes("drive1");

    run = std::make_unique<TessalyRun>(install);
    ASSERT_TRUE(Frame());
    NewProject("CD/DVD Image Burning", "Image burning#1");
    ASSERT_FALSE(HasFatalFailure());
    ChooseImage(base + ".mds");
    // The user asks for the image to go after the burn: a test write keeps it.
    Check(page, IDC_DELETE_IMAGE);
    NextToDrive('F');
    ASSERT_FALSE(HasFatalFailure());
    Check(burner, IDC_TEST_WRITE);
    std::vector<std::string> boxes;
    EXPECT_EQ(kBurnDone, Burn(&boxes));
    EXPECT_TRUE(boxes.empty()) << testing::PrintToString(boxes);
    EXPECT_TRUE(MediumBytes("drive1") == blank) << "a test write leaves the disc blank";
    EXPECT_TRUE(FileExists(base + ".mds") && FileExists(base + ".xm0")) << "a test write deletes nothing";

    // The real burn, the image kept (the box cleared again).
    SendMessageA(GetDlgItem(burner, IDC_TEST_WRITE), BM_SETCHECK, BST_UNCHECKED, 0);
    HWND back = GetDlgItem(burner, 29334);
    PostMessageA(burner, WM_COMMAND, MAKEWPARAM(29334, BN_CLICKED), reinterpret_cast<LPARAM>(back));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(page) != FALSE; }, 5000));
    SendMessageA(GetDlgItem(page, IDC_DELETE_IMAGE), BM_SETCHECK, BST_UNCHECKED, 0);
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_DELETE_IMAGE, BN_CLICKED), 0);
    NextToDrive('F');
    ASSERT_FALSE(HasFatalFailure());
    boxes.clear();
    EXPECT_EQ(kBurnDone, Burn(&boxes));
    EXPECT_TRUE(boxes.empty()) << testing::PrintToString(boxes);
    EXPECT_TRUE(SameFiles(source, Export('F', "copy.iso"))) << "the burned CD equals the grabbed one";
    EXPECT_TRUE(FileExists(base + ".mds") && FileExists(base + ".xm0"));
}

TEST_F(SourceRoad, ADiscCopiedFromFOntoACdInEEqualsItsSourceAndLeavesNoImage)
{
    const std::string iso = MakeIso("pressed.iso");
    ASSERT_EQ(0u, RunDiscTool("insert E 2"));
    NewCopyOf(iso);
    ASSERT_FALSE(HasFatalFailure());
    const std::string source = Export('F', "source.iso");
    const std::string folder = ImageFolder();
    EXPECT_TRUE(FolderExists(folder)) << folder;
    Shot("copy-page-before");
    NextToDrive('E');
    ASSERT_FALSE(HasFatalFailure());
    std::vector<std::string> boxes;
    EXPECT_EQ(kBurnDone, Burn(&boxes));
    EXPECT_TRUE(boxes.empty()) << testing::PrintToString(boxes);
    const std::string copy = Export('E', "copy.iso");
    EXPECT_EQ(Listing(source), Listing(copy));
    EXPECT_TRUE(SameFiles(source, copy)) << "the copy's sectors are the source's";
    EXPECT_FALSE(FileExists(folder + "\\CDCopyImage.mds"));
    EXPECT_FALSE(FileExists(folder + "\\CDCopyImage.xm0"));
    // The page's folder goes with the project.
    CloseAnswering();
    run.reset();
    EXPECT_FALSE(FolderExists(folder)) << folder;
}

TEST_F(SourceRoad, OneDriveReadsEjectsAndWritesTheCopyOntoTheBlankDiscInsertedForIt)
{
    NewCopyOf(MakeIso("pressed.iso"));
    ASSERT_FALSE(HasFatalFailure());
    const std::string source = Export('F', "source.iso");
    NextToDrive('F');
    ASSERT_FALSE(HasFatalFailure());
    std::vector<std::string> boxes;
    bool inserted = false;
    EXPECT_EQ(kBurnDone, Burn(&boxes, nullptr, [&](const std::string& text) {
        // The burner asks for a disc: the user puts the blank one in.
        if (text.find("Image creation completed") == std::string::npos && !inserted) {
            EXPECT_EQ(0u, RunDiscTool("insert F 2"));
            inserted = true;
        }
    }));
    ASSERT_GE(boxes.size(), 2u) << testing::PrintToString(boxes);
    EXPECT_EQ("Image creation completed, please insert disc to write to.", boxes[0]);
    EXPECT_EQ("No disc inserted or drive is not ready. Please insert a disc.", boxes[1]);
    const std::string copy = Export('F', "copy.iso");
    EXPECT_EQ(Listing(source), Listing(copy));
    EXPECT_TRUE(SameFiles(source, copy));
}

TEST_F(SourceRoad, TheBurnersCancelDuringTheReadLeavesNoFilesAndBothPagesEnabled)
{
    ASSERT_EQ(0u, RunDiscTool("insert E 2"));
    DriveValue slow("emulate_speed", "1", "0");
    ASSERT_TRUE(slow.Set());
    NewCopyOf(MakeIso("pressed.iso", 12 * 1024 * 1024));
    ASSERT_FALSE(HasFatalFailure());
    const std::string folder = ImageFolder();
    // The slowest read speed: the read lasts long enough to be cancelled.
    HWND speeds = GetDlgItem(page, IDC_READ_SPEEDS);
    ASSERT_GT(SendMessageA(speeds, CB_GETCOUNT, 0, 0), 1);
    SendMessageA(speeds, CB_SETCURSEL, 0, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_READ_SPEEDS, CBN_SELENDOK), reinterpret_cast<LPARAM>(speeds));
    NextToDrive('E');
    ASSERT_FALSE(HasFatalFailure());
    HWND burn = GetDlgItem(burner, IDC_BURN);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(burn) != FALSE; }, 15000));
    PostMessageA(burner, WM_COMMAND, MAKEWPARAM(IDC_BURN, BN_CLICKED), reinterpret_cast<LPARAM>(burn));
    // The page shows the read; its progress runs.
    HWND log = GetDlgItem(page, IDC_PAGE_LOG);
    ASSERT_TRUE(WaitUntil([&] {
        const std::vector<std::string> lines = RemoteListItems(log, Pid());
        return !lines.empty() && lines.back().find("Grabbing started at") == 0;
    }, 20000)) << testing::PrintToString(RemoteListItems(log, Pid()));
    EXPECT_TRUE(IsWindowVisible(page));
    Shot("copy-page-reading");
    // The project does not close while the disc is read.
    HWND reading = VisibleProject();
    ASSERT_TRUE(reading);
    PostMessageA(reading, WM_CLOSE, 0, 0);
    std::vector<std::string> refusal;
    WaitUntil([&] {
        if (HWND box = MessageBoxNow()) refusal.push_back(AnswerBox(box, IDNO));
        return std::find(refusal.begin(), refusal.end(),
                         "Disc image creation is in progress, can't close until it is finished of canceled.") !=
               refusal.end();
    }, 10000);
    EXPECT_FALSE(refusal.empty() || refusal.back().find("Disc image creation is in progress") != 0)
        << testing::PrintToString(refusal);
    EXPECT_TRUE(IsWindow(reading)) << "the project stays open";
    // The burning frame's pane chosen from the project's menu (its mirror of
    // the task panel: the page's pane 2000, then the burning frame's 2001).
    PostMessageA(Frame(), WM_COMMAND, 2001, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(burner) != FALSE; }, 5000));
    HWND cancel = GetDlgItem(burner, IDC_BURN_CANCEL);
    ASSERT_TRUE(IsWindowEnabled(cancel)) << "the burning frame's Cancel during the read";
    PostMessageA(burner, WM_COMMAND, MAKEWPARAM(IDC_BURN_CANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
    ASSERT_TRUE(WaitUntil([&] {
        const std::vector<std::string> lines = RemoteListItems(log, Pid());
        return !lines.empty() && lines.back() == "Grabbing canceled by user";
    }, 30000)) << testing::PrintToString(RemoteListItems(log, Pid()));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(burn) != FALSE; }, 10000)) << "the burning frame enabled";
    if (HWND box = MessageBoxNow()) ADD_FAILURE() << "a cancel shows no box: " << AnswerBox(box, IDOK);
    EXPECT_FALSE(FileExists(folder + "\\CDCopyImage.mds"));
    EXPECT_FALSE(FileExists(folder + "\\CDCopyImage.xm0"));
    // Back on the page: enabled again.
    PostMessageA(Frame(), WM_COMMAND, 2000, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(page) != FALSE; }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(page, IDC_NEXT)) != FALSE; }, 5000));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_SOURCE_DRIVES)));
    Shot("copy-page-cancelled");
    // The project closes, and its folder goes with it.
    HWND project = VisibleProject();
    ASSERT_TRUE(project);
    PostMessageA(project, WM_CLOSE, 0, 0);
    std::string asked;
    EXPECT_TRUE(WaitUntil([&] {
        if (HWND box = MessageBoxNow()) asked += AnswerBox(box, IDNO) + "\n";
        return MdiChildren(Frame()).empty();
    }, 10000)) << asked;
    EXPECT_TRUE(WaitUntil([&] { return !FolderExists(folder); }, 10000)) << folder;
}

TEST_F(SourceRoad, SavedAndReopenedProjectsKeepTheirSourceChoices)
{
    const WORD ID_FILE_OPEN = 0xE101, ID_FILE_SAVE_AS = 0xE104;
    const std::string iso = MakeIso("kept.iso");
    run = std::make_unique<TessalyRun>(install);
    ASSERT_TRUE(Frame());

    // The image to burn and the delete box.
    NewProject("CD/DVD Image Burning", "Image burning#1");
    ASSERT_FALSE(HasFatalFailure());
    ChooseImage(iso);
    Check(page, IDC_DELETE_IMAGE);
    const std::string imageProject = install.File("kept.qvimgburn");
    ASSERT_TRUE(FileDialog(ID_FILE_SAVE_AS, "Save As", imageProject));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(imageProject); }, 10000));

    // The copy's source drive, its read speed and the cleared delete box.
    NewProject("CD/DVD Copy", "Copy#1");
    ASSERT_FALSE(HasFatalFailure());
    ChooseSourceDrive('F');
    HWND speeds = GetDlgItem(page, IDC_READ_SPEEDS);
    SendMessageA(speeds, CB_SETCURSEL, 1, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_READ_SPEEDS, CBN_SELENDOK), reinterpret_cast<LPARAM>(speeds));
    const std::string speed = RemoteComboItems(speeds)[1];
    SendMessageA(GetDlgItem(page, IDC_DELETE_IMAGE), BM_SETCHECK, BST_UNCHECKED, 0);
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_DELETE_IMAGE, BN_CLICKED), 0);
    const std::string copyProject = install.File("kept.qvcopy");
    ASSERT_TRUE(FileDialog(ID_FILE_SAVE_AS, "Save As", copyProject));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(copyProject); }, 10000));

    // Both closed without a question (saved), and opened again.
    std::string asked;
    for (HWND project : MdiChildren(Frame())) PostMessageA(project, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] {
        if (HWND box = MessageBoxNow()) asked += AnswerBox(box, IDNO) + "\n";
        return MdiChildren(Frame()).empty();
    }, 10000));
    EXPECT_EQ("", asked) << "saved projects close without a question";

    ASSERT_TRUE(FileDialog(ID_FILE_OPEN, "Open", imageProject));
    HWND reopened = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (reopened = VisibleProject()) != nullptr; }, 20000));
    ProjectPanes(reopened, &page, &burner, true);
    ASSERT_TRUE(page);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(page, IDC_IMAGE_PATH)) == iso; }, 5000));
    EXPECT_TRUE(WaitUntil([&] {
        return SendMessageA(GetDlgItem(page, IDC_DELETE_IMAGE), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }, 5000));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_NEXT)));
    Shot("image-page-reopened");

    ASSERT_TRUE(FileDialog(ID_FILE_OPEN, "Open", copyProject));
    HWND copy = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (copy = VisibleProject(nullptr, reopened)) != nullptr; }, 20000));
    ProjectPanes(copy, &page, &burner, true);
    ASSERT_TRUE(page);
    HWND drives = GetDlgItem(page, IDC_SOURCE_DRIVES);
    EXPECT_TRUE(WaitUntil([&] {
        const int item = static_cast<int>(SendMessageA(drives, CB_GETCURSEL, 0, 0));
        const std::vector<std::string> items = RemoteComboItems(drives);
        return item >= 0 && item < static_cast<int>(items.size()) && items[item][0] == 'F';
    }, 10000)) << "the source drive";
    // The project file is read once the window is there.
    speeds = GetDlgItem(page, IDC_READ_SPEEDS);
    std::string shown;
    EXPECT_TRUE(WaitUntil([&] {
        const int chosen = static_cast<int>(SendMessageA(speeds, CB_GETCURSEL, 0, 0));
        const std::vector<std::string> items = RemoteComboItems(speeds);
        shown = chosen >= 0 && chosen < static_cast<int>(items.size()) ? items[chosen] : "";
        return shown == speed;
    }, 5000)) << shown;
    EXPECT_TRUE(WaitUntil([&] {
        return SendMessageA(GetDlgItem(page, IDC_DELETE_IMAGE), BM_GETCHECK, 0, 0) == BST_UNCHECKED;
    }, 5000)) << ReadFileBytes(copyProject);
    Shot("copy-page-reopened");
}

}  // namespace
