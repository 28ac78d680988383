#include "tessaly_process.h"
#include "standin/standin_project.h"
#include "unix_tools.h"
#include <commctrl.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <shlwapi.h>
#include <cstdio>
#include <cstring>

namespace {

const char kMaker[] = "Tavell software";
const char kClosedVersionHost[] = "127.0.0.1:1";

std::string UniqueName()
{
    static LONG counter = 0;
    char name[64];
    std::snprintf(name, sizeof(name), "StartTest %lu-%ld", GetCurrentProcessId(), InterlockedIncrement(&counter));
    return name;
}

void DeleteTree(HKEY root, const std::string& path) { SHDeleteKeyA(root, path.c_str()); }

void DeleteFolder(const std::string& folder)
{
    std::string from = folder;
    if (!from.empty() && from.back() == '\\') from.pop_back();
    from.push_back('\0');
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

struct Search {
    DWORD pid;
    const char* className;
    const char* caption;
    HWND found;
};

BOOL CALLBACK Match(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->pid || ClassOf(hwnd) != search->className) return TRUE;
    if (search->caption && WindowText(hwnd) != search->caption) return TRUE;
    search->found = hwnd;
    return FALSE;
}

}  // namespace

std::string BuildFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path);
    return p.substr(0, p.find_last_of('\\') + 1);
}

TessalyInstall::TessalyInstall(const std::string& apptype, bool withApptype) : m_name(UniqueName())
{
    CopyFileA((BuildFolder() + "Tessaly.exe").c_str(), Program().c_str(), FALSE);
    if (withApptype) WriteFileBytes(m_folder.File(m_name + ".apptype"), apptype);
}

TessalyInstall::~TessalyInstall()
{
    DeleteFolder(DataFolder());
    DeleteTree(HKEY_CURRENT_USER, std::string("SOFTWARE\\") + kMaker + "\\" + m_name);
    DeleteTree(HKEY_LOCAL_MACHINE, std::string("SOFTWARE\\") + kMaker + "\\" + m_name);
}

std::string TessalyInstall::DataFolder() const
{
    char common[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, common);
    return std::string(common) + "\\" + kMaker + "\\" + m_name + "\\";
}

std::string TessalyInstall::RecentKey() const
{
    return std::string("SOFTWARE\\") + kMaker + "\\" + m_name + "\\Recent Document List";
}

void TessalyInstall::RegisterStandin(DWORD order) const
{
    RegisterType(STANDIN_PROJECT_CLSID_TEXT, order);
}

void TessalyInstall::RegisterType(const std::string& clsid, DWORD order, const std::string& description,
                                  const std::string& patterns) const
{
    // The installer's own step, as scripts/register-projects.sh runs it.
    std::string line = "\"" + BuildFolder() + "register_project_type.exe\" \"" + m_name + "\" " + clsid + " " +
                       std::to_string(order) + " \"" + description + "\" \"" + patterns + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return;
    WaitForSingleObject(pi.hProcess, 15000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

TessalyRun::TessalyRun(const TessalyInstall& install, const std::string& arguments)
{
    // The program's new-version check asks a closed loopback port unless a
    // test has pointed it at a server of its own.
    if (!GetEnvironmentVariableA("TB_VERSION_CHECK_HOST", nullptr, 0))
        SetEnvironmentVariableA("TB_VERSION_CHECK_HOST", kClosedVersionHost);
    std::string line = "\"" + install.Program() + "\"" + (arguments.empty() ? "" : " " + arguments);
    // Its standard handles (and those of what it starts: a surrogate the
    // system starts for a class it cannot load stays for good) lead
    // nowhere, so that no test runner waits on them.
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi = {};
    BOOL created = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                                  install.ProgramFolder().c_str(), &si, &pi);
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    if (created) {
        CloseHandle(pi.hThread);
        m_process = pi.hProcess;
        m_pid = pi.dwProcessId;
        WaitForInputIdle(m_process, 10000);
    }
}

TessalyRun::~TessalyRun()
{
    if (!m_process) return;
    if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) TerminateProcess(m_process, 1);
    WaitForSingleObject(m_process, 5000);
    CloseHandle(m_process);
}

