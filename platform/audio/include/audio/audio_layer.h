/* The audio layer: opens audio files, tells their kind, rate, channels,
 * length and ID3v1 tag, decodes them to 16-bit interleaved PCM and plays
 * them through the system's wave output.
 *
 * Every call needs the layer started (Audio_Start); starts are counted and
 * the last Audio_Stop frees every channel still open. Channel handles are
 * never 0 and never handed out twice in a process. A failed call sets the
 * calling thread's error code (Audio_ErrorCode); a call that succeeds sets
 * it to AUDIO_OK. Texts are paths in the current ANSI code page. */
#ifndef AUDIO_AUDIO_LAYER_H
#define AUDIO_AUDIO_LAYER_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t AudioChannel;

/* Channel types. Streams are 0x1xxxx, tracker modules 0x2xxxx; a module
 * packed as MO3 reports AUDIO_TYPE_MO3. */
enum AudioType {
  AUDIO_TYPE_WAV = 0x10001,
  AUDIO_TYPE_OGG = 0x10002,
  AUDIO_TYPE_MP1 = 0x10003,
  AUDIO_TYPE_MP2 = 0x10004,
  AUDIO_TYPE_MP3 = 0x10005,
  AUDIO_TYPE_WMA = 0x10300,
  AUDIO_TYPE_MO3 = 0x00100,
  AUDIO_TYPE_MOD = 0x20000,
  AUDIO_TYPE_MTM = 0x20001,
  AUDIO_TYPE_S3M = 0x20002,
  AUDIO_TYPE_XM = 0x20003,
  AUDIO_TYPE_IT = 0x20004
};

enum AudioError {
  AUDIO_OK = 0,
  AUDIO_ERROR_NOT_STARTED = 1, /* no Audio_Start in force */
  AUDIO_ERROR_FILE = 2,        /* the file cannot be opened or read */
  AUDIO_ERROR_FORMAT = 3,      /* not an audio file the layer knows */
  AUDIO_ERROR_HANDLE = 4,      /* no such channel */
  AUDIO_ERROR_ENDED = 5,       /* no more data: the channel has ended */
  AUDIO_ERROR_POSITION = 6,    /* position past the end */
  AUDIO_ERROR_DECODE = 7,      /* the data is damaged */
  AUDIO_ERROR_NO_WMA = 8,      /* no Windows Media reader on this system */
  AUDIO_ERROR_DEVICE = 9,      /* the wave output cannot play the channel */
  AUDIO_ERROR_DECODE_ONLY = 10,/* opened with AUDIO_OPEN_DECODE: not playable */
  AUDIO_ERROR_NO_TAG = 11,     /* the file has no ID3v1 tag */
  AUDIO_ERROR_ARGUMENT = 12,
  AUDIO_ERROR_MEMORY = 13
};

/* Audio_Open flags. */
#define AUDIO_OPEN_DECODE 0x1 /* read with Audio_Read only, never played */

/* Playback states of Audio_Status. */
enum AudioStatus {
  AUDIO_STOPPED = 0,
  AUDIO_PLAYING = 1,
  AUDIO_STALLED = 2,
  AUDIO_PAUSED = 3
};

typedef struct AudioInfo {
  uint32_t type;     /* AudioType */
  uint32_t rate;     /* samples per second of the decoded data */
  uint32_t channels; /* channels of the decoded data */
  uint32_t is_music; /* 1 for a tracker module */
  uint32_t bits;     /* bits per sample of a WAV file's own data; 0 for
                        the coded kinds */
} AudioInfo;

/* The 128-byte ID3v1 tag at the end of an MPEG audio file; the texts are
 * cut at their first zero and always end in one. */
typedef struct AudioId3v1 {
  char title[31];
  char artist[31];
  char album[31];
  char year[5];
  char comment[31];
  uint8_t track;     /* 0: none (ID3v1.0) */
  uint8_t genre;
} AudioId3v1;

/* Start-up: returns 1 and counts it, or 0. Audio_Stop lowers the count
 * of a start that succeeded and returns 0 when there was none. */
int Audio_Start(void);
int Audio_Stop(void);

/* Opens a file for decoding (and playback unless AUDIO_OPEN_DECODE): WAV,
 * MPEG audio layers 1-3, Ogg Vorbis, WMA where the system reads it, and the
 * tracker modules MOD, MTM, S3M, XM, IT and MO3 (rendered at 44,100 Hz
 * stereo). The kind is found from the content, not from the name. WMA
 * needs the component runtime initialised on the calling thread.
 * Returns the channel, or 0. */
AudioChannel Audio_Open(const char* path, uint32_t flags);
int Audio_Close(AudioChannel channel);

int Audio_GetInfo(AudioChannel channel, AudioInfo* info);
/* Length of the decoded data in bytes (16-bit samples, every channel);
 * UINT64_MAX on failure. */
uint64_t Audio_GetLength(AudioChannel channel);
int Audio_GetId3v1(AudioChannel channel, AudioId3v1* tag);
double Audio_BytesToSeconds(AudioChannel channel, uint64_t bytes);
uint64_t Audio_SecondsToBytes(AudioChannel channel, double seconds);

/* Decoding: the position is a byte offset in the decoded data (a whole
 * number of sample frames). Audio_Read fills up to `bytes` bytes with 16-bit
 * little-endian samples, the channels interleaved, and returns how many it
 * gave; at the end it returns -1 with AUDIO_ERROR_ENDED. */
int Audio_SetPosition(AudioChannel channel, uint64_t position);
uint64_t Audio_GetPosition(AudioChannel channel);
int32_t Audio_Read(AudioChannel channel, void* buffer, uint32_t bytes);

/* Playback through the wave output. Audio_Play starts the channel from its
 * beginning when `restart` is set or it has stopped at the end, else from
 * its position; Audio_GetPosition of a played channel is the byte offset
 * being heard. */
int Audio_Play(AudioChannel channel, int restart);
int Audio_Pause(AudioChannel channel);
int Audio_Resume(AudioChannel channel);
int Audio_StopChannel(AudioChannel channel);
int Audio_Status(AudioChannel channel); /* AudioStatus, -1 on failure */

int Audio_ErrorCode(void);
const char* Audio_ErrorText(int code);

#ifdef __cplusplus
}
#endif

#endif
