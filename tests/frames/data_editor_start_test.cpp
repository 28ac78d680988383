// PCID_START to the data editor inside a data-disc project, with the real
// engine: the user's tree is prepared into an engine file tree, which the
// project hands to the burning frame.
#include "data_editor_fixture.h"
#include "disc_folder.h"
#include "engine.h"
#include "event_sink.h"
#include "heap_check.h"
#include <message_box.h>
#include "vokmar_process.h"
#include <atomic>
#include <functional>

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
    // The file tree the project hands the burning frame when it asks.
    static void AskTheProjectForItsTree(com::ComPtr<IFileTree>& tree)
    {
        IUnknown* handed = nullptr;
        CVariantSafearray data(1);
        data.Create();
        ASSERT_EQ(S_OK, data.Prepare({{VT_UNKNOWN | VT_BYREF, &handed}}));
        ASSERT_EQ(S_OK, Stubs().burner->Send(BFCID_GET_DATAIMAGE, data));
        ASSERT_NE(nullptr, handed);
        ASSERT_EQ(S_OK, tree.QueryFrom(handed, IID_IFileTree));
        handed->Release();
    }
};

bool BurnerStarted()
{
    if (!Stubs().burner) return false;
    for (const SeenCommand& c : Stubs().burner->commands)
        if (IsBurnStart(c)) return true;
    return false;
}

// Pumps until the project has started the burning frame, at most `ms`.
bool WaitForBurner(DWORD ms = 10000)
{
    for (DWORD start = GetTickCount(); !BurnerStarted() && GetTickCount() - start < ms;) {
        CMainFrameStandIn::Pump();
        Sleep(10);
    }
    return BurnerStarted();
}

TEST_F(DataEditorStartTest, StartPreparesTheTreeAndTheProjectHandsItToTheBurner)
{
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    CUserFSEntry* root = editor->Tree().GetRoot();
    ASSERT_TRUE(editor->AddPaths(root, {files.File("alpha.txt"), files.File("gamma")}));
    ASSERT_EQ(S_OK, Command(editor, PCID_START));
    ASSERT_TRUE(WaitForBurner()) << ::testing::PrintToString(CommandTrace());

    com::ComPtr<IFileTree> tree;
    ASSERT_NO_FATAL_FAILURE(AskTheProjectForItsTree(tree));
    for (const char* path : {"ALPHA.TXT", "GAMMA\\INNER.TXT"}) {
        com::ComPtr<IFileTreeNode> node;
        EXPECT_EQ(S_OK, tree->GetNodeByPath(&node, com::Bstr(path))) << path;
    }
    // The preparation is over: the close question is answered again.
    HWND window = nullptr;
    editor->GetOwnWindow(&window);
    EXPECT_EQ(0, SendMessageA(window, WM_CLOSE, 0, 0));
}

