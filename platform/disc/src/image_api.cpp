// The C interface of disc images: grabs and session-at-once writing.
#include "disc/disc_layer.h"
#include "disc_image.h"
#include "grabber_call.h"
#include "image_grabber.h"
#include "session_writer.h"
#include "video_cd_builder.h"

#include <cstdio>

using namespace disc;

namespace {

// Builds the disc's raw image beside the medium, writes it and removes it.
// A cancel from the call's start on stops it, during the build too.
Error writeVideoCd(Grabber& g, Drive& d, const VideoCdRequest& request, bool test) {
    const uint64_t cancelMark = d.cancelCount();
    {
        std::lock_guard<std::mutex> lock(d.mutex());
        const Medium* m = d.readyMedium();
        if (!m) return fail(DISC_E_NOT_READY, "no medium in the drive");
        if (isDvdType(m->type)) return fail(DISC_E_NOT_SUPPORTED, "a Video CD goes on a CD");
        if (m->status() != DISC_STATUS_BLANK) return fail(DISC_E_NOT_WRITABLE, "a Video CD needs a blank disc");
    }
    // The call's own name: two calls on one drive never share the image.
    char unique[24];
    std::snprintf(unique, sizeof unique, ".videocd-%016llx", static_cast<unsigned long long>(DriveFolder::newSerial()));
    const std::string base = os::joinPath(d.folder().folder(), d.name() + unique);
    struct Cleanup {
        std::string base;
        ~Cleanup() { os::removeFile(base + ".bin"); os::removeFile(base + ".cue"); }
    } cleanup {base};
    uint32_t blocks = 0;
    if (Error e = buildVideoCd(request, base, blocks)) return e;
    DiscImage image;
    if (Error e = image.open(base + ".cue")) return e;
    ProgressReporter progress(g.callback, g.context);
    return SessionWriter(d, progress, g.writeRequest).write(image, test, g.bufferBytes, cancelMark);
}

}  // namespace

#define FRAME(op) CallFrame frame {op, text, textSize, systemError, failure}

extern "C" {

int Grabber_GrabCdImage(DISC_GRABBER_FRAME, const char* basePath, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                        uint32_t) {
    FRAME(DISC_OP_GRAB_CD);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber& g, Drive& d) {
        if (!basePath || !*basePath) return fail(DISC_E_INVALID_ARGUMENT, "no image path");
        ProgressReporter progress(g.callback, g.context);
        return ImageGrabber(d, progress, g.readRequest).grabCd(basePath);
    });
}

int Grabber_GrabDvdImage(DISC_GRABBER_FRAME, const char* basePath, uint32_t partMegabytes, uint32_t, uint32_t,
                         uint32_t, uint32_t) {
    FRAME(DISC_OP_GRAB_DVD);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber& g, Drive& d) {
        if (!basePath || !*basePath) return fail(DISC_E_INVALID_ARGUMENT, "no image path");
        ProgressReporter progress(g.callback, g.context);
        return ImageGrabber(d, progress, g.readRequest).grabDvd(basePath, uint64_t(partMegabytes) << 20);
    });
}

int Grabber_SessionAtOnceRawRawPW(DISC_GRABBER_FRAME, const char* imagePath, uint32_t testWrite, uint32_t, uint32_t,
                                  uint32_t, uint32_t) {
    FRAME(DISC_OP_SAO_RAW);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber& g, Drive& d) {
        if (!imagePath || !*imagePath) return fail(DISC_E_INVALID_ARGUMENT, "no image path");
        DiscImage image;
        if (Error e = image.open(imagePath)) return e;
        ProgressReporter progress(g.callback, g.context);
        return SessionWriter(d, progress, g.writeRequest).write(image, testWrite != 0, g.bufferBytes);
    });
}

int Grabber_VideoCD(DISC_GRABBER_FRAME, const char* streamPath, const char* dateText, uint32_t, uint32_t,
                    uint32_t testWrite, uint32_t, uint32_t) {
    FRAME(DISC_OP_VIDEO_CD);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber& g, Drive& d) {
        if (!streamPath || !*streamPath || !dateText) return fail(DISC_E_INVALID_ARGUMENT, "no stream or date");
        return writeVideoCd(g, d, VideoCdRequest {streamPath, dateText, false}, testWrite != 0);
    });
}

int Grabber_SuperVideoCD(DISC_GRABBER_FRAME, const char* streamPath, const char* dateText, uint32_t, uint32_t,
                         uint32_t testWrite, uint32_t, uint32_t) {
    FRAME(DISC_OP_SUPER_VIDEO_CD);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber& g, Drive& d) {
        if (!streamPath || !*streamPath || !dateText) return fail(DISC_E_INVALID_ARGUMENT, "no stream or date");
        return writeVideoCd(g, d, VideoCdRequest {streamPath, dateText, true}, testWrite != 0);
    });
}

}  // extern "C"
