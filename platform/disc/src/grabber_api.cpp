// The C interface of start-up, drives and grabbers.
#include "grabber_call.h"
#include "disc/disc_layer.h"
#include "disc_library.h"
#include "image_source.h"
#include "iso_reader.h"
#include "track_writer.h"

#include <algorithm>
#include <cstring>

using namespace disc;

namespace {

void copyText(char* out, size_t size, const std::string& text) {
    std::strncpy(out, text.c_str(), size - 1);
    out[size - 1] = '\0';
}

Error setTray(Drive& drive, bool open) {
    if (Error e = drive.folder().setTray(drive.name(), open)) return e;
    std::lock_guard<std::mutex> lock(drive.mutex());
    if (drive.spec.trayOpen != open) { drive.spec.trayOpen = open; ++drive.spec.mediumStamp; }
    return {};
}

// Undoes up to `count` tray locks of the handle. Under the drive's mutex.
void releaseLocks(Grabber& g, Drive& d, uint32_t count) {
    count = std::min(count, g.locks);
    g.locks -= count;
    d.lockCount -= std::min(count, d.lockCount);
}

Error blank(Drive& drive, bool quick) {
    if (!drive.beginJob()) return fail(DISC_E_BUSY, "the drive is busy");
    struct End { Drive& d; ~End() { d.endJob(); } } end {drive};
    std::lock_guard<std::mutex> lock(drive.mutex());
    if (!(drive.spec.blankModes & (quick ? 1u : 2u)))
        return fail(DISC_E_NOT_SUPPORTED, quick ? "the drive offers no quick erase" : "the drive offers no full erase");
    const Medium* m = drive.readyMedium();
    if (!m) return fail(DISC_E_NOT_READY, "no medium in the drive");
    if (!isErasableType(m->type) || !drive.spec.canWriteType(m->type))
        return fail(DISC_E_NOT_ERASABLE, "the medium cannot be erased");
    Medium erased = *m;
    erased.erase();
    os::File image;
    if (uint32_t sys = image.openWrite(drive.folder().imagePath(drive.name(), erased), true))
        return fail(DISC_E_MEDIUM_IO, "cannot open the medium", sys);
    if (uint32_t sys = image.resize(0)) return fail(DISC_E_MEDIUM_IO, "cannot erase the medium", sys);
    if (!os::removeFile(drive.folder().rawPath(drive.name())))
        return fail(DISC_E_MEDIUM_IO, "cannot erase the medium");
    if (Error e = drive.folder().saveMedium(drive.name(), erased)) return e;
    drive.medium = erased;
    return {};
}

Error closeSession(Drive& drive) {
    std::lock_guard<std::mutex> lock(drive.mutex());
    const Medium* m = drive.readyMedium();
    if (!m) return fail(DISC_E_NOT_READY, "no medium in the drive");
    if (!m->sessionOpen) return {};
    Medium closed = *m;
    closed.closeSession();
    if (Error e = drive.folder().saveMedium(drive.name(), closed)) return e;
    drive.medium = closed;
    return {};
}

Error writeTrack(Grabber& g, Drive& drive, WriteRequest& request) {
    ProgressReporter progress(g.callback, g.context);
    request.bufferBytes = g.bufferBytes;
    request.writeRequest = g.writeRequest;
    return TrackWriter(drive, progress).write(request);
}

}  // namespace

