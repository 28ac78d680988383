// Class objects of an out-of-process server: a factory that makes a new
// object per request, and a singleton factory that makes its one object
// with itself and hands it to every client. Both count LockServer in the
// server's lock count; the objects count their client connections
// themselves (ExternalConnection).
#pragma once
#include "com/external_connection.h"
#include "com/local_server.h"
#include "com/ptr.h"
#include "com/server.h"

namespace com {

class LocalClassFactory : public ClassFactory {
public:
    using ClassFactory::ClassFactory;
    STDMETHODIMP LockServer(BOOL lock) override;
};

class SingletonClassFactory : public ObjectRoot<MultiThreadModel>, public IClassFactory {
public:
    // The object is made now; a failure is kept and answers every request.
    explicit SingletonClassFactory(CreatorFn create);

    COM_INTERFACES_BEGIN(SingletonClassFactory)
        COM_INTERFACE(IClassFactory)
    COM_INTERFACES_END()

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** ppv) override;
    STDMETHODIMP LockServer(BOOL lock) override;

    HRESULT CreationResult() const { return m_created; }

private:
    ComPtr<IUnknown> m_object;
    HRESULT m_created;
};

// Class-object makers for LocalClassEntry::classObject.
template <class T>
HRESULT LocalClassObject(IClassFactory** factory)
{
    return CreateObject<LocalClassFactory>(IID_IClassFactory, reinterpret_cast<void**>(factory),
                                           &Creator<T>);
}

// The singleton's construction failure is the class object's: the class is
// then not served.
template <class T>
HRESULT SingletonClassObject(IClassFactory** factory)
{
    ComObject<SingletonClassFactory>* impl = nullptr;
    HRESULT hr = CreateObjectImpl<SingletonClassFactory>(&impl, &Creator<T>);
    if (FAILED(hr)) return hr;
    hr = impl->CreationResult();
    if (SUCCEEDED(hr)) hr = impl->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(factory));
    impl->Release();
    return hr;
}

}  // namespace com
