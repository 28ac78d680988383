#include "service_refs.h"
#include <shared/services.h>

namespace {

// Guards the module pointers between the GUI thread, which writes them, and
// threads taking references.
class CServiceLock {
public:
    CServiceLock() { ::EnterCriticalSection(&Section()); }
    ~CServiceLock() { ::LeaveCriticalSection(&Section()); }
    CServiceLock(const CServiceLock&) = delete;
    CServiceLock& operator=(const CServiceLock&) = delete;

private:
    // Initialised in place: a critical section must never be copied. It is
    // never deleted, as a thread may still take references at exit.
    struct CSection {
        CSection() { ::InitializeCriticalSection(&section); }
        CRITICAL_SECTION section;
    };
    static CRITICAL_SECTION& Section()
    {
        static CSection lock;
        return lock.section;
    }
};

template <class T>
void Publish(T*& slot, T* service)
{
    T* old;
    {
        CServiceLock lock;
        old = slot;
        slot = service;
    }
    if (old) old->Release();
}

template <class T>
void Release(T*& slot)
{
    T* old;
    {
        CServiceLock lock;
        old = slot;
        slot = nullptr;
    }
    if (old) old->Release();
}

}  // namespace

CServiceRefs CServiceRefs::Take()
{
    CServiceLock lock;
    CServiceRefs refs;
    refs.logger = g_compLogger;
    refs.translator = g_compTranslator;
    refs.settings = g_compSettings;
    return refs;
}

void PublishLogger(ILogger* logger) { Publish(g_compLogger, logger); }
void PublishTranslator(ITranslator* translator) { Publish(g_compTranslator, translator); }
void PublishSettings(ISettings* settings) { Publish(g_compSettings, settings); }

void ReleaseServices()
{
    Release(g_compSettings);
    Release(g_compTranslator);
    Release(g_compLogger);
}
