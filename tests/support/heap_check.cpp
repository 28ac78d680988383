#include "heap_check.h"
#include <windows.h>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

const unsigned char FREED = 0xDB;
const size_t HEADER = 16;     // keeps the blocks 16-byte aligned
const size_t HELD_BACK = 512; // deleted blocks kept before they are freed

struct Header {
    size_t size;
};

SRWLOCK g_lock = SRWLOCK_INIT;
void* g_held[HELD_BACK];
size_t g_next = 0;
volatile LONG g_written = 0;  // deleted blocks found written to

bool KeptPattern(void* block)
{
    const size_t size = static_cast<Header*>(block)->size;
    const unsigned char* p = static_cast<unsigned char*>(block) + HEADER;
    for (size_t i = 0; i < size; ++i)
        if (p[i] != FREED) return false;
    return true;
}

void* Allocate(size_t size)
{
    void* block = std::malloc(size + HEADER);
    if (!block) return nullptr;
    static_cast<Header*>(block)->size = size;
    return static_cast<unsigned char*>(block) + HEADER;
}

void Free(void* p)
{
    if (!p) return;
    void* block = static_cast<unsigned char*>(p) - HEADER;
    std::memset(p, FREED, static_cast<Header*>(block)->size);
    AcquireSRWLockExclusive(&g_lock);
    void* oldest = g_held[g_next];
    g_held[g_next] = block;
    g_next = (g_next + 1) % HELD_BACK;
    ReleaseSRWLockExclusive(&g_lock);
    if (!oldest) return;
    if (!KeptPattern(oldest)) InterlockedIncrement(&g_written);
    std::free(oldest);
}

}  // namespace

void* operator new(size_t size)
{
    void* p = Allocate(size);
    if (!p) throw std::bad_alloc();
    return p;
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, size_t) noexcept { Free(p); }
void operator delete[](void* p, size_t) noexcept { Free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Free(p); }

std::string HeapFaults()
{
    std::string faults;
    size_t written = static_cast<size_t>(g_written);
    AcquireSRWLockShared(&g_lock);
    for (void* block : g_held)
        if (block && !KeptPattern(block)) ++written;
    ReleaseSRWLockShared(&g_lock);
    if (written) faults += std::to_string(written) + " deleted blocks written to; ";
    DWORD count = GetProcessHeaps(0, nullptr);
    std::vector<HANDLE> heaps(count + 8);
    count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    for (DWORD i = 0; i < count && i < heaps.size(); ++i)
        if (!HeapValidate(heaps[i], 0, nullptr)) faults += "heap " + std::to_string(i) + " is not valid; ";
    return faults;
}
