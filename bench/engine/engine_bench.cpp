// Benchmark of the engine's data road as a client drives it: fills a file
// tree of the engine through the component interfaces from this process
// (the engine runs out of process), finds every entry again by its path as
// the data editor does when it brings a tree into line, builds the image
// and burns it to a blank DVD-RW in the virtual drive E. Prints the time of
// each phase per entry beside its floor, measured in the same run: a bare
// cross-process call, and for the write open + read + close of the same
// source files (all in one folder), before the fill, just before the burn
// and again just after it. Then what a look-up costs at the start and at the
// end of a folder of 10,000 entries.
//   engine_bench [entries...] [--work <folder>]
// Entries (default 2000 and 20000) are folders of 99 files each, plus the
// folders; the sources of each size have a folder of their own.
#include <engine.h>
#include "../common/device_client.h"
#include <com/bstr.h>
#include <com/connection_point.h>
#include <com/object.h>
#include <com/ptr.h>
#include <windows.h>
#include <shared/folders.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using bench::CDeviceClient;

const int FILES_PER_FOLDER = 99;

class Stopwatch {
public:
    Stopwatch() { QueryPerformanceFrequency(&m_frequency); QueryPerformanceCounter(&m_start); }
    double Seconds() const
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return double(now.QuadPart - m_start.QuadPart) / double(m_frequency.QuadPart);
    }
private:
    LARGE_INTEGER m_frequency, m_start;
};

struct Layout {
    int folders, files;
    std::string FolderName(int f) const { return "Folder" + std::to_string(f); }
    std::string FileName(int f, int i) const { return "file" + std::to_string(f) + "_" + std::to_string(i) + ".dat"; }
    int FilesIn(int f) const { return std::min(FILES_PER_FOLDER, files - f * FILES_PER_FOLDER); }
};

Layout LayoutFor(int entries)
{
    int folders = (entries + FILES_PER_FOLDER) / (FILES_PER_FOLDER + 1);
    return Layout{folders, entries - folders};
}

// The source files on disk, made once and kept for later runs.
bool MakeSources(const std::string& work, const Layout& layout)
{
    CreateDirectoryA(work.c_str(), nullptr);
    std::string block(4096, 'x');
    for (int f = 0; f < layout.folders; ++f) {
        for (int i = 0; i < layout.FilesIn(f); ++i) {
            std::string path = work + "\\" + layout.FileName(f, i);
            if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
            HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            if (file == INVALID_HANDLE_VALUE) return false;
            DWORD written = 0;
            WriteFile(file, block.data(), DWORD(512 + (f * 131 + i * 97) % 3584), &written, nullptr);
            CloseHandle(file);
        }
    }
    return true;
}

bool (*const Check)(HRESULT, const char*) = CDeviceClient::Check;

bool Fill(IFileTree* tree, const std::string& work, const Layout& layout)
{
    com::ComPtr<IFileTreeNode> root;
    if (!Check(tree->GetRootNode(&root), "GetRootNode")) return false;
    for (int f = 0; f < layout.folders; ++f) {
        com::ComPtr<IFileTreeNode> folder;
        if (!Check(tree->Add(root, nullptr, com::Bstr(layout.FolderName(f)), &folder), "Add folder")) return false;
        for (int i = 0; i < layout.FilesIn(f); ++i) {
            com::ComPtr<IFileTreeNode> file;
            com::Bstr source(work + "\\" + layout.FileName(f, i));
            if (!Check(tree->Add(folder, source, nullptr, &file), "Add file")) return false;
        }
    }
    return true;
}

bool FindAll(IFileTree* tree, const Layout& layout)
{
    for (int f = 0; f < layout.folders; ++f) {
        for (int i = -1; i < layout.FilesIn(f); ++i) {
            std::string path = layout.FolderName(f) + (i < 0 ? "" : "\\" + layout.FileName(f, i));
            com::ComPtr<IFileTreeNode> node;
            if (!Check(tree->GetNodeByPath(&node, com::Bstr(path)), path.c_str())) return false;
        }
    }
    return true;
}


