// The C interface of audio CD writing: the track table read and its files
// checked before the writer runs.
#include "audio_writer.h"
#include "disc/disc_layer.h"
#include "grabber_call.h"

#include <cstring>

using namespace disc;

namespace {

// Every entry must name a WAV file the writer takes; nothing is written
// unless all of them do.
Error openTracks(const DiscAudioTrackTable* table, std::vector<WavFile>& files) {
    if (!table) return fail(DISC_E_INVALID_ARGUMENT, "no track table");
    if (table->count == 0) return fail(DISC_E_INVALID_ARGUMENT, "the track table is empty");
    if (table->count > DISC_AUDIO_MAX_TRACKS)
        return fail(DISC_E_INVALID_ARGUMENT, std::to_string(table->count) + " tracks; a CD holds at most " +
                                                 std::to_string(DISC_AUDIO_MAX_TRACKS));
    files = std::vector<WavFile>(table->count);
    for (uint32_t i = 0; i < table->count; ++i) {
        const char* entry = table->entries[i];
        const std::string number = "track " + std::to_string(i + 1);
        if (!std::memchr(entry, '\0', DISC_AUDIO_ENTRY_BYTES))
            return fail(DISC_E_INVALID_ARGUMENT, "the path of " + number + " does not fit its entry");
        if (!*entry) return fail(DISC_E_INVALID_ARGUMENT, number + " names no file");
        if (Error e = files[i].open(entry)) {
            e.text = number + ": " + e.text;
            return e;
        }
    }
    return {};
}

int writeAudio(const CallFrame& frame, DiscHandle grabber, const DiscAudioTrackTable* table, uint32_t testWrite,
               bool discAtOnce) {
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber& g, Drive& d) {
        std::vector<WavFile> files;
        if (Error e = openTracks(table, files)) return e;
        AudioRequest request;
        request.files = &files;
        request.discAtOnce = discAtOnce;
        request.test = testWrite != 0;
        request.operation = frame.operation;
        request.bufferBytes = g.bufferBytes;
        ProgressReporter progress(g.callback, g.context);
        return AudioWriter(d, progress, g.writeRequest).write(request);
    });
}

}  // namespace

#define FRAME(op) CallFrame frame {op, text, textSize, systemError, failure}

extern "C" {

int DiscLayer_CheckAudioFile(const char* path, char* text, uint32_t textSize, uint32_t* systemError) {
    CallFrame frame {DISC_OP_CHECK_AUDIO, text, textSize, systemError, nullptr};
    if (!path || !*path) return frame.finish(fail(DISC_E_INVALID_ARGUMENT, "no file"));
    WavFile file;
    return frame.finish(file.open(path));
}

int Grabber_TrackAtOnceAudio(DISC_GRABBER_FRAME, const DiscAudioTrackTable* table, uint32_t, uint32_t testWrite,
                             uint32_t, uint32_t, uint32_t, uint32_t) {
    FRAME(DISC_OP_TAO_AUDIO);
    return writeAudio(frame, grabber, table, testWrite, false);
}

int Grabber_DiscAtOnceAudio(DISC_GRABBER_FRAME, const DiscAudioTrackTable* table, uint32_t, uint32_t testWrite,
                            uint32_t, uint32_t, uint32_t, uint32_t) {
    FRAME(DISC_OP_DAO_AUDIO);
    return writeAudio(frame, grabber, table, testWrite, true);
}

}  // extern "C"
