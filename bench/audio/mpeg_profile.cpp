// Where an MP3 decode's time goes, in one process: libmpg123 alone on the
// file held in memory (no file reads at all), libmpg123 reading the file
// itself, and the audio layer's whole decode to 16-bit samples (its file
// reads, the length scan, its locks and copies), each with its wall-clock
// and CPU seconds and the synth the library chose:
//   audio_mpeg_profile <mp3 file>
// run-profile.sh runs it beside Debian's mpg123 on the same file.
#include <audio/audio_layer.h>
#include <mpg123.h>

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

struct Clock {
    LARGE_INTEGER freq, start;
    double cpu0;
    static double Cpu()
    {
        FILETIME c, e, k, u;
        GetProcessTimes(GetCurrentProcess(), &c, &e, &k, &u);
        auto s = [](const FILETIME& t) { return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7; };
        return s(k) + s(u);
    }
    Clock() { QueryPerformanceFrequency(&freq); QueryPerformanceCounter(&start); cpu0 = Cpu(); }
    void Print(const char* what, uint64_t bytes) const
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        std::printf("%-8s %7.3f s wall %7.3f s cpu  %llu bytes\n", what,
                    double(now.QuadPart - start.QuadPart) / double(freq.QuadPart), Cpu() - cpu0,
                    static_cast<unsigned long long>(bytes));
    }
};

void Formats(mpg123_handle* mh)
{
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    mpg123_format_none(mh);
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i) mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
}

uint64_t Drain(mpg123_handle* mh)
{
    std::vector<unsigned char> block(1 << 16);
    uint64_t total = 0;
    for (;;) {
        size_t done = 0;
        const int rc = mpg123_read(mh, block.data(), block.size(), &done);
        total += done;
        if (rc == MPG123_OK || rc == MPG123_NEW_FORMAT) continue;
        break;
    }
    return total;
}

// The whole file in memory, fed to the library at once: the decode alone.
void Bare(const char* path)
{
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return;
    std::vector<unsigned char> data;
    unsigned char buf[1 << 16];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) data.insert(data.end(), buf, buf + n);
    std::fclose(f);
    Clock clock;
    mpg123_handle* mh = mpg123_new(nullptr, nullptr);
    Formats(mh);
    mpg123_open_feed(mh);
    mpg123_feed(mh, data.data(), data.size());
    const uint64_t total = Drain(mh);
    clock.Print("bare", total);
    std::printf("         synth: %s\n", mpg123_current_decoder(mh));
    mpg123_delete(mh);
}

// The library's own open and reads (through the C runtime's file calls).
void Own(const char* path)
{
    Clock clock;
    mpg123_handle* mh = mpg123_new(nullptr, nullptr);
    Formats(mh);
    if (mpg123_open(mh, path) != MPG123_OK) return;
    const uint64_t total = Drain(mh);
    clock.Print("own-read", total);
    mpg123_delete(mh);
}

// The layer's decode: open (with its length scan) and reads of 64 KiB.
void Layer(const char* path)
{
    Clock clock;
    Audio_Start();
    AudioChannel ch = Audio_Open(path, AUDIO_OPEN_DECODE);
    if (!ch) return;
    clock.Print("  open", 0);
    std::vector<char> block(1 << 16);
    uint64_t total = 0;
    for (int32_t got; (got = Audio_Read(ch, block.data(), uint32_t(block.size()))) > 0;) total += uint32_t(got);
    Audio_Close(ch);
    Audio_Stop();
    clock.Print("layer", total);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: audio_mpeg_profile <mp3 file>\n");
        return 2;
    }
    mpg123_init();
    Bare(argv[1]);
    Own(argv[1]);
    Layer(argv[1]);
    return 0;
}
