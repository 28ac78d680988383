#include "event_sink.h"
#include "vokmar_process.h"
#include <com/ptr.h>

STDMETHODIMP CTestEventSink::IMC_SendMessageRetVal(unsigned int* answer, unsigned int msg, unsigned int w,
                                                   unsigned int l)
{
    if (!answer) return E_POINTER;
    m_answerOnArrival = *answer;
    if (m_script) m_script(l);
    *answer = m_answer;
    Record({msg, w, l, true});
    return S_OK;
}

STDMETHODIMP CTestEventSink::IMC_PostMessage(unsigned int msg, unsigned int w, unsigned int l)
{
    Record({msg, w, l, false});
    return S_OK;
}

void CTestEventSink::Record(const EngineEvent& e)
{
    com::ObjectLock<CTestEventSink> lock(this);
    m_events.push_back(e);
}

std::vector<EngineEvent> CTestEventSink::Events()
{
    com::ObjectLock<CTestEventSink> lock(this);
    return m_events;
}

void CTestEventSink::Clear()
{
    com::ObjectLock<CTestEventSink> lock(this);
    m_events.clear();
}

bool CTestEventSink::WaitFor(unsigned message, DWORD ms)
{
    const DWORD start = GetTickCount();
    for (;;) {
        for (const EngineEvent& e : Events())
            if (e.message == message) return true;
        if (GetTickCount() - start >= ms) return false;
        PumpFor(20);
    }
}

namespace {

HRESULT FindCallbackPoint(IUnknown* object, IConnectionPoint** point)
{
    com::ComPtr<IConnectionPointContainer> container;
    HRESULT hr = object->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    return SUCCEEDED(hr) ? container->FindConnectionPoint(IID__IMessageCallback, point) : hr;
}

}  // namespace

HRESULT AdviseSink(IUnknown* object, IUnknown* sink, DWORD* cookie)
{
    com::ComPtr<IConnectionPoint> point;
    HRESULT hr = FindCallbackPoint(object, &point);
    return SUCCEEDED(hr) ? point->Advise(sink, cookie) : hr;
}

void UnadviseSink(IUnknown* object, DWORD cookie)
{
    com::ComPtr<IConnectionPoint> point;
    if (SUCCEEDED(FindCallbackPoint(object, &point))) point->Unadvise(cookie);
}
