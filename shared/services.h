// The module-wide service pointers: one set per module, null until bound
// through ISysServiceBinder (or set by a program at start-up), released when
// the module ends.
#pragma once
#include "common.h"

extern ILogger* g_compLogger;
extern ITranslator* g_compTranslator;
extern ISettings* g_compSettings;

// The text form of the common section of the language file (IUnknown's
// identifier) and of the settings file.
extern const char* const COMMON_LANG_SECTION;     // "00000000-0000-0000-C000-000000000046"
extern const char* const COMMON_SETTINGS_SECTION; // "_00000000-0000-0000-C000-000000000046_"

// Replaces a module pointer by `iid` queried from `from` (null clears it).
// Returns S_OK when the pointer is set afterwards.
HRESULT BindServicePointer(IUnknown* from, REFIID iid, void** slot);

// Releases this module's settings, translator and logger pointers, in that
// order, each set to null before its release; the logger goes last so the
// others may still log while they go. A program calls it before it
// uninitialises COM: at the module's end the settings' final save would
// reach a library that COM may already have unloaded. Releasing twice does
// nothing more; the module's end then finds nothing left to release.
void ReleaseServicePointers();
