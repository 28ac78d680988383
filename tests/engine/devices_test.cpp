// The device list seen from a client process, through the proxy DLL.
#include <gtest/gtest.h>
#include <engine.h>
#include "event_sink.h"
#include "vokmar_process.h"
#include <com/ptr.h>
#include <olectl.h>

namespace {

class EngineDevices : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, devices.CoCreate(CLSID_CoDevices, IID_IDevices, CLSCTX_LOCAL_SERVER));
        ASSERT_EQ(S_OK, devices.As(IID_IConnectionPointContainer, &container));
        ASSERT_EQ(S_OK, container->FindConnectionPoint(IID__IMessageCallback, &point));
        ASSERT_EQ(S_OK, com::CreateObject<CTestEventSink>(IID__IMessageCallback, reinterpret_cast<void**>(&sinkItf)));
        sink = static_cast<CTestEventSink*>(sinkItf.Get());
    }

    com::ComPtr<IDevices> devices;
    com::ComPtr<IConnectionPointContainer> container;
    com::ComPtr<IConnectionPoint> point;
    com::ComPtr<_IMessageCallback> sinkItf;
    CTestEventSink* sink = nullptr;
};

}  // namespace

TEST_F(EngineDevices, EveryClientGetsTheOneListAndItsAnswers)
{
    com::ComPtr<IDevices> second;
    ASSERT_EQ(S_OK, second.CoCreate(CLSID_CoDevices, IID_IDevices, CLSCTX_LOCAL_SERVER));
    EXPECT_TRUE(com::SameObject(devices, second));

    // A client waits for the first scan as the frames do.
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, point->Advise(sinkItf, &cookie));
    if (devices->IsInitialized() != S_OK) {
        EXPECT_TRUE(sink->WaitFor(DM_DEVICESSCANNED, 5000));
    }
    EXPECT_EQ(S_OK, devices->IsInitialized());

    unsigned count = 0xFFFFFFFF;
    ASSERT_EQ(S_OK, devices->GetDeviceCount(&count));
    com::ComPtr<IDevice> device;
    EXPECT_EQ(E_INVALIDARG, devices->GetDevice(count, &device));
    EXPECT_EQ(E_FAIL, devices->GetDeviceByID(0xFFFFFFFF, &device));

    com::ComPtr<IObjectCreator> creator;
    ASSERT_EQ(S_OK, devices.As(IID_IObjectCreator, &creator));
    com::ComPtr<IUnknown> made;
    EXPECT_EQ(E_NOINTERFACE, creator->CreateObject(CLSID_CoISOFileTree, &made));
    EXPECT_EQ(S_OK, point->Unadvise(cookie));
}

TEST_F(EngineDevices, SinksAdviseAndUnadviseAcrossTheProcessBoundary)
{
    com::ComPtr<IConnectionPoint> other;
    EXPECT_EQ(CONNECT_E_NOCONNECTION, container->FindConnectionPoint(IID_IDevices, &other));
    IID iid = IID_NULL;
    ASSERT_EQ(S_OK, point->GetConnectionInterface(&iid));
    EXPECT_TRUE(IsEqualIID(IID__IMessageCallback, iid));

    DWORD first = 0, second = 0;
    ASSERT_EQ(S_OK, point->Advise(sinkItf, &first));
    ASSERT_EQ(S_OK, point->Advise(sinkItf, &second));
    EXPECT_NE(first, second);
    EXPECT_EQ(S_OK, point->Unadvise(first));
    EXPECT_EQ(CONNECT_E_NOCONNECTION, point->Unadvise(first));
    EXPECT_EQ(S_OK, point->Unadvise(second));

    // A client object without the event interface cannot be advised.
    com::ComPtr<IConnectionPointContainer> notASink = container;
    DWORD cookie = 0;
    EXPECT_EQ(CONNECT_E_CANNOTCONNECT, point->Advise(notASink, &cookie));
}

namespace {

struct ListedDrive {
    unsigned index, id, letter;
};

// The two drives the disc layer makes in a fresh data folder, in order.
const ListedDrive kDrives[] = {
    {0, 0x00000001, 'E'},  // 1:0:0:0, the DVD writer
    {1, 0x00010001, 'F'},  // 1:0:1:0, the CD writer
};

void WaitForFirstScan(IDevices* devices, CTestEventSink* sink)
{
    if (devices->IsInitialized() != S_OK) sink->WaitFor(DM_DEVICESSCANNED, 5000);
    ASSERT_EQ(S_OK, devices->IsInitialized());
}

}  // namespace

TEST_F(EngineDevices, TheFirstScanListsEachDriveOnceWithItsIdAndLetter)
{
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, point->Advise(sinkItf, &cookie));
    WaitForFirstScan(devices, sink);
    unsigned count = 0;
    ASSERT_EQ(S_OK, devices->GetDeviceCount(&count));
    ASSERT_EQ(2u, count);
    for (const ListedDrive& drive : kDrives) {
        SCOPED_TRACE(drive.index);
        com::ComPtr<IDevice> byIndex, byId, byLetter;
        ASSERT_EQ(S_OK, devices->GetDevice(drive.index, &byIndex));
        unsigned id = 0, letter = 0;
        ASSERT_EQ(S_OK, byIndex->GetDeviceID(&id));
        ASSERT_EQ(S_OK, byIndex->GetDeviceLetter(&letter));
        EXPECT_EQ(drive.id, id);
        EXPECT_EQ(drive.letter, letter);
        ASSERT_EQ(S_OK, devices->GetDeviceByID(drive.id, &byId));
        ASSERT_EQ(S_OK, devices->GetDeviceByDriveLetter(drive.letter, &byLetter));
        EXPECT_TRUE(com::SameObject(byIndex, byId));
        EXPECT_TRUE(com::SameObject(byIndex, byLetter));
    }
    EXPECT_EQ(S_OK, point->Unadvise(cookie));
}

TEST_F(EngineDevices, LookupsThatFindNothingAnswerTheirErrorsAndANullDevice)
{
    struct Case {
        const char* what;
        HRESULT (*call)(IDevices*, IDevice**);
        HRESULT expected;
    };
    const Case cases[] = {
        {"index past the end", [](IDevices* d, IDevice** o) { return d->GetDevice(2, o); }, E_INVALIDARG},
        {"huge index", [](IDevices* d, IDevice** o) { return d->GetDevice(0xFFFFFFFF, o); }, E_INVALIDARG},
        {"unknown id", [](IDevices* d, IDevice** o) { return d->GetDeviceByID(0x00020001, o); }, E_FAIL},
        {"id with the port high", [](IDevices* d, IDevice** o) { return d->GetDeviceByID(0x01000000, o); }, E_FAIL},
        {"unknown letter", [](IDevices* d, IDevice** o) { return d->GetDeviceByDriveLetter('Z', o); }, E_FAIL},
        {"lower-case letter", [](IDevices* d, IDevice** o) { return d->GetDeviceByDriveLetter('e', o); }, E_FAIL},
    };
    WaitForFirstScan(devices, sink);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        IDevice* device = reinterpret_cast<IDevice*>(1);
        EXPECT_EQ(c.expected, c.call(devices, &device));
        EXPECT_EQ(nullptr, device);
    }
    unsigned count = 0;
    ASSERT_EQ(S_OK, devices->GetDeviceCount(&count));
    EXPECT_EQ(2u, count);
}
