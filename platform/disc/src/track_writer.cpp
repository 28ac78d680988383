#include "track_writer.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace disc {

namespace {

constexpr uint32_t kChunkBlocks = 2048;  // 4 MiB: a buffered chunk, and a direct one at emulated speed
// At full speed chunks grow while they take under 25 ms and shrink past
// 100 ms: each kernel copy call has a fixed cost that 4 MiB pieces pay a
// thousand times a second on a fast disk, while progress and cancel checks
// still come about every 50 ms on a slow one.
constexpr uint32_t kMaxChunkBlocks = 131072;  // 256 MiB
constexpr uint64_t kBlock = 2048;

}  // namespace

Error TrackWriter::prepare(const WriteRequest& req, Snapshot& snap, uint32_t& start) {
    std::lock_guard<std::mutex> lock(drive_.mutex());
    const Medium* m = drive_.readyMedium();
    if (!m) return fail(DISC_E_NOT_READY, "no medium in the drive");
    if (!m->acceptsWrites() || !drive_.spec.canWriteType(m->type))
        return fail(DISC_E_NOT_WRITABLE, m->finalized ? "the disc is complete" : "the medium is not writable");
    if (req.test && !drive_.spec.testWrite()) return fail(DISC_E_NOT_SUPPORTED, "the drive has no test write");
    start = m->nextWritable();
    if (req.fromTree && req.treeStart != start)
        return fail(DISC_E_WRONG_ADDRESS, "the image starts at block " + std::to_string(req.treeStart) +
                                              ", the next writable address is " + std::to_string(start));
    if (req.isoRoot >= 0 && req.isoRoot < int64_t(start))
        return fail(DISC_E_WRONG_ADDRESS, "the image's root folder lies at block " + std::to_string(req.isoRoot) +
                                              ", below the next writable address " + std::to_string(start));
    if (req.origin.imported && (req.origin.serial != m->serial || req.origin.generation != m->generation))
        return fail(DISC_E_STALE_TREE, "the tree was imported from another disc or before an erase");
    if (req.source->blocks() > m->freeBlocks())
        return fail(DISC_E_NO_SPACE, "the image needs " + std::to_string(req.source->blocks()) + " blocks, " +
                                         std::to_string(m->freeBlocks()) + " are free");
    snap.medium = *m;
    snap.image = drive_.folder().imagePath(drive_.name(), *m);
    snap.emulateSpeed = drive_.spec.emulateSpeed;
    snap.bup = drive_.bupEnabled;
    snap.writeSpeed = drive_.writeSpeed(req.writeRequest);
    snap.fault = drive_.takeFault(req.operation);
    if (snap.fault && snap.fault->afterBlocks == 0 && snap.fault->underrunAtBlock == 0)
        return fail(static_cast<int>(snap.fault->code), "injected failure");
    return {};
}

void TrackWriter::pace(uint64_t bytes, uint32_t speedKBps, uint64_t startMs, uint64_t doneBytes) const {
    if (speedKBps == 0) return;
    (void)bytes;
    uint64_t dueMs = startMs + doneBytes * 1000 / (uint64_t(speedKBps) * 1024);
    for (uint64_t now = os::monotonicMs(); now < dueMs && !cancelled(); now = os::monotonicMs())
        os::sleepMs(static_cast<uint32_t>(std::min<uint64_t>(dueMs - now, 50)));
}

// Moves `count` blocks to the medium: straight from a source file where the
// source allows, else through the buffer. `count` becomes what was moved.
Error TrackWriter::transfer(const WriteRequest& req, uint32_t start, uint32_t done, uint32_t& count,
                            std::vector<uint8_t>& data, os::File* out) {
    const uint64_t at = uint64_t(start + done) * kBlock;
    Error e;
    if (out) {
        uint32_t direct = req.source->copyDirect(done, count, *out, at, e);
        if (e || direct) { count = direct; return e; }
    }
    count = std::min<uint32_t>(count, static_cast<uint32_t>(data.size() / kBlock));
    if (out) count = req.source->bufferedRun(done, count);
    if ((e = req.source->read(done, count, data.data()))) return e;
    const size_t bytes = size_t(count) * kBlock;
    if (out && !os::allZero(data.data(), bytes))
        if (uint32_t sys = out->writeAt(at, data.data(), bytes)) return fail(DISC_E_MEDIUM_IO, "cannot write the medium", sys);
    return {};
}

