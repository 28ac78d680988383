/* Holds a file open without sharing, as another program that uses it
   would: hold_file <path> <event name>. It sets "<event name>.held" once the
   file is open and lets it go when "<event name>.done" is set. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char** argv)
{
    char held[300], done[300];
    HANDLE file, heldEvent, doneEvent;
    if (argc < 3) return 2;
    snprintf(held, sizeof held, "%s.held", argv[2]);
    snprintf(done, sizeof done, "%s.done", argv[2]);
    doneEvent = CreateEventA(NULL, TRUE, FALSE, done);
    heldEvent = CreateEventA(NULL, TRUE, FALSE, held);
    file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return 1;
    SetEvent(heldEvent);
    WaitForSingleObject(doneEvent, 60000);
    CloseHandle(file);
    return 0;
}
