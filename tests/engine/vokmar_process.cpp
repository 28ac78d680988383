#include "vokmar_process.h"

std::string VokmarPath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path);
    return p.substr(0, p.find_last_of('\\') + 1) + "Vokmar.exe";
}

VokmarRun::VokmarRun(const std::string& arguments)
{
    std::string line = "\"" + VokmarPath() + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        m_process = pi.hProcess;
        m_pid = pi.dwProcessId;
    }
}

VokmarRun::~VokmarRun()
{
    if (!m_process) return;
    if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
        if (HWND window = FindDevicesWindow(m_pid)) PostMessageA(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(m_process, 5000) == WAIT_TIMEOUT) TerminateProcess(m_process, 1);
    }
    CloseHandle(m_process);
}

DWORD VokmarRun::WaitExit(DWORD ms)
{
    DWORD code = STILL_ACTIVE;
    if (m_process && WaitForSingleObject(m_process, ms) == WAIT_OBJECT_0) GetExitCodeProcess(m_process, &code);
    return code;
}

namespace {
struct WindowSearch {
    const char* className;
    DWORD pid;
    std::vector<FoundWindow> found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof(name));
    DWORD pid = 0;
    const DWORD thread = GetWindowThreadProcessId(hwnd, &pid);
    if (lstrcmpA(name, search->className) == 0 && (!search->pid || pid == search->pid))
        search->found.push_back({hwnd, thread});
    return TRUE;
}
}  // namespace

std::vector<FoundWindow> WindowsOfClass(const char* className, DWORD pid)
{
    WindowSearch search = {className, pid, {}};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDevicesWindow(DWORD pid)
{
    const std::vector<FoundWindow> found = WindowsOfClass("DevicesWindow", pid);
    return found.empty() ? nullptr : found.front().window;
}

HWND WaitForDevicesWindow(DWORD pid, DWORD ms)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND hwnd = FindDevicesWindow(pid)) return hwnd;
        if (GetTickCount() - start >= ms) return nullptr;
        PumpFor(20);
    }
}

EngineProcess::EngineProcess()
{
    HWND window = FindDevicesWindow();
    if (!window) return;
    GetWindowThreadProcessId(window, &m_pid);
    m_process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, m_pid);
}

EngineProcess::~EngineProcess()
{
    if (m_process) CloseHandle(m_process);
}

bool EngineProcess::Alive() const { return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }

bool EngineProcess::WaitExit(DWORD ms) const
{
    if (!m_process) return true;
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
        if (GetTickCount() - start >= ms) return false;
        PumpFor(20);
    }
    return true;
}

void StopEngine()
{
    for (int i = 0; i < 3; ++i) {
        EngineProcess engine;
        if (!engine.Found()) return;
        if (HWND window = FindDevicesWindow(engine.Pid())) PostMessageA(window, WM_CLOSE, 0, 0);
        engine.WaitExit(5000);
    }
}

void PumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        DWORD passed = GetTickCount() - start;
        if (passed >= ms) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - passed, QS_ALLINPUT);
    }
}
