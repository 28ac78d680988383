// Runs a grabber operation of the C interface: resolves the handle, applies
// an armed fault (the writes and reads take theirs at their own time) and
// hands the result back through the call frame.
#pragma once

#include "call_frame.h"
#include "disc_library.h"

namespace disc {

inline Error notStarted() { return fail(DISC_E_NOT_STARTED, "the disc layer is not started"); }

inline bool takesFaultItself(uint32_t op) {
    return op == DISC_OP_TAO_FROM_TREE || op == DISC_OP_TAO_FROM_FILE || op == DISC_OP_GRAB_CD ||
           op == DISC_OP_GRAB_DVD || op == DISC_OP_SAO_RAW || op == DISC_OP_VIDEO_CD || op == DISC_OP_SUPER_VIDEO_CD ||
           op == DISC_OP_TAO_AUDIO || op == DISC_OP_DAO_AUDIO;
}

// Resolves the grabber, applies an armed fault and runs the body.
template <class Body>
int onGrabber(const CallFrame& frame, DiscHandle handle, Body body) {
    auto lib = DiscLibrary::current();
    if (!lib) return frame.finish(notStarted());
    lib->sync();
    auto grabber = lib->grabbers.get(handle);
    if (!grabber) return frame.finish(fail(DISC_E_INVALID_HANDLE, "not a grabber handle"));
    Drive& drive = *grabber->drive;
    {
        std::lock_guard<std::mutex> lock(drive.mutex());
        if (drive.removed) return frame.finish(fail(DISC_E_NO_DRIVE, "the drive is gone"));
    }
    if (!takesFaultItself(frame.operation))
        if (auto f = drive.takeFault(frame.operation, grabber->madeAt))
            return frame.finish(fail(static_cast<int>(f->code), "injected failure"));
    return frame.finish(body(*lib, *grabber, drive));
}

}  // namespace disc
