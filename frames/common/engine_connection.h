// Advising a sink on an engine object's _IMessageCallback connection point,
// and taking it away again.
#pragma once
#include <windows.h>
#include <unknwn.h>

// The connection's cookie in *cookie (0 on failure).
HRESULT AdviseEngineEvents(IUnknown* object, IUnknown* sink, DWORD* cookie);
// Unadvises when *cookie is not 0, and sets it to 0.
HRESULT UnadviseEngineEvents(IUnknown* object, DWORD* cookie);
