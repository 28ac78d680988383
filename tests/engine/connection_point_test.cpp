// The connection point in one process: cookies, firing, and the results.
#include <gtest/gtest.h>
#include <engine.h>
#include "event_sink.h"
#include "devices/message_callback_point.h"
#include <com/ptr.h>
#include <olectl.h>

namespace {

class CSource : public com::ObjectRoot<com::MultiThreadModel>, public com::ConnectionPointContainer {
public:
    COM_INTERFACES_BEGIN(CSource)
        COM_INTERFACE(IConnectionPointContainer)
    COM_INTERFACES_END()
    MessageCallbackPoint events{this};
};

// A sink whose calls fail, and which unadvises another sink when called.
class CFailingSink : public CTestEventSink {
public:
    STDMETHODIMP IMC_PostMessage(unsigned int msg, unsigned int w, unsigned int l) override
    {
        CTestEventSink::IMC_PostMessage(msg, w, l);
        if (point && cookie) point->Unadvise(cookie);
        return E_FAIL;
    }
    IConnectionPoint* point = nullptr;
    DWORD cookie = 0;
};

}  // namespace

TEST(ConnectionPoint, FiresToEverySinkOutsideItsLockAndReportsTheLastResult)
{
    com::ComObject<CSource>* source = nullptr;
    ASSERT_EQ(S_OK, com::CreateObjectImpl<CSource>(&source));
    com::ComPtr<IConnectionPoint> point;
    ASSERT_EQ(S_OK, source->FindConnectionPoint(IID__IMessageCallback, &point));
    EXPECT_EQ(S_OK, source->events.FirePost(DM_DEVICEARRIVED, 1, 0)) << "no sink: S_OK";

    com::ComObject<CFailingSink>* failing = nullptr;
    com::ComObject<CTestEventSink>* plain = nullptr;
    ASSERT_EQ(S_OK, com::CreateObjectImpl<CFailingSink>(&failing));
    ASSERT_EQ(S_OK, com::CreateObjectImpl<CTestEventSink>(&plain));
    DWORD c1 = 0, c2 = 0, c3 = 0;
    ASSERT_EQ(S_OK, point->Advise(static_cast<_IMessageCallback*>(plain), &c1));
    ASSERT_EQ(S_OK, point->Advise(static_cast<_IMessageCallback*>(failing), &c2));
    EXPECT_EQ(CONNECT_E_NOCONNECTION, point->Unadvise(c2 + 1));

    // The failing sink is last: its failure is the result, the first sink
    // got the event all the same.
    EXPECT_EQ(E_FAIL, source->events.FirePost(DM_DEVICEARRIVED, 7, 0));
    EXPECT_EQ(1u, plain->Events().size());

    // A sink may unadvise another while it is being called.
    ASSERT_EQ(S_OK, point->Unadvise(c1));
    ASSERT_EQ(S_OK, point->Advise(static_cast<_IMessageCallback*>(plain), &c3));
    EXPECT_EQ(c1, c3) << "a freed slot is used again";
    failing->point = point;
    failing->cookie = c3;
    source->events.FirePost(DM_DEVICEREMOVED, 7, 0);
    source->events.FirePost(DM_DEVICEREMOVED, 8, 0);
    EXPECT_EQ(3u, failing->Events().size());
    EXPECT_EQ(2u, plain->Events().size()) << "the second firing no longer reaches it";

    failing->point = nullptr;
    point.Reset();
    failing->Release();
    plain->Release();
    source->Release();
}
