#include "source_project_routes.h"
#include "project_base.h"
#include <shared/log.h>
#include <shared/variant_safearray.h>

namespace {

BurnFlowSteps ImageBurnSteps()
{
    BurnFlowSteps steps;
    steps.showWorkingPage = true;
    steps.enableWhenBurnEnds = true;
    steps.sourceName = "compPelgrave";
    return steps;
}

HRESULT AnswerNumber(SAFEARRAY* data, long value)
{
    long* out = nullptr;
    HRESULT hr = ExtractFromSafearray(data, {{VT_I4 | VT_BYREF, &out}});
    if (FAILED(hr)) return hr;
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}

}  // namespace

CSourceProjectRoutes::CSourceProjectRoutes(CProjectBase& project, bool relaysDevice)
    : m_project(project), m_relaysDevice(relaysDevice), m_burnFlow(project, m_image, ImageBurnSteps())
{
}

bool CSourceProjectRoutes::FromSource(IUnknown* sender) const { return com::SameObject(sender, m_project.FirstFrame()); }
bool CSourceProjectRoutes::FromBurner(IUnknown* sender) const
{
    return com::SameObject(sender, m_project.BurningFrame());
}

HRESULT CSourceProjectRoutes::OnCommand(IUnknown* sender, REFCLSID senderClsid, unsigned id, SAFEARRAY* data,
                                        bool& handled)
{
    handled = true;
    switch (id) {
    case PCID_ENABLE_UI:
        // Only the source page (or the project itself) speaks for both pages.
        if (FromSource(sender) || com::SameObject(sender, m_project.Self())) return PassEnableUI(data);
        return S_FALSE;
    case PCID_REQUEST_BURN:
        return m_burnFlow.RequestBurn();
    case PCID_CANCEL:
        // The burning frame's Cancel while the source page reads the disc.
        return m_burnFlow.Cancel(sender, senderClsid, data);
    case PCID_RESULT:
    case PCID_SOURCE_READY:
        if (FromSource(sender)) return m_burnFlow.SourceReady(data);
        if (FromBurner(sender)) return m_burnFlow.BurnFinished(id, data);
        return E_FAIL;
    case PCID_GET_ACTIVE_ACTION:
        return E_FAIL;
    case BFCID_GET_BURN_TYPE:  // SFCID_GET_CURRENT_DEVICE_ID from the source page
        if (FromBurner(sender)) return AnswerNumber(data, BURN_TYPE_IMAGE);
        if (FromSource(sender) && m_relaysDevice) return RelayDeviceId(data);
        return E_COMMAND_NOT_HANDLED;
    case BFCID_GET_ISOIMAGE_PATH:
        if (FromBurner(sender)) return m_burnFlow.HandOver(data);
        return E_COMMAND_NOT_HANDLED;
    default:
        handled = false;
        return E_COMMAND_NOT_HANDLED;
    }
}

HRESULT CSourceProjectRoutes::PassEnableUI(SAFEARRAY* data)
{
    HRESULT hr = m_project.SendToComponent(m_project.FirstFrame(), PCID_ENABLE_UI, data);
    if (FAILED(hr)) return hr;
    return m_project.SendToComponent(m_project.BurningFrame(), PCID_ENABLE_UI, data);
}

HRESULT CSourceProjectRoutes::RelayDeviceId(SAFEARRAY* data)
{
    CLogFunctionScope scope("OnPelgrave_GetCurrentDeviceID");
    if (!m_project.BurningFrame()) {
        LogNull("compDrubeck");
        return E_FAIL;
    }
    return m_project.SendToComponent(m_project.BurningFrame(), BFCID_GET_DEVICE_ID, data);
}