extern "C" {

int DiscLayer_Startup(const char* dataFolder, char* text, uint32_t textSize, uint32_t* systemError) {
    CallFrame frame {DISC_OP_STARTUP, text, textSize, systemError, nullptr};
    return frame.finish(DiscLibrary::start(dataFolder ? dataFolder : ""));
}

int DiscLayer_Shutdown(char* text, uint32_t textSize, uint32_t* systemError) {
    CallFrame frame {DISC_OP_SHUTDOWN, text, textSize, systemError, nullptr};
    if (!DiscLibrary::current()) return frame.finish(notStarted());
    DiscLibrary::stop();
    return frame.finish({});
}

uint32_t DiscLayer_FindDevices(uint32_t, uint32_t, DiscCallback callback, void* context) {
    auto lib = DiscLibrary::current();
    if (!lib) return 0;
    auto drives = lib->drives();
    for (auto& d : drives) {
        DiscDeviceAddress address;
        {
            std::lock_guard<std::mutex> lock(d->mutex());
            address = d->spec.address;
        }
        if (callback) callback(DISC_CB_DEVICE_FOUND, context, &address, nullptr);
    }
    return static_cast<uint32_t>(drives.size());
}

static std::shared_ptr<Drive> driveAt(uint8_t port, uint8_t bus, uint8_t target, uint8_t lun) {
    auto lib = DiscLibrary::current();
    return lib ? lib->drive(port | bus << 8 | target << 16 | uint32_t(lun) << 24) : nullptr;
}

int DiscLayer_GetDriveLetter(uint8_t port, uint8_t bus, uint8_t target, uint8_t lun, char* letter, uint32_t size) {
    if (!letter || size < 2) return DISC_E_INVALID_ARGUMENT;
    auto d = driveAt(port, bus, target, lun);
    if (!d) return DiscLibrary::current() ? DISC_E_NO_DRIVE : DISC_E_NOT_STARTED;
    std::lock_guard<std::mutex> lock(d->mutex());
    letter[0] = d->spec.letter;
    letter[1] = '\0';
    return DISC_OK;
}

uint32_t DiscLayer_GetChangeStamp(void) {
    auto lib = DiscLibrary::current();
    return lib ? lib->stamp() : 0;
}

int DiscLayer_GetMediumStamp(uint8_t port, uint8_t bus, uint8_t target, uint8_t lun, uint32_t* stamp) {
    if (!stamp) return DISC_E_INVALID_ARGUMENT;
    auto d = driveAt(port, bus, target, lun);
    if (!d) return DiscLibrary::current() ? DISC_E_NO_DRIVE : DISC_E_NOT_STARTED;
    std::lock_guard<std::mutex> lock(d->mutex());
    *stamp = d->spec.mediumStamp;
    return DISC_OK;
}

int DiscLayer_InjectFault(uint8_t port, uint8_t bus, uint8_t target, uint8_t lun, const DiscFault* fault) {
    if (!fault) return DISC_E_INVALID_ARGUMENT;
    auto d = driveAt(port, bus, target, lun);
    if (!d) return DiscLibrary::current() ? DISC_E_NO_DRIVE : DISC_E_NOT_STARTED;
    d->armFault(*fault);
    return DISC_OK;
}

int Grabber_Create(DiscHandle* grabber, char* text, uint32_t textSize, uint32_t* systemError, DiscCallback callback,
                   void* context, uint8_t port, uint8_t bus, uint8_t target, uint8_t lun, uint32_t bufferSize) {
    CallFrame frame {DISC_OP_GRABBER_CREATE, text, textSize, systemError, nullptr};
    if (!grabber) return frame.finish(fail(DISC_E_INVALID_ARGUMENT, "no handle to fill"));
    *grabber = 0;
    auto lib = DiscLibrary::current();
    if (!lib) return frame.finish(notStarted());
    auto drive = lib->drive(port | bus << 8 | target << 16 | uint32_t(lun) << 24);
    if (!drive) return frame.finish(fail(DISC_E_NO_DRIVE, "no drive at that address"));
    if (auto f = drive->takeFault(DISC_OP_GRABBER_CREATE))
        return frame.finish(fail(static_cast<int>(f->code), "injected failure"));
    auto g = std::make_shared<Grabber>();
    g->drive = drive;
    g->madeAt = drive->faultClock();
    g->callback = callback;
    g->context = context;
    g->bufferBytes = (bufferSize & 0xFF) << 20;  // megabytes
    *grabber = lib->grabbers.add(std::move(g));
    return frame.finish({});
}

int DiscHandle_Destroy(DiscHandle* handle) {
    if (!handle) return DISC_E_INVALID_ARGUMENT;
    auto lib = DiscLibrary::current();
    if (!lib) return DISC_E_NOT_STARTED;
    if (auto g = lib->grabbers.get(*handle)) {
        std::lock_guard<std::mutex> lock(g->drive->mutex());
        releaseLocks(*g, *g->drive, g->locks);
    }
    bool removed = lib->grabbers.owns(*handle) ? lib->grabbers.remove(*handle) : lib->trees.remove(*handle);
    if (!removed) return DISC_E_INVALID_HANDLE;
    *handle = 0;
    return DISC_OK;
}

#define FRAME(op) CallFrame frame {op, text, textSize, systemError, failure}

int Grabber_GetIdentity(DISC_GRABBER_FRAME, DiscIdentity* identity) {
    FRAME(DISC_OP_IDENTITY);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber&, Drive& d) {
        if (!identity) return fail(DISC_E_INVALID_ARGUMENT, "no identity record");
        std::lock_guard<std::mutex> lock(d.mutex());
        *identity = DiscIdentity {};
        copyText(identity->vendor, sizeof identity->vendor, d.spec.vendor);
        copyText(identity->product, sizeof identity->product, d.spec.product);
        copyText(identity->revision, sizeof identity->revision, d.spec.revision);
        identity->bufferKB = d.spec.bufferKB;
        return Error {};
    });
}

