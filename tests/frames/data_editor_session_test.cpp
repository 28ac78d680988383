// A new data project that continues a multisession disc: the editor asks
// what to do, lets the user choose the drive and the session, takes that
// session over, and its next burn holds the old files and the new ones.
#include "data_editor_fixture.h"
#include "device_selection_dialog.h"
#include "disc_folder.h"
#include "engine.h"
#include "event_sink.h"
#include "project_type_selection_dialog.h"
#include "unix_tools.h"
#include "vokmar_process.h"
#include <message_box.h>
#include <cstdlib>
#include <set>

namespace {

const DWORD BURN_WAIT_MS = 30000;

class DataEditorSessionTest : public DataEditorFrameTest {
protected:
    static void TearDownTestSuite() { StopEngine(); }

    void SetUp() override
    {
        DataEditorFrameTest::SetUp();
        ASSERT_EQ(0u, RunDiscTool("insert F 2 359848"));
        ASSERT_EQ(S_OK, devices.CoCreate(CLSID_CoDevices, IID_IDevices, CLSCTX_LOCAL_SERVER));
        ASSERT_EQ(S_OK, com::CreateObject<CTestEventSink>(IID__IMessageCallback, reinterpret_cast<void**>(&sinkItf)));
        sink = static_cast<CTestEventSink*>(sinkItf.Get());
        ASSERT_EQ(S_OK, AdviseSink(devices, sinkItf, &listCookie));
        if (devices->IsInitialized() != S_OK) sink->WaitFor(DM_DEVICESSCANNED, 5000);
        ASSERT_EQ(S_OK, devices->GetDeviceByDriveLetter('F', &device));
        ASSERT_EQ(S_OK, device->GetDeviceID(&deviceId));
        ASSERT_EQ(S_OK, AdviseSink(device, sinkItf, &deviceCookie));
        ASSERT_EQ(S_OK, device.As(IID_IMedium, &medium));
        hyper total = 0, used = 0, free = 0;
        for (int i = 0; i < 500 && FAILED(medium->GetSpaces(&total, &used, &free)); ++i) Sleep(10);
        // The project's current drive is F, as the burning frame would say.
        const unsigned id = deviceId;
        Script(CLSID_StubBurner).onCommand = [id](CStubFrame&, unsigned command, SAFEARRAY* data, HRESULT& result) {
            if (command != BFCID_GET_DEVICE_ID) return false;
            long* out = nullptr;
            result = ExtractFromSafearray(data, {{VT_I4 | VT_BYREF, &out}});
            if (SUCCEEDED(result) && out) *out = long(id);
            return true;
        };
    }
    void TearDown() override
    {
        if (deviceCookie) UnadviseSink(device, deviceCookie);
        if (listCookie) UnadviseSink(devices, listCookie);
        DataEditorFrameTest::TearDown();
        RunDiscTool("insert F 2 359848");
    }

    // Burns the tree onto drive F and waits for the end; the job's result.
    unsigned Burn(IFileTree* tree)
    {
        com::ComPtr<IWriter> writer;
        EXPECT_EQ(S_OK, device.As(IID_IWriter, &writer));
        const size_t before = sink->Events().size();
        EXPECT_EQ(S_OK, writer->BurnData(0x5E55, 0xFFFF, tree, 2));
        for (DWORD start = GetTickCount(); GetTickCount() - start < BURN_WAIT_MS; PumpFor(20)) {
            const std::vector<EngineEvent> events = sink->Events();
            for (size_t i = before; i < events.size(); ++i)
                if (events[i].message == DM_BURNEND) return events[i].lParam;
        }
        return 0xFFFFFFFF;
    }

    // The block where the disc's next session starts (its open track's).
    unsigned NextSessionStart()
    {
        unsigned count = 0, next = 0;
        com::ComPtr<ITrack> open;
        EXPECT_EQ(S_OK, medium->GetTrackCount(&count));
        EXPECT_EQ(S_OK, medium->GetTrack(&open, count));
        if (open) open->GetStartAdress(&next);
        return next;
    }

    // The editor's tree for the engine after PCID_START.
    com::ComPtr<IFileTree> Prepare(CCoNostrine* editor)
    {
        com::ComPtr<IFileTree> tree;
        EXPECT_EQ(S_OK, Command(editor, PCID_START));
        for (int i = 0; i < 1000 && !BurnerStarted(); ++i) {
            CMainFrameStandIn::Pump();
            Sleep(10);
        }
        IUnknown* handed = nullptr;
        CVariantSafearray data(1);
        data.Create();
        data.Prepare({{VT_UNKNOWN | VT_BYREF, &handed}});
        if (!BurnerStarted() || FAILED(Stubs().burner->Send(BFCID_GET_DATAIMAGE, data)) || !handed) return tree;
        tree.QueryFrom(handed, IID_IFileTree);
        handed->Release();
        return tree;
    }
    static bool BurnerStarted()
    {
        if (!Stubs().burner) return false;
        for (const SeenCommand& c : Stubs().burner->commands)
            if (IsBurnStart(c)) return true;
        return false;
    }

