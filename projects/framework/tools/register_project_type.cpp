// register_project_type <projects key> <language file> <{clsid}> <order>
//                       <file description> <patterns>
// The installer's step for one project type (see project_registration.h).
#include "project_registration.h"
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 7) {
        std::fprintf(stderr,
                     "usage: register_project_type <projects key> <language file> <{clsid}> <order> "
                     "<file description> <patterns>\n");
        return 2;
    }
    ProjectTypeRegistration type = {argv[3], static_cast<DWORD>(std::strtoul(argv[4], nullptr, 10)), argv[5], argv[6]};
    HRESULT hr = RegisterProjectType(argv[1], argv[2], type);
    if (FAILED(hr)) {
        std::fprintf(stderr, "registering %s failed: 0x%08lX\n", argv[3], static_cast<unsigned long>(hr));
        return 1;
    }
    return 0;
}
