/*
 * Disc layer: virtual optical drives, their media and ISO 9660 + Joliet images.
 *
 * Every drive and its medium are plain files in the data folder given to
 * DiscLayer_Startup (see drive_folder.h for the layout), so burned discs can be
 * exported and read back with ordinary ISO tools.
 *
 * Calling conventions (all functions, unless told otherwise):
 *  - the result is 0 (DISC_OK) on success, else a DISC_E_* code;
 *  - `text` is the caller's exception-text buffer (normally 1024 bytes, size in
 *    `textSize`), always NUL-terminated on return; empty on success;
 *  - `systemError` receives the operating system's error number of a failed
 *    file access (Windows numbering: 2 not found, 5 access denied, 32 in use),
 *    else 0;
 *  - `failure` (may be null) is the caller's zeroed 54-byte failure record;
 *    a failed operation fills it.
 *  - progress callbacks run on the calling thread; the layer holds no lock of
 *    its own while it calls back.
 *  - handles are checked identifiers: a stale, null or foreign handle gives
 *    DISC_E_INVALID_HANDLE.
 *
 * Texts are ANSI in the current code page (UTF-8 on Linux).
 */
#ifndef DISC_DISC_LAYER_H
#define DISC_DISC_LAYER_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t DiscHandle;     /* grabber or ISO tree; 0 is none */
typedef uint32_t DiscNodeHandle; /* node of an ISO tree; 0 is none */

enum DiscResult {
    DISC_OK = 0,
    DISC_E_INVALID_ARGUMENT = 1,
    DISC_E_INVALID_HANDLE = 2,
    DISC_E_NOT_READY = 3,        /* no medium or tray open */
    DISC_E_NOT_SUPPORTED = 4,
    DISC_E_FILE = 5,             /* source file access; see systemError */
    DISC_E_NOT_WRITABLE = 6,     /* ROM type or complete disc */
    DISC_E_NO_SPACE = 7,
    DISC_E_CANCELLED = 8,
    DISC_E_MEDIUM_IO = 9,        /* the medium's own files */
    DISC_E_BUSY = 10,
    DISC_E_WRONG_ADDRESS = 11,   /* tree start is not the next writable address */
    DISC_E_STALE_TREE = 12,      /* imported from another medium or before an erase */
    DISC_E_NOT_BUILT = 13,       /* tree changed since its last build */
    DISC_E_SOURCE_CHANGED = 14,  /* a source file changed size after it was added */
    DISC_E_BAD_NAME = 15,        /* a name Joliet cannot hold */
    DISC_E_DUPLICATE_NAME = 16,  /* equal to a sibling's name (letter case aside) */
    DISC_E_NOT_ERASABLE = 17,
    DISC_E_UNDERRUN = 18,
    DISC_E_BAD_FORMAT = 19,      /* unreadable file system on the disc */
    DISC_E_NOT_STARTED = 20,     /* DiscLayer_Startup missing */
    DISC_E_NO_TRACK = 21,
    DISC_E_NO_DRIVE = 22,
    DISC_E_LOCKED = 23,          /* the tray is locked: Grabber_Release first */
    DISC_E_BAD_IMAGE = 24        /* an image file or sheet this layer does not take */
};

enum DiscSystemError { DISC_SYSERR_SHARING_VIOLATION = 32 };

#pragma pack(push, 1)
/* Failure record: 54 bytes, zeroed by the caller. */
typedef struct DiscFailureRecord {
    uint32_t code;        /* DISC_E_* */
    uint32_t operation;   /* DiscOperation */
    uint32_t lba;         /* block where a write stopped, if any */
    uint32_t blocksDone;
    uint8_t senseKey, asc, ascq, reserved; /* SCSI-like sense of the failure */
    char detail[34];
} DiscFailureRecord;
#pragma pack(pop)

/* Progress callback. Reasons and parameters:
 *  4  analysis of the source begins             (null, null)
 *  5  target size      param1 -> uint32 start block, param2 -> uint32 blocks
 *  6  buffer fill begins   param1 -> uint32 buffer size in bytes
 *  7  buffer filled, 8 flush begins, 9 flush done   (null, null)
 *  10 drive found (enumeration)  param1 -> DiscDeviceAddress
 *  11 read progress, 12 write progress   param1 -> int64 total bytes,
 *                                        param2 -> int64 bytes done
 *  13 buffer status    param1 -> uint32 buffer size, param2 -> uint32 free
 *  14 tree build progress  param1 -> uint32 nodes of the tree,
 *                          param2 -> uint32 nodes laid out
 *  25 buffer underrun                           (null, null)
 * A tree's build calls its callback with 4, then 14, then 5 (the new
 * session's start and length).
 * Progress (11, 12, 13, 14) is throttled to about ten reports a second; the first
 * and the final report always come. The return value is ignored. */
