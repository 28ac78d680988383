// The source pages of Pelgrave.dll (registered in the prefix) hosted in a
// project of the framework whose task panel and burning frame are stubs:
// the image-source page's checks at the start, a new page replacing the
// old window, and the grab-image page (the mode no project type asks for)
// grabbing a pressed disc on the engine's virtual drives.
#include "project_fixture.h"
#include "box_driver.h"
#include "disc_folder.h"
#include "files.h"
#include "list_view.h"
#include "unix_tools.h"
#include "vokmar_process.h"
#include <frames/source_pages/pelgrave_classes.h>
#include <shared/variant_safearray.h>
#include <atomic>
#include <thread>

namespace {

const int IDC_NEXT = 29335, IDC_GRAB = 201, IDC_IMAGE_PATH = 205, IDC_CHOOSE_IMAGE = 206, IDC_PAGE_LOG = 213;
const HRESULT CANCELLED = static_cast<HRESULT>(0x8010006E);

// {6C1E2D4F-9F8B-4A72-8D2C-2B3C4D5E6F11}, {...12}: a project of the test
// type that shows the real source page frame in a window mode.
const CLSID CLSID_CoImagePageProject = {0x6C1E2D4F, 0x9F8B, 0x4A72, {0x8D, 0x2C, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F, 0x11}};
const CLSID CLSID_CoGrabPageProject = {0x6C1E2D4F, 0x9F8B, 0x4A72, {0x8D, 0x2C, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F, 0x12}};
const CLSID CLSID_CoCopyPageProject = {0x6C1E2D4F, 0x9F8B, 0x4A72, {0x8D, 0x2C, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F, 0x13}};

const FrameTableRow kFrames[] = {
    {&CLSID_StubTaskPanel, "CLSID_CoPanelCtrl", "m_compTaskPane", FrameRole::TaskPane},
    {&CLSID_CoPelgrave, "CLSID_CoPelgrave", "m_compPelgrave", FrameRole::FirstFrame},
    {&CLSID_StubBurner, "CLSID_CoDrubeck", "m_compDrubeck", FrameRole::BurningFrame},
    {nullptr, nullptr, nullptr, FrameRole::TaskPane},
};

// What the page sent its project, as "288 0", "293 2147500037 ".
std::vector<std::string>& PageCommands()
{
    static std::vector<std::string> commands;
    return commands;
}

template <class T, const CLSID* Clsid, long Mode>
class CPageProject : public CProjectImpl<T, Clsid> {
public:
    static const ProjectTypeInfo& Type()
    {
        static const ProjectTypeInfo type = {"Testar", "qvtest", IDS_PROJECT_FILE_DESCRIPTION, IDR_PROJECT_MENU, kFrames};
        return type;
    }

protected:
    using CProjectBase::OnTypeCommand;
    HRESULT OnTypeCommand(IUnknown* sender, REFCLSID, unsigned id, SAFEARRAY* data, bool& handled) override
    {
        if (!com::SameObject(sender, this->FirstFrame()) || (id != PCID_ENABLE_UI && id != PCID_SOURCE_READY))
            return E_COMMAND_NOT_HANDLED;
        handled = true;
        std::string line = std::to_string(id);
        unsigned int number = 0;
        BOOL enabled = FALSE;
        if (id == PCID_ENABLE_UI && SUCCEEDED(ExtractFromSafearray(data, {{VT_BOOL, &enabled}})))
            line += enabled ? " 1" : " 0";
        else if (SUCCEEDED(ExtractFromSafearray(data, {{VT_UI4, &number}})))
            line += " " + std::to_string(number);
        BSTR text = nullptr;
        unsigned int result = 0;
        if (id == PCID_SOURCE_READY && SUCCEEDED(ExtractFromSafearray(data, {{VT_UI4, &result}, {VT_BSTR, &text}})))
            line += " " + com::AnsiFromBstr(text);
        PageCommands().push_back(line);
        return S_OK;
    }
    HRESULT GetOwnWindowMode(FrameRole role, long* mode) override
    {
        if (role != FrameRole::FirstFrame) return E_FAIL;
        *mode = Mode;
        return S_OK;
    }
};

class CCoImagePageProject : public CPageProject<CCoImagePageProject, &CLSID_CoImagePageProject, 1> {};
class CCoGrabPageProject : public CPageProject<CCoGrabPageProject, &CLSID_CoGrabPageProject, 2> {};
class CCoCopyPageProject : public CPageProject<CCoCopyPageProject, &CLSID_CoCopyPageProject, 0> {};

// Types a path into the next open-file dialog of this process and presses
// OK, from a thread of its own while the page's dialog runs.
class FileDialogAnswer {
public:
    explicit FileDialogAnswer(std::string path) : m_path(std::move(path))
    {
        m_thread = std::thread([this] {
            for (DWORD start = GetTickCount(); GetTickCount() - start < 15000 && !m_done;) {
                HWND dialog = FindWindowA("#32770", "Open");
                DWORD pid = 0;
                if (dialog) GetWindowThreadProcessId(dialog, &pid);
                HWND name = dialog && pid == GetCurrentProcessId() ? GetDlgItem(dialog, 0x47C) : nullptr;
                if (!name && dialog && pid == GetCurrentProcessId()) name = GetDlgItem(dialog, 0x480);
                if (name) {
                    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(m_path.c_str()));
                    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                    m_done = true;
                }
                Sleep(50);
            }
        });
    }
    ~FileDialogAnswer()
    {
        m_done = true;
        m_thread.join();
    }

private:
    std::string m_path;
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

// The user data of a grab's data file equals the disc image: 2,048 bytes a
// sector, or raw 2,352-byte Mode 1 sectors with the data 16 bytes in.
testing::AssertionResult SameSectors(const std::string& iso, const std::string& grabbed)
{
    const std::string a = ReadFileBytes(iso), b = ReadFileBytes(grabbed);
    if (a == b) return testing::AssertionSuccess();
    const size_t sectors = a.size() / 2048;
    if (b.size() != sectors * 2352)
        return testing::AssertionFailure() << "sizes " << a.size() << " and " << b.size();
    for (size_t s = 0; s < sectors; ++s)
        if (a.compare(s * 2048, 2048, b, s * 2352 + 16, 2048) != 0)
            return testing::AssertionFailure() << "sector " << s << " differs";
    return testing::AssertionSuccess();
}

class SourcePagesTest : public ProjectTest {
protected:
    static void SetUpTestSuite() { StopEngine(); }
    static void TearDownTestSuite() { StopEngine(); }
    void SetUp() override
    {
        ProjectTest::SetUp();
        PageCommands().clear();
    }
    void TearDown() override
    {
        ProjectTest::TearDown();
        RunDiscTool("insert F 2");
    }

