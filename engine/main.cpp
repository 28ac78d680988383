// Vokmar.exe: the disc engine, an out-of-process component server.
#include "engine_server.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int)
{
    return RunEngine(instance, arguments);
}