typedef uint32_t (*DiscCallback)(uint32_t reason, void* context, void* param1, void* param2);

enum DiscCallbackReason {
    DISC_CB_ANALYZE_BEGIN = 4, DISC_CB_TARGET_SIZE = 5, DISC_CB_FILL_BEGIN = 6,
    DISC_CB_FILL_END = 7, DISC_CB_FLUSH_BEGIN = 8, DISC_CB_FLUSH_END = 9,
    DISC_CB_DEVICE_FOUND = 10, DISC_CB_READ_PROGRESS = 11, DISC_CB_WRITE_PROGRESS = 12,
    DISC_CB_BUFFER_STATUS = 13, DISC_CB_TREE_PROGRESS = 14, DISC_CB_UNDERRUN = 25
};

typedef struct DiscDeviceAddress {
    uint8_t port, bus, target, lun;
} DiscDeviceAddress;

/* Medium types (codes as the engine's MEDIUM_TYPE). */
enum DiscMediumType {
    DISC_MT_UNKNOWN = 0, DISC_MT_CD_ROM = 1, DISC_MT_CD_R = 2, DISC_MT_CD_RW = 3,
    DISC_MT_DVD_ROM = 4, DISC_MT_DVD_R = 5, DISC_MT_DVD_RAM = 6, DISC_MT_DVD_RW_RO = 7,
    DISC_MT_DVD_RW_SEQ = 8, DISC_MT_DVD_PLUS_RW = 9, DISC_MT_DDCD_ROM = 10,
    DISC_MT_DDCD_R = 11, DISC_MT_DDCD_RW = 12, DISC_MT_DVD_PLUS_R = 13,
    DISC_MT_NO_MEDIA = 14, DISC_MT_DVD_PLUS_R_DL = 15
};

enum DiscStatus { DISC_STATUS_BLANK = 0, DISC_STATUS_APPENDABLE = 1, DISC_STATUS_COMPLETE = 2 };

typedef struct DiscIdentity {
    char vendor[9], product[17], revision[5];
    uint32_t bufferKB;
} DiscIdentity;

typedef struct DiscReadModes { uint8_t cooked, pq, raw, rawPq, rawPw, rawRawPw; } DiscReadModes;
typedef struct DiscWriteModes { uint8_t trackAtOnce, sessionAtOnce, discAtOncePq, discAtOnceRawPw; } DiscWriteModes;

typedef struct DiscReadCapabilities {
    uint8_t cdR, cdRw, dvdRom, dvdR, dvdRam, dvdPlusR, dvdPlusRw, dvdPlusRDl;
} DiscReadCapabilities;
typedef struct DiscWriteCapabilities {
    uint8_t cdR, cdRw, dvdR, dvdRam, testWrite, dvdPlusR, dvdPlusRw, dvdPlusRDl;
} DiscWriteCapabilities;

typedef struct DiscInformation {
    uint8_t discStatus;          /* DiscStatus */
    uint8_t lastSessionStatus;   /* 0 empty, 1 incomplete (open), 3 complete */
    uint8_t erasable;
    uint8_t firstTrack;
    uint8_t sessionCount;        /* sessions, the incomplete one included */
    uint8_t firstTrackInLastSession, lastTrackInLastSession;
    uint8_t trackCount;          /* tracks, the incomplete one included */
    uint32_t mediumType;
    uint8_t lastLeadInStart[4];  /* 0, M, S, F */
    uint8_t lastLeadOutStart[4]; /* 0, M, S, F: last possible lead-out start */
} DiscInformation;

enum { DISC_TRACK_INCOMPLETE = 255 };

typedef struct DiscTrackInformation {
    uint8_t trackNumber, sessionNumber;
    uint8_t trackMode;   /* 4 data, 0 audio */
    uint8_t dataMode;    /* 1 mode 1 data, 0 audio */
    uint8_t blank;
    uint32_t startAddress, nextWritableAddress, freeBlocks;
    uint32_t trackSize;  /* blocks written */
} DiscTrackInformation;

