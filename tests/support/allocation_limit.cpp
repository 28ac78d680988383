#include "allocation_limit.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <new>

namespace {

// The thread whose allocations are counted, how many it may still make,
// and whether one was refused.
DWORD g_limitedThread = 0;
long g_allocationsLeft = 0;
bool g_refused = false;

}  // namespace

void LimitAllocations(long allowed)
{
    g_allocationsLeft = allowed;
    g_refused = false;
    g_limitedThread = GetCurrentThreadId();
}

bool Unlimit()
{
    g_limitedThread = 0;
    return g_refused;
}

void* operator new(std::size_t size)
{
    if (g_limitedThread && g_limitedThread == GetCurrentThreadId() && g_allocationsLeft-- <= 0) {
        g_refused = true;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

// The replacement pairs malloc with free, which the compiler cannot see
// where it inlines them into callers.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

void EveryAllocationMayFail(const char* what, const std::function<HRESULT()>& call,
                            const std::function<void()>& serves, HRESULT absorbed)
{
    for (long allowed = 0; allowed < 5000; ++allowed) {
        LimitAllocations(allowed);
        HRESULT hr = call();
        if (!Unlimit()) {
            EXPECT_EQ(S_OK, hr) << what;
            EXPECT_LT(0, allowed) << what << " allocates nothing: nothing to guard";
            serves();
            return;
        }
        if (hr != absorbed) {
            EXPECT_EQ(E_OUTOFMEMORY, hr) << what << " with " << allowed << " allocations";
        }
        serves();
        if (::testing::Test::HasFailure()) return;
    }
    ADD_FAILURE() << what << " never got through";
}
