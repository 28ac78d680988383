// Decodes one track of a layout into a temporary WAV file of CD sound:
// 44,100 Hz, 16-bit, stereo. A 44.1 kHz stereo source is copied as it
// comes; mono is doubled to both sides and other rates are resampled by
// taking the nearest earlier sample frame.
#pragma once
#include "audio/audio_track.h"
#include <windows.h>
#include <functional>
#include <vector>
#include <string>

enum class DecodeResult { Done, Stopped, Failed };

class CTrackDecoder {
public:
    // `folder` ends in a backslash; `stop` is read between blocks;
    // `progress` gets the percent done whenever it changes.
    CTrackDecoder(const std::string& folder, const volatile LONG* stop, std::function<void(unsigned)> progress)
        : m_folder(folder), m_stop(stop), m_progress(std::move(progress)) {}

    // Done: the file is complete and its name is in `path`. Stopped or
    // Failed: no file is left behind.
    DecodeResult Decode(CCoAudioTrack& track, std::string* path);

private:
    // A new file "<tick count>.wav" in the folder, opened for writing.
    HANDLE CreateTempFile(std::string* path);
    DecodeResult Copy(CCoAudioTrack& track, HANDLE file, uint32_t* dataBytes);
    // Appends one block of the source, as CD sound, to `out`.
    void Convert(const int16_t* samples, size_t frames, uint32_t channels, uint32_t rate, std::string* out);

    std::string m_folder;
    const volatile LONG* m_stop;
    std::function<void(unsigned)> m_progress;
    uint64_t m_inFrames = 0;   // source frames converted so far
    uint64_t m_outFrames = 0;  // output frames written so far
};

// The 44-byte header of a 44.1 kHz 16-bit stereo PCM WAV file.
std::string CdWavHeader(uint32_t dataBytes);
