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

namespace {

HRESULT LoadOwnTypeLib(ITypeLib** lib)
{
    std::wstring path = WideFromAnsi(ModulePath());
    return LoadTypeLibEx(path.c_str(), REGKIND_NONE, lib);
}

HRESULT RegisterClass(const ClassEntry& e, const std::string& libid)
{
    const std::string clsid = BracedGuid(*e.clsid);
    const std::string key = "CLSID\\" + clsid;
    const std::string progId = e.progId;
    const std::string versioned = progId + ".1";
    HRESULT hr = S_OK;
    auto set = [&](const std::string& k, const char* name, const std::string& v) {
        if (SUCCEEDED(hr)) hr = SetRegText(HKEY_CLASSES_ROOT, k, name, v);
    };
    set(key, "", e.description);
    set(key + "\\InprocServer32", "", ModulePath());
    set(key + "\\InprocServer32", "ThreadingModel", e.threadingModel);
    set(key + "\\ProgID", "", versioned);
    set(key + "\\VersionIndependentProgID", "", progId);
    if (!libid.empty()) set(key + "\\TypeLib", "", libid);
    set(versioned, "", e.description);
    set(versioned + "\\CLSID", "", clsid);
    set(progId, "", e.description);
    set(progId + "\\CLSID", "", clsid);
    set(progId + "\\CurVer", "", versioned);
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
        HRESULT hr = RegisterClass(*e, libid);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT UnregisterInprocServer(const ClassEntry* table, bool typelib)
{
    for (const ClassEntry* e = table; e->clsid; ++e) {
        DeleteRegTree(HKEY_CLASSES_ROOT, "CLSID\\" + BracedGuid(*e->clsid));
        DeleteRegTree(HKEY_CLASSES_ROOT, std::string(e->progId) + ".1");
        DeleteRegTree(HKEY_CLASSES_ROOT, e->progId);
    }
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
