#include "com/local_server.h"
#include "com/ptr.h"

namespace com {

namespace {
LONG g_serverLocks = 0;
// Guards g_module: a worker may give its lock back while the module goes.
SRWLOCK g_moduleLock = SRWLOCK_INIT;
LocalServerModule* g_module = nullptr;
}

LONG ServerLock() { return InterlockedIncrement(&g_serverLocks); }

LONG ServerUnlock()
{
    LONG n = InterlockedDecrement(&g_serverLocks);
    if (n == 0) {
        AcquireSRWLockShared(&g_moduleLock);
        if (g_module) g_module->OnLastUnlock();
        ReleaseSRWLockShared(&g_moduleLock);
    }
    return n;
}

LONG ServerLockCount() { return g_serverLocks; }

LocalServerModule::LocalServerModule(DWORD timeoutMs)
    : m_timeout(timeoutMs), m_mainThread(GetCurrentThreadId())
{
    AcquireSRWLockExclusive(&g_moduleLock);
    g_module = this;
    ReleaseSRWLockExclusive(&g_moduleLock);
}

LocalServerModule::~LocalServerModule()
{
    AcquireSRWLockExclusive(&g_moduleLock);
    if (g_module == this) g_module = nullptr;
    ReleaseSRWLockExclusive(&g_moduleLock);
    if (m_monitor) {
        // The monitor reads this module: it has ended before the module goes.
        InterlockedExchange(&m_stopping, 1);
        SetEvent(m_event);
        WaitForSingleObject(m_monitor, INFINITE);
        CloseHandle(m_monitor);
    }
    if (m_event) CloseHandle(m_event);
}

HRESULT LocalServerModule::StartMonitor()
{
    m_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!m_event) return HRESULT_FROM_WIN32(GetLastError());
    m_monitor = CreateThread(nullptr, 0, MonitorThread, this, 0, nullptr);
    // Counts as a drop to zero: a server that no client reaches (an
    // activation that failed, a start by hand) ends after the time-out too.
    if (m_monitor) OnLastUnlock();
    return m_monitor ? S_OK : HRESULT_FROM_WIN32(GetLastError());
}

void LocalServerModule::OnLastUnlock()
{
    InterlockedExchange(&m_activity, 1);
    if (m_event) SetEvent(m_event);
}

DWORD WINAPI LocalServerModule::MonitorThread(void* module)
{
    static_cast<LocalServerModule*>(module)->Monitor();
    return 0;
}

void LocalServerModule::Monitor()
{
    for (;;) {
        WaitForSingleObject(m_event, INFINITE);
        if (m_stopping) return;
        // Each new drop to zero restarts the time-out.
        DWORD wait;
        do {
            InterlockedExchange(&m_activity, 0);
            wait = WaitForSingleObject(m_event, m_timeout);
        } while (wait == WAIT_OBJECT_0 && !m_stopping);
        if (m_stopping) return;
        if (!m_activity && ServerLockCount() == 0) break;
    }
    PostThreadMessageA(m_mainThread, WM_QUIT, 0, 0);
}

HRESULT LocalServerModule::RegisterClassObjects(const LocalClassEntry* table)
{
    // A class whose class object cannot be made is not served; the others are.
    HRESULT result = S_OK;
    for (const LocalClassEntry* e = table; e->clsid; ++e) {
        ComPtr<IClassFactory> factory;
        HRESULT hr = e->classObject(&factory);
        if (SUCCEEDED(hr)) {
            DWORD cookie = 0;
            hr = CoRegisterClassObject(*e->clsid, factory, CLSCTX_LOCAL_SERVER,
                                       REGCLS_MULTIPLEUSE | REGCLS_SUSPENDED, &cookie);
            if (SUCCEEDED(hr)) m_cookies.push_back(cookie);
        }
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    HRESULT hr = CoResumeClassObjects();
    return FAILED(result) ? result : hr;
}

void LocalServerModule::RevokeClassObjects()
{
    for (DWORD cookie : m_cookies) CoRevokeClassObject(cookie);
    m_cookies.clear();
}

int LocalServerModule::RunMessageLoop()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace com
