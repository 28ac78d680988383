// File > New and the project-type dialog with the registered types: which
// types reach the list, the dialog skipped for the only bindable type, and
// the frame enabled again after the dialog, however it ends.
#include "standin/standin_project.h"
#include "tessaly_process.h"
#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

const char kApptype[] = "[Data]\r\nShowExplorerInitially=0\r\n";
const char kUnknownType[] = "{00000000-1111-2222-3333-444444444444}";  // no such component
const char kCaption[] = "Choose project type:";

size_t StandinWindows(HWND frame)
{
    size_t count = 0;
    for (HWND child : MdiChildren(frame))
        if (ClassOf(child) == "Standin Project Window") ++count;
    return count;
}

struct NewCase {
    const char* name;
    std::vector<std::pair<std::string, DWORD>> types;
    bool dialog;                      // false: no dialog, the stand-in opens at once
    std::vector<std::string> listed;  // the dialog's items, in order
    const char* refused;              // the service the second stand-in refuses, or null
};

// Sets an environment variable of this process (and so of the programs it
// starts) for one scope.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : m_name(name)
    {
        if (value) SetEnvironmentVariableA(name, value);
    }
    ~ScopedEnvironment() { SetEnvironmentVariableA(m_name, nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
private:
    const char* m_name;
};

class FileNewTest : public testing::TestWithParam<NewCase> {};

TEST_P(FileNewTest, OffersTheBindableTypesAndEnablesTheFrameAfter)
{
    const NewCase& c = GetParam();
    ScopedEnvironment refuse("TB_SECOND_STANDIN_REFUSES", c.refused);
    TessalyInstall install(kApptype);
    for (const auto& type : c.types) install.RegisterType(type.first, type.second);
    TessalyRun run(install);  // no project file: File > New at once
    HWND frame = run.WaitForFrame();
    ASSERT_TRUE(frame);
    if (!c.dialog) {
        ASSERT_TRUE(WaitUntil([&] { return StandinWindows(frame) == 1; }, 10000));
        EXPECT_FALSE(run.WaitForWindow("#32770", kCaption, 0));
        // Ended as a modal dialog ends: its owner takes input again.
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(frame) != FALSE; }, 5000));
    } else {
        HWND dialog = run.WaitForWindow("#32770", kCaption, 15000);
        ASSERT_TRUE(dialog);
        EXPECT_FALSE(IsWindowEnabled(frame));
        HWND list = GetDlgItem(dialog, 1001);
        EXPECT_EQ(c.listed, RemoteListItems(list, run.Pid()));
        EXPECT_EQ("OK", WindowText(GetDlgItem(dialog, IDOK)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));  // until an item is chosen
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(frame) != FALSE; }, 5000));
        EXPECT_EQ(0u, StandinWindows(frame));
    }
    EXPECT_EQ(run.Close(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Registered, FileNewTest,
    testing::Values(
        NewCase{"OneType", {{STANDIN_PROJECT_CLSID_TEXT, 1}}, false, {}, nullptr},
        NewCase{"OneBindableBesideAnUnknown", {{kUnknownType, 1}, {STANDIN_PROJECT_CLSID_TEXT, 2}}, false, {},
                nullptr},
        // A type that takes two of the three services is no bindable type.
        NewCase{"OneBindableBesideOneRefusingTheLogger",
                {{SECOND_STANDIN_PROJECT_CLSID_TEXT, 1}, {STANDIN_PROJECT_CLSID_TEXT, 2}}, false, {}, "logger"},
        NewCase{"OneBindableBesideOneRefusingTheSettings",
                {{SECOND_STANDIN_PROJECT_CLSID_TEXT, 1}, {STANDIN_PROJECT_CLSID_TEXT, 2}}, false, {}, "settings"},
        NewCase{"OneBindableBesideOneRefusingTheTranslator",
                {{SECOND_STANDIN_PROJECT_CLSID_TEXT, 1}, {STANDIN_PROJECT_CLSID_TEXT, 2}}, false, {}, "translator"},
        NewCase{"NoneGivesAnEmptyList", {}, true, {}, nullptr},
        // Listed by "Order", not by the registry's own order.
        NewCase{"TwoTypesInTheirOrder", {{STANDIN_PROJECT_CLSID_TEXT, 2}, {SECOND_STANDIN_PROJECT_CLSID_TEXT, 1}},
                true, {"Second stand-in", "Stand-in"}, nullptr},
        NewCase{"TwoTypesOneWithoutOrder",
                {{SECOND_STANDIN_PROJECT_CLSID_TEXT, 0xFFFFFFFF}, {STANDIN_PROJECT_CLSID_TEXT, 7}}, true,
                {"Stand-in", "Second stand-in"}, nullptr}),
    [](const testing::TestParamInfo<NewCase>& info) { return std::string(info.param.name); });

TEST(StartupDialog, TheChosenTypeOpensWithItsDescriptionShown)
{
    TessalyInstall install(kApptype);
    install.RegisterType(STANDIN_PROJECT_CLSID_TEXT, 1);
    install.RegisterType(SECOND_STANDIN_PROJECT_CLSID_TEXT, 2);
    TessalyRun run(install);
    HWND frame = run.WaitForFrame();
    HWND dialog = run.WaitForWindow("#32770", kCaption, 15000);
    ASSERT_TRUE(frame && dialog);
    HWND list = GetDlgItem(dialog, 1001);
    // The last item is chosen from the keyboard.
    PostMessageA(list, WM_KEYDOWN, VK_END, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE; }, 5000));
    EXPECT_EQ("A stand-in project type", WindowText(GetDlgItem(dialog, 1002)));
    EXPECT_EQ(1, SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return StandinWindows(frame) == 1; }, 10000));
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_TRUE(IsWindowEnabled(frame));
    EXPECT_EQ(run.Close(), 0u);
}

