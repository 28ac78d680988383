// Benchmark of image building and writing: the disc layer against
// `xorriso -as mkisofs -J` and `genisoimage -J` on the same trees, and against
// a plain copy of the same bytes; then a raw image burn and a grab of a full
// CD and of a 4 GiB DVD, each against a plain copy of the same bytes. Prints
// the best of three runs in seconds and the ratios.
//   disc_bench <work folder> [images]   (images: only the burns and grabs)
#include "disc/disc_layer.h"

#include <algorithm>
#include <cstring>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Deterministic bytes that do not compress or collapse into holes.
void fillFile(const fs::path& p, uint64_t size, uint64_t seed) {
    std::vector<uint64_t> block(1 << 17);
    std::ofstream out(p, std::ios::binary);
    for (uint64_t done = 0; done < size;) {
        for (uint64_t& w : block) { seed ^= seed << 13; seed ^= seed >> 7; seed ^= seed << 17; w = seed; }
        size_t n = size_t(std::min<uint64_t>(size - done, block.size() * 8));
        out.write(reinterpret_cast<const char*>(block.data()), std::streamsize(n));
        done += n;
    }
}

void makeSmallTree(const fs::path& root) {
    for (int d = 0; d < 200; ++d) {
        fs::path dir = root / ("folder" + std::to_string(d));
        fs::create_directories(dir);
        for (int f = 0; f < 100; ++f) fillFile(dir / ("file" + std::to_string(f) + ".dat"), 512 + (f * 97 % 4096), d * 1000 + f + 1);
    }
}

void makeLargeTree(const fs::path& root) {
    fs::create_directories(root);
    for (int f = 0; f < 4; ++f) fillFile(root / ("large" + std::to_string(f) + ".bin"), 256ull << 20, f + 7);
}

struct Layer {
    char text[1024] = {};
    uint32_t sys = 0;
    DiscFailureRecord failure = {};
};

bool addFolder(DiscHandle tree, DiscNodeHandle parent, const fs::path& folder, Layer& l) {
    for (const auto& entry : fs::directory_iterator(folder)) {
        DiscNodeHandle node = 0;
        std::string name = entry.path().filename().string(), path = entry.path().string();
        bool dir = entry.is_directory();
        if (IsoTree_Add(tree, l.text, sizeof l.text, &l.sys, dir ? nullptr : path.c_str(), name.c_str(), 0, parent, &node))
            return false;
        if (dir && !addFolder(tree, node, entry.path(), l)) return false;
    }
    return true;
}

// Fills a tree from the folder, builds it and writes it to a blank DVD+R DL.
double layerRun(const fs::path& source, const fs::path& data) {
    fs::remove_all(data);
    std::system("sync");
    Layer l;
    if (DiscLayer_Startup(data.string().c_str(), l.text, sizeof l.text, &l.sys)) return -1;
    std::string tool = "\"" DISC_TOOL "\" " + data.string() + " insert drive0 15 >/dev/null";
    if (std::system(tool.c_str()) != 0) return -1;
    auto start = std::chrono::steady_clock::now();
    DiscHandle g = 0, tree = 0;
    Grabber_Create(&g, l.text, sizeof l.text, &l.sys, nullptr, nullptr, 1, 0, 0, 0, 2);
    IsoTree_Create(&tree, l.text, sizeof l.text, &l.sys, nullptr, nullptr, 0, 0, 1, 1);
    bool ok = addFolder(tree, IsoTree_GetRoot(tree), source, l) &&
              IsoTree_Build(tree, l.text, sizeof l.text, &l.sys, 0, 100, 1, "BENCH", "Tavell software", "Tavell Burner") == 0 &&
              Grabber_TrackAtOnceFromTree(g, l.text, sizeof l.text, &l.sys, &l.failure, tree, 1, 0, 0, 1, 1) == 0;
    double t = seconds(start);
    if (!ok) std::fprintf(stderr, "layer failed: %s\n", l.text);
    DiscLayer_Shutdown(l.text, sizeof l.text, &l.sys);
    fs::remove_all(data);
    return ok ? t : -1;
}

double commandRun(const std::string& command, const fs::path& output) {
    std::system("sync");  // no earlier run's dirty pages slow this one down
    auto start = std::chrono::steady_clock::now();
    int rc = std::system(command.c_str());
    double t = seconds(start);
    fs::remove(output);
    return rc == 0 ? t : -1;
}

// The fastest of three runs: single runs of the copy vary by a third here.
template <class Run>
double best(Run run) {
    double t = run();
    for (int i = 0; i < 2 && t >= 0; ++i) {
        double again = run();
        t = again < 0 ? again : std::min(t, again);
    }
    return t;
}

void report(const char* what, double layer, double xorriso, double genisoimage) {
    std::printf("%-34s layer %7.2f s   xorriso %7.2f s   genisoimage %7.2f s   layer/xorriso %.2f   layer/genisoimage %.2f\n",
                what, layer, xorriso, genisoimage, layer / xorriso, layer / genisoimage);
}

// Writes the image session-at-once to a fresh blank medium of `type` in drive
// `drive` (timed), then grabs the disc (timed) into `grab`.
struct ImageTimes { double burn = -1, grab = -1; };

