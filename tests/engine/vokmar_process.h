// Vokmar.exe seen from a test: starting it, finding its hidden window,
// waiting for it to end.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

std::string VokmarPath();  // beside the test program

// A Vokmar.exe started with the given arguments.
class VokmarRun {
public:
    explicit VokmarRun(const std::string& arguments);
    ~VokmarRun();
    VokmarRun(const VokmarRun&) = delete;
    VokmarRun& operator=(const VokmarRun&) = delete;
    bool Started() const { return m_process != nullptr; }
    DWORD Pid() const { return m_pid; }
    // The exit code, or STILL_ACTIVE when it has not ended within the time.
    DWORD WaitExit(DWORD ms);
private:
    HANDLE m_process = nullptr;
    DWORD m_pid = 0;
};

// The top-level windows of a class, of one process (any process for 0),
// with the thread each lives on.
struct FoundWindow {
    HWND window;
    DWORD thread;
};
std::vector<FoundWindow> WindowsOfClass(const char* className, DWORD pid = 0);

// The "DevicesWindow" of a process (any process for 0), or null.
HWND FindDevicesWindow(DWORD pid = 0);
// Waits up to `ms` for the window to appear.
HWND WaitForDevicesWindow(DWORD pid, DWORD ms);

// The running engine (found by its window), watched until it ends.
class EngineProcess {
public:
    EngineProcess();  // the engine running now, if any
    ~EngineProcess();
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;
    bool Found() const { return m_process != nullptr; }
    DWORD Pid() const { return m_pid; }
    bool Alive() const;
    // True when it ended within `ms`.
    bool WaitExit(DWORD ms) const;
private:
    HANDLE m_process = nullptr;
    DWORD m_pid = 0;
};

// Closes a running engine through its window and waits for it to end.
void StopEngine();

// Pumps the calling thread's messages for `ms` (an apartment thread must,
// for calls into it to arrive).
void PumpFor(DWORD ms);
