// Drubeck.dll: the in-process server of the burning frame.
#include "burning_frame.h"
#include <com/server.h>

namespace {

const com::ClassEntry kClasses[] = {
    {&CLSID_CoDrubeck, com::Creator<CCoDrubeck>, "Drubeck.CoDrubeck", "CoDrubeck Class", "Apartment"},
    // Registered only: each frame makes its own sink.
    {&CLSID_CoDeviceCallbackBuffer, nullptr, "Drubeck.CoDeviceCallbackBuffer", "CoDeviceCallbackBuffer Class",
     "Apartment"},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

COM_INPROC_SERVER_EXPORTS(kClasses, true)
