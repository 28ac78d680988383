// Where an editor's dialogs open: centred over their owner, or over
// the work area when the owner is missing, hidden or minimised; inside the
// work area either way.
#pragma once
#include <windows.h>

void CenterOverOwner(HWND dialog);
