#include "raw_writer.h"

#include "cd_sector.h"
#include "os_seam.h"

#include <algorithm>

namespace disc {

Error RawWriter::advance(const RawWritePlan& p, uint32_t lba, uint64_t done) {
    if (p.fault && p.fault->afterBlocks && done == p.fault->afterBlocks)
        return Error {static_cast<int>(p.fault->code), 0, "injected failure", lba, uint32_t(done)};
    if (p.emulateSpeed && p.writeSpeed) {
        const uint64_t dueMs = startMs_ + done * cd::kUserData * 1000 / (uint64_t(p.writeSpeed) * 1024);
        for (uint64_t now = os::monotonicMs(); now < dueMs && !cancelled(); now = os::monotonicMs())
            os::sleepMs(static_cast<uint32_t>(std::min<uint64_t>(dueMs - now, 50)));
    }
    if (cancelled()) return Error {DISC_E_CANCELLED, 0, "cancelled", lba, uint32_t(done)};
    progress_.progress(p.totalBlocks * cd::kUserData, done * cd::kUserData, 4u << 20, 4u << 20,
                       done == p.totalBlocks);
    return {};
}

Error RawWriter::commit(const RawWritePlan& p) {
    std::lock_guard<std::mutex> lock(drive_.mutex());
    if (!drive_.medium || drive_.medium->serial != p.before.serial ||
        drive_.medium->tracks.size() != p.before.tracks.size())
        return fail(DISC_E_NOT_READY, "the medium changed during the write");
    if (Error e = drive_.folder().saveMedium(drive_.name(), p.after)) return e;
    drive_.medium = p.after;
    return {};
}

}  // namespace disc
