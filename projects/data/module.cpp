// Maravin.dll: the data-disc project type as an in-process server.
#include "data_project.h"
#include "project_module.h"

namespace {

const com::ClassEntry kClasses[] = {
    PROJECT_CLASS_ENTRY(CCoMaravin, CLSID_CoMaravin, "Maravin.CoMaravin", "CoMaravin Class"),
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

PROJECT_MODULE_EXPORTS(kClasses)