/* ---- start-up, drives ---------------------------------------------------- */

/* Starts the layer on a data folder (created when missing; a fresh folder gets
 * a DVD writer with a blank DVD-RW and a CD writer with a blank CD-R). */
int DiscLayer_Startup(const char* dataFolder, char* text, uint32_t textSize, uint32_t* systemError);
/* Ends the layer; open handles become invalid. */
int DiscLayer_Shutdown(char* text, uint32_t textSize, uint32_t* systemError);
/* Calls back reason 10 for each drive; returns the number of drives. `busTypes`
 * and `flags` are accepted for the engine's call (5, 0) and not used. */
uint32_t DiscLayer_FindDevices(uint32_t busTypes, uint32_t flags, DiscCallback callback, void* context);
/* The drive letter of an address as text ("E"). */
int DiscLayer_GetDriveLetter(uint8_t port, uint8_t bus, uint8_t target, uint8_t lun,
                             char* letter, uint32_t letterSize);
/* Change stamp of the data folder: it changes whenever a drive arrives or goes,
 * a medium is inserted or removed, or a tray opens or closes (also from another
 * process, such as the console tool). Cheap enough to poll every second. */
uint32_t DiscLayer_GetChangeStamp(void);
/* Per-drive medium stamp: changes with every insert, removal or tray move. */
int DiscLayer_GetMediumStamp(uint8_t port, uint8_t bus, uint8_t target, uint8_t lun, uint32_t* stamp);

/* ---- grabbers ------------------------------------------------------------- */

int Grabber_Create(DiscHandle* grabber, char* text, uint32_t textSize, uint32_t* systemError,
                   DiscCallback callback, void* context,
                   uint8_t port, uint8_t bus, uint8_t target, uint8_t lun, uint32_t bufferSize);
/* Frees a grabber or a tree and clears the handle. */
int DiscHandle_Destroy(DiscHandle* handle);

#define DISC_GRABBER_FRAME DiscHandle grabber, char* text, uint32_t textSize, uint32_t* systemError, DiscFailureRecord* failure

int Grabber_GetIdentity(DISC_GRABBER_FRAME, DiscIdentity* identity);
int Grabber_ProbeReadModes(DISC_GRABBER_FRAME, DiscReadModes* modes);
int Grabber_ProbeWriteModes(DISC_GRABBER_FRAME, DiscWriteModes* modes);
int Grabber_GetCapabilities(DISC_GRABBER_FRAME, DiscReadCapabilities* read, DiscWriteCapabilities* write);
/* Speeds in KB/s; 0xFFFF asks for the maximum. A drive takes the fastest speed
 * of its table not above the request (the slowest when all are above). */
int Grabber_SetSpeeds(DISC_GRABBER_FRAME, uint32_t readSpeed, uint32_t writeSpeed);
int Grabber_GetSpeeds(DISC_GRABBER_FRAME, uint32_t* readSpeed, uint32_t* maxReadSpeed,
                      uint32_t* writeSpeed, uint32_t* maxWriteSpeed);
int Grabber_TestUnitReady(DISC_GRABBER_FRAME, uint32_t timeoutSeconds);
/* DISC_MT_NO_MEDIA when the drive is empty or its tray is open. */
int Grabber_GetDiscType(DISC_GRABBER_FRAME, uint32_t* mediumType);
int Grabber_GetDiscInformation(DISC_GRABBER_FRAME, DiscInformation* info);
/* Track 255 (or the number after the last track) is the incomplete track of a
 * blank or appendable disc: start = next writable address, its free blocks. */
int Grabber_GetTrackInformation(DISC_GRABBER_FRAME, uint32_t trackNumber, DiscTrackInformation* info);
/* Opens the tray; DISC_E_LOCKED while any handle of the drive holds a lock. */
int Grabber_Eject(DISC_GRABBER_FRAME);
int Grabber_Load(DISC_GRABBER_FRAME);
/* Tray locks count per handle: Release undoes one Lock of the same handle,
 * and destroying a handle releases the locks it still holds. */
