#include "audio/track_decoder.h"
#include <shared/log.h>
#include <cstdio>
#include <cstring>

namespace {

const uint32_t CD_RATE = 44100;
const uint32_t BLOCK_BYTES = 4096;
const uint32_t WAV_HEADER_BYTES = 44;

void Put32(std::string& s, uint32_t v)
{
    for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void Put16(std::string& s, uint16_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
}

bool WriteAll(HANDLE file, const void* data, size_t bytes)
{
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(bytes), &written, nullptr) && written == bytes;
}

}  // namespace

std::string CdWavHeader(uint32_t dataBytes)
{
    std::string h = "RIFF";
    Put32(h, dataBytes + 36);
    h += "WAVEfmt ";
    Put32(h, 16);
    Put16(h, 1);  // PCM
    Put16(h, 2);
    Put32(h, CD_RATE);
    Put32(h, CD_RATE * 4);
    Put16(h, 4);
    Put16(h, 16);
    h += "data";
    Put32(h, dataBytes);
    return h;
}

HANDLE CTrackDecoder::CreateTempFile(std::string* path)
{
    DWORD tick = GetTickCount();
    for (int tries = 0; tries < 1000; ++tries, ++tick) {
        char name[MAX_PATH + 16];
        snprintf(name, sizeof name, "%s%010u.wav", m_folder.c_str(), static_cast<unsigned>(tick));
        // CREATE_NEW: a name another track or program holds is never reused.
        HANDLE file = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            *path = name;
            return file;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    LogPrintf("CTrackDecoder: no temporary WAV file in \"%s\" (error %lu)", m_folder.c_str(), GetLastError());
    return INVALID_HANDLE_VALUE;
}

DecodeResult CTrackDecoder::Decode(CCoAudioTrack& track, std::string* path)
{
    std::string name;
    HANDLE file = CreateTempFile(&name);
    if (file == INVALID_HANDLE_VALUE) return DecodeResult::Failed;
    uint32_t dataBytes = 0;
    DecodeResult result = Copy(track, file, &dataBytes);
    if (result == DecodeResult::Done) {
        const std::string header = CdWavHeader(dataBytes);
        if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) != 0 || !WriteAll(file, header.data(), header.size()))
            result = DecodeResult::Failed;
    }
    CloseHandle(file);
    if (result != DecodeResult::Done) {
        DeleteFileA(name.c_str());  // no half-written file stays behind
        return result;
    }
    *path = name;
    return result;
}

DecodeResult CTrackDecoder::Copy(CCoAudioTrack& track, HANDLE file, uint32_t* dataBytes)
{
    const AudioChannel channel = track.Channel();
    const uint32_t channels = track.Channels(), rate = track.Rate();
    const bool asIs = channels == 2 && rate == CD_RATE;
    const uint64_t length = track.LengthBytes();
    m_inFrames = m_outFrames = 0;
    const std::string gap(WAV_HEADER_BYTES, '\0');
    if (!WriteAll(file, gap.data(), gap.size())) return DecodeResult::Failed;
    if (!Audio_SetPosition(channel, 0)) return DecodeResult::Failed;
    std::vector<int16_t> block(BLOCK_BYTES / 2);
    std::string converted;
    // Up to 2.05 times a block: mono doubled at a rate a little above CD's.
    converted.reserve(static_cast<size_t>(BLOCK_BYTES * 2 * 1.05 * CD_RATE / (rate ? rate : CD_RATE)) + 16);
    uint64_t read = 0, written = 0;
    unsigned percent = 0;
    while (!*m_stop) {
        const int32_t got = Audio_Read(channel, block.data(), BLOCK_BYTES);
        if (got < 0) {
            if (Audio_ErrorCode() != AUDIO_ERROR_ENDED) {
                LogPrintf("CTrackDecoder: reading failed: %s", Audio_ErrorText(Audio_ErrorCode()));
                return DecodeResult::Failed;
            }
            if (written > 0xFFFFFFFFull - 36) return DecodeResult::Failed;  // past what a WAV header can tell
            *dataBytes = static_cast<uint32_t>(written);
            return DecodeResult::Done;
        }
        read += static_cast<uint32_t>(got);
        const char* out = reinterpret_cast<const char*>(block.data());
        size_t outBytes = static_cast<size_t>(got);
        if (!asIs) {
            converted.clear();
            Convert(block.data(), static_cast<size_t>(got) / (2 * channels), channels, rate, &converted);
            out = converted.data();
            outBytes = converted.size();
        }
        if (outBytes && !WriteAll(file, out, outBytes)) return DecodeResult::Failed;
        written += outBytes;
        const unsigned now = length ? static_cast<unsigned>(read * 100 / length) : 1;
        if (now != percent) {
            percent = now;
            m_progress(percent);
        }
    }
    return DecodeResult::Stopped;
}

void CTrackDecoder::Convert(const int16_t* samples, size_t frames, uint32_t channels, uint32_t rate,
                            std::string* out)
{
    // Output frame k takes source frame k * rate / 44100, counted over the
    // whole track so that block edges leave no seam.
    const uint64_t end = m_inFrames + frames;
    for (;;) {
        const uint64_t source = m_outFrames * rate / CD_RATE;
        if (source >= end) break;
        const int16_t* frame = samples + (source - m_inFrames) * channels;
        const int16_t pair[2] = {frame[0], frame[channels == 2 ? 1 : 0]};
        out->append(reinterpret_cast<const char*>(pair), sizeof pair);
        ++m_outFrames;
    }
    m_inFrames = end;
}