    // The answers to the new project's dialogs: the project type with these
    // choices, then on the device dialog `device` (IDOK or IDCANCEL), on a
    // message box OK.
    std::function<void(HWND)> Answers(bool continueDisc, std::vector<int> device)
    {
        return [this, continueDisc, device](HWND dialog) {
            if (GetDlgItem(dialog, IDC_CONTINUE_DISC)) {
                SendMessageA(GetDlgItem(dialog, IDC_BEGIN_NEW_DISC), BM_SETCHECK, !continueDisc, 0);
                SendMessageA(GetDlgItem(dialog, IDC_CONTINUE_DISC), BM_SETCHECK, continueDisc, 0);
                DialogDriver::Press(dialog, IDOK);
            } else if (GetDlgItem(dialog, IDC_SESSION_TREE)) {
                char chosen[256] = "";
                GetDlgItemTextA(dialog, IDC_DEVICE_COMBO, chosen, sizeof chosen);
                deviceDialogs.push_back(chosen);
                if (const char* shots = std::getenv("TB_FRAME_SHOTS"))  // the dialog over the editor
                    RunUnix("import -window root '" + std::string(shots) + "/editor_device_dialog_" +
                            std::to_string(deviceDialogs.size()) + ".png' >/dev/null 2>&1; echo done");
                const size_t n = deviceDialogs.size() - 1;
                DialogDriver::Press(dialog, n < device.size() ? device[n] : IDCANCEL);
            } else if (GetDlgItem(dialog, 0xFFFF)) {
                char text[512] = "";
                GetDlgItemTextA(dialog, 0xFFFF, text, sizeof text);  // a message box's text
                boxes.push_back(text);
                DialogDriver::Press(dialog, IDOK);
            }
        };
    }

