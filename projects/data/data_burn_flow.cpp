#include "data_burn_flow.h"
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

HRESULT CDataBurnFlow::Send(ICommandPerformer* frame, unsigned id, SAFEARRAY* data)
{
    return frame->InvokeCommand(m_project.Self(), m_project.ProjectClsid(), id, data);
}

HRESULT CDataBurnFlow::EnableFrame(ICommandPerformer* frame, unsigned enable)
{
    CVariantSafearray data(1);
    data.Create();
    HRESULT hr = data.Prepare({{VT_UI4, enable}});
    if (FAILED(hr)) return hr;
    return Send(frame, PCID_ENABLE_UI, data);
}

HRESULT CDataBurnFlow::RequestBurn()
{
    CLogFunctionScope scope("OnRequestBurn");
    com::ComPtr<ICommandPerformer> burner = PerformerOf(m_project.BurningFrame());
    com::ComPtr<ICommandPerformer> editor = PerformerOf(m_project.FirstFrame());
    if (!burner || !editor) {
        LogNull(!burner ? "compDrubeck" : "compNostrine");
        return E_FAIL;
    }
    // Disable the editor, then the burning frame, then start the editor;
    // each step only after the one before succeeded.
    ICommandPerformer* disabled[2] = {nullptr, nullptr};
    int disabledCount = 0;
    HRESULT hr = S_OK;
    for (ICommandPerformer* frame : {editor.Get(), burner.Get()}) {
        disabled[disabledCount++] = frame;
        hr = EnableFrame(frame, 0);
        if (FAILED(hr)) break;
    }
    if (SUCCEEDED(hr)) {
        // The editor is the working frame before it starts: it may report
        // back from inside the call.
        m_preparing = editor;
        hr = Send(editor, PCID_START, nullptr);
        if (FAILED(hr) && m_preparing.Get() == editor.Get()) m_preparing.Reset();
    }
    if (FAILED(hr)) {
        // Nothing is working for the burn: no frame may stay disabled.
        LogFailure("starting the data editor", hr);
        for (int i = 0; i < disabledCount; ++i) EnableFrame(disabled[i], 1);
    }
    return hr;
}

HRESULT CDataBurnFlow::SourceReady(SAFEARRAY* data)
{
    CLogFunctionScope scope("OnSourceReady");
    com::ComPtr<ICommandPerformer> burner = PerformerOf(m_project.BurningFrame());
    com::ComPtr<ICommandPerformer> editor = PerformerOf(m_project.FirstFrame());
    if (editor) EnableFrame(editor, 1);
    if (burner) EnableFrame(burner, 1);
    m_preparing.Reset();

    unsigned int result = 0;
    IUnknown* tree = nullptr;
    HRESULT hr = ExtractFromSafearray(data, {{VT_UI4, &result}, {VT_UNKNOWN, &tree}});
    if (FAILED(hr)) return hr;
    // The editor failed or was cancelled: the flow ends here, both frames enabled.
    if (FAILED(static_cast<HRESULT>(result))) return S_OK;
    // A tree kept from an earlier preparation goes first.
    hr = m_tree.QueryFrom(tree, IID_IFileTree);
    if (FAILED(hr)) {
        LogFailure("QueryInterface(IID_IFileTree)", hr);
        return hr;
    }
    if (!burner) return E_FAIL;
    CVariantSafearray start(1);
    start.Create();
    hr = start.Prepare({{VT_HRESULT, static_cast<long>(result)}});
    if (FAILED(hr)) return hr;
    m_preparing = burner;
    hr = Send(burner, PCID_START, start);
    if (FAILED(hr)) {
        // The burning frame never asks for a tree it did not start with.
        LogFailure("starting the burning frame", hr);
        if (m_preparing.Get() == burner.Get()) m_preparing.Reset();
        m_tree.Reset();
    }
    return hr;
}

void CDataBurnFlow::BurnFinished()
{
    m_preparing.Reset();
    // A tree the burning frame never asked for is of no more use.
    m_tree.Reset();
}

HRESULT CDataBurnFlow::Cancel(IUnknown* sender, REFCLSID senderClsid, SAFEARRAY* data)
{
    // The frame may end its work from inside the call.
    com::ComPtr<ICommandPerformer> preparing = m_preparing;
    if (preparing) preparing->InvokeCommand(sender, senderClsid, PCID_CANCEL, data);
    return S_OK;
}

HRESULT CDataBurnFlow::HandOverTree(SAFEARRAY* data)
{
    CLogFunctionScope scope("OnDrubeck_GetDataImage");
    IUnknown** out = nullptr;
    HRESULT hr = ExtractFromSafearray(data, {{VT_UNKNOWN | VT_BYREF, &out}});
    if (FAILED(hr)) return hr;
    if (!out) return E_POINTER;
    if (!m_tree) {
        LogNull("m_compFileTree");
        return E_FAIL;
    }
    IUnknown* identity = nullptr;
    hr = m_tree->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
    if (FAILED(hr)) return hr;
    *out = identity;
    m_tree.Reset();
    return S_OK;
}
