#include "services.h"
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

// One exit-list entry per pointer, registered when the module starts.
struct ExitRegistration {
    ExitRegistration()
    {
        std::atexit(ReleaseLogger);
        std::atexit(ReleaseTranslator);
        std::atexit(ReleaseSettings);
    }
} g_exitRegistration;

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
