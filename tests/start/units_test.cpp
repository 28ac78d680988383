// The start module's parts in this process: the command-line splitter, the
// prompts, the recent-file list's registry layout, the service references
// a thread keeps, and the frame built from the application-type switches.
#include "command_line.h"
#include "common_settings.h"
#include "main_frame.h"
#include "menu_translation.h"
#include "project_types.h"
#include "prompts.h"
#include "resource.h"
#include "service_refs.h"
#include "wait_window.h"
#include <com/bstr.h>
#include <com/object.h>
#include <files.h>
#include <gtest/gtest.h>
#include <shared/services.h>
#include <window/recent_documents.h>
#include <shlwapi.h>
#include <thread>

namespace {

struct SplitCase {
    const char* line;
    std::vector<std::string> arguments;
};

class SplitterTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitterTest, SplitsIntoArguments)
{
    EXPECT_EQ(CCommandLine(GetParam().line).Arguments(), GetParam().arguments) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitterTest,
    testing::Values(
        SplitCase{"C:\\T\\Tessaly.exe", {"C:\\T\\Tessaly.exe"}},
        SplitCase{"\"C:\\My Apps\\Tessaly.exe\" a.qvdata", {"C:\\My Apps\\Tessaly.exe", "a.qvdata"}},
        // A run of blanks is one separator: the file after it is not lost.
        SplitCase{"Tessaly.exe  a.qvdata", {"Tessaly.exe", "a.qvdata"}},
        SplitCase{"Tessaly.exe \t  \"C:\\x y\\p.qvdata\"   ", {"Tessaly.exe", "C:\\x y\\p.qvdata"}},
        // Trailing blanks make no empty argument.
        SplitCase{"Tessaly.exe a   ", {"Tessaly.exe", "a"}},
        // An unterminated quote runs to the end of the line.
        SplitCase{"Tessaly.exe \"C:\\x y\\p.qvdata", {"Tessaly.exe", "C:\\x y\\p.qvdata"}},
        // An empty pair of quotes is an empty argument; what follows still counts.
        SplitCase{"Tessaly.exe \"\" b", {"Tessaly.exe", "", "b"}},
        SplitCase{"", {}}));

TEST(CommandLine, SwitchesStartWithDashOrSlash)
{
    EXPECT_TRUE(CCommandLine::IsSwitch("/x"));
    EXPECT_TRUE(CCommandLine::IsSwitch("-Embedding"));
    EXPECT_FALSE(CCommandLine::IsSwitch("C:\\a.qvdata"));
    EXPECT_FALSE(CCommandLine::IsSwitch(""));
}

// The program's string table in a language file of a fresh translator.
class WithServices : public testing::Test {
protected:
    void SetUp() override
    {
        ITranslator* translator = nullptr;
        ISettings* settings = nullptr;
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_CoTranslator, nullptr, CLSCTX_ALL, IID_ITranslator,
                                                  reinterpret_cast<void**>(&translator)));
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_CoSettings, nullptr, CLSCTX_ALL, IID_ISettings,
                                                  reinterpret_cast<void**>(&settings)));
        PublishTranslator(translator);
        PublishSettings(settings);
        g_compTranslator->Init(com::Bstr(m_folder.File("t.lng")));
        g_compTranslator->GulpResources(reinterpret_cast<ULONG_PTR>(GetModuleHandleA(nullptr)),
                                        com::Bstr(COMMON_LANG_SECTION));
        g_compSettings->Init(com::Bstr(m_folder.File("t.cfg")));
    }
    void TearDown() override { ReleaseServices(); }

    TempFolder m_folder;
};

struct PromptCase {
    UINT command;
    const char* prompt;
};

class PromptTest : public WithServices, public testing::WithParamInterface<PromptCase> {};

TEST_P(PromptTest, ShowsTheCommandsPrompt)
{
    EXPECT_EQ(PromptText(GetParam().command), GetParam().prompt) << std::hex << GetParam().command;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, PromptTest,
    testing::Values(
        PromptCase{ID_FILE_NEW, "Create a new project"},
        // Own identifiers inside the system-command range keep their prompts.
        PromptCase{ID_VIEW_SPACEBAR, "Show or hide the space bar"},
        PromptCase{ID_VIEW_EXPLORER, "Show the explorer window"},
        PromptCase{SC_SIZE, "Change the window size"},
        PromptCase{SC_MOVE, "Change the window position"},
        PromptCase{SC_RESTORE, "Restore the window to normal size"},
        PromptCase{ID_FILE_MRU_FIRST + 3, "Open this project"},
        PromptCase{ID_MDI_FIRST_CHILD + 2, "Activate this window"},
        PromptCase{0x1234, ""}));

