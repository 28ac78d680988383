// The engine ends 5 s after the last client left (plus its 1 s pause),
// counting only what clients hold.
#include <gtest/gtest.h>
#include "disc_folder.h"
#include <engine.h>
#include "vokmar_process.h"
#include <com/ptr.h>

namespace {

// Later than the end would come (5 s + 1 s pause) if the engine failed to
// count what keeps it.
const DWORD kPastTimeout = 7000;
// Early enough that a 5 s time-out cannot have run out.
const DWORD kBeforeTimeout = 4000;
const DWORD kEndBound = 10000;

com::ComPtr<IDevices> CreateDevices()
{
    com::ComPtr<IDevices> devices;
    EXPECT_EQ(S_OK, devices.CoCreate(CLSID_CoDevices, IID_IDevices, CLSCTX_LOCAL_SERVER));
    return devices;
}

}  // namespace

TEST(EngineLifetime, AClientWithinTheTimeOutKeepsItUntilFiveSecondsAfterItLeaves)
{
    StopEngine();
    CreateDevices();  // created and released at once: the time-out starts
    EngineProcess engine;
    ASSERT_TRUE(engine.Found());
    PumpFor(3000);
    ASSERT_TRUE(engine.Alive());
    com::ComPtr<IDevices> held = CreateDevices();
    ASSERT_TRUE(held);
    EXPECT_EQ(engine.Pid(), EngineProcess().Pid()) << "the same engine serves the new client";

    PumpFor(kPastTimeout - 3000);
    EXPECT_TRUE(engine.Alive()) << "a held object keeps the engine";
    held.Reset();
    const DWORD released = GetTickCount();
    EXPECT_FALSE(engine.WaitExit(kBeforeTimeout));
    EXPECT_TRUE(engine.WaitExit(kEndBound - kBeforeTimeout));
    const DWORD ended = GetTickCount() - released;
    EXPECT_GE(ended, 5000u);
    EXPECT_LE(ended, 9000u);
}

TEST(EngineLifetime, LockServerKeepsItAfterTheLastRelease)
{
    StopEngine();
    com::ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, CoGetClassObject(CLSID_CoDevices, CLSCTX_LOCAL_SERVER, nullptr, IID_IClassFactory,
                                     reinterpret_cast<void**>(&factory)));
    {
        com::ComPtr<IDevices> devices;
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IDevices, reinterpret_cast<void**>(&devices)));
    }
    EngineProcess engine;
    ASSERT_TRUE(engine.Found());
    const HRESULT locked = factory->LockServer(TRUE);
    if (locked == E_NOTIMPL) GTEST_SKIP() << "the runtime's class factory proxy does not pass LockServer on";
    ASSERT_EQ(S_OK, locked);
    PumpFor(kPastTimeout);
    EXPECT_TRUE(engine.Alive());
    ASSERT_EQ(S_OK, factory->LockServer(FALSE));
    factory.Reset();
    EXPECT_FALSE(engine.WaitExit(kBeforeTimeout));
    EXPECT_TRUE(engine.WaitExit(kEndBound - kBeforeTimeout));
}

TEST(EngineLifetime, WmCloseToItsWindowEndsItWhateverClientsHold)
{
    StopEngine();
    com::ComPtr<IDevices> devices = CreateDevices();
    ASSERT_TRUE(devices);
    EngineProcess engine;
    ASSERT_TRUE(engine.Found());
    PostMessageA(FindDevicesWindow(engine.Pid()), WM_CLOSE, 0, 0);
    // The close waits for the first scan and each drive's thread, which on a
    // busy machine takes seconds; without the close the held list keeps it.
    EXPECT_TRUE(engine.WaitExit(kEndBound));
    unsigned count = 0;
    EXPECT_TRUE(FAILED(devices->GetDeviceCount(&count))) << "the client's object is gone with the engine";
}

TEST(EngineLifetime, AHeldDeviceKeepsItButTheListsOwnDrivesDoNot)
{
    StopEngine();
    com::ComPtr<IDevice> device;
    {
        com::ComPtr<IDevices> devices = CreateDevices();
        ASSERT_TRUE(devices);
        for (int i = 0; i < 50 && devices->IsInitialized() != S_OK; ++i) PumpFor(100);
        ASSERT_EQ(S_OK, devices->GetDevice(0, &device));
    }
    EngineProcess engine;
    ASSERT_TRUE(engine.Found());
    PumpFor(kPastTimeout);
    EXPECT_TRUE(engine.Alive()) << "the client's device keeps the engine";
    device.Reset();
    EXPECT_TRUE(engine.WaitExit(kEndBound)) << "the drives in the list do not";
}

namespace {

// The drives' folder taken away and a file in its place, so that the disc
// layer cannot start; put back when it leaves scope.
class UnstartableDrives {
public:
    UnstartableDrives() : m_folder(EngineDataFolder() + "\\VirtualDrives")
    {
        m_moved = MoveFileA(m_folder.c_str(), (m_folder + ".aside").c_str()) != FALSE;
        HANDLE file = CreateFileA(m_folder.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    ~UnstartableDrives()
    {
        DeleteFileA(m_folder.c_str());
        if (m_moved) MoveFileA((m_folder + ".aside").c_str(), m_folder.c_str());
    }
    bool Ready() const { return m_moved; }

private:
    std::string m_folder;
    bool m_moved;
};

}  // namespace

TEST(EngineLifetime, ADeviceListThatCannotStartDoesNotEndTheEngine)
{
    StopEngine();
    UnstartableDrives drives;
    ASSERT_TRUE(drives.Ready());
    VokmarRun run("-Embedding");
    ASSERT_TRUE(run.Started());
    EXPECT_EQ(STILL_ACTIVE, run.WaitExit(2500)) << "its message loop ended with the failed list";
    // Nobody got an object: it ends by its time-out.
    EXPECT_NE(STILL_ACTIVE, run.WaitExit(kEndBound));
}
