// Engine events as window messages: the sink turns event n into message
// WM_ENGINE_EVENT + n of its owner's window (posted; DM_QUESTION is sent
// and the window procedure's result is the engine's answer).
#pragma once
#include <windows.h>

enum : UINT {
    WM_ENGINE_EVENT = 2024,
    WM_ENGINE_FIRST = WM_ENGINE_EVENT + 1,   // DM_DEVICEARRIVED
    WM_ENGINE_LAST = WM_ENGINE_EVENT + 26,   // DM_DEVICESSCANNED
};

constexpr UINT EngineEventMessage(unsigned event) { return WM_ENGINE_EVENT + event; }
