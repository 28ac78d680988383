#include "folders.h"
#include "log.h"
#include <shlobj.h>

HRESULT EnsureFolderExists(const std::string& path)
{
    std::string folder = path;
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    for (std::size_t pos = folder.find('\\'); pos != std::string::npos; pos = folder.find('\\', pos + 1)) {
        std::string prefix = folder.substr(0, pos + 1);
        if (GetFileAttributesA(prefix.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
        if (!CreateDirectoryA(prefix.c_str(), nullptr)) {
            CLogFunctionScope scope("EnsureFolderExists()");
            LogFailure("CreateDirectory()", static_cast<long>(GetLastError()), 0);
            LogPrintf("\t sInternalFolder=%s", prefix.c_str());
            return E_FAIL;
        }
    }
    return S_OK;
}

std::string AppDataFolder()
{
    char appData[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    return appData;
}

std::string EngineDataFolder() { return AppDataFolder() + "\\Tavell Software\\Vokmar"; }
