#include "windows/about_dialog.h"
#include "windows/engine_text.h"
#include <com/module.h>
#include <vector>

std::string ModuleFileVersion(HMODULE module)
{
    char path[MAX_PATH] = "";
    if (!GetModuleFileNameA(module, path, sizeof(path))) return std::string();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (!size) return std::string();
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path, 0, size, block.data())) return std::string();
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof(VS_FIXEDFILEINFO))
        return std::string();
    return std::to_string(HIWORD(info->dwFileVersionMS)) + "." + std::to_string(LOWORD(info->dwFileVersionMS)) +
           "." + std::to_string(HIWORD(info->dwFileVersionLS)) + "." + std::to_string(LOWORD(info->dwFileVersionLS));
}

LRESULT CAboutDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    SetText(EngineText(IDS_ABOUT_CAPTION));
    GetDlgItem(IDC_ABOUT_NAME).SetText(EngineText(IDS_ABOUT_NAME));
    GetDlgItem(IDC_ABOUT_COPYRIGHT).SetText(EngineText(IDS_ABOUT_COPYRIGHT));
    std::string version = ModuleFileVersion(com::ModuleInstance());
    if (version.empty()) version = EngineText(IDS_NOT_AVAILABLE);
    GetDlgItem(IDC_ABOUT_VERSION).SetText(EngineText(IDS_VERSION) + " " + version);
    return TRUE;
}
