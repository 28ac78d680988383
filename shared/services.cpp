#include "services.h"
#include "log.h"
#include <com/guard.h>
#include <cstdlib>

ILogger* g_compLogger = nullptr;
ITranslator* g_compTranslator = nullptr;
ISettings* g_compSettings = nullptr;

const char* const COMMON_LANG_SECTION = "00000000-0000-0000-C000-000000000046";
const char* const COMMON_SETTINGS_SECTION = "_00000000-0000-0000-C000-000000000046_";

namespace {

template <class T>
void ReleasePointer(T*& p)
{
    if (p) { T* q = p; p = nullptr; q->Release(); }
}

void ReleaseLogger() { ReleasePointer(g_compLogger); }
void ReleaseTranslator() { ReleasePointer(g_compTranslator); }
void ReleaseSettings() { ReleasePointer(g_compSettings); }

// What a COM method's guard stopped, as one line of this module's log.
void ReportGuardedToLog(const char* method, const char* what)
{
    LogPrintf("ERROR: %s stopped by an exception: %s", method, what);
}

// At the module's start: one exit-list entry per pointer, and the guard's
// reports into this module's log.
struct ModuleRegistration {
    ModuleRegistration()
    {
        std::atexit(ReleaseLogger);
        std::atexit(ReleaseTranslator);
        std::atexit(ReleaseSettings);
        com::SetGuardReport(ReportGuardedToLog);
    }
} g_moduleRegistration;

}  // namespace

HRESULT BindServicePointer(IUnknown* from, REFIID iid, void** slot)
{
    void* fresh = nullptr;
    if (from) from->QueryInterface(iid, &fresh);
    auto* old = static_cast<IUnknown*>(*slot);
    *slot = fresh;
    if (old) old->Release();
    return fresh ? S_OK : E_FAIL;
}

void ReleaseServicePointers()
{
    ReleaseSettings();
    ReleaseTranslator();
    ReleaseLogger();
}
