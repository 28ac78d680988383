// The burning frame in the real data-disc project (Maravin's code, linked
// in), with a stub in place of the data editor: the project's burn flow
// reaches the engine through the frame, and the frame's Cancel comes back
// to it through the project.
#include <gtest/gtest.h>
#include "box_driver.h"
#include "commands.h"
#include "data_project.h"
#include "disc_folder.h"
#include "frame_fixture.h"
#include "main_frame_standin.h"
#include "stub_components.h"
#include "unix_tools.h"
#include "vokmar_process.h"
#include <com/bstr.h>
#include <shared/variant_safearray.h>
#include <algorithm>

namespace {

const DWORD JOB_WAIT_MS = 30000;

// The burning frame's page: the window with the drive list and the log.
BOOL CALLBACK IsBurningFrame(HWND child, LPARAM found)
{
    if (!GetDlgItem(child, 8198) || !GetDlgItem(child, 8196)) return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

class DataProjectBurn : public testing::Test {
protected:
    // An engine that another suite left on its way out is awaited first:
    // a client that reaches it then would wait on it for good.
    static void SetUpTestSuite() { StopEngine(); }
    static void TearDownTestSuite() { StopEngine(); }
    void SetUp() override
    {
        ResetScripts();
        ASSERT_EQ(0u, RunDiscTool("insert F 2"));
        WriteFileBytes(files.File("readme.txt"), "hello disc\n");
        main = std::make_unique<CMainFrameStandIn>();
        ASSERT_EQ(S_OK, com::CreateObject<CCoMaravin>(IID_IProject, reinterpret_cast<void**>(&project)));
        ASSERT_EQ(S_OK, services.BindInto(project));
        com::ComPtr<IOwnWindow> own;
        ASSERT_EQ(S_OK, project.As(IID_IOwnWindow, &own));
        HRESULT created = main->OpenChild(own);
        ASSERT_EQ(S_OK, created) << services.LogText();
        ASSERT_TRUE(Stubs().editor);
        // The burning frame is the real one: find its window in the project's.
        own->GetOwnWindow(&projectWindow);
        ASSERT_EQ(S_OK, Stubs().editor->Send(PCID_NEXT));
        ASSERT_TRUE(PumpUntil([&] { return FindBurningFrame() && Drives() >= 2; }, 10000));
    }
    void TearDown() override
    {
        if (projectWindow && IsWindow(projectWindow)) SendMessageA(main->Client(), WM_MDIDESTROY,
                                                                   reinterpret_cast<WPARAM>(projectWindow), 0);
        project.Reset();
        main.reset();
        RunDiscTool("insert F 2");
    }

    HWND FindBurningFrame()
    {
        burning = nullptr;
        EnumChildWindows(projectWindow, IsBurningFrame, reinterpret_cast<LPARAM>(&burning));
        return burning;
    }
    int Drives() const { return static_cast<int>(SendMessageA(GetDlgItem(burning, 8198), CB_GETCOUNT, 0, 0)); }
    bool SelectDrive(char letter)
    {
        HWND list = GetDlgItem(burning, 8198);
        for (int i = 0; i < Drives(); ++i) {
            char text[256] = "";
            SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            if (text[0] != letter) continue;
            SendMessageA(list, CB_SETCURSEL, i, 0);
            SendMessageA(burning, WM_COMMAND, MAKEWPARAM(8198, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
            return true;
        }
        return false;
    }
    std::vector<std::string> Lines() const
    {
        HWND list = GetDlgItem(burning, 8196);
        const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        std::vector<std::string> lines;
        for (int i = 0; i < count; ++i) {
            char text[1024] = "";
            LVITEMA item = {};
            item.pszText = text;
            item.cchTextMax = sizeof(text);
            SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
            lines.push_back(text);
        }
        return lines;
    }
    std::string LastLine() const
    {
        const std::vector<std::string> lines = Lines();
        return lines.empty() ? std::string() : lines.back();
    }
    // The editor's answer to the project's PCID_START: the file tree, or
    // the preparation's failure.
    static HRESULT SourceReady(IFileTree* tree, HRESULT result = S_OK)
    {
        CVariantSafearray data(2);
        data.Create();
        HRESULT hr = data.Prepare(
            {{VT_UI4, static_cast<unsigned long>(result)}, {VT_UNKNOWN, static_cast<IUnknown*>(tree)}});
        return SUCCEEDED(hr) ? Stubs().editor->Send(PCID_SOURCE_READY, data) : hr;
    }
    com::ComPtr<IFileTree> Tree(const std::string& file)
    {
        com::ComPtr<IFileTree> tree;
        com::ComPtr<IFileTreeNode> root, node;
        EXPECT_EQ(S_OK, tree.CoCreate(CLSID_CoISOFileTree, IID_IFileTree, CLSCTX_LOCAL_SERVER));
        EXPECT_EQ(S_OK, tree->GetRootNode(&root));
        EXPECT_EQ(S_OK, tree->Add(root, com::Bstr(files.File(file)), com::Bstr(file), &node));
        return tree;
    }
    static bool EditorGot(unsigned id)
    {
        for (const SeenCommand& c : Stubs().editor->commands)
            if (c.id == id) return true;
        return false;
    }

    CBoxDriver boxes;
    CTestServices services;
    StubClassRegistration stubs{CLSID_StubTaskPanel, CLSID_CoNostrine, CLSID_StubBurner};
    std::unique_ptr<CMainFrameStandIn> main;
    com::ComPtr<IProject> project;
    HWND projectWindow = nullptr, burning = nullptr;
    TempFolder files, exported;
};

TEST_F(DataProjectBurn, TheProjectsBurnFlowWritesTheEditorsTreeThroughTheFrame)
{
    ASSERT_TRUE(SelectDrive('F'));
    SendMessageA(GetDlgItem(burning, 8192), BM_CLICK, 0, 0);
    ASSERT_TRUE(EditorGot(PCID_START)) << "the project asks the editor to prepare";
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(burning, 8192))) << "the project disabled the frame";
    ASSERT_EQ(S_OK, SourceReady(Tree("readme.txt")));
    ASSERT_TRUE(PumpUntil([&] { return LastLine() == "Burning successfully completed "; }, JOB_WAIT_MS));
    EXPECT_TRUE(PumpUntil([&] { return IsWindowEnabled(GetDlgItem(burning, 8192)) != FALSE; }, 2000));
    const std::string iso = exported.File("disc.iso");
    ASSERT_EQ(0u, RunDiscTool("export F \"" + iso + "\""));
    EXPECT_EQ("hello disc\n", RunUnix("isoinfo -J -x /readme.txt -i '" + UnixPath(iso) + "'"));
}

TEST_F(DataProjectBurn, AFailedPreparationIsLoggedByTheFrameAndBurnsNothing)
{
    const struct {
        HRESULT result;
        const char* line;
    } cases[] = {
        {E_FAIL, "Data files preparation failed"},
        {static_cast<HRESULT>(0x8010006E), "Data files preparation cancelled"},
    };
    ASSERT_TRUE(SelectDrive('F'));
    const std::string before = MediumBytes("drive1");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        SendMessageA(GetDlgItem(burning, 8192), BM_CLICK, 0, 0);
        ASSERT_TRUE(EditorGot(PCID_START));
        ASSERT_EQ(S_OK, SourceReady(nullptr, c.result));
        EXPECT_TRUE(PumpUntil([&] { return LastLine() == c.line; }, 5000)) << LastLine();
        EXPECT_TRUE(PumpUntil([&] { return IsWindowEnabled(GetDlgItem(burning, 8192)) != FALSE; }, 2000));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(burning, 8194))) << "no job to cancel";
    }
    PumpUntil([] { return false; }, 300);
    const std::vector<std::string> lines = Lines();
    EXPECT_EQ(lines.end(), std::find(lines.begin(), lines.end(), "Preparing to burn...")) << "no burn started";
    EXPECT_EQ(before, MediumBytes("drive1"));
}

