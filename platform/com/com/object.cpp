#include "com/object.h"
#include "com/ptr.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace com {

namespace {
LONG g_moduleLocks = 0;
}

HINSTANCE ModuleInstance() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

const char* ModulePath()
{
    static char path[MAX_PATH] = "";
    if (!path[0]) GetModuleFileNameA(ModuleInstance(), path, MAX_PATH);
    return path;
}

LONG ModuleLock() { return InterlockedIncrement(&g_moduleLocks); }
LONG ModuleUnlock() { return InterlockedDecrement(&g_moduleLocks); }
LONG ModuleLockCount() { return g_moduleLocks; }

HRESULT QueryFromTable(void* object, const InterfaceEntry* table, REFIID iid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (const InterfaceEntry* e = table; e->iid; ++e) {
        if (IsEqualIID(iid, *e->iid) || (e == table && IsEqualIID(iid, IID_IUnknown))) {
            auto* itf = reinterpret_cast<IUnknown*>(static_cast<char*>(object) + e->offset);
            itf->AddRef();
            *ppv = itf;
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}

bool SameObject(IUnknown* a, IUnknown* b)
{
    if (!a && !b) return true;
    if (!a || !b) return false;
    ComPtr<IUnknown> ua, ub;
    if (FAILED(a->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&ua)))) return false;
    if (FAILED(b->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&ub)))) return false;
    return ua.Get() == ub.Get();
}

}  // namespace com
