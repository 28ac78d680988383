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
