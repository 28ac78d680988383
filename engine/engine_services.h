// The engine's logger and translator from the common services, in the
// module pointers g_compLogger and g_compTranslator. Either may be missing:
// the engine then runs without a log or without translated texts.
#pragma once
#include <windows.h>
#include <string>

// <application data>\Tavell Software\Vokmar\Vokmar.log, making the folders.
std::string EngineLogPath();
// Vokmar.lng in the folder of the engine's program.
std::string EngineLanguagePath();

void StartEngineServices(HINSTANCE instance);
// Logs "Logger shutdown" and releases both.
void StopEngineServices();
