// CCommandPerformerImpl: ICommandPerformer for a component class. The
// partner (the project, for a frame or the task panel) is held without a
// reference: it owns this component and outlives it.
//
// The component class T provides the dispatch, called only for a non-null
// sender:
//   HRESULT OnCommand(IUnknown* sender, REFCLSID senderClsid, unsigned int id, SAFEARRAY* data);
// answering E_COMMAND_NOT_HANDLED for a number it does not handle.
#pragma once
#include "commands.h"
#include "hosting.h"
#include <com/guard.h>
#include <com/ptr.h>

template <class T, const CLSID* Clsid>
class CCommandPerformerImpl : public ICommandPerformer {
public:
    STDMETHODIMP SetPartnerNoAddRef(IUnknown* a_lpPartner) override
    {
        if (!a_lpPartner) return E_POINTER;
        ICommandPerformer* partner = nullptr;
        if (FAILED(a_lpPartner->QueryInterface(IID_ICommandPerformer, reinterpret_cast<void**>(&partner))))
            return E_FAIL;
        m_partner = partner;
        partner->Release();
        return S_OK;
    }

    STDMETHODIMP InvokeCommand(IUnknown* a_lpSender, REFCLSID a_refclsidSender, unsigned int a_uiCommandID,
                               SAFEARRAY* a_pData) override
    {
        if (!a_lpSender) return E_INVALIDARG;
        // Every component's handlers run under the one guard here.
        return com::Guarded("ICommandPerformer::InvokeCommand", [&]() -> HRESULT {
            return static_cast<T*>(this)->OnCommand(a_lpSender, a_refclsidSender, a_uiCommandID, a_pData);
        });
    }

protected:
    // Sends to the partner as this component; the partner's answer unchanged.
    HRESULT SendCommand(unsigned int id, SAFEARRAY* data)
    {
        if (!m_partner) return E_POINTER;
        // The partner's handler may drop the last other reference to us.
        com::ComPtr<ICommandPerformer> self(this);
        return m_partner->InvokeCommand(self, *Clsid, id, data);
    }

    ICommandPerformer* Partner() const { return m_partner; }

    // Commands with a second meaning, or reserved to one partner, are taken
    // only from that object (COM identity).
    static bool IsSender(IUnknown* sender, IUnknown* expected) { return com::SameObject(sender, expected); }

private:
    ICommandPerformer* m_partner = nullptr;
};
