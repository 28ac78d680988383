// Tessaly.exe seen from a test: a copy of the program in a folder of its
// own under an application name of its own (so its data folder, settings,
// recent files and project types are its own), started with arguments and
// driven through its windows.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <files.h>
#include <string>
#include <vector>

// The build's program folder (beside the test program).
std::string BuildFolder();

class TessalyInstall {
public:
    // `apptype`: the text of "<name>.apptype"; with `withApptype` false no
    // such file is written.
    explicit TessalyInstall(const std::string& apptype = "[Data]\r\n", bool withApptype = true);
    ~TessalyInstall();
    TessalyInstall(const TessalyInstall&) = delete;
    TessalyInstall& operator=(const TessalyInstall&) = delete;

    const std::string& Name() const { return m_name; }
    std::string Program() const { return m_folder.File("Tessaly.exe"); }
    std::string ProgramFolder() const { return m_folder.Path(); }
    // "C:\ProgramData\Tavell software\<name>\"
    std::string DataFolder() const;
    std::string File(const std::string& name) const { return m_folder.File(name); }
    // HKCU\SOFTWARE\Tavell software\<name>\Recent Document List
    std::string RecentKey() const;
    // Registers the stand-in project type under this application's key and
    // its open patterns ("*.qvdata *.qvs") the way the installer does.
    void RegisterStandin(DWORD order = 1) const;
    // The same for any class identifier (in braces), with the open entry's
    // description and blank-separated patterns.
    void RegisterType(const std::string& clsid, DWORD order, const std::string& description = "Standin project",
                      const std::string& patterns = "*.qvdata *.qvs") const;

private:
    std::string m_name;
    TempFolder m_folder;
};

class TessalyRun {
public:
    TessalyRun(const TessalyInstall& install, const std::string& arguments = "");
    ~TessalyRun();
    TessalyRun(const TessalyRun&) = delete;
    TessalyRun& operator=(const TessalyRun&) = delete;

    bool Started() const { return m_process != nullptr; }
    DWORD Pid() const { return m_pid; }
    // The main frame, waited for up to `ms`.
    HWND WaitForFrame(DWORD ms = 15000);
    // A top-level window of this process with the class (and caption, when
    // given), waited for up to `ms`; null when none came.
    HWND WaitForWindow(const char* className, const char* caption, DWORD ms) const;
    // The exit code, or STILL_ACTIVE when it has not ended within `ms`.
    DWORD WaitExit(DWORD ms);
    // Closes the frame and waits for the end; the exit code.
    DWORD Close();

private:
    HANDLE m_process = nullptr;
    DWORD m_pid = 0;
    HWND m_frame = nullptr;
};

