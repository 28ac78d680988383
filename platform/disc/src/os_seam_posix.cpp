// POSIX side of the OS seam. The share check is an advisory flock: a reader
// takes a shared lock without waiting, so a file that someone holds under an
// exclusive lock counts as in use, as a file opened without read sharing does
// on Windows.
#ifndef _WIN32

#include "os_seam.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

namespace disc::os {

namespace {

uint32_t fromErrno(int e) {
    switch (e) {
    case 0: return 0;
    case ENOENT: case ENOTDIR: return kErrNotFound;
    case EACCES: case EPERM: case EISDIR: return kErrAccessDenied;
    case EWOULDBLOCK: return kErrSharingViolation;
    case ENOSPC: return kErrDiskFull;
    default: return 0x20000000u | static_cast<uint32_t>(e);
    }
}

}  // namespace

File::~File() { close(); }
File::File(File&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
File& File::operator=(File&& other) noexcept {
    if (this != &other) { close(); fd_ = other.fd_; other.fd_ = -1; }
    return *this;
}

uint32_t File::openRead(const std::string& path) {
    close();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return fromErrno(errno);
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) { ::close(fd); return kErrAccessDenied; }
    if (flock(fd, LOCK_SH | LOCK_NB) != 0) {
        uint32_t err = errno == EWOULDBLOCK ? kErrSharingViolation : fromErrno(errno);
        ::close(fd);
        return err;
    }
    // Reads go front to back, as Windows is told with FILE_FLAG_SEQUENTIAL_SCAN:
    // the read-ahead window doubles. Small files fit in it anyway and are
    // spared the call.
    if (st.st_size >= (1 << 20)) posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    fd_ = fd;
    return 0;
}

uint32_t File::openSource(const std::string& path) { return openRead(path); }

uint32_t File::openWrite(const std::string& path, bool create) {
    close();
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0644);
    if (fd < 0) return fromErrno(errno);
    fd_ = fd;
    return 0;
}

bool File::isOpen() const { return fd_ >= 0; }

void File::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

