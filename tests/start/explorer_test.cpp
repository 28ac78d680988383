// The explorer window of a running Tessaly.exe: View > Explorer, a fixture
// folder of drive C opened in its tree, the files listed with their
// sizes, sorted by size both ways, the views, and the space bar emptied
// when it becomes active.
#include "tessaly_process.h"
#include <gtest/gtest.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <algorithm>

namespace {

const WORD ID_VIEW_EXPLORER = 0xF155, ID_VIEW_LIST = 0x8007, ID_VIEW_DETAILS = 0x800A, ID_UP_ONE_LEVEL = 0x8006;
const int IDC_FILE_LIST = 0x410, IDC_FOLDER_TREE = 0x411, IDC_TOOLBAR = 0x412;

// A folder at the top of drive C (of this build's own prefix), with files
// of the sizes that matter and a 5 GB sparse one.
class DriveFixture {
public:
    DriveFixture()
    {
        m_name = "Explorer fixture " + std::to_string(GetCurrentProcessId());
        m_path = "C:\\" + m_name;
        CreateDirectoryA(m_path.c_str(), nullptr);
        CreateDirectoryA(File("Sub").c_str(), nullptr);
        WriteFileBytes(File("exact.bin"), std::string(1024, 'e'));
        WriteFileBytes(File("over.bin"), std::string(1025, 'o'));
        WriteFileBytes(File("tiny.txt"), "tiny");
        WriteFileBytes(File("Sub\\shown.tbview"), "shown");
        HANDLE big = CreateFileA(File("big.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        LARGE_INTEGER size;
        size.QuadPart = 5000000000LL;
        SetFilePointerEx(big, size, nullptr, FILE_BEGIN);
        SetEndOfFile(big);
        CloseHandle(big);
    }
    ~DriveFixture()
    {
        for (const char* file : {"exact.bin", "over.bin", "tiny.txt", "big.bin", "Sub\\shown.tbview"})
            DeleteFileA(File(file).c_str());
        RemoveDirectoryA(File("Sub").c_str());
        RemoveDirectoryA(m_path.c_str());
    }
    const std::string& Name() const { return m_name; }
    std::string File(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_name, m_path;
};

HWND ExplorerChild(HWND frame)
{
    for (HWND child : MdiChildren(frame))
        if (ClassOf(child) == "Explorer Window") return child;
    return nullptr;
}

TEST(Explorer, ListsAFolderWithSizesAndSortsBySizeBothWays)
{
    DriveFixture fixture;
    TessalyInstall install("[Data]\r\nShowExplorerInitially=0\r\n");
    install.RegisterStandin();
    TessalyRun run(install);
    HWND frame = run.WaitForFrame();
    ASSERT_TRUE(frame);
    ASSERT_TRUE(WaitUntil([&] { return MdiChildren(frame).size() == 1; }, 10000));
    HWND space = GetDlgItem(frame, 0x401);
    SendMessageA(frame, 0x623, 1002, 0);  // the stand-in reports 2 MiB
    EXPECT_EQ(WindowText(space), "Data size: 2.00 Mb");

    PostMessageA(frame, WM_COMMAND, ID_VIEW_EXPLORER, 0);  // View > Explorer
    HWND explorer = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (explorer = ExplorerChild(frame)) != nullptr; }, 10000));
    EXPECT_EQ(WindowText(explorer), "Explorer");
    // Becoming active, the explorer empties the space bar.
    EXPECT_TRUE(WaitUntil([&] { return WindowText(space) == "Data size: 0.00 Mb"; }, 5000)) << WindowText(space);
    HWND tree = nullptr, list = nullptr, toolbar = nullptr;
    ASSERT_TRUE(WaitUntil([&] {  // made while the window is created
        tree = FindDescendant(explorer, IDC_FOLDER_TREE);
        list = FindDescendant(explorer, IDC_FILE_LIST);
        toolbar = FindDescendant(explorer, IDC_TOOLBAR);
        return tree && list && toolbar;
    }, 10000));
    const DWORD pid = run.Pid();
    using Rows = std::vector<std::string>;

