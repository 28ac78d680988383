// Lets a window thread's waiting messages through during long work on it
// (painting, the cancel request), without waiting for new ones.
#pragma once

// Dispatches every message waiting now; a WM_QUIT is put back for the
// thread's own loop and ends the pumping.
void PumpWaitingMessages();
