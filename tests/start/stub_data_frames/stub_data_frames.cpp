// The data-disc project's editor and burning frame as the project tests'
// stub frames, in a module of their own: a test points the frames' class
// identifiers at it (for the current user only) so that Tessaly.exe can
// open the data-disc project where the real frames are not built.
#include "data_project_classes.h"
#include "stub_components.h"
#include <com/server.h>

namespace {

const com::ClassEntry kClasses[] = {
    {&CLSID_CoNostrine, CreateStubEditor, "StubDataFrames.Editor", "Stub data editor", "Apartment"},
    {&CLSID_CoDrubeck, CreateStubBurner, "StubDataFrames.Burner", "Stub burning frame", "Apartment"},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv)
{
    return com::GetClassObject(kClasses, rclsid, riid, ppv);
}
STDAPI DllCanUnloadNow() { return S_FALSE; }