HWND TessalyRun::WaitForWindow(const char* className, const char* caption, DWORD ms) const
{
    Search search = {m_pid, className, caption, nullptr};
    WaitUntil([&] {
        EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }, ms);
    return search.found;
}

HWND TessalyRun::WaitForFrame(DWORD ms)
{
    if (!m_frame) m_frame = WaitForWindow("TessalyWindowClassT", nullptr, ms);
    return m_frame;
}

DWORD TessalyRun::WaitExit(DWORD ms)
{
    DWORD code = STILL_ACTIVE;
    if (m_process && WaitForSingleObject(m_process, ms) == WAIT_OBJECT_0) GetExitCodeProcess(m_process, &code);
    return code;
}

DWORD TessalyRun::Close()
{
    if (HWND frame = WaitForFrame(0)) PostMessageA(frame, WM_CLOSE, 0, 0);
    return WaitExit(15000);
}

std::string WindowText(HWND window)
{
    char text[1024] = "";
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    return text;
}

std::string ClassOf(HWND window)
{
    char name[128] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }

void DismissBox(HWND box, int id) { PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

std::vector<HWND> MdiChildren(HWND frame)
{
    std::vector<HWND> children;
    HWND client = GetDlgItem(frame, 0xE900);
    for (HWND child = GetWindow(client, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

std::string RemoteStatusText(HWND statusBar, DWORD pid)
{
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return "";
    const SIZE_T size = 512;
    void* remote = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    std::string text;
    if (remote) {
        // In simple mode part 0 stands for the simple part.
        SendMessageA(statusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(remote));
        char local[size] = "";
        SIZE_T read = 0;
        ReadProcessMemory(process, remote, local, size - 1, &read);
        text = local;
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return text;
}

std::vector<std::string> RemoteListItems(HWND list, DWORD pid, int column)
{
    // A list view's item text is not carried across processes: the item
    // and its text buffer live in the list's process.
    std::vector<std::string> items;
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return items;
    const SIZE_T textSize = 512;
    auto* remote = static_cast<char*>(
        VirtualAllocEx(process, nullptr, sizeof(LVITEMA) + textSize, MEM_COMMIT, PAGE_READWRITE));
    if (remote) {
        const LRESULT count = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            LVITEMA item = {};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(i);
            item.iSubItem = column;
            item.pszText = remote + sizeof(LVITEMA);
            item.cchTextMax = static_cast<int>(textSize);
            SIZE_T written = 0, read = 0;
            WriteProcessMemory(process, remote, &item, sizeof(item), &written);
            SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote));
            char text[textSize] = "";
            ReadProcessMemory(process, remote + sizeof(LVITEMA), text, textSize - 1, &read);
            items.push_back(text);
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return items;
}

std::vector<std::string> RemoteComboItems(HWND combo)
{
    // The system carries the text of CB_GETLBTEXT across processes itself,
    // though in the combo box's own character set: asked for in wide
    // characters, whatever that is.
    std::vector<std::string> items;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
        if (length < 0) continue;
        std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&wide[0]));
        char text[1024] = "";
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text, sizeof(text), nullptr, nullptr);
        items.push_back(text);
    }
    return items;
}