int Grabber_ProbeReadModes(DISC_GRABBER_FRAME, DiscReadModes* modes) {
    FRAME(DISC_OP_READ_MODES);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber&, Drive& d) {
        if (!modes) return fail(DISC_E_INVALID_ARGUMENT, "no modes record");
        std::lock_guard<std::mutex> lock(d.mutex());
        uint32_t m = d.spec.readModes;
        *modes = DiscReadModes {uint8_t(m & 1), uint8_t(m >> 1 & 1), uint8_t(m >> 2 & 1),
                                uint8_t(m >> 3 & 1), uint8_t(m >> 4 & 1), uint8_t(m >> 5 & 1)};
        return Error {};
    });
}

int Grabber_ProbeWriteModes(DISC_GRABBER_FRAME, DiscWriteModes* modes) {
    FRAME(DISC_OP_WRITE_MODES);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber&, Drive& d) {
        if (!modes) return fail(DISC_E_INVALID_ARGUMENT, "no modes record");
        std::lock_guard<std::mutex> lock(d.mutex());
        uint32_t m = d.spec.writeModes;
        *modes = DiscWriteModes {uint8_t(m & 1), uint8_t(m >> 1 & 1), uint8_t(m >> 2 & 1), uint8_t(m >> 3 & 1)};
        return Error {};
    });
}

int Grabber_GetCapabilities(DISC_GRABBER_FRAME, DiscReadCapabilities* read, DiscWriteCapabilities* write) {
    FRAME(DISC_OP_CAPABILITIES);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber&, Drive& d) {
        if (!read || !write) return fail(DISC_E_INVALID_ARGUMENT, "no capability record");
        std::lock_guard<std::mutex> lock(d.mutex());
        auto bit = [](uint32_t mask, uint32_t b) { return uint8_t((mask & b) != 0); };
        uint32_t r = d.spec.readCaps, w = d.spec.writeCaps;
        *read = DiscReadCapabilities {bit(r, 0x1), bit(r, 0x2), bit(r, 0x4), bit(r, 0x8),
                                      bit(r, 0x100), bit(r, 0x20), bit(r, 0x40), bit(r, 0x80)};
        *write = DiscWriteCapabilities {bit(w, 0x1), bit(w, 0x2), bit(w, 0x8), bit(w, 0x100),
                                        bit(w, 0x4), bit(w, 0x20), bit(w, 0x40), bit(w, 0x80)};
        return Error {};
    });
}

int Grabber_SetSpeeds(DISC_GRABBER_FRAME, uint32_t readSpeed, uint32_t writeSpeed) {
    FRAME(DISC_OP_SET_SPEEDS);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber& g, Drive& d) {
        std::lock_guard<std::mutex> lock(d.mutex());
        g.readRequest = readSpeed;
        g.writeRequest = writeSpeed;
        return Error {};
    });
}

