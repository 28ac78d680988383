#include "session_writer.h"

#include "cd_sector.h"
#include "image_source.h"
#include "iso_format.h"

#include <algorithm>
#include <cstring>

namespace disc {

namespace {

constexpr uint32_t kChunkBlocks = 512;
constexpr uint32_t kSessionAtOnce = 0x2;  // write-mode bit of the drive description
constexpr uint32_t kDirectBlocks = 32768;  // 64 MiB a kernel copy

// Raw sectors of a CD image are kept as they are; a DVD keeps cooked ones.
Track trackOf(const ImageTrack& it, bool dvd) {
    Track t;
    t.length = it.blocks;
    switch (it.mode) {
    case CueMode::Audio: t.sectorSize = cd::kRawSector; t.mode = 0; t.dataMode = 0; break;
    case CueMode::Mode2Raw: t.sectorSize = cd::kRawSector; t.mode = 4; t.dataMode = 2; break;
    case CueMode::Mode1Raw: t.sectorSize = dvd ? cd::kUserData : cd::kRawSector; t.mode = 4; t.dataMode = 1; break;
    case CueMode::Mode1Cooked: t.sectorSize = cd::kUserData; t.mode = 4; t.dataMode = 1; break;
    }
    return t;
}

// Where a data track's own sectors say it belongs, for an image that names
// no address (a bare image, a CUE sheet): the header of its first raw
// sector, or, cooked, no lower than its ISO 9660 root folder (the check of
// a track-at-once image). Data that tells nothing passes.
Error checkOwnAddress(DiscImage& image, const ImageTrack& it, size_t index, uint32_t start) {
    const std::string track = "track " + std::to_string(index + 1) + " of the image";
    if (it.mode == CueMode::Mode1Raw || it.mode == CueMode::Mode2Raw) {
        uint8_t raw[cd::kRawSector];
        if (it.blocks == 0) return {};
        if (Error e = image.read(it, it.indexZero, 1, raw)) return e;
        const uint32_t lba = cd::headerLba(raw);
        if (lba != start)
            return fail(DISC_E_WRONG_ADDRESS, track + " was made for block " + std::to_string(lba) +
                                                  ", here it would start at " + std::to_string(start));
        return {};
    }
    if (it.mode != CueMode::Mode1Cooked || it.blocks <= iso::kDescriptorStart) return {};
    uint8_t d[cd::kUserData];
    if (Error e = image.read(it, it.indexZero + iso::kDescriptorStart, 1, d)) return e;
    const int64_t rootLba = iso::primaryRootLba(d);
    if (rootLba >= 0 && rootLba < int64_t(start))
        return fail(DISC_E_WRONG_ADDRESS, track + " has its root folder at block " + std::to_string(rootLba) +
                                              ", below its start here at " + std::to_string(start));
    return {};
}

}  // namespace

Error SessionWriter::plan(DiscImage& image, bool test, Plan& p) {
    std::lock_guard<std::mutex> lock(drive_.mutex());
    const Medium* m = drive_.readyMedium();
    if (!m) return fail(DISC_E_NOT_READY, "no medium in the drive");
    if (!m->acceptsWrites() || !drive_.spec.canWriteType(m->type))
        return fail(DISC_E_NOT_WRITABLE, m->finalized ? "the disc is complete" : "the medium is not writable");
    if (test && !drive_.spec.testWrite()) return fail(DISC_E_NOT_SUPPORTED, "the drive has no test write");
    if (!(drive_.spec.writeModes & kSessionAtOnce))
        return fail(DISC_E_NOT_SUPPORTED, "the drive does not write session-at-once");
    if (isDvdType(m->type) && image.rawTracks())
        return fail(DISC_E_NOT_SUPPORTED, "a DVD takes no audio or Mode 2 tracks");
    Medium sim = *m;
    const auto& tracks = image.tracks();
    for (size_t i = 0; i < tracks.size(); ++i) {
        const ImageTrack& it = tracks[i];
        const bool sessionStart = i == 0 || it.session != tracks[i - 1].session;
        if (sessionStart && i > 0) {
            sim.leaveOpen = true;
            sim.closeSession();
        }
        Track t = trackOf(it, isDvdType(m->type));
        // A session's first track begins at the session's own start: its
        // index 0 lies in the lead-in and is not written.
        t.pregap = sessionStart ? 0 : it.silence + it.indexZero;
        t.start = sim.nextWritable() + t.pregap;
        if (it.lba >= 0 && uint64_t(it.lba) != t.start)
            return fail(DISC_E_WRONG_ADDRESS, "track " + std::to_string(i + 1) + " of the image lay at block " +
                                                  std::to_string(it.lba) + ", here it would start at " +
                                                  std::to_string(t.start));
        // An image that names no address is checked against its own data: a
        // file system made for another place would point into the wrong
        // session.
        if (it.lba < 0)
            if (Error e = checkOwnAddress(image, it, i, t.start)) return e;
        if (uint64_t(t.start) + t.length > m->capacity)
            return fail(DISC_E_NO_SPACE, "the image needs more blocks than the disc's " + std::to_string(m->capacity));
        sim.appendTrack(t, image.appendable());
        p.tracks.push_back(sim.tracks.back());
        p.skip.push_back(sessionStart ? it.indexZero : 0);
        p.totalBlocks += t.pregap + t.length;
    }
    const uint64_t needed = sim.usedEnd() - m->nextWritable();
    if (needed > m->freeBlocks())
        return fail(DISC_E_NO_SPACE, "the image needs " + std::to_string(needed) + " blocks, " +
                                         std::to_string(m->freeBlocks()) + " are free");
    p.before = *m;
    p.after = sim;
    p.image = drive_.folder().imagePath(drive_.name(), *m);
    p.raw = drive_.folder().rawPath(drive_.name());
    p.emulateSpeed = drive_.spec.emulateSpeed;
    p.writeSpeed = drive_.writeSpeed(writeRequest_);
    p.fault = drive_.takeFault(DISC_OP_SAO_RAW);
    if (p.fault && p.fault->afterBlocks == 0) return fail(static_cast<int>(p.fault->code), "injected failure");
    return {};
}

Error SessionWriter::store(const Track& t, uint32_t lba, uint32_t count, const uint8_t* cooked, const uint8_t* raw,
                           Files& f) {
    const size_t cookedBytes = size_t(count) * cd::kUserData, rawBytes = size_t(count) * cd::kRawSector;
    if (!t.raw() && !os::allZero(cooked, cookedBytes))
        if (uint32_t sys = f.cooked.writeAt(uint64_t(lba) * cd::kUserData, cooked, cookedBytes))
            return fail(DISC_E_MEDIUM_IO, "cannot write the medium", sys);
    if (t.raw() && !os::allZero(raw, rawBytes))
        if (uint32_t sys = f.raw.writeAt(uint64_t(lba) * cd::kRawSector, raw, rawBytes))
            return fail(DISC_E_MEDIUM_IO, "cannot write the medium", sys);
    return {};
}

// Turns source sectors into what the medium keeps: the user data of a
// cooked-kept track, the raw sectors of a raw-kept one (gap sectors of a data
// track made with their header and error codes).
void SessionWriter::convert(const ImageTrack& it, const Track& t, uint32_t lba, uint32_t count, uint32_t gapSectors,
                            const uint8_t* source, uint8_t* cooked, uint8_t* raw) {
    static const uint8_t zero[cd::kForm2Data] = {};
    const uint32_t sectorBytes = cueSectorBytes(it.mode);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* s = source + size_t(i) * sectorBytes;
        uint8_t* c = cooked + size_t(i) * cd::kUserData;
        uint8_t* r = raw + size_t(i) * cd::kRawSector;
        const bool gap = i < gapSectors;
        if (!t.raw()) {
            std::memcpy(c, it.mode == CueMode::Mode1Raw ? s + 16 : s, cd::kUserData);
        } else if (gap && it.mode == CueMode::Mode1Raw) {
            cd::encodeMode1(lba + i, zero, r);
        } else if (gap && it.mode == CueMode::Mode2Raw) {
            cd::XaSubheader sub;
            sub.submode = cd::kSubForm2;
            cd::encodeMode2Form2(lba + i, sub, zero, r);
        } else {
            std::memcpy(r, s, cd::kRawSector);  // audio silence is zeros
        }
    }
}

