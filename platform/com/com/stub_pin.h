// Keeps the RPC registration of interfaces for the life of the process.
//
// Wine's component runtime registers an interface with RPC while any stub
// of it exists in the process and drops the registration with the last
// one. The drop waits for calls of that interface still running, and a
// call that ends between the drop's check and its wait is never seen: the
// drop, the thread doing it and the runtime's registration lock then wait
// for ever. A client that releases an object right after calling it (a
// track read and let go, an enumerator, a connection point after Unadvise)
// hits that window now and then. One stub of each interface held for the
// whole process keeps its registration, so no drop ever happens.
#pragma once
#include <windows.h>
#include <cstddef>

namespace com {

// Marshals one object of this module offering the given interfaces, table
// strong, once per interface, and never releases it. Call it after COM is
// up, on a thread whose apartment lasts as long as the process; an
// interface without a proxy/stub on this machine is skipped. Answers the
// first failure, S_OK when every interface is pinned.
HRESULT PinStubs(const IID* const* iids, size_t count);

}  // namespace com
