// CGrabber: one drive's grabber of the disc layer, and the engine's calls
// on it. Every call passes its own 1024-byte exception-text buffer, a
// system-error field and a zeroed failure record, and a failed call logs
//   "\t%s failed, error code - 0x%08X, exception text is \"%s\""
// with the operation's name. Results are the layer's codes (DISC_OK is 0).
//
// The handle is set once (Create) and cleared once (Destroy); the calls
// themselves keep no state, so Cancel may run beside a job's write.
#pragma once
#include <disc/disc_layer.h>

class CGrabber {
public:
    CGrabber() = default;
    ~CGrabber() { Destroy(); }
    CGrabber(const CGrabber&) = delete;
    CGrabber& operator=(const CGrabber&) = delete;

    int Create(DiscCallback callback, void* context, unsigned deviceId, uint32_t bufferSize = 0);
    void Destroy();
    bool Valid() const { return m_handle != 0; }
    DiscHandle Handle() const { return m_handle; }

    int GetIdentity(DiscIdentity* identity);
    int ProbeReadModes(DiscReadModes* modes);
    int ProbeWriteModes(DiscWriteModes* modes);
    int GetCapabilities(DiscReadCapabilities* read, DiscWriteCapabilities* write);
    int SetSpeeds(uint32_t read, uint32_t write);
    int GetSpeeds(uint32_t* read, uint32_t* maxRead, uint32_t* write, uint32_t* maxWrite);
    int TestUnitReady(uint32_t timeoutSeconds = 0);
    int GetDiscType(uint32_t* mediumType);
    int GetDiscInformation(DiscInformation* info);
    int GetTrackInformation(uint32_t track, DiscTrackInformation* info);
    int Eject();
    int Load();
    int Lock();
    int Release();
    int GetBUP(uint32_t* available, uint32_t* enabled);
    int SetBUP(uint32_t enable);
    int SendOPC();
    int CloseSession();
    int Blank(uint32_t quick);
    int Cancel();
    int TrackAtOnceFromTree(DiscHandle tree, uint32_t testWrite, uint32_t leaveOpen,
                            DiscFailureRecord* failure = nullptr);
    int TrackAtOnceFromFile(const char* path, uint32_t testWrite, DiscFailureRecord* failure = nullptr);
    // A whole image (.mds, .cue, bare raw or cooked sectors) session-at-once.
    int SessionAtOnceRaw(const char* path, uint32_t testWrite);
    // The disc into `<basePath>.mds` and `<basePath>.xm0`, ...; a DVD's data
    // files split every `partMegabytes` MiB.
    int GrabCdImage(const char* basePath);
    int GrabDvdImage(const char* basePath, uint32_t partMegabytes);
    // A Video CD (or a Super Video CD) of an MPEG program stream on a blank
    // CD; `dateText` the twelve digits of its creation date.
    int WriteVideoCd(const char* streamPath, const char* dateText, bool super, uint32_t testWrite);
    // Writes the table's CD-sound WAV files as audio tracks and finalizes
    // the disc: track-at-once with gaps, or disc-at-once without.
    int WriteAudio(const DiscAudioTrackTable* table, bool discAtOnce, uint32_t testWrite);

private:
    DiscHandle m_handle = 0;
};

// The failure line of a disc-layer call; nothing for DISC_OK. Returns `code`.
int LogDiscFailure(int code, uint32_t operation, const char* text);

// True when an audio write of the disc layer takes the file as it is (a
// WAV file of CD sound whose headers it reads); every other file is
// decoded for the disc first. A refusal is logged with its reason.
bool IsBurnableCdSound(const char* path);
