// The engine's command-line switches.
#pragma once

enum class EngineSwitch { None, RegServer, UnregServer, Run };

// The first switch, after a "-" or a "/", that equals the whole rest of the
// line (letter case aside): "RegServer", "UnregServer", "Embedding" or
// "Automation" (both Run). Anything else lets the scan go on at the next
// "-" or "/".
EngineSwitch ParseEngineSwitch(const char* arguments);
