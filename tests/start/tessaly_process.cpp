#include "tessaly_process.h"
#include "standin/standin_project.h"
#include <commctrl.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <shlwapi.h>
#include <cstdio>

namespace {

const char kMaker[] = "Tavell software";

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

std::vector<std::string> RemoteListItems(HWND list, DWORD pid)
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
