// Out-of-memory runs for the test programs that link `allocation_limit`:
// the library replaces the global operator new (and delete) of the whole
// program, so that a test can have the calling thread's allocations refused
// after a number of them.
#pragma once
#include <windows.h>
#include <functional>

// From now on the calling thread may make `allowed` allocations; the next
// one throws std::bad_alloc.
void LimitAllocations(long allowed);
// Ends the limit; whether an allocation was refused under it.
bool Unlimit();

// Runs `call` with memory running out after 0, 1, 2, ... allocations until
// it gets through: each cut-short run answers E_OUTOFMEMORY (or `absorbed`,
// where a callee's own answer to it is not passed on) and leaves the object
// serving (`serves` checks it). The last run answers S_OK. The call's
// arguments are made before: only the call itself runs short.
void EveryAllocationMayFail(const char* what, const std::function<HRESULT()>& call,
                            const std::function<void()>& serves, HRESULT absorbed = E_OUTOFMEMORY);
