// Opening project files from the command line and the recent-file list,
// with the stand-in project type: the messages of each failure, the
// recent-file registry, the protocol messages to the project window.
#include "standin/standin_project.h"
#include "tessaly_process.h"
#include <gtest/gtest.h>

namespace {

const char kApptype[] = "[Data]\r\nShowExplorerInitially=0\r\n";

std::string SaveFile(const std::string& section, const std::string& note = "")
{
    return "<?xml version=\"1.0\" standalone=\"no\" ?>\r\n<Tavell_Burner_save_file version=\"1.0\">\r\n"
           "    <" + section + " note=\"" + note + "\" />\r\n</Tavell_Burner_save_file>\r\n";
}

std::string RecentValue(const TessalyInstall& install, const char* name)
{
    char value[MAX_PATH] = "";
    DWORD size = sizeof(value);
    if (RegGetValueA(HKEY_CURRENT_USER, install.RecentKey().c_str(), name, RRF_RT_REG_SZ | RRF_RT_REG_DWORD, nullptr,
                     value, &size) != ERROR_SUCCESS)
        return "<none>";
    return value;
}

DWORD RecentCount(const TessalyInstall& install)
{
    DWORD count = 0, size = sizeof(count);
    RegGetValueA(HKEY_CURRENT_USER, install.RecentKey().c_str(), "DocumentCount", RRF_RT_REG_DWORD, nullptr, &count,
                 &size);
    return count;
}

HWND StandinWindow(HWND frame)
{
    for (HWND child : MdiChildren(frame))
        if (ClassOf(child) == "Standin Project Window") return child;
    return nullptr;
}

struct OpenFailure {
    const char* name;
    bool registerStandin;
    std::string content;  // empty: a save file with the section, marked damaged
    const char* section;
    const char* text;     // %s: the application's name
};

// A save file of the stand-in whose section holds `depth` nested folders.
std::string NestedSaveFile(int depth)
{
    std::string nodes;
    nodes.reserve(depth * 13);
    for (int i = 0; i < depth; ++i) nodes += "<Node>";
    for (int i = 0; i < depth; ++i) nodes += "</Node>";
    std::string file = SaveFile(STANDIN_PROJECT_SECTION);
    const size_t at = file.find(" />");
    return file.substr(0, at) + ">" + nodes + "</" STANDIN_PROJECT_SECTION ">" + file.substr(at + 3);
}

const char kNotASaveFile[] = "This is not a %s savefile, it cannot be opened.";

class OpenFailureTest : public testing::TestWithParam<OpenFailure> {};

TEST_P(OpenFailureTest, ShowsItsMessageAndOpensNoWindow)
{
    const OpenFailure& c = GetParam();
    TessalyInstall install(kApptype);
    StandinEvents events(install);
    if (c.registerStandin) install.RegisterStandin();
    const std::string file = install.File("project.qvdata");
    WriteFileBytes(file, !c.content.empty() ? c.content : SaveFile(c.section, "damaged"));
    TessalyRun run(install, "\"" + file + "\"");
    HWND box = run.WaitForWindow("#32770", install.Name().c_str(), 15000);
    ASSERT_TRUE(box) << c.name;
    char expected[512];
    snprintf(expected, sizeof(expected), c.text, install.Name().c_str());
    EXPECT_EQ(MessageBoxText(box), expected);
    DismissBox(box);
    HWND frame = run.WaitForFrame();
    WaitUntil([&] { return !IsWindow(box); }, 5000);
    // A half-loaded project's window goes only once the box has returned.
    EXPECT_TRUE(WaitUntil([&] { return StandinWindow(frame) == nullptr; }, 5000));
    // A project whose load failed is destroyed without being asked to
    // close, so it offers no save of what it half loaded.
    EXPECT_FALSE(events.Has("asked to close")) << events.Text();
    EXPECT_EQ(RecentValue(install, "Document1"), "<none>");
    EXPECT_EQ(run.Close(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Files, OpenFailureTest,
    testing::Values(
        OpenFailure{"not_a_save_file", true, "just some text", nullptr, kNotASaveFile},
        // Cut short, or nested deeper than any reader's stack: no project file either.
        OpenFailure{"truncated", true, SaveFile(STANDIN_PROJECT_SECTION).substr(0, 100), nullptr, kNotASaveFile},
        OpenFailure{"nested_20000_deep", true, NestedSaveFile(20000), nullptr, kNotASaveFile},
        OpenFailure{"no_project_types", false, "", STANDIN_PROJECT_SECTION,
                    "No project types registered in the system, please reinstall program."},
        OpenFailure{"unknown_format", true, "", "_00000000-1111-2222-3333-444444444444_",
                    "File has unknown format or it is damaged. Unable to open."},
        OpenFailure{"damaged", true, "", STANDIN_PROJECT_SECTION, "File loading error, it is possibly damaged."}),
    [](const testing::TestParamInfo<OpenFailure>& info) { return std::string(info.param.name); });

struct GoodLine {
    const char* name;
    const char* format;  // %s: the file's path
};

class OpenFromCommandLineTest : public testing::TestWithParam<GoodLine> {};

TEST_P(OpenFromCommandLineTest, OpensTheProjectAndAddsItToRecentFiles)
{
    TessalyInstall install(kApptype);
    StandinEvents events(install);
    install.RegisterStandin();
    const std::string file = install.File("my project file.qvdata");
    WriteFileBytes(file, SaveFile(STANDIN_PROJECT_SECTION));
    char arguments[MAX_PATH * 2];
    snprintf(arguments, sizeof(arguments), GetParam().format, file.c_str());
    TessalyRun run(install, arguments);
    ASSERT_TRUE(events.WaitFor("load " + file)) << events.Text();
    HWND frame = run.WaitForFrame();
    ASSERT_TRUE(WaitUntil([&] { return StandinWindow(frame) != nullptr; }, 5000));
    EXPECT_EQ(RecentValue(install, "Document1"), file);
    EXPECT_EQ(RecentCount(install), 4u);
    EXPECT_TRUE(events.Has("recent files updated"));
    EXPECT_EQ(run.Close(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, OpenFromCommandLineTest,
    testing::Values(GoodLine{"quoted", "\"%s\""},
                    // Two blanks before the file: a run of blanks is one separator.
                    GoodLine{"two_blanks", " \"%s\""},
                    // An unterminated quote runs to the end of the line.
                    GoodLine{"unterminated_quote", "\"%s"}),
    [](const testing::TestParamInfo<GoodLine>& info) { return std::string(info.param.name); });

// Opening a file asks nothing of the bindings: a type that refuses a
// service still opens its file.
TEST(OpenProject, ATypeThatRefusesAServiceStillOpensItsFile)
{
    TessalyInstall install(kApptype);
    StandinEvents events(install);
    SetEnvironmentVariableA("TB_SECOND_STANDIN_REFUSES", "settings");
    install.RegisterType(SECOND_STANDIN_PROJECT_CLSID_TEXT, 1);
    const std::string file = install.File("second.qvdata");
    WriteFileBytes(file, SaveFile(SECOND_STANDIN_PROJECT_SECTION));
    TessalyRun run(install, "\"" + file + "\"");
    SetEnvironmentVariableA("TB_SECOND_STANDIN_REFUSES", nullptr);
    HWND frame = run.WaitForFrame();
    ASSERT_TRUE(frame);
    EXPECT_TRUE(events.WaitFor("load " + file)) << events.Text();
    EXPECT_TRUE(WaitUntil([&] { return StandinWindow(frame) != nullptr; }, 5000));
    EXPECT_FALSE(run.WaitForWindow("#32770", install.Name().c_str(), 0)) << "no message";
    EXPECT_EQ(run.Close(), 0u);
}

TEST(CommandLine, ASwitchIsRefusedAndNoProjectStarts)
{
    TessalyInstall install(kApptype);
    StandinEvents events(install);
    install.RegisterStandin();  // File New would open it at once
    TessalyRun run(install, "/open");
    HWND box = run.WaitForWindow("#32770", "Error", 15000);
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box), "Command line parameters are not supported yet (except of filename to open).");
    DismissBox(box);
    HWND frame = run.WaitForFrame();
    Sleep(300);
    EXPECT_FALSE(StandinWindow(frame));
    EXPECT_EQ(run.Close(), 0u);
}

TEST(CommandLine, WithoutArgumentsFileNewRuns)
{
    TessalyInstall install(kApptype);
    StandinEvents events(install);
    install.RegisterStandin();  // the only type: chosen without a dialog
    TessalyRun run(install);
    HWND frame = run.WaitForFrame();
    ASSERT_TRUE(frame);
    EXPECT_TRUE(WaitUntil([&] { return StandinWindow(frame) != nullptr; }, 10000));
    EXPECT_EQ(run.Close(), 0u);
}

TEST(CommandLine, AProjectThatCannotMakeItsWindowIsReported)
{
    TessalyInstall install(kApptype);
    install.RegisterStandin();
    SetEnvironmentVariableA("TB_STANDIN_FAIL_WINDOW", "1");
    TessalyRun run(install);
    SetEnvironmentVariableA("TB_STANDIN_FAIL_WINDOW", nullptr);
    HWND box = run.WaitForWindow("#32770", install.Name().c_str(), 15000);
    ASSERT_TRUE(box);
    // The stand-in's last error is E_FAIL.
    EXPECT_EQ(MessageBoxText(box), "Project creation failed, error code: 0x80004005. See log file for details.");
    DismissBox(box);
    EXPECT_EQ(run.Close(), 0u);
}

TEST(RecentFiles, ADeletedFileIsRemovedWithItsMessage)
{
    TessalyInstall install(kApptype);
    install.RegisterStandin();
    const std::string gone = install.File("gone.qvdata");
    const std::string kept = install.File("kept.qvdata");
    WriteFileBytes(kept, SaveFile(STANDIN_PROJECT_SECTION));
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, install.RecentKey().c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                              nullptr), ERROR_SUCCESS);
    DWORD count = 4;
    RegSetValueExA(key, "DocumentCount", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof(count));
    RegSetValueExA(key, "Document1", 0, REG_SZ, reinterpret_cast<const BYTE*>(gone.c_str()), gone.size() + 1);
    RegSetValueExA(key, "Document2", 0, REG_SZ, reinterpret_cast<const BYTE*>(kept.c_str()), kept.size() + 1);
    RegCloseKey(key);

    TessalyRun run(install, "/x");
    HWND box = run.WaitForWindow("#32770", "Error", 15000);
    ASSERT_TRUE(box);
    DismissBox(box);
    HWND frame = run.WaitForFrame();
    PostMessageA(frame, WM_COMMAND, 0xE110, 0);  // the first recent file
    box = run.WaitForWindow("#32770", install.Name().c_str(), 10000);
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box), "This file does not exist and will be removed from list.");
    DismissBox(box);
    EXPECT_TRUE(WaitUntil([&] { return RecentValue(install, "Document1") == kept; }, 5000));
    EXPECT_EQ(RecentValue(install, "Document2"), "<none>");
    // The entry that moved up opens.
    PostMessageA(frame, WM_COMMAND, 0xE110, 0);
    EXPECT_TRUE(WaitUntil([&] { return StandinWindow(frame) != nullptr; }, 10000));
    EXPECT_EQ(run.Close(), 0u);
}