namespace {

// A block in another process's memory that a message can point at: the
// common controls' structures do not cross processes by themselves.
class RemoteBlock {
public:
    RemoteBlock(DWORD pid, SIZE_T size)
        : m_process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid))
    {
        if (m_process) m_at = static_cast<char*>(VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemoteBlock()
    {
        if (m_at) VirtualFreeEx(m_process, m_at, 0, MEM_RELEASE);
        if (m_process) CloseHandle(m_process);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    char* At() const { return m_at; }
    bool Write(SIZE_T offset, const void* bytes, SIZE_T size) const
    {
        SIZE_T done = 0;
        return m_at && WriteProcessMemory(m_process, m_at + offset, bytes, size, &done) && done == size;
    }
    bool Read(SIZE_T offset, void* bytes, SIZE_T size) const
    {
        SIZE_T done = 0;
        return m_at && ReadProcessMemory(m_process, m_at + offset, bytes, size, &done) && done == size;
    }

private:
    HANDLE m_process;
    char* m_at = nullptr;
};

// Sends a message that fills a RECT, the RECT in the other process's
// memory: `rect` goes in as the message reads it and holds the answer on the
// way out. False when the block cannot be had or read, or when
// `answerNeeded` and the message answered 0.
bool RemoteRectMessage(HWND window, DWORD pid, UINT message, WPARAM wParam, RECT& rect, bool answerNeeded = true)
{
    RemoteBlock block(pid, sizeof(RECT));
    if (!block.Write(0, &rect, sizeof(rect))) return false;
    const LRESULT answer = SendMessageA(window, message, wParam, reinterpret_cast<LPARAM>(block.At()));
    return (!answerNeeded || answer) && block.Read(0, &rect, sizeof(rect));
}

struct DescendantSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchId(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<DescendantSearch*>(param);
    if (GetDlgCtrlID(hwnd) != search->id) return TRUE;
    search->found = hwnd;
    return FALSE;
}

}  // namespace

bool RemoteSetListState(HWND list, DWORD pid, int row, UINT state, UINT mask)
{
    RemoteBlock block(pid, sizeof(LVITEMA));
    LVITEMA item = {};
    item.stateMask = mask;
    item.state = state;
    if (!block.Write(0, &item, sizeof(item))) return false;
    return SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.At())) != 0;
}

std::string RemoteTreeText(HWND tree, DWORD pid, HTREEITEM item)
{
    const SIZE_T textSize = 512;
    RemoteBlock block(pid, sizeof(TVITEMA) + textSize);
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = block.At() + sizeof(TVITEMA);
    tv.cchTextMax = static_cast<int>(textSize);
    char text[textSize] = "";
    if (!block.Write(0, &tv, sizeof(tv)) ||
        !SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.At())) ||
        !block.Read(sizeof(TVITEMA), text, textSize - 1))
        return "";
    return text;
}

std::vector<std::string> RemoteTreeChildren(HWND tree, DWORD pid, HTREEITEM item)
{
    std::vector<std::string> texts;
    auto next = [&](UINT code, HTREEITEM from) {
        return reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(from)));
    };
    for (HTREEITEM child = item ? next(TVGN_CHILD, item) : next(TVGN_ROOT, nullptr); child;
         child = next(TVGN_NEXT, child))
        texts.push_back(RemoteTreeText(tree, pid, child));
    return texts;
}

HTREEITEM RemoteTreeItem(HWND tree, DWORD pid, const std::vector<std::string>& path)
{
    auto next = [&](UINT code, HTREEITEM from) {
        return reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(from)));
    };
    HTREEITEM item = next(TVGN_ROOT, nullptr);
    for (const std::string& name : path) {
        HTREEITEM child = item ? next(TVGN_CHILD, item) : nullptr;
        while (child && RemoteTreeText(tree, pid, child) != name) child = next(TVGN_NEXT, child);
        item = child;
    }
    return item;
}

HWND FindDescendant(HWND parent, int id)
{
    DescendantSearch search = {id, nullptr};
    EnumChildWindows(parent, MatchId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<DWORD> ProcessesNamed(const char* name)
{
    std::vector<DWORD> pids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return pids;
    PROCESSENTRY32 entry = {sizeof(entry)};
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, name) == 0) pids.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return pids;
}

NewProcessReaper::NewProcessReaper(const char* name) : m_name(name), m_before(ProcessesNamed(name)) {}

