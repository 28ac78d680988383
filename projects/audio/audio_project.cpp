#include "audio_project.h"
#include "image_size_report.h"
#include "audio_project_ids.h"
#include "drubeck.h"
#include "project_ids.h"
#include <shared/variant_safearray.h>

namespace {

const FrameTableRow kFrames[] = {
    {&CLSID_CoPanelCtrl, "CLSID_CoPanelCtrl", "m_compTaskPane", FrameRole::TaskPane},
    {&CLSID_CoHollistra, "CLSID_CoHollistra", "m_compHollistra", FrameRole::FirstFrame},
    {&CLSID_CoDrubeck, "CLSID_CoDrubeck", "m_compDrubeck", FrameRole::BurningFrame},
    {nullptr, nullptr, nullptr, FrameRole::TaskPane},
};

// Both frames stay disabled from the burn request to the burning frame's
// result; a failed or stopped decode enables both again at once.
BurnFlowSteps AudioBurnSteps()
{
    BurnFlowSteps steps;
    steps.disableBurner = true;
    steps.enableWhenBurnEnds = true;
    steps.sourceName = "compHollistra";
    return steps;
}

// The space bar counts an audio CD in seconds; a change is always shown
// (0 when the editor cannot tell), an activation only with an answer.
const SizeReport kChangeReport = {SIZEBAR_AUDIO, true, "compHollistra"};
const SizeReport kActivationReport = {SIZEBAR_AUDIO, false, "compHollistra"};

}  // namespace

CCoSunnavar::CCoSunnavar() : m_layout(*this), m_burnFlow(*this, m_layout, AudioBurnSteps()) {}

const ProjectTypeInfo& CCoSunnavar::Type()
{
    static const ProjectTypeInfo type = {"Sunnavar", "qvaudio", IDS_AUDIO_PROJECT_FILE_DESCRIPTION, IDR_PROJECT_MENU,
                                         kFrames};
    return type;
}

HRESULT CCoSunnavar::OnTypeCommand(IUnknown* sender, REFCLSID, unsigned id, SAFEARRAY* data, bool& handled)
{
    handled = true;
    switch (id) {
    case PCID_REQUEST_BURN:
        return m_burnFlow.RequestBurn();
    case PCID_RESULT:
        // The editor's decode ends the preparation; the burning frame's
        // result ends the burn.
        if (FromEditor(sender)) return m_burnFlow.SourceReady(data);
        if (FromBurner(sender)) return m_burnFlow.BurnFinished(PCID_RESULT, data);
        return S_OK;
    case PCID_IMAGE_SIZE_CHANGED:
        return ReportImageSize(*this, kChangeReport);
    case PCID_GET_CONTENTS_TEXT:
    case PCID_GET_ACTIVE_ACTION:
    case PCID_GET_PANE_ACTIVE_ACTION:
        return E_FAIL;
    case PCID_NEXT:
        ActivateFrame(BurningFrame());
        return S_OK;
    case PCID_BACK:
        ActivateFrame(FirstFrame());
        return S_OK;
    case PCID_SET_ACTION_ICON:
    case PCID_CHANGE_ACTION:
        // No action icons or renamed actions in this project type.
        return E_COMMAND_NOT_HANDLED;
    default:
        break;
    }
    if (FromBurner(sender)) return OnBurnerCommand(id, data, handled);
    handled = id == BFCID_GET_BURN_TYPE || id == BFCID_GET_AUDIOIMAGE;
    return E_COMMAND_NOT_HANDLED;
}

HRESULT CCoSunnavar::OnBurnerCommand(unsigned id, SAFEARRAY* data, bool& handled)
{
    switch (id) {
    case BFCID_GET_BURN_TYPE:
        return AnswerNumber(data, BURN_TYPE_AUDIO);
    case BFCID_GET_AUDIOIMAGE:
        return m_burnFlow.HandOver(data);
    default:
        handled = false;
        return E_COMMAND_NOT_HANDLED;
    }
}

HRESULT CCoSunnavar::AnswerNumber(SAFEARRAY* data, long value)
{
    long* out = nullptr;
    HRESULT hr = ExtractFromSafearray(data, {{VT_I4 | VT_BYREF, &out}});
    if (FAILED(hr)) return hr;
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}

void CCoSunnavar::OnActivating() { ReportImageSize(*this, kActivationReport); }