// The list copies each type's icon; the handles the types hand out are
// destroyed, not leaked once per type on every File > New.
TEST(StartupDialog, DestroysTheIconsItWasHandedOut)
{
    TessalyInstall install(kApptype);
    StandinEvents events(install);
    install.RegisterType(STANDIN_PROJECT_CLSID_TEXT, 1);
    install.RegisterType(SECOND_STANDIN_PROJECT_CLSID_TEXT, 2);
    TessalyRun run(install);
    HWND dialog = run.WaitForWindow("#32770", kCaption, 15000);
    ASSERT_TRUE(dialog);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] {
        const std::string text = events.Text();
        size_t ends = 0;
        for (size_t at = text.find("icons left "); at != std::string::npos; at = text.find("icons left ", at + 1))
            ++ends;
        return ends == 2;
    }, 10000)) << events.Text();
    EXPECT_EQ(events.Text(), "icons left 0\nicons left 0\n");
    EXPECT_EQ(run.Close(), 0u);
}

// File > Open offers the registered types' patterns as the installer wrote
// them into the language file, in the types' order, after an entry of every
// supported pattern.
TEST(FileOpen, OffersThePatternsOfTheRegisteredTypes)
{
    TessalyInstall install(kApptype);
    install.RegisterType(SECOND_STANDIN_PROJECT_CLSID_TEXT, 2, "Second project", "*.qvsecond *.qvs");
    install.RegisterType(STANDIN_PROJECT_CLSID_TEXT, 1, "Standin project", "*.qvdata *.qvs");
    TessalyRun run(install);
    HWND frame = run.WaitForFrame();
    HWND chooser = run.WaitForWindow("#32770", kCaption, 15000);
    ASSERT_TRUE(frame && chooser);
    PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }, 5000));

    PostMessageA(frame, WM_COMMAND, 0xE101, 0);  // File > Open
    HWND open = run.WaitForWindow("#32770", "Open", 15000);
    ASSERT_TRUE(open);
    HWND types = GetDlgItem(open, 0x470);  // the file-type list
    EXPECT_EQ(RemoteComboItems(types),
              (std::vector<std::string>{"All supported files (*.qvdata;*.qvs;*.qvsecond)",
                                        "Standin project (*.qvdata;*.qvs)", "Second project (*.qvsecond;*.qvs)",
                                        "All files (*.*)"}));
    PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(open); }, 5000));
    EXPECT_EQ(run.Close(), 0u);
}

