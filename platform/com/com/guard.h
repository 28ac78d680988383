// The guard every COM method and window procedure runs its body in, so that
// no C++ exception crosses the component boundary: running out of memory
// answers E_OUTOFMEMORY, anything else E_FAIL, each with one report line.
#pragma once
#include <windows.h>
#include <exception>
#include <new>

namespace com {

// Where a guard reports what it stopped (a module's logger, typically);
// null keeps it silent. Set once at module start.
using GuardReport = void (*)(const char* method, const char* what);
void SetGuardReport(GuardReport report);
void ReportGuarded(const char* method, const char* what) noexcept;

// Runs `body` (returning HRESULT) under the guard:
//   STDMETHODIMP CFoo::Bar(BSTR text) {
//       return com::Guarded("CFoo::Bar", [&] { ... return S_OK; });
//   }
template <class Body>
HRESULT Guarded(const char* method, Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        ReportGuarded(method, "out of memory");
        return E_OUTOFMEMORY;
    } catch (const std::exception& e) {
        ReportGuarded(method, e.what());
        return E_FAIL;
    } catch (...) {
        ReportGuarded(method, "unknown exception");
        return E_FAIL;
    }
}

}  // namespace com
