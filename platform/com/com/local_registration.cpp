#include "com/local_registration.h"
#include "com/registry.h"
#include "com/server.h"
#include <string>

namespace com {

namespace {

HRESULT RegisterOneClass(const LocalClassEntry& e, const std::string& appId)
{
    const std::string key = "CLSID\\" + BracedGuid(*e.clsid);
    HRESULT hr = RegisterClassKeys(*e.clsid, e.progId, e.description);
    auto set = [&](const std::string& k, const char* name, const std::string& v) {
        if (SUCCEEDED(hr)) hr = SetRegText(HKEY_CLASSES_ROOT, k, name, v);
    };
    set(key, "AppID", appId);
    // Quoted: the runtime appends " -Embedding" to the line it starts.
    set(key + "\\LocalServer32", "", std::string("\"") + ModulePath() + "\"");
    if (e.threadingModel) set(key + "\\LocalServer32", "ThreadingModel", e.threadingModel);
    return hr;
}

}  // namespace

HRESULT RegisterLocalServer(const LocalClassEntry* table, const LocalServerIdentity& server)
{
    const std::string appId = BracedGuid(*server.appId);
    HRESULT hr = SetRegText(HKEY_CLASSES_ROOT, "AppID\\" + appId, "", server.appName);
    if (SUCCEEDED(hr))
        hr = SetRegText(HKEY_CLASSES_ROOT, std::string("AppID\\") + server.exeName, "AppID", appId);
    for (const LocalClassEntry* e = table; SUCCEEDED(hr) && e->clsid; ++e) hr = RegisterOneClass(*e, appId);
    return hr;
}

HRESULT UnregisterLocalServer(const LocalClassEntry* table, const LocalServerIdentity& server)
{
    HRESULT result = S_OK;
    auto remove = [&](const std::string& key) {
        HRESULT hr = DeleteRegTree(HKEY_CLASSES_ROOT, key);
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    };
    for (const LocalClassEntry* e = table; e->clsid; ++e) {
        HRESULT hr = UnregisterClassKeys(*e->clsid, e->progId);
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    remove("AppID\\" + BracedGuid(*server.appId));
    remove(std::string("AppID\\") + server.exeName);
    return result;
}

}  // namespace com