// A file that another program holds open without sharing: adding it to
// the user's tree works (only its name and size are read); the preparation
// asks about it and skips it when told so. While that question is open the
// preparation waits, and what the user tries on the editor meanwhile
// (paste, a drop, Delete, F2, a label edit, a new folder) is refused.
TEST_F(DataEditorStartTest, AFileHeldByAnotherProgramIsAskedAboutAndEditsWaitForThePreparation)
{
    const std::string held = files.File("held.txt");
    WriteFileBytes(held, "in use");
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string helper(self);
    helper = helper.substr(0, helper.rfind('\\') + 1) + "hold_file.exe";
    const std::string events = "TavellEditorHeld" + std::to_string(GetCurrentProcessId());
    HANDLE heldEvent = CreateEventA(nullptr, TRUE, FALSE, (events + ".held").c_str());
    HANDLE doneEvent = CreateEventA(nullptr, TRUE, FALSE, (events + ".done").c_str());
    std::string line = "\"" + helper + "\" \"" + held + "\" " + events;
    STARTUPINFOA si = {sizeof si};
    PROCESS_INFORMATION holder = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &holder));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(heldEvent, 10000));

    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    CUserFSEntry* root = editor->Tree().GetRoot();
    ASSERT_TRUE(editor->AddPaths(root, {files.File("alpha.txt"), held}));
    ASSERT_EQ((std::vector<std::string>{"alpha.txt", "held.txt"}), Names(root));
    HWND window = nullptr;
    editor->GetOwnWindow(&window);
    SelectFolderItem(editor, root);
    SelectRow(editor, 0);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_HDROP, DropBlock({files.File("beta.txt")}));
    CloseClipboard();

    bool preparingDuringQuestion = false;
    LRESULT labelEdit = -1;
    HWND editBox = nullptr;
    services.translator->answers.push_back(0x10);  // Skip
    services.translator->whileOpen = [&](const CTestTranslator::Box&) {
        preparingDuringQuestion = editor->Preparing();
        SendMessageA(window, WM_PASTE, 0, 0);
        SendMessageA(editor->FolderTree(), WM_DROPFILES, WPARAM(DropBlock({files.File("gamma")})), 0);
        SendMessageA(editor->FileList(), WM_KEYDOWN, VK_DELETE, 0);
        SendMessageA(editor->FileList(), WM_KEYDOWN, VK_F2, 0);
        editBox = ListView_GetEditControl(editor->FileList());
        SendMessageA(window, WM_COMMAND, ID_CREATE_FOLDER, 0);
        NMLVDISPINFOA info = {};
        info.hdr.hwndFrom = editor->FileList();
        info.hdr.idFrom = IDC_FILE_LIST;
        info.hdr.code = LVN_ENDLABELEDITA;
        info.item.iItem = 0;
        info.item.pszText = const_cast<char*>("renamed.txt");
        labelEdit = SendMessageA(window, WM_NOTIFY, IDC_FILE_LIST, reinterpret_cast<LPARAM>(&info));
    };
    ASSERT_EQ(S_OK, Command(editor, PCID_START));
    WaitForBurner();
    SetEvent(doneEvent);
    WaitForSingleObject(holder.hProcess, 10000);
    CloseHandle(holder.hProcess);
    CloseHandle(holder.hThread);
    CloseHandle(heldEvent);
    CloseHandle(doneEvent);
    services.translator->whileOpen = nullptr;
    ASSERT_TRUE(BurnerStarted()) << ::testing::PrintToString(CommandTrace());

    ASSERT_EQ(1u, services.translator->boxes.size());
    const CTestTranslator::Box& box = services.translator->boxes[0];
    EXPECT_EQ(0x2C10u, box.type);
    EXPECT_EQ("File \"" + held + "\" is inaccessible, it is in use with another application. Skip this file and continue?",
              box.message);
    EXPECT_TRUE(preparingDuringQuestion);
    EXPECT_EQ(FALSE, labelEdit);
    EXPECT_EQ(nullptr, editBox);  // F2 opened no label edit
    EXPECT_EQ((std::vector<std::string>{"alpha.txt", "held.txt"}), Names(root));
    EXPECT_EQ(1, TreeView_GetCount(editor->FolderTree()));

    com::ComPtr<IFileTree> tree;
    ASSERT_NO_FATAL_FAILURE(AskTheProjectForItsTree(tree));
    com::ComPtr<IFileTreeNode> node;
    EXPECT_EQ(S_OK, tree->GetNodeByPath(&node, com::Bstr("ALPHA.TXT")));
    com::ComPtr<IFileTreeNode> skipped;
    EXPECT_NE(S_OK, tree->GetNodeByPath(&skipped, com::Bstr("HELD.TXT")));
}

