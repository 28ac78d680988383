// Sends the progress callbacks of a write or a tree build, throttled to about
// ten a second (each one becomes a cross-process event per client in the
// engine). The first and the final report always go out.
#pragma once

#include "disc/disc_layer.h"

#include <cstdint>

namespace disc {

class ProgressReporter {
public:
    ProgressReporter(DiscCallback callback, void* context, uint32_t intervalMs = 100)
        : callback_(callback), context_(context), intervalMs_(intervalMs) {}

    void analyzeBegin() { send(DISC_CB_ANALYZE_BEGIN, nullptr, nullptr); }
    void targetSize(uint32_t start, uint32_t blocks);
    void fillBegin(uint32_t bufferBytes);
    void fillEnd() { send(DISC_CB_FILL_END, nullptr, nullptr); }
    void flushBegin() { send(DISC_CB_FLUSH_BEGIN, nullptr, nullptr); }
    void flushEnd() { send(DISC_CB_FLUSH_END, nullptr, nullptr); }
    void underrun() { send(DISC_CB_UNDERRUN, nullptr, nullptr); }
    // Write progress and the buffer state, throttled unless `final`.
    void progress(uint64_t totalBytes, uint64_t doneBytes, uint32_t bufferBytes, uint32_t bufferFree, bool final);
    // Read progress of a grab, throttled unless `final`.
    void readProgress(uint64_t totalBytes, uint64_t doneBytes, bool final);
    // True when a throttled report may go out now; it then counts as sent.
    bool due(bool final);
    // Tree build progress, unthrottled: callers ask due() first, so that they
    // can let go of their lock only for a report that goes out.
    void treeProgress(uint32_t totalNodes, uint32_t doneNodes);

private:
    void send(uint32_t reason, void* p1, void* p2) {
        if (callback_) callback_(reason, context_, p1, p2);
    }

    DiscCallback callback_;
    void* context_;
    uint32_t intervalMs_;
    uint64_t lastMs_ = 0;
    bool sentAny_ = false;
};

}  // namespace disc
