// Start-up and shut-down of Tessaly.exe: the failures that end it, the
// settings it publishes, its language file, and closing the engine.
#include "tessaly_process.h"
#include <common.h>
#include <gtest/gtest.h>
#include <shlwapi.h>

namespace {

std::string ClsidKey(REFCLSID clsid)
{
    wchar_t text[64];
    StringFromGUID2(clsid, text, 64);
    char ansi[64];
    WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof(ansi), nullptr, nullptr);
    return std::string("CLSID\\") + ansi + "\\InprocServer32";
}

// Points a class's server at a file that is not there for the scope's life.
class UnregisteredClass {
public:
    explicit UnregisteredClass(const CLSID* clsid)
    {
        if (!clsid) return;
        m_key = ClsidKey(*clsid);
        char value[MAX_PATH] = "";
        LONG size = sizeof(value);
        if (RegQueryValueA(HKEY_CLASSES_ROOT, m_key.c_str(), value, &size) != ERROR_SUCCESS) return;
        m_saved = value;
        RegSetValueA(HKEY_CLASSES_ROOT, m_key.c_str(), REG_SZ, "C:\\nowhere\\Missing.dll", 0);
    }
    ~UnregisteredClass()
    {
        if (!m_saved.empty()) RegSetValueA(HKEY_CLASSES_ROOT, m_key.c_str(), REG_SZ, m_saved.c_str(), 0);
    }

private:
    std::string m_key;
    std::string m_saved;
};

struct FailureCase {
    const char* name;
    bool apptype;
    const CLSID* unregistered;
    const char* text;
};

class StartupFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(StartupFailureTest, ShowsTheErrorAndEndsWithMinusOne)
{
    const FailureCase& c = GetParam();
    TessalyInstall install("[Data]\r\n", c.apptype);
    // Wine starts a surrogate for a class whose library will not load.
    NewProcessReaper surrogates("dllhost.exe");
    UnregisteredClass unregistered(c.unregistered);
    TessalyRun run(install);
    ASSERT_TRUE(run.Started());
    HWND box = run.WaitForWindow("#32770", "Error", 15000);
    ASSERT_TRUE(box) << c.name;
    EXPECT_EQ(MessageBoxText(box), c.text);
    EXPECT_FALSE(run.WaitForWindow("TessalyWindowClassT", nullptr, 0));
    DismissBox(box);
    EXPECT_EQ(run.WaitExit(10000), static_cast<DWORD>(-1));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, StartupFailureTest,
    testing::Values(
        FailureCase{"no apptype", false, nullptr, "Program type information not found. Startup failed."},
        FailureCase{"no logger", true, &CLSID_CoLogger, "Logger creation error. Startup failed."},
        FailureCase{"no translator", true, &CLSID_CoTranslator, "Translator creation error. Startup failed."},
        FailureCase{"no settings", true, &CLSID_CoSettings, "Settings creation error. Startup failed."}),
    [](const testing::TestParamInfo<FailureCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (ch == ' ') ch = '_';
        return name;
    });

// The "Application" and "ApptypeData" values as a first start writes them
// (the settings file is a text file: its lines end in CR LF).
std::string ExpectedCommon(const TessalyInstall& install, const std::string& version)
{
    const std::string company = "SOFTWARE\\Tavell software";
    return "    <_00000000-0000-0000-C000-000000000046_>\r\n"
           "        <Application Title=\"" + install.Name() + "\" CompanyMainRegPath=\"" + company +
           "\" RegProjectsSubkey=\"" + company + "\\" + install.Name() + "\\Projects\" Path=\"" +
           install.ProgramFolder() + "\" CommonFilesPath=\"" + install.DataFolder() + "\" />\r\n"
           "        <ApptypeData Title=\"" + install.Name() + "\" Version=\"" + version +
           "\" CopyrightHolder=\"Tavell software\" FirstDevelopmentYear=\"2005\" LastDevelopmentYear=\"2007\""
           " Site=\"Tavell software on the web\" SecondarySite=\"\" Mail=\"\" SecondaryMail=\"\" versionFilename=\"\""
           " CreateExplorer=\"0\" ShowExplorerInitially=\"1\" CreateSizebar=\"1\" ShowSizebarInitially=\"1\""
           " MaximizeFirstChild=\"0\" />\r\n"
           "    </_00000000-0000-0000-C000-000000000046_>\r\n";
}