TEST(RecentDocuments, KeepsTheNewestFirstAndTheMaximumAsCount)
{
    const std::string key = "SOFTWARE\\Tavell software\\UnitTest Recent " + std::to_string(GetCurrentProcessId());
    wnd::RecentDocumentList list(ID_FILE_MRU_FIRST, ID_FILE_MRU_LAST);
    EXPECT_TRUE(list.Add("C:\\a.qvdata"));
    EXPECT_TRUE(list.Add("C:\\b.qvdata"));
    EXPECT_FALSE(list.Add("C:\\b.qvdata"));  // already on top
    EXPECT_TRUE(list.Add("c:\\A.QVDATA"));   // the same file moves up
    for (const char* path : {"C:\\c", "C:\\d", "C:\\e"}) list.Add(path);
    ASSERT_TRUE(list.WriteToRegistry(key));

    HKEY hkey;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &hkey), ERROR_SUCCESS);
    DWORD count = 0, size = sizeof(count);
    RegQueryValueExA(hkey, "DocumentCount", nullptr, nullptr, reinterpret_cast<BYTE*>(&count), &size);
    EXPECT_EQ(count, 4u);  // the list's maximum, not how many it holds
    char value[MAX_PATH] = "";
    size = sizeof(value);
    RegQueryValueExA(hkey, "Document1", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    EXPECT_STREQ(value, "C:\\e");
    size = sizeof(value);
    EXPECT_NE(RegQueryValueExA(hkey, "Document5", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size),
              ERROR_SUCCESS);
    RegCloseKey(hkey);

    wnd::RecentDocumentList read(ID_FILE_MRU_FIRST, ID_FILE_MRU_LAST, 2);
    ASSERT_TRUE(read.ReadFromRegistry(key));
    EXPECT_EQ(read.MaxEntries(), 4);
    EXPECT_EQ(read.Entries(), (std::vector<std::string>{"C:\\e", "C:\\d", "C:\\c", "c:\\A.QVDATA"}));
    EXPECT_EQ(read.FromCommand(ID_FILE_MRU_FIRST + 1), "C:\\d");
    EXPECT_TRUE(read.RemoveCommand(ID_FILE_MRU_FIRST));
    EXPECT_EQ(read.FromCommand(ID_FILE_MRU_FIRST), "C:\\d");
    EXPECT_EQ(read.FromCommand(ID_FILE_MRU_FIRST + 3), "");
    SHDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
}

// A logger that counts its references.
class CCountedLogger : public com::ObjectRoot<com::MultiThreadModel>, public ILogger {
public:
    static LONG s_alive;
    CCountedLogger() { InterlockedIncrement(&s_alive); }
    ~CCountedLogger() { InterlockedDecrement(&s_alive); }
    COM_INTERFACES_BEGIN(CCountedLogger)
        COM_INTERFACE(ILogger)
    COM_INTERFACES_END()
    STDMETHODIMP Init(BSTR) override { return S_OK; }
    STDMETHODIMP LogEvent(BSTR) override { return S_OK; }
    STDMETHODIMP LogEventB(BSTR, long) override { return S_OK; }
    STDMETHODIMP LogCreateObject(unsigned int, BSTR) override { return S_OK; }
    STDMETHODIMP LogDestroyObject(unsigned int) override { return S_OK; }
    STDMETHODIMP LogEnterFunction(BSTR) override { return S_OK; }
    STDMETHODIMP LogLeaveFunction(BSTR) override { return S_OK; }
    STDMETHODIMP DumpFuncPath() override { return S_OK; }
};
LONG CCountedLogger::s_alive = 0;

