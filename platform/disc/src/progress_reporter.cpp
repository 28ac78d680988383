#include "progress_reporter.h"

#include "os_seam.h"

namespace disc {

void ProgressReporter::targetSize(uint32_t start, uint32_t blocks) {
    send(DISC_CB_TARGET_SIZE, &start, &blocks);
}

void ProgressReporter::fillBegin(uint32_t bufferBytes) { send(DISC_CB_FILL_BEGIN, &bufferBytes, nullptr); }

bool ProgressReporter::due(bool final) {
    uint64_t now = os::monotonicMs();
    if (sentAny_ && !final && now - lastMs_ < intervalMs_) return false;
    sentAny_ = true;
    lastMs_ = now;
    return true;
}

void ProgressReporter::treeProgress(uint32_t totalNodes, uint32_t doneNodes) {
    send(DISC_CB_TREE_PROGRESS, &totalNodes, &doneNodes);
}

void ProgressReporter::progress(uint64_t totalBytes, uint64_t doneBytes, uint32_t bufferBytes, uint32_t bufferFree,
                                bool final) {
    if (!due(final)) return;
    int64_t total = static_cast<int64_t>(totalBytes), done = static_cast<int64_t>(doneBytes);
    send(DISC_CB_WRITE_PROGRESS, &total, &done);
    send(DISC_CB_BUFFER_STATUS, &bufferBytes, &bufferFree);
}

void ProgressReporter::readProgress(uint64_t totalBytes, uint64_t doneBytes, bool final) {
    if (!due(final)) return;
    int64_t total = static_cast<int64_t>(totalBytes), done = static_cast<int64_t>(doneBytes);
    send(DISC_CB_READ_PROGRESS, &total, &done);
}

}  // namespace disc
