// The process's three services. Start-up creates them once into the module
// pointers g_compLogger, g_compTranslator and g_compSettings, which the GUI
// thread uses directly; shut-down releases them. A thread that may outlive
// the frame (the version check) takes references of its own with
// CServiceRefs::Take, so that shut-down never frees what it still uses.
#pragma once
#include <common.h>
#include <com/ptr.h>

struct CServiceRefs {
    com::ComPtr<ILogger> logger;
    com::ComPtr<ITranslator> translator;
    com::ComPtr<ISettings> settings;

    // References of the services alive now (null where there is none).
    static CServiceRefs Take();
};

// Stores a created service in its module pointer (which takes over the
// caller's reference).
void PublishLogger(ILogger* logger);
void PublishTranslator(ITranslator* translator);
void PublishSettings(ISettings* settings);

// Releases the settings, the translator and the logger, in that order, each
// pointer reset to null before its release. Threads holding their own
// references keep those objects alive.
void ReleaseServices();