TEST(ServiceRefs, AThreadKeepsItsServicesPastShutDown)
{
    ILogger* logger = nullptr;
    ASSERT_HRESULT_SUCCEEDED(com::CreateObject<CCountedLogger>(IID_ILogger, reinterpret_cast<void**>(&logger)));
    PublishLogger(logger);
    HANDLE taken = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE shutDown = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HRESULT afterShutDown = E_UNEXPECTED;
    std::thread worker([&] {
        CServiceRefs refs = CServiceRefs::Take();
        SetEvent(taken);
        WaitForSingleObject(shutDown, INFINITE);
        afterShutDown = refs.logger ? refs.logger->LogEvent(nullptr) : E_POINTER;
    });
    WaitForSingleObject(taken, INFINITE);
    ReleaseServices();
    EXPECT_EQ(g_compLogger, nullptr);
    EXPECT_EQ(CCountedLogger::s_alive, 1);  // the thread still holds it
    SetEvent(shutDown);
    worker.join();
    EXPECT_EQ(afterShutDown, S_OK);
    EXPECT_EQ(CCountedLogger::s_alive, 0);
    CloseHandle(taken);
    CloseHandle(shutDown);
}

TEST(WaitWindow, ShowsItsLineAtOnceAndGoesWithTheObject)
{
    const std::string text = "Loading project data, please wait a moment... and a much longer line of text";
    HWND window;
    {
        CWaitWindow wait(nullptr, text);
        window = wait.m_hWnd;
        ASSERT_TRUE(IsWindow(window));
        EXPECT_TRUE(IsWindowVisible(window));
        const DWORD style = GetWindowLongA(window, GWL_STYLE);
        EXPECT_EQ(style & (WS_POPUP | WS_BORDER | WS_CAPTION), static_cast<DWORD>(WS_POPUP | WS_BORDER));
        HWND label = GetWindow(window, GW_CHILD);
        ASSERT_TRUE(label);
        char shown[256] = "";
        GetWindowTextA(label, shown, sizeof(shown));
        EXPECT_EQ(text, shown);
        // Widened to the text and 24 pixels besides.
        HDC dc = GetDC(window);
        HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SIZE size = {};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(window, dc);
        RECT client = {};
        GetClientRect(window, &client);
        EXPECT_GE(client.right, size.cx + 24 - 2);
    }
    EXPECT_FALSE(IsWindow(window));
}

// The frame built in this process from the application-type switches.
struct SwitchCase {
    DWORD createExplorer;
    DWORD createSizebar;
    DWORD showSizebar;
    bool explorerItem;
    bool explorerButton;
    bool spaceBar;
    bool spaceBarVisible;
    bool spaceBarItem;
};

class FrameSwitchTest : public WithServices, public testing::WithParamInterface<SwitchCase> {};

bool MenuHas(HMENU menu, UINT id) { return GetMenuState(menu, id, MF_BYCOMMAND) != static_cast<UINT>(-1); }

TEST_P(FrameSwitchTest, MenusAndBarsFollowTheSwitches)
{
    const SwitchCase& c = GetParam();
    SetCommonString("ApptypeData", "Title", "Switches");
    SetCommonDword("ApptypeData", "CreateExplorer", c.createExplorer);
    SetCommonDword("ApptypeData", "ShowExplorerInitially", 0);
    SetCommonDword("ApptypeData", "CreateSizebar", c.createSizebar);
    SetCommonDword("ApptypeData", "ShowSizebarInitially", c.showSizebar);
    wnd::MessageLoop loop;
    wnd::MessageLoop::Registration registered(loop);
    CMainFrame frame("unit.exe /x");  // a switch: no File New
    ASSERT_TRUE(frame.CreateFrame());
    HWND rebar = FindWindowExA(frame.m_hWnd, nullptr, "ReBarWindow32", nullptr);
    HWND bar = FindWindowExA(rebar, nullptr, "WTL_CommandBarXP", nullptr);
    ASSERT_TRUE(bar);
    auto* commandBar = dynamic_cast<wnd::CommandBar*>(wnd::WindowObject::FromHandle(bar));
    ASSERT_TRUE(commandBar);
    HMENU view = GetSubMenu(commandBar->GetMenu(), 1);
    EXPECT_EQ(MenuHas(view, ID_VIEW_EXPLORER), c.explorerItem);
    EXPECT_EQ(MenuHas(view, ID_VIEW_SPACEBAR), c.spaceBarItem);
    // Toolbar, Status Bar, [Space Bar], [separator, Explorer].
    EXPECT_EQ(GetMenuItemCount(view), 2 + (c.spaceBarItem ? 1 : 0) + (c.explorerItem ? 2 : 0));
    HWND toolbar = GetDlgItem(rebar, ID_TOOLBAR);
    EXPECT_EQ(SendMessageA(toolbar, TB_COMMANDTOINDEX, ID_VIEW_EXPLORER, 0) >= 0, c.explorerButton);
    EXPECT_EQ(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), c.explorerButton ? 14 : 12);
    HWND space = GetDlgItem(frame.m_hWnd, ID_SPACE_BAR);
    EXPECT_EQ(space != nullptr, c.spaceBar);
    if (space) {
        EXPECT_EQ((GetWindowLongA(space, GWL_STYLE) & WS_VISIBLE) != 0, c.spaceBarVisible);
    }
    // Ctrl+E's command makes an explorer window only where there may be one.
    SendMessageA(frame.m_hWnd, WM_COMMAND, ID_VIEW_EXPLORER, 0);
    HWND client = GetDlgItem(frame.m_hWnd, ID_MDI_CLIENT);
    EXPECT_EQ(FindWindowExA(client, nullptr, "Explorer Window", nullptr) != nullptr, c.explorerItem);
    DestroyWindow(frame.m_hWnd);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, FrameSwitchTest,
    testing::Values(SwitchCase{1, 1, 1, true, true, true, true, true},
                    SwitchCase{0, 1, 1, false, false, true, true, true},
                    SwitchCase{1, 0, 1, true, true, false, false, false},
                    SwitchCase{1, 1, 0, true, true, true, false, true},
                    SwitchCase{0, 0, 0, false, false, false, false, false}));


