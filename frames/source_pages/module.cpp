// Pelgrave.dll: the in-process server of the source page frame.
#include "source_page_frame.h"
#include <com/server.h>

namespace {

const com::ClassEntry kClasses[] = {
    {&CLSID_CoPelgrave, com::Creator<CCoPelgrave>, "Pelgrave.CoPelgrave", "CoPelgrave Class", "Apartment"},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

COM_INPROC_SERVER_EXPORTS(kClasses, false)
