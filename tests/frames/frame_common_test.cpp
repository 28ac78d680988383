// What every frame compiles in, without the engine: the event sink that
// turns engine events into window messages, and the callers' cookies.
#include <gtest/gtest.h>
#include "engine.h"
#include <com/ptr.h>
#include <frames/common/caller_cookie.h>
#include <frames/common/device_callback_buffer.h>
#include <frames/common/engine_events.h>
#include <window/window_impl.h>
#include <set>
#include <vector>

namespace {

// A frame's window as the sink sees it: records the engine messages and
// answers the question with a set value.
class CEventWindow : public wnd::WindowImpl<CEventWindow> {
public:
    WND_MSG_MAP_BEGIN(CEventWindow)
        WND_MESSAGE_RANGE(WM_ENGINE_FIRST, WM_ENGINE_LAST, OnEvent)
    WND_MSG_MAP_END()
    LRESULT OnEvent(UINT msg, WPARAM w, LPARAM l, BOOL&)
    {
        seen.push_back({msg, static_cast<unsigned>(w), static_cast<unsigned>(l)});
        return answer;
    }
    struct Seen {
        UINT msg;
        unsigned w, l;
        bool operator==(const Seen& o) const { return msg == o.msg && w == o.w && l == o.l; }
    };
    std::vector<Seen> seen;
    LRESULT answer = 1;
};

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

class EventSink : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, CCoDeviceCallbackBuffer::CreateInstance(&sink));
        ASSERT_TRUE(window.Create(HWND_MESSAGE, nullptr, "", 0));
        sink->SetTarget(window);
    }
    void TearDown() override
    {
        if (window.IsWindow()) window.Destroy();
    }
    com::ComPtr<com::ComObject<CCoDeviceCallbackBuffer>> sink;
    CEventWindow window;
};

TEST_F(EventSink, EventNArrivesAsMessage2024PlusNAndTheQuestionIsAnswered)
{
    EXPECT_EQ(S_OK, sink->IMC_PostMessage(DM_BURNEND, 0x1234, 0x80004005));
    EXPECT_EQ(S_OK, sink->IMC_PostMessage(DM_DEVICESSCANNED, 0, 0));
    EXPECT_TRUE(window.seen.empty()) << "posted, not sent";
    Pump();
    EXPECT_EQ((std::vector<CEventWindow::Seen>{{2030, 0x1234, 0x80004005}, {2050, 0, 0}}), window.seen);

    // The question is sent; a non-zero answer is written, zero keeps the
    // engine's own.
    window.seen.clear();
    unsigned answer = ASK_ERASE_FINALIZED;
    window.answer = 2;
    EXPECT_EQ(S_OK, sink->IMC_SendMessageRetVal(&answer, DM_QUESTION, 7, ASK_ERASE_FINALIZED));
    EXPECT_EQ(2u, answer);
    EXPECT_EQ((std::vector<CEventWindow::Seen>{{2035, 7, ASK_ERASE_FINALIZED}}), window.seen);
    window.answer = 0;
    answer = ASK_INSERT_DISC;
    EXPECT_EQ(S_OK, sink->IMC_SendMessageRetVal(&answer, DM_QUESTION, 7, ASK_INSERT_DISC));
    EXPECT_EQ(unsigned(ASK_INSERT_DISC), answer);

    // Only the question is ever sent.
    window.seen.clear();
    answer = 5;
    EXPECT_EQ(S_OK, sink->IMC_SendMessageRetVal(&answer, DM_STATUS, 7, 1));
    EXPECT_EQ(5u, answer);
    EXPECT_EQ(E_POINTER, sink->IMC_SendMessageRetVal(nullptr, DM_QUESTION, 7, 1));
    EXPECT_EQ(E_NOTIMPL, sink->IMC_SendMessage(DM_BURNEND, 7, 0));
    Pump();
    EXPECT_TRUE(window.seen.empty());
}

// The owner detaches the sink when its window goes; a window that is gone
// gets nothing either. Both are answered S_OK.
TEST_F(EventSink, AnEventAfterTheOwnersWindowWentIsDroppedAndAnsweredSOk)
{
    for (bool detach : {true, false}) {
        SCOPED_TRACE(detach ? "detached" : "window destroyed");
        if (!window.IsWindow()) {
            ASSERT_TRUE(window.Create(HWND_MESSAGE, nullptr, "", 0));
            sink->SetTarget(window);
        }
        window.seen.clear();
        if (detach) sink->SetTarget(nullptr);
        else window.Destroy();
        unsigned answer = ASK_INSERT_DISC;
        EXPECT_EQ(S_OK, sink->IMC_PostMessage(DM_BURNSTART, 7, 706));
        EXPECT_EQ(S_OK, sink->IMC_SendMessageRetVal(&answer, DM_QUESTION, 7, ASK_NOT_WRITABLE));
        EXPECT_EQ(unsigned(ASK_INSERT_DISC), answer);
        Pump();
        EXPECT_TRUE(window.seen.empty());
    }
}

// Frames made within one tick still get cookies of their own, never 0.
TEST(CallerCookie, EveryCookieOfTheProcessIsNewEvenWithinOneTick)
{
    std::set<unsigned long> cookies;
    unsigned long last = 0;
    for (int i = 0; i < 1000; ++i) {
        unsigned long cookie = NewCallerCookie();
        EXPECT_NE(0u, cookie);
        EXPECT_GT(cookie, last);
        last = cookie;
        cookies.insert(cookie);
    }
    EXPECT_EQ(1000u, cookies.size());
}

}  // namespace
