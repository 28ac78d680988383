// The folders the components keep their files in, and the one helper that
// makes a folder path.
#pragma once
#include <windows.h>
#include <string>

// Creates every missing folder of `path` (a folder path, with or without a
// trailing backslash). E_FAIL, with a log line, when one cannot be made.
HRESULT EnsureFolderExists(const std::string& path);

// The user's application data folder (not created when missing).
std::string AppDataFolder();

// "<application data>\Tavell Software\Vokmar": the engine's log, and the
// disc layer's drives. Not created here: EnsureFolderExists makes it.
std::string EngineDataFolder();