int Grabber_GetSpeeds(DISC_GRABBER_FRAME, uint32_t* readSpeed, uint32_t* maxReadSpeed, uint32_t* writeSpeed,
                      uint32_t* maxWriteSpeed) {
    FRAME(DISC_OP_GET_SPEEDS);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber& g, Drive& d) {
        if (!readSpeed || !maxReadSpeed || !writeSpeed || !maxWriteSpeed)
            return fail(DISC_E_INVALID_ARGUMENT, "no speed field");
        std::lock_guard<std::mutex> lock(d.mutex());
        *readSpeed = d.readSpeed(g.readRequest);
        *maxReadSpeed = d.maxReadSpeed();
        *writeSpeed = d.writeSpeed(g.writeRequest);
        *maxWriteSpeed = d.maxWriteSpeed();
        return Error {};
    });
}

int Grabber_TestUnitReady(DISC_GRABBER_FRAME, uint32_t) {
    FRAME(DISC_OP_UNIT_READY);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber&, Drive& d) {
        std::lock_guard<std::mutex> lock(d.mutex());
        return d.readyMedium() ? Error {} : fail(DISC_E_NOT_READY, "medium not present");
    });
}

int Grabber_GetDiscType(DISC_GRABBER_FRAME, uint32_t* mediumType) {
    FRAME(DISC_OP_DISC_TYPE);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber&, Drive& d) {
        if (!mediumType) return fail(DISC_E_INVALID_ARGUMENT, "no type field");
        std::lock_guard<std::mutex> lock(d.mutex());
        const Medium* m = d.readyMedium();
        *mediumType = m ? m->type : uint32_t(DISC_MT_NO_MEDIA);
        return Error {};
    });
}

int Grabber_GetDiscInformation(DISC_GRABBER_FRAME, DiscInformation* info) {
    FRAME(DISC_OP_DISC_INFO);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber&, Drive& d) {
        if (!info) return fail(DISC_E_INVALID_ARGUMENT, "no information record");
        std::lock_guard<std::mutex> lock(d.mutex());
        const Medium* m = d.readyMedium();
        if (!m) return fail(DISC_E_NOT_READY, "medium not present");
        *info = m->information();
        return Error {};
    });
}

int Grabber_GetTrackInformation(DISC_GRABBER_FRAME, uint32_t trackNumber, DiscTrackInformation* info) {
    FRAME(DISC_OP_TRACK_INFO);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber&, Drive& d) {
        if (!info) return fail(DISC_E_INVALID_ARGUMENT, "no information record");
        std::lock_guard<std::mutex> lock(d.mutex());
        const Medium* m = d.readyMedium();
        if (!m) return fail(DISC_E_NOT_READY, "medium not present");
        if (!m->trackInformation(trackNumber, *info))
            return fail(DISC_E_NO_TRACK, "no track " + std::to_string(trackNumber));
        return Error {};
    });
}

int Grabber_Eject(DISC_GRABBER_FRAME) {
    FRAME(DISC_OP_EJECT);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber&, Drive& d) {
        if (d.busy()) return fail(DISC_E_BUSY, "the drive is busy");
        {
            std::lock_guard<std::mutex> lock(d.mutex());
            if (d.lockCount) return fail(DISC_E_LOCKED, "the tray is locked");
        }
        return setTray(d, true);
    });
}

int Grabber_Load(DISC_GRABBER_FRAME) {
    FRAME(DISC_OP_LOAD);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber&, Drive& d) { return setTray(d, false); });
}

int Grabber_Lock(DISC_GRABBER_FRAME) {
    FRAME(DISC_OP_LOCK);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber& g, Drive& d) {
        std::lock_guard<std::mutex> lock(d.mutex());
        ++d.lockCount;
        ++g.locks;
        return Error {};
    });
}

int Grabber_Release(DISC_GRABBER_FRAME) {
    FRAME(DISC_OP_RELEASE);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber& g, Drive& d) {
        std::lock_guard<std::mutex> lock(d.mutex());
        releaseLocks(g, d, 1);
        return Error {};
    });
}

