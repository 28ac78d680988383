// The operating-system seam: the few services the layer needs from the system,
// with one implementation for POSIX and one for Windows (ANSI functions).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace disc::os {

// Windows error numbers, which the layer reports on every system.
enum : uint32_t { kErrNotFound = 2, kErrAccessDenied = 5, kErrSharingViolation = 32, kErrDiskFull = 112 };

struct FileInfo {
    uint64_t size = 0;
    int64_t modified = 0;  // seconds since 1970, UTC
    bool directory = false;
};

// One open file. Opening for reading applies the share check: a file that
// another process holds for writing (Windows share modes) or under an exclusive
// advisory lock (POSIX flock) fails with kErrSharingViolation.
class File {
public:
    File() = default;
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;

    uint32_t openRead(const std::string& path);
    // A source of an image being written: read sharing only, which Wine opens
    // at about half the cost of a file that others may delete meanwhile.
    uint32_t openSource(const std::string& path);
    uint32_t openWrite(const std::string& path, bool create);  // never truncates
    bool isOpen() const;
    void close();

    // Reads up to `size` bytes at `offset`; `got` < size only at the end of the file.
    uint32_t readAt(uint64_t offset, void* buffer, size_t size, size_t& got);
    uint32_t writeAt(uint64_t offset, const void* buffer, size_t size);
    uint32_t resize(uint64_t size);
    uint32_t info(FileInfo& out);
    uint32_t size(uint64_t& out);  // one query where the size is all that is needed
    // Copies `size` bytes at `offset` into `dest` at `destOffset`, in the
    // kernel where the system can; holes of a sparse source stay holes.
    // `got` < size only at the end of this file.
    uint32_t copyTo(uint64_t offset, File& dest, uint64_t destOffset, uint64_t size, uint64_t& got);

private:
    uint32_t copyByBuffer(uint64_t offset, File& dest, uint64_t destOffset, uint64_t size, uint64_t& got);
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

// True when every byte is zero: such blocks are left as holes in sparse files.
bool allZero(const uint8_t* data, size_t size);

uint32_t statPath(const std::string& path, FileInfo& out);
bool makeDirectories(const std::string& path);
bool replaceFile(const std::string& from, const std::string& to);  // atomic where possible
bool removeFile(const std::string& path);
std::vector<std::string> listFiles(const std::string& folder);  // names only

std::string joinPath(const std::string& folder, const std::string& name);
std::string fileName(const std::string& path);  // after the last separator

// Code-page text to UCS-2 and back; false when a character does not convert
// or lies outside the basic plane.
bool ansiToUcs2(const std::string& text, std::u16string& out);
std::string ucs2ToAnsi(const std::u16string& text);  // unconvertible units become '_'
char16_t foldCase(char16_t unit);  // upper-case form used for name comparison

int64_t nowSeconds();
uint64_t monotonicMs();
void sleepMs(uint32_t ms);

}  // namespace disc::os
