// Calls and events across the process boundary through the engine's
// proxies, with a probe server that plays an engine object.
#include <gtest/gtest.h>
#include <engine.h>
#include "event_sink.h"
#include "probe_ids.h"
#include <com/ptr.h>

namespace {

class ProbeCalls : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, writer.CoCreate(CLSID_CoEngineProbe, IID_IWriter, CLSCTX_LOCAL_SERVER));
        com::ComPtr<IConnectionPointContainer> container;
        ASSERT_EQ(S_OK, writer.As(IID_IConnectionPointContainer, &container));
        ASSERT_EQ(S_OK, container->FindConnectionPoint(IID__IMessageCallback, &point));
    }

    com::ComPtr<_IMessageCallback> NewSink(CTestEventSink** impl)
    {
        com::ComPtr<_IMessageCallback> sink;
        EXPECT_EQ(S_OK, com::CreateObject<CTestEventSink>(IID__IMessageCallback, reinterpret_cast<void**>(&sink)));
        *impl = static_cast<CTestEventSink*>(sink.Get());
        return sink;
    }

    com::ComPtr<IWriter> writer;
    com::ComPtr<IConnectionPoint> point;
};

}  // namespace

TEST_F(ProbeCalls, AServerWorkerReachesEverySinkAndTheAnswerComesBack)
{
    struct Case {
        unsigned answer;
    } cases[] = {{1}, {0}, {7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        CTestEventSink *first = nullptr, *second = nullptr;
        com::ComPtr<_IMessageCallback> sink1 = NewSink(&first), sink2 = NewSink(&second);
        first->SetAnswer(100);  // overwritten: the last sink's answer stands
        second->SetAnswer(c.answer);
        DWORD cookie1 = 0, cookie2 = 0;
        ASSERT_EQ(S_OK, point->Advise(sink1, &cookie1));
        ASSERT_EQ(S_OK, point->Advise(sink2, &cookie2));

        const unsigned cookie = 0x1234 + c.answer;
        ASSERT_EQ(S_OK, writer->Erase(cookie, 0, 0));
        ASSERT_TRUE(second->WaitFor(DM_ERASEEND, 5000));
        ASSERT_TRUE(first->WaitFor(DM_ERASEEND, 1000));
        for (CTestEventSink* s : {first, second}) {
            std::vector<EngineEvent> events = s->Events();
            ASSERT_EQ(3u, events.size());
            EXPECT_EQ(DM_ERASEPREPARE, events[0].message);
            EXPECT_EQ(DM_QUESTION, events[1].message);
            EXPECT_TRUE(events[1].sent);
            EXPECT_EQ(ASK_INSERT_DISC, events[1].lParam);
            EXPECT_EQ(DM_ERASEEND, events[2].message);
            for (const EngineEvent& e : events) EXPECT_EQ(cookie, e.wParam);
            EXPECT_EQ(c.answer, events[2].lParam);
        }
        // The answer variable travels in and out: the first sink saw the
        // question code, the second the first sink's answer.
        EXPECT_EQ(unsigned(ASK_INSERT_DISC), first->AnswerOnArrival());
        EXPECT_EQ(100u, second->AnswerOnArrival());
        EXPECT_EQ(S_OK, point->Unadvise(cookie1));
        EXPECT_EQ(S_OK, point->Unadvise(cookie2));
    }
}

TEST_F(ProbeCalls, AnObjectOfTheServerComesBackAsItself)
{
    com::ComPtr<IObjectCreator> creator;
    ASSERT_EQ(S_OK, writer.As(IID_IObjectCreator, &creator));
    com::ComPtr<IUnknown> token;
    ASSERT_EQ(S_OK, creator->CreateObject(CLSID_NULL, &token));
    ASSERT_TRUE(token);
    // The private raw pointer has no proxy: the client cannot reach it...
    com::ComPtr<IUnknown> raw;
    EXPECT_EQ(E_NOINTERFACE, token->QueryInterface(IID_ISimpleRawPtr, reinterpret_cast<void**>(&raw)));
    // ...but the server, given its own object back, gets the object itself.
    EXPECT_EQ(S_OK, writer->BurnData(1, 0, token, 0));
    // A client's own object stays a proxy there.
    CTestEventSink* impl = nullptr;
    com::ComPtr<_IMessageCallback> clientObject = NewSink(&impl);
    EXPECT_EQ(E_NOINTERFACE, writer->BurnData(1, 0, clientObject, 0));
}

TEST_F(ProbeCalls, AJobsQuestionLeavesTheDeviceWindowAndWaitsForTheClientsAnswer)
{
    com::ComPtr<IObjectCreator> creator;
    ASSERT_EQ(S_OK, writer.As(IID_IObjectCreator, &creator));
    com::ComPtr<IUnknown> unknown;
    ASSERT_EQ(S_OK, creator->CreateObject(CLSID_CoDevices, &unknown));
    com::ComPtr<IMedium> medium;
    ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IMedium, reinterpret_cast<void**>(&medium)));
    com::ComPtr<IConnectionPointContainer> container;
    com::ComPtr<IConnectionPoint> devicePoint;
    ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)));
    ASSERT_EQ(S_OK, container->FindConnectionPoint(IID__IMessageCallback, &devicePoint));

    struct Case {
        unsigned answer;
        std::vector<unsigned> events;
        HRESULT result;
    };
    const Case cases[] = {
        {1, {DM_ERASEPREPARE, DM_QUESTION, DM_MEDIUMCHANGED, DM_ERASEEND}, S_OK},
        {0, {DM_ERASEPREPARE, DM_QUESTION, DM_ERASEEND}, SCARD_W_CANCELLED_BY_USER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        CTestEventSink* impl = nullptr;
        com::ComPtr<_IMessageCallback> sink = NewSink(&impl);
        impl->SetAnswer(c.answer);
        // While the engine waits for the answer, the client calls it back.
        unsigned typeSeen = 0;
        HRESULT callBack = E_FAIL;
        impl->OnQuestion([&](unsigned) { callBack = medium->GetMediumType(&typeSeen); });
        DWORD cookie = 0;
        ASSERT_EQ(S_OK, devicePoint->Advise(sink, &cookie));
        const unsigned jobCookie = 0x5150 + c.answer;
        ASSERT_EQ(S_OK, writer->BurnImage(jobCookie, 0, nullptr, 0));
        ASSERT_TRUE(impl->WaitFor(DM_ERASEEND, 5000));
        std::vector<EngineEvent> events = impl->Events();
        ASSERT_EQ(c.events.size(), events.size());
        for (size_t i = 0; i < events.size(); ++i) {
            EXPECT_EQ(c.events[i], events[i].message);
            EXPECT_EQ(jobCookie, events[i].wParam);
            EXPECT_EQ(events[i].message == DM_QUESTION, events[i].sent);
        }
        EXPECT_EQ(unsigned(ASK_INSERT_DISC), events[1].lParam);
        EXPECT_EQ(static_cast<unsigned>(c.result), events.back().lParam);
        EXPECT_EQ(S_OK, callBack);
        EXPECT_EQ(unsigned(MT_DVD_RW_SEQ), typeSeen);
        EXPECT_EQ(S_OK, devicePoint->Unadvise(cookie));
    }
}
