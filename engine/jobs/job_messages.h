// The private messages by which a job's worker thread (and the disc
// layer's progress callback on it) hands its stages to the device window,
// and the arithmetic that turns them into events. Workers never call
// clients: the window's thread fires every event, in the order the
// messages came.
#pragma once
#include <windows.h>
#include <cstdint>

// Messages of a device's window "DeviceWindow".
enum : UINT {
    WM_JOB_STATE = 0x0500,        // wParam: JOB_STATE_RECORD*
    WM_ASK_USER = 0x0501,         // wParam: question code; result: the answer
    WM_JOB_STATUS = 0x0502,       // wParam: status word
    WM_CHECK_MEDIUM = 0x0503,     // after a medium was asked for
    WM_BURNER_CALLBACK = 0x0504,  // wParam: BURNER_CALLBACK_RECORD*
    WM_JOB_REF = 0x0FBA           // wParam: 1 hold the device, 0 let it go
};

enum JOB_KIND : uint32_t {
    JOB_ERASE = 1, JOB_INTERNAL_ERASE = 2, JOB_DVDVIDEO = 3, JOB_DATA = 4, JOB_AUDIO = 5,
    JOB_GRABIMAGE = 6, JOB_VIDEOCD = 7, JOB_SUPERVIDEOCD = 8
};

enum JOB_PHASE : uint32_t {
    JOB_PHASE_INTERNAL = 0,  // an erase inside another job
    JOB_PHASE_PREPARE = 1, JOB_PHASE_START = 2, JOB_PHASE_END = 3
};

// The record one job sends in each of its phases. A job whose worker needs
// more data keeps it in a record of its own that begins with this one.
struct JOB_STATE_RECORD {
    uint32_t reserved;      // 0
    uint32_t kind;          // JOB_KIND
    uint32_t phase;         // JOB_PHASE
    uint32_t speed;         // KB/s
    uint8_t port, bus, target, lun;
    uint32_t lastArgument;  // buffer size; low byte 0xFF: test write
    HRESULT result;         // the job's result, E_FAIL until it knows better
};

// What the disc layer's progress callback passed, as it passed it.
struct BURNER_CALLBACK_RECORD {
    uint32_t reason;
    void* param1;
    void* param2;
};

// The event of a job kind's phase; 0 for a pair that is not handled.
unsigned JobPhaseEvent(uint32_t kind, uint32_t phase);

// DM_WRITEPROGRESS and DM_READPROGRESS: the whole percent of `done` in
// `total` in the high word, the fraction of a percent x 10000 in the low
// word, both cut towards zero and the whole kept within 0 to 100.
unsigned ProgressWord(int64_t total, int64_t done);

// DM_BUFFERSTATUS: the part of the buffer in use, 0 to 100.
unsigned BufferPercent(uint32_t size, uint32_t free);

// The status word of DM_STATUS: a flag in the high word, the code low.
inline unsigned StatusWord(unsigned code, unsigned flag = 0) { return (flag << 16) | (code & 0xFFFF); }

// The event a progress-callback record gives. False: the reason is not
// handled; true with message 0: handled, nothing to fire.
struct CallbackEvent {
    unsigned message, lParam;
};
bool CallbackEventFor(const BURNER_CALLBACK_RECORD& record, CallbackEvent* event);
