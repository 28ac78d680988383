#include "disc_image.h"

#include "cd_sector.h"

#include <algorithm>
#include <cstring>

namespace disc {

namespace {

std::string lowerExtension(const std::string& path) {
    std::string name = os::fileName(path);
    size_t dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    return ext;
}

// A device's name (CON, COM1, ...), with any extension: opening it reaches
// the device, not a file.
bool isDeviceName(std::string part) {
    const size_t dot = part.find('.');
    if (dot != std::string::npos) part.resize(dot);
    while (!part.empty() && part.back() == ' ') part.pop_back();
    for (char& c : part)
        if (c >= 'a' && c <= 'z') c = char(c - 32);
    for (const char* name : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (part == name) return true;
    return part.size() == 4 && (part.compare(0, 3, "COM") == 0 || part.compare(0, 3, "LPT") == 0) &&
           part[3] >= '0' && part[3] <= '9';
}

// A sheet names its data files inside its own folder: subfolders are fine;
// an absolute, rooted, drive, UNC or stream path, a ".." step or a device
// name would reach files (or machines) the image has no business with.
Error checkFileName(const std::string& name) {
    auto refused = [&](const char* why) { return fail(DISC_E_BAD_IMAGE, "FILE \"" + name + "\" " + why); };
    if (name.empty()) return refused("is empty");
    if (name[0] == '/' || name[0] == '\\') return refused("is rooted");
    if (name.find(':') != std::string::npos) return refused("names a drive or a stream");
    size_t start = 0;
    while (start <= name.size()) {
        const size_t end = std::min(name.find_first_of("/\\", start), name.size());
        const std::string part = name.substr(start, end - start);
        if (part == "..") return refused("leaves the sheet's folder");
        if (isDeviceName(part)) return refused("names a device");
        start = end + 1;
    }
    return {};
}

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

Error badImage(const std::string& why) { return fail(DISC_E_BAD_IMAGE, why); }

}  // namespace

bool DiscImage::rawTracks() const {
    return std::any_of(tracks_.begin(), tracks_.end(),
                       [](const ImageTrack& t) { return t.mode == CueMode::Audio || t.mode == CueMode::Mode2Raw; });
}

Error DiscImage::open(const std::string& path) {
    streams_.clear();
    tracks_.clear();
    appendable_ = false;
    const std::string ext = lowerExtension(path);
    if (ext == ".mds") return openSheet(path, true);
    if (ext == ".cue") return openSheet(path, false);
    return openBare(path);
}

Error DiscImage::addStream(const std::vector<std::string>& paths) {
    Stream s;
    for (const std::string& p : paths) {
        Part part;
        part.path = p;
        part.file = std::make_shared<os::File>();
        if (uint32_t err = part.file->openRead(p)) return fail(DISC_E_FILE, "cannot open " + p, err);
        os::FileInfo info;
        if (uint32_t err = part.file->info(info)) return fail(DISC_E_FILE, "cannot read " + p, err);
        part.size = info.size;
        s.size += info.size;
        s.parts.push_back(std::move(part));
    }
    streams_.push_back(std::move(s));
    return {};
}

Error DiscImage::openSheet(const std::string& path, bool descriptor) {
    CueLimits limits;
    os::File f;
    if (uint32_t err = f.openRead(path)) return fail(DISC_E_FILE, "cannot open " + path, err);
    os::FileInfo info;
    if (uint32_t err = f.info(info)) return fail(DISC_E_FILE, "cannot read " + path, err);
    if (info.size > limits.maxBytes) return badImage(path + " is too large for a sheet");
    std::string text(static_cast<size_t>(info.size), '\0');
    size_t got = 0;
    if (uint32_t err = f.readAt(0, &text[0], text.size(), got)) return fail(DISC_E_FILE, "cannot read " + path, err);
    text.resize(got);
    CueSheet sheet;
    if (Error e = parseCueSheet(text, sheet, limits)) return fail(e.code, path + ", " + e.text);
    const std::string folder = folderOf(path);
    std::vector<std::string> paths;
    for (const std::string& name : sheet.files) {
        if (Error e = checkFileName(name)) return fail(e.code, path + ", " + e.text);
        paths.push_back(os::joinPath(folder, name));
    }
    std::vector<uint32_t> streamOfFile(paths.size());
    std::vector<uint64_t> baseOfFile(paths.size(), 0);
    if (descriptor) {
        if (Error e = addStream(paths)) return e;
        for (size_t i = 1; i < paths.size(); ++i) baseOfFile[i] = baseOfFile[i - 1] + streams_[0].parts[i - 1].size;
    } else {
        for (size_t i = 0; i < paths.size(); ++i) {
            if (Error e = addStream({paths[i]})) return e;
            streamOfFile[i] = static_cast<uint32_t>(i);
        }
    }
    appendable_ = sheet.appendable;
    return layTracks(sheet, descriptor, streamOfFile, baseOfFile);
}

Error DiscImage::layTracks(const CueSheet& sheet, bool descriptor, const std::vector<uint32_t>& streamOfFile,
                           const std::vector<uint64_t>& baseOfFile) {
    const auto& in = sheet.tracks;
    for (size_t i = 0; i < in.size(); ++i) {
        const CueTrack& c = in[i];
        ImageTrack t;
        t.mode = c.mode;
        t.session = c.session;
        t.lba = c.lba;
        t.silence = c.pregap;
        t.stream = streamOfFile[c.file];
        const uint64_t sector = cueSectorBytes(c.mode);
        const uint32_t first = c.index0 >= 0 ? uint32_t(c.index0) : c.index1;
        t.indexZero = c.index1 - first;
        t.offset = baseOfFile[c.file] + first * sector;
        const uint64_t dataStart = t.offset + uint64_t(t.indexZero) * sector;
        const Stream& s = streams_[t.stream];
        uint64_t end = s.size;
        if (i + 1 < in.size() && streamOfFile[in[i + 1].file] == t.stream) {
            const CueTrack& n = in[i + 1];
            if (cueSectorBytes(n.mode) != sector) return badImage("tracks of one file differ in sector size");
            end = baseOfFile[n.file] + uint64_t(n.index0 >= 0 ? n.index0 : n.index1) * sector;
        }
        if (c.blocks >= 0) {
            if (!descriptor || dataStart + uint64_t(c.blocks) * sector > s.size)
                return badImage("track " + std::to_string(c.number) + " runs past the end of its data");
            end = dataStart + uint64_t(c.blocks) * sector;
        }
        if (end <= dataStart) return badImage("track " + std::to_string(c.number) + " holds no sector");
        if ((end - dataStart) % sector)
            return badImage("track " + std::to_string(c.number) + " does not hold whole sectors");
        if ((end - dataStart) / sector > 0xFFFFFFFull) return badImage("track too large");
        t.blocks = static_cast<uint32_t>((end - dataStart) / sector);
        if (Error e = checkTrack(t)) return e;
        tracks_.push_back(t);
    }
    return {};
}

Error DiscImage::checkTrack(ImageTrack& t) {
    if (t.mode != CueMode::Mode1Raw && t.mode != CueMode::Mode2Raw) return {};
    uint8_t sector[cd::kRawSector];
    if (Error e = read(t, t.indexZero, 1, sector)) return e;
    const uint8_t mode = t.mode == CueMode::Mode1Raw ? 1 : 2;
    if (!cd::hasSync(sector) || sector[15] != mode)
        return badImage(std::string("a ") + cueModeName(t.mode) + " track without its sector header");
    return {};
}

Error DiscImage::openBare(const std::string& path) {
    if (Error e = addStream({path})) return e;
    const uint64_t size = streams_[0].size;
    ImageTrack t;
    if (size && size % cd::kRawSector == 0) {
        uint8_t sector[cd::kRawSector];
        if (Error e = readStream(streams_[0], 0, sizeof sector, sector)) return e;
        if (cd::hasSync(sector) && (sector[15] == 1 || sector[15] == 2)) {
            t.mode = sector[15] == 1 ? CueMode::Mode1Raw : CueMode::Mode2Raw;
            t.blocks = static_cast<uint32_t>(std::min<uint64_t>(size / cd::kRawSector, 0xFFFFFFF));
            tracks_.push_back(t);
            return {};
        }
    }
    if (size == 0 || size % cd::kUserData || size / cd::kUserData > 0xFFFFFFF)
        return badImage(path + " is neither a raw nor a cooked image");
    t.mode = CueMode::Mode1Cooked;
    t.blocks = static_cast<uint32_t>(size / cd::kUserData);
    tracks_.push_back(t);
    return {};
}

Error DiscImage::readStream(Stream& s, uint64_t offset, size_t size, uint8_t* out) {
    uint64_t base = 0;
    for (Part& p : s.parts) {
        if (size == 0) break;
        if (offset < base + p.size) {
            const uint64_t at = offset - base;
            const size_t want = static_cast<size_t>(std::min<uint64_t>(size, p.size - at));
            size_t got = 0;
            if (uint32_t err = p.file->readAt(at, out, want, got)) return fail(DISC_E_FILE, "cannot read " + p.path, err);
            if (got != want) return fail(DISC_E_SOURCE_CHANGED, p.path + " became shorter");
            out += want;
            offset += want;
            size -= want;
        }
        base += p.size;
    }
    if (size) return fail(DISC_E_SOURCE_CHANGED, "the image became shorter");
    return {};
}

Error DiscImage::copyTo(const ImageTrack& t, uint32_t first, uint32_t count, os::File& dest, uint64_t destOffset) {
    const uint64_t sector = cueSectorBytes(t.mode);
    uint64_t offset = t.offset + first * sector, size = count * sector, base = 0;
    for (Part& p : streams_[t.stream].parts) {
        if (size == 0) break;
        if (offset < base + p.size) {
            const uint64_t at = offset - base, want = std::min(size, p.size - at);
            uint64_t got = 0;
            if (uint32_t err = p.file->copyTo(at, dest, destOffset, want, got))
                return fail(DISC_E_MEDIUM_IO, "cannot copy " + p.path, err);
            if (got != want) return fail(DISC_E_SOURCE_CHANGED, p.path + " became shorter");
            offset += want;
            destOffset += want;
            size -= want;
        }
        base += p.size;
    }
    if (size) return fail(DISC_E_SOURCE_CHANGED, "the image became shorter");
    return {};
}

Error DiscImage::read(const ImageTrack& t, uint32_t first, uint32_t count, uint8_t* out) {
    const uint64_t sector = cueSectorBytes(t.mode);
    return readStream(streams_[t.stream], t.offset + first * sector, size_t(count * sector), out);
}

}  // namespace disc
