// Registry entries of an out-of-process server: per class the class
// identifier with LocalServer32 and AppID, the ProgID "<progId>.1" and the
// version-independent ProgID with CurVer; and the AppID with the program's
// file name.
#pragma once
#include "com/local_server.h"

namespace com {

struct LocalServerIdentity {
    const GUID* appId;
    const char* appName;     // "Vokmar"
    const char* exeName;     // "VOKMAR.EXE"
};

// For the program at ModulePath().
HRESULT RegisterLocalServer(const LocalClassEntry* table, const LocalServerIdentity& server);
HRESULT UnregisterLocalServer(const LocalClassEntry* table, const LocalServerIdentity& server);

}  // namespace com
