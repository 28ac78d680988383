// The engine's interfaces cross processes through the proxy/stub classes of
// VokmarPS.dll. Registered with the apartment, they are found without the
// registry look-ups a new proxy otherwise costs; the benchmark measures
// whether that pays (under Wine it has not: the model does not do it).
#pragma once
#include <windows.h>

// Registers the engine's proxy/stub class and its interfaces with the
// calling thread's apartment (once per apartment; the class object stays
// registered until it is revoked or the apartment ends).
HRESULT RegisterEngineProxies();
