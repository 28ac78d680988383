// Hollistra.dll: the audio editor frame as an in-process server.
#include "audio_editor_frame.h"
#include <com/server.h>

namespace {

const com::ClassEntry kClasses[] = {
    {&CLSID_CoHollistra, ::com::Creator<CCoHollistra>, "Hollistra.CoHollistra", "CoHollistra Class", "Apartment"},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

COM_INPROC_SERVER_EXPORTS(kClasses, false)