// A blank DVD-RW in drive E (the medium a fresh drive folder has, which the
// engine's tests in the same prefix expect), put there by the disc layer's
// console tool beside this program, as a user would insert one.
bool InsertBlankDvd()
{
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string tool(program);
    tool = tool.substr(0, tool.find_last_of('\\') + 1) + "disc_tool.exe";
    std::string line = "\"" + tool + "\" \"" + EngineDataFolder() + "\" insert E 8";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    DWORD code = 1;
    if (WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code == 0;
}

// Burns the tree to drive E at the highest speed and waits for the end;
// the seconds from the job's start event to its end.
bool Write(IFileTree* tree, double* writeSeconds)
{
    if (!InsertBlankDvd()) {
        std::fprintf(stderr, "cannot insert a blank disc in drive E\n");
        return false;
    }
    bool ended = false;
    {
        CDeviceClient drive;
        if (!drive.Open('E')) return false;
        const bool started = Check(drive.Writer()->BurnData(0xBE4C, 0xFFFF, tree, 2), "BurnData");
        ended = started && drive.Sink()->WaitEnd(600000);
        *writeSeconds = drive.Sink()->WriteMs() / 1000.0;
        if (started && !ended) std::fprintf(stderr, "the burn did not end\n");
        ended = ended && Check(static_cast<HRESULT>(drive.Sink()->Result()), "the burn");
    }
    InsertBlankDvd();  // the drive as it was
    return ended;
}

// A second tree with one folder of `count` folders: a look-up of its last
// entry should cost what one of its first does (the folder's index, not a
// walk of its siblings). Prints the milliseconds a look-up of each.
bool LargeFolder(int count)
{
    com::ComPtr<IFileTree> tree;
    com::ComPtr<IFileTreeNode> root, big;
    if (!Check(tree.CoCreate(CLSID_CoISOFileTree, IID_IFileTree, CLSCTX_LOCAL_SERVER), "CoCreateInstance") ||
        !Check(tree->GetRootNode(&root), "GetRootNode") ||
        !Check(tree->Add(root, nullptr, com::Bstr("Big"), &big), "Add folder"))
        return false;
    for (int i = 0; i < count; ++i) {
        com::ComPtr<IFileTreeNode> entry;
        if (!Check(tree->Add(big, nullptr, com::Bstr("Entry" + std::to_string(i)), &entry), "Add folder")) return false;
    }
    const int rounds = 200;
    for (int i : {0, count - 1}) {
        const com::Bstr path("Big\\Entry" + std::to_string(i));
        Stopwatch lookups;
        for (int round = 0; round < rounds; ++round) {
            com::ComPtr<IFileTreeNode> node;
            if (!Check(tree->GetNodeByPath(&node, path), "GetNodeByPath")) return false;
        }
        std::printf("%-8s %9.3f ms a look-up of entry %d of %d in one folder\n", i ? "last" : "first",
                    lookups.Seconds() * 1000.0 / rounds, i + 1, count);
    }
    return true;
}

// The best and the first of three rounds of a measure.
struct Floor {
    double best = 0, first = 0;
};

template <class Measure>
Floor BestOfThree(Measure measure)
{
    Floor floor;
    for (int round = 0; round < 3; ++round) {
        const double ms = measure();
        if (round == 0) floor.first = floor.best = ms;
        floor.best = std::min(floor.best, ms);
    }
    return floor;
}

// A bare cross-process call: the milliseconds one costs.
Floor CallFloor(IFileTree* tree)
{
    const int calls = 500;
    return BestOfThree([&] {
        Stopwatch watch;
        for (int i = 0; i < calls; ++i) tree->IsDoFinalize();
        return watch.Seconds() * 1000.0 / calls;
    });
}

// Open + read + close of every source file: the milliseconds a file costs.
Floor FileFloor(const std::string& work, const Layout& layout)
{
    return BestOfThree([&] {
        char buffer[4096];
        Stopwatch watch;
        for (int f = 0; f < layout.folders; ++f) {
            for (int i = 0; i < layout.FilesIn(f); ++i) {
                HANDLE h = CreateFileA((work + "\\" + layout.FileName(f, i)).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
                DWORD got = 0;
                if (h != INVALID_HANDLE_VALUE) ReadFile(h, buffer, sizeof(buffer), &got, nullptr);
                CloseHandle(h);
            }
        }
        return watch.Seconds() * 1000.0 / layout.files;
    });
}

void Report(const char* phase, double seconds, int count, const char* per, double floorMs, const char* floor)
{
    const double ms = seconds * 1000.0 / count;
    std::printf("%-8s %9.3f s  %8.3f ms/%-5s %6.2f x %s\n", phase, seconds, ms, per, ms / floorMs, floor);
}

int Run(int entries, const std::string& work)
{
    const Layout layout = LayoutFor(entries);
    std::printf("entries  %d (%d folders, %d files in one source folder)\n", entries, layout.folders, layout.files);
    if (!MakeSources(work, layout)) {
        std::fprintf(stderr, "cannot write the sources in %s\n", work.c_str());
        return 1;
    }
    com::ComPtr<IFileTree> tree;
    Stopwatch start;
    if (!Check(tree.CoCreate(CLSID_CoISOFileTree, IID_IFileTree, CLSCTX_LOCAL_SERVER), "CoCreateInstance")) return 1;
    std::printf("%-8s %9.3f s\n", "create", start.Seconds());
    const Floor call = CallFloor(tree), file = FileFloor(work, layout);
    std::printf("%-8s %9.3f ms       a bare call (best of three rounds; the first %.3f ms)\n", "floor", call.best,
                call.first);
    std::printf("%-8s %9.3f ms       open + read + close of a source file (best of three; the first %.3f ms)\n", "",
                file.best, file.first);

    Stopwatch fill;
    if (!Fill(tree, work, layout)) return 1;
    Report("fill", fill.Seconds(), entries, "entry", call.best, "call");

    Stopwatch find;
    if (!FindAll(tree, layout)) return 1;
    Report("find", find.Seconds(), entries, "entry", call.best, "call");

    Stopwatch build;
    tree->SetVolumeLabel(com::Bstr("BENCH"));
    if (!Check(tree->BuildImage(), "BuildImage")) return 1;
    Report("build", build.Seconds(), entries, "entry", call.best, "call");

    // The floor again just before the burn: at 20,000 entries the fill and
    // the find take minutes, and on a shared machine the page cache drops
    // many of the sources meanwhile; the floor measured before the fill read
    // them from memory, the burn would read them from the disk.
    const Floor before = FileFloor(work, layout);
    std::printf("%-8s %9.3f ms       open + read + close just before the burn (best of three; the first %.3f ms)\n",
                "floor", before.best, before.first);

    // The burn job builds the image itself before it writes: "burn" is the
    // whole job (its start-up pauses of about 1.4 s, the build, the write),
    // "write" the part from its start event to its end.
    Stopwatch burn;
    double write = 0;
    if (!Write(tree, &write)) return 1;
    Report("burn", burn.Seconds(), entries, "entry", call.best, "call");
    // The floor again just after the write: the machine's state a few
    // minutes after the first measure can differ more than the two roads do.
    const Floor after = FileFloor(work, layout);
    std::printf("%-8s %9.3f ms       open + read + close again after the burn (best of three; the first %.3f ms)\n",
                "floor", after.best, after.first);
    Report("write", write, layout.files, "file", before.best, "open+read+close just before the burn");
    Report("", write, layout.files, "file", after.best, "open+read+close after the burn");
    Report("", write, layout.files, "file", file.best, "open+read+close before the fill");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<int> counts;
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    std::string work = std::string(temp) + "engine-bench";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--work") == 0 && i + 1 < argc) work = argv[++i];
        else if (std::atoi(argv[i]) > 0) counts.push_back(std::atoi(argv[i]));
        else {
            std::fprintf(stderr, "usage: engine_bench [entries...] [--work <folder>]\n");
            return 2;
        }
    }
    if (counts.empty()) counts = {2000, 20000};
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int result = 0;
    for (int count : counts)
        if (result == 0) result = Run(count, work + "-" + std::to_string(count));
    if (result == 0 && !LargeFolder(10000)) result = 1;
    CoUninitialize();
    return result;
}
