#include "project_base.h"
#include "project_ids.h"
#include "project_ui.h"
#include <shared/guid_text.h>
#include <shared/log.h>
#include <shared/translator.h>
#include <com/bstr.h>
#include <com/guard.h>

CProjectBase::CProjectBase() : m_actions(*this), m_loadSave(*this) {}

CProjectBase::~CProjectBase()
{
    if (m_menu) ::DestroyMenu(m_menu);
    for (HICON icon : m_windowIcons)
        if (icon) ::DestroyIcon(icon);
}

std::string CProjectBase::LangStr(unsigned id) const { return LookUpLangStr(GuidToString(ProjectClsid()), id); }

std::string CProjectBase::OwnLangStr(unsigned id) const
{
    if (!g_compTranslator) return std::string();
    com::Bstr text;
    if (FAILED(g_compTranslator->GetLangStr(com::Bstr(GuidToString(ProjectClsid())), id, &text))) return std::string();
    return text.Ansi();
}

IUnknown** CProjectBase::Member(FrameRole role)
{
    switch (role) {
    case FrameRole::TaskPane: return &m_taskPane;
    case FrameRole::FirstFrame: return &m_firstFrame;
    default: return &m_burningFrame;
    }
}

void CProjectBase::SetTitle(const std::string& title)
{
    m_title = title;
    if (IsWindow()) SetText(title);
}

int CProjectBase::FrameIndexOf(IUnknown* component) const
{
    if (!component) return -1;
    for (int i = 0; i < FRAME_COUNT; ++i)
        if (Frame(i) && com::SameObject(component, Frame(i))) return i;
    return -1;
}

HRESULT CProjectBase::SendToComponent(IUnknown* component, unsigned id, SAFEARRAY* data)
{
    com::ComPtr<ICommandPerformer> performer;
    if (!component ||
        FAILED(component->QueryInterface(IID_ICommandPerformer, reinterpret_cast<void**>(&performer))))
        return E_NOINTERFACE;
    return performer->InvokeCommand(Self(), ProjectClsid(), id, data);
}

void CProjectBase::ActivateFrame(IUnknown* frame)
{
    int index = FrameIndexOf(frame);
    if (index >= 0) m_activeFrame = index;
    HWND chosen = index >= 0 ? m_frameWindows[index] : nullptr;
    for (HWND window : m_frameWindows)
        if (window != chosen && ::IsWindow(window) && (::GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE))
            ::ShowWindow(window, SW_HIDE);
    if (index < 0) return;
    if (::IsWindow(chosen)) {
        ::ShowWindow(chosen, SW_SHOW);
        m_splitter.SetSplitterPane(CSplitterWindowExT<true>::RIGHT_PANE, chosen);
    }
    m_actions.SetActive(frame, NO_ACTION_ID);
}

HRESULT CProjectBase::GetOwnWindowMode(FrameRole, long*) { return E_NOTIMPL; }

HRESULT CProjectBase::OnTypeCommand(IUnknown*, unsigned, SAFEARRAY*, bool& handled)
{
    handled = false;
    return E_COMMAND_NOT_HANDLED;
}

HRESULT CProjectBase::OnTypeCommand(IUnknown* sender, REFCLSID, unsigned id, SAFEARRAY* data, bool& handled)
{
    return OnTypeCommand(sender, id, data, handled);
}

// --- IProject ---

STDMETHODIMP CProjectBase::Load(BSTR a_bsFileName)
{
    return com::Guarded("Load", [&] {
        CLogFunctionScope scope("Load");
        return m_loadSave.LoadImpl(com::AnsiFromBstr(a_bsFileName));
    });
}

STDMETHODIMP CProjectBase::GetIcon(HICON* a_phIcon)
{
    CLogFunctionScope scope("GetIcon");
    if (!a_phIcon) return E_POINTER;
    *a_phIcon = static_cast<HICON>(::LoadImageA(com::ModuleInstance(), MAKEINTRESOURCEA(IDI_PROJECT), IMAGE_ICON,
                                                48, 48, LR_DEFAULTCOLOR));
    return *a_phIcon ? S_OK : E_FAIL;
}

STDMETHODIMP CProjectBase::GetName(BSTR* a_pbsProjectName)
{
    return com::Guarded("GetName", [&] {
        CLogFunctionScope scope("GetName");
        if (!a_pbsProjectName) {
            LogNull("a_pbsProjectName");
            return E_POINTER;
        }
        *a_pbsProjectName = com::BstrFromAnsi(LangStr(IDS_PROJECT_NAME));
        return S_OK;
    });
}

STDMETHODIMP CProjectBase::GetDescription(BSTR* a_pbsProjectDescription)
{
    return com::Guarded("GetDescription", [&] {
        CLogFunctionScope scope("GetDescription");
        if (!a_pbsProjectDescription) {
            LogNull("a_pbsProjectDescription");
            return E_POINTER;
        }
        *a_pbsProjectDescription = com::BstrFromAnsi(LangStr(IDS_PROJECT_DESCRIPTION));
        return S_OK;
    });
}

STDMETHODIMP CProjectBase::SetWillBeLoaded(long a_bWillBeLoaded)
{
    CLogFunctionScope scope("SetWillBeLoaded");
    m_willBeLoaded = a_bWillBeLoaded;
    return S_OK;
}

STDMETHODIMP CProjectBase::GetLastError()
{
    CLogFunctionScope scope("GetLastError");
    return m_lastError;
}

STDMETHODIMP CProjectBase::UpdateMRUList()
{
    return com::Guarded("UpdateMRUList", [&] {
        CLogFunctionScope scope("UpdateMRUList");
        if (m_menu) CProjectUI::UpdateRecentFiles(m_menu);
        return S_OK;
    });
}

// --- ICommandPerformer ---

STDMETHODIMP CProjectBase::SetPartnerNoAddRef(IUnknown* a_lpPartner)
{
    // A project has no partner of its own; the contract is kept all the same.
    if (!a_lpPartner) return E_POINTER;
    com::ComPtr<ICommandPerformer> partner;
    return SUCCEEDED(a_lpPartner->QueryInterface(IID_ICommandPerformer, reinterpret_cast<void**>(&partner)))
               ? S_OK
               : E_FAIL;
}

STDMETHODIMP CProjectBase::InvokeCommand(IUnknown* a_lpSender, REFCLSID a_refclsidSender, unsigned int a_uiCommandID,
                                         SAFEARRAY* a_pData)
{
    if (!a_lpSender) return E_INVALIDARG;
    return com::Guarded("InvokeCommand", [&] {
        // The sender's handler may drop the last other reference to us.
        com::ComPtr<IProject> self(this);
        bool handled = false;
        HRESULT hr = OnTypeCommand(a_lpSender, a_refclsidSender, a_uiCommandID, a_pData, handled);
        if (handled) return hr;
        if (CActionsManager::IsActionCommand(a_uiCommandID)) return m_actions.OnCommand(a_lpSender, a_uiCommandID, a_pData);
        switch (a_uiCommandID) {
        case PCID_NEXT:
            ActivateFrame(m_burningFrame);
            return S_OK;
        case PCID_BACK:
            ActivateFrame(m_firstFrame);
            return S_OK;
        default:
            return E_COMMAND_NOT_HANDLED;
        }
    });
}
