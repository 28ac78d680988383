// Ellidra.dll: the image-burn project type as an in-process server.
#include "source_projects.h"
#include "project_module.h"

namespace {

const com::ClassEntry kClasses[] = {
    PROJECT_CLASS_ENTRY(CCoEllidra, CLSID_CoEllidra, "Ellidra.CoEllidra", "CoEllidra Class"),
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

PROJECT_MODULE_EXPORTS(kClasses)
