// The engine's texts: the translator's (the device list's section, else the
// common section of Vokmar.lng), else the program's own string table, so
// that an engine without its language file still shows its words.
#pragma once
#include <windows.h>
#include <string>

std::string EngineText(UINT id);
