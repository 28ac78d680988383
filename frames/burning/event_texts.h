// What the burning frame says about the engine's media, questions and
// status words: string numbers and message-box types, by code.
#pragma once
#include <windows.h>

// The name of a medium type; null for the types named by a string
// (*stringId: no medium or unknown).
const char* MediumName(unsigned type, UINT* stringId);

// The question's text and box type; false for a code the frame does not ask.
bool QuestionText(unsigned code, UINT* stringId, UINT* boxType);

// What a status word makes the frame do: log a string (0: nothing), and
// show it in a warning box too.
struct StatusReaction {
    UINT stringId;
    bool showBox;
};
StatusReaction ReactionToStatus(unsigned statusWord);
