#include "com/local_factory.h"

namespace com {

STDMETHODIMP LocalClassFactory::LockServer(BOOL lock)
{
    if (lock) ServerLock(); else ServerUnlock();
    return S_OK;
}

SingletonClassFactory::SingletonClassFactory(CreatorFn create)
    : m_created(create(IID_IUnknown, reinterpret_cast<void**>(&m_object)))
{
}

STDMETHODIMP SingletonClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (FAILED(m_created)) return m_created;
    return m_object->QueryInterface(iid, ppv);
}

STDMETHODIMP SingletonClassFactory::LockServer(BOOL lock)
{
    if (lock) ServerLock(); else ServerUnlock();
    return S_OK;
}

}  // namespace com
