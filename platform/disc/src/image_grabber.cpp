#include "image_grabber.h"

#include "cd_sector.h"
#include "cue_sheet.h"
#include "medium_reader.h"

#include <algorithm>
#include <memory>

namespace disc {

namespace {

constexpr uint32_t kChunkBlocks = 512;
constexpr uint32_t kCopyBlocks = 16384;  // 37 MiB of raw sectors a kernel copy
// A grab writes its files under these names and takes the real ones only
// when it is complete: an earlier grab's set stays whole until then.
constexpr char kStaged[] = ".new";

CueMode modeOf(const Track& t) {
    if (t.audio()) return CueMode::Audio;
    return t.dataMode == 2 ? CueMode::Mode2Raw : CueMode::Mode1Raw;
}

}  // namespace

std::string ImageGrabber::partPath(const std::string& base, size_t index) const {
    return base + ".xm" + std::to_string(index);
}

Error ImageGrabber::snapshot(bool dvd, Medium& out) {
    std::lock_guard<std::mutex> lock(drive_.mutex());
    const Medium* m = drive_.readyMedium();
    if (!m) return fail(DISC_E_NOT_READY, "no medium in the drive");
    if (isDvdType(m->type) != dvd)
        return fail(DISC_E_NOT_SUPPORTED, dvd ? "not a DVD: read it as a CD" : "a DVD: read it as a DVD");
    if (m->tracks.empty()) return fail(DISC_E_NO_TRACK, "nothing is recorded on the disc");
    out = *m;
    readSpeed_ = drive_.readSpeed(readRequest_);
    emulateSpeed_ = drive_.spec.emulateSpeed;
    if (auto f = drive_.takeFault(dvd ? DISC_OP_GRAB_DVD : DISC_OP_GRAB_CD)) {
        if (f->afterBlocks == 0) return fail(static_cast<int>(f->code), "injected failure");
        fault_ = *f;
    }
    return {};
}

// The data file `index`, created (empty) on first use.
Error ImageGrabber::part(const std::string& base, size_t index, os::File*& out) {
    while (parts_.size() <= index) {
        const std::string path = partPath(base, parts_.size()) + kStaged;
        auto f = std::make_unique<os::File>();
        uint32_t sys = f->openWrite(path, true);
        if (!sys) made_.push_back(path);
        // A file cut to nothing and written again is flushed when it is
        // closed (ext4 does so to keep its data safe): cut only an old one.
        os::FileInfo info;
        if (!sys) sys = f->info(info);
        if (!sys && info.size) sys = f->resize(0);
        if (sys) return fail(DISC_E_FILE, "cannot create " + path, sys);
        parts_.push_back(std::move(f));
    }
    out = parts_[index].get();
    return {};
}

// Data go to the part that holds byte `at` of the stream (and the next ones).
Error ImageGrabber::store(const std::string& base, uint64_t at, const uint8_t* data, size_t size, uint64_t partBytes) {
    while (size) {
        const size_t index = partBytes ? static_cast<size_t>(at / partBytes) : 0;
        const uint64_t offset = partBytes ? at % partBytes : at;
        const size_t piece = partBytes ? static_cast<size_t>(std::min<uint64_t>(size, partBytes - offset)) : size;
        os::File* file = nullptr;
        if (Error e = part(base, index, file)) return e;
        if (uint32_t sys = file->writeAt(offset, data, piece))
            return fail(DISC_E_FILE, "cannot write " + partPath(base, index), sys);
        at += piece;
        data += piece;
        size -= piece;
    }
    return {};
}

// After each chunk: the read progress, the drive's read speed, cancel and an
// armed fault.
Error ImageGrabber::step(uint64_t blocks, uint64_t totalBytes, uint32_t sectorBytes) {
    doneBlocks_ += blocks;
    if (emulateSpeed_ && readSpeed_) {
        const uint64_t dueMs = startMs_ + doneBlocks_ * sectorBytes * 1000 / (uint64_t(readSpeed_) * 1024);
        for (uint64_t now = os::monotonicMs(); now < dueMs && !cancelled(); now = os::monotonicMs())
            os::sleepMs(static_cast<uint32_t>(std::min<uint64_t>(dueMs - now, 50)));
    }
    if (cancelled()) return fail(DISC_E_CANCELLED, "cancelled");
    if (fault_.afterBlocks && doneBlocks_ >= fault_.afterBlocks)
        return fail(static_cast<int>(fault_.code), "injected failure");
    const uint64_t done = doneBlocks_ * sectorBytes;
    progress_.readProgress(totalBytes, done, done == totalBytes);
    return {};
}

Error ImageGrabber::readCd(const Medium& m, const std::string& base, std::string& sheetText) {
    MediumReader reader;
    if (Error e = reader.open(drive_.folder(), drive_.name(), m)) return e;
    CueSheet sheet;
    sheet.mediumType = m.type;
    sheet.appendable = !m.finalized;
    sheet.files.push_back(os::fileName(base) + ".xm0");
    uint64_t totalBytes = 0;
    for (const Track& t : m.tracks) totalBytes += uint64_t(t.pregap + t.length) * cd::kRawSector;
    std::vector<uint8_t> data(size_t(kChunkBlocks) * cd::kRawSector);
    uint64_t at = 0;
    for (const Track& t : m.tracks) {
        CueTrack c;
        c.number = t.number;
        c.session = t.session;
        c.mode = modeOf(t);
        c.lba = t.start;
        c.blocks = t.length;
        const uint32_t first = static_cast<uint32_t>(at / cd::kRawSector);
        if (t.pregap) c.index0 = first;
        c.index1 = first + t.pregap;
        sheet.tracks.push_back(c);
        const uint32_t end = t.start + t.length;
        for (uint32_t lba = t.start - t.pregap; lba < end;) {
            // Kept raw sectors are copied in the kernel; Mode 1 ones are made.
            const uint32_t count = std::min(t.raw() ? kCopyBlocks : kChunkBlocks, end - lba);
            if (t.raw()) {
                os::File* file = nullptr;
                if (Error e = part(base, 0, file)) return e;
                if (Error e = reader.copyRaw(lba, count, *file, at)) return e;
            } else {
                if (Error e = reader.raw(t, lba, count, data.data())) return e;
                if (Error e = store(base, at, data.data(), size_t(count) * cd::kRawSector, 0)) return e;
            }
            at += uint64_t(count) * cd::kRawSector;
            lba += count;
            if (Error e = step(count, totalBytes, cd::kRawSector)) return e;
        }
    }
    os::File* file = nullptr;
    if (Error e = part(base, 0, file)) return e;
    if (uint32_t sys = file->resize(at)) return fail(DISC_E_FILE, "cannot size " + partPath(base, 0), sys);
    sheetText = renderCueSheet(sheet, true);
    return {};
}

// A DVD keeps cooked sectors only: they are copied in the kernel, a part at
// a time, and each part is sized to its share of the recorded area.
Error ImageGrabber::readDvd(const Medium& m, const std::string& base, uint64_t partBytes, std::string& sheetText) {
    MediumReader reader;
    if (Error e = reader.open(drive_.folder(), drive_.name(), m)) return e;
    const uint64_t totalBytes = uint64_t(m.usedEnd()) * cd::kUserData;
    constexpr uint64_t kCopyBytes = 64u << 20;
    for (uint64_t at = 0; at < totalBytes;) {
        const size_t index = partBytes ? static_cast<size_t>(at / partBytes) : 0;
        const uint64_t offset = partBytes ? at % partBytes : at;
        uint64_t n = std::min(kCopyBytes, totalBytes - at);
        if (partBytes) n = std::min(n, partBytes - offset);
        os::File* file = nullptr;
        if (Error e = part(base, index, file)) return e;
        if (Error e = reader.copyCooked(at, n, *file, offset)) return e;
        at += n;
        if (partBytes && (at % partBytes == 0 || at == totalBytes))
            if (uint32_t sys = file->resize(at - uint64_t(index) * partBytes))
                return fail(DISC_E_FILE, "cannot size " + partPath(base, index), sys);
        if (!partBytes && at == totalBytes)
            if (uint32_t sys = file->resize(at)) return fail(DISC_E_FILE, "cannot size " + partPath(base, 0), sys);
        if (Error e = step(n / cd::kUserData, totalBytes, cd::kUserData)) return e;
    }
    CueSheet sheet;
    sheet.mediumType = m.type;
    sheet.appendable = !m.finalized;
    for (size_t i = 0; i < parts_.size(); ++i) sheet.files.push_back(os::fileName(partPath(base, i)));
    for (const Track& t : m.tracks) {
        CueTrack c;
        c.number = t.number;
        c.session = t.session;
        c.mode = CueMode::Mode1Cooked;
        c.lba = t.start;
        c.blocks = t.length;
        const uint64_t byte = uint64_t(t.start) * cd::kUserData;
        c.file = partBytes ? static_cast<uint32_t>(byte / partBytes) : 0;
        c.index1 = static_cast<uint32_t>((partBytes ? byte % partBytes : byte) / cd::kUserData);
        sheet.tracks.push_back(c);
    }
    sheetText = renderCueSheet(sheet, true);
    return {};
}

Error ImageGrabber::run(const std::string& base, bool dvd, uint64_t partBytes) {
    DriveJob job(drive_);
    if (!job.owned()) return fail(DISC_E_BUSY, "the drive is busy");
    cancelMark_ = drive_.cancelCount();
    Medium m;
    if (Error e = snapshot(dvd, m)) return e;
    startMs_ = os::monotonicMs();
    std::string sheet;
    Error e = dvd ? readDvd(m, base, partBytes, sheet) : readCd(m, base, sheet);
    if (!e && cancelled()) e = fail(DISC_E_CANCELLED, "cancelled");  // with the last report
    if (!e) {
        const std::string path = base + ".mds" + kStaged;
        os::File f;
        uint32_t sys = f.openWrite(path, true);
        if (!sys) made_.push_back(path);
        if (!sys) sys = f.resize(0);
        if (!sys) sys = f.writeAt(0, sheet.data(), sheet.size());
        if (sys) e = fail(DISC_E_FILE, "cannot write " + path, sys);
    }
    const size_t parts = parts_.size();
    parts_.clear();  // closed before they are renamed
    if (!e) e = commit(base, parts);
    if (e)
        for (const std::string& path : made_) os::removeFile(path);
    made_.clear();
    return e;
}

// The new set replaces the old one whole: the old descriptor and every old
// data file (an earlier, larger grab's higher parts too) go, then the new
// files take their names, the descriptor last.
Error ImageGrabber::commit(const std::string& base, size_t parts) {
    os::removeFile(base + ".mds");
    os::FileInfo info;
    for (size_t i = 0; !os::statPath(partPath(base, i), info); ++i) os::removeFile(partPath(base, i));
    for (size_t i = 0; i < parts; ++i)
        if (!os::replaceFile(partPath(base, i) + kStaged, partPath(base, i)))
            return fail(DISC_E_FILE, "cannot name " + partPath(base, i));
    if (!os::replaceFile(base + ".mds" + kStaged, base + ".mds")) return fail(DISC_E_FILE, "cannot name " + base + ".mds");
    return {};
}

Error ImageGrabber::grabCd(const std::string& base) { return run(base, false, 0); }

Error ImageGrabber::grabDvd(const std::string& base, uint64_t partBytes) {
    // Parts hold whole sectors.
    return run(base, true, partBytes / cd::kUserData * cd::kUserData);
}

}  // namespace disc
