// The class identifier of the source page frame, "Pelgrave.CoPelgrave.1".
// Project files name the frame's section by it: it never changes.
#pragma once
#include <windows.h>

// {45999423-5550-425E-B879-086F6E374599}
extern const CLSID CLSID_CoPelgrave;
