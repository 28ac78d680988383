#include "engine_questions.h"
#include "engine.h"

bool QuestionText(unsigned code, UINT* stringId, UINT* boxType)
{
    const UINT go = MB_OKCANCEL | MB_ICONINFORMATION, erase = MB_OKCANCEL | MB_ICONQUESTION;
    static const struct {
        unsigned code;
        UINT text, type;
    } questions[] = {
        {ASK_INSERT_DISC, IDS_ASK_INSERT_DISC, go},         {ASK_NOT_ENOUGH_SPACE, IDS_ASK_NOT_ENOUGH_SPACE, go},
        {ASK_ERASE_FINALIZED, IDS_ASK_ERASE_FINALIZED, erase}, {ASK_ERASE_FOR_SPACE, IDS_ASK_ERASE_FOR_SPACE, erase},
        {ASK_NOT_WRITABLE, IDS_ASK_NOT_WRITABLE, go},       {ASK_NEED_CD, IDS_ASK_NEED_CD, go},
        {ASK_NEED_DVD, IDS_ASK_NEED_DVD, go},               {ASK_NEED_BLANK, IDS_ASK_NEED_BLANK, go},
        {ASK_ERASE_FOR_BLANK, IDS_ASK_ERASE_FOR_BLANK, erase},
    };
    for (const auto& q : questions) {
        if (q.code != code) continue;
        *stringId = q.text;
        *boxType = q.type;
        return true;
    }
    return false;
}

LRESULT AskEngineQuestion(unsigned code, const std::function<std::string(UINT)>& text,
                          const std::function<int(const char*, UINT)>& box)
{
    UINT stringId = 0, type = 0;
    if (!QuestionText(code, &stringId, &type)) return 0;
    return box(text(stringId).c_str(), type);
}
