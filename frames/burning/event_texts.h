// What the burning frame says about the engine's status words: string
// numbers, and whether a box shows them too.
#pragma once
#include <windows.h>

// What a status word makes the frame do: log a string (0: nothing), and
// show it in a warning box too.
struct StatusReaction {
    UINT stringId;
    bool showBox;
};
StatusReaction ReactionToStatus(unsigned statusWord);
