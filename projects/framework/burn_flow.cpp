#include "burn_flow.h"
#include "project_base.h"
#include <shared/log.h>
#include <shared/variant_safearray.h>

namespace {

com::ComPtr<ICommandPerformer> PerformerOf(IUnknown* component)
{
    com::ComPtr<ICommandPerformer> performer;
    if (component) performer.QueryFrom(component, IID_ICommandPerformer);
    return performer;
}

}  // namespace

HRESULT CBurnFlow::Send(ICommandPerformer* frame, unsigned id, SAFEARRAY* data)
{
    return frame->InvokeCommand(m_project.Self(), m_project.ProjectClsid(), id, data);
}

HRESULT CBurnFlow::EnableFrame(ICommandPerformer* frame, unsigned enable)
{
    CVariantSafearray data(1);
    data.Create();
    HRESULT hr = data.Prepare({{VT_UI4, enable}});
    if (FAILED(hr)) return hr;
    return Send(frame, PCID_ENABLE_UI, data);
}

HRESULT CBurnFlow::EnableBoth()
{
    HRESULT hr = S_OK;
    for (IUnknown* frame : {m_project.FirstFrame(), m_project.BurningFrame()})
        if (com::ComPtr<ICommandPerformer> performer = PerformerOf(frame)) hr = EnableFrame(performer, 1);
    return hr;
}

HRESULT CBurnFlow::RequestBurn()
{
    CLogFunctionScope scope("OnRequestBurn");
    com::ComPtr<ICommandPerformer> burner = PerformerOf(m_project.BurningFrame());
    com::ComPtr<ICommandPerformer> source = PerformerOf(m_project.FirstFrame());
    if (!burner || !source) {
        LogNull(!burner ? "compDrubeck" : m_steps.sourceName);
        return E_FAIL;
    }
    // Disable the source, then the burning frame, then start the source;
    // each step only after the one before succeeded.
    ICommandPerformer* disabled[2] = {nullptr, nullptr};
    int disabledCount = 0;
    HRESULT hr = S_OK;
    for (ICommandPerformer* frame : {source.Get(), burner.Get()}) {
        if (frame == burner.Get() && !m_steps.disableBurner) break;
        disabled[disabledCount++] = frame;
        hr = EnableFrame(frame, 0);
        if (FAILED(hr)) break;
    }
    if (SUCCEEDED(hr)) {
        if (m_steps.showWorkingPage) m_project.ActivateFrame(m_project.FirstFrame());
        // The source is the working frame before it starts: it may report
        // back from inside the call.
        m_preparing = source;
        hr = Send(source, PCID_START, nullptr);
        if (FAILED(hr) && m_preparing.Get() == source.Get()) m_preparing.Reset();
    }
    if (FAILED(hr)) {
        // Nothing is working for the burn: no frame may stay disabled.
        LogFailure("starting the source", hr);
        for (int i = 0; i < disabledCount; ++i) EnableFrame(disabled[i], 1);
    }
    return hr;
}

HRESULT CBurnFlow::SourceReady(SAFEARRAY* data)
{
    CLogFunctionScope scope("OnSourceReady");
    com::ComPtr<ICommandPerformer> burner = PerformerOf(m_project.BurningFrame());
    if (!m_steps.enableWhenBurnEnds) EnableBoth();
    m_preparing.Reset();

    unsigned int result = 0;
    HRESULT hr = ExtractFromSafearray(data, {{VT_UI4, &result}});
    if (SUCCEEDED(hr) && SUCCEEDED(static_cast<HRESULT>(result))) hr = m_source.Keep(data);
    if (FAILED(hr) || FAILED(static_cast<HRESULT>(result))) {
        // The source failed or was cancelled: the flow ends here, both
        // frames enabled.
        if (m_steps.enableWhenBurnEnds) EnableBoth();
        if (SUCCEEDED(hr) && burner && m_steps.reportFailedSource)
            ReportFailedSource(burner, static_cast<HRESULT>(result));
        return FAILED(hr) ? hr : S_OK;
    }
    if (!burner) return E_FAIL;
    CVariantSafearray start(1);
    start.Create();
    hr = start.Prepare({{VT_HRESULT, static_cast<long>(result)}});
    if (FAILED(hr)) return hr;
    if (m_steps.showWorkingPage) m_project.ActivateFrame(m_project.BurningFrame());
    m_preparing = burner;
    hr = Send(burner, PCID_START, start);
    if (FAILED(hr)) {
        // The burning frame never asks for a source it did not start with.
        LogFailure("starting the burning frame", hr);
        if (m_preparing.Get() == burner.Get()) m_preparing.Reset();
        m_source.Drop();
        if (m_steps.enableWhenBurnEnds) EnableBoth();
    }
    return hr;
}

void CBurnFlow::ReportFailedSource(ICommandPerformer* burner, HRESULT result)
{
    CVariantSafearray start(1);
    start.Create();
    HRESULT hr = start.Prepare({{VT_HRESULT, static_cast<long>(result)}});
    if (SUCCEEDED(hr)) hr = Send(burner, PCID_START, start);
    if (FAILED(hr)) LogFailure("telling the burning frame of the failure", hr);
}

bool CBurnFlow::WasTestWrite(ICommandPerformer* burner)
{
    long test = 0;
    CVariantSafearray data(1);
    data.Create();
    if (FAILED(data.Prepare({{VT_I4 | VT_BYREF, &test}}))) return false;
    return SUCCEEDED(Send(burner, BFCID_GET_TEST_WRITE, data)) && test != 0;
}

HRESULT CBurnFlow::BurnFinished(unsigned command, SAFEARRAY* data)
{
    // Only a burn that started ends here; the frame's answer to a failed
    // preparation must not touch a preparation started since.
    if (!m_preparing || !com::SameObject(m_preparing.Get(), m_project.BurningFrame())) return S_OK;
    m_preparing.Reset();
    // A value the burning frame never asked for is of no more use.
    m_source.Drop();
    if (!m_steps.enableWhenBurnEnds) return S_OK;
    com::ComPtr<ICommandPerformer> source = PerformerOf(m_project.FirstFrame());
    com::ComPtr<ICommandPerformer> burner = PerformerOf(m_project.BurningFrame());
    HRESULT result = E_FAIL;
    const bool succeeded = SUCCEEDED(ExtractFromSafearray(data, {{VT_HRESULT, &result}})) && SUCCEEDED(result);
    if (source && !(succeeded && burner && WasTestWrite(burner))) Send(source, command, data);
    return EnableBoth();
}

HRESULT CBurnFlow::Cancel(IUnknown* sender, REFCLSID senderClsid, SAFEARRAY* data)
{
    // The frame may end its work from inside the call.
    com::ComPtr<ICommandPerformer> preparing = m_preparing;
    if (preparing) preparing->InvokeCommand(sender, senderClsid, PCID_CANCEL, data);
    return S_OK;
}