std::string WindowText(HWND window);
std::string ClassOf(HWND window);
// The text of a message box (its static text control).
std::string MessageBoxText(HWND box);
// Presses the box's button `id` (IDOK by default).
void DismissBox(HWND box, int id = IDOK);
// The MDI children of a frame's MDI client (id 0xE900), in z-order.
std::vector<HWND> MdiChildren(HWND frame);
// The simple-mode text of a status bar of another process.
std::string RemoteStatusText(HWND statusBar, DWORD pid);
// The item texts of a list view of another process (of one column), in order.
std::vector<std::string> RemoteListItems(HWND list, DWORD pid, int column = 0);
// The items of a combo box of another process.
std::vector<std::string> RemoteComboItems(HWND combo);
// Sets the state bits `mask` of a list view row of another process to `state`.
bool RemoteSetListState(HWND list, DWORD pid, int row, UINT state, UINT mask);
// The text of a tree view item of another process.
std::string RemoteTreeText(HWND tree, DWORD pid, HTREEITEM item);
// The item whose texts from the root down are `path` ({} gives the first root).
HTREEITEM RemoteTreeItem(HWND tree, DWORD pid, const std::vector<std::string>& path);
// The texts of an item's children (of the roots for a null item), in order.
std::vector<std::string> RemoteTreeChildren(HWND tree, DWORD pid, HTREEITEM item);
// The text of the tool `id` of `owner` in a tooltip control of another process
// (empty when no tooltip of the process has that tool).
std::string RemoteToolTipText(HWND owner, UINT_PTR id, DWORD pid);
// The first window below `parent` (at any depth) with the control id, or null.
HWND FindDescendant(HWND parent, int id);
// The rectangle of a list view row's label in another process (client
// coordinates of the list), empty when there is no such row.
RECT RemoteListItemRect(HWND list, DWORD pid, int row);
// The rectangle of a tree item's text in another process (client
// coordinates of the tree), empty when it is not shown.
RECT RemoteTreeItemRect(HWND tree, DWORD pid, HTREEITEM item);
// A rectangle a trackbar of another process gives (TBM_GETTHUMBRECT or
// TBM_GETCHANNELRECT, in its client coordinates), empty when it cannot be read.
RECT RemoteTrackbarRect(HWND trackbar, DWORD pid, UINT message);
// A real click on the button `command` of a toolbar of another process;
// false when it has no such button or the button is not on the screen.
bool RemoteClickToolbarButton(HWND toolbar, DWORD pid, int command);
// A real drag with the left button, from one screen point to another.
void MouseDrag(POINT from, POINT to);
// A real click with the left button at a point of the window's client area,
// once the display shows that window there; false when another window
// covers the point.
bool MouseClick(HWND window, POINT client);
// The middle of a window's client area.
POINT ClientCentre(HWND window);
// In the explorer's folder tree of another process: My Computer and drive
// C opened (the Right key, as a user opens them) and the folder `name` of
// drive C chosen; null when one of them was not found.
HTREEITEM OpenFolderOfDriveC(HWND tree, DWORD pid, const std::string& name);
// Real key presses (all down in order, then up in reverse) to the
// foreground window, once `window` is it: {VK_CONTROL, 'C'} is Ctrl+C.
bool PressKeys(HWND window, const std::vector<WORD>& keys);
// The whole display into "<TB_ROAD_SHOTS>/<name>.png" when TB_ROAD_SHOTS
// names a Unix folder; nothing otherwise.
void ScreenShot(const char* name);
// Processes of the given program file name ("dllhost.exe").
std::vector<DWORD> ProcessesNamed(const char* name);
// Ends, when it goes, every process of the name that started during its
// life (the surrogates the system starts for a class that will not load).
class NewProcessReaper {
public:
    explicit NewProcessReaper(const char* name);
    ~NewProcessReaper();
    NewProcessReaper(const NewProcessReaper&) = delete;
    NewProcessReaper& operator=(const NewProcessReaper&) = delete;
private:
    const char* m_name;
    std::vector<DWORD> m_before;
};

// The keyboard of another process's window thread as a user's keys reach
// it: this thread shares that thread's input state, so keys held here are
// down there (GetKeyState, TranslateAccelerator), and the key messages go
// into its queue, through its message filters, to the window given.
class RemoteKeyboard {
public:
    explicit RemoteKeyboard(HWND window);
    ~RemoteKeyboard();  // lets go of every held key and detaches
    RemoteKeyboard(const RemoteKeyboard&) = delete;
    RemoteKeyboard& operator=(const RemoteKeyboard&) = delete;

    bool Attached() const { return m_attached; }
    void Hold(BYTE key);
    void Release(BYTE key);
    // WM_KEYDOWN and WM_KEYUP of `key`, posted to `focus`.
    void Press(HWND focus, UINT key) const;

private:
    void SetKey(BYTE key, bool down);
    DWORD m_thread = 0;
    bool m_attached = false;
    std::vector<BYTE> m_held;
};

// Waits until `condition` holds, pumping this thread's messages; false when
// `ms` passed first.
template <class F>
bool WaitUntil(F condition, DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > ms) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(20);
    }
}

// The stand-in project type's events (standin/standin_project.h) go to a
// file of the test's own.
class StandinEvents {
public:
    explicit StandinEvents(const TessalyInstall& install) : m_path(install.File("events.txt"))
    {
        SetEnvironmentVariableA("TB_STANDIN_EVENTS", m_path.c_str());
    }
    ~StandinEvents() { SetEnvironmentVariableA("TB_STANDIN_EVENTS", nullptr); }
    std::string Text() const { return FileExists(m_path) ? ReadFileBytes(m_path) : std::string(); }
    bool Has(const std::string& event) const { return Text().find(event + "\n") != std::string::npos; }
    bool WaitFor(const std::string& event) const { return WaitUntil([&] { return Has(event); }, 10000); }

private:
    std::string m_path;
};
