// Version texts of the new-version check: "major.minor.build.revision",
// optionally a blank and a suffix; the reply of the version server.
#pragma once
#include <string>

struct CVersionNumber {
    int major = 0, minor = 0, build = 0, revision = 0;
    std::string suffix;
};

// Fields read as decimal numbers (a non-number, or a missing field, reads
// as 0); the suffix is the text after the blank that ends the revision.
CVersionNumber SplitVersionText(const std::string& text);
// Newer by (major, minor), then (build, revision), each pair packed into 32
// bits and compared by signed difference; equal numbers with suffixes that
// differ (ignoring case) count as newer too.
bool IsNewerVersion(const CVersionNumber& offered, const CVersionNumber& current);
// "a.b.c.d", plus a blank and the suffix when there is one.
std::string VersionDisplayText(const CVersionNumber& version);
// The first line of the body of a reply that starts "HTTP/1.1 200 OK" and
// has a header end; false for any other reply.
bool VersionReplyBody(const std::string& reply, std::string* body);
// The request for `path` ("fake" when empty) to `host`.
std::string VersionRequest(const std::string& path, const std::string& host, const std::string& title,
                           const std::string& version);
// A reply read far enough: its header has ended and the body's first line
// with it.
bool VersionReplyComplete(const std::string& reply);