    HTREEITEM root = RemoteTreeItem(tree, pid, {});
    ASSERT_TRUE(root);
    HTREEITEM folder = OpenFolderOfDriveC(tree, pid, fixture.Name());
    ASSERT_TRUE(folder) << testing::PrintToString(RemoteTreeChildren(tree, pid, root));
    HTREEITEM drive = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_PARENT,
                                                               reinterpret_cast<LPARAM>(folder)));

    auto names = [&] { return RemoteListItems(list, pid, 0); };
    auto sizes = [&] { return RemoteListItems(list, pid, 1); };
    // Folders first, then the files by name.
    ASSERT_TRUE(WaitUntil([&] { return names().size() == 5; }, 5000)) << testing::PrintToString(names());
    EXPECT_EQ(names(), (Rows{"Sub", "big.bin", "exact.bin", "over.bin", "tiny.txt"}));
    EXPECT_EQ(sizes(), (Rows{"", "4 768 Mb", "1 024", "1 Kb", "4"}));

    // A click on the Size column's header sorts ascending, a second descending.
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    ASSERT_TRUE(header);
    const int x = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0)) + 10;
    auto clickSize = [&] {
        PostMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
        PostMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(x, 5));
    };
    clickSize();
    EXPECT_TRUE(WaitUntil([&] { return names() == Rows{"Sub", "tiny.txt", "exact.bin", "over.bin", "big.bin"}; },
                          5000))
        << testing::PrintToString(names());
    clickSize();
    EXPECT_TRUE(WaitUntil([&] { return names() == Rows{"Sub", "big.bin", "over.bin", "exact.bin", "tiny.txt"}; },
                          5000))
        << testing::PrintToString(names());
    ScreenShot("explorer");

    // Ctrl+A chooses every row.
    ASSERT_TRUE(PressKeys(frame, {VK_CONTROL, 'A'}));
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) == 5; }, 5000));

    // A double-clicked folder is chosen in the tree; a double-clicked file
    // opens in its program, shown.
    auto doubleClick = [&](const std::string& name) {
        const Rows now = names();
        const int row = static_cast<int>(std::find(now.begin(), now.end(), name) - now.begin());
        const RECT r = RemoteListItemRect(list, pid, row);
        PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 5, (r.top + r.bottom) / 2));
        PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(r.left + 5, (r.top + r.bottom) / 2));
        PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(r.left + 5, (r.top + r.bottom) / 2));
        PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(r.left + 5, (r.top + r.bottom) / 2));
    };
    doubleClick("Sub");
    EXPECT_TRUE(WaitUntil([&] { return names() == Rows{"shown.tbview"}; }, 5000)) << testing::PrintToString(names());
    HTREEITEM chosen = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    EXPECT_EQ(RemoteTreeText(tree, pid, chosen), "Sub");
    {
        // The test's own file type, opened by Notepad (the system reads
        // classes from the machine's key alone).
        HKEY key = nullptr;
        RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software\\Classes\\.tbview", &key);
        RegSetValueA(key, nullptr, REG_SZ, "TbViewTestFile", 0);
        RegCloseKey(key);
        RegSetValueA(HKEY_LOCAL_MACHINE, "Software\\Classes\\TbViewTestFile\\shell\\open\\command", REG_SZ,
                     "notepad.exe \"%1\"", 0);
        NewProcessReaper notepads("notepad.exe");
        doubleClick("shown.tbview");
        HWND shown = nullptr;
        EXPECT_TRUE(WaitUntil([&] {
            shown = FindWindowA("Notepad", nullptr);
            return shown && IsWindowVisible(shown);
        }, 15000)) << "the file's program did not show: " << ProcessesNamed("notepad.exe").size() << " running";
        if (shown) PostMessageA(shown, WM_CLOSE, 0, 0);
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Classes\\.tbview");
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Classes\\TbViewTestFile");
    }
    ASSERT_TRUE(RemoteClickToolbarButton(toolbar, pid, ID_UP_ONE_LEVEL));
    EXPECT_TRUE(WaitUntil([&] { return names().size() == 5; }, 5000));

    // The views from the toolbar: the list's style follows, and the chosen
    // button alone is checked.
    ASSERT_TRUE(RemoteClickToolbarButton(toolbar, pid, ID_VIEW_LIST));
    EXPECT_TRUE(WaitUntil([&] { return (GetWindowLongA(list, GWL_STYLE) & LVS_TYPEMASK) == LVS_LIST; }, 5000));
    EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, ID_VIEW_LIST, 0));
    EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, ID_VIEW_DETAILS, 0));
    ASSERT_TRUE(RemoteClickToolbarButton(toolbar, pid, ID_VIEW_DETAILS));
    EXPECT_TRUE(WaitUntil([&] { return (GetWindowLongA(list, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT; }, 5000));
    EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, ID_VIEW_LIST, 0));
    // Up one level: drive C again.
    ASSERT_TRUE(RemoteClickToolbarButton(toolbar, pid, ID_UP_ONE_LEVEL));
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) ==
                                       reinterpret_cast<LRESULT>(drive); },
                          5000));
    // Keys the explorer does not take still reach the frame: Ctrl+N makes
    // a project while the explorer is the active window.
    ASSERT_EQ(MdiChildren(frame).size(), 2u);
    ASSERT_TRUE(PressKeys(frame, {VK_CONTROL, 'N'}));
    EXPECT_TRUE(WaitUntil([&] { return MdiChildren(frame).size() == 3; }, 10000));
    EXPECT_EQ(run.Close(), 0u);
}

}  // namespace
