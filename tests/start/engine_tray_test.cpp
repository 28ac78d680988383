// The engine's tray from outside, with the engine serving the application:
// a data project started with File > New brings the engine up; the tray
// icon's right-button callback opens the engine's menu, the device and disk
// information windows come through their commands and are read through
// WM_GETTEXT, and Unload is answered No (the project's drive list goes on
// working) and then Yes (Vokmar.exe ends, the program stays, and the next
// File > New starts a fresh engine).
#include "data_project_test.h"
#include "disc_folder.h"
#include <engine.h>
#include <com/ptr.h>
#include <algorithm>

namespace {

const char kApptype[] = "[Data]\r\nShowExplorerInitially=0\r\n";
const WORD ID_FILE_NEW = 0xE100;
const int IDC_NEXT = 29335, IDC_DRIVES = 8198;
// The engine's tray: the icon's callback message and identifier, its commands.
const UINT WM_TRAY_NOTIFY = 0x502, TRAY_ICON_ID = 1000;
// The menu from the top: F's popup, E's popup, a separator, About, Unload.
const std::vector<WORD> kToUnload = {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN};
const char kUnloadQuestion[] = "Unloading of Vokmar may cause incorrect application behavior";

WORD DriveCommand(char letter, unsigned kind) { return static_cast<WORD>(1536 + 10 * letter + kind); }

// The visible top-level windows of a class in a process.
HWND VisibleWindowOf(const char* className, DWORD pid)
{
    for (const FoundWindow& w : WindowsOfClass(className, pid))
        if (IsWindowVisible(w.window)) return w.window;
    return nullptr;
}

// The text of the information view of a dialog, read as a screen reader would.
std::string InfoViewText(HWND dialog)
{
    HWND view = FindWindowExA(dialog, nullptr, "CInfoWindow", nullptr);
    if (!view) return "(no information view)";
    const LRESULT length = SendMessageA(view, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(view, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

class EngineTray : public DataProjectTest {
protected:
    EngineTray() : DataProjectTest(kApptype) {}

    // The engine the project started, and its hidden window.
    void FindEngine()
    {
        devicesWindow = WaitForDevicesWindow(0, 20000);
        ASSERT_TRUE(devicesWindow) << "no engine serves the project";
        GetWindowThreadProcessId(devicesWindow, &enginePid);
    }

    // The shell's call when the user lets the right button go over the icon.
    HWND RightClickIcon()
    {
        PostMessageA(devicesWindow, WM_TRAY_NOTIFY, TRAY_ICON_ID, WM_RBUTTONUP);
        HWND menu = nullptr;
        WaitUntil([&] { return (menu = VisibleWindowOf("#32768", enginePid)) != nullptr; }, 10000);
        return menu;
    }
    // The menu opened from the icon and walked with the keys a user presses
    // (the menu loop takes keys posted to its thread): arrows to an item,
    // Enter to choose it.
    void ChooseFromMenu(const std::vector<WORD>& keys, const char* shot = nullptr)
    {
        HWND menu = RightClickIcon();
        ASSERT_TRUE(menu) << "no popup menu of the engine";
        for (WORD key : keys) {
            PostMessageA(menu, WM_KEYDOWN, key, 0);
            WaitUntil([] { return false; }, 150);
        }
        if (shot) Shot(shot);
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_TRUE(WaitUntil([&] { return !VisibleWindowOf("#32768", enginePid); }, 5000));
    }

    // A dialog of the engine with that caption, after the command that opens
    // it (0: opened already).
    HWND EngineDialog(WORD command, const char* caption)
    {
        if (command) PostMessageA(devicesWindow, WM_COMMAND, command, 0);
        HWND dialog = nullptr;
        WaitUntil([&] {
            for (const FoundWindow& w : WindowsOfClass("#32770", enginePid))
                if (IsWindowVisible(w.window) && WindowText(w.window) == caption) dialog = w.window;
            return dialog != nullptr;
        }, 10000);
        return dialog;
    }
    void CloseDialog(HWND dialog)
    {
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
    }

    // The Unload question of the engine, chosen from the menu and answered.
    void AnswerUnload(int answer)
    {
        ChooseFromMenu(kToUnload);
        HWND box = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
            for (const FoundWindow& w : WindowsOfClass("#32770", enginePid))
                if (IsWindowVisible(w.window) && MessageBoxText(w.window).find(kUnloadQuestion) == 0) box = w.window;
            return box != nullptr;
        }, 10000)) << "the Unload question";
        EXPECT_EQ("Warning", WindowText(box));
        EXPECT_TRUE(GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO));
        Shot("engine-unload-question");
        DismissBox(box, answer);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
    }

    // The burning frame's drive list, as the user sees it after Next.
    std::vector<std::string> BurnerDrives()
    {
        HWND drives = GetDlgItem(burner, IDC_DRIVES);
        std::vector<std::string> items;
        WaitUntil([&] { return (items = RemoteComboItems(drives)).size() >= 2; }, 15000);
        return items;
    }

    HWND devicesWindow = nullptr;
    DWORD enginePid = 0;
};

bool StartsWith(const std::vector<std::string>& items, char letter)
{
    return std::any_of(items.begin(), items.end(), [&](const std::string& s) { return !s.empty() && s[0] == letter; });
}

}  // namespace

