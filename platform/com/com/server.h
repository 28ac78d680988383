// In-process component servers: the class table, class factories, and the
// four exports of a component DLL.
#pragma once
#include <windows.h>
#include <objbase.h>
#include "com/object.h"
#include <string>

namespace com {

using CreatorFn = HRESULT (*)(REFIID iid, void** ppv);

template <class T>
HRESULT Creator(REFIID iid, void** ppv) { return CreateObject<T>(iid, ppv); }

// One registered class. A class without a creator is registered (class
// identifier, ProgIDs) but cannot be created from outside.
struct ClassEntry {
    const CLSID* clsid;
    CreatorFn create;
    const char* progId;          // version-independent, as "Common.CoLogger"
    const char* description;     // "CoLogger Class"
    const char* threadingModel;  // "Both", "Apartment", "Free"
};

// A factory over one creator.
class ClassFactory : public ObjectRoot<MultiThreadModel>, public IClassFactory {
public:
    explicit ClassFactory(CreatorFn create) : m_create(create) {}

    COM_INTERFACES_BEGIN(ClassFactory)
        COM_INTERFACE(IClassFactory)
    COM_INTERFACES_END()

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** ppv) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    CreatorFn m_create;
};

// DllGetClassObject over a class table ended by a row with a null clsid.
HRESULT GetClassObject(const ClassEntry* table, REFCLSID clsid, REFIID iid, void** ppv);
// DllCanUnloadNow: no object and no server lock alive.
HRESULT CanUnloadNow();

// Registry entries of the table's classes (and the type library embedded as
// resource TYPELIB 1 when `typelib` is set) for the DLL at ModulePath().
HRESULT RegisterInprocServer(const ClassEntry* table, bool typelib);
HRESULT UnregisterInprocServer(const ClassEntry* table, bool typelib);

// The four exports of an in-process server over its class table; written
// once in the module's .cpp, outside any namespace.
#define COM_INPROC_SERVER_EXPORTS(table, typelib)                                                       \
    STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv)                                  \
    {                                                                                                   \
        return ::com::GetClassObject(table, rclsid, riid, ppv);                                         \
    }                                                                                                   \
    STDAPI DllCanUnloadNow() { return ::com::CanUnloadNow(); }                                          \
    STDAPI DllRegisterServer() { return ::com::RegisterInprocServer(table, typelib); }                  \
    STDAPI DllUnregisterServer() { return ::com::UnregisterInprocServer(table, typelib); }

// The keys every registered class has: CLSID\{clsid} named by the
// description with its ProgID links, and both ProgIDs ("<progId>.1" and the
// version-independent one with CurVer) pointing back at the class.
HRESULT RegisterClassKeys(REFCLSID clsid, const char* progId, const char* description);
// Removes those keys with everything below them.
HRESULT UnregisterClassKeys(REFCLSID clsid, const char* progId);

// Text of a GUID in braces, "{XXXXXXXX-XXXX-...}".
std::string BracedGuid(REFGUID guid);

}  // namespace com
