// Connection points: an object's outgoing interfaces. A class derives from
// ConnectionPointContainer and holds one ConnectionPoint member per sink
// interface; clients Advise their sinks on it, the object fires to them.
//
//   class CCoThing : ..., public com::ConnectionPointContainer {
//       com::ConnectionPoint m_events{this, IID__IThingEvents};
//       ...
//       m_events.Fire<_IThingEvents>([&](_IThingEvents* s) { return s->Changed(1); });
//   };
//   COM_INTERFACE(IConnectionPointContainer) in the class's interface table.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <vector>
#include "com/lock.h"
#include "com/ptr.h"

namespace com {

class ConnectionPoint;

// IConnectionPointContainer over the object's connection points. The
// IUnknown part is the object's own (its ComObject).
class ConnectionPointContainer : public IConnectionPointContainer {
public:
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** ppEnum) override;
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** ppCP) override;

private:
    friend class ConnectionPoint;
    std::vector<ConnectionPoint*> m_points;
};

// One outgoing interface. Its lifetime is the object's: AddRef and Release
// go to the container. Sinks are held with a reference until Unadvise or
// until the object goes; the cookie of a sink is its slot number plus one.
class ConnectionPoint : public IConnectionPoint {
public:
    ConnectionPoint(ConnectionPointContainer* container, const IID& iid);
    ~ConnectionPoint();
    ConnectionPoint(const ConnectionPoint&) = delete;
    ConnectionPoint& operator=(const ConnectionPoint&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return m_container->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return m_container->Release(); }

    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** ppCPC) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** ppEnum) override;

    const IID& Iid() const { return m_iid; }

    // The sinks advised now, in cookie order, each with a reference.
    std::vector<ComPtr<IUnknown>> Sinks();

    // Calls `call(Sink*)` on every sink outside the lock, so that a sink may
    // advise or unadvise meanwhile. The result is the last call's, S_OK when
    // no sink is advised; a failing sink does not stop the others.
    template <class Sink, class Call>
    HRESULT Fire(Call call)
    {
        HRESULT hr = S_OK;
        for (ComPtr<IUnknown>& sink : Sinks()) hr = call(static_cast<Sink*>(sink.Get()));
        return hr;
    }

private:
    ConnectionPointContainer* m_container;
    IID m_iid;
    CriticalSection m_lock;
    std::vector<IUnknown*> m_sinks;  // queried for m_iid; null where unadvised
};

}  // namespace com