// After each chunk: an armed fault, the drive's write speed, cancel and the
// progress report.
// The track's blocks on the medium: PREGAP silence, the index 0 blocks of
// the data, then the blocks from index 1 on. Sectors the medium keeps as the
// image has them (cooked ones of a cooked track, raw ones of a raw-kept
// track) go from the image's file to the medium in the kernel.
Error SessionWriter::writeTrack(DiscImage& image, size_t index, const Plan& p, Files* files, uint64_t& done) {
    const ImageTrack& it = image.tracks()[index];
    const Track& t = p.tracks[index];
    const uint32_t sectorBytes = cueSectorBytes(it.mode);
    const uint32_t silence = std::min(t.pregap, it.silence);
    const uint32_t total = t.pregap + t.length;
    const uint32_t firstLba = t.start - t.pregap;
    std::vector<uint8_t> source(size_t(kChunkBlocks) * sectorBytes), cooked(size_t(kChunkBlocks) * cd::kUserData),
        raw(size_t(kChunkBlocks) * cd::kRawSector);
    const bool direct = files && !p.fault && !p.emulateSpeed &&
                        (t.raw() ? it.mode != CueMode::Mode1Cooked : it.mode == CueMode::Mode1Cooked);
    for (uint32_t b = 0; b < total;) {
        const bool inGap = b < silence;
        uint32_t count = std::min(direct && !inGap ? kDirectBlocks : kChunkBlocks, total - b);
        if (inGap) count = std::min(count, silence - b);
        if (p.fault && p.fault->afterBlocks > done && p.fault->afterBlocks - done < count)
            count = static_cast<uint32_t>(p.fault->afterBlocks - done);
        const uint32_t first = inGap ? 0 : p.skip[index] + b - silence;  // in the image's data
        if (direct && !inGap) {
            if (Error e = image.copyTo(it, first, count, t.raw() ? files->raw : files->cooked,
                                       uint64_t(firstLba + b) * (t.raw() ? cd::kRawSector : cd::kUserData)))
                return e;
        } else {
            if (inGap) std::memset(source.data(), 0, size_t(count) * sectorBytes);
            else if (Error e = image.read(it, first, count, source.data())) return e;
            convert(it, t, firstLba + b, count, inGap ? count : 0, source.data(), cooked.data(), raw.data());
            if (files)
                if (Error e = store(t, firstLba + b, count, cooked.data(), raw.data(), *files)) return e;
        }
        b += count;
        done += count;
        if (Error e = advance(p, firstLba + b, done)) return e;
    }
    return {};
}

