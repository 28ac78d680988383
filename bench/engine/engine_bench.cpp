// Benchmark of the engine's data road as a client drives it: fills a file
// tree of the engine through the component interfaces from this process
// (the engine runs out of process), finds every entry again by its path as
// the data editor does when it brings a tree into line, builds the image
// and burns it to a blank DVD-RW in the virtual drive E. Prints the time of
// each phase, then what a look-up costs at the start and at the end of a
// folder of 10,000 entries.
//   engine_bench [entries] [work folder]
// Entries (default 20000) are folders of 99 files each, plus the folders.
#include <engine.h>
#include "../common/burn_sink.h"
#include <com/bstr.h>
#include <com/connection_point.h>
#include <com/object.h>
#include <com/ptr.h>
#include <windows.h>
#include <shared/folders.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using bench::CBurnSink;

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

bool Check(HRESULT hr, const char* what)
{
    if (SUCCEEDED(hr)) return true;
    std::fprintf(stderr, "%s failed: 0x%08lX\n", what, static_cast<unsigned long>(hr));
    return false;
}

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
    com::ComPtr<IDevices> devices;
    com::ComPtr<IDevice> device;
    com::ComPtr<IWriter> writer;
    com::ComPtr<IConnectionPointContainer> container;
    com::ComPtr<IConnectionPoint> point;
    com::ComPtr<_IMessageCallback> sinkItf;
    DWORD cookie = 0;
    if (!Check(devices.CoCreate(CLSID_CoDevices, IID_IDevices, CLSCTX_LOCAL_SERVER), "CoDevices") ||
        !Check(devices->GetDeviceByDriveLetter('E', &device), "GetDeviceByDriveLetter") ||
        !Check(device->QueryInterface(IID_IWriter, reinterpret_cast<void**>(&writer)), "IWriter") ||
        !Check(device->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)),
               "IConnectionPointContainer") ||
        !Check(container->FindConnectionPoint(IID__IMessageCallback, &point), "FindConnectionPoint") ||
        !Check(com::CreateObject<CBurnSink>(IID__IMessageCallback, reinterpret_cast<void**>(&sinkItf)), "sink") ||
        !Check(point->Advise(sinkItf, &cookie), "Advise"))
        return false;
    auto* sink = static_cast<CBurnSink*>(sinkItf.Get());
    const bool started = Check(writer->BurnData(0xBE4C, 0xFFFF, tree, 2), "BurnData");
    const bool ended = started && sink->WaitEnd(600000);
    point->Unadvise(cookie);
    *writeSeconds = sink->WriteMs() / 1000.0;
    InsertBlankDvd();  // the drive as it was
    if (started && !ended) std::fprintf(stderr, "the burn did not end\n");
    return ended && Check(static_cast<HRESULT>(sink->Result()), "the burn");
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

void Report(const char* phase, double seconds, int entries)
{
    std::printf("%-8s %9.3f s  %8.3f ms/entry\n", phase, seconds, seconds * 1000.0 / entries);
}

int Run(int entries, const std::string& work)
{
    const Layout layout = LayoutFor(entries);
    std::printf("entries  %d (%d folders, %d files)\n", entries, layout.folders, layout.files);
    if (!MakeSources(work, layout)) {
        std::fprintf(stderr, "cannot write the sources in %s\n", work.c_str());
        return 1;
    }
    com::ComPtr<IFileTree> tree;
    Stopwatch start;
    if (!Check(tree.CoCreate(CLSID_CoISOFileTree, IID_IFileTree, CLSCTX_LOCAL_SERVER), "CoCreateInstance")) return 1;
    std::printf("%-8s %9.3f s\n", "create", start.Seconds());

    Stopwatch fill;
    if (!Fill(tree, work, layout)) return 1;
    Report("fill", fill.Seconds(), entries);

    Stopwatch find;
    if (!FindAll(tree, layout)) return 1;
    Report("find", find.Seconds(), entries);

    Stopwatch build;
    tree->SetVolumeLabel(com::Bstr("BENCH"));
    if (!Check(tree->BuildImage(), "BuildImage")) return 1;
    Report("build", build.Seconds(), entries);

    // The burn job builds the image itself before it writes: "burn" is the
    // whole job (its start-up pauses of about 1.4 s, the build, the write),
    // "write" the part from its start event to its end.
    Stopwatch burn;
    double write = 0;
    if (!Write(tree, &write)) return 1;
    Report("burn", burn.Seconds(), entries);
    Report("write", write, entries);
    return LargeFolder(10000) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    int entries = argc > 1 ? std::atoi(argv[1]) : 20000;
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    std::string work = argc > 2 ? argv[2] : std::string(temp) + "engine-bench";
    if (entries < 1) {
        std::fprintf(stderr, "usage: engine_bench [entries] [work folder]\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int result = Run(entries, work);
    CoUninitialize();
    return result;
}
