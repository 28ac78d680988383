/* Holds a window so that Wine's desktop process stays up between test
   programs; "stop" as argument ends the running instance. */
#include <windows.h>

static const char kEvent[] = "TavellBurnerWineKeepalive";

int WINAPI WinMain(HINSTANCE instance, HINSTANCE prev, LPSTR cmd, int show)
{
    (void)instance; (void)prev; (void)show;
    HANDLE stop = CreateEventA(NULL, TRUE, FALSE, kEvent);
    if (cmd && lstrcmpiA(cmd, "stop") == 0) {
        SetEvent(stop);
        return 0;
    }
    HWND window = CreateWindowExA(0, "STATIC", "keepalive", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
    for (;;) {
        DWORD r = MsgWaitForMultipleObjects(1, &stop, FALSE, INFINITE, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) break;
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    DestroyWindow(window);
    return 0;
}
