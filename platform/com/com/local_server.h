// Out-of-process component servers (programs): the server's lock count,
// the monitor that ends the server a while after the count dropped to
// zero, the class objects registered with the component runtime, and the
// main thread's message loop.
//
// The lock count counts only what clients hold: objects that the runtime
// reports as connected to another process (ExternalConnection), and
// IClassFactory::LockServer. Objects that the server holds itself (its
// singletons, the objects they keep) do not keep it alive.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <vector>

namespace com {

// Lock count of the local server of this process.
LONG ServerLock();
// The decrement that reaches zero wakes the monitor.
LONG ServerUnlock();
LONG ServerLockCount();

using ClassObjectFn = HRESULT (*)(IClassFactory** factory);

// One class served by the program.
struct LocalClassEntry {
    const CLSID* clsid;
    ClassObjectFn classObject;   // makes the class object at registration
    const char* progId;          // version-independent, as "Vokmar.CoDevices"
    const char* description;     // "CoDevices Class"
    const char* threadingModel;  // written under LocalServer32 when not null
};

class LocalServerModule {
public:
    // After the count dropped to zero the server ends when `timeoutMs` pass
    // without new activity.
    explicit LocalServerModule(DWORD timeoutMs);
    ~LocalServerModule();
    LocalServerModule(const LocalServerModule&) = delete;
    LocalServerModule& operator=(const LocalServerModule&) = delete;

    // Starts the monitor; it posts WM_QUIT to the thread that made the module.
    // The time-out runs from the start as after a drop to zero.
    HRESULT StartMonitor();
    // Makes and registers every class object of the table (ended by a row
    // with a null clsid) for multiple use, then lets clients in.
    HRESULT RegisterClassObjects(const LocalClassEntry* table);
    void RevokeClassObjects();
    // The message loop of the main thread; its result is WM_QUIT's.
    static int RunMessageLoop();

    // Called by ServerUnlock.
    void OnLastUnlock();

private:
    static DWORD WINAPI MonitorThread(void* module);
    void Monitor();

    DWORD m_timeout;
    DWORD m_mainThread;
    HANDLE m_event = nullptr;   // auto-reset: the count dropped to zero
    HANDLE m_monitor = nullptr;
    volatile LONG m_activity = 0;
    volatile LONG m_stopping = 0;
    std::vector<DWORD> m_cookies;
};

}  // namespace com