#ifdef TB_WITH_MARAVIN
// The data-disc project with the frames the build registered: the window
// turns visible only after its WM_CREATE has made every frame, which the
// real frames take their time over, so visibility is waited for.
TEST(FileNew, TheDataDiscProjectOpensWithItsThreeFrames)
{
    TessalyInstall install(kApptype);
    install.RegisterType("{2EECB0E1-0EE1-4541-87B1-D135261D0108}", 1);  // Maravin.dll, the only type
    TessalyRun run(install);
    HWND frame = run.WaitForFrame();
    ASSERT_TRUE(frame);
    HWND project = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (HWND child : MdiChildren(frame))
            if (WindowText(child) == "Data#1" && IsWindowVisible(child)) project = child;
        return project != nullptr;
    }, 20000));
    // A new data project first asks what to do with the disc: a new one.
    HWND question = run.WaitForWindow("#32770", "New project", 10000);
    ASSERT_TRUE(question);
    EXPECT_FALSE(IsWindowEnabled(frame)) << "the question is modal";
    PostMessageA(question, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }, 5000));
    EXPECT_TRUE(IsWindowEnabled(frame));
    EXPECT_FALSE(run.WaitForWindow("#32770", kCaption, 0));
    // The splitter holds the task panel and the data editor side by side;
    // the burning frame waits hidden beside them until Next.
    HWND splitter = GetWindow(project, GW_CHILD);
    ASSERT_TRUE(splitter);
    HWND panel = nullptr, editor = nullptr, burner = nullptr;
    for (HWND pane = GetWindow(splitter, GW_CHILD); pane; pane = GetWindow(pane, GW_HWNDNEXT)) {
        if (ClassOf(pane) == "TaskPanelXP") panel = pane;
        else if (ClassOf(pane) == "#32770") burner = pane;
        else editor = pane;
    }
    ASSERT_TRUE(panel && editor && burner);
    EXPECT_TRUE(IsWindowVisible(panel));
    EXPECT_TRUE(IsWindowVisible(editor));
    EXPECT_FALSE(IsWindowVisible(burner));
    RECT left, right;
    GetWindowRect(panel, &left);
    GetWindowRect(editor, &right);
    EXPECT_LE(left.right, right.left);  // task panel on the left
    EXPECT_GT(right.right - right.left, 0);
    // Maximised, its system-menu button in the menu bar shows the type's
    // icon (the folder's yellow on the disc), not the system's blank one.
    // (Under Wine, WM_GETICON from another process answers nothing.)
    SetWindowPos(frame, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    PostMessageA(project, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    HWND bar = GetDlgItem(GetDlgItem(frame, 0xE803), 0xE802);
    EXPECT_TRUE(WaitUntil([&] {
        RECT r;
        GetWindowRect(bar, &r);
        HDC screen = GetDC(nullptr);
        bool yellow = false;
        for (int y = r.top; y < r.bottom && !yellow; ++y)
            for (int x = r.left; x < r.left + 40 && !yellow; ++x) {
                const COLORREF c = GetPixel(screen, x, y);
                yellow = GetRValue(c) > 0xE0 && GetGValue(c) > 0xA8 && GetGValue(c) < 0xD8 && GetBValue(c) < 0x40;
            }
        ReleaseDC(nullptr, screen);
        return yellow;
    }, 5000)) << "no project icon on the maximised child's button";
    SetWindowPos(frame, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(run.Close(), 0u);
}

// The program closed while the data editor's first question is open: the
// question goes with the project, and the program ends cleanly.
TEST(FileNew, ClosingWhileTheNewProjectQuestionIsOpenEndsCleanly)
{
    TessalyInstall install(kApptype);
    install.RegisterType("{2EECB0E1-0EE1-4541-87B1-D135261D0108}", 1);  // Maravin.dll, the only type
    TessalyRun run(install);
    ASSERT_TRUE(run.WaitForFrame());
    ASSERT_TRUE(run.WaitForWindow("#32770", "New project", 20000));
    EXPECT_EQ(run.Close(), 0u);
}
#endif

}  // namespace
