#include "devices/grabber.h"
#include <shared/log.h>

int LogDiscFailure(int code, uint32_t operation, const char* text)
{
    if (code != DISC_OK)
        LogPrintf("\t%s failed, error code - 0x%08X, exception text is \"%s\"",
                  DiscLayer_OperationName(operation), static_cast<unsigned>(code), text);
    return code;
}

bool IsBurnableCdSound(const char* path)
{
    char text[1024] = {};
    uint32_t systemError = 0;
    return LogDiscFailure(DiscLayer_CheckAudioFile(path, text, sizeof(text), &systemError), DISC_OP_CHECK_AUDIO,
                          text) == DISC_OK;
}

namespace {

// The caller's side of one call: text buffer, system error, failure record.
struct CallFrame {
    char text[1024] = "";
    uint32_t systemError = 0;
    DiscFailureRecord failure = {};
};

}  // namespace

// Runs one grabber operation with a fresh frame and logs its failure.
#define GRABBER_CALL(operation, function, ...)                                                      \
    do {                                                                                            \
        CallFrame f;                                                                                \
        return LogDiscFailure(function(m_handle, f.text, sizeof(f.text), &f.systemError, &f.failure, \
                                       ##__VA_ARGS__),                                              \
                              operation, f.text);                                                   \
    } while (0)

// The same with the caller's failure record, when it wants one.
#define GRABBER_WRITE(operation, function, failure, ...)                                             \
    do {                                                                                             \
        CallFrame f;                                                                                 \
        DiscFailureRecord* record = (failure) ? (failure) : &f.failure;                             \
        return LogDiscFailure(function(m_handle, f.text, sizeof(f.text), &f.systemError, record,     \
                                       ##__VA_ARGS__),                                               \
                              operation, f.text);                                                    \
    } while (0)

int CGrabber::Create(DiscCallback callback, void* context, unsigned id, uint32_t bufferSize)
{
    CallFrame f;
    return LogDiscFailure(Grabber_Create(&m_handle, f.text, sizeof(f.text), &f.systemError, callback, context,
                                         static_cast<uint8_t>(id), static_cast<uint8_t>(id >> 8),
                                         static_cast<uint8_t>(id >> 16), static_cast<uint8_t>(id >> 24),
                                         bufferSize),
                          DISC_OP_GRABBER_CREATE, f.text);
}

void CGrabber::Destroy()
{
    if (m_handle) DiscHandle_Destroy(&m_handle);
    m_handle = 0;
}

int CGrabber::GetIdentity(DiscIdentity* identity) { GRABBER_CALL(DISC_OP_IDENTITY, Grabber_GetIdentity, identity); }
int CGrabber::ProbeReadModes(DiscReadModes* modes) { GRABBER_CALL(DISC_OP_READ_MODES, Grabber_ProbeReadModes, modes); }
int CGrabber::ProbeWriteModes(DiscWriteModes* modes) { GRABBER_CALL(DISC_OP_WRITE_MODES, Grabber_ProbeWriteModes, modes); }
int CGrabber::GetCapabilities(DiscReadCapabilities* read, DiscWriteCapabilities* write)
{
    GRABBER_CALL(DISC_OP_CAPABILITIES, Grabber_GetCapabilities, read, write);
}
int CGrabber::SetSpeeds(uint32_t read, uint32_t write) { GRABBER_CALL(DISC_OP_SET_SPEEDS, Grabber_SetSpeeds, read, write); }
int CGrabber::GetSpeeds(uint32_t* read, uint32_t* maxRead, uint32_t* write, uint32_t* maxWrite)
{
    GRABBER_CALL(DISC_OP_GET_SPEEDS, Grabber_GetSpeeds, read, maxRead, write, maxWrite);
}
int CGrabber::TestUnitReady(uint32_t timeoutSeconds)
{
    GRABBER_CALL(DISC_OP_UNIT_READY, Grabber_TestUnitReady, timeoutSeconds);
}
int CGrabber::GetDiscType(uint32_t* mediumType) { GRABBER_CALL(DISC_OP_DISC_TYPE, Grabber_GetDiscType, mediumType); }
int CGrabber::GetDiscInformation(DiscInformation* info) { GRABBER_CALL(DISC_OP_DISC_INFO, Grabber_GetDiscInformation, info); }
int CGrabber::GetTrackInformation(uint32_t track, DiscTrackInformation* info)
{
    GRABBER_CALL(DISC_OP_TRACK_INFO, Grabber_GetTrackInformation, track, info);
}
int CGrabber::Eject() { GRABBER_CALL(DISC_OP_EJECT, Grabber_Eject); }
int CGrabber::Load() { GRABBER_CALL(DISC_OP_LOAD, Grabber_Load); }
int CGrabber::Lock() { GRABBER_CALL(DISC_OP_LOCK, Grabber_Lock); }
int CGrabber::Release() { GRABBER_CALL(DISC_OP_RELEASE, Grabber_Release); }
int CGrabber::GetBUP(uint32_t* available, uint32_t* enabled) { GRABBER_CALL(DISC_OP_GET_BUP, Grabber_GetBUP, available, enabled); }
int CGrabber::SetBUP(uint32_t enable) { GRABBER_CALL(DISC_OP_SET_BUP, Grabber_SetBUP, enable); }
int CGrabber::SendOPC() { GRABBER_CALL(DISC_OP_SEND_OPC, Grabber_SendOPC); }
int CGrabber::CloseSession() { GRABBER_CALL(DISC_OP_CLOSE_SESSION, Grabber_CloseSession); }
int CGrabber::Blank(uint32_t quick) { GRABBER_CALL(DISC_OP_BLANK, Grabber_Blank, quick); }

int CGrabber::Cancel()
{
    return LogDiscFailure(Grabber_Cancel(m_handle), DISC_OP_CANCEL, "");
}

int CGrabber::TrackAtOnceFromTree(DiscHandle tree, uint32_t testWrite, uint32_t leaveOpen, DiscFailureRecord* failure)
{
    GRABBER_WRITE(DISC_OP_TAO_FROM_TREE, Grabber_TrackAtOnceFromTree, failure, tree, 1, testWrite, leaveOpen, 1, 1);
}

int CGrabber::TrackAtOnceFromFile(const char* path, uint32_t testWrite, DiscFailureRecord* failure)
{
    GRABBER_WRITE(DISC_OP_TAO_FROM_FILE, Grabber_TrackAtOnceFromFile, failure, path, 0, testWrite, 0, 1, 1);
}

int CGrabber::SessionAtOnceRaw(const char* path, uint32_t testWrite)
{
    GRABBER_CALL(DISC_OP_SAO_RAW, Grabber_SessionAtOnceRawRawPW, path, testWrite, 1, 1, 0, 0);
}

int CGrabber::GrabCdImage(const char* basePath)
{
    GRABBER_CALL(DISC_OP_GRAB_CD, Grabber_GrabCdImage, basePath, 3, 1, 1, 0, 1, 0);
}

int CGrabber::WriteVideoCd(const char* streamPath, const char* dateText, bool super, uint32_t testWrite)
{
    if (super)
        GRABBER_CALL(DISC_OP_SUPER_VIDEO_CD, Grabber_SuperVideoCD, streamPath, dateText, 1, 1, testWrite, 1, 1);
    GRABBER_CALL(DISC_OP_VIDEO_CD, Grabber_VideoCD, streamPath, dateText, 1, 1, testWrite, 1, 1);
}

int CGrabber::GrabDvdImage(const char* basePath, uint32_t partMegabytes)
{
    GRABBER_CALL(DISC_OP_GRAB_DVD, Grabber_GrabDvdImage, basePath, partMegabytes, 1, 1, 0, 1);
}

int CGrabber::WriteAudio(const DiscAudioTrackTable* table, bool discAtOnce, uint32_t testWrite)
{
    if (discAtOnce) GRABBER_CALL(DISC_OP_DAO_AUDIO, Grabber_DiscAtOnceAudio, table, 0, testWrite, 0, 1, 1, 1);
    GRABBER_CALL(DISC_OP_TAO_AUDIO, Grabber_TrackAtOnceAudio, table, 0, testWrite, 0, 0, 1, 1);
}
