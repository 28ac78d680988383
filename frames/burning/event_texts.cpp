#include "event_texts.h"
#include "engine.h"
#include "resource.h"

const char* MediumName(unsigned type, UINT* stringId)
{
    static const char* const names[] = {nullptr,      "CD-ROM",    "CD-R",      "CD-RW",   "DVD-ROM",  "DVD-R",
                                        "DVD-RAM",    "DVD-RW RO", "DVD-RW SR", "DVD+RW",  "DDCD-ROM", "DDCD-R",
                                        "DDCD-RW",    "DVD+R",     nullptr,     "DVD+R DL"};
    *stringId = type == MT_NO_MEDIA ? IDS_NO_MEDIA : IDS_UNKNOWN_MEDIUM;
    return type < sizeof(names) / sizeof(names[0]) ? names[type] : nullptr;
}

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

StatusReaction ReactionToStatus(unsigned statusWord)
{
    const unsigned code = statusWord & 0xFFFF;
    const bool flag = (statusWord >> 16) != 0;
    switch (code) {
    case ST_NOT_WRITABLE: return {IDS_NOT_WRITABLE, true};
    case ST_NOT_ERASABLE: return {IDS_NOT_ERASABLE, true};
    case ST_SPEED_FAILED: return {flag ? 0u : IDS_SPEED_FAILED, false};
    case ST_SENDING_OPC: return {IDS_SENDING_OPC, false};
    case ST_BUP_ENABLED: return {flag ? IDS_BUP_ENABLED : 0u, false};
    case ST_DVDVIDEO_IMAGE_BEGIN: return {IDS_DVD_IMAGE_BEGIN, false};
    case ST_DVDVIDEO_IMAGE_END: return {flag ? UINT(IDS_DVD_IMAGE_DONE) : UINT(IDS_DVD_IMAGE_FAILED), false};
    case ST_FINALIZED: return {IDS_ALREADY_FINALIZED, false};
    case ST_NOT_READY: return {IDS_DEVICE_NOT_READY, false};
    case ST_DATA_IMAGE_BEGIN: return {IDS_DATA_IMAGE_BEGIN, false};
    case ST_DATA_IMAGE_END: return {flag ? UINT(IDS_DATA_IMAGE_DONE) : UINT(IDS_DATA_IMAGE_FAILED), false};
    default: return {0, false};
    }
}