TEST_F(DataProjectBurn, CancelDuringTheBurnReachesTheEngineThroughTheProject)
{
    std::string big(12 * 1024 * 1024, 'x');
    WriteFileBytes(files.File("big.bin"), big);
    ASSERT_TRUE(SelectDrive('F'));
    ASSERT_TRUE(SetDriveValue("drive1", "emulate_speed", "1"));
    PumpUntil([] { return false; }, 300);
    SendMessageA(GetDlgItem(burning, 8199), CB_SETCURSEL, 0, 0);  // the slowest speed
    const std::string before = MediumBytes("drive1");
    SendMessageA(GetDlgItem(burning, 8192), BM_CLICK, 0, 0);
    ASSERT_EQ(S_OK, SourceReady(Tree("big.bin")));
    const bool started = PumpUntil([&] { return LastLine().rfind("Buffer filled", 0) == 0; }, JOB_WAIT_MS);
    if (started) SendMessageA(GetDlgItem(burning, 8194), BM_CLICK, 0, 0);
    const bool ended = PumpUntil([&] { return LastLine() == "Burning canceled by user"; }, 5000);
    EXPECT_TRUE(SetDriveValue("drive1", "emulate_speed", "0"));
    ASSERT_TRUE(started);
    EXPECT_TRUE(ended) << LastLine();
    EXPECT_FALSE(EditorGot(PCID_CANCEL)) << "the burn, not the editor, was cancelled";
    EXPECT_EQ(before, MediumBytes("drive1"));
}

}  // namespace