uint32_t File::readAt(uint64_t offset, void* buffer, size_t size, size_t& got) {
    got = 0;
    auto* p = static_cast<char*>(buffer);
    while (got < size) {
        ssize_t n = pread(fd_, p + got, size - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fromErrno(errno);
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    return 0;
}

uint32_t File::writeAt(uint64_t offset, const void* buffer, size_t size) {
    auto* p = static_cast<const char*>(buffer);
    size_t done = 0;
    while (done < size) {
        ssize_t n = pwrite(fd_, p + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fromErrno(n < 0 ? errno : ENOSPC);
        done += static_cast<size_t>(n);
    }
    return 0;
}

uint32_t File::resize(uint64_t size) {
    return ftruncate(fd_, static_cast<off_t>(size)) == 0 ? 0 : fromErrno(errno);
}

uint32_t File::info(FileInfo& out) {
    struct stat st {};
    if (fstat(fd_, &st) != 0) return fromErrno(errno);
    out.size = static_cast<uint64_t>(st.st_size);
    out.modified = st.st_mtime;
    out.directory = S_ISDIR(st.st_mode);
    return 0;
}

uint32_t File::size(uint64_t& out) {
    FileInfo info;
    if (uint32_t err = this->info(info)) return err;
    out = info.size;
    return 0;
}

// Data stretches go through copy_file_range; holes are skipped.
uint32_t File::copyTo(uint64_t offset, File& dest, uint64_t destOffset, uint64_t size, uint64_t& got) {
    got = 0;
    const uint64_t end = offset + size;
    for (uint64_t at = offset; at < end;) {
        off_t data = lseek(fd_, static_cast<off_t>(at), SEEK_DATA);
        if (data < 0 && errno == ENXIO) break;  // only a hole remains
        if (data < 0) {  // no hole queries here: the portable copy
            uint64_t part = 0;
            uint32_t err = copyByBuffer(at, dest, destOffset + (at - offset), end - at, part);
            got = at - offset + part;
            return err;
        }
        if (uint64_t(data) >= end) break;
        off_t hole = lseek(fd_, data, SEEK_HOLE);
        uint64_t stop = hole < 0 ? end : std::min<uint64_t>(end, uint64_t(hole));
        loff_t in = data, out = static_cast<loff_t>(destOffset + (uint64_t(data) - offset));
        while (uint64_t(in) < stop) {
            ssize_t n = copy_file_range(fd_, &in, dest.fd_, &out, size_t(std::min<uint64_t>(stop - in, 1u << 30)), 0);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                uint64_t part = 0;
                uint32_t err = copyByBuffer(uint64_t(in), dest, uint64_t(out), stop - uint64_t(in), part);
                if (err) return err;
                in += static_cast<loff_t>(part);
                break;
            }
            if (n == 0) break;
        }
        at = uint64_t(in);
        if (at < stop) { got = at - offset; return 0; }  // the file ended early
    }
    FileInfo info;
    if (uint32_t err = this->info(info)) return err;
    got = info.size > offset ? std::min<uint64_t>(size, info.size - offset) : 0;
    return 0;
}

uint32_t statPath(const std::string& path, FileInfo& out) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return fromErrno(errno);
    out.size = static_cast<uint64_t>(st.st_size);
    out.modified = st.st_mtime;
    out.directory = S_ISDIR(st.st_mode);
    return 0;
}

bool makeDirectories(const std::string& path) {
    if (path.empty()) return false;
    for (size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos != path.size() && path[pos] != '/') continue;
        std::string part = path.substr(0, pos);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    return true;
}

bool replaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool removeFile(const std::string& path) { return unlink(path.c_str()) == 0 || errno == ENOENT; }

std::vector<std::string> listFiles(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    return names;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

std::string fileName(const std::string& path) {
    size_t pos = path.find_last_of('/');
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

// The code page on Linux is UTF-8.
bool ansiToUcs2(const std::string& text, std::u16string& out) {
    out.clear();
    for (size_t i = 0; i < text.size();) {
        auto c = static_cast<unsigned char>(text[i]);
        uint32_t cp;
        size_t len;
        if (c < 0x80) { cp = c; len = 1; }
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; len = 2; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; len = 3; }
        else return false;  // four-byte forms lie outside the basic plane
        if (i + len > text.size()) return false;
        for (size_t k = 1; k < len; ++k) {
            auto cc = static_cast<unsigned char>(text[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        out.push_back(static_cast<char16_t>(cp));
        i += len;
    }
    return true;
}

std::string ucs2ToAnsi(const std::u16string& text) {
    std::string out;
    for (char16_t u : text) {
        if (u < 0x80) out.push_back(static_cast<char>(u));
        else if (u >= 0xD800 && u <= 0xDFFF) out.push_back('_');
        else if (u < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (u >> 6)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (u >> 12)));
            out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        }
    }
    return out;
}

// Upper case for the scripts file names mostly use: Latin, Greek, Cyrillic.
char16_t foldCase(char16_t u) {
    if (u >= 'a' && u <= 'z') return static_cast<char16_t>(u - 32);
    if ((u >= 0xE0 && u <= 0xFE && u != 0xF7)) return static_cast<char16_t>(u - 32);
    if (u >= 0x100 && u <= 0x17F && u != 0x130 && u != 0x131 && u != 0x138 && u != 0x149 && u != 0x17F) {
        bool oddPairs = (u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E);
        if (oddPairs ? (u % 2 == 0) : (u % 2 == 1)) return static_cast<char16_t>(u - 1);
        return u;
    }
    if (u >= 0x3B1 && u <= 0x3C9 && u != 0x3C2) return static_cast<char16_t>(u - 32);
    if (u >= 0x430 && u <= 0x44F) return static_cast<char16_t>(u - 32);
    if (u >= 0x450 && u <= 0x45F) return static_cast<char16_t>(u - 80);
    return u;
}

int64_t nowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch()).count();
}

uint64_t monotonicMs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch()).count());
}

void sleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace disc::os

#endif