Error TrackWriter::stream(const WriteRequest& req, const Snapshot& snap, uint32_t start, os::File* out) {
    const uint32_t total = req.source->blocks();
    const uint64_t totalBytes = uint64_t(total) * kBlock;
    const uint32_t buffer = req.bufferBytes ? req.bufferBytes : 4u << 20;
    std::vector<uint8_t> data(size_t(std::min(total, kChunkBlocks)) * kBlock);
    const uint64_t startMs = os::monotonicMs();
    progress_.fillBegin(buffer);
    uint32_t chunk = kChunkBlocks;
    for (uint32_t done = 0; done < total;) {
        uint32_t count = std::min(chunk, total - done);
        const DiscFault* f = snap.fault ? &*snap.fault : nullptr;
        bool failHere = f && f->afterBlocks && done + count > f->afterBlocks;
        bool underrunHere = f && f->underrunAtBlock && done <= f->underrunAtBlock && done + count > f->underrunAtBlock;
        if (failHere) count = f->afterBlocks - done;
        if (underrunHere) {
            progress_.underrun();
            if (!snap.bup) return Error {DISC_E_UNDERRUN, 0, "buffer underrun", start + done, done};
        }
        Error e;
        const uint64_t chunkStartMs = os::monotonicMs();
        if (Error copied = transfer(req, start, done, count, data, out)) e = copied;
        const uint64_t chunkMs = os::monotonicMs() - chunkStartMs;
        if (!snap.emulateSpeed && chunkMs < 25) chunk = std::min(chunk * 2, kMaxChunkBlocks);
        if (chunkMs > 100) chunk = std::max(chunk / 2, kChunkBlocks);
        if (done == 0) progress_.fillEnd();
        if (e) { e.lba = start + done; e.blocksDone = done; return e; }
        done += count;
        if (failHere && done == f->afterBlocks) return Error {static_cast<int>(f->code), 0, "injected failure", start + done, done};
        if (snap.emulateSpeed) pace(count * kBlock, snap.writeSpeed, startMs, uint64_t(done) * kBlock);
        if (cancelled()) return Error {DISC_E_CANCELLED, 0, "cancelled", start + done, done};
        uint32_t free = buffer > data.size() ? buffer - static_cast<uint32_t>(data.size()) : 0;
        progress_.progress(totalBytes, uint64_t(done) * kBlock, buffer, done == total ? buffer : free, done == total);
    }
    if (total == 0) progress_.progress(0, 0, buffer, buffer, true);
    return {};
}

Error TrackWriter::commit(const WriteRequest& req, const Snapshot& snap, uint32_t start) {
    std::lock_guard<std::mutex> lock(drive_.mutex());
    if (!drive_.medium || drive_.medium->serial != snap.medium.serial)
        return fail(DISC_E_NOT_READY, "the medium changed during the write");
    Medium updated = *drive_.medium;
    updated.appendTrack(start, req.source->blocks(), req.leaveOpen);
    if (Error e = drive_.folder().saveMedium(drive_.name(), updated)) return e;
    drive_.medium = updated;
    return {};
}

Error TrackWriter::write(const WriteRequest& req) {
    DriveJob job(drive_);
    if (!job.owned()) return fail(DISC_E_BUSY, "the drive is busy");
    cancelMark_ = drive_.cancelCount();
    Snapshot snap;
    uint32_t start = 0;
    if (Error e = prepare(req, snap, start)) return e;
    if (req.fromTree) progress_.analyzeBegin();
    progress_.targetSize(start, req.source->blocks());

    os::File out;
    uint64_t oldSize = 0;
    if (!req.test) {
        if (uint32_t sys = out.openWrite(snap.image, true)) return fail(DISC_E_MEDIUM_IO, "cannot open the medium", sys);
        os::FileInfo info;
        if (uint32_t sys = out.info(info)) return fail(DISC_E_MEDIUM_IO, "cannot read the medium", sys);
        oldSize = info.size;
    }
    Error e = stream(req, snap, start, req.test ? nullptr : &out);
    if (!e && !req.test) {
        uint64_t end = uint64_t(start + req.source->blocks()) * kBlock;
        if (uint32_t sys = out.resize(std::max(end, oldSize))) e = fail(DISC_E_MEDIUM_IO, "cannot size the medium", sys);
    }
    if (!e) {
        progress_.flushBegin();
        progress_.flushEnd();
        if (!req.test) e = commit(req, snap, start);
    }
    if (e && !req.test) out.resize(oldSize);  // the medium as it was
    return e;
}

}  // namespace disc
