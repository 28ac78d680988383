#include "project_registration.h"
#include <com/registry.h>

HRESULT RegisterProjectType(const std::string& projectsKey, const std::string& languageFile,
                            const ProjectTypeRegistration& type)
{
    HRESULT hr = com::SetRegDword(HKEY_LOCAL_MACHINE, projectsKey + "\\" + type.clsid, "Order", type.order);
    if (FAILED(hr)) return hr;
    std::string value = type.description + "|" + type.patterns;
    if (!WritePrivateProfileStringA("ProjectsToOpen", type.clsid.c_str(), value.c_str(), languageFile.c_str()))
        return HRESULT_FROM_WIN32(GetLastError());
    return S_OK;
}
