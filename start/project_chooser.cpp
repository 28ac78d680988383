#include "project_chooser.h"
#include "project_types.h"
#include "startup_dialog.h"
#include <com/ptr.h>
#include <com/text.h>
#include <shared/services.h>

HRESULT CreateProjectObject(const char* clsidText, IProject** project)
{
    *project = nullptr;
    CLSID clsid;
    if (FAILED(::IIDFromString(com::WideFromAnsi(clsidText).c_str(), &clsid))) return E_INVALIDARG;
    com::ComPtr<IProject> created;
    HRESULT hr = created.CoCreate(clsid, IID_IProject);
    if (FAILED(hr)) return hr;
    *project = created.Detach();
    return S_OK;
}

HRESULT BindServices(IProject* project)
{
    com::ComPtr<ISysServiceBinder> binder;
    if (FAILED(project->QueryInterface(IID_ISysServiceBinder, reinterpret_cast<void**>(&binder))))
        return E_NOINTERFACE;
    if (FAILED(binder->BindLogger(g_compLogger)) || FAILED(binder->BindSettings(g_compSettings)) ||
        FAILED(binder->BindTranslator(g_compTranslator)))
        return E_FAIL;
    return S_OK;
}

HRESULT CreateProjectType(const char* clsidText, IProject** project)
{
    *project = nullptr;
    com::ComPtr<IProject> created;
    HRESULT hr = CreateProjectObject(clsidText, &created);
    if (FAILED(hr)) return hr;
    hr = BindServices(created);
    if (FAILED(hr)) return hr;
    *project = created.Detach();
    return S_OK;
}

HRESULT ChooseProjectType(HWND owner, IProject** chosen)
{
    *chosen = nullptr;
    CStartupDialog dialog;
    if (dialog.DoModal(owner) != IDOK) return S_FALSE;
    *chosen = dialog.Detach();
    return *chosen ? S_OK : S_FALSE;
}
