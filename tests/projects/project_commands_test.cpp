// Commands between the project and its frames: the panes and actions that
// frames add (own ids, menu items, the task panel), the relay of a click or
// a menu choice, Back and Next, enabling, check marks, the states of the
// standard commands, and the commands the main frame forwards.
#include "project_fixture.h"
#include <shared/variant_safearray.h>

namespace {

const unsigned NONE = NO_ACTION_ID;
const HRESULT NOT_HANDLED = E_COMMAND_NOT_HANDLED;

class Commands : public ProjectTest {
protected:
    void SetUp() override
    {
        ProjectTest::SetUp();
        project = Open();
        ASSERT_TRUE(project);
        editor = Stubs().editor;
        burner = Stubs().burner;
        panel = Stubs().panel;
        panel->calls.clear();
    }

    static HRESULT AddPane(CStubFrame* frame, unsigned pane, const char* caption)
    {
        CVariantSafearray data(3);
        data.Create();
        com::Bstr text(caption);
        data.Prepare({{VT_UI4, pane}, {VT_BSTR, text.Get()}, {VT_UI4, 0u}});
        return frame->Send(PCID_ADD_PANE, data);
    }
    static HRESULT AddAction(CStubFrame* frame, unsigned pane, unsigned action, const char* caption)
    {
        CVariantSafearray data(4);
        data.Create();
        com::Bstr text(caption);
        data.Prepare({{VT_UI4, pane}, {VT_UI4, action}, {VT_BSTR, text.Get()}, {VT_UI4, 0u}});
        return frame->Send(PCID_ADD_ACTION, data);
    }
    static HRESULT Rename(CStubFrame* frame, unsigned pane, unsigned action, const char* caption)
    {
        CVariantSafearray data(3);
        data.Create();
        com::Bstr text(caption);
        data.Prepare({{VT_UI4, pane}, {VT_UI4, action}, {VT_BSTR, text.Get()}});
        return frame->Send(PCID_RENAME_ACTION, data);
    }
    // The editor's pane 7 with actions 1 and 2, the burner's pane 9 with action 1.
    void AddStandardPanes()
    {
        ASSERT_EQ(S_OK, AddPane(editor, 7, "Edit\nthe disc"));
        ASSERT_EQ(S_OK, AddAction(editor, 7, 1, "Add files"));
        ASSERT_EQ(S_OK, AddAction(editor, 7, 2, "Add folder"));
        ASSERT_EQ(S_OK, AddPane(burner, 9, "Burn"));
        ASSERT_EQ(S_OK, AddAction(burner, 9, 1, "Erase"));
        editor->commands.clear();
        burner->commands.clear();
        panel->calls.clear();
    }
    // A panel click: command 96 with own ids, from the task panel.
    HRESULT Click(unsigned pane, unsigned action)
    {
        CVariantSafearray data(2);
        data.Create();
        data.Prepare({{VT_UI4, pane}, {VT_UI4, action}});
        return SendAs(project, static_cast<ITaskBar*>(panel), PCID_ACTIVE_CHANGED_NOTIFY, data);
    }
    HMENU Popup(int index) const { return GetSubMenu(project->ProjectMenu(), index); }
    static std::vector<std::string> Ids(const std::vector<SeenCommand>& seen)
    {
        std::vector<std::string> ids;
        for (const SeenCommand& c : seen) {
            std::string s = std::to_string(c.id);
            for (const std::string& v : c.values) s += " " + v;
            ids.push_back(s);
        }
        return ids;
    }

