// The new-version check's texts: splitting a version, the comparison, the
// reply rules and the request's bytes.
#include "version_text.h"
#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const char* text;
    int major, minor, build, revision;
    const char* suffix;
};

TEST(VersionText, SplitsFieldsAndSuffix)
{
    const SplitCase cases[] = {
        {"1.4.10.91", 1, 4, 10, 91, ""},
        {"1.4.10.91 beta", 1, 4, 10, 91, "beta"},
        {"2.0.0.1 release candidate 2", 2, 0, 0, 1, "release candidate 2"},
        {"1.4.10.91 ", 1, 4, 10, 91, ""},
        // Fewer than four fields: the missing ones read as 0.
        {"1.5", 1, 5, 0, 0, ""},
        {"", 0, 0, 0, 0, ""},
        {"x.y.z.w", 0, 0, 0, 0, ""},
    };
    for (const SplitCase& c : cases) {
        const CVersionNumber v = SplitVersionText(c.text);
        EXPECT_EQ(v.major, c.major) << c.text;
        EXPECT_EQ(v.minor, c.minor) << c.text;
        EXPECT_EQ(v.build, c.build) << c.text;
        EXPECT_EQ(v.revision, c.revision) << c.text;
        EXPECT_EQ(v.suffix, c.suffix) << c.text;
    }
    EXPECT_EQ(VersionDisplayText(SplitVersionText("1.4.10.91 beta")), "1.4.10.91 beta");
    EXPECT_EQ(VersionDisplayText(SplitVersionText("3.1")), "3.1.0.0");
}

TEST(VersionText, NewerByKeysThenBySuffix)
{
    struct Case {
        const char* offered;
        const char* current;
        bool newer;
    };
    const Case cases[] = {
        {"1.4.10.91", "1.4.10.91", false},
        {"1.4.10.91 beta", "1.4.10.91", true},
        {"1.4.10.91 BETA", "1.4.10.91 beta", false},
        {"1.4.9.200", "1.4.10.0", false},
        {"1.4.10.92", "1.4.10.91", true},
        {"1.5.0.0", "1.4.99.99", true},
        {"2.0.0.1", "2.0.0.0", true},
        {"0.9.9.9", "1.0.0.0", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsNewerVersion(SplitVersionText(c.offered), SplitVersionText(c.current)), c.newer)
            << c.offered << " against " << c.current;
}

TEST(VersionText, TakesTheBodysFirstLineOfAnOkReply)
{
    std::string body;
    EXPECT_TRUE(VersionReplyBody("HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\n2.0.0.0\r\nmore", &body));
    EXPECT_EQ(body, "2.0.0.0");
    EXPECT_TRUE(VersionReplyBody("HTTP/1.1 200 OK\r\n\r\n2.0.0.0 beta", &body));
    EXPECT_EQ(body, "2.0.0.0 beta");
    EXPECT_TRUE(VersionReplyBody("HTTP/1.1 200 OK\r\n\r\n", &body));
    EXPECT_EQ(body, "");
    EXPECT_FALSE(VersionReplyBody("HTTP/1.0 200 OK\r\n\r\n2.0.0.0", &body));
    EXPECT_FALSE(VersionReplyBody("HTTP/1.1 404 Not Found\r\n\r\n2.0.0.0", &body));
    EXPECT_FALSE(VersionReplyBody("HTTP/1.1 200 OK\r\nServer: x\r\n", &body));
    EXPECT_FALSE(VersionReplyBody(" HTTP/1.1 200 OK\r\n\r\n2.0.0.0", &body));

    EXPECT_FALSE(VersionReplyComplete("HTTP/1.1 200 OK\r\n\r\n2.0.0"));
    EXPECT_TRUE(VersionReplyComplete("HTTP/1.1 200 OK\r\n\r\n2.0.0.0\r\n"));
}

TEST(VersionText, RequestsThePathWithTitleAndVersion)
{
    EXPECT_EQ(VersionRequest("version.txt", "www.example.org", "Tavell Burner", "1.0.0.0"),
              "GET /version.txt HTTP/1.1\r\nHost: www.example.org\r\nAccept: */*\r\n"
              "User-Agent: Tavell Burner v.1.0.0.0\r\n\r\n");
    EXPECT_EQ(VersionRequest("", "h", "T", "1"), "GET /fake HTTP/1.1\r\nHost: h\r\nAccept: */*\r\nUser-Agent: T v.1\r\n\r\n");
}

}  // namespace