// A language file that translates the popups and a command of each menu.
class TranslatedMenus : public WithServices {
protected:
    void SetUp() override
    {
        WriteFileBytes(m_folder.File("t.lng"), std::string("[") + COMMON_LANG_SECTION + "]\r\n"
                                                   "0x0D100=&Datei\r\n"   // 53504
                                                   "0x0D103=&Fenster\r\n"  // 53507
                                                   "0x0F132=&Ueberlappend\r\n"  // 61746
                                                   "0x0F141=&Beenden\r\n");  // 61761
        WithServices::SetUp();
    }

    static std::string Text(HMENU menu, UINT item, BOOL byPosition)
    {
        char text[128] = "";
        GetMenuStringA(menu, item, text, sizeof(text), byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
        return text;
    }
};

TEST_F(TranslatedMenus, BothFrameMenusTakeTheirTextsFromTheLanguageFile)
{
    HMENU frame = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    HMENU explorer = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_EXPLORER_MENU));
    ASSERT_TRUE(frame && explorer);
    TranslateFrameMenu(frame);
    TranslateFrameMenu(explorer);
    for (HMENU menu : {frame, explorer}) {
        EXPECT_EQ("&Datei", Text(menu, 0, TRUE));
        EXPECT_EQ("&Beenden", Text(menu, ID_APP_EXIT, FALSE));
    }
    // The explorer's Window popup stands before Help.
    const int window = GetMenuItemCount(explorer) - 2;
    EXPECT_EQ("&Fenster", Text(explorer, window, TRUE));
    EXPECT_EQ("&Ueberlappend", Text(explorer, ID_WINDOW_CASCADE, FALSE));
    DestroyMenu(frame);
    DestroyMenu(explorer);
}

}  // namespace

namespace {

// A project list of a test's own under HKEY_LOCAL_MACHINE: subkeys created
// in the given order, each with its "Order" (none for kNoOrder).
const DWORD kNoOrder = 0xFFFFFFFE;

class TestProjectsKey {
public:
    TestProjectsKey() : m_path("SOFTWARE\\Tavell software\\StartUnits " + std::to_string(GetCurrentProcessId())) {}
    ~TestProjectsKey() { SHDeleteKeyA(HKEY_LOCAL_MACHINE, m_path.c_str()); }
    const std::string& Path() const { return m_path; }
    void Add(const std::string& name, DWORD order) const
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, (m_path + "\\" + name).c_str(), 0, nullptr, 0,
                                                 KEY_WRITE, nullptr, &key, nullptr));
        if (order != kNoOrder)
            RegSetValueExA(key, "Order", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&order), sizeof(order));
        RegCloseKey(key);
    }
private:
    std::string m_path;
};

struct OrderCase {
    const char* name;
    std::vector<std::pair<std::string, DWORD>> created;  // in creation (enumeration) order
    std::vector<std::string> listed;
};

