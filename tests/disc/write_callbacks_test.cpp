// The callbacks of a write: their order and values, their rate, and that the
// layer holds no lock of its own while it calls back.
#include "disc_test_support.h"

#include <chrono>

namespace disc_test {
namespace {

struct Report {
    uint32_t reason;
    int64_t a = 0, b = 0;
    std::chrono::steady_clock::time_point at;
};

struct Recorder {
    std::vector<Report> reports;
    DiscHandle probe = 0;  // queried from inside the callback
    int probeResult = -1;
};

uint32_t record(uint32_t reason, void* context, void* p1, void* p2) {
    auto* r = static_cast<Recorder*>(context);
    Report rep {reason, 0, 0, std::chrono::steady_clock::now()};
    switch (reason) {
    case DISC_CB_TARGET_SIZE: rep.a = *static_cast<uint32_t*>(p1); rep.b = *static_cast<uint32_t*>(p2); break;
    case DISC_CB_FILL_BEGIN: rep.a = *static_cast<uint32_t*>(p1); break;
    case DISC_CB_WRITE_PROGRESS: rep.a = *static_cast<int64_t*>(p1); rep.b = *static_cast<int64_t*>(p2); break;
    case DISC_CB_BUFFER_STATUS: rep.a = *static_cast<uint32_t*>(p1); rep.b = *static_cast<uint32_t*>(p2); break;
    default: break;
    }
    if (r->probe && reason == DISC_CB_WRITE_PROGRESS) {
        Frame f;
        DiscInformation info {};
        r->probeResult = Grabber_GetDiscInformation(r->probe, GF(f), &info);
    }
    r->reports.push_back(rep);
    return 0;
}

class WriteCallbacks : public DiscTest {};

TEST_F(WriteCallbacks, SequenceAndValuesOfATreeWrite) {
    Recorder rec;
    DiscHandle g = grabber(kDvd, record, &rec);
    rec.probe = grabber(kDvd);
    DiscHandle t = newTree();
    addFile(t, IsoTree_GetRoot(t), "big.bin", std::string(20 << 20, 'w'));
    ASSERT_EQ(burn(g, t), 0);
    uint32_t high = 0, low = IsoTree_GetImageSize(t, &high);
    const int64_t total = int64_t(low) | int64_t(high) << 32;

    std::vector<uint32_t> order;
    for (const Report& r : rec.reports)
        if (order.empty() || order.back() != r.reason) order.push_back(r.reason);
    // analyze, target size, fill begin/end, progress with buffer (repeated), flush begin/end
    ASSERT_GE(order.size(), 8u);
    EXPECT_EQ(std::vector<uint32_t>(order.begin(), order.begin() + 4),
              (std::vector<uint32_t> {DISC_CB_ANALYZE_BEGIN, DISC_CB_TARGET_SIZE, DISC_CB_FILL_BEGIN, DISC_CB_FILL_END}));
    EXPECT_EQ(std::vector<uint32_t>(order.end() - 2, order.end()),
              (std::vector<uint32_t> {DISC_CB_FLUSH_BEGIN, DISC_CB_FLUSH_END}));
    const Report& target = rec.reports[1];
    EXPECT_EQ(target.a, 0);
    EXPECT_EQ(target.b * 2048, total);
    EXPECT_EQ(rec.reports[2].a, 2 << 20) << "buffer size of the grabber (2 MB)";

    int64_t last = -1;
    const Report* final = nullptr;
    for (const Report& r : rec.reports) {
        if (r.reason == DISC_CB_WRITE_PROGRESS) {
            EXPECT_EQ(r.a, total);
            EXPECT_GT(r.b, last);
            last = r.b;
            final = &r;
        }
        if (r.reason == DISC_CB_BUFFER_STATUS) EXPECT_LE(r.b, r.a);
    }
    ASSERT_NE(final, nullptr);
    EXPECT_EQ(final->b, total) << "the final report is always sent";
    EXPECT_EQ(rec.probeResult, 0) << "a query from inside the callback must not block";
}

TEST_F(WriteCallbacks, ProgressIsThrottledToAboutTenASecond) {
    std::string spec = readFile(data_ / "VirtualDrives" / "drive0.drive");
    spec.replace(spec.find("emulate_speed=0"), 15, "emulate_speed=1");
    writeSource("../data/VirtualDrives/drive0.drive", spec);
    tool("insert drive0 8");
    Recorder rec;
    DiscHandle g = grabber(kDvd, record, &rec);
    Frame f;
    ASSERT_EQ(Grabber_SetSpeeds(g, GF(f), 0xFFFF, 22160), 0);  // about 21.6 MB/s
    DiscHandle t = newTree();
    addFile(t, IsoTree_GetRoot(t), "big.bin", std::string(24 << 20, 's'));
    auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(burn(g, t), 0);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_GT(seconds, 0.9) << "the emulated speed paces the write";
    std::vector<std::chrono::steady_clock::time_point> times;
    for (const Report& r : rec.reports)
        if (r.reason == DISC_CB_WRITE_PROGRESS) times.push_back(r.at);
    ASSERT_GE(times.size(), 2u);
    for (size_t i = 1; i + 1 < times.size(); ++i)
        EXPECT_GE(times[i] - times[i - 1], std::chrono::milliseconds(95));
    EXPECT_LE(times.size(), size_t(seconds * 10) + 2);
}

struct BuildProbe {
    std::vector<Report> reports;
    DiscHandle tree = 0;
    uint32_t kidDuring = 0;
    int addDuring = -1;
};

uint32_t probeBuild(uint32_t reason, void* context, void* p1, void* p2) {
    auto* r = static_cast<BuildProbe*>(context);
    Report rep {reason, 0, 0, std::chrono::steady_clock::now()};
    if (reason == DISC_CB_TREE_PROGRESS || reason == DISC_CB_TARGET_SIZE) {
        rep.a = *static_cast<uint32_t*>(p1);
        rep.b = *static_cast<uint32_t*>(p2);
    }
    if (reason == DISC_CB_TREE_PROGRESS && r->addDuring < 0) {
        DiscNodeHandle root = IsoTree_GetRoot(r->tree), n = 0;
        r->kidDuring = IsoTree_GetFirstKid(r->tree, root);  // blocks for ever if the tree stayed locked
        Frame f;
        r->addDuring = IsoTree_Add(r->tree, f.text, sizeof f.text, &f.sys, nullptr, "late", 0, root, &n);
    }
    r->reports.push_back(rep);
    return 0;
}

TEST_F(WriteCallbacks, TreeBuildReportsAnalysisProgressAndSize) {
    BuildProbe probe;
    Frame f;
    ASSERT_EQ(IsoTree_Create(&probe.tree, f.text, sizeof f.text, &f.sys, probeBuild, &probe, 0, 0, 1, 1), 0);
    DiscNodeHandle root = IsoTree_GetRoot(probe.tree);
    for (int i = 0; i < 3000; ++i) addFolder(probe.tree, root, "folder " + std::to_string(i));
    auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(IsoTree_Build(probe.tree, f.text, sizeof f.text, &f.sys, 1234, 100, 1, "L", "", ""), 0) << f.text;
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    ASSERT_GE(probe.reports.size(), 4u);
    EXPECT_EQ(probe.reports.front().reason, uint32_t(DISC_CB_ANALYZE_BEGIN));
    const Report& size = probe.reports.back();
    EXPECT_EQ(size.reason, uint32_t(DISC_CB_TARGET_SIZE));
    EXPECT_EQ(size.a, 1234);
    EXPECT_EQ(size.b * 2048, int64_t(IsoTree_GetImageSize(probe.tree, nullptr)));
    std::vector<Report> progress(probe.reports.begin() + 1, probe.reports.end() - 1);
    int64_t last = 0;
    for (const Report& r : progress) {
        EXPECT_EQ(r.reason, uint32_t(DISC_CB_TREE_PROGRESS));
        EXPECT_EQ(r.a, 3001) << "the root counts";
        EXPECT_GT(r.b, last);
        last = r.b;
    }
    EXPECT_EQ(last, 3001) << "the final report is always sent";
    EXPECT_LE(progress.size(), size_t(seconds * 10) + 2) << "throttled";
    EXPECT_NE(probe.kidDuring, 0u) << "the tree can be read from the callback";
    EXPECT_EQ(probe.addDuring, DISC_E_BUSY) << "but not changed";
    DiscNodeHandle n = 0;
    EXPECT_EQ(IsoTree_Add(probe.tree, f.text, sizeof f.text, &f.sys, nullptr, "late", 0, root, &n), 0)
        << "changes are taken again after the build";
}

}  // namespace
}  // namespace disc_test
