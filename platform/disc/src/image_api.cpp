// The C interface of disc images: grabs and session-at-once writing.
#include "disc/disc_layer.h"
#include "disc_image.h"
#include "grabber_call.h"
#include "image_grabber.h"
#include "session_writer.h"

using namespace disc;

#define FRAME(op) CallFrame frame {op, text, textSize, systemError, failure}

extern "C" {

int Grabber_GrabCdImage(DISC_GRABBER_FRAME, const char* basePath, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                        uint32_t) {
    FRAME(DISC_OP_GRAB_CD);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber& g, Drive& d) {
        if (!basePath || !*basePath) return fail(DISC_E_INVALID_ARGUMENT, "no image path");
        ProgressReporter progress(g.callback, g.context);
        return ImageGrabber(d, progress).grabCd(basePath);
    });
}

int Grabber_GrabDvdImage(DISC_GRABBER_FRAME, const char* basePath, uint32_t partMegabytes, uint32_t, uint32_t,
                         uint32_t, uint32_t) {
    FRAME(DISC_OP_GRAB_DVD);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber& g, Drive& d) {
        if (!basePath || !*basePath) return fail(DISC_E_INVALID_ARGUMENT, "no image path");
        ProgressReporter progress(g.callback, g.context);
        return ImageGrabber(d, progress).grabDvd(basePath, uint64_t(partMegabytes) << 20);
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
        return SessionWriter(d, progress).write(image, testWrite != 0, g.bufferBytes);
    });
}

}  // extern "C"