    CProjectBase* project = nullptr;
    CStubFrame* editor = nullptr;
    CStubFrame* burner = nullptr;
    CStubTaskPanel* panel = nullptr;
};

TEST_F(Commands, PanesAndActionsGetOwnIdsFrom2000InTheTaskPanelAndTheFramesPopups)
{
    AddStandardPanes();
    EXPECT_EQ((std::vector<std::string>{"2000:Edit", "2001:Add files", "2002:Add folder"}), MenuTexts(Popup(3)));
    EXPECT_EQ((std::vector<std::string>{"2003:Burn", "2004:Erase"}), MenuTexts(Popup(4)));
    unsigned pane = 0, action = 0;
    panel->real->GetPaneActiveAction(2000, &action);
    EXPECT_EQ(NONE, action);
    // A second pane of one frame, and an action id again, change nothing.
    EXPECT_EQ(E_FAIL, AddPane(editor, 8, "Again"));
    EXPECT_EQ(E_FAIL, AddAction(editor, 7, 1, "Again"));
    EXPECT_EQ((std::vector<std::string>{"2000:Edit", "2001:Add files", "2002:Add folder"}), MenuTexts(Popup(3)));
    // A frame's record is found by the frame, not by the pane id it passes.
    EXPECT_EQ(S_OK, AddAction(burner, 5, 5, "Verify"));
    EXPECT_EQ((std::vector<std::string>{"2003:Burn", "2004:Erase", "2005:Verify"}), MenuTexts(Popup(4)));
    (void)pane;
}

// A pane the task panel refuses leaves no record and no menu item: the
// frame may add its pane again, and its actions find no pane meanwhile.
TEST_F(Commands, APaneThePanelRefusesLeavesNoRecordOrMenuItem)
{
    const std::vector<std::string> before = MenuTexts(Popup(3));
    panel->refusePanes = true;
    EXPECT_EQ(E_FAIL, AddPane(editor, 7, "Edit"));
    EXPECT_EQ(before, MenuTexts(Popup(3)));
    EXPECT_EQ(E_FAIL, AddAction(editor, 7, 1, "Add files")) << "no record of the refused pane";
    EXPECT_EQ(before, MenuTexts(Popup(3)));
    panel->refusePanes = false;
    ASSERT_EQ(S_OK, AddPane(editor, 7, "Edit"));
    ASSERT_EQ(S_OK, AddAction(editor, 7, 1, "Add files"));
    const std::vector<std::string> after = MenuTexts(Popup(3));
    ASSERT_EQ(2u, after.size());
    EXPECT_NE(std::string::npos, after[0].find(":Edit"));
    EXPECT_NE(std::string::npos, after[1].find(":Add files"));
}

TEST_F(Commands, TheTaskPanelGetsWholeCaptionsAndTheMenuTheirFirstLine)
{
    ASSERT_EQ(S_OK, AddPane(editor, 7, "Edit\nthe disc"));
    ASSERT_EQ(S_OK, AddAction(editor, 7, 1, "Add files"));
    ASSERT_EQ(S_OK, Rename(editor, 7, NONE, "Compose\nyour disc"));
    ASSERT_EQ(S_OK, Rename(editor, 7, 1, "Add more files"));
    EXPECT_EQ((std::vector<std::string>{"AddPane 2000 Edit\nthe disc", "AddAction 2000 2001 Add files",
                                        "RenamePane 2000 Compose\nyour disc", "RenameAction 2000 2001 Add more files"}),
              panel->calls);
    EXPECT_EQ((std::vector<std::string>{"2000:Compose", "2001:Add more files"}), MenuTexts(Popup(3)));
}

TEST_F(Commands, ChangesAndIconsReachThePanelAndTheMenuOnlyWhenThePanelTookThem)
{
    AddStandardPanes();
    auto change = [&](unsigned action, const char* caption) {
        CVariantSafearray data(4);
        data.Create();
        com::Bstr text(caption);
        data.Prepare({{VT_UI4, 7u}, {VT_UI4, action}, {VT_BSTR, text.Get()}, {VT_UI4, 0u}});
        return editor->Send(PCID_CHANGE_ACTION, data);
    };
    struct Case {
        std::function<HRESULT()> act;
        HRESULT result;
        const char* panelCall;
        std::vector<std::string> menu;
    } cases[] = {
        {[&] { return change(1, "Add many files"); }, S_OK, "ChangeAction 2000 2001 Add many files",
         {"2000:Edit", "2001:Add many files", "2002:Add folder"}},
        // The panel does not change panes: the menu keeps its text.
        {[&] { return change(NONE, "Pane"); }, S_OK, "ChangePane 2000 Pane",
         {"2000:Edit", "2001:Add many files", "2002:Add folder"}},
        {[&] { return editor->SendUI4s(PCID_SET_ACTION_ICON, {7, 2, 0}); }, S_OK, "SetActionIcon 2000 2002", {}},
        {[&] { return editor->SendUI4s(PCID_SET_ACTION_ICON, {7, NONE, 0}); }, E_FAIL, "SetPaneIcon 2000", {}},
    };
    for (const Case& c : cases) {
        panel->calls.clear();
        EXPECT_EQ(c.result, c.act()) << c.panelCall;
        EXPECT_EQ(std::vector<std::string>{c.panelCall}, panel->calls);
        if (!c.menu.empty()) EXPECT_EQ(c.menu, MenuTexts(Popup(3))) << c.panelCall;
    }
}

// The menu popup a frame's first pane goes into, before and after.
struct InsertionCase {
    std::vector<std::string> before;  // "-" a separator, else an item text
    HRESULT result;
    std::vector<std::string> after;
};

TEST_F(Commands, TheFirstPaneOfAPopupReplacesItsPlaceholderOrFollowsASeparator)
{
    const InsertionCase cases[] = {
        {{"-"}, S_OK, {"2000:Edit"}},                          // the placeholder gives way
        {{}, E_FAIL, {}},                                       // an empty popup has no place
        {{"A"}, S_OK, {"100:A", "2000:Edit"}},                  // one item that is no separator stays
        {{"A", "B"}, S_OK, {"100:A", "101:B", "-", "2000:Edit"}},  // a filled popup gets a separator first
    };
    for (const InsertionCase& c : cases) {
        ResetScripts();
        frame = std::make_unique<CMainFrameStandIn>();
        project = Open();
        ASSERT_TRUE(project);
        editor = Stubs().editor;
        HMENU popup = Popup(3);
        while (GetMenuItemCount(popup)) DeleteMenu(popup, 0, MF_BYPOSITION);
        UINT id = 100;
        for (const std::string& item : c.before) {
            if (item == "-")
                AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
            else
                AppendMenuA(popup, MF_STRING, id++, item.c_str());
        }
        EXPECT_EQ(c.result, AddPane(editor, 7, "Edit"));
        EXPECT_EQ(c.after, MenuTexts(popup));
    }
}

TEST_F(Commands, ClicksAndMenuChoicesReachTheOwningFrameWithItsOwnIds)
{
    AddStandardPanes();
    struct Case {
        const char* what;
        std::function<HRESULT()> act;
        CStubFrame* target;
        std::string command;  // what the target sees
        int activeFrame;
    } cases[] = {
        {"burner's action clicked", [&] { return Click(2003, 2004); }, burner, "96 9 1", 1},
        {"editor's pane clicked", [&] { return Click(2000, NONE); }, editor, "96 7 4294967295", 0},
        {"burner's pane clicked", [&] { return Click(2003, NONE); }, burner, "96 9 4294967295", 1},
        {"editor's action chosen from the menu",
         [&] { return frame->Forward(2002) == 0 ? S_OK : E_FAIL; }, editor, "96 7 2", 0},
        {"burner's pane chosen from the menu",
         [&] { return frame->Forward(2003) == 0 ? S_OK : E_FAIL; }, burner, "96 9 4294967295", 1},
    };
    for (Case& c : cases) {
        editor->commands.clear();
        burner->commands.clear();
        EXPECT_EQ(S_OK, c.act()) << c.what;
        ASSERT_FALSE(c.target->commands.empty()) << c.what;
        // The relay comes first; the state questions of the active frame follow.
        EXPECT_EQ(c.command, Ids(c.target->commands).front()) << c.what;
        EXPECT_TRUE(c.target->commands.front().fromProject) << c.what;
        EXPECT_EQ(c.activeFrame, project->ActiveFrameIndex()) << c.what;
        EXPECT_TRUE(IsWindowVisible(c.target->window)) << c.what;
        CStubFrame* other = c.target == editor ? burner : editor;
        EXPECT_FALSE(IsWindowVisible(other->window)) << c.what;
        EXPECT_EQ(c.target->window.m_hWnd, project->Splitter().GetSplitterPane(1)) << c.what;
    }
    // Ids nobody owns are not consumed.
    EXPECT_EQ(E_FAIL, Click(2999, NONE));
}

TEST_F(Commands, AClickInTheTaskPanelReachesTheFrame)
{
    AddStandardPanes();
    HWND window = project->Splitter().GetSplitterPane(0);
    auto click = [&](unsigned pane, unsigned action) {
        RECT r = {};
        ASSERT_TRUE(panel->impl->ItemRect(pane, action, &r));
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(window, WM_MOUSEMOVE, 0, at);
        SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(window, WM_LBUTTONUP, 0, at);
    };
    click(2003, 2004);
    ASSERT_FALSE(burner->commands.empty());
    EXPECT_EQ("96 9 1", Ids(burner->commands).front());
    EXPECT_EQ(1, project->ActiveFrameIndex());
    click(2000, NONE);
    ASSERT_FALSE(editor->commands.empty());
    EXPECT_EQ("96 7 4294967295", Ids(editor->commands).front());
    EXPECT_EQ(0, project->ActiveFrameIndex());
}

TEST_F(Commands, NextAndBackSwitchFramesAndTheirPanes)
{
    AddStandardPanes();
    struct Case {
        CStubFrame* sender;
        unsigned command;
        int activeFrame;
        const char* panelCall;
    } cases[] = {
        {editor, PCID_NEXT, 1, "SetActive 2003 4294967295"},
        {burner, PCID_BACK, 0, "SetActive 2000 4294967295"},
        {burner, PCID_NEXT, 1, "SetActive 2003 4294967295"},
    };
    for (const Case& c : cases) {
        panel->calls.clear();
        EXPECT_EQ(S_OK, c.sender->Send(c.command));
        EXPECT_EQ(c.activeFrame, project->ActiveFrameIndex());
        EXPECT_EQ(std::vector<std::string>{c.panelCall}, panel->calls);
        HWND shown = project->FrameWindow(c.activeFrame), hidden = project->FrameWindow(1 - c.activeFrame);
        EXPECT_TRUE(IsWindowVisible(shown));
        EXPECT_FALSE(IsWindowVisible(hidden));
        // The active frame's pane item carries the check mark (in its own popup).
        UINT checkedPane = c.activeFrame == 0 ? 2000 : 2003;
        EXPECT_TRUE(State(project->ProjectMenu(), checkedPane) & MF_CHECKED);
    }
}

TEST_F(Commands, EnablingAndTheActiveActionShowInPanelAndMenu)
{
    AddStandardPanes();
    HMENU menu = project->ProjectMenu();
    struct Case {
        unsigned command, pane, action;
        HRESULT result;
        const char* panelCall;
    } cases[] = {
        {PCID_DISABLE_ACTION, 7, 1, S_OK, "EnableAction 2000 2001 0"},
        {PCID_ENABLE_ACTION, 7, 1, S_OK, "EnableAction 2000 2001 1"},
        {PCID_DISABLE_ACTION, 7, 2, S_OK, "EnableAction 2000 2002 0"},
        {PCID_DISABLE_ACTION, 7, 99, S_OK, nullptr},  // no such action: nothing, and no failure
        {PCID_SET_ACTIVE_ACTION, 7, 2, S_OK, "SetActive 2000 2002"},
        {PCID_SET_ACTIVE_ACTION, 7, 1, S_OK, "SetActive 2000 2001"},
    };
    for (const Case& c : cases) {
        panel->calls.clear();
        EXPECT_EQ(c.result, editor->SendUI4s(c.command, {c.pane, c.action}));
        if (c.panelCall)
            EXPECT_EQ(std::vector<std::string>{c.panelCall}, panel->calls);
        else
            EXPECT_TRUE(panel->calls.empty());
    }
    EXPECT_FALSE(State(menu, 2001) & MF_GRAYED);
    EXPECT_TRUE(State(menu, 2002) & MF_GRAYED);
    EXPECT_TRUE(State(menu, 2001) & MF_CHECKED);
    EXPECT_FALSE(State(menu, 2002) & MF_CHECKED);
    EXPECT_TRUE(State(menu, 2000) & MF_CHECKED);
    // The burning frame has no actions to mark in the editor's popup.
    EXPECT_EQ(E_FAIL, SendAs(project, static_cast<IUnknown*>(static_cast<ITaskBar*>(panel)), PCID_SET_ACTIVE_ACTION));
}

TEST_F(Commands, RemovingAPaneTakesItsActionsAlongFirstToLast)
{
    AddStandardPanes();
    EXPECT_EQ(S_OK, editor->SendUI4s(PCID_REMOVE_ACTION, {7, 2}));
    EXPECT_EQ(S_OK, editor->SendUI4s(PCID_REMOVE_PANE, {7}));
    EXPECT_EQ((std::vector<std::string>{"RemoveAction 2000 2002", "RemoveAction 2000 2001", "RemovePane 2000"}),
              panel->calls);
    EXPECT_TRUE(MenuTexts(Popup(3)).empty());
    EXPECT_EQ(E_FAIL, editor->SendUI4s(PCID_REMOVE_PANE, {7}));
    // The counter never goes back: a new pane of the burner's popup takes 2005.
    EXPECT_EQ(S_OK, burner->SendUI4s(PCID_REMOVE_PANE, {9}));
    ASSERT_EQ(E_FAIL, AddPane(burner, 9, "Burn")) << "the emptied popup has no place left";
}

TEST_F(Commands, TheActiveFrameDecidesTheStandardCommands)
{
    AddStandardPanes();
    HMENU menu = project->ProjectMenu();
    editor->script.enabledCommands = {ID_EDIT_COPY, ID_FILE_PRINT};
    EXPECT_EQ(S_OK, Click(2000, NONE));
    // The editor was asked once per standard command, in order.
    std::vector<std::string> asked;
    for (const SeenCommand& c : editor->commands)
        if (c.id == PCID_QUERY_ACTION_ENABLED) asked.push_back(c.values[0]);
    EXPECT_EQ((std::vector<std::string>{"57607", "57609", "57643", "57635", "57634", "57637"}), asked);
    for (UINT id : CActionsManager::STANDARD_COMMANDS) {
        bool on = id == ID_EDIT_COPY || id == ID_FILE_PRINT;
        EXPECT_EQ(on, !(State(menu, id) & MF_GRAYED)) << id;
    }
    // A frame that answers nothing greys all six.
    EXPECT_EQ(S_OK, Click(2003, NONE));
    for (UINT id : CActionsManager::STANDARD_COMMANDS) EXPECT_TRUE(State(menu, id) & MF_GRAYED) << id;
}

TEST_F(Commands, ForwardedCommandsGoToTheActiveFrameWindow)
{
    struct Case {
        WORD command;
        std::vector<std::string> editorSees;
    } cases[] = {
        {ID_FILE_PRINT, {"WM_COMMAND 57607"}},
        {ID_FILE_PRINT_PREVIEW, {"WM_COMMAND 57609"}},
        {ID_FILE_PRINT_SETUP, {"WM_COMMAND 57606"}},
        {ID_EDIT_PASTE, {"WM_PASTE", "WM_COMMAND 57637"}},
        {ID_EDIT_COPY, {}},  // between print setup and paste: not passed on
        {ID_EDIT_UNDO, {}},
    };
    for (const Case& c : cases) {
        editor->window.messages.clear();
        EXPECT_EQ(0, frame->Forward(c.command)) << c.command;
        EXPECT_EQ(c.editorSees, editor->window.messages) << c.command;
    }
    // With the burning frame active, its window gets them.
    EXPECT_EQ(S_OK, editor->Send(PCID_NEXT));
    frame->Forward(ID_FILE_PRINT);
    EXPECT_EQ(std::vector<std::string>{"WM_COMMAND 57607"}, burner->window.messages);
}

TEST_F(Commands, CommandsTheProjectDoesNotTake)
{
    unsigned pane = 0, action = 0;
    unsigned* panePtr = &pane;
    unsigned* actionPtr = &action;
    CVariantSafearray refs(2);
    refs.Create();
    refs.Prepare({{VT_UI4 | VT_BYREF, panePtr}, {VT_UI4 | VT_BYREF, actionPtr}});
    CVariantSafearray paneRef(2);
    paneRef.Create();
    paneRef.Prepare({{VT_UI4, 7u}, {VT_UI4 | VT_BYREF, actionPtr}});
    struct Case {
        IUnknown* sender;
        unsigned command;
        SAFEARRAY* data;
        HRESULT result;
    } cases[] = {
        {nullptr, PCID_NEXT, nullptr, E_INVALIDARG},
        {nullptr, PCID_ADD_PANE, nullptr, E_INVALIDARG},
        {static_cast<ICommandPerformer*>(editor), 5000, nullptr, NOT_HANDLED},
        {static_cast<ICommandPerformer*>(editor), BFCID_GET_BURN_TYPE, nullptr, NOT_HANDLED},
        {static_cast<ICommandPerformer*>(editor), PCID_GET_ACTIVE_ACTION, refs, E_FAIL},
        {static_cast<ICommandPerformer*>(editor), PCID_GET_PANE_ACTIVE_ACTION, paneRef, E_FAIL},
        {static_cast<ICommandPerformer*>(editor), PCID_ADD_PANE, nullptr, E_FAIL},  // no data
        {static_cast<ICommandPerformer*>(editor), PCID_ENABLE_ACTION, nullptr, S_OK},
    };
    for (const Case& c : cases) EXPECT_EQ(c.result, SendAs(project, c.sender, c.command, c.data)) << c.command;
}

}  // namespace
