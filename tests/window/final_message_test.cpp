// Window objects that own themselves: the layer gives them their final
// message only once none of their handlers is on the stack, so they may
// delete themselves there. And no exception leaves a window procedure.
#include <gtest/gtest.h>
#include <heap_check.h>
#include <com/guard.h>
#include <window/window_impl.h>
#include <stdexcept>
#include <string>

namespace {

int g_deleted = 0;
int g_finalInsideHandler = 0;

// Destroys itself on WM_CLOSE and goes on using its members after
// DestroyWindow, as a handler that holds a lock or a record does.
class CSelfOwnedWindow : public wnd::WindowImpl<CSelfOwnedWindow> {
public:
    WND_MSG_MAP_BEGIN(CSelfOwnedWindow)
        WND_MESSAGE(WM_CLOSE, OnClose)
    WND_MSG_MAP_END()

    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&)
    {
        ++m_handlers;
        ::DestroyWindow(m_hWnd);
        m_record[0] = 'c';  // after its window is gone
        --m_handlers;
        return 0;
    }
    void OnFinalMessage(HWND) override
    {
        if (m_handlers) ++g_finalInsideHandler;
        ++g_deleted;
        delete this;
    }

private:
    ~CSelfOwnedWindow() override = default;
    int m_handlers = 0;
    char m_record[64] = "";
};

std::string g_reported;

void Record(const char* method, const char* what) { g_reported += std::string(method) + ": " + what + "\n"; }

class CThrowingWindow : public wnd::WindowImpl<CThrowingWindow> {
public:
    WND_MSG_MAP_BEGIN(CThrowingWindow)
        WND_MESSAGE(WM_APP, OnThrowError)
        WND_MESSAGE(WM_APP + 1, OnThrowAnything)
        WND_MESSAGE(WM_APP + 2, OnAnswer)
    WND_MSG_MAP_END()

    LRESULT OnThrowError(UINT, WPARAM, LPARAM, BOOL&) { throw std::runtime_error("handler failed"); }
    LRESULT OnThrowAnything(UINT, WPARAM, LPARAM, BOOL&) { throw 42; }
    LRESULT OnAnswer(UINT, WPARAM w, LPARAM, BOOL&) { return static_cast<LRESULT>(w) + 1; }
};

}  // namespace

TEST(SelfOwnedWindow, IsDeletedOnlyAfterItsOwnHandlerHasReturned)
{
    const int windows = 40;
    for (int i = 0; i < windows; ++i) {
        auto* window = new CSelfOwnedWindow;
        ASSERT_TRUE(window->Create(HWND_MESSAGE, nullptr, "", 0));
        PostMessageA(*window, WM_CLOSE, 0, 0);
    }
    const DWORD start = GetTickCount();
    MSG msg;
    while (g_deleted < windows && GetTickCount() - start < 5000) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(1);
    }
    EXPECT_EQ(windows, g_deleted);
    EXPECT_EQ(0, g_finalInsideHandler);
    EXPECT_EQ("", HeapFaults());
}

TEST(WindowProcedure, ReportsWhatAHandlerThrowsAndAnswersZero)
{
    com::SetGuardReport(Record);
    CThrowingWindow window;
    ASSERT_TRUE(window.Create(HWND_MESSAGE, nullptr, "", 0));
    EXPECT_EQ(0, window.SendMessage(WM_APP, 5));
    EXPECT_EQ(0, window.SendMessage(WM_APP + 1, 5));
    EXPECT_EQ(6, window.SendMessage(WM_APP + 2, 5)) << "the window goes on";
    EXPECT_EQ("wnd::WindowObject::WindowProc: handler failed\n"
              "wnd::WindowObject::WindowProc: unknown exception\n",
              g_reported);
    window.Destroy();
    com::SetGuardReport(nullptr);
}