// A name longer than Joliet's 64 characters is taken into the user's tree
// as it is; the preparation stops at it with the message that names it and
// its source, the burn is not started, and the tree stays as the user made it.
TEST_F(DataEditorStartTest, ANameJolietCannotHoldStopsThePreparationWithItsMessage)
{
    const std::string name = std::string(70, 'n') + ".txt";
    const std::string source = files.File(name);
    WriteFileBytes(source, "long");
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    CUserFSEntry* root = editor->Tree().GetRoot();
    ASSERT_TRUE(editor->AddPaths(root, {files.File("alpha.txt"), source}));
    DialogDriver driver([](HWND box) { DialogDriver::Press(box, IDOK); });
    ASSERT_EQ(S_OK, Command(editor, PCID_START));
    CMainFrameStandIn::Pump();
    for (int i = 0; i < 1000 && (editor->Preparing() || driver.Seen() == 0); ++i) {
        CMainFrameStandIn::Pump();
        Sleep(10);
    }
    EXPECT_FALSE(editor->Preparing());
    EXPECT_FALSE(BurnerStarted());
    EXPECT_EQ(1, driver.Seen());
    const std::string message = "Failed to add file \"\\" + name + "\" (its source path is \"" + source +
                                "\"). File name is possibly too long, try to rename it. Operation cancelled.";
    const std::vector<std::string> texts = driver.Texts();
    EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), message)) << ::testing::PrintToString(texts);
    EXPECT_EQ((std::vector<std::string>{"alpha.txt", name}), Names(root));
}

// A close of the project while files are added (here from inside the add's
// own clash question) is refused: the add goes on to its end on a live
// editor, and the heap is sound afterwards.
TEST_F(DataEditorStartTest, AProjectClosedDuringAnAddStaysUntilTheAddEnds)
{
    CreateDirectoryA(files.File("many").c_str(), nullptr);
    for (int i = 0; i < 30; ++i) WriteFileBytes(files.File("many\\f" + std::to_string(i) + ".txt"), "x");
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    CProjectBase* project = static_cast<CProjectBase*>(projects.back().Get());
    HWND projectWindow = project->m_hWnd;
    CUserFSEntry* root = editor->Tree().GetRoot();
    ASSERT_TRUE(editor->AddPaths(root, {files.File("many")}));

    // Replace all; a save question (were the close to go on) is answered No.
    services.translator->answers = {MBX_YESTOALL, MBX_NO, MBX_NO};
    bool closed = false;
    services.translator->whileOpen = [&](const CTestTranslator::Box&) {
        if (closed) return;
        closed = true;
        SendMessageA(projectWindow, WM_CLOSE, 0, 0);
    };
    ASSERT_TRUE(editor->AddPaths(root, {files.File("many")}));
    services.translator->whileOpen = nullptr;
    ASSERT_TRUE(IsWindow(projectWindow)) << "the close was refused";
    ASSERT_GE(services.translator->boxes.size(), 2u);
    EXPECT_EQ("Files are being added, can't close until it is finished or stopped.",
              services.translator->boxes[1].message);
    CUserFSEntry* many = editor->Tree().FindChild(root, "many");
    ASSERT_TRUE(many);
    EXPECT_EQ(30u, Names(many).size());
    EXPECT_EQ("", HeapFaults());
}

// A burn started while files are added waits for the add: the tree handed
// to the burning frame holds every file, not the part added so far.
TEST_F(DataEditorStartTest, ABurnStartedDuringAnAddBurnsTheWholeTree)
{
    const int count = 200;
    CreateDirectoryA(files.File("many").c_str(), nullptr);
    for (int i = 0; i < count; ++i) WriteFileBytes(files.File("many\\f" + std::to_string(i) + ".txt"), "x");
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    CUserFSEntry* root = editor->Tree().GetRoot();
    // The start arrives while the add pumps its messages.
    ASSERT_EQ(S_OK, Command(editor, PCID_START));
    ASSERT_TRUE(editor->AddPaths(root, {files.File("many")}));
    ASSERT_TRUE(WaitForBurner()) << ::testing::PrintToString(CommandTrace());
    com::ComPtr<IFileTree> tree;
    ASSERT_NO_FATAL_FAILURE(AskTheProjectForItsTree(tree));
    for (int i : {0, count / 2, count - 1}) {
        const std::string path = "MANY\\F" + std::to_string(i) + ".TXT";
        com::ComPtr<IFileTreeNode> node;
        EXPECT_EQ(S_OK, tree->GetNodeByPath(&node, com::Bstr(path))) << path;
    }
}

}  // namespace
