// Nostrine.dll: the data editor frame as an in-process server.
#include "data_editor_frame.h"
#include <com/server.h>

namespace {

const com::ClassEntry kClasses[] = {
    {&CLSID_CoNostrine, ::com::Creator<CCoNostrine>, "Nostrine.CoNostrine", "CoNostrine Class", "Apartment"},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

COM_INPROC_SERVER_EXPORTS(kClasses, false)