TEST(ProjectWindow, GetsForwardedMessagesCommandsAndRelays)
{
    TessalyInstall install(kApptype);
    StandinEvents events(install);
    install.RegisterStandin();
    TessalyRun run(install);
    HWND frame = run.WaitForFrame();
    ASSERT_TRUE(WaitUntil([&] { return StandinWindow(frame) != nullptr; }, 10000));
    // A queued key reaches the project window (its accelerators: Ctrl+S).
    PostMessageA(frame, WM_KEYDOWN, 'S', 0);
    EXPECT_TRUE(events.WaitFor("forward 0x0100 0x0053")) << events.Text();
    // A command the frame does not handle, with its notification code dropped.
    PostMessageA(frame, WM_COMMAND, MAKEWPARAM(0xE103, 1), 0);
    EXPECT_TRUE(events.WaitFor("forward 0x0111 0xE103")) << events.Text();
    SendMessageA(frame, 0x623, 7, 0);  // WM_RELAYTOCHILDREN
    EXPECT_TRUE(events.Has("relayed 7"));
    // A queued command (what a menu posts) reaches the project once.
    const std::string text = events.Text(), command = "E103\n";  // with or without its notification code
    EXPECT_EQ(text.find(command), text.rfind(command)) << text;
    // Closing the frame asks the project window first.
    EXPECT_EQ(run.Close(), 0u);
    EXPECT_TRUE(events.Has("asked to close"));
    EXPECT_TRUE(events.Has("destroyed"));
}

