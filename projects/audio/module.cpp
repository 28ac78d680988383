// Sunnavar.dll: the audio-CD project type as an in-process server.
#include "audio_project.h"
#include "project_module.h"

namespace {

const com::ClassEntry kClasses[] = {
    PROJECT_CLASS_ENTRY(CCoSunnavar, CLSID_CoSunnavar, "Sunnavar.CoSunnavar", "CoSunnavar Class"),
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

PROJECT_MODULE_EXPORTS(kClasses)
