// Creating a project: its components from the frame table, partnered and
// bound, their windows in the splitter, the menu merged into the main
// frame; the failures of a component, and the window's own answers.
#include "project_fixture.h"
#include <shared/guid_text.h>

namespace {

using Creation = ProjectTest;

TEST_F(Creation, MakesPartnersAndBindsTheFrameTableThenShowsTheFirstFrame)
{
    CProjectBase* project = Create();
    ASSERT_TRUE(project);
    ASSERT_TRUE(Stubs().editor && Stubs().burner && Stubs().panel);
    // Partnered without a reference: only the test holds the project.
    EXPECT_EQ(1u, RefCount(project->Self()));
    EXPECT_TRUE(com::SameObject(Stubs().editor->partner, project->Self()));
    EXPECT_TRUE(com::SameObject(Stubs().burner->partner, project->Self()));

    ASSERT_EQ(S_OK, frame->OpenChild(project));
    CMainFrameStandIn::Pump();
    EXPECT_EQ(S_OK, project->GetLastError());
    for (CStubFrame* stub : {Stubs().editor, Stubs().burner}) {
        EXPECT_EQ((std::vector<std::string>{"logger", "settings", "translator"}), stub->bound) << stub->name;
        ASSERT_FALSE(stub->commands.empty());
        const SeenCommand& first = stub->commands.front();
        EXPECT_EQ(PCID_SET_BUTTONS_POS, first.id);
        EXPECT_TRUE(first.fromProject);
        ASSERT_EQ(4u, first.values.size());
        EXPECT_GT(std::stoul(first.values[2]), 0u);  // width
        EXPECT_GT(std::stoul(first.values[3]), 0u);  // height
    }

    HWND splitter = project->Splitter();
    HWND panel = nullptr;
    Stubs().panel->GetOwnWindow(&panel);
    EXPECT_EQ(splitter, GetParent(Stubs().editor->window));
    EXPECT_EQ(splitter, GetParent(Stubs().burner->window));
    EXPECT_EQ(splitter, GetParent(panel));
    EXPECT_EQ(panel, project->Splitter().GetSplitterPane(0));
    EXPECT_EQ(Stubs().editor->window.m_hWnd, project->Splitter().GetSplitterPane(1));
    EXPECT_TRUE(IsWindowVisible(Stubs().editor->window));
    EXPECT_FALSE(IsWindowVisible(Stubs().burner->window));
    EXPECT_EQ(180, project->Splitter().GetSplitterPos());
    EXPECT_EQ(0, project->ActiveFrameIndex());

    // An MDI child of the frame, whose menu the frame now shows.
    EXPECT_EQ(frame->Client(), GetParent(*project));
    EXPECT_TRUE(GetWindowLongA(*project, GWL_EXSTYLE) & WS_EX_MDICHILD);
    EXPECT_EQ(project->m_hWnd, frame->ActiveChild());
    EXPECT_EQ(project->ProjectMenu(), GetMenu(*frame));
    // The window holds the project until its last message.
    EXPECT_EQ(2u, RefCount(project->Self()));
}

TEST_F(Creation, TitlesCountTheProjectWindowsOfTheModule)
{
    CProjectBase* first = Open();
    CProjectBase* second = Open();
    ASSERT_TRUE(first && second);
    int n = std::atoi(first->Title().c_str() + 5);
    EXPECT_EQ("Data#", first->Title().substr(0, 5));
    EXPECT_EQ("Data#" + std::to_string(n + 1), second->Title());
    EXPECT_EQ(second->Title(), second->GetText());
    EXPECT_EQ(second->m_hWnd, frame->ActiveChild());
}

struct FailingRow {
    const CLSID* clsid;
    bool noPartner;  // made, but cannot be partnered; else not made at all
    HRESULT result;
    const char* text;
};

TEST_F(Creation, AComponentThatCannotBeCreatedGivesTheBoxAndNoProject)
{
    const FailingRow rows[] = {
        {&CLSID_StubTaskPanel, false, REGDB_E_CLASSNOTREG, "can't create CLSID_CoPanelCtrl"},
        {&CLSID_StubEditor, false, REGDB_E_CLASSNOTREG, "can't create CLSID_CoStubEditor"},
        {&CLSID_StubBurner, false, REGDB_E_CLASSNOTREG, "can't create CLSID_CoDrubeck"},
        {&CLSID_StubBurner, true, E_NOINTERFACE, "can't query ICommandPerformer from m_compDrubeck"},
    };
    for (const FailingRow& row : rows) {
        ResetScripts();
        Script(*row.clsid).failCreate = !row.noPartner;
        Script(*row.clsid).noCommandPerformer = row.noPartner;
        HRESULT hr = S_OK;
        std::vector<std::string> texts;
        {
            DialogDriver driver([](HWND box) { DialogDriver::Press(box, IDOK); });
            EXPECT_EQ(nullptr, Create(&hr));
            texts = driver.Texts();
        }
        EXPECT_EQ(row.result, hr) << row.text;
        char code[16];
        std::snprintf(code, sizeof code, "0x%x", static_cast<unsigned>(row.result));
        std::string expected = std::string("Error: ") + row.text + ", error code: " + code +
                               ". Testar project type will not be available.";
        ASSERT_EQ(2u, texts.size()) << row.text;
        EXPECT_EQ("Testar", texts[0]);
        EXPECT_EQ(expected, texts[1]);
        EXPECT_EQ(nullptr, GetWindow(frame->Client(), GW_CHILD));
        EXPECT_EQ(nullptr, Stubs().editor) << "components made before the failure go with the object";
    }
}

TEST_F(Creation, AFrameWindowThatFailsLeavesNothingInTheClient)
{
    for (const CLSID* failing : {&CLSID_StubEditor, &CLSID_StubBurner}) {
        ResetScripts();
        Script(*failing).failWindow = true;
        CProjectBase* project = Create();
        ASSERT_TRUE(project);
        EXPECT_EQ(E_FAIL, frame->OpenChild(project));
        CMainFrameStandIn::Pump();
        EXPECT_EQ(E_FAIL, project->GetLastError());
        EXPECT_EQ(nullptr, GetWindow(frame->Client(), GW_CHILD));
        EXPECT_FALSE(project->IsWindow());
        EXPECT_EQ(1u, RefCount(project->Self())) << "the failed window gave its reference back";
    }
}

TEST_F(Creation, AFrameOfferingOwnWindowExGetsTheModeItsTypeAsksFor)
{
    Script(CLSID_StubEditor).offersOwnWindowEx = true;
    Script(CLSID_StubBurner).offersOwnWindowEx = true;
    ASSERT_TRUE(Open<CCoTestProjectEx>());
    EXPECT_EQ(1, Stubs().editor->windowMode);
    // No mode for the burning frame: its plain window.
    EXPECT_EQ(-1, Stubs().burner->windowMode);
    EXPECT_TRUE(Stubs().burner->window.IsWindow());
}

TEST_F(Creation, AnswersTheQueryForItsProject)
{
    CProjectBase* project = Open();
    ASSERT_TRUE(project);
    ULONG before = RefCount(project->Self());
    EXPECT_EQ(0, SendMessageA(*project, WM_QUERYPROJECTUNKNOWN, 0, 0));
    EXPECT_EQ(before, RefCount(project->Self()));
    IUnknown* answer = nullptr;
    EXPECT_EQ(1, SendMessageA(*project, WM_QUERYPROJECTUNKNOWN, reinterpret_cast<WPARAM>(&answer), 0));
    EXPECT_TRUE(com::SameObject(answer, project->Self()));
    EXPECT_EQ(before + 1, RefCount(project->Self()));
    answer->Release();
}

TEST_F(Creation, NamesAndDescriptionComeFromTheModule)
{
    CProjectBase* project = Create();
    ASSERT_TRUE(project);
    com::Bstr name, description;
    EXPECT_EQ(S_OK, project->GetName(&name));
    EXPECT_EQ("Test CD/DVD", name.Ansi());
    EXPECT_EQ(S_OK, project->GetDescription(&description));
    EXPECT_EQ("Allows to test the project framework.", description.Ansi());
    EXPECT_EQ(E_POINTER, project->GetName(nullptr));
    EXPECT_TRUE(services.logger->Logged("ERROR: a_pbsProjectName is NULL"));
    HICON icon = nullptr;
    EXPECT_EQ(S_OK, project->GetIcon(&icon));
    DestroyIcon(icon);
}

TEST_F(Creation, ActivationTellsTheTypeAndSwitchesTheFramesMenu)
{
    auto* first = static_cast<CCoTestProject*>(Open());
    auto* second = static_cast<CCoTestProject*>(Open());
    ASSERT_TRUE(first && second);
    int before = first->activations;
    EXPECT_EQ(second->ProjectMenu(), GetMenu(*frame));
    SendMessageA(frame->Client(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(first->m_hWnd), 0);
    CMainFrameStandIn::Pump();
    EXPECT_EQ(before + 1, first->activations);
    EXPECT_EQ(first->ProjectMenu(), GetMenu(*frame));
    // Menu selections of the project's menu go to the main window.
    SendMessageA(*first, WM_MENUSELECT, MAKEWPARAM(ID_FILE_SAVE, 0), reinterpret_cast<LPARAM>(first->ProjectMenu()));
    EXPECT_EQ(1, frame->menuSelects);
}

TEST_F(Creation, TheWindowKeepsItsMinimumTrackingSize)
{
    CProjectBase* project = Open();
    ASSERT_TRUE(project);
    MINMAXINFO info = {};
    SendMessageA(*project, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(425, info.ptMinTrackSize.x);
    EXPECT_EQ(360, info.ptMinTrackSize.y);
}

}  // namespace