int Grabber_Lock(DISC_GRABBER_FRAME);
int Grabber_Release(DISC_GRABBER_FRAME);
/* Buffer-underrun protection: `available` is the drive's support. */
int Grabber_GetBUP(DISC_GRABBER_FRAME, uint32_t* available, uint32_t* enabled);
int Grabber_SetBUP(DISC_GRABBER_FRAME, uint32_t enable);
int Grabber_SendOPC(DISC_GRABBER_FRAME);
/* Closes the open session: the disc stays appendable or becomes complete, as
 * the write that opened it asked. Succeeds when no session is open. */
int Grabber_CloseSession(DISC_GRABBER_FRAME);
/* `quick` 1: a quick erase, 0: a full one; DISC_E_NOT_SUPPORTED when the
 * drive does not offer that kind (its description's blank modes). */
int Grabber_Blank(DISC_GRABBER_FRAME, uint32_t quick);
/* Stops what runs on the grabber's drive, whichever handle of it started it. */
int Grabber_Cancel(DiscHandle grabber);

/* Writes a built ISO tree as one data track at its start address.
 * `leaveOpen` 1: closing the session leaves the disc appendable; 0 finalizes.
 * `flag1`, `flag2`, `flag3` are accepted (1) and not used. */
int Grabber_TrackAtOnceFromTree(DISC_GRABBER_FRAME, DiscHandle tree, uint32_t flag1,
                                uint32_t testWrite, uint32_t leaveOpen, uint32_t flag2, uint32_t flag3);
/* Writes an image file of 2048-byte sectors as one data track (Mode 1 on a
 * CD); a short last sector is padded with zeros. An ISO 9660 image whose root
 * folder lies below the disc's next writable address was made for another
 * place on the disc: DISC_E_WRONG_ADDRESS, medium untouched. */
int Grabber_TrackAtOnceFromFile(DISC_GRABBER_FRAME, const char* path, uint32_t flag0,
                                uint32_t testWrite, uint32_t leaveOpen, uint32_t flag2, uint32_t flag3);

/* ---- disc images ----------------------------------------------------------
 * A grab reads the disc into `<base>.mds`, a CUE sheet with remarks (REM
 * SESSION, REM LBA, REM BLOCKS, REM MEDIUM, REM DISC APPENDABLE) that names its
 * data files `<base>.xm0`, `<base>.xm1`, ... and each track's mode, session and
 * start. The descriptor is written last; a failed or cancelled grab deletes
 * every file it made. Read progress comes as reason 11 (bytes). A blank disc
 * gives DISC_E_NO_TRACK and no file. */

/* A CD: the raw 2352-byte sectors of every recorded track in `<base>.xm0`.
 * `readMode` and the flags are accepted (3; 1, 1, 0, 1, 0) and not used.
 * A DVD gives DISC_E_NOT_SUPPORTED. */
int Grabber_GrabCdImage(DISC_GRABBER_FRAME, const char* basePath, uint32_t readMode, uint32_t flag1,
                        uint32_t flag2, uint32_t flag3, uint32_t flag4, uint32_t flag5);
/* A DVD: the 2048-byte sectors of the recorded area from block 0 on, in
 * parts of `partMegabytes` MiB (0: one file); the first part is a plain ISO
 * image. The flags are accepted (1, 1, 0, 1) and not used. A CD gives
 * DISC_E_NOT_SUPPORTED. */
int Grabber_GrabDvdImage(DISC_GRABBER_FRAME, const char* basePath, uint32_t partMegabytes, uint32_t flag1,
                         uint32_t flag2, uint32_t flag3, uint32_t flag4);
/* Writes an image session-at-once: our `.mds`, a `.cue` sheet with BINARY
 * files (tracks AUDIO, MODE1/2048, MODE1/2352, MODE2/2352; PREGAP; INDEX 00
 * and 01), or any other file as a bare image of raw sectors (2352 bytes with
 * the sync pattern) or cooked ones (2048). Every session of the image is
 * written; the last stays open until Grabber_CloseSession, which finalizes
 * the disc unless the image says REM DISC APPENDABLE. Anything else:
 * DISC_E_BAD_IMAGE; tracks a `.mds` places elsewhere than they would go:
 * DISC_E_WRONG_ADDRESS; too large: DISC_E_NO_SPACE; audio or Mode 2 tracks on
 * a DVD, or a drive without session-at-once writing: DISC_E_NOT_SUPPORTED;
 * each before the first byte, medium untouched.
 * The flags are accepted (1, 1, 0, 0) and not used. */
