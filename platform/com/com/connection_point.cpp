#include "com/connection_point.h"
#include <olectl.h>

namespace com {

STDMETHODIMP ConnectionPointContainer::EnumConnectionPoints(IEnumConnectionPoints** ppEnum)
{
    if (ppEnum) *ppEnum = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ConnectionPointContainer::FindConnectionPoint(REFIID iid, IConnectionPoint** ppCP)
{
    if (!ppCP) return E_POINTER;
    *ppCP = nullptr;
    for (ConnectionPoint* point : m_points) {
        if (IsEqualIID(iid, point->Iid())) {
            point->AddRef();
            *ppCP = point;
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

ConnectionPoint::ConnectionPoint(ConnectionPointContainer* container, const IID& iid)
    : m_container(container), m_iid(iid)
{
    m_container->m_points.push_back(this);
}

ConnectionPoint::~ConnectionPoint()
{
    for (IUnknown* sink : m_sinks)
        if (sink) sink->Release();
}

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID iid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        AddRef();
        *ppv = static_cast<IConnectionPoint*>(this);
        return S_OK;
    }
    // A client that holds only the connection point holds the object, and
    // the object's external connections count it.
    if (IsEqualIID(iid, IID_IExternalConnection)) return m_container->QueryInterface(iid, ppv);
    return E_NOINTERFACE;
}

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid)
{
    if (!iid) return E_POINTER;
    *iid = m_iid;
    return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** ppCPC)
{
    if (!ppCPC) return E_POINTER;
    m_container->AddRef();
    *ppCPC = m_container;
    return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_POINTER;
    IUnknown* typed = nullptr;
    if (FAILED(sink->QueryInterface(m_iid, reinterpret_cast<void**>(&typed))) || !typed)
        return CONNECT_E_CANNOTCONNECT;
    AutoLock lock(m_lock);
    size_t slot = 0;
    while (slot < m_sinks.size() && m_sinks[slot]) ++slot;
    if (slot == m_sinks.size()) m_sinks.push_back(nullptr);
    m_sinks[slot] = typed;
    *cookie = static_cast<DWORD>(slot + 1);
    return S_OK;
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie)
{
    IUnknown* sink = nullptr;
    {
        AutoLock lock(m_lock);
        if (cookie == 0 || cookie > m_sinks.size() || !m_sinks[cookie - 1])
            return CONNECT_E_NOCONNECTION;
        sink = m_sinks[cookie - 1];
        m_sinks[cookie - 1] = nullptr;
    }
    sink->Release();  // outside the lock: a remote release may take a while
    return S_OK;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** ppEnum)
{
    if (ppEnum) *ppEnum = nullptr;
    return E_NOTIMPL;
}

std::vector<ComPtr<IUnknown>> ConnectionPoint::Sinks()
{
    AutoLock lock(m_lock);
    std::vector<ComPtr<IUnknown>> sinks;
    for (IUnknown* sink : m_sinks)
        if (sink) sinks.emplace_back(sink);
    return sinks;
}

}  // namespace com
