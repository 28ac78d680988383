#include "caller_cookie.h"
#include <windows.h>
#include <cstdio>

namespace {

// The last cookie handed out in this process, in memory that every module
// of the process finds by the same name.
volatile LONG* LastCookie()
{
    static volatile LONG* shared = [] {
        char name[64];
        std::snprintf(name, sizeof(name), "TavellBurner.CallerCookie.%lu", GetCurrentProcessId());
        HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LONG), name);
        // Kept open for the life of the process.
        void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(LONG)) : nullptr;
        static LONG local = 0;
        return view ? static_cast<volatile LONG*>(view) : &local;
    }();
    return shared;
}

}  // namespace

unsigned long NewCallerCookie()
{
    volatile LONG* last = LastCookie();
    const DWORD tick = GetTickCount();
    for (;;) {
        const LONG seen = *last;
        DWORD next = static_cast<LONG>(tick - static_cast<DWORD>(seen)) > 0 ? tick : static_cast<DWORD>(seen) + 1;
        if (next == 0) next = 1;
        if (InterlockedCompareExchange(last, static_cast<LONG>(next), seen) == seen) return next;
    }
}