int Grabber_SessionAtOnceRawRawPW(DISC_GRABBER_FRAME, const char* imagePath, uint32_t testWrite,
                                  uint32_t flag1, uint32_t flag2, uint32_t flag3, uint32_t flag4);

/* ---- audio CDs -------------------------------------------------------------
 * The track table of an audio write: the number of tracks, 8 zero bytes, then
 * one 275-byte entry per track holding the NUL-terminated ANSI path of a WAV
 * file of 44,100 Hz, 16-bit stereo PCM samples. */
enum { DISC_AUDIO_MAX_TRACKS = 99, DISC_AUDIO_ENTRY_BYTES = 275 };

#pragma pack(push, 1)
typedef struct DiscAudioTrackTable {
    uint32_t count;
    uint8_t reserved[8];
    char entries[DISC_AUDIO_MAX_TRACKS][DISC_AUDIO_ENTRY_BYTES];
} DiscAudioTrackTable;
#pragma pack(pop)

/* Write the table's WAV files as CD audio tracks (2352-byte sectors of
 * samples, each track padded with silence to whole sectors) and finalize the
 * disc. Track-at-once puts 150 blocks of silence (index 0) before every track
 * after the first; disc-at-once, on a drive that offers it (write-mode bit
 * 0x8), writes the tracks back to back after the lead-in's own pregap. The
 * tracks follow the disc's last session (a new session; tracks of a session
 * left open join it). Refused before the first byte, medium untouched: more
 * than 99 tracks, none, an empty entry or a path without its NUL in the entry
 * (DISC_E_INVALID_ARGUMENT); a file that cannot be read (DISC_E_FILE); a file
 * that is no WAV of that format or holds no samples (DISC_E_BAD_IMAGE); more
 * blocks, gaps included, than the disc has free (DISC_E_NO_SPACE); a DVD or
 * a drive without the mode (DISC_E_NOT_SUPPORTED). Write progress comes as
 * reason 12 in bytes of 2048 per block. The flags are accepted (0, 0; 0 or 1
 * as the call's mode; 1, 1) and not used. */
/* DISC_OK when an audio write takes the file as it is (a WAV file of that
 * format with samples and headers it reads); else the reason it would be
 * refused (DISC_E_FILE, DISC_E_BAD_IMAGE). */
int DiscLayer_CheckAudioFile(const char* path, char* text, uint32_t textSize, uint32_t* systemError);
int Grabber_TrackAtOnceAudio(DISC_GRABBER_FRAME, const DiscAudioTrackTable* table, uint32_t flag0,
                             uint32_t testWrite, uint32_t flag2, uint32_t flag3, uint32_t flag4,
                             uint32_t flag5);
int Grabber_DiscAtOnceAudio(DISC_GRABBER_FRAME, const DiscAudioTrackTable* table, uint32_t flag0,
                            uint32_t testWrite, uint32_t flag2, uint32_t flag3, uint32_t flag4,
                            uint32_t flag5);

/* ---- ISO 9660 + Joliet trees --------------------------------------------- */

/* `bootRecord` and `rockRidge` must be 0; `joliet` 1 adds the Joliet
 * descriptor; `multiExtent` is accepted (files of 4 GiB and more always use
 * multi-extent sections). The callback reports each build's progress. */
int IsoTree_Create(DiscHandle* tree, char* text, uint32_t textSize, uint32_t* systemError,
                   DiscCallback callback, void* context,
                   uint32_t bootRecord, uint32_t rockRidge, uint32_t joliet, uint32_t multiExtent);
DiscNodeHandle IsoTree_GetRoot(DiscHandle tree);
/* 0 when the folder has no (further) child or a handle is bad. */
DiscNodeHandle IsoTree_GetFirstKid(DiscHandle tree, DiscNodeHandle parent);
DiscNodeHandle IsoTree_GetNextKid(DiscHandle tree, DiscNodeHandle parent, DiscNodeHandle child);
/* The child of `parent` named `name`, letter case aside (the names compare
 * as the duplicate check does), found through the folder's index in
 * constant time; 0 when there is none or a handle is bad. */
DiscNodeHandle IsoTree_FindKid(DiscHandle tree, DiscNodeHandle parent, const char* name);
/* Adds a file (source given; its name unless `name` is given) or a folder
 * (no source). A source in use by another process: DISC_E_FILE with system
 * error 32. `flags` must be 0. */
