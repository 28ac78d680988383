// The application's own message box (IMessenger of the bound translator)
// with the application title as caption.
#pragma once
#include <windows.h>
#include <string>

// Shows `text` with the MBX_* button and icon bits of `type`; the result
// bits of the pressed button, 0 when no message box is available.
unsigned long ShowProjectBox(const std::string& text, unsigned long type);