    template <class T>
    HWND OpenPage(CProjectBase** made = nullptr)
    {
        CProjectBase* project = Open<T>();
        if (!project) return nullptr;
        if (made) *made = project;
        HWND page = project->FrameWindow(0);
        ShowWindow(page, SW_SHOW);
        return page;
    }
    // The page's "..." with the path typed into the file dialog.
    static void Choose(HWND page, const std::string& path)
    {
        FileDialogAnswer answer(path);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_CHOOSE_IMAGE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_CHOOSE_IMAGE)));
    }
    static HRESULT Start(CProjectBase* project)
    {
        return project->SendToComponent(project->FirstFrame(), PCID_START, nullptr);
    }
    static std::string Text(HWND window)
    {
        char text[1024] = "";
        GetWindowTextA(window, text, sizeof text);
        return text;
    }
    static bool PumpUntil(const std::function<bool()>& done, DWORD ms)
    {
        for (DWORD start = GetTickCount(); GetTickCount() - start < ms;) {
            CMainFrameStandIn::Pump();
            if (done()) return true;
            Sleep(20);
        }
        return done();
    }
    static void Shot(const char* name)
    {
        char folder[MAX_PATH] = "";
        if (!GetEnvironmentVariableA("TB_FRAME_SHOTS", folder, sizeof folder)) return;
        CMainFrameStandIn::Pump();
        RunUnix("import -window root '" + std::string(folder) + "/" + name + ".png'");
    }

    TempFolder files;
};

