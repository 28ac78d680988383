// The engine's interfaces and their connection points, kept registered with
// RPC for the life of the calling process (see com/stub_pin.h). The engine
// pins them for the objects it hands out, a client for the sinks it hands
// to the engine.
#pragma once
#include <windows.h>

HRESULT PinEngineStubs();