int Grabber_GetBUP(DISC_GRABBER_FRAME, uint32_t* available, uint32_t* enabled) {
    FRAME(DISC_OP_GET_BUP);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber&, Drive& d) {
        if (!available || !enabled) return fail(DISC_E_INVALID_ARGUMENT, "no flag field");
        std::lock_guard<std::mutex> lock(d.mutex());
        *available = d.spec.bufferUnderrunProtection ? 1 : 0;
        *enabled = d.bupEnabled ? 1 : 0;
        return Error {};
    });
}

int Grabber_SetBUP(DISC_GRABBER_FRAME, uint32_t enable) {
    FRAME(DISC_OP_SET_BUP);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber&, Drive& d) {
        std::lock_guard<std::mutex> lock(d.mutex());
        if (enable && !d.spec.bufferUnderrunProtection)
            return fail(DISC_E_NOT_SUPPORTED, "the drive has no buffer-underrun protection");
        d.bupEnabled = enable != 0;
        return Error {};
    });
}

int Grabber_SendOPC(DISC_GRABBER_FRAME) {
    FRAME(DISC_OP_SEND_OPC);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber&, Drive& d) {
        std::lock_guard<std::mutex> lock(d.mutex());
        const Medium* m = d.readyMedium();
        if (!m) return fail(DISC_E_NOT_READY, "medium not present");
        return m->acceptsWrites() ? Error {} : fail(DISC_E_NOT_WRITABLE, "the medium is not writable");
    });
}

int Grabber_CloseSession(DISC_GRABBER_FRAME) {
    FRAME(DISC_OP_CLOSE_SESSION);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber&, Drive& d) { return closeSession(d); });
}

int Grabber_Blank(DISC_GRABBER_FRAME, uint32_t quick) {
    FRAME(DISC_OP_BLANK);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber&, Drive& d) { return blank(d, quick != 0); });
}

int Grabber_Cancel(DiscHandle grabber) {
    auto lib = DiscLibrary::current();
    if (!lib) return DISC_E_NOT_STARTED;
    auto g = lib->grabbers.get(grabber);
    if (!g) return DISC_E_INVALID_HANDLE;
    g->drive->cancel();
    return DISC_OK;
}

int Grabber_TrackAtOnceFromTree(DISC_GRABBER_FRAME, DiscHandle tree, uint32_t, uint32_t testWrite,
                                uint32_t leaveOpen, uint32_t, uint32_t) {
    FRAME(DISC_OP_TAO_FROM_TREE);
    return onGrabber(frame, grabber, [&](DiscLibrary& lib, Grabber& g, Drive& d) {
        auto t = lib.trees.get(tree);
        if (!t) return fail(DISC_E_INVALID_HANDLE, "not a tree handle");
        std::shared_ptr<const IsoImage> image;
        {
            std::lock_guard<std::mutex> lock(t->mutex());
            if (!t->image || t->imageVersion != t->version())
                return fail(DISC_E_NOT_BUILT, "the tree changed since it was built");
            image = t->image;
        }
        TreeImageSource source(image);
        WriteRequest request;
        request.source = &source;
        request.operation = DISC_OP_TAO_FROM_TREE;
        request.test = testWrite != 0;
        request.leaveOpen = leaveOpen != 0;
        request.fromTree = true;
        request.treeStart = image->start;
        request.origin = image->origin;
        return writeTrack(g, d, request);
    });
}

int Grabber_TrackAtOnceFromFile(DISC_GRABBER_FRAME, const char* path, uint32_t, uint32_t testWrite,
                                uint32_t leaveOpen, uint32_t, uint32_t) {
    FRAME(DISC_OP_TAO_FROM_FILE);
    return onGrabber(frame, grabber, [&](DiscLibrary&, Grabber& g, Drive& d) {
        if (!path || !*path) return fail(DISC_E_INVALID_ARGUMENT, "no image path");
        FileImageSource source;
        if (Error e = source.open(path)) return e;
        WriteRequest request;
        request.source = &source;
        request.operation = DISC_OP_TAO_FROM_FILE;
        request.isoRoot = source.isoRoot();
        request.test = testWrite != 0;
        request.leaveOpen = leaveOpen != 0;
        return writeTrack(g, d, request);
    });
}

}  // extern "C"
