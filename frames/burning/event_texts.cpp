#include "event_texts.h"
#include "engine.h"
#include "resource.h"

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
