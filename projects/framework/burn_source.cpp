#include "burn_source.h"
#include <com/text.h>
#include <shared/log.h>
#include <shared/variant_safearray.h>

HRESULT CObjectBurnSource::Keep(SAFEARRAY* report)
{
    unsigned int result = 0;
    IUnknown* object = nullptr;
    HRESULT hr = ExtractFromSafearray(report, {{VT_UI4, &result}, {VT_UNKNOWN, &object}});
    if (FAILED(hr)) return hr;
    // An object kept from an earlier preparation goes first.
    m_object.Reset();
    if (!object) return E_POINTER;
    IUnknown* wanted = nullptr;
    hr = object->QueryInterface(m_iid, reinterpret_cast<void**>(&wanted));
    if (FAILED(hr)) {
        LogFailure("QueryInterface", hr);
        return hr;
    }
    m_object.Attach(wanted);
    return S_OK;
}

HRESULT CObjectBurnSource::HandOver(SAFEARRAY* question)
{
    IUnknown** out = nullptr;
    HRESULT hr = ExtractFromSafearray(question, {{VT_UNKNOWN | VT_BYREF, &out}});
    if (FAILED(hr)) return hr;
    if (!out) return E_POINTER;
    if (!m_object) {
        LogNull(m_name);
        return E_FAIL;
    }
    IUnknown* identity = nullptr;
    hr = m_object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
    if (FAILED(hr)) return hr;
    *out = identity;
    m_object.Reset();
    return S_OK;
}

HRESULT CPathBurnSource::Keep(SAFEARRAY* report)
{
    unsigned int result = 0;
    BSTR path = nullptr;
    HRESULT hr = ExtractFromSafearray(report, {{VT_UI4, &result}, {VT_BSTR, &path}});
    if (FAILED(hr)) return hr;
    m_path = com::AnsiFromBstr(path);
    return S_OK;
}

HRESULT CPathBurnSource::HandOver(SAFEARRAY* question)
{
    BSTR* out = nullptr;
    HRESULT hr = ExtractFromSafearray(question, {{VT_BSTR | VT_BYREF, &out}});
    if (FAILED(hr)) return hr;
    if (!out) return E_POINTER;
    BSTR copy = com::BstrFromAnsi(m_path);
    if (!copy) return E_OUTOFMEMORY;
    *out = copy;
    return S_OK;
}
