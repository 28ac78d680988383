// The test project type as an in-process server.
#include "test_project_type.h"
#include "project_module.h"

namespace {

const com::ClassEntry kClasses[] = {
    PROJECT_CLASS_ENTRY(CCoTestProject, CLSID_CoTestProject, "TestProjectType.CoTestProject", "CoTestProject Class"),
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

PROJECT_MODULE_EXPORTS(kClasses)
