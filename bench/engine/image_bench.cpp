// One image job of the engine as a client drives it (the engine runs out of
// process): a raw or ISO image burned to the blank disc in a drive, or the
// disc in a drive grabbed into <base>.mds and its data files. Prints the
// seconds from the job's start event to its end and of the whole job.
//   engine_image_bench burn <drive letter> <image>
//   engine_image_bench grab <drive letter> <base>
// run-image-bench.sh runs it against plain copies of the same bytes.
#include "../common/device_client.h"
#include <com/bstr.h>
#include <windows.h>
#include <cstdio>
#include <cstring>

namespace {

int Run(const char* job, char letter, const char* path)
{
    bench::CDeviceClient drive;
    if (!drive.Open(letter)) return 1;
    bench::Stopwatch whole;
    const bool burn = std::strcmp(job, "burn") == 0;
    const HRESULT started = burn ? drive.Writer()->BurnImage(0xBE4C, 0xFFFF, com::Bstr(path), 2)
                                 : drive.Reader()->GrabImage(0xBE4C, 0xFFFF, com::Bstr(path), 1024);
    if (!bench::CDeviceClient::Check(started, job)) return 1;
    if (!drive.Sink()->WaitEnd(1800000)) {
        std::fprintf(stderr, "the %s did not end\n", job);
        return 1;
    }
    if (!bench::CDeviceClient::Check(static_cast<HRESULT>(drive.Sink()->Result()), job)) return 1;
    std::printf("%.3f %.3f\n", drive.Sink()->WriteMs() / 1000.0, whole.Ms() / 1000.0);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4 || (std::strcmp(argv[1], "burn") != 0 && std::strcmp(argv[1], "grab") != 0)) {
        std::fprintf(stderr, "usage: engine_image_bench burn|grab <drive letter> <image or base>\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int result = Run(argv[1], argv[2][0], argv[3]);
    CoUninitialize();
    return result;
}
