// register_project_type <app> <{clsid}> <order> <file description> <patterns>
// The installer's step for one project type of application <app>: the
// registered-type key under HKEY_LOCAL_MACHINE\SOFTWARE\Tavell software\<app>\Projects
// and the "ProjectsToOpen" entry of <common application data>\Tavell software\<app>\<app>.lng.
#include "project_registration.h"
#include <shlobj.h>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: register_project_type <app> <{clsid}> <order> <file description> <patterns>\n");
        return 2;
    }
    std::string app = argv[1];
    char data[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, data))) {
        std::fprintf(stderr, "no common application data folder\n");
        return 1;
    }
    std::string folder = std::string(data) + "\\Tavell software\\" + app;
    ProjectTypeRegistration type = {argv[2], static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)), argv[4], argv[5]};
    HRESULT hr = RegisterProjectType("SOFTWARE\\Tavell software\\" + app + "\\Projects", folder + "\\" + app + ".lng", type);
    if (FAILED(hr)) {
        std::fprintf(stderr, "registering %s failed: 0x%08lX\n", argv[2], static_cast<unsigned long>(hr));
        return 1;
    }
    return 0;
}
