// The device list seen from a client process, through the proxy DLL.
#include <gtest/gtest.h>
#include "engine.h"
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
