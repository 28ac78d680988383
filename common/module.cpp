// Common.dll: the in-process server of the common services.
#include "data_object.h"
#include "load_save.h"
#include "logger.h"
#include "sections.h"
#include "settings.h"
#include "task_panel.h"
#include "translator.h"
#include <com/server.h>

namespace {

// The factory order of the library.
const com::ClassEntry kClasses[] = {
    {&CLSID_CoLogger, com::Creator<CCoLogger>, "Common.CoLogger", "CoLogger Class", "Both"},
    {&CLSID_CoSettings, com::Creator<CCoSettings>, "Common.CoSettings", "CoSettings Class", "Both"},
    {&CLSID_CoTranslator, com::Creator<CCoTranslator>, "Common.CoTranslator", "CoTranslator Class", "Both"},
    {&CLSID_CoLoadSaveImpl, com::Creator<CCoLoadSaveImpl>, "Common.CoLoadSaveImpl", "CoLoadSaveImpl Class", "Both"},
    {&CLSID_CoPanelCtrl, com::Creator<CCoPanelCtrl>, "Common.CoPanelCtrl", "CoPanelCtrl Class", "Apartment"},
    {&CLSID_CommonDataObject, com::Creator<CCommonDataObject>, "Common.CommonDataObject", "CommonDataObject Class",
     "Apartment"},
    // Registered only: the load/save object makes its sections.
    {&CLSID_CoLoadableSection, nullptr, "Common.CoLoadableSection", "CoLoadableSection Class", "Both"},
    {&CLSID_CoSaveableSection, nullptr, "Common.CoSaveableSection", "CoSaveableSection Class", "Both"},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

COM_INPROC_SERVER_EXPORTS(kClasses, true)
