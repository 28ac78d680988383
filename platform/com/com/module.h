// The module of one component server (a DLL or a program): its instance
// handle and the lock count that tells whether it may go.
#pragma once
#include <windows.h>

namespace com {

// The instance handle of the module this code is linked into.
HINSTANCE ModuleInstance();

// Full path of this module's file.
const char* ModulePath();

// Objects and server locks alive in this module.
LONG ModuleLock();
LONG ModuleUnlock();
LONG ModuleLockCount();

}  // namespace com
