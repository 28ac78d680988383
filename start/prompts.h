// Status-bar prompts of menu items and toolbar buttons: every command has a
// string of its own identifier whose text before the first "\n" is the
// prompt; system commands, recent files and MDI children share strings.
#pragma once
#include <windows.h>
#include <string>

// The string that explains command `id`. The frame's own identifiers come
// first, so that those inside the system-command range keep their prompts.
UINT PromptStringId(UINT id);
// The prompt text of command `id` (empty when it has none).
std::string PromptText(UINT id);
