// Quorrel.dll: the disc-copy project type as an in-process server.
#include "source_projects.h"
#include "project_module.h"

namespace {

const com::ClassEntry kClasses[] = {
    PROJECT_CLASS_ENTRY(CCoQuorrel, CLSID_CoQuorrel, "Quorrel.CoQuorrel", "CoQuorrel Class"),
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

PROJECT_MODULE_EXPORTS(kClasses)
