#include "project_chooser.h"
#include "project_types.h"
#include <com/ptr.h>
#include <com/text.h>
#include <shared/services.h>
#include <vector>

HRESULT CreateProjectType(const char* clsidText, IProject** project)
{
    *project = nullptr;
    CLSID clsid;
    if (FAILED(::IIDFromString(com::WideFromAnsi(clsidText).c_str(), &clsid))) return E_INVALIDARG;
    com::ComPtr<IProject> created;
    HRESULT hr = created.CoCreate(clsid, IID_IProject);
    if (FAILED(hr)) return hr;
    com::ComPtr<ISysServiceBinder> binder;
    if (FAILED(created.As(IID_ISysServiceBinder, &binder))) return E_NOINTERFACE;
    if (FAILED(binder->BindLogger(g_compLogger)) || FAILED(binder->BindSettings(g_compSettings)) ||
        FAILED(binder->BindTranslator(g_compTranslator)))
        return E_FAIL;
    *project = created.Detach();
    return S_OK;
}

HRESULT ChooseProjectType(HWND, IProject** chosen)
{
    *chosen = nullptr;
    std::vector<com::ComPtr<IProject>> kept;
    for (const auto& type : RegisteredProjectTypes()) {
        com::ComPtr<IProject> project;
        if (SUCCEEDED(CreateProjectType(type.second.c_str(), &project))) kept.push_back(project);
    }
    if (kept.size() != 1) return S_FALSE;
    *chosen = kept.front().Detach();
    return S_OK;
}
