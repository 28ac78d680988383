// The menu command bar of a running Tessaly.exe: drop-downs opened by Alt
// and a mnemonic, by Alt alone and the arrow keys, and by a click; their
// commands reach the frame; the selected item's prompt shows.
#include "tessaly_process.h"
#include <commctrl.h>
#include <memory>
#include <gtest/gtest.h>

namespace {

const LPARAM ALT_DOWN = 1 << 29;

class CommandBarTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_run.reset(new TessalyRun(m_install, "/x"));
        HWND box = m_run->WaitForWindow("#32770", "Error", 15000);
        ASSERT_TRUE(box);
        DismissBox(box);
        m_frame = m_run->WaitForFrame();
        ASSERT_TRUE(m_frame);
        HWND rebar = GetDlgItem(m_frame, 0xE803);
        m_bar = GetDlgItem(rebar, 0xE802);
        m_toolbar = GetDlgItem(rebar, 0xE800);
        m_status = GetDlgItem(m_frame, 0xE801);
        ASSERT_TRUE(m_bar && m_toolbar && m_status);
    }
    void TearDown() override
    {
        if (m_run->WaitExit(0) == STILL_ACTIVE) EXPECT_EQ(m_run->Close(), 0u);
    }

    HWND OpenMenu() const { return m_run->WaitForWindow("#32768", nullptr, 5000); }
    bool MenuGone() const
    {
        return WaitUntil([&] { return !m_run->WaitForWindow("#32768", nullptr, 0) ||
                                      !IsWindowVisible(m_run->WaitForWindow("#32768", nullptr, 0)); }, 5000);
    }
    std::string Status() const { return RemoteStatusText(m_status, m_run->Pid()); }

    TessalyInstall m_install{"[Data]\r\nShowExplorerInitially=0\r\n"};
    std::unique_ptr<TessalyRun> m_run;
    HWND m_frame = nullptr, m_bar = nullptr, m_toolbar = nullptr, m_status = nullptr;
};

TEST_F(CommandBarTest, AltAndAMnemonicOpenTheMenuWhoseCommandReachesTheFrame)
{
    ASSERT_TRUE(IsWindowVisible(m_toolbar));
    PostMessageA(m_frame, WM_SYSKEYDOWN, 'V', ALT_DOWN);
    ASSERT_TRUE(OpenMenu());
    // From the keyboard the first item is selected, and its prompt shows.
    EXPECT_TRUE(WaitUntil([&] { return Status() == "Show or hide the toolbar"; }, 5000)) << Status();
    PostMessageA(m_frame, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(MenuGone());
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(m_toolbar); }, 5000));
}

TEST_F(CommandBarTest, AltAloneLightsTheBarAndTheArrowsOpenAndMove)
{
    PostMessageA(m_frame, WM_SYSKEYDOWN, VK_MENU, ALT_DOWN);
    PostMessageA(m_frame, WM_SYSKEYUP, VK_MENU, ALT_DOWN | (1u << 30) | (1u << 31));
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(m_bar, TB_GETHOTITEM, 0, 0) == 0; }, 5000));
    PostMessageA(m_bar, WM_KEYDOWN, VK_RIGHT, 0);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(m_bar, TB_GETHOTITEM, 0, 0) == 1; }, 5000));
    PostMessageA(m_bar, WM_KEYDOWN, VK_DOWN, 0);  // opens View
    ASSERT_TRUE(OpenMenu());
    EXPECT_TRUE(WaitUntil([&] { return Status() == "Show or hide the toolbar"; }, 5000)) << Status();
    PostMessageA(m_frame, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(m_frame, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(MenuGone());
    EXPECT_TRUE(IsWindowVisible(m_toolbar));  // nothing was chosen
}

TEST_F(CommandBarTest, AClickOpensTheMenu)
{
    PostMessageA(m_bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));  // on "File"
    ASSERT_TRUE(OpenMenu());
    // Right from File: View, whose first item is chosen with Enter.
    PostMessageA(m_frame, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_TRUE(WaitUntil([&] { return Status() == "Show or hide the toolbar"; }, 5000)) << Status();
    PostMessageA(m_frame, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(MenuGone());
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(m_toolbar); }, 5000));
}