NewProcessReaper::~NewProcessReaper()
{
    for (DWORD pid : ProcessesNamed(m_name)) {
        bool old = false;
        for (DWORD before : m_before) old |= before == pid;
        if (old) continue;
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
    }
}

RemoteKeyboard::RemoteKeyboard(HWND window) : m_thread(GetWindowThreadProcessId(window, nullptr))
{
    m_attached = m_thread && AttachThreadInput(GetCurrentThreadId(), m_thread, TRUE);
}

RemoteKeyboard::~RemoteKeyboard()
{
    while (!m_held.empty()) Release(m_held.back());
    if (m_attached) AttachThreadInput(GetCurrentThreadId(), m_thread, FALSE);
}

void RemoteKeyboard::SetKey(BYTE key, bool down)
{
    BYTE state[256] = {};
    GetKeyboardState(state);
    state[key] = down ? 0x80 : 0;
    SetKeyboardState(state);
}

void RemoteKeyboard::Hold(BYTE key)
{
    SetKey(key, true);
    m_held.push_back(key);
}

void RemoteKeyboard::Release(BYTE key)
{
    SetKey(key, false);
    for (auto at = m_held.begin(); at != m_held.end(); ++at)
        if (*at == key) {
            m_held.erase(at);
            break;
        }
}

void RemoteKeyboard::Press(HWND focus, UINT key) const
{
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(focus, WM_KEYDOWN, key, scan | 1);
    PostMessageA(focus, WM_KEYUP, key, scan | 1 | (1u << 30) | (1u << 31));
}

namespace {

struct ToolTipSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK MatchToolTip(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<ToolTipSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && ClassOf(hwnd) == TOOLTIPS_CLASSA) search->found.push_back(hwnd);
    return TRUE;
}

}  // namespace

std::string RemoteToolTipText(HWND owner, UINT_PTR id, DWORD pid)
{
    ToolTipSearch search = {pid, {}};
    EnumWindows(MatchToolTip, reinterpret_cast<LPARAM>(&search));
    const SIZE_T textSize = 512;
    for (HWND tip : search.found) {
        RemoteBlock block(pid, sizeof(TTTOOLINFOA) + textSize);
        TTTOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.hwnd = owner;
        tool.uId = id;
        tool.lpszText = block.At() + sizeof(TTTOOLINFOA);
        const char empty[1] = "";
        if (!block.Write(0, &tool, sizeof(tool)) || !block.Write(sizeof(TTTOOLINFOA), empty, 1)) continue;
        if (!SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(block.At()))) continue;
        if (!block.Write(0, &tool, sizeof(tool))) continue;
        SendMessageA(tip, TTM_GETTEXTA, textSize, reinterpret_cast<LPARAM>(block.At()));
        char text[textSize] = "";
        if (block.Read(sizeof(TTTOOLINFOA), text, textSize - 1)) return text;
    }
    return std::string();
}

void ScreenShot(const char* name)
{
    char folder[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("TB_ROAD_SHOTS", folder, sizeof folder)) return;
    WaitUntil([] { return false; }, 300);  // the windows paint
    RunUnix("import -window root '" + std::string(folder) + "/" + name + ".png'");
}

bool PressKeys(HWND window, const std::vector<WORD>& keys)
{
    SetForegroundWindow(window);
    if (!WaitUntil([&] { return GetForegroundWindow() == window; }, 3000)) return false;
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT down = {};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        inputs.push_back(down);
    }
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        INPUT up = {};
        up.type = INPUT_KEYBOARD;
        up.ki.wVk = *key;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(up);
    }
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

RECT RemoteListItemRect(HWND list, DWORD pid, int row)
{
    RECT rect = {};
    rect.left = LVIR_LABEL;
    return RemoteRectMessage(list, pid, LVM_GETITEMRECT, static_cast<WPARAM>(row), rect) ? rect : RECT{};
}

