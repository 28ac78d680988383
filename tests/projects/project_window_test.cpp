// The project window's splitter with its collapse button, the wait dialog,
// and a project window shown with stub frames (set TB_HOLD_SECONDS to keep
// it on the screen for a screenshot).
#include "project_fixture.h"
#include "wait_dialog.h"
#include <shared/variant_safearray.h>
#include <cstdlib>

namespace {

class Splitter : public testing::Test {
protected:
    void SetUp() override
    {
        parent = CreateWindowExA(0, "STATIC", "host", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(parent);
        RECT r = {0, 0, 600, 400};
        ASSERT_TRUE(splitter.Create(parent, &r, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
        left = CreateWindowExA(0, "STATIC", "left", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, splitter, nullptr, nullptr, nullptr);
        right = CreateWindowExA(0, "STATIC", "right", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, splitter, nullptr, nullptr, nullptr);
        splitter.SetSplitterPanes(left, right);
    }
    void TearDown() override { DestroyWindow(parent); }

    static RECT InParent(HWND w)
    {
        return wnd::Window(w).GetRectInParent();
    }
    void Click() { SendMessageA(splitter, WM_COMMAND, MAKEWPARAM(IDC_SPLITTER_COLLAPSE, BN_CLICKED), reinterpret_cast<LPARAM>(splitter.CollapseButton())); }

    HWND parent = nullptr, left = nullptr, right = nullptr;
    CSplitterWindowExT<true> splitter;
};

TEST_F(Splitter, PositionsAreClampedSoThatTheBarStaysInside)
{
    struct Case {
        int asked, kept;
    } cases[] = {{180, 180}, {-1, 297}, {10000, 595}, {0, 0}, {-20, 0}, {595, 595}};
    for (const Case& c : cases) {
        splitter.SetSplitterPos(c.asked);
        EXPECT_EQ(c.kept, splitter.GetSplitterPos()) << c.asked;
        RECT l = InParent(left), r = InParent(right);
        EXPECT_EQ(c.kept, l.right) << c.asked;
        EXPECT_EQ(c.kept + 5, r.left) << c.asked;
        EXPECT_EQ(600, r.right) << c.asked;
    }
}

TEST_F(Splitter, ThePanesKeepTheirShareWhenTheWindowIsResized)
{
    splitter.SetSplitterPos(180);
    splitter.Move(0, 0, 1200, 400);
    EXPECT_EQ(360, splitter.GetSplitterPos());
    splitter.Move(0, 0, 600, 400);
    EXPECT_EQ(180, splitter.GetSplitterPos());
}

TEST_F(Splitter, TheCollapseButtonSitsOnTheBarAndBringsThePanelBackAtItsWidth)
{
    splitter.SetSplitterPos(180);
    RECT button = InParent(splitter.CollapseButton());
    EXPECT_EQ((RECT{180, 135, 186, 265}).left, button.left);
    EXPECT_EQ(186, button.right);
    EXPECT_EQ(135, button.top);
    EXPECT_EQ(265, button.bottom);

    Click();
    EXPECT_EQ(0, splitter.GetSplitterPos());
    EXPECT_EQ(0, InParent(splitter.CollapseButton()).left);
    EXPECT_EQ(0, InParent(right).left - 5);
    Click();
    EXPECT_EQ(180, splitter.GetSplitterPos());
    EXPECT_EQ(180, InParent(splitter.CollapseButton()).left);
    // Dragged elsewhere, then collapsed: the new width comes back.
    splitter.SetSplitterPos(240);
    Click();
    Click();
    EXPECT_EQ(240, splitter.GetSplitterPos());
    // Resizing keeps the button centred on the bar.
    splitter.Move(0, 0, 600, 300);
    button = InParent(splitter.CollapseButton());
    EXPECT_EQ(85, button.top);
    EXPECT_EQ(215, button.bottom);
}

// A panel that comes collapsed (a project saved so) is brought back by the
// button at the default width, since no width of its own is known.
TEST_F(Splitter, TheCollapseButtonBringsBackAPanelThatCameCollapsed)
{
    splitter.SetDefaultWidth(150);
    splitter.SetSplitterPos(0);
    Click();
    EXPECT_EQ(150, splitter.GetSplitterPos());
    EXPECT_EQ(150, InParent(splitter.CollapseButton()).left);
    Click();
    EXPECT_EQ(0, splitter.GetSplitterPos());
    Click();
    EXPECT_EQ(150, splitter.GetSplitterPos());
}

TEST_F(Splitter, TheButtonTracksTheMouseOverIt)
{
    HWND button = splitter.CollapseButton();
    SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(2, 20));
    EXPECT_TRUE(splitter.IsButtonHovered());
    SendMessageA(button, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(splitter.IsButtonHovered());
}

TEST_F(Splitter, DraggingTheBarMovesIt)
{
    splitter.SetSplitterPos(180);
    SendMessageA(splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(182, 20));
    SendMessageA(splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(252, 20));
    SendMessageA(splitter, WM_LBUTTONUP, 0, MAKELPARAM(252, 20));
    EXPECT_EQ(250, splitter.GetSplitterPos());
    EXPECT_EQ(250, InParent(left).right);
}

TEST(WaitDialog, ATextWiderThanTheBoxWidensIt)
{
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    int shortWidth = 0;
    {
        CWaitDialog wait(owner, "Initializing...");
        ASSERT_TRUE(wait.IsWindow());
        EXPECT_TRUE(wait.IsVisible());
        shortWidth = wnd::Width(wait.GetClientRect());
        HWND label = GetWindow(wait, GW_CHILD);
        EXPECT_EQ("Initializing...", wnd::Window(label).GetText());
    }
    std::string text(120, 'W');
    CWaitDialog wait(owner, text);
    HDC dc = GetDC(wait);
    HGDIOBJ old = SelectObject(dc, wait.GetFont());
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(wait, dc);
    RECT client = wait.GetClientRect();
    EXPECT_GT(size.cx, shortWidth);
    EXPECT_EQ(size.cx + 24, wnd::Width(client));
    EXPECT_EQ(wnd::Width(client), wnd::Width(wnd::Window(GetWindow(wait, GW_CHILD)).GetClientRect()));
    DestroyWindow(owner);
}

// A project window as the user sees it: the task panel with the frames'
// panes on the left, the editor on the right.
TEST_F(ProjectTest, AProjectWindowWithStubFramesShows)
{
    auto addPanes = [](CStubFrame& stub) {
        bool editor = stub.name == "Editor";
        CVariantSafearray pane(3);
        pane.Create();
        com::Bstr caption(editor ? "Compose the disc" : "Burn");
        pane.Prepare({{VT_UI4, 1u}, {VT_BSTR, caption.Get()}, {VT_UI4, 0u}});
        stub.Send(PCID_ADD_PANE, pane);
        const char* actions[] = {editor ? "Add files" : "Burn the disc", editor ? "Add folder" : "Erase the disc"};
        for (unsigned i = 0; i < 2; ++i) {
            CVariantSafearray action(4);
            action.Create();
            com::Bstr text(actions[i]);
            action.Prepare({{VT_UI4, 1u}, {VT_UI4, i + 1}, {VT_BSTR, text.Get()}, {VT_UI4, 0u}});
            stub.Send(PCID_ADD_ACTION, action);
        }
    };
    Script(CLSID_StubEditor).onWindowCreated = addPanes;
    Script(CLSID_StubBurner).onWindowCreated = addPanes;
    CProjectBase* project = Open();
    ASSERT_TRUE(project);
    ShowWindow(*frame, SW_SHOWNORMAL);
    SetWindowPos(*project, nullptr, 10, 10, 760, 520, SWP_NOZORDER);
    CMainFrameStandIn::Pump();
    UpdateWindow(*frame);

    HWND panel = project->Splitter().GetSplitterPane(0);
    EXPECT_TRUE(IsWindowVisible(panel));
    EXPECT_EQ(project->Splitter().GetSplitterPos(), wnd::Width(wnd::Window(panel).GetClientRect()));
    // The frames added their panes while their windows were made.
    EXPECT_EQ((std::vector<std::string>{"2000:Compose the disc", "2001:Add files", "2002:Add folder"}),
              MenuTexts(GetSubMenu(project->ProjectMenu(), 3)));
    EXPECT_EQ((std::vector<std::string>{"2003:Burn", "2004:Burn the disc", "2005:Erase the disc"}),
              MenuTexts(GetSubMenu(project->ProjectMenu(), 4)));
    EXPECT_TRUE(IsWindowVisible(project->Splitter().CollapseButton()));
    unsigned activePane = 0, activeAction = 0;
    Stubs().panel->real->GetActive(&activePane, &activeAction);
    EXPECT_EQ(2000u, activePane);

    if (const char* hold = std::getenv("TB_HOLD_SECONDS")) {
        DWORD until = GetTickCount() + 1000 * std::atoi(hold);
        while (GetTickCount() < until) {
            CMainFrameStandIn::Pump();
            Sleep(20);
        }
    }
}

}  // namespace