TEST_F(SourcePagesTest, TheImagePageRefusesAMissingImageOrAFolderAndHandsOnAFile)
{
    CProjectBase* project = nullptr;
    HWND page = OpenPage<CCoImagePageProject>(&project);
    ASSERT_TRUE(page);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_NEXT))) << "no image: no Next";
    Shot("image-page");

    const std::string image = files.File("disc.iso");
    WriteFileBytes(image, std::string(4096, 'i'));
    {
        CBoxDriver boxes;
        // Nothing chosen: the start fails with the missing-file box.
        EXPECT_EQ(E_FAIL, Start(project));
        ASSERT_EQ(1u, boxes.Seen().size());
        EXPECT_EQ("Image file does not exists. Please select image file and try again.", boxes.Seen()[0].text);
    }
    Choose(page, image);
    EXPECT_EQ(image, Text(GetDlgItem(page, IDC_IMAGE_PATH)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_NEXT)));
    // The image became a folder: refused with the folder box.
    DeleteFileA(image.c_str());
    CreateDirectoryA(image.c_str(), nullptr);
    {
        CBoxDriver boxes;
        EXPECT_EQ(E_FAIL, Start(project));
        ASSERT_EQ(1u, boxes.Seen().size());
        EXPECT_EQ("Image must be a file, not a folder.", boxes.Seen()[0].text);
    }
    RemoveDirectoryA(image.c_str());
    WriteFileBytes(image, std::string(4096, 'i'));
    EXPECT_EQ(S_OK, Start(project));
    EXPECT_EQ((std::vector<std::string>{"293 2147500037 ", "293 2147500037 ", "293 0 " + image}), PageCommands());

    // The project disables the page: no Next, no "...".
    CVariantSafearray off(1);
    off.Create();
    off.Prepare({{VT_UI4, 0u}});
    project->SendToComponent(project->FirstFrame(), PCID_ENABLE_UI, off);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_NEXT)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_CHOOSE_IMAGE)));

    // A failed burn never deletes the image, whatever the box says.
    SendMessageA(GetDlgItem(page, 216), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(216, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, 216)));
    CVariantSafearray failed(1);
    failed.Create();
    failed.Prepare({{VT_HRESULT, static_cast<long>(E_FAIL)}});
    project->SendToComponent(project->FirstFrame(), PCID_RESULT, failed);
    EXPECT_TRUE(FileExists(image));
    CVariantSafearray burned(1);
    burned.Create();
    burned.Prepare({{VT_HRESULT, static_cast<long>(S_OK)}});
    project->SendToComponent(project->FirstFrame(), PCID_RESULT, burned);
    EXPECT_FALSE(FileExists(image)) << "a successful burn deletes it when asked";

    // A new page destroys the old one's window first.
    com::ComPtr<IOwnWindowEx> own;
    ASSERT_EQ(S_OK, project->FirstFrame()->QueryInterface(IID_IOwnWindowEx, reinterpret_cast<void**>(&own)));
    ASSERT_EQ(S_OK, own->CreateOwnWindowEx(project->Splitter().m_hWnd, 1));
    EXPECT_FALSE(IsWindow(page));
    HWND second = nullptr;
    EXPECT_EQ(S_OK, own->GetOwnWindow(&second));
    EXPECT_TRUE(IsWindow(second));
}

// The burn's result as the project passes it on to the page.
HRESULT BurnEnded(CProjectBase* project, HRESULT result)
{
    CVariantSafearray data(1);
    data.Create();
    data.Prepare({{VT_HRESULT, static_cast<long>(result)}});
    return project->SendToComponent(project->FirstFrame(), PCID_RESULT, data);
}

TEST_F(SourcePagesTest, TheCopyPageRemovesItsOwnImageAfterAFailedBurnButNeverTheUsersOne)
{
    CProjectBase* project = nullptr;
    HWND page = OpenPage<CCoCopyPageProject>(&project);
    ASSERT_TRUE(page);
    Shot("copy-page");
    // The page's own temporary image, as a read leaves it.
    const std::string temporary = Text(GetDlgItem(page, IDC_IMAGE_PATH));
    ASSERT_NE(std::string::npos, temporary.find("CDCopyImage.mds")) << temporary;
    const std::string base = temporary.substr(0, temporary.size() - 4);
    WriteFileBytes(base + ".mds", "descriptor");
    WriteFileBytes(base + ".xm0", "data");
    EXPECT_EQ(S_OK, BurnEnded(project, E_FAIL));
    EXPECT_FALSE(FileExists(base + ".mds"));
    EXPECT_FALSE(FileExists(base + ".xm0"));

    // An image of the user's own: a failed burn keeps it, and so does a
    // successful one without the box.
    Choose(page, files.File("mine.iso"));
    const std::string mine = files.File("mine");
    EXPECT_EQ(mine + ".mds", Text(GetDlgItem(page, IDC_IMAGE_PATH)));
    const std::string folder = temporary.substr(0, temporary.find_last_of('\\'));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(folder.c_str())) << "the page's empty folder goes";
    WriteFileBytes(mine + ".mds", "descriptor");
    WriteFileBytes(mine + ".xm0", "data");
    EXPECT_EQ(S_OK, BurnEnded(project, E_FAIL));
    EXPECT_TRUE(FileExists(mine + ".mds") && FileExists(mine + ".xm0"));
    SendMessageA(GetDlgItem(page, 216), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(216, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, 216)));
    EXPECT_EQ(S_OK, BurnEnded(project, S_OK));
    EXPECT_TRUE(FileExists(mine + ".mds") && FileExists(mine + ".xm0"));
    // With the box: a successful burn deletes it and its set.
    SendMessageA(GetDlgItem(page, 216), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(216, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, 216)));
    EXPECT_EQ(S_OK, BurnEnded(project, S_OK));
    EXPECT_FALSE(FileExists(mine + ".mds") || FileExists(mine + ".xm0"));
}