ImageTimes imageRun(const fs::path& image, const fs::path& data, const fs::path& grab, bool dvd) {
    ImageTimes t;
    fs::remove_all(data);
    Layer l;
    if (DiscLayer_Startup(data.string().c_str(), l.text, sizeof l.text, &l.sys)) return t;
    std::string tool = "\"" DISC_TOOL "\" " + data.string() + (dvd ? " insert drive0 8" : " insert drive1 2") + " >/dev/null";
    DiscHandle g = 0;
    if (std::system(tool.c_str()) == 0 &&
        Grabber_Create(&g, l.text, sizeof l.text, &l.sys, nullptr, nullptr, 1, 0, dvd ? 0 : 1, 0, 2) == 0) {
        std::system("sync");
        auto start = std::chrono::steady_clock::now();
        bool ok = Grabber_SessionAtOnceRawRawPW(g, l.text, sizeof l.text, &l.sys, &l.failure, image.string().c_str(),
                                                0, 1, 1, 0, 0) == 0 &&
                  Grabber_CloseSession(g, l.text, sizeof l.text, &l.sys, &l.failure) == 0;
        if (ok) t.burn = seconds(start);
        std::system("sync");
        start = std::chrono::steady_clock::now();
        ok = ok && (dvd ? Grabber_GrabDvdImage(g, l.text, sizeof l.text, &l.sys, &l.failure, grab.string().c_str(),
                                               1024, 1, 1, 0, 1)
                        : Grabber_GrabCdImage(g, l.text, sizeof l.text, &l.sys, &l.failure, grab.string().c_str(), 3,
                                              1, 1, 0, 1, 0)) == 0;
        if (ok) t.grab = seconds(start);
        if (!ok) std::fprintf(stderr, "layer failed: %s\n", l.text);
    }
    DiscLayer_Shutdown(l.text, sizeof l.text, &l.sys);
    fs::remove_all(data);
    for (const char* ext : {".mds", ".xm0", ".xm1", ".xm2", ".xm3", ".xm4"}) fs::remove(grab.string() + ext);
    return t;
}

// A full CD as a raw Mode 1 image (with its CUE sheet), made once.
fs::path makeCdImage(const fs::path& work) {
    fs::path bin = work / "fullcd.bin", cue = work / "fullcd.cue";
    if (!fs::exists(cue)) {
        std::vector<uint8_t> sector(2352);
        std::ofstream out(bin, std::ios::binary);
        uint64_t seed = 99;
        for (uint32_t lba = 0; lba < 359848; ++lba) {
            for (size_t i = 16; i < 2064; i += 8) {
                seed ^= seed << 13; seed ^= seed >> 7; seed ^= seed << 17;
                std::memcpy(&sector[i], &seed, 8);
            }
            static const uint8_t sync[12] = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0};
            std::memcpy(sector.data(), sync, 12);
            sector[15] = 1;
            out.write(reinterpret_cast<const char*>(sector.data()), 2352);
        }
        std::ofstream(cue) << "FILE \"fullcd.bin\" BINARY\n  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\n";
    }
    return cue;
}

void imageBenchmarks(const fs::path& work) {
    const fs::path copy = work / "copy.out";
    struct Case { const char* what; fs::path image, data; bool dvd; };
    fs::path dvdImage = work / "dvd4g.iso";
    if (!fs::exists(dvdImage)) fillFile(dvdImage, 4ull << 30, 4242);
    for (const Case& c : {Case {"(c) full CD, raw Mode 1", makeCdImage(work), work / "cd.bin", false},
                          Case {"(d) 4 GiB DVD", dvdImage, dvdImage, true}}) {
        ImageTimes fastest {1e9, 1e9};
        for (int i = 0; i < 3; ++i) {
            ImageTimes t = imageRun(c.image, work / "data", work / "grab", c.dvd);
            if (t.burn < 0 || t.grab < 0) { std::printf("%s: failed\n", c.what); return; }
            fastest.burn = std::min(fastest.burn, t.burn);
            fastest.grab = std::min(fastest.grab, t.grab);
        }
        const fs::path bytes = c.dvd ? c.image : work / "fullcd.bin";
        double plain = best([&] { return commandRun("cat " + bytes.string() + " > " + copy.string(), copy); });
        std::printf("%-34s burn %7.2f s   grab %7.2f s   copy %7.2f s   burn/copy %.2f   grab/copy %.2f\n", c.what,
                    fastest.burn, fastest.grab, plain, fastest.burn / plain, fastest.grab / plain);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) { std::fprintf(stderr, "usage: disc_bench <work folder> [images]\n"); return 2; }
    fs::path work = argv[1];
    fs::create_directories(work);
    const bool imagesOnly = argc > 2 && std::string(argv[2]) == "images";
    fs::path small = work / "small", large = work / "large", out = work / "out.iso";
    if (!imagesOnly) {
        if (!fs::exists(small)) makeSmallTree(small);
        if (!fs::exists(large)) makeLargeTree(large);
        std::system(("cat " + (large / "*").string() + " > /dev/null").c_str());  // warm the cache
    }

    for (const fs::path& tree : {small, large}) {
        if (imagesOnly) break;
        double layer = best([&] { return layerRun(tree, work / "data"); });
        double xorriso = best([&] {
            return commandRun("xorriso -as mkisofs -quiet -J -o " + out.string() + " " + tree.string() + " 2>/dev/null", out);
        });
        double geniso = best([&] {
            return commandRun("genisoimage -quiet -J -o " + out.string() + " " + tree.string() + " 2>/dev/null", out);
        });
        report(tree == small ? "(a) 20,000 small files, 200 folders" : "(b) four 256 MiB files", layer, xorriso, geniso);
        if (tree == large) {
            double copy = best([&] { return commandRun("cat " + (large / "*").string() + " > " + out.string(), out); });
            std::printf("%-34s copy %7.2f s   layer/copy %.2f\n", "(b) plain copy of the same bytes", copy, layer / copy);
        }
    }
    imageBenchmarks(work);
    return 0;
}
