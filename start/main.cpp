// Tessaly.exe: the application the user runs.
#include "run.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    return StartModuleMain(instance, show);
}
