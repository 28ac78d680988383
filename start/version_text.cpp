#include "version_text.h"
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The next token as strtok takes it (leading delimiters skipped, one
// delimiter after it consumed), without strtok's hidden state.
std::string NextToken(const std::string& text, size_t* at, const char* delimiters)
{
    size_t start = text.find_first_not_of(delimiters, *at);
    if (start == std::string::npos) {
        *at = text.size();
        return std::string();
    }
    size_t end = text.find_first_of(delimiters, start);
    if (end == std::string::npos) {
        *at = text.size();
        return text.substr(start);
    }
    *at = end + 1;
    return text.substr(start, end - start);
}

int Number(const std::string& field) { return std::atoi(field.c_str()); }

DWORD Pack(int high, int low)
{
    return (static_cast<DWORD>(high) << 16) | (static_cast<DWORD>(low) & 0xFFFF);
}

// The signed 32-bit difference of two packed keys.
int Difference(DWORD a, DWORD b) { return static_cast<int>(a - b); }

}  // namespace

CVersionNumber SplitVersionText(const std::string& text)
{
    CVersionNumber version;
    size_t at = 0;
    version.major = Number(NextToken(text, &at, "."));
    version.minor = Number(NextToken(text, &at, "."));
    version.build = Number(NextToken(text, &at, "."));
    const size_t beforeRevision = at;
    version.revision = Number(NextToken(text, &at, " "));
    // The revision's token ended at a blank only when text follows it.
    if (at < text.size() && at > beforeRevision && text[at - 1] == ' ') version.suffix = text.substr(at);
    return version;
}

bool IsNewerVersion(const CVersionNumber& offered, const CVersionNumber& current)
{
    const int first = Difference(Pack(offered.major, offered.minor), Pack(current.major, current.minor));
    if (first != 0) return first > 0;
    const int second = Difference(Pack(offered.build, offered.revision), Pack(current.build, current.revision));
    if (second != 0) return second > 0;
    return lstrcmpiA(offered.suffix.c_str(), current.suffix.c_str()) != 0;
}

std::string VersionDisplayText(const CVersionNumber& version)
{
    char text[64];
    std::snprintf(text, sizeof(text), "%d.%d.%d.%d", version.major, version.minor, version.build, version.revision);
    return version.suffix.empty() ? text : std::string(text) + " " + version.suffix;
}

bool VersionReplyBody(const std::string& reply, std::string* body)
{
    static const char status[] = "HTTP/1.1 200 OK";
    if (reply.compare(0, sizeof(status) - 1, status) != 0) return false;
    const size_t end = reply.find("\r\n\r\n");
    if (end == std::string::npos) return false;
    const std::string rest = reply.substr(end + 4);
    *body = rest.substr(0, rest.find_first_of("\r\n"));
    return true;
}

std::string VersionRequest(const std::string& path, const std::string& host, const std::string& title,
                           const std::string& version)
{
    return "GET /" + (path.empty() ? std::string("fake") : path) + " HTTP/1.1\r\nHost: " + host +
           "\r\nAccept: */*\r\nUser-Agent: " + title + " v." + version + "\r\n\r\n";
}

bool VersionReplyComplete(const std::string& reply)
{
    const size_t end = reply.find("\r\n\r\n");
    return end != std::string::npos && reply.find_first_of("\r\n", end + 4) != std::string::npos;
}
