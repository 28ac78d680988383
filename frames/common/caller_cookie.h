// Caller cookies: the number a frame passes to each engine job it starts and
// finds again in the job's events. Taken from the tick count, but never one
// that another frame of this process already has, even when two frames are
// made within one tick or live in different modules.
#pragma once

unsigned long NewCallerCookie();
