#include "com/server.h"
#include "com/registry.h"
#include "com/text.h"
#include <oleauto.h>
#include <string>

namespace com {

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return m_create(iid, ppv);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock)
{
    if (lock) ModuleLock(); else ModuleUnlock();
    return S_OK;
}

HRESULT GetClassObject(const ClassEntry* table, REFCLSID clsid, REFIID iid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (const ClassEntry* e = table; e->clsid; ++e) {
        if (!IsEqualCLSID(clsid, *e->clsid)) continue;
        if (!e->create) break;
        return CreateObject<ClassFactory>(iid, ppv, e->create);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CanUnloadNow() { return ModuleLockCount() == 0 ? S_OK : S_FALSE; }

std::string BracedGuid(REFGUID guid)
{
    wchar_t text[40];
    StringFromGUID2(guid, text, 40);
    return AnsiFromWide(text);
}

HRESULT RegisterClassKeys(REFCLSID clsid, const char* progId, const char* description)
{
    const std::string id = BracedGuid(clsid);
    const std::string key = "CLSID\\" + id;
    const std::string versioned = std::string(progId) + ".1";
    HRESULT hr = S_OK;
    auto set = [&](const std::string& k, const char* name, const std::string& v) {
        if (SUCCEEDED(hr)) hr = SetRegText(HKEY_CLASSES_ROOT, k, name, v);
    };
    set(key, "", description);
    set(key + "\\ProgID", "", versioned);
    set(key + "\\VersionIndependentProgID", "", progId);
    set(versioned, "", description);
    set(versioned + "\\CLSID", "", id);
    set(progId, "", description);
    set(std::string(progId) + "\\CLSID", "", id);
    set(std::string(progId) + "\\CurVer", "", versioned);
    return hr;
}

HRESULT UnregisterClassKeys(REFCLSID clsid, const char* progId)
{
    HRESULT result = S_OK;
    for (const std::string& key : {"CLSID\\" + BracedGuid(clsid), std::string(progId) + ".1", std::string(progId)}) {
        HRESULT hr = DeleteRegTree(HKEY_CLASSES_ROOT, key);
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    return result;
}

namespace {

HRESULT LoadOwnTypeLib(ITypeLib** lib)
{
    std::wstring path = WideFromAnsi(ModulePath());
    return LoadTypeLibEx(path.c_str(), REGKIND_NONE, lib);
}

HRESULT RegisterOneClass(const ClassEntry& e, const std::string& libid)
{
    const std::string key = "CLSID\\" + BracedGuid(*e.clsid);
    HRESULT hr = RegisterClassKeys(*e.clsid, e.progId, e.description);
    if (SUCCEEDED(hr)) hr = SetRegText(HKEY_CLASSES_ROOT, key + "\\InprocServer32", "", ModulePath());
    if (SUCCEEDED(hr))
        hr = SetRegText(HKEY_CLASSES_ROOT, key + "\\InprocServer32", "ThreadingModel", e.threadingModel);
    if (SUCCEEDED(hr) && !libid.empty()) hr = SetRegText(HKEY_CLASSES_ROOT, key + "\\TypeLib", "", libid);
    return hr;
}

}  // namespace

HRESULT RegisterInprocServer(const ClassEntry* table, bool typelib)
{
    std::string libid;
    if (typelib) {
        ITypeLib* lib = nullptr;
        HRESULT hr = LoadTypeLibEx(WideFromAnsi(ModulePath()).c_str(), REGKIND_REGISTER, &lib);
        if (FAILED(hr)) return hr;
        TLIBATTR* attr = nullptr;
        if (SUCCEEDED(lib->GetLibAttr(&attr))) {
            libid = BracedGuid(attr->guid);
            lib->ReleaseTLibAttr(attr);
        }
        lib->Release();
    }
    for (const ClassEntry* e = table; e->clsid; ++e) {
        HRESULT hr = RegisterOneClass(*e, libid);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT UnregisterInprocServer(const ClassEntry* table, bool typelib)
{
    for (const ClassEntry* e = table; e->clsid; ++e) UnregisterClassKeys(*e->clsid, e->progId);
    if (typelib) {
        ITypeLib* lib = nullptr;
        if (SUCCEEDED(LoadOwnTypeLib(&lib))) {
            TLIBATTR* attr = nullptr;
            if (SUCCEEDED(lib->GetLibAttr(&attr))) {
                UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum,
                                  attr->lcid, attr->syskind);
                lib->ReleaseTLibAttr(attr);
            }
            lib->Release();
        }
    }
    return S_OK;
}

}  // namespace com
