// The erase a burn job asks the device window for: what the burn learns
// when the window starts the erase thread, cannot start it, or does not
// serve the request at all.
#include <gtest/gtest.h>
#include "jobs/erase_job.h"
#include <windows.h>

namespace {

// How the test window answers the request.
enum class Serve { Ignore, NoThread, ThreadEndsWith };
Serve g_serve;
HRESULT g_eraseResult;

DWORD WINAPI EraseThread(void* request)
{
    Sleep(50);
    static_cast<INTERNAL_ERASE_RECORD*>(request)->eraseResult = g_eraseResult;
    return 0;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_JOB_STATE || g_serve == Serve::Ignore) return DefWindowProcA(hwnd, msg, wParam, lParam);
    auto* request = reinterpret_cast<INTERNAL_ERASE_RECORD*>(wParam);
    EXPECT_EQ(uint32_t(JOB_INTERNAL_ERASE), request->job.kind);
    EXPECT_EQ(uint32_t(JOB_PHASE_INTERNAL), request->job.phase);
    if (g_serve == Serve::NoThread) {
        request->job.result = E_FAIL;
        return 0;
    }
    request->job.result = S_OK;
    request->thread = CreateThread(nullptr, 0, EraseThread, request, 0, nullptr);
    return 0;
}

TEST(InternalErase, TheBurnLearnsWhetherTheEraseRanAndHowItEnded)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "InternalEraseTestWindow";
    RegisterClassA(&wc);
    HWND window = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(window);
    struct Case {
        Serve serve;
        HRESULT eraseResult, expected;
    };
    const Case cases[] = {
        {Serve::Ignore, S_OK, E_FAIL},     // no one took the request
        {Serve::NoThread, S_OK, E_FAIL},   // the erase thread did not start
        {Serve::ThreadEndsWith, S_OK, S_OK},
        {Serve::ThreadEndsWith, E_FAIL, E_FAIL},
        {Serve::ThreadEndsWith, static_cast<HRESULT>(0x8010006E), static_cast<HRESULT>(0x8010006E)},
    };
    for (const Case& c : cases) {
        g_serve = c.serve;
        g_eraseResult = c.eraseResult;
        EXPECT_EQ(c.expected, CEraseJob::RunInternal(window)) << static_cast<int>(c.serve);
    }
    DestroyWindow(window);
}

}  // namespace
