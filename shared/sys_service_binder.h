// CSysServiceBinderImpl: ISysServiceBinder for a component class; binds the
// host's logger, translator and settings into this module's pointers.
#pragma once
#include "hosting.h"
#include "services.h"
#include "guid_text.h"
#include <com/bstr.h>
#include <com/guard.h>
#include <com/module.h>
#include <com/ptr.h>

template <class T, const CLSID* Clsid>
class CSysServiceBinderImpl : public ISysServiceBinder {
public:
    STDMETHODIMP BindLogger(IUnknown* a_pLogger) override
    {
        if (!a_pLogger) return E_POINTER;
        return BindServicePointer(a_pLogger, IID_ILogger, reinterpret_cast<void**>(&g_compLogger));
    }

    // Also pours this module's string table into the component's own
    // section of the language file.
    STDMETHODIMP BindTranslator(IUnknown* a_pTranslator) override
    {
        if (!a_pTranslator) return E_POINTER;
        if (FAILED(BindServicePointer(a_pTranslator, IID_ITranslator,
                                      reinterpret_cast<void**>(&g_compTranslator))))
            return E_FAIL;
        return com::Guarded("ISysServiceBinder::BindTranslator", [&]() -> HRESULT {
            g_compTranslator->GulpResources(reinterpret_cast<ULONG_PTR>(com::ModuleInstance()),
                                            com::Bstr(GuidToString(*Clsid)));
            return S_OK;
        });
    }

    STDMETHODIMP BindSettings(IUnknown* a_pSettings) override
    {
        if (!a_pSettings) return E_POINTER;
        return BindServicePointer(a_pSettings, IID_ISettings, reinterpret_cast<void**>(&g_compSettings));
    }

    STDMETHODIMP GetSettingsPage(ISettingsPage** a_pSettings) override
    {
        if (a_pSettings) *a_pSettings = nullptr;
        return E_FAIL;
    }

    // Hands this module's services to another component.
    virtual HRESULT STDMETHODCALLTYPE BindServicesInto(IUnknown* a_pTarget)
    {
        if (!a_pTarget) return E_POINTER;
        com::ComPtr<ISysServiceBinder> binder;
        if (FAILED(a_pTarget->QueryInterface(IID_ISysServiceBinder, reinterpret_cast<void**>(&binder))))
            return E_FAIL;
        HRESULT hr = binder->BindLogger(g_compLogger);
        hr |= binder->BindSettings(g_compSettings);
        hr |= binder->BindTranslator(g_compTranslator);
        return hr;
    }
};
