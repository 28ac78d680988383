// The engine's questions (DM_QUESTION) as every frame asks them: the text
// and the box of each question code. The texts' string numbers are the same
// in every frame module; each module's .rc includes engine_questions.rc.
#pragma once
#include <windows.h>

#define IDS_ASK_INSERT_DISC 8245
#define IDS_ASK_ERASE_FINALIZED 8246
#define IDS_ASK_ERASE_FOR_SPACE 8247
#define IDS_ASK_NOT_ENOUGH_SPACE 8248
#define IDS_ASK_NOT_WRITABLE 8258
#define IDS_ASK_NEED_CD 8274
#define IDS_ASK_NEED_DVD 8275
#define IDS_ASK_NEED_BLANK 8276
#define IDS_ASK_ERASE_FOR_BLANK 8277

#ifndef RC_INVOKED
#include <functional>
#include <string>

// The question's text and box type; false for a code no frame asks.
bool QuestionText(unsigned code, UINT* stringId, UINT* boxType);

// Asks the engine's question in a box over `owner`: the box's result, which
// goes back to the engine (1, IDOK, goes on); 0 for a code no frame asks.
// `text` gives the module's text of a string number, `box` shows it.
LRESULT AskEngineQuestion(unsigned code, const std::function<std::string(UINT)>& text,
                          const std::function<int(const char*, UINT)>& box);
#endif
