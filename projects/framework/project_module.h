// The in-process server of a project type: its class table entry and the
// registration of its class (CLSID, InprocServer32 with the Apartment
// threading model, "<Module>.<Class>.1" and the version-independent ProgID).
//
//   const com::ClassEntry kClasses[] = {
//       PROJECT_CLASS_ENTRY(CCoMaravin, CLSID_CoMaravin, "Maravin.CoMaravin", "CoMaravin Class"),
//       {nullptr, nullptr, nullptr, nullptr, nullptr}};
//   PROJECT_MODULE_EXPORTS(kClasses)
#pragma once
#include <com/server.h>

#define PROJECT_CLASS_ENTRY(cls, clsid, progId, description) \
    {&(clsid), ::com::Creator<cls>, progId, description, "Apartment"}

// The four exports of a project module (list them in its .def file).
#define PROJECT_MODULE_EXPORTS(table) COM_INPROC_SERVER_EXPORTS(table, false)