RECT RemoteTrackbarRect(HWND trackbar, DWORD pid, UINT message)
{
    RECT rect = {};
    return RemoteRectMessage(trackbar, pid, message, 0, rect, false) ? rect : RECT{};  // these answer nothing
}

namespace {

void MouseInput(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(INPUT));
}

// The cursor moved in small steps, as a hand moves it, each step given time.
void MoveMouse(POINT from, POINT to, int steps)
{
    for (int i = 1; i <= steps; ++i) {
        const int x = from.x + (to.x - from.x) * i / steps, y = from.y + (to.y - from.y) * i / steps;
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof(INPUT));
        WaitUntil([] { return false; }, 40);
    }
}

// The cursor taken to the screen's bottom right corner, away from the
// program's windows: left where it clicked, it would choose the item under
// it in a menu opened there later.
void ParkMouse(POINT from)
{
    MoveMouse(from, POINT{GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1}, 1);
}

}  // namespace

void MouseDrag(POINT from, POINT to)
{
    MoveMouse(from, from, 1);
    WaitUntil([] { return false; }, 100);
    MouseInput(MOUSEEVENTF_LEFTDOWN);
    WaitUntil([] { return false; }, 100);
    MoveMouse(from, POINT{from.x + 12, from.y + 4}, 4);  // past the drag threshold
    MoveMouse(POINT{from.x + 12, from.y + 4}, to, 12);
    WaitUntil([] { return false; }, 300);  // over the target for a few ticks of the drag loop
    MouseInput(MOUSEEVENTF_LEFTUP);
    WaitUntil([] { return false; }, 300);
    ParkMouse(to);
}

bool MouseClick(HWND window, POINT client)
{
    POINT at = client;
    ClientToScreen(window, &at);
    if (!WaitUntil([&] { return WindowFromPoint(at) == window; }, 3000)) return false;
    MoveMouse(at, at, 1);
    WaitUntil([] { return false; }, 60);
    MouseInput(MOUSEEVENTF_LEFTDOWN);
    WaitUntil([] { return false; }, 60);
    MouseInput(MOUSEEVENTF_LEFTUP);
    WaitUntil([] { return false; }, 100);
    ParkMouse(at);
    return true;
}

POINT ClientCentre(HWND window)
{
    RECT r = {};
    GetClientRect(window, &r);
    return POINT{r.right / 2, r.bottom / 2};
}

HTREEITEM OpenFolderOfDriveC(HWND tree, DWORD pid, const std::string& name)
{
    auto open = [&](HTREEITEM item) {
        if (!item) return false;
        SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
        PostMessageA(tree, WM_KEYDOWN, VK_RIGHT, 0);
        return WaitUntil([&] { return !RemoteTreeChildren(tree, pid, item).empty(); }, 5000);
    };
    std::vector<std::string> path = {"My Computer"};  // below the desktop, the root
    HTREEITEM computer = RemoteTreeItem(tree, pid, path);
    if (!open(computer)) return nullptr;
    for (const std::string& drive : RemoteTreeChildren(tree, pid, computer))
        if (drive.find("C:") != std::string::npos) path.push_back(drive);
    if (path.size() != 2 || !open(RemoteTreeItem(tree, pid, path))) return nullptr;
    path.push_back(name);
    HTREEITEM folder = RemoteTreeItem(tree, pid, path);
    if (folder) SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(folder));
    return folder;
}

bool RemoteClickToolbarButton(HWND toolbar, DWORD pid, int command)
{
    RECT rect = {};
    if (!RemoteRectMessage(toolbar, pid, TB_GETRECT, static_cast<WPARAM>(command), rect)) return false;
    return MouseClick(toolbar, POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

RECT RemoteTreeItemRect(HWND tree, DWORD pid, HTREEITEM item)
{
    RECT rect = {};
    std::memcpy(&rect, &item, sizeof(item));  // the message reads the item from the rectangle
    return RemoteRectMessage(tree, pid, TVM_GETITEMRECT, TRUE, rect) ? rect : RECT{};
}
