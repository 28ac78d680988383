// The local server's monitor in one process, with a short time-out: it
// posts WM_QUIT to the thread that made the module once the lock count has
// stayed at zero for the time-out.
#include <gtest/gtest.h>
#include <com/local_factory.h>
#include <com/local_server.h>
#include <com/ptr.h>
#include <new>

namespace {

const DWORD kTimeout = 300;

bool QuitWithin(DWORD ms)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return true;
        if (GetTickCount() - start >= ms) return false;
        Sleep(10);
    }
}

HRESULT NoObject(REFIID, void**) { return E_NOTIMPL; }

}  // namespace

TEST(LocalServerMonitor, EndsAfterTheTimeOutFromTheStartWhenNobodyCame)
{
    com::LocalServerModule module(kTimeout);
    ASSERT_EQ(S_OK, module.StartMonitor());
    EXPECT_FALSE(QuitWithin(kTimeout / 2));
    EXPECT_TRUE(QuitWithin(kTimeout * 4));
}

TEST(LocalServerMonitor, LocksKeepTheServerAndEachDropToZeroRestartsTheTimeOut)
{
    com::LocalServerModule module(kTimeout);
    com::ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, com::CreateObject<com::LocalClassFactory>(IID_IClassFactory,
                                                              reinterpret_cast<void**>(&factory), &NoObject));
    ASSERT_EQ(S_OK, factory->LockServer(TRUE));
    ASSERT_EQ(S_OK, module.StartMonitor());
    EXPECT_EQ(1, com::ServerLockCount());
    EXPECT_FALSE(QuitWithin(kTimeout * 3)) << "a lock keeps the server";

    // A new lock inside the time-out restarts it.
    factory->LockServer(FALSE);
    Sleep(kTimeout * 2 / 3);
    factory->LockServer(TRUE);
    factory->LockServer(FALSE);
    EXPECT_FALSE(QuitWithin(kTimeout / 2));
    EXPECT_TRUE(QuitWithin(kTimeout * 3));
    EXPECT_EQ(0, com::ServerLockCount());
}

// The engine ends with a lock still held (a job's): the module goes while
// its monitor waits out a time-out, and waits for it, so that the monitor
// never reads the module after it has gone. A module made in its place,
// which no monitor watches, is not ended by the old one's.
TEST(LocalServerMonitor, AModuleGoesOnlyAfterItsMonitorHasEnded)
{
    const DWORD timeout = 1100;  // longer than a second: the module's end must not give up on it
    alignas(com::LocalServerModule) unsigned char place[sizeof(com::LocalServerModule)];
    com::ServerLock();
    auto* first = new (place) com::LocalServerModule(timeout);
    ASSERT_EQ(S_OK, first->StartMonitor());
    Sleep(timeout + 200);  // a time-out passed with the lock held: the monitor waits again
    first->~LocalServerModule();
    auto* second = new (place) com::LocalServerModule(timeout);
    com::ServerUnlock();
    EXPECT_FALSE(QuitWithin(timeout * 2)) << "the first module's monitor outlived it";
    second->~LocalServerModule();
}