TEST_F(SourcePagesTest, TheGrabPageGrabsAPressedDiscAsksBeforeOverwritingAndForADisc)
{
    // A data CD image made on the Unix side, pressed into F.
    const std::string content = files.File("content");
    CreateDirectoryA(content.c_str(), nullptr);
    std::string bytes(300000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31 + i / 511);
    WriteFileBytes(content + "\\data.bin", bytes);
    const std::string iso = files.File("pressed.iso");
    RunUnix("genisoimage -quiet -J -R -o '" + UnixPath(iso) + "' '" + UnixPath(content) + "'");
    ASSERT_TRUE(FileExists(iso));
    ASSERT_EQ(0u, RunDiscTool("press F \"" + iso + "\""));

    HWND page = OpenPage<CCoGrabPageProject>();
    ASSERT_TRUE(page);
    HWND grab = GetDlgItem(page, IDC_GRAB), cancel = GetDlgItem(page, IDCANCEL);
    EXPECT_FALSE(IsWindowEnabled(grab)) << "no image path: no grab";
    EXPECT_FALSE(IsWindowEnabled(cancel));
    HWND drives = GetDlgItem(page, 203);
    ASSERT_TRUE(PumpUntil([&] { return SendMessageA(drives, CB_GETCOUNT, 0, 0) >= 2; }, 15000));
    for (int i = 0; i < 2; ++i) {
        char name[256] = "";
        SendMessageA(drives, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
        if (name[0] == 'F') {
            SendMessageA(drives, CB_SETCURSEL, i, 0);
            SendMessageA(page, WM_COMMAND, MAKEWPARAM(203, CBN_SELENDOK), reinterpret_cast<LPARAM>(drives));
        }
    }
    // A name typed with another extension is grabbed as its descriptor.
    Choose(page, files.File("grabbed.iso"));
    const std::string base = files.File("grabbed");
    EXPECT_EQ(base + ".mds", Text(GetDlgItem(page, IDC_IMAGE_PATH)));
    ASSERT_TRUE(IsWindowEnabled(grab));
    Shot("grab-page-before");

    HWND log = GetDlgItem(page, IDC_PAGE_LOG);
    auto lastLine = [&] {
        const std::vector<std::string> lines = ListViewRows(log);
        return lines.empty() ? std::string() : lines.back();
    };
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_GRAB, BN_CLICKED), reinterpret_cast<LPARAM>(grab));
    EXPECT_FALSE(IsWindowEnabled(grab)) << "one grab at a time";
    ASSERT_TRUE(PumpUntil([&] { return lastLine() == "Grabbing successfully completed "; }, 60000)) << lastLine();
    Shot("grab-page-after");
    EXPECT_TRUE(FileExists(base + ".mds"));
    EXPECT_TRUE(SameSectors(iso, base + ".xm0")) << "the data file holds the disc's sectors";
    EXPECT_EQ((std::vector<std::string>{"288 0", "288 1"}), PageCommands());
    EXPECT_TRUE(PumpUntil([&] { return IsWindowEnabled(grab) != FALSE; }, 5000));

    // The image exists: Cancel to the question starts nothing.
    PageCommands().clear();
    const std::string mdsBefore = ReadFileBytes(base + ".mds");
    {
        CBoxDriver boxes;
        boxes.Answer(IDCANCEL);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_GRAB, BN_CLICKED), reinterpret_cast<LPARAM>(grab));
        ASSERT_EQ(1u, boxes.Seen().size());
        EXPECT_EQ("Image file " + base + ".mds already exists. Overwrite it?", boxes.Seen()[0].text);
    }
    EXPECT_EQ((std::vector<std::string>{"288 1"}), PageCommands());
    EXPECT_EQ(mdsBefore, ReadFileBytes(base + ".mds"));

    // Overwritten from an empty drive: the engine asks for a disc, which
    // the user inserts before answering.
    ASSERT_EQ(0u, RunDiscTool("eject F"));
    PageCommands().clear();
    {
        CBoxDriver boxes;
        boxes.BeforeAnswer([&](const SeenBox& box) {
            if (box.text.find("No disc inserted") == 0) RunDiscTool("press F \"" + iso + "\"");
        });
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_GRAB, BN_CLICKED), reinterpret_cast<LPARAM>(grab));
        EXPECT_TRUE(PumpUntil([&] { return lastLine() == "Grabbing successfully completed " ||
                                           lastLine() == "Grabbing failed" || lastLine() == "Grabbing canceled by user"; },
                              60000));
        std::vector<std::string> texts;
        for (const SeenBox& box : boxes.Seen()) texts.push_back(box.text);
        ASSERT_EQ(2u, texts.size()) << testing::PrintToString(texts);
        EXPECT_EQ(0u, texts[0].find("Image file ")) << texts[0];
        EXPECT_EQ("No disc inserted or drive is not ready. Please insert a disc.", texts[1]);
    }
    EXPECT_EQ("Grabbing successfully completed ", lastLine());
    EXPECT_TRUE(SameSectors(iso, base + ".xm0"));
}