    com::ComPtr<IDevices> devices;
    com::ComPtr<IDevice> device;
    com::ComPtr<IMedium> medium;
    com::ComPtr<_IMessageCallback> sinkItf;
    CTestEventSink* sink = nullptr;
    DWORD listCookie = 0, deviceCookie = 0;
    unsigned deviceId = 0;
    std::vector<std::string> deviceDialogs;  // the drive each device dialog showed
    std::vector<std::string> boxes;          // the texts of the message boxes
    TempFolder exported;
};

// The listing of the session that starts at `block` of drive F's disc.
std::set<std::string> SessionFiles(const std::string& iso, unsigned block)
{
    const std::string listing = RunUnix("isoinfo -T " + std::to_string(block) + " -i '" + UnixPath(iso) + "' -J -f");
    std::set<std::string> files;
    for (size_t start = 0, end; (end = listing.find('\n', start)) != std::string::npos; start = end + 1)
        files.insert(listing.substr(start, end - start));
    return files;
}

TEST_F(DataEditorSessionTest, ANewProjectContinuesTheNewestSessionOfTheDisc)
{
    // The first session: alpha.txt and gamma\inner.txt.
    {
        com::ComPtr<IFileTree> first;
        com::ComPtr<IFileTreeNode> root, gamma, node;
        ASSERT_EQ(S_OK, first.CoCreate(CLSID_CoISOFileTree, IID_IFileTree, CLSCTX_LOCAL_SERVER));
        ASSERT_EQ(S_OK, first->GetRootNode(&root));
        ASSERT_EQ(S_OK, first->Add(root, com::Bstr(files.File("alpha.txt")), com::Bstr("alpha.txt"), &node));
        ASSERT_EQ(S_OK, first->Add(root, nullptr, com::Bstr("gamma"), &gamma));
        node.Reset();
        ASSERT_EQ(S_OK, first->Add(gamma, com::Bstr(files.File("gamma\\inner.txt")), com::Bstr("inner.txt"), &node));
        ASSERT_EQ(0u, Burn(first));
    }

    // A new project goes on from it: the drive is preselected, and OK with
    // no session chosen takes the newest.
    CCoNostrine* editor = OpenEditor(Answers(true, {IDOK}));
    ASSERT_NE(nullptr, editor);
    ASSERT_EQ(1u, deviceDialogs.size());
    EXPECT_EQ(0u, deviceDialogs[0].find("F:")) << deviceDialogs[0];
    CUserFSEntry* root = editor->Tree().GetRoot();
    EXPECT_EQ((std::vector<std::string>{"alpha.txt", "gamma"}), Names(root)) << "the session as it is on the disc";
    for (CUserFSEntry* e = root->FirstChild(); e; e = e->NextSibling()) EXPECT_TRUE(e->IsImported()) << e->m_name;
    CUserFSEntry* gamma = editor->Tree().FindChild(root, "gamma");
    ASSERT_TRUE(gamma);
    EXPECT_EQ(std::vector<std::string>{"inner.txt"}, Names(gamma));

    // The second session holds both.
    const unsigned next = NextSessionStart();
    ASSERT_TRUE(editor->AddPaths(root, {files.File("beta.txt")}));
    com::ComPtr<IFileTree> tree = Prepare(editor);
    ASSERT_TRUE(tree);
    ASSERT_EQ(0u, Burn(tree));
    const std::string iso = exported.File("disc.iso");
    ASSERT_EQ(0u, RunDiscTool("export F \"" + iso + "\""));
    EXPECT_EQ((std::set<std::string>{"/alpha.txt", "/beta.txt", "/gamma", "/gamma/inner.txt"}), SessionFiles(iso, next));
}

// A file of the previous session replaced by an add (the clash question's
// Yes) is removed from the old session: the burn succeeds and the new file
// is what the disc holds under that name.
TEST_F(DataEditorSessionTest, AReplacedFileOfThePreviousSessionGivesWayToTheNewOne)
{
    {
        com::ComPtr<IFileTree> first;
        com::ComPtr<IFileTreeNode> root, node;
        ASSERT_EQ(S_OK, first.CoCreate(CLSID_CoISOFileTree, IID_IFileTree, CLSCTX_LOCAL_SERVER));
        ASSERT_EQ(S_OK, first->GetRootNode(&root));
        ASSERT_EQ(S_OK, first->Add(root, com::Bstr(files.File("alpha.txt")), com::Bstr("alpha.txt"), &node));
        ASSERT_EQ(0u, Burn(first));
    }
    CCoNostrine* editor = OpenEditor(Answers(true, {IDOK}));
    ASSERT_NE(nullptr, editor);
    CUserFSEntry* root = editor->Tree().GetRoot();
    ASSERT_EQ(std::vector<std::string>{"alpha.txt"}, Names(root));
    ASSERT_TRUE(root->FirstChild()->IsImported());

    CreateDirectoryA(files.File("newer").c_str(), nullptr);
    const std::string newer(5000, 'n');
    WriteFileBytes(files.File("newer\\alpha.txt"), newer);
    services.translator->answers = {MBX_YES};
    ASSERT_TRUE(editor->AddPaths(root, {files.File("newer\\alpha.txt")}));
    ASSERT_EQ(1u, services.translator->boxes.size());
    EXPECT_EQ("File \"alpha.txt\" already exists. Replace?", services.translator->boxes[0].message);
    ASSERT_EQ(std::vector<std::string>{"alpha.txt"}, Names(root));
    EXPECT_FALSE(root->FirstChild()->IsImported());

    const unsigned next = NextSessionStart();
    com::ComPtr<IFileTree> tree = Prepare(editor);
    ASSERT_TRUE(tree) << "the preparation failed: " << ::testing::PrintToString(boxes);
    ASSERT_EQ(0u, Burn(tree));
    const std::string iso = exported.File("disc.iso");
    ASSERT_EQ(0u, RunDiscTool("export F \"" + iso + "\""));
    EXPECT_EQ(std::set<std::string>{"/alpha.txt"}, SessionFiles(iso, next));
    const std::string read = RunUnix("isoinfo -T " + std::to_string(next) + " -i '" + UnixPath(iso) +
                                     "' -J -x /alpha.txt");
    EXPECT_EQ(newer, read) << "the new file wins";
}

// A disc without a session to take over is refused with a message, and the
// device dialog comes back; a cancelled device dialog keeps a new disc, a
// cancelled project-type question closes the project.
TEST_F(DataEditorSessionTest, ABlankDiscHasNoSessionToContinue)
{
    CCoNostrine* editor = OpenEditor(Answers(true, {IDOK, IDCANCEL}));
    ASSERT_NE(nullptr, editor);
    EXPECT_EQ(2u, deviceDialogs.size()) << "shown again after the message";
    ASSERT_EQ(1u, services.translator->boxes.size()) << "the Common box, not the system's";
    EXPECT_EQ("No session to import. Please insert another medium and try again.",
              services.translator->boxes[0].message);
    EXPECT_EQ(MBX_OK | MBX_ICONWARNING, services.translator->boxes[0].type);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(nullptr, editor->Tree().GetRoot()->FirstChild());
    HWND window = nullptr;
    editor->GetOwnWindow(&window);
    EXPECT_TRUE(IsWindow(window));

    CCoNostrine* cancelled = OpenEditor([](HWND dialog) { DialogDriver::Press(dialog, IDCANCEL); });
    ASSERT_NE(nullptr, cancelled);
    cancelled->GetOwnWindow(&window);
    for (int i = 0; i < 100 && IsWindow(window); ++i) {
        CMainFrameStandIn::Pump();
        Sleep(10);
    }
    EXPECT_FALSE(IsWindow(window)) << "the project closed";
}

}  // namespace
