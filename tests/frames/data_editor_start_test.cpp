// PCID_START to the data editor inside a data-disc project, with the real
// engine: the user's tree is prepared into an engine file tree, which the
// project hands to the burning frame.
#include "data_editor_fixture.h"
#include "disc_folder.h"
#include "engine.h"
#include "event_sink.h"
#include "vokmar_process.h"

namespace {

class DataEditorStartTest : public DataEditorFrameTest {
protected:
    static void TearDownTestSuite() { StopEngine(); }

    void SetUp() override
    {
        DataEditorFrameTest::SetUp();
        ASSERT_EQ(0u, RunDiscTool("insert F 2 359848"));
        com::ComPtr<IDevices> devices;
        ASSERT_EQ(S_OK, devices.CoCreate(CLSID_CoDevices, IID_IDevices, CLSCTX_LOCAL_SERVER));
        com::ComPtr<IUnknown> sinkItf;
        ASSERT_EQ(S_OK, com::CreateObject<CTestEventSink>(IID__IMessageCallback, reinterpret_cast<void**>(&sinkItf)));
        DWORD cookie = 0;
        ASSERT_EQ(S_OK, AdviseSink(devices, sinkItf, &cookie));
        if (devices->IsInitialized() != S_OK) static_cast<CTestEventSink*>(sinkItf.Get())->WaitFor(DM_DEVICESSCANNED, 5000);
        com::ComPtr<IDevice> device;
        ASSERT_EQ(S_OK, devices->GetDeviceByDriveLetter('F', &device));
        unsigned id = 0;
        ASSERT_EQ(S_OK, device->GetDeviceID(&id));
        UnadviseSink(devices, cookie);
        // The inserted disc is seen a moment later.
        com::ComPtr<IMedium> medium;
        ASSERT_EQ(S_OK, device.As(IID_IMedium, &medium));
        hyper total = 0, used = 0, free = 0;
        for (int i = 0; i < 500 && FAILED(medium->GetSpaces(&total, &used, &free)); ++i) Sleep(10);
        // The burning frame names that drive, and remembers the start.
        Script(CLSID_StubBurner).onCommand = [id](CStubFrame&, unsigned command, SAFEARRAY* data, HRESULT& result) {
            if (command != BFCID_GET_DEVICE_ID) return false;
            long* out = nullptr;
            result = ExtractFromSafearray(data, {{VT_I4 | VT_BYREF, &out}});
            if (SUCCEEDED(result) && out) *out = long(id);
            return true;
        };
    }
};

bool BurnerStarted()
{
    if (!Stubs().burner) return false;
    for (const SeenCommand& c : Stubs().burner->commands)
        if (c.id == PCID_START) return true;
    return false;
}

TEST_F(DataEditorStartTest, StartPreparesTheTreeAndTheProjectHandsItToTheBurner)
{
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    CUserFSEntry* root = editor->Tree().GetRoot();
    ASSERT_TRUE(editor->AddPaths(root, {files.File("alpha.txt"), files.File("gamma")}));
    ASSERT_EQ(S_OK, Command(editor, PCID_START));
    for (int i = 0; i < 1000 && !BurnerStarted(); ++i) {
        CMainFrameStandIn::Pump();
        Sleep(10);
    }
    ASSERT_TRUE(BurnerStarted()) << ::testing::PrintToString(CommandTrace());

    IUnknown* handed = nullptr;
    CVariantSafearray data(1);
    data.Create();
    ASSERT_EQ(S_OK, data.Prepare({{VT_UNKNOWN | VT_BYREF, &handed}}));
    ASSERT_EQ(S_OK, Stubs().burner->Send(BFCID_GET_DATAIMAGE, data));
    ASSERT_NE(nullptr, handed);
    com::ComPtr<IFileTree> tree;
    ASSERT_EQ(S_OK, tree.QueryFrom(handed, IID_IFileTree));
    handed->Release();
    for (const char* path : {"ALPHA.TXT", "GAMMA\\INNER.TXT"}) {
        com::ComPtr<IFileTreeNode> node;
        EXPECT_EQ(S_OK, tree->GetNodeByPath(&node, com::Bstr(path))) << path;
    }
    // The preparation is over: the close question is answered again.
    HWND window = nullptr;
    editor->GetOwnWindow(&window);
    EXPECT_EQ(0, SendMessageA(window, WM_CLOSE, 0, 0));
}

}  // namespace