// However a drop-down was opened, once Escape has closed it and left the
// bar, Alt+F4 closes the program.
TEST_F(CommandBarTest, AltF4ClosesAfterAMenuWasLeftWithEscapeTwice)
{
    struct Opening {
        const char* name;
        void (*open)(HWND frame, HWND bar);
    };
    const Opening openings[] = {
        {"Alt+F", [](HWND frame, HWND) {
             PostMessageA(frame, WM_SYSKEYDOWN, VK_MENU, ALT_DOWN);
             PostMessageA(frame, WM_SYSKEYDOWN, 'F', ALT_DOWN);
         }},
        {"Alt, then Down", [](HWND frame, HWND bar) {
             PostMessageA(frame, WM_SYSKEYDOWN, VK_MENU, ALT_DOWN);
             PostMessageA(frame, WM_SYSKEYUP, VK_MENU, ALT_DOWN | (1u << 30) | (1u << 31));
             WaitUntil([&] { return SendMessageA(bar, TB_GETHOTITEM, 0, 0) == 0; }, 5000);
             PostMessageA(bar, WM_KEYDOWN, VK_DOWN, 0);
         }},
        {"a click", [](HWND, HWND bar) { PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10)); }},
    };
    for (const Opening& opening : openings) {
        SCOPED_TRACE(opening.name);
        if (m_run->WaitExit(0) != STILL_ACTIVE) {
            m_run.reset(new TessalyRun(m_install, "/x"));
            HWND box = m_run->WaitForWindow("#32770", "Error", 15000);
            ASSERT_TRUE(box);
            DismissBox(box);
            m_frame = m_run->WaitForFrame();
            m_bar = GetDlgItem(GetDlgItem(m_frame, 0xE803), 0xE802);
        }
        opening.open(m_frame, m_bar);
        ASSERT_TRUE(OpenMenu());
        PostMessageA(m_frame, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(m_frame, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(MenuGone());
        HWND focus = m_frame;
        PostMessageA(focus, WM_SYSKEYDOWN, VK_MENU, ALT_DOWN);
        PostMessageA(focus, WM_SYSKEYDOWN, VK_F4, ALT_DOWN);
        PostMessageA(focus, WM_SYSKEYUP, VK_F4, ALT_DOWN | (1u << 30) | (1u << 31));
        PostMessageA(focus, WM_SYSKEYUP, VK_MENU, (1u << 30) | (1u << 31));
        EXPECT_EQ(0u, m_run->WaitExit(10000));
    }
}

TEST(CommandBar, AMaximisedChildHasItsButtonsInTheBar)
{
    TessalyInstall install("[Data]\r\nMaximizeFirstChild=1\r\n");  // the explorer opens maximised
    TessalyRun run(install, "/x");
    HWND box = run.WaitForWindow("#32770", "Error", 15000);
    ASSERT_TRUE(box);
    DismissBox(box);
    HWND frame = run.WaitForFrame();
    HWND bar = GetDlgItem(GetDlgItem(frame, 0xE803), 0xE802);
    // The child's system-menu button before File, View, Window and Help.
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(bar, TB_BUTTONCOUNT, 0, 0) == 5; }, 5000));
    // Its restore button, second from the right end of the bar.
    RECT rc = {};
    GetClientRect(bar, &rc);
    const int height = rc.bottom - 6, width = height + 2;
    const int x = rc.right - 2 - width - 2 - width / 2;
    PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, rc.bottom / 2));
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(bar, TB_BUTTONCOUNT, 0, 0) == 4; }, 5000));
    EXPECT_EQ(run.Close(), 0u);
}

}  // namespace
