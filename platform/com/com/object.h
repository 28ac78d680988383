// Component objects: thread models, the object root with its reference
// count and lock, the interface table behind QueryInterface, and ComObject,
// which completes a class into a creatable object.
//
//   class CCoThing : public com::ObjectRoot<com::MultiThreadModel>, public IThing {
//   public:
//       COM_INTERFACES_BEGIN(CCoThing)
//           COM_INTERFACE(IThing)
//       COM_INTERFACES_END()
//       STDMETHODIMP DoIt() override;
//   };
//   com::CreateObject<CCoThing>(IID_IThing, (void**)&thing);
#pragma once
#include <windows.h>
#include <unknwn.h>
#include <cstddef>
#include <new>
#include <utility>
#include "com/lock.h"
#include "com/module.h"

namespace com {

// Objects used from one apartment only: plain counter, no lock.
struct SingleThreadModel {
    static LONG Increment(LONG* p) { return ++*p; }
    static LONG Decrement(LONG* p) { return --*p; }
    using Lock = NoLock;
};

// Objects usable from any thread: interlocked counter, a critical section.
struct MultiThreadModel {
    static LONG Increment(LONG* p) { return InterlockedIncrement(p); }
    static LONG Decrement(LONG* p) { return InterlockedDecrement(p); }
    using Lock = CriticalSection;
};

// One row of an interface table: the interface and where its vtable sits in
// the object. A table ends with a row whose iid is null; its first row also
// answers IUnknown.
struct InterfaceEntry {
    const IID* iid;
    std::ptrdiff_t offset;
};

template <class Base, class Derived>
std::ptrdiff_t OffsetOfBase()
{
    // Any non-null address will do: only the difference is used.
    Derived* d = reinterpret_cast<Derived*>(0x1000);
    return reinterpret_cast<char*>(static_cast<Base*>(d)) - reinterpret_cast<char*>(d);
}

HRESULT QueryFromTable(void* object, const InterfaceEntry* table, REFIID iid, void** ppv);

template <class ThreadModel>
class ObjectRoot {
public:
    using ThreadModelType = ThreadModel;

    // Hooks for the most derived class; ComObject calls them.
    HRESULT FinalConstruct() { return S_OK; }
    void FinalRelease() {}

    void Lock() { m_lock.Lock(); }
    void Unlock() { m_lock.Unlock(); }

protected:
    ObjectRoot() = default;
    ObjectRoot(const ObjectRoot&) = delete;
    ObjectRoot& operator=(const ObjectRoot&) = delete;

    ULONG InternalAddRef() { return ThreadModel::Increment(&m_refs); }
    ULONG InternalRelease() { return ThreadModel::Decrement(&m_refs); }

    typename ThreadModel::Lock m_lock;

private:
    LONG m_refs = 0;
    template <class T> friend class ComObject;
};

// The lock of an object root, held for a scope.
template <class Root>
class ObjectLock {
public:
    explicit ObjectLock(Root* root) : m_root(root) { m_root->Lock(); }
    ~ObjectLock() { m_root->Unlock(); }
    ObjectLock(const ObjectLock&) = delete;
    ObjectLock& operator=(const ObjectLock&) = delete;
private:
    Root* m_root;
};

// Completes T with IUnknown; holds the module alive while it exists.
template <class T>
class ComObject final : public T {
public:
    template <class... Args>
    explicit ComObject(Args&&... args) : T(std::forward<Args>(args)...) { ModuleLock(); }
    ~ComObject() { this->FinalRelease(); ModuleUnlock(); }

    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override
    {
        return QueryFromTable(static_cast<T*>(this), T::Interfaces(), iid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return this->InternalAddRef(); }
    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG n = this->InternalRelease();
        if (n == 0) delete this;
        return n;
    }
};

// Creates a T, runs its FinalConstruct and hands out `iid`.
template <class T, class... Args>
HRESULT CreateObject(REFIID iid, void** ppv, Args&&... args)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    auto* object = new (std::nothrow) ComObject<T>(std::forward<Args>(args)...);
    if (!object) return E_OUTOFMEMORY;
    object->AddRef();
    HRESULT hr = object->FinalConstruct();
    if (SUCCEEDED(hr)) hr = object->QueryInterface(iid, ppv);
    object->Release();
    return hr;
}

// Creates a T and keeps a pointer to the implementation, with one reference.
template <class T, class... Args>
HRESULT CreateObjectImpl(ComObject<T>** out, Args&&... args)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    auto* object = new (std::nothrow) ComObject<T>(std::forward<Args>(args)...);
    if (!object) return E_OUTOFMEMORY;
    object->AddRef();
    HRESULT hr = object->FinalConstruct();
    if (FAILED(hr)) { object->Release(); return hr; }
    *out = object;
    return S_OK;
}

}  // namespace com

#define COM_INTERFACES_BEGIN(cls)                                      \
    using ComClass_ = cls;                                             \
    static const ::com::InterfaceEntry* Interfaces()                   \
    {                                                                  \
        static const ::com::InterfaceEntry entries[] = {

#define COM_INTERFACE(itf) {&IID_##itf, ::com::OffsetOfBase<itf, ComClass_>()},

// An identifier answered by the given base (an interface that several bases
// derive from, or an identifier served by a base of another name).
#define COM_INTERFACE_IID(iid, itf) {&(iid), ::com::OffsetOfBase<itf, ComClass_>()},

#define COM_INTERFACES_END() {nullptr, 0} }; return entries; }