class ProjectOrderTest : public testing::TestWithParam<OrderCase> {};

TEST_P(ProjectOrderTest, ListsByOrderThenTheUnorderedFirstOfEqualKeys)
{
    TestProjectsKey projects;
    for (const auto& type : GetParam().created) projects.Add(type.first, type.second);
    CProjectTypeList list;
    ASSERT_EQ(ERROR_SUCCESS, EnumProjectTypes(projects.Path(), &list));
    std::vector<std::string> listed;
    for (const auto& type : list) listed.push_back(type.second);
    EXPECT_EQ(GetParam().listed, listed);
}

// Subkeys enumerate by name; the cases create them in that order.
INSTANTIATE_TEST_SUITE_P(
    Registry, ProjectOrderTest,
    testing::Values(
        OrderCase{"OrderValuesThenMissing", {{"a", 2}, {"b", kNoOrder}, {"c", 1}}, {"c", "a", "b"}},
        OrderCase{"MissingKeepEnumerationOrder", {{"a", kNoOrder}, {"b", kNoOrder}, {"c", 5}}, {"c", "a", "b"}},
        OrderCase{"DuplicateKeepsTheFirst", {{"a", 3}, {"b", 3}, {"c", 1}}, {"c", "a"}},
        OrderCase{"AllOnesCountsAsMissing", {{"a", 0xFFFFFFFF}, {"b", kNoOrder}, {"c", 7}}, {"c", "a", "b"}},
        OrderCase{"MissingMeetsAnEqualOrder", {{"a", 0x80000000}, {"b", kNoOrder}}, {"a"}}),
    [](const testing::TestParamInfo<OrderCase>& info) { return std::string(info.param.name); });

TEST(ProjectOrder, NoKeyLeavesTheListEmptyWithTheRegistryResult)
{
    CProjectTypeList list;
    EXPECT_NE(ERROR_SUCCESS, EnumProjectTypes("SOFTWARE\\Tavell software\\No Such Application", &list));
    EXPECT_TRUE(list.empty());
    HKEY none = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, &none));
    EXPECT_EQ(0xFFFFFFFFu, ReadProjectOrder(none, "No Such Subkey"));
    RegCloseKey(none);
}

struct FilterCase {
    const char* name;
    const char* projectsToOpen;  // the language file's section lines
    std::vector<std::string> types;
    const char* filter;
};

class OpenFilterTest : public testing::TestWithParam<FilterCase> {};

TEST_P(OpenFilterTest, ComesFromTheLanguageFile)
{
    TempFolder folder;
    const std::string language = folder.File("App.lng");
    WriteFileBytes(language, std::string("[ProjectsToOpen]\r\n") + GetParam().projectsToOpen);
    CProjectTypeList types;
    DWORD order = 1;
    for (const auto& type : GetParam().types) types.emplace(order++, type);
    EXPECT_EQ(GetParam().filter, BuildOpenFilter(types, language, "All files", "All supported files"));
}

INSTANTIATE_TEST_SUITE_P(
    LanguageFile, OpenFilterTest,
    testing::Values(
        FilterCase{"OneTypeTwoPatterns", "{A}=Data project|*.qvdata *.qv\r\n", {"{A}"},
                   "Data project (*.qvdata;*.qv)|*.qvdata;*.qv|All files (*.*)|*.*"},
        FilterCase{"TwoTypesShareAPattern", "{A}=Data|*.qv *.qvdata\r\n{B}=Audio|*.qvaudio *.qv\r\n", {"{A}", "{B}"},
                   "All supported files (*.qv;*.qvaudio;*.qvdata)|*.qv;*.qvaudio;*.qvdata|"
                   "Data (*.qv;*.qvdata)|*.qv;*.qvdata|Audio (*.qvaudio;*.qv)|*.qvaudio;*.qv|All files (*.*)|*.*"},
        FilterCase{"MissingOrWithoutBarLeftOut", "{A}=Data|*.qvdata\r\n{B}=no bar here\r\n", {"{A}", "{B}", "{C}"},
                   "Data (*.qvdata)|*.qvdata|All files (*.*)|*.*"},
        FilterCase{"NoneGivesAllFilesOnly", "", {"{A}"}, "All files (*.*)|*.*"}),
    [](const testing::TestParamInfo<FilterCase>& info) { return std::string(info.param.name); });

}  // namespace