TEST(ProjectWindow, OnlyTheActiveOneSetsTheSpaceBar)
{
    TessalyInstall install(kApptype);
    install.RegisterStandin();
    TessalyRun run(install);
    HWND frame = run.WaitForFrame();
    ASSERT_TRUE(WaitUntil([&] { return MdiChildren(frame).size() == 1; }, 10000));
    PostMessageA(frame, WM_COMMAND, 0xE100, 0);  // a second one, active
    ASSERT_TRUE(WaitUntil([&] { return MdiChildren(frame).size() == 2; }, 10000));
    HWND space = GetDlgItem(frame, 0x401);
    // Each child reports 2 MiB times its ordinal; the inactive first one's
    // report comes last and must change nothing.
    SendMessageA(frame, 0x623, 1002, 0);  // WM_RELAYTOCHILDREN
    EXPECT_EQ(WindowText(space), "4.00 MB");
    EXPECT_EQ(run.Close(), 0u);
}

TEST(ProjectWindow, ThatRefusesToCloseKeepsTheFrameOpen)
{
    TessalyInstall install(kApptype);
    StandinEvents events(install);
    install.RegisterStandin();
    SetEnvironmentVariableA("TB_STANDIN_REFUSE_CLOSE", "1");
    TessalyRun run(install);
    SetEnvironmentVariableA("TB_STANDIN_REFUSE_CLOSE", nullptr);
    HWND frame = run.WaitForFrame();
    ASSERT_TRUE(WaitUntil([&] { return StandinWindow(frame) != nullptr; }, 10000));
    PostMessageA(frame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(events.WaitFor("asked to close"));
    EXPECT_EQ(run.WaitExit(500), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_TRUE(StandinWindow(frame));
}

#ifdef TB_WITH_MARAVIN
// A data project file whose frames' sections are missing fails to load:
// its message shows with no project window visible behind it, then none
// is left.
TEST(DataProjectFile, ThatFailsToLoadNeverShowsItsWindow)
{
    TessalyInstall install(kApptype);
    install.RegisterType("{2EECB0E1-0EE1-4541-87B1-D135261D0108}", 1);  // Maravin.dll
    const std::string file = install.File("broken.qvdata");
    WriteFileBytes(file, SaveFile("_2EECB0E1-0EE1-4541-87B1-D135261D0108_"));
    TessalyRun run(install, "\"" + file + "\"");
    HWND box = run.WaitForWindow("#32770", install.Name().c_str(), 30000);
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box), "File loading error, it is possibly damaged.");
    HWND frame = run.WaitForFrame();
    for (HWND child : MdiChildren(frame))
        EXPECT_FALSE(IsWindowVisible(child)) << "a project window shows behind the box: " << WindowText(child);
    DismissBox(box);
    EXPECT_TRUE(WaitUntil([&] { return MdiChildren(frame).empty(); }, 5000));
    EXPECT_EQ(run.Close(), 0u);
}
#endif

}  // namespace