TEST_F(EngineTray, MenuInformationWindowsAndUnloadFromTheIcon)
{
    run = std::make_unique<TessalyRun>(install);
    ASSERT_TRUE(Frame());
    NewDataProject("Data#1");
    ASSERT_FALSE(HasFatalFailure());
    FindEngine();
    ASSERT_FALSE(HasFatalFailure());
    EngineProcess engine;
    ASSERT_TRUE(engine.Found());

    // The right button's callback opens a popup menu of the engine's own,
    // whose items are read back by walking them: the first popup is F's,
    // its first item F's device information; the second popup is E's, its
    // second item E's disk information; About and Unload follow.
    ChooseFromMenu({VK_DOWN, VK_RIGHT}, "engine-tray-menu");
    HWND chosen = EngineDialog(0, "Device information");
    ASSERT_TRUE(chosen) << "F's first item";
    EXPECT_NE(std::string::npos, InfoViewText(chosen).find("\nLetter:\tF:\n")) << InfoViewText(chosen);
    CloseDialog(chosen);
    ChooseFromMenu({VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN});
    chosen = EngineDialog(0, "Medium information");
    ASSERT_TRUE(chosen) << "E's second item";
    EXPECT_NE(std::string::npos, InfoViewText(chosen).find("\nLetter:\tE:\n")) << InfoViewText(chosen);
    CloseDialog(chosen);
    ChooseFromMenu({VK_DOWN, VK_DOWN, VK_DOWN});
    chosen = EngineDialog(0, "About");
    ASSERT_TRUE(chosen) << "About after the drives";
    Shot("engine-about");
    EXPECT_EQ("Version 1.0.0.1", WindowText(GetDlgItem(chosen, 1018)));
    EXPECT_EQ("Tavell software Vokmar", WindowText(GetDlgItem(chosen, 1016)));
    CloseDialog(chosen);

    // Through their commands: E's device information and F's disk information.
    HWND device = EngineDialog(DriveCommand('E', 0), "Device information");
    ASSERT_TRUE(device) << "the device information of E";
    const std::string deviceText = InfoViewText(device);
    EXPECT_NE(std::string::npos, deviceText.find("\nLetter:\tE:\n")) << deviceText;
    EXPECT_NE(std::string::npos, deviceText.find("Device can write:")) << deviceText;
    Shot("engine-device-information");
    CloseDialog(device);

    HWND disk = EngineDialog(DriveCommand('F', 1), "Medium information");
    ASSERT_TRUE(disk) << "the disk information of F";
    const std::string diskText = InfoViewText(disk);
    EXPECT_EQ(0u, diskText.find("Device:\tF:1:0:1:0  TAVELL")) << diskText;
    EXPECT_NE(std::string::npos, diskText.find("\nLetter:\tF:\nMedium type:\tCD-R\n\nFree space:\t")) << diskText;
    EXPECT_NE(std::string::npos, diskText.find(" bytes\nTotal space:\t")) << diskText;
    Shot("engine-medium-information");
    CloseDialog(disk);
    // E's blank DVD-RW: more free space than 32 bits hold.
    disk = EngineDialog(DriveCommand('E', 1), "Medium information");
    ASSERT_TRUE(disk) << "the disk information of E";
    EXPECT_NE(std::string::npos, InfoViewText(disk).find("Medium type:\tDVD-RWSR\n\nFree space:\t4707319808 bytes\n"))
        << InfoViewText(disk);
    CloseDialog(disk);
    // A letter without a drive opens nothing.
    PostMessageA(devicesWindow, WM_COMMAND, DriveCommand('Q', 0), 0);
    EXPECT_FALSE(WaitUntil([&] { return VisibleWindowOf("#32770", enginePid) != nullptr; }, 1000));

    AnswerUnload(IDNO);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(engine.Alive());
    HWND next = FindDescendant(editor, IDC_NEXT);
    ASSERT_TRUE(next);
    PostMessageA(GetParent(next), WM_COMMAND, MAKEWPARAM(IDC_NEXT, BN_CLICKED), reinterpret_cast<LPARAM>(next));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(burner) != FALSE; }, 10000));
    const std::vector<std::string> drives = BurnerDrives();
    EXPECT_TRUE(StartsWith(drives, 'E') && StartsWith(drives, 'F')) << testing::PrintToString(drives);

    // A client of its own beside the program's, holding a drive.
    com::ComPtr<IDevices> list;
    ASSERT_EQ(S_OK, list.CoCreate(CLSID_CoDevices, IID_IDevices, CLSCTX_LOCAL_SERVER));
    com::ComPtr<IDevice> held;
    ASSERT_EQ(S_OK, list->GetDevice(0, &held));

    AnswerUnload(IDYES);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(engine.WaitExit(15000)) << "Vokmar.exe still runs after Unload";
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), run->WaitExit(500)) << "the program ended with the engine";
    // What the clients still hold fails, and the program lives on when its
    // burning frame turns to another drive of the engine that went.
    unsigned letter = 0;
    const HRESULT gone = held->GetDeviceLetter(&letter);
    EXPECT_TRUE(FAILED(gone)) << std::hex << gone;
    held.Reset();
    list.Reset();
    HWND drivesBox = GetDlgItem(burner, IDC_DRIVES);
    SendMessageA(drivesBox, CB_SETCURSEL, 1, 0);
    SendMessageA(burner, WM_COMMAND, MAKEWPARAM(IDC_DRIVES, CBN_SELCHANGE), reinterpret_cast<LPARAM>(drivesBox));
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), run->WaitExit(1000)) << "the program ended on a dead drive";

    PostMessageA(Frame(), WM_COMMAND, ID_FILE_NEW, 0);
    NewDataProject("Data#2");
    ASSERT_FALSE(HasFatalFailure());
    FindEngine();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_NE(engine.Pid(), enginePid) << "a fresh engine";
    ChooseFromMenu({VK_DOWN, VK_DOWN, VK_RIGHT});
    HWND fresh = EngineDialog(0, "Device information");
    ASSERT_TRUE(fresh) << "the fresh engine's menu";
    EXPECT_NE(std::string::npos, InfoViewText(fresh).find("\nLetter:\tE:\n")) << InfoViewText(fresh);
    CloseDialog(fresh);
}