Error SessionWriter::write(DiscImage& image, bool test, uint32_t bufferBytes, std::optional<uint64_t> cancelMark) {
    DriveJob job(drive_);
    if (!job.owned()) return fail(DISC_E_BUSY, "the drive is busy");
    cancelMark_ = cancelMark ? *cancelMark : drive_.cancelCount();
    if (cancelled()) return fail(DISC_E_CANCELLED, "cancelled");
    Plan p;
    if (Error e = plan(image, test, p)) return e;
    progress_.targetSize(p.tracks.front().start - p.tracks.front().pregap, static_cast<uint32_t>(p.totalBlocks));
    progress_.fillBegin(bufferBytes ? bufferBytes : 4u << 20);
    Files files;
    if (!test) {
        os::FileInfo info;
        uint32_t sys = files.cooked.openWrite(p.image, true);
        if (!sys) sys = files.cooked.info(info);
        files.cookedSize = info.size;
        if (!sys) sys = files.raw.openWrite(p.raw, true);
        if (!sys) sys = files.raw.info(info);
        files.rawSize = info.size;
        if (sys) return fail(DISC_E_MEDIUM_IO, "cannot open the medium", sys);
    }
    startMs_ = os::monotonicMs();
    uint64_t done = 0;
    Error e;
    for (size_t i = 0; i < p.tracks.size() && !e; ++i) {
        e = writeTrack(image, i, p, test ? nullptr : &files, done);
        if (i == 0) progress_.fillEnd();
    }
    // A cancel that came with the last report still undoes the write.
    if (!e && cancelled()) e = fail(DISC_E_CANCELLED, "cancelled");
    if (!e) {
        progress_.flushBegin();
        progress_.flushEnd();
        if (!test) e = commit(p);
    }
    if (e && !test) {  // the medium as it was
        files.cooked.resize(files.cookedSize);
        files.raw.resize(files.rawSize);
    }
    return e;
}

}  // namespace disc
