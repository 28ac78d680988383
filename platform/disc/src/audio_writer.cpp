#include "audio_writer.h"

#include "cd_sector.h"
#include "image_source.h"

#include <algorithm>
#include <cstring>

namespace disc {

namespace {

constexpr uint32_t kChunkBlocks = 512;
constexpr uint32_t kTrackGap = 150;  // blocks of silence before a track-at-once track
constexpr uint32_t kTrackAtOnce = 0x1, kDiscAtOnce = 0x8;  // write-mode bits of the drive description

std::string blocksText(uint64_t blocks) {
    return std::to_string(blocks) + " blocks (" + cd::msfText(static_cast<uint32_t>(blocks)) + ")";
}

}  // namespace

Error AudioWriter::plan(const AudioRequest& req, Plan& p) {
    std::lock_guard<std::mutex> lock(drive_.mutex());
    const Medium* m = drive_.readyMedium();
    if (!m) return fail(DISC_E_NOT_READY, "no medium in the drive");
    if (isDvdType(m->type)) return fail(DISC_E_NOT_SUPPORTED, "audio tracks go on a CD");
    if (!m->acceptsWrites() || !drive_.spec.canWriteType(m->type))
        return fail(DISC_E_NOT_WRITABLE, m->finalized ? "the disc is complete" : "the medium is not writable");
    if (req.test && !drive_.spec.testWrite()) return fail(DISC_E_NOT_SUPPORTED, "the drive has no test write");
    if (!(drive_.spec.writeModes & (req.discAtOnce ? kDiscAtOnce : kTrackAtOnce)))
        return fail(DISC_E_NOT_SUPPORTED,
                    req.discAtOnce ? "the drive does not write disc-at-once" : "the drive does not write track-at-once");
    Medium sim = *m;
    for (size_t i = 0; i < req.files->size(); ++i) {
        Track t;
        t.sectorSize = cd::kRawSector;
        t.mode = 0;
        t.dataMode = 0;
        t.length = (*req.files)[i].sectors();
        // A new session's first track has its pregap in the lead-in; one that
        // follows a track of its session gets 150 blocks of silence, unless
        // disc-at-once writes it straight after an audio track of its own.
        const bool sessionStart = i == 0 && !sim.sessionOpen;
        t.pregap = sessionStart || (req.discAtOnce && i > 0) ? 0 : kTrackGap;
        t.start = sim.nextWritable() + t.pregap;
        sim.appendTrack(t, false);
        p.tracks.push_back(sim.tracks.back());
        p.totalBlocks += t.pregap + t.length;
    }
    if (p.totalBlocks > m->freeBlocks())
        return fail(DISC_E_NO_SPACE, "the audio needs " + blocksText(p.totalBlocks) + ", gaps included; " +
                                         blocksText(m->freeBlocks()) + " are free");
    sim.closeSession();  // finalized: appendTrack asked for no further session
    p.before = *m;
    p.after = sim;
    p.raw = drive_.folder().rawPath(drive_.name());
    p.emulateSpeed = drive_.spec.emulateSpeed;
    p.writeSpeed = drive_.writeSpeed(writeRequest_);
    p.fault = drive_.takeFault(req.operation);
    if (p.fault && p.fault->afterBlocks == 0) return fail(static_cast<int>(p.fault->code), "injected failure");
    return {};
}

// After each chunk: an armed fault, the drive's write speed, cancel and the
// progress report.
// The track's blocks: the silence of its pregap, then its samples. Silence
// stays a hole of the sparse raw file.
Error AudioWriter::writeTrack(WavFile& wav, const Track& t, const Plan& p, os::File* raw, uint64_t& done) {
    std::vector<uint8_t> data(size_t(kChunkBlocks) * cd::kRawSector);
    const uint32_t first = t.start - t.pregap, total = t.pregap + t.length;
    for (uint32_t b = 0; b < total;) {
        const bool inGap = b < t.pregap;
        uint32_t count = std::min(kChunkBlocks, (inGap ? t.pregap : total) - b);
        if (p.fault && p.fault->afterBlocks > done && p.fault->afterBlocks - done < count)
            count = static_cast<uint32_t>(p.fault->afterBlocks - done);
        const size_t bytes = size_t(count) * cd::kRawSector;
        if (!inGap) {
            if (Error e = wav.read(b - t.pregap, count, data.data())) return e;
            if (raw && !os::allZero(data.data(), bytes))
                if (uint32_t sys = raw->writeAt(uint64_t(first + b) * cd::kRawSector, data.data(), bytes))
                    return fail(DISC_E_MEDIUM_IO, "cannot write the medium", sys);
        }
        b += count;
        done += count;
        if (Error e = advance(p, first + b, done)) return e;
    }
    return {};
}

Error AudioWriter::write(const AudioRequest& req) {
    DriveJob job(drive_);
    if (!job.owned()) return fail(DISC_E_BUSY, "the drive is busy");
    cancelMark_ = drive_.cancelCount();
    Plan p;
    if (Error e = plan(req, p)) return e;
    progress_.targetSize(p.tracks.front().start - p.tracks.front().pregap, static_cast<uint32_t>(p.totalBlocks));
    progress_.fillBegin(req.bufferBytes ? req.bufferBytes : 4u << 20);
    os::File raw;
    uint64_t rawSize = 0;
    if (!req.test) {
        os::FileInfo info;
        uint32_t sys = raw.openWrite(p.raw, true);
        if (!sys) sys = raw.info(info);
        if (sys) return fail(DISC_E_MEDIUM_IO, "cannot open the medium", sys);
        rawSize = info.size;
    }
    startMs_ = os::monotonicMs();
    uint64_t done = 0;
    Error e;
    for (size_t i = 0; i < p.tracks.size() && !e; ++i) {
        e = writeTrack((*req.files)[i], p.tracks[i], p, req.test ? nullptr : &raw, done);
        if (i == 0) progress_.fillEnd();
    }
    // A cancel that came with the last report still undoes the write.
    if (!e && cancelled()) e = fail(DISC_E_CANCELLED, "cancelled");
    if (!e) {
        progress_.flushBegin();
        progress_.flushEnd();
        if (!req.test) e = commit(p);
    }
    if (e && !req.test) raw.resize(rawSize);  // the medium as it was
    return e;
}

}  // namespace disc
