#include "project_registration.h"
#include <com/registry.h>

HRESULT RegisterProjectType(const std::string& projectsKey, const std::string& languageFile,
                            const ProjectTypeRegistration& type)
{
    HRESULT hr = com::SetRegDword(HKEY_LOCAL_MACHINE, projectsKey + "\\" + type.clsid, "Order", type.order);
    if (FAILED(hr)) return hr;
    // The language file's folder may not be there before the first start.
    for (size_t at = languageFile.find('\\', 3); at != std::string::npos; at = languageFile.find('\\', at + 1))
        CreateDirectoryA(languageFile.substr(0, at).c_str(), nullptr);
    std::string value = type.description + "|" + type.patterns;
    if (!WritePrivateProfileStringA("ProjectsToOpen", type.clsid.c_str(), value.c_str(), languageFile.c_str()))
        return HRESULT_FROM_WIN32(GetLastError());
    return S_OK;
}