int IsoTree_Add(DiscHandle tree, char* text, uint32_t textSize, uint32_t* systemError,
                const char* sourcePath, const char* name, uint32_t flags,
                DiscNodeHandle parent, DiscNodeHandle* node);
/* Boolean results: 1 success, 0 failure. Remove clears *node. */
int IsoTree_Remove(DiscHandle tree, DiscNodeHandle* node, uint32_t recursive);
int IsoTree_Rename(DiscHandle tree, DiscNodeHandle node, const char* isoName,
                   const char* name, const char* sourcePath);
/* Three 260-byte texts: the ISO 9660 identifier of the last build (empty
 * before), the node's name, its source path (empty for folders). */
int IsoTree_GetName(DiscHandle tree, DiscNodeHandle node, char* isoName, char* name, char* sourcePath);
/* 0x10 for folders, 0x80 for files; 0x01 added for nodes imported from disc. */
int IsoTree_GetAttributes(DiscHandle tree, DiscNodeHandle node, uint32_t* attributes);
/* File size in bytes; 0 for folders. */
int IsoTree_GetSize(DiscHandle tree, DiscNodeHandle node, uint64_t* size);
/* Lays the image out from `startAddress` on. ISO 9660 interchange level 3:
 * d-character names of up to 31 characters, unique per folder; files of
 * 4 GiB and more as multi-extent sections. `reserved100` and `reserved1` are
 * accepted and not used. While the callback runs the tree is not locked, so
 * it may be read; changing it (or building it again) gives DISC_E_BUSY until
 * the build ends. */
int IsoTree_Build(DiscHandle tree, char* text, uint32_t textSize, uint32_t* systemError,
                  uint32_t startAddress, uint32_t reserved100, uint32_t reserved1,
                  const char* volumeLabel, const char* publisher, const char* application);
/* Size in bytes of the last build's image (the new session): the low 32 bits
 * as the result, the high 32 bits in *high. 0 when not built. */
uint32_t IsoTree_GetImageSize(DiscHandle tree, uint32_t* high);
/* Reads the session of `trackNumber` on the grabber's disc into the root of
 * the tree (Joliet names preferred); imported files keep their extents. */
int IsoTree_ImportSession(DiscHandle grabber, DiscHandle tree, uint32_t trackNumber, uint32_t flag,
                          char* text, uint32_t textSize, uint32_t* systemError);

/* Writes a Video CD (or, with the second call, a Super Video CD) from an MPEG
 * program stream onto a blank CD: track 1 Mode 2 with an ISO 9660 file system
 * holding the format's folders and entry files, the stream in track 2 as
 * Mode 2 Form 2 sectors of 2324 bytes. `dateText` is twelve digits, year to
 * minute ("200702030905"), the file system's creation date. The session stays
 * open until Grabber_CloseSession, which finalizes the disc. A disc that is
 * not blank: DISC_E_NOT_WRITABLE; a DVD: DISC_E_NOT_SUPPORTED; a source that is
 * no program stream: DISC_E_BAD_IMAGE; each before the first byte. The flags
 * are accepted (1, 1; 1, 1) and not used. */
int Grabber_VideoCD(DISC_GRABBER_FRAME, const char* streamPath, const char* dateText, uint32_t flag1,
                    uint32_t flag2, uint32_t testWrite, uint32_t flag3, uint32_t flag4);
int Grabber_SuperVideoCD(DISC_GRABBER_FRAME, const char* streamPath, const char* dateText, uint32_t flag1,
                         uint32_t flag2, uint32_t testWrite, uint32_t flag3, uint32_t flag4);

/* ---- UDF trees for DVD-Video -------------------------------------------------
 * Folders and files of a DVD-Video disc. A folder keeps its entries in the
 * order they were added, and the image lays the files' data out contiguously
 * in that order, folder after folder as they were added. `nodeNumber` is the
 * caller's number for the node, kept and not interpreted. Node handles stay
 * valid until UdfTree_FreeNode; a node's parent keeps it in the tree. */

/* `parent` 0 makes a root. A name a folder already holds (letter case aside):
 * DISC_E_DUPLICATE_NAME. */
