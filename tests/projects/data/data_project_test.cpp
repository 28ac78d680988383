// The data-disc project with stub frames in place of the data editor and
// the burning frame (registered in this process under their class
// identifiers): the burn flow between the frames, the device relay, the
// questions of both frames, will-load and the size report to the main frame.
#include "project_fixture.h"
#include "data_project.h"
#include "engine.h"
#include <shared/variant_safearray.h>
#include <cstring>

namespace {

// An engine file tree that nobody walks: the project only keeps it and
// hands it over.
class CFakeFileTree : public com::ObjectRoot<com::SingleThreadModel>, public IFileTree {
public:
    COM_INTERFACES_BEGIN(CFakeFileTree)
        COM_INTERFACE(IFileTree)
    COM_INTERFACES_END()
    STDMETHODIMP ImportTrack(ITrack*, IDevice*) override { return E_NOTIMPL; }
    STDMETHODIMP GetRootNode(IFileTreeNode**) override { return E_NOTIMPL; }
    STDMETHODIMP GetFirstKid(IFileTreeNode*, IFileTreeNode**) override { return E_NOTIMPL; }
    STDMETHODIMP GetNextKid(IFileTreeNode*, IFileTreeNode*, IFileTreeNode**) override { return E_NOTIMPL; }
    STDMETHODIMP Add(IFileTreeNode*, BSTR, BSTR, IFileTreeNode**) override { return E_NOTIMPL; }
    STDMETHODIMP GetNodeByPath(IFileTreeNode**, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP Remove(IFileTreeNode*) override { return E_NOTIMPL; }
    STDMETHODIMP Rename(IFileTreeNode*, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP BuildImage() override { return E_NOTIMPL; }
    STDMETHODIMP Initialize() override { return S_OK; }
    STDMETHODIMP SetStartLBA(unsigned int) override { return S_OK; }
    STDMETHODIMP SetVolumeLabel(BSTR) override { return S_OK; }
    STDMETHODIMP DoFinalize(unsigned int) override { return S_OK; }
    STDMETHODIMP IsDoFinalize() override { return S_FALSE; }
    STDMETHODIMP SetBootImage(BSTR) override { return S_OK; }
};

const HRESULT CANCELLED = static_cast<HRESULT>(0x8010006E);

class DataProjectTest : public ProjectTest {
protected:
    void SetUp() override
    {
        ProjectTest::SetUp();
        tree = MakeTree();
    }
    void TearDown() override
    {
        tree.Reset();
        ProjectTest::TearDown();
    }

    static com::ComPtr<IUnknown> MakeTree()
    {
        com::ComPtr<IUnknown> made;
        com::CreateObject<CFakeFileTree>(IID_IUnknown, reinterpret_cast<void**>(&made));
        return made;
    }

    // A data project in the stand-in main frame, its frames' trace cleared.
    CCoMaravin* OpenData()
    {
        CCoMaravin* project = static_cast<CCoMaravin*>(Open<CCoMaravin>());
        CommandTrace().clear();
        return project;
    }

    static HRESULT FromBurner(unsigned id, SAFEARRAY* data = nullptr) { return Stubs().burner->Send(id, data); }
    static HRESULT FromEditor(unsigned id, SAFEARRAY* data = nullptr) { return Stubs().editor->Send(id, data); }

    // The editor's PCID_SOURCE_READY [UI4 result, UNKNOWN tree].
    static HRESULT SourceReady(HRESULT result, IUnknown* source)
    {
        CVariantSafearray data(2);
        data.Create();
        HRESULT hr = data.Prepare({{VT_UI4, static_cast<unsigned long>(result)}, {VT_UNKNOWN, source}});
        return SUCCEEDED(hr) ? FromEditor(PCID_SOURCE_READY, data) : hr;
    }

    // The burning frame's BFCID_GET_DATAIMAGE; `out` keeps its value when
    // the project does not answer.
    static HRESULT AskTree(IUnknown** out)
    {
        CVariantSafearray data(1);
        data.Create();
        HRESULT hr = data.Prepare({{VT_UNKNOWN | VT_BYREF, out}});
        return SUCCEEDED(hr) ? FromBurner(BFCID_GET_DATAIMAGE, data) : hr;
    }

    // A question with one I4 BYREF answer, from either frame.
    static HRESULT AskNumber(CStubFrame* frame, unsigned id, long* value)
    {
        CVariantSafearray data(1);
        data.Create();
        HRESULT hr = data.Prepare({{VT_I4 | VT_BYREF, value}});
        return SUCCEEDED(hr) ? frame->Send(id, data) : hr;
    }

    // The last PCID_ENABLE_UI value a frame got, "none" when it got none.
    static std::string LastEnable(const CStubFrame* frame)
    {
        for (auto it = frame->commands.rbegin(); it != frame->commands.rend(); ++it)
            if (it->id == PCID_ENABLE_UI) return it->values.empty() ? "empty" : it->values[0];
        return "none";
    }

    // A stub frame as the object the project compares senders with.
    static IUnknown* Unk(CStubFrame* stub) { return static_cast<ICommandPerformer*>(stub); }

    // The stubs under the class identifiers of the data project's frame table.
    StubClassRegistration dataClasses{CLSID_CoPanelCtrl, CLSID_CoNostrine, CLSID_CoDrubeck};
    com::ComPtr<IUnknown> tree;
};

// --- the burn flow ---

TEST_F(DataProjectTest, BurnFlowTracesEndWithBothFramesEnabledAndNothingHeld)
{
    struct Step {
        const char* name;
        unsigned failEditor;       // a command the editor refuses (0: none)
        unsigned failBurner;       // a command the burning frame refuses
        bool cancel;               // the burning frame cancels the preparation
        HRESULT editorResult;      // what the editor reports in PCID_SOURCE_READY
        HRESULT requestResult;     // the project's answer to PCID_REQUEST_BURN
        std::vector<std::string> trace;
    } steps[] = {
        {"success", 0, 0, false, S_OK, S_OK,
         {"Editor 288 0", "Burner 288 0", "Editor 290", "Editor 288 1", "Burner 288 1", "Burner 290 0"}},
        // A failed or cancelled preparation reaches the burning frame's
        // job log: PCID_START with the failure, which burns nothing.
        {"editor fails", 0, 0, false, E_ACCESSDENIED, S_OK,
         {"Editor 288 0", "Burner 288 0", "Editor 290", "Editor 288 1", "Burner 288 1", "Burner 290 2147942405"}},
        {"cancel", 0, 0, true, CANCELLED, S_OK,
         {"Editor 288 0", "Burner 288 0", "Editor 290", "Editor 291", "Editor 288 1", "Burner 288 1",
          "Burner 290 2148532334"}},
        {"editor refuses to disable", PCID_ENABLE_UI, 0, false, S_OK, E_ACCESSDENIED,
         {"Editor 288 0", "Editor 288 1"}},
        {"burner refuses to disable", 0, PCID_ENABLE_UI, false, S_OK, E_ACCESSDENIED,
         {"Editor 288 0", "Burner 288 0", "Editor 288 1", "Burner 288 1"}},
        {"editor refuses to start", PCID_START, 0, false, S_OK, E_ACCESSDENIED,
         {"Editor 288 0", "Burner 288 0", "Editor 290", "Editor 288 1", "Burner 288 1"}},
        {"burner refuses to start", 0, PCID_START, false, S_OK, S_OK,
         {"Editor 288 0", "Burner 288 0", "Editor 290", "Editor 288 1", "Burner 288 1", "Burner 290 0"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        ResetScripts();
        if (step.failEditor) Script(CLSID_StubEditor).answers[step.failEditor] = E_ACCESSDENIED;
        if (step.failBurner) Script(CLSID_StubBurner).answers[step.failBurner] = E_ACCESSDENIED;
        CCoMaravin* project = OpenData();
        ASSERT_NE(nullptr, project);
        CStubFrame* editor = Stubs().editor;
        CStubFrame* burner = Stubs().burner;

        EXPECT_EQ(step.requestResult, FromBurner(PCID_REQUEST_BURN));
        if (SUCCEEDED(step.requestResult)) {
            EXPECT_TRUE(com::SameObject(project->BurnFlow().Preparing(), Unk(editor)));
            if (step.cancel) {
                EXPECT_EQ(S_OK, FromBurner(PCID_CANCEL));
            }
            SourceReady(step.editorResult, SUCCEEDED(step.editorResult) ? tree.Get() : nullptr);
        }
        bool burning = project->BurnFlow().Preparing() && com::SameObject(project->BurnFlow().Preparing(), Unk(burner));
        EXPECT_EQ(burning, SUCCEEDED(step.editorResult) && !step.failEditor && !step.failBurner);
        if (burning) {
            long type = 0;
            EXPECT_EQ(S_OK, AskNumber(burner, BFCID_GET_BURN_TYPE, &type));
            EXPECT_EQ(BURN_TYPE_DATA, type);
            IUnknown* taken = nullptr;
            EXPECT_EQ(S_OK, AskTree(&taken));
            EXPECT_TRUE(com::SameObject(taken, tree));
            if (taken) taken->Release();
            // The burning frame ends every burn with its result.
            CVariantSafearray result(1);
            result.Create();
            result.Prepare({{VT_HRESULT, static_cast<long>(S_OK)}});
            EXPECT_EQ(S_OK, FromBurner(PCID_RESULT, result));
        }
        EXPECT_EQ(step.trace, CommandTrace());
        EXPECT_NE("0", LastEnable(editor)) << "the editor stays disabled";
        EXPECT_NE("0", LastEnable(burner)) << "the burning frame stays disabled";
        EXPECT_EQ(nullptr, project->BurnFlow().Preparing());
        EXPECT_EQ(nullptr, project->Tree());
        EXPECT_EQ(1u, RefCount(tree)) << "the project still holds the tree";
        frame.reset();
        projects.clear();
        CMainFrameStandIn::Pump();
        frame = std::make_unique<CMainFrameStandIn>();
    }
}

TEST_F(DataProjectTest, TheBurnersAnswerToAFailedPreparationLeavesTheNextOneAlone)
{
    CCoMaravin* project = OpenData();
    ASSERT_NE(nullptr, project);
    ASSERT_EQ(S_OK, FromBurner(PCID_REQUEST_BURN));
    ASSERT_EQ(S_OK, SourceReady(E_FAIL, nullptr));
    // The user asks again before the burning frame's answer comes.
    ASSERT_EQ(S_OK, FromBurner(PCID_REQUEST_BURN));
    CVariantSafearray failed(1);
    failed.Create();
    failed.Prepare({{VT_HRESULT, static_cast<long>(E_FAIL)}});
    EXPECT_EQ(S_OK, FromBurner(PCID_RESULT, failed));
    EXPECT_TRUE(com::SameObject(project->BurnFlow().Preparing(), Unk(Stubs().editor))) << "the editor still prepares";
    ASSERT_EQ(S_OK, SourceReady(S_OK, tree));
    EXPECT_EQ(PCID_START, Stubs().burner->commands.back().id);
    EXPECT_EQ(std::vector<std::string>{"0"}, Stubs().burner->commands.back().values);
}

TEST_F(DataProjectTest, StartOfTheBurningFrameCarriesTheEditorsResult)
{
    ASSERT_NE(nullptr, OpenData());
    ASSERT_EQ(S_OK, FromBurner(PCID_REQUEST_BURN));
    ASSERT_EQ(S_OK, SourceReady(S_FALSE, tree));
    const SeenCommand& start = Stubs().burner->commands.back();
    EXPECT_EQ(PCID_START, start.id);
    EXPECT_TRUE(start.fromProject);
    EXPECT_EQ(std::vector<std::string>{"1"}, start.values);
}

TEST_F(DataProjectTest, CancelReachesWhicheverFrameIsWorkingAsTheBurningFrameSentIt)
{
    CCoMaravin* project = OpenData();
    ASSERT_NE(nullptr, project);
    // Nothing working: the cancel goes nowhere and still succeeds.
    EXPECT_EQ(S_OK, FromBurner(PCID_CANCEL));
    EXPECT_TRUE(CommandTrace().empty());

    // The stubs are made: change the live editor's script.
    Stubs().editor->script.answers[PCID_CANCEL] = E_FAIL;
    ASSERT_EQ(S_OK, FromBurner(PCID_REQUEST_BURN));
    EXPECT_EQ(S_OK, FromBurner(PCID_CANCEL)) << "the editor's answer is not passed on";
    const SeenCommand& relayed = Stubs().editor->commands.back();
    EXPECT_EQ(PCID_CANCEL, relayed.id);
    EXPECT_FALSE(relayed.fromProject) << "the sender is the burning frame";

    ASSERT_EQ(S_OK, SourceReady(S_OK, tree));
    EXPECT_EQ(S_OK, FromBurner(PCID_CANCEL));
    EXPECT_EQ(PCID_CANCEL, Stubs().burner->commands.back().id);
}

TEST_F(DataProjectTest, ASourceWithoutAFileTreeDoesNotStartTheBurningFrame)
{
    CCoMaravin* project = OpenData();
    ASSERT_NE(nullptr, project);
    ASSERT_EQ(S_OK, FromBurner(PCID_REQUEST_BURN));
    // The editor itself is no file tree; a null tree is none either.
    EXPECT_EQ(E_NOINTERFACE, SourceReady(S_OK, Unk(Stubs().editor)));
    EXPECT_EQ(E_POINTER, SourceReady(S_OK, nullptr));
    for (const std::string& line : CommandTrace()) EXPECT_NE("Burner 290 0", line);
    EXPECT_EQ("1", LastEnable(Stubs().editor));
    EXPECT_EQ("1", LastEnable(Stubs().burner));
    EXPECT_EQ(nullptr, project->BurnFlow().Preparing());
}

TEST_F(DataProjectTest, AKeptTreeIsReleasedByTheNextAndAskingWithoutOneLeavesTheOutValue)
{
    CCoMaravin* project = OpenData();
    ASSERT_NE(nullptr, project);
    IUnknown* const untouched = reinterpret_cast<IUnknown*>(0x5A5A5A5A);
    IUnknown* taken = untouched;
    EXPECT_EQ(E_FAIL, AskTree(&taken)) << "before any preparation";
    EXPECT_EQ(untouched, taken);

    com::ComPtr<IUnknown> second = MakeTree();
    ASSERT_EQ(S_OK, SourceReady(S_OK, tree));
    EXPECT_EQ(2u, RefCount(tree));
    ASSERT_EQ(S_OK, SourceReady(S_OK, second));
    EXPECT_EQ(1u, RefCount(tree)) << "the first tree is still held";
    EXPECT_EQ(2u, RefCount(second));

    ASSERT_EQ(S_OK, AskTree(&taken));
    EXPECT_TRUE(com::SameObject(taken, second));
    EXPECT_EQ(2u, RefCount(second)) << "the burning frame owns the one reference it got";
    taken->Release();
    EXPECT_EQ(1u, RefCount(second));

    taken = untouched;
    EXPECT_EQ(E_FAIL, AskTree(&taken)) << "asked twice";
    EXPECT_EQ(untouched, taken);
}

// --- the frames' questions ---

TEST_F(DataProjectTest, NumbersWithTwoMeaningsAreAnsweredBySender)
{
    Script(CLSID_StubBurner).onCommand = [](CStubFrame&, unsigned id, SAFEARRAY* data, HRESULT& result) {
        if (id != BFCID_GET_DEVICE_ID) return false;
        long* device = nullptr;
        result = ExtractFromSafearray(data, {{VT_I4 | VT_BYREF, &device}});
        if (SUCCEEDED(result)) *device = 0x00010203;
        if (SUCCEEDED(result)) result = S_FALSE;  // passed back unchanged
        return true;
    };
    CCoMaravin* project = OpenData();
    ASSERT_NE(nullptr, project);
    project->SetWillBeLoaded(1);
    IUnknown* panel = static_cast<ITaskBar*>(Stubs().panel);
    IUnknown* editor = Unk(Stubs().editor);
    IUnknown* burner = Unk(Stubs().burner);
    struct Row {
        const char* sender;
        IUnknown* component;
        unsigned id;
        HRESULT result;
        long answer;  // written into the sender's variable (-1: untouched)
        bool relayed;  // passed on to the burning frame as BFCID_GET_DEVICE_ID
    } rows[] = {
        {"editor asks the device", editor, DECID_GET_CURRENT_DEVICE_ID, S_FALSE, 0x00010203, true},
        {"burner asks the burn type", burner, BFCID_GET_BURN_TYPE, S_OK, BURN_TYPE_DATA, false},
        {"editor asks will-load", editor, DECID_GET_WILL_LOAD, S_OK, 1, false},
        {"task panel 4097", panel, 4097, E_COMMAND_NOT_HANDLED, -1, false},
        {"task panel 4099", panel, 4099, E_COMMAND_NOT_HANDLED, -1, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.sender);
        CommandTrace().clear();
        long value = -1;
        CVariantSafearray data(1);
        data.Create();
        ASSERT_EQ(S_OK, data.Prepare({{VT_I4 | VT_BYREF, &value}}));
        EXPECT_EQ(row.result, SendAs(project, row.component, row.id, data));
        EXPECT_EQ(row.answer, value);
        EXPECT_EQ(row.relayed ? std::vector<std::string>{"Burner 4596 byref"} : std::vector<std::string>{},
                  CommandTrace());
    }
}

TEST_F(DataProjectTest, DeviceQuestionTravelsInTheEditorsOwnArray)
{
    SAFEARRAY* seen = nullptr;
    bool fromProject = false;
    Script(CLSID_StubBurner).onCommand = [&](CStubFrame& burner, unsigned id, SAFEARRAY* data, HRESULT& result) {
        if (id != BFCID_GET_DEVICE_ID) return false;
        seen = data;
        fromProject = burner.commands.back().fromProject;
        result = E_ACCESSDENIED;
        return true;
    };
    ASSERT_NE(nullptr, OpenData());
    long value = 7;
    CVariantSafearray data(1);
    data.Create();
    ASSERT_EQ(S_OK, data.Prepare({{VT_I4 | VT_BYREF, &value}}));
    EXPECT_EQ(E_ACCESSDENIED, FromEditor(DECID_GET_CURRENT_DEVICE_ID, data));
    EXPECT_EQ(data.Get(), seen);
    EXPECT_TRUE(fromProject);
    EXPECT_EQ(7, value);
}

TEST_F(DataProjectTest, WillLoadFollowsTheLastSetting)
{
    CCoMaravin* project = OpenData();
    ASSERT_NE(nullptr, project);
    long value = -1;
    EXPECT_EQ(S_OK, AskNumber(Stubs().editor, DECID_GET_WILL_LOAD, &value));
    EXPECT_EQ(0, value);
    project->SetWillBeLoaded(1);
    EXPECT_EQ(S_OK, AskNumber(Stubs().editor, DECID_GET_WILL_LOAD, &value));
    EXPECT_EQ(1, value);
    project->SetWillBeLoaded(0);
    EXPECT_EQ(S_OK, AskNumber(Stubs().editor, DECID_GET_WILL_LOAD, &value));
    EXPECT_EQ(0, value);
}

TEST_F(DataProjectTest, BackAndNextMoveOnlyForTheirFrame)
{
    CCoMaravin* project = OpenData();
    ASSERT_NE(nullptr, project);
    struct Row {
        const char* name;
        bool fromEditor;
        unsigned id;
        int activeAfter;
    } rows[] = {
        {"Back from the editor", true, PCID_BACK, 0},
        {"Next from the burner", false, PCID_NEXT, 0},
        {"Next from the editor", true, PCID_NEXT, 1},
        {"Next from the editor again", true, PCID_NEXT, 1},
        {"Back from the editor", true, PCID_BACK, 1},
        {"Back from the burner", false, PCID_BACK, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(S_OK, row.fromEditor ? FromEditor(row.id) : FromBurner(row.id));
        EXPECT_EQ(row.activeAfter, project->ActiveFrameIndex());
    }
}

TEST_F(DataProjectTest, OwnCommandsOfAnySender)
{
    CCoMaravin* project = OpenData();
    ASSERT_NE(nullptr, project);
    HWND window = project->m_hWnd;
    EXPECT_EQ(E_INVALIDARG, project->InvokeCommand(nullptr, CLSID_CoMaravin, PCID_REQUEST_BURN, nullptr));
    EXPECT_EQ(E_FAIL, FromEditor(PCID_GET_CONTENTS_TEXT));
    EXPECT_EQ(E_COMMAND_NOT_HANDLED, FromEditor(4242));
    EXPECT_EQ(E_COMMAND_NOT_HANDLED, FromEditor(PCID_RESULT)) << "only the burning frame ends a burn";
    EXPECT_EQ(S_OK, FromEditor(PCID_CLOSE_PROJECT));
    EXPECT_TRUE(IsWindow(window)) << "the close is posted";
    CMainFrameStandIn::Pump();
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(DataProjectTest, AMissingBurningFrameIsNamedInTheFailureBox)
{
    Script(CLSID_StubBurner).failCreate = true;
    HRESULT hr = S_OK;
    std::vector<std::string> texts;
    {
        DialogDriver driver([](HWND box) { DialogDriver::Press(box, IDOK); });
        EXPECT_EQ(nullptr, Create<CCoMaravin>(&hr));
        texts = driver.Texts();
    }
    EXPECT_EQ(REGDB_E_CLASSNOTREG, hr);
    std::string all;
    for (const std::string& text : texts) all += text + "\n";
    EXPECT_NE(std::string::npos,
              all.find("Error: can't create CLSID_CoDrubeck, error code: 0x80040154. Maravin project type will not "
                       "be available."))
        << all;
}

// --- the size report ---

std::vector<unsigned char> SizeRecord(HWND window, ULONGLONG bytes)
{
    std::vector<unsigned char> record(32, 0);
    auto put = [&](size_t at, ULONGLONG value, size_t size) {
        for (size_t i = 0; i < size; ++i) record[at + i] = static_cast<unsigned char>(value >> (8 * i));
    };
    put(0, reinterpret_cast<ULONG_PTR>(window), 4);
    put(4, static_cast<ULONG>(GetWindowLongA(window, GWL_ID)), 4);
    put(8, 1000, 4);  // SIZEBARN_UPDATE
    put(12, 1, 2);    // data
    put(24, bytes, 8);
    return record;
}

TEST_F(DataProjectTest, SizeReportRecordByteForByte)
{
    HRESULT answer = S_OK;
    ULONGLONG size = 0x0000000123456789ULL;
    Script(CLSID_StubEditor).onCommand = [&](CStubFrame&, unsigned id, SAFEARRAY* data, HRESULT& result) {
        if (id != PCID_GET_IMAGE_SIZE) return false;
        ULONGLONG* out = nullptr;
        result = ExtractFromSafearray(data, {{VT_UI8 | VT_BYREF, &out}});
        if (SUCCEEDED(result) && SUCCEEDED(answer)) *out = size;
        if (SUCCEEDED(result)) result = answer;
        return true;
    };
    CCoMaravin* project = OpenData();
    ASSERT_NE(nullptr, project);
    HWND window = project->m_hWnd;
    ASSERT_FALSE(frame->notices.empty()) << "activation reports the size";
    EXPECT_EQ(SizeRecord(window, size), frame->notices.back().bytes);

    frame->notices.clear();
    size = 0x8877665544332211ULL;
    EXPECT_EQ(S_OK, FromEditor(PCID_IMAGE_SIZE_CHANGED));
    ASSERT_EQ(1u, frame->notices.size());
    EXPECT_EQ(static_cast<WPARAM>(GetWindowLongA(window, GWL_ID)), frame->notices[0].wParam);
    EXPECT_EQ(SizeRecord(window, size), frame->notices[0].bytes);

    // The editor cannot tell: nothing is reported on its change.
    frame->notices.clear();
    answer = E_ACCESSDENIED;
    EXPECT_EQ(E_ACCESSDENIED, FromEditor(PCID_IMAGE_SIZE_CHANGED));
    EXPECT_TRUE(frame->notices.empty());
}

TEST_F(DataProjectTest, ActivationReportsThatProjectsOwnSizeOrZero)
{
    std::map<CStubFrame*, HRESULT> answers;
    std::map<CStubFrame*, ULONGLONG> sizes;
    Script(CLSID_StubEditor).onCommand = [&](CStubFrame& editor, unsigned id, SAFEARRAY* data, HRESULT& result) {
        if (id != PCID_GET_IMAGE_SIZE) return false;
        ULONGLONG* out = nullptr;
        result = ExtractFromSafearray(data, {{VT_UI8 | VT_BYREF, &out}});
        if (SUCCEEDED(result)) *out = sizes[&editor];
        if (SUCCEEDED(result)) result = answers[&editor];
        return true;
    };
    CCoMaravin* first = OpenData();
    ASSERT_NE(nullptr, first);
    CStubFrame* firstEditor = Stubs().editor;
    CCoMaravin* second = OpenData();
    ASSERT_NE(nullptr, second);
    CStubFrame* secondEditor = Stubs().editor;
    sizes[firstEditor] = 2048;
    answers[firstEditor] = S_OK;
    sizes[secondEditor] = 4096;
    answers[secondEditor] = E_FAIL;  // writes its size, but fails

    struct Row {
        CCoMaravin* project;
        ULONGLONG reported;
    } rows[] = {{first, 2048}, {second, 0}, {first, 2048}};
    for (const Row& row : rows) {
        frame->notices.clear();
        SendMessageA(frame->Client(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(row.project->m_hWnd), 0);
        CMainFrameStandIn::Pump();
        ASSERT_FALSE(frame->notices.empty());
        EXPECT_EQ(SizeRecord(row.project->m_hWnd, row.reported), frame->notices.back().bytes);
    }
}

}  // namespace
