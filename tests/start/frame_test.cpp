// The main frame of a running Tessaly.exe: its class, caption, size and
// children; the space measure bar's updates; prompts in the status bar.
#include "tessaly_process.h"
#include <frame_messages.h>
#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

TEST(Frame, HasItsClassCaptionSizeAndChildren)
{
    TessalyInstall install("[Data]\r\nTitle=Frame Test Title\r\nShowExplorerInitially=0\r\n");
    TessalyRun run(install, "/x");
    HWND box = run.WaitForWindow("#32770", "Error", 15000);
    ASSERT_TRUE(box);
    DismissBox(box);
    HWND frame = run.WaitForFrame();
    ASSERT_TRUE(frame);
    EXPECT_EQ(ClassOf(frame), "TessalyWindowClassT");
    EXPECT_EQ(WindowText(frame), "Frame Test Title");
    RECT rc = {};
    GetWindowRect(frame, &rc);
    EXPECT_EQ(rc.right - rc.left, 800);
    EXPECT_EQ(rc.bottom - rc.top, 600);

    struct Expected {
        const char* className;
        int id;
    };
    const Expected frameChildren[] = {
        {"ReBarWindow32", 0xE803}, {"msctls_statusbar32", 0xE801}, {"Space Measure Bar", 0x401}, {"MDIClient", 0xE900}};
    for (const Expected& e : frameChildren) {
        HWND child = GetDlgItem(frame, e.id);
        ASSERT_TRUE(child) << e.className;
        EXPECT_EQ(ClassOf(child), e.className);
        EXPECT_TRUE(IsWindowVisible(child)) << e.className;
    }
    HWND rebar = GetDlgItem(frame, 0xE803);
    const Expected bands[] = {{"WTL_CommandBarXP", 0xE802}, {"ToolbarWindow32", 0xE800}};
    for (const Expected& e : bands) {
        HWND child = GetDlgItem(rebar, e.id);
        ASSERT_TRUE(child) << e.className;
        EXPECT_EQ(ClassOf(child), e.className);
    }
    EXPECT_EQ(SendMessageA(rebar, RB_GETBANDCOUNT, 0, 0), 2);
    // The menu's top-level items are the command bar's buttons.
    EXPECT_EQ(SendMessageA(GetDlgItem(rebar, 0xE802), TB_BUTTONCOUNT, 0, 0), 3);
    // The toolbar's Save button follows the menu: the frame's menu has no Save.
    HWND toolbar = GetDlgItem(rebar, 0xE800);
    EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONENABLED, 0xE103, 0));
    EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONENABLED, 0xE100, 0));
    // The space bar and the MDI client share what the bars leave.
    RECT client = {}, space = {}, mdi = {};
    GetClientRect(frame, &client);
    GetWindowRect(GetDlgItem(frame, 0x401), &space);
    GetWindowRect(GetDlgItem(frame, 0xE900), &mdi);
    EXPECT_EQ(space.bottom - space.top, 36);
    EXPECT_EQ(space.right - space.left, client.right);
    EXPECT_EQ(mdi.bottom, space.top);
    EXPECT_EQ(run.Close(), 0u);
}

TEST(Frame, TheMenuPromptShowsInTheStatusBar)
{
    TessalyInstall install("[Data]\r\nShowExplorerInitially=0\r\n");
    TessalyRun run(install, "/x");
    HWND box = run.WaitForWindow("#32770", "Error", 15000);
    ASSERT_TRUE(box);
    DismissBox(box);
    HWND frame = run.WaitForFrame();
    HWND status = GetDlgItem(frame, 0xE801);
    struct Case {
        UINT id;
        const char* prompt;
    };
    // The frame's own identifiers in the system-command range show theirs.
    const Case cases[] = {{0xF153, "Show or hide the space bar"},
                          {0xF155, "Show the explorer window"},
                          {0xF000, "Change the window size"},
                          {0xE112, "Open this project"},
                          {0xE100, "Create a new project"}};
    for (const Case& c : cases) {
        SendMessageA(frame, WM_MENUSELECT, MAKEWPARAM(c.id, MF_STRING), reinterpret_cast<LPARAM>(frame));
        EXPECT_EQ(RemoteStatusText(status, run.Pid()), c.prompt) << std::hex << c.id;
    }
    EXPECT_EQ(run.Close(), 0u);
}

}  // namespace