int UdfTree_AddFolder(DiscHandle* node, char* text, uint32_t textSize, uint32_t* systemError,
                      uint32_t nodeNumber, const char* name, DiscHandle parent);
/* The source is opened for its size; in use by another process: DISC_E_FILE
 * with system error 32. */
int UdfTree_AddFile(DiscHandle* node, char* text, uint32_t textSize, uint32_t* systemError,
                    uint32_t nodeNumber, const char* name, const char* sourcePath, DiscHandle parent);
/* Lets go of the handle (`flag` accepted: 1) and clears it. */
int UdfTree_FreeNode(DiscHandle* node, uint32_t flag);
/* Builds a DVD-Video image to be written at block 0 of a blank disc: UDF 1.02
 * with an ISO 9660 bridge over the same file data, volume `volumeName`.
 * `videoTs` and `audioTs` must be folders of `root`. The image handle works
 * with IsoTree_GetImageSize and Grabber_TrackAtOnceFromTree. */
int UdfTree_BuildImage(DiscHandle* image, char* text, uint32_t textSize, uint32_t* systemError,
                       DiscHandle root, DiscHandle videoTs, DiscHandle audioTs, const char* volumeName);
int UdfTree_FreeImage(DiscHandle* image);

/* ---- operation names and test hooks -------------------------------------- */

enum DiscOperation {
    DISC_OP_STARTUP = 1, DISC_OP_SHUTDOWN, DISC_OP_FIND_DEVICES, DISC_OP_DRIVE_LETTER,
    DISC_OP_GRABBER_CREATE, DISC_OP_DESTROY, DISC_OP_IDENTITY, DISC_OP_READ_MODES,
    DISC_OP_WRITE_MODES, DISC_OP_CAPABILITIES, DISC_OP_SET_SPEEDS, DISC_OP_GET_SPEEDS,
    DISC_OP_UNIT_READY, DISC_OP_DISC_TYPE, DISC_OP_DISC_INFO, DISC_OP_TRACK_INFO,
    DISC_OP_EJECT, DISC_OP_LOAD, DISC_OP_LOCK, DISC_OP_RELEASE, DISC_OP_GET_BUP,
    DISC_OP_SET_BUP, DISC_OP_SEND_OPC, DISC_OP_CLOSE_SESSION, DISC_OP_BLANK, DISC_OP_CANCEL,
    DISC_OP_TAO_FROM_TREE, DISC_OP_TAO_FROM_FILE,
    DISC_OP_TREE_CREATE, DISC_OP_TREE_ROOT, DISC_OP_TREE_FIRST_KID, DISC_OP_TREE_NEXT_KID,
    DISC_OP_TREE_ADD, DISC_OP_TREE_REMOVE, DISC_OP_TREE_NAME, DISC_OP_TREE_RENAME,
    DISC_OP_TREE_ATTRIBUTES, DISC_OP_TREE_SIZE, DISC_OP_TREE_BUILD, DISC_OP_TREE_IMAGE_SIZE,
    DISC_OP_TREE_IMPORT,
    DISC_OP_GRAB_CD, DISC_OP_GRAB_DVD, DISC_OP_SAO_RAW,
    DISC_OP_UDF_ADD_FOLDER, DISC_OP_UDF_ADD_FILE, DISC_OP_UDF_BUILD,
    DISC_OP_VIDEO_CD, DISC_OP_SUPER_VIDEO_CD, DISC_OP_TAO_AUDIO, DISC_OP_DAO_AUDIO,
    DISC_OP_CHECK_AUDIO,
    DISC_OP_COUNT
};

/* The platform name the engine's log lines print for an operation, such as
 * "StarBurn_CdvdBurnerGrabber_TrackAtOnceFromTree"; "" for an unknown one. */
const char* DiscLayer_OperationName(uint32_t operation);

/* Test hook: the next `operation` on the drive fails with `code` (after
 * `afterBlocks` blocks for the writes); `underrunAtBlock` non-zero reports a
 * buffer underrun at that block of the next write instead, which fails the
 * write unless buffer-underrun protection is on. `operation` 0 clears. */
typedef struct DiscFault {
    uint32_t operation, code, afterBlocks, underrunAtBlock;
} DiscFault;
int DiscLayer_InjectFault(uint8_t port, uint8_t bus, uint8_t target, uint8_t lun, const DiscFault* fault);

#ifdef __cplusplus
}
#endif

#endif