TEST_F(SourcePagesTest, TheGrabPagesCancelStopsTheGrabAsTheUsersCancel)
{
    const std::string content = files.File("content");
    CreateDirectoryA(content.c_str(), nullptr);
    WriteFileBytes(content + "\\slow.bin", std::string(12 * 1024 * 1024, 's'));
    const std::string iso = files.File("slow.iso");
    RunUnix("genisoimage -quiet -J -R -o '" + UnixPath(iso) + "' '" + UnixPath(content) + "'");
    ASSERT_EQ(0u, RunDiscTool("press F \"" + iso + "\""));
    DriveValue slow("emulate_speed", "1", "0");
    ASSERT_TRUE(slow.Set());

    HWND page = OpenPage<CCoGrabPageProject>();
    ASSERT_TRUE(page);
    HWND drives = GetDlgItem(page, 203), speeds = GetDlgItem(page, 207);
    ASSERT_TRUE(PumpUntil([&] { return SendMessageA(drives, CB_GETCOUNT, 0, 0) >= 2; }, 15000));
    SendMessageA(drives, CB_SETCURSEL, 1, 0);  // F
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(203, CBN_SELENDOK), reinterpret_cast<LPARAM>(drives));
    SendMessageA(speeds, CB_SETCURSEL, 0, 0);  // the slowest
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(207, CBN_SELENDOK), reinterpret_cast<LPARAM>(speeds));
    Choose(page, files.File("slow.mds"));
    const std::string base = files.File("slow");
    HWND grab = GetDlgItem(page, IDC_GRAB), cancel = GetDlgItem(page, IDCANCEL);
    ASSERT_TRUE(IsWindowEnabled(grab));
    HWND log = GetDlgItem(page, IDC_PAGE_LOG);
    auto lastLine = [&] {
        const std::vector<std::string> lines = ListViewRows(log);
        return lines.empty() ? std::string() : lines.back();
    };
    CBoxDriver boxes;
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_GRAB, BN_CLICKED), reinterpret_cast<LPARAM>(grab));
    ASSERT_TRUE(PumpUntil([&] { return lastLine().find("Grabbing started at") == 0; }, 20000)) << lastLine();
    EXPECT_TRUE(IsWindowEnabled(cancel));
    EXPECT_EQ(0u, lastLine().find("Grabbing started at 4X")) << "the chosen speed, kept through the medium's arrival";
    Shot("grab-page-during");
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
    ASSERT_TRUE(PumpUntil([&] { return lastLine() != "" && lastLine().find("Grabbing started") != 0; }, 30000));
    EXPECT_EQ("Grabbing canceled by user", lastLine());
    EXPECT_TRUE(boxes.Seen().empty()) << boxes.Seen()[0].text;
    EXPECT_FALSE(FileExists(base + ".mds") || FileExists(base + ".xm0")) << "the partial image goes";
    EXPECT_EQ((std::vector<std::string>{"288 0", "288 1"}), PageCommands());
    EXPECT_TRUE(PumpUntil([&] { return IsWindowEnabled(grab) != FALSE; }, 5000));
    EXPECT_FALSE(IsWindowEnabled(cancel));
}

}  // namespace
