// libFuzzer target of the WAV header reader: any file is read within its
// bounds, and the samples of one it accepts lie wholly inside the file.
#include "wav_file.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/dev/shm/wav-fuzz-" + std::to_string(getpid()) + ".wav";
    static const struct Cleanup {
        ~Cleanup() { unlink(path.c_str()); }
    } cleanup;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    disc::WavFile wav;
    if (!wav.open(path)) {
        if (wav.dataBytes() == 0 || wav.dataBytes() > size) std::abort();
        std::vector<uint8_t> sectors(size_t(wav.sectors()) * 2352);
        if (wav.read(0, wav.sectors(), sectors.data())) std::abort();
    }
    return 0;
}
