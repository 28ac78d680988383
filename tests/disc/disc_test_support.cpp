#include "disc_test_support.h"

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <unistd.h>

namespace disc_test {

std::string run(const std::string& command, int* status) {
    std::string out;
    FILE* p = popen((command + " 2>/dev/null").c_str(), "r");
    if (!p) return out;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    int rc = pclose(p);
    if (status) *status = rc;
    return out;
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string md5(const std::string& data) {
    char name[] = "/tmp/disc-md5-XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) return "";
    (void)!write(fd, data.data(), data.size());
    close(fd);
    std::string sum = run(std::string("md5sum ") + name).substr(0, 32);
    unlink(name);
    return sum;
}

void DiscTest::SetUp() {
    char tmpl[] = "/tmp/disc-test-XXXXXX";
    root_ = mkdtemp(tmpl);
    data_ = root_ / "data";
    sources_ = root_ / "src";
    fs::create_directories(sources_);
    Frame f;
    ASSERT_EQ(DiscLayer_Startup(data_.c_str(), f.text, sizeof f.text, &f.sys), 0) << f.text;
}

void DiscTest::TearDown() {
    Frame f;
    DiscLayer_Shutdown(f.text, sizeof f.text, &f.sys);
    std::error_code ec;
    fs::remove_all(root_, ec);
}

DiscHandle DiscTest::grabber(DiscDeviceAddress a, DiscCallback cb, void* ctx) {
    DiscHandle g = 0;
    Frame f;
    EXPECT_EQ(Grabber_Create(&g, f.text, sizeof f.text, &f.sys, cb, ctx, a.port, a.bus, a.target, a.lun, 2), 0);
    return g;
}

DiscHandle DiscTest::newTree() {
    DiscHandle t = 0;
    Frame f;
    EXPECT_EQ(IsoTree_Create(&t, f.text, sizeof f.text, &f.sys, nullptr, nullptr, 0, 0, 1, 1), 0);
    return t;
}

std::string DiscTest::writeSource(const std::string& name, const std::string& data) {
    fs::path p = sources_ / name;
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << data;
    return p.string();
}

DiscNodeHandle DiscTest::addFile(DiscHandle tree, DiscNodeHandle parent, const std::string& name,
                                 const std::string& data) {
    static int counter = 0;
    std::string path = writeSource("f" + std::to_string(++counter), data);
    DiscNodeHandle n = 0;
    Frame f;
    EXPECT_EQ(IsoTree_Add(tree, f.text, sizeof f.text, &f.sys, path.c_str(), name.c_str(), 0, parent, &n), 0) << f.text;
    return n;
}

DiscNodeHandle DiscTest::addFolder(DiscHandle tree, DiscNodeHandle parent, const std::string& name) {
    DiscNodeHandle n = 0;
    Frame f;
    EXPECT_EQ(IsoTree_Add(tree, f.text, sizeof f.text, &f.sys, nullptr, name.c_str(), 0, parent, &n), 0) << f.text;
    return n;
}

uint32_t DiscTest::nextWritable(DiscHandle g) {
    DiscTrackInformation t {};
    Frame f;
    if (Grabber_GetTrackInformation(g, GF(f), DISC_TRACK_INCOMPLETE, &t) != 0) return 0xFFFFFFFF;
    return t.nextWritableAddress;
}

int DiscTest::burn(DiscHandle g, DiscHandle tree, bool leaveOpen, bool test, const char* label) {
    Frame f;
    uint32_t start = nextWritable(g);
    int rc = IsoTree_Build(tree, f.text, sizeof f.text, &f.sys, start == 0xFFFFFFFF ? 0 : start, 100, 1, label,
                           "Tavell software", "Tavell Burner");
    if (rc) return rc;
    return Grabber_TrackAtOnceFromTree(g, GF(f), tree, 1, test ? 1 : 0, leaveOpen ? 1 : 0, 1, 1);
}

int DiscTest::closeSession(DiscHandle g) {
    Frame f;
    return Grabber_CloseSession(g, GF(f));
}

std::string DiscTest::exportMedium(const std::string& drive) {
    std::string iso = (root_ / (drive + ".iso")).string();
    tool("export " + drive + " " + iso);
    return iso;
}

std::string DiscTest::mediumBytes(const std::string& drive) {
    fs::path folder = data_ / "VirtualDrives";
    return readFile(folder / (drive + ".medium")) + "|" + readFile(folder / (drive + ".img")) + "|" +
           readFile(folder / (drive + ".raw"));
}

std::string DiscTest::tool(const std::string& args) {
    return run(std::string(DISC_TOOL) + " " + data_.string() + " " + args);
}

// cd-info's track lines: "  2: 00:06:41  000341 audio ..."
std::vector<std::pair<uint32_t, std::string>> cdInfoTracks(const std::string& cue) {
    std::string out = run("cd-info --no-cddb --no-device-info --no-disc-mode --cue-file " + cue);
    std::vector<std::pair<uint32_t, std::string>> tracks;
    std::regex line(R"(^\s*\d+: \d\d:\d\d:\d\d\s+(\d+) (\S+))");
    std::istringstream in(out);
    for (std::string l; std::getline(in, l);) {
        std::smatch m;
        if (std::regex_search(l, m, line)) tracks.emplace_back(uint32_t(std::stoul(m[1])), m[2]);
    }
    return tracks;
}

}  // namespace disc_test
