#include "jobs/job_messages.h"
#include <engine.h>
#include <disc/disc_layer.h>

namespace {

uint32_t U32(const void* p) { return p ? *static_cast<const uint32_t*>(p) : 0; }
int64_t I64(const void* p) { return p ? *static_cast<const int64_t*>(p) : 0; }

}  // namespace

unsigned JobPhaseEvent(uint32_t kind, uint32_t phase)
{
    if (phase < JOB_PHASE_PREPARE || phase > JOB_PHASE_END) return 0;
    const unsigned offset = phase - JOB_PHASE_PREPARE;
    switch (kind) {
    case JOB_ERASE:
        return DM_ERASEPREPARE + offset;
    case JOB_DVDVIDEO:
    case JOB_DATA:
    case JOB_AUDIO:
    case JOB_VIDEOCD:
    case JOB_SUPERVIDEOCD:
        return DM_BURNPREPARE + offset;
    case JOB_GRABIMAGE:
        return DM_GRABPREPARE + offset;
    default:
        return 0;
    }
}

unsigned ProgressWord(int64_t total, int64_t done)
{
    // A layer that reports more done than there is, or less than nothing,
    // must not move a client's bar past its ends.
    if (total < 2) total = 1;
    if (done <= 0) return 0;
    if (done >= total) return 100u << 16;
    // Millionths of the whole, exact in integers up to terabytes done.
    int64_t millionths;
    if (done < INT64_MAX / 1000000)
        millionths = done * 1000000 / total;
    else
        millionths = static_cast<int64_t>(static_cast<double>(done) / static_cast<double>(total) * 1000000.0);
    return static_cast<unsigned>(millionths / 10000) << 16 | static_cast<unsigned>(millionths % 10000);
}

unsigned BufferPercent(uint32_t size, uint32_t free)
{
    if (size < 2) size = 1;
    if (free >= size) return 0;
    return static_cast<unsigned>(uint64_t(size - free) * 100 / size);
}

bool CallbackEventFor(const BURNER_CALLBACK_RECORD& r, CallbackEvent* event)
{
    unsigned message = 0, lParam = 0;
    switch (r.reason) {
    case DISC_CB_WRITE_PROGRESS:
        message = DM_WRITEPROGRESS;
        lParam = ProgressWord(I64(r.param1), I64(r.param2));
        break;
    case DISC_CB_READ_PROGRESS:
        message = DM_READPROGRESS;
        lParam = ProgressWord(I64(r.param1), I64(r.param2));
        break;
    case DISC_CB_BUFFER_STATUS:
        message = DM_BUFFERSTATUS;
        lParam = BufferPercent(U32(r.param1), U32(r.param2));
        break;
    case DISC_CB_ANALYZE_BEGIN:
        message = DM_ANALYZEBEGIN;
        break;
    case DISC_CB_TARGET_SIZE:
        message = DM_TARGETSIZE;
        lParam = U32(r.param2);
        break;
    case DISC_CB_FILL_BEGIN:
        message = DM_FILLBUFFERBEGIN;
        lParam = U32(r.param1);
        break;
    case DISC_CB_FILL_END:
        message = DM_FILLBUFFEREND;
        break;
    case DISC_CB_FLUSH_BEGIN:
        message = DM_FLUSHBUFFERBEGIN;
        break;
    case DISC_CB_FLUSH_END:
        message = DM_FLUSHBUFFEREND;
        break;
    case DISC_CB_UNDERRUN:
        message = DM_BUFFERUNDERRUN;
        break;
    default:
        // 14 to 20: stages the clients are not told of
        if (r.reason < DISC_CB_TREE_PROGRESS || r.reason > 20) return false;
        break;
    }
    event->message = message;
    event->lParam = lParam;
    return true;
}