TEST(Startup, PublishesTheCommonSettingsAndRestoresThemAtEveryStart)
{
    // No title: the application name stands in; a site; the explorer off.
    TessalyInstall install("[Data]\r\nSite=Tavell software on the web\r\nCreateExplorer=0\r\n");
    {
        TessalyRun run(install, "/nothing");  // a switch: no project dialog
        HWND box = run.WaitForWindow("#32770", "Error", 15000);
        ASSERT_TRUE(box);
        DismissBox(box);
        ASSERT_EQ(run.Close(), 0u);
    }
    const std::string cfg = install.DataFolder() + install.Name() + ".cfg";
    std::string text = ReadFileBytes(cfg);
    EXPECT_NE(text.find(ExpectedCommon(install, "1.0.0.0")), std::string::npos) << text;

    // A value edited by hand is written back from the application-type file.
    size_t at = text.find("Version=\"1.0.0.0\"");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 17, "Version=\"9.9\"");
    WriteFileBytes(cfg, text);
    {
        TessalyRun run(install, "/nothing");
        HWND box = run.WaitForWindow("#32770", "Error", 15000);
        ASSERT_TRUE(box);
        DismissBox(box);
        ASSERT_EQ(run.Close(), 0u);
    }
    EXPECT_NE(ReadFileBytes(cfg).find(ExpectedCommon(install, "1.0.0.0")), std::string::npos);

    // The program's strings fill the common section of the language file.
    const std::string lng = install.DataFolder() + install.Name() + ".lng";
    char value[256] = "";
    GetPrivateProfileStringA("00000000-0000-0000-C000-000000000046", "0x0E001", "", value, sizeof(value),
                             lng.c_str());
    EXPECT_STREQ(value, "Ready");
    GetPrivateProfileStringA("00000000-0000-0000-C000-000000000046", "0x0E100", "", value, sizeof(value),
                             lng.c_str());
    EXPECT_STREQ(value, "Create a new project\\nNew");
    GetPrivateProfileStringA("00000000-0000-0000-C000-000000000046", "0x0A002", "", value, sizeof(value),
                             lng.c_str());
    EXPECT_STREQ(value, "File has unknown format or it is damaged. Unable to open.");
}

// A stand-in for the engine's hidden window that counts WM_CLOSE.
class StandinEngineWindow {
public:
    StandinEngineWindow()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "DevicesWindow";
        RegisterClassA(&wc);
        m_hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, "DevicesWindow", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        s_closes = 0;
    }
    ~StandinEngineWindow()
    {
        DestroyWindow(m_hwnd);
        UnregisterClassA("DevicesWindow", GetModuleHandleA(nullptr));
    }
    int Closes() const { return s_closes; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == WM_CLOSE) {
            ++s_closes;
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    static int s_closes;
    HWND m_hwnd;
};
int StandinEngineWindow::s_closes = 0;

DWORD CloseAndPump(TessalyRun& run)
{
    PostMessageA(run.WaitForFrame(), WM_CLOSE, 0, 0);
    DWORD code = STILL_ACTIVE;
    WaitUntil([&] { return (code = run.WaitExit(0)) != STILL_ACTIVE; }, 15000);
    return code;
}

TEST(Shutdown, AsksTheEngineToCloseOnlyWhenTheLastFrameEnds)
{
    StandinEngineWindow engine;
    TessalyInstall install("[Data]\r\nShowExplorerInitially=0\r\n");
    TessalyRun first(install, "/a");
    TessalyRun second(install, "/b");
    for (TessalyRun* run : {&first, &second}) {
        HWND box = run->WaitForWindow("#32770", "Error", 15000);
        ASSERT_TRUE(box);
        DismissBox(box);
        ASSERT_TRUE(run->WaitForFrame());
    }
    EXPECT_EQ(CloseAndPump(first), 0u);
    EXPECT_EQ(engine.Closes(), 0);  // the second frame is still there
    EXPECT_EQ(CloseAndPump(second), 0u);
    EXPECT_EQ(engine.Closes(), 1);
}

}  // namespace
