// The arithmetic of the job messages: which event each job phase and each
// progress report gives, with synthetic records.
#include <gtest/gtest.h>
#include <engine.h>
#include "jobs/job_messages.h"
#include <disc/disc_layer.h>

TEST(JobMessages, ProgressWordsCarryWholePercentAndFractionWithinBounds)
{
    struct Case {
        int64_t total, done;
        unsigned whole, fraction;
    };
    const Case cases[] = {
        {8, 1, 12, 5000},                   // 12.5 %
        {3, 1, 33, 3333},                   // cut towards zero
        {3, 2, 66, 6666},
        {1000000, 999999, 99, 9999},
        {8, 8, 100, 0},
        {8, 0, 0, 0},
        {0, 0, 0, 0},                       // nothing to do yet
        {1, 1, 100, 0},                     // totals below 2 count as 1
        {0, 1, 100, 0},
        {8, 9, 100, 0},                     // more done than there is: kept at 100
        {8, -1, 0, 0},                      // less than nothing: kept at 0
        {-5, 3, 100, 0},
        {int64_t(1) << 40, int64_t(1) << 39, 50, 0},   // 64-bit sizes
        {int64_t(5) << 32, int64_t(1) << 32, 20, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.done) + " of " + std::to_string(c.total));
        const unsigned word = ProgressWord(c.total, c.done);
        EXPECT_EQ(c.whole, word >> 16);
        EXPECT_EQ(c.fraction, word & 0xFFFF);
    }
}

TEST(JobMessages, BufferPercentIsTheUsedPartWithinBounds)
{
    struct Case {
        uint32_t size, free;
        unsigned percent;
    };
    const Case cases[] = {
        {100, 25, 75}, {100, 100, 0}, {100, 0, 100}, {3, 2, 33},
        {0, 0, 100},                  // a size below 2 counts as 1
        {1, 0, 100},
        {100, 150, 0},                // more free than the buffer: none used
        {0xFFFFFFFF, 0, 100},         // no overflow on large buffers
        {0xFFFFFFFF, 0x7FFFFFFF, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.free) + " free of " + std::to_string(c.size));
        EXPECT_EQ(c.percent, BufferPercent(c.size, c.free));
    }
}

TEST(JobMessages, EachJobKindsPhasesGiveItsEvents)
{
    struct Case {
        uint32_t kind;
        unsigned prepare, start, end;
    };
    const Case cases[] = {
        {JOB_ERASE, DM_ERASEPREPARE, DM_ERASESTART, DM_ERASEEND},
        {JOB_INTERNAL_ERASE, 0, 0, 0},
        {JOB_DVDVIDEO, DM_BURNPREPARE, DM_BURNSTART, DM_BURNEND},
        {JOB_DATA, DM_BURNPREPARE, DM_BURNSTART, DM_BURNEND},
        {JOB_AUDIO, DM_BURNPREPARE, DM_BURNSTART, DM_BURNEND},
        {JOB_GRABIMAGE, DM_GRABPREPARE, DM_GRABSTART, DM_GRABEND},
        {JOB_VIDEOCD, DM_BURNPREPARE, DM_BURNSTART, DM_BURNEND},
        {JOB_SUPERVIDEOCD, DM_BURNPREPARE, DM_BURNSTART, DM_BURNEND},
        {0, 0, 0, 0},
        {9, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        EXPECT_EQ(0u, JobPhaseEvent(c.kind, JOB_PHASE_INTERNAL));
        EXPECT_EQ(c.prepare, JobPhaseEvent(c.kind, JOB_PHASE_PREPARE));
        EXPECT_EQ(c.start, JobPhaseEvent(c.kind, JOB_PHASE_START));
        EXPECT_EQ(c.end, JobPhaseEvent(c.kind, JOB_PHASE_END));
        EXPECT_EQ(0u, JobPhaseEvent(c.kind, 4));
    }
}

TEST(JobMessages, ProgressCallbackRecordsMapToTheirEvents)
{
    int64_t total = 8, done = 1, readDone = 4;
    uint32_t bufferSize = 1000, bufferFree = 250, startBlock = 300, blocks = 12345;
    struct Case {
        const char* what;
        BURNER_CALLBACK_RECORD record;
        bool handled;
        unsigned message, lParam;
    };
    const Case cases[] = {
        {"write progress", {DISC_CB_WRITE_PROGRESS, &total, &done}, true, DM_WRITEPROGRESS, (12u << 16) + 5000},
        {"read progress", {DISC_CB_READ_PROGRESS, &total, &readDone}, true, DM_READPROGRESS, 50u << 16},
        {"buffer", {DISC_CB_BUFFER_STATUS, &bufferSize, &bufferFree}, true, DM_BUFFERSTATUS, 75},
        {"analysis", {DISC_CB_ANALYZE_BEGIN, nullptr, nullptr}, true, DM_ANALYZEBEGIN, 0},
        {"target size", {DISC_CB_TARGET_SIZE, &startBlock, &blocks}, true, DM_TARGETSIZE, 12345},
        {"fill begins", {DISC_CB_FILL_BEGIN, &bufferSize, nullptr}, true, DM_FILLBUFFERBEGIN, 1000},
        {"fill ends", {DISC_CB_FILL_END, nullptr, nullptr}, true, DM_FILLBUFFEREND, 0},
        {"flush begins", {DISC_CB_FLUSH_BEGIN, nullptr, nullptr}, true, DM_FLUSHBUFFERBEGIN, 0},
        {"flush ends", {DISC_CB_FLUSH_END, nullptr, nullptr}, true, DM_FLUSHBUFFEREND, 0},
        {"underrun", {DISC_CB_UNDERRUN, nullptr, nullptr}, true, DM_BUFFERUNDERRUN, 0},
        {"progress without values", {DISC_CB_WRITE_PROGRESS, nullptr, nullptr}, true, DM_WRITEPROGRESS, 0},
        {"tree build", {DISC_CB_TREE_PROGRESS, &total, &done}, true, 0, 0},
        {"reason 20", {20, nullptr, nullptr}, true, 0, 0},
        {"drive found", {DISC_CB_DEVICE_FOUND, nullptr, nullptr}, false, 0, 0},
        {"reason 21", {21, nullptr, nullptr}, false, 0, 0},
        {"reason 0", {0, nullptr, nullptr}, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CallbackEvent event = {0xFFFF, 0xFFFF};
        ASSERT_EQ(c.handled, CallbackEventFor(c.record, &event));
        if (!c.handled) continue;
        EXPECT_EQ(c.message, event.message);
        EXPECT_EQ(c.lParam, event.lParam);
    }
}
