#include "data_project.h"
#include "image_size_report.h"
#include "project_ids.h"
#include <shared/log.h>
#include <shared/variant_safearray.h>

namespace {

const FrameTableRow kFrames[] = {
    {&CLSID_CoPanelCtrl, "CLSID_CoPanelCtrl", "m_compTaskPane", FrameRole::TaskPane},
    {&CLSID_CoNostrine, "CLSID_CoNostrine", "m_compNostrine", FrameRole::FirstFrame},
    {&CLSID_CoDrubeck, "CLSID_CoDrubeck", "m_compDrubeck", FrameRole::BurningFrame},
    {nullptr, nullptr, nullptr, FrameRole::TaskPane},
};

BurnFlowSteps DataBurnSteps()
{
    BurnFlowSteps steps;
    steps.sourceName = "compNostrine";
    // The editor's own messages do not reach the burning frame's job log.
    steps.reportFailedSource = true;
    return steps;
}

}  // namespace

CCoMaravin::CCoMaravin() : m_tree(IID_IFileTree, "m_compFileTree"), m_burnFlow(*this, m_tree, DataBurnSteps()) {}

const ProjectTypeInfo& CCoMaravin::Type()
{
    static const ProjectTypeInfo type = {"Maravin", "qvdata", IDS_PROJECT_FILE_DESCRIPTION, IDR_PROJECT_MENU, kFrames};
    return type;
}

HRESULT CCoMaravin::OnTypeCommand(IUnknown* sender, REFCLSID senderClsid, unsigned id, SAFEARRAY* data,
                                  bool& handled)
{
    handled = true;
    HRESULT hr = OnCommonCommand(sender, senderClsid, id, data, handled);
    if (handled) return hr;
    // 4097 and 4099 mean one thing from the editor and another from the
    // burning frame; from anyone else they are not ours.
    handled = true;
    if (FromEditor(sender)) hr = OnEditorCommand(id, data, handled);
    else if (FromBurner(sender)) hr = OnBurnerCommand(id, data, handled);
    else handled = false;
    return handled ? hr : E_COMMAND_NOT_HANDLED;
}

HRESULT CCoMaravin::OnCommonCommand(IUnknown* sender, REFCLSID senderClsid, unsigned id, SAFEARRAY* data,
                                    bool& handled)
{
    switch (id) {
    case PCID_REQUEST_BURN:
        return m_burnFlow.RequestBurn();
    case PCID_CANCEL:
        return m_burnFlow.Cancel(sender, senderClsid, data);
    case PCID_CLOSE_PROJECT:
        if (IsWindow()) PostMessage(WM_CLOSE);
        return S_OK;
    case PCID_IMAGE_SIZE_CHANGED:
        return ReportImageSize(*this, {SIZEBAR_DATA, false, "compNostrine"});
    case PCID_GET_CONTENTS_TEXT:
        return E_FAIL;
    case PCID_NEXT:
        // Only the editor moves on; anyone else is ignored.
        if (FromEditor(sender)) ActivateFrame(BurningFrame());
        return S_OK;
    case PCID_BACK:
        if (FromBurner(sender)) ActivateFrame(FirstFrame());
        return S_OK;
    default:
        handled = false;
        return E_COMMAND_NOT_HANDLED;
    }
}

HRESULT CCoMaravin::OnEditorCommand(unsigned id, SAFEARRAY* data, bool& handled)
{
    switch (id) {
    case PCID_SOURCE_READY:
        return m_burnFlow.SourceReady(data);
    case DECID_GET_CURRENT_DEVICE_ID:
        return RelayDeviceId(BFCID_GET_DEVICE_ID, data);
    case DECID_SET_CURRENT_DEVICE_ID:
        return RelayDeviceId(BFCID_SET_DEVICE_ID, data);
    case DECID_GET_WILL_LOAD:
        return AnswerNumber(data, WillBeLoaded());
    default:
        handled = false;
        return E_COMMAND_NOT_HANDLED;
    }
}

HRESULT CCoMaravin::OnBurnerCommand(unsigned id, SAFEARRAY* data, bool& handled)
{
    switch (id) {
    case PCID_SOURCE_READY:
    case PCID_RESULT:
        // The burning frame ends every burn with PCID_RESULT.
        return m_burnFlow.BurnFinished(id, data);
    case BFCID_GET_BURN_TYPE:
        return AnswerNumber(data, BURN_TYPE_DATA);
    case BFCID_GET_DATAIMAGE: {
        CLogFunctionScope scope("OnDrubeck_GetDataImage");
        return m_burnFlow.HandOver(data);
    }
    default:
        handled = false;
        return E_COMMAND_NOT_HANDLED;
    }
}

// The editor's device question, or the drive it continues a disc in, as
// the burning frame's command `id`.
HRESULT CCoMaravin::RelayDeviceId(unsigned id, SAFEARRAY* data)
{
    CLogFunctionScope scope(id == BFCID_GET_DEVICE_ID ? "OnNostrine_GetCurrentDeviceID" : "OnNostrine_SetCurrentDeviceID");
    com::ComPtr<ICommandPerformer> burner;
    if (!BurningFrame() || FAILED(burner.QueryFrom(BurningFrame(), IID_ICommandPerformer))) {
        LogNull("compDrubeck");
        return E_FAIL;
    }
    return burner->InvokeCommand(Self(), CLSID_CoMaravin, id, data);
}

HRESULT CCoMaravin::AnswerNumber(SAFEARRAY* data, long value)
{
    long* out = nullptr;
    HRESULT hr = ExtractFromSafearray(data, {{VT_I4 | VT_BYREF, &out}});
    if (FAILED(hr)) return hr;
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}

void CCoMaravin::OnActivating() { ReportImageSize(*this, {SIZEBAR_DATA, true, "compNostrine"}); }
