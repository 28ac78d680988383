// Benchmark of the data editor's model with the engine out of process:
// fills a user tree from a folder of small files, brings a fresh engine
// tree into line with it (the preparation of a burn), and burns it to a
// blank DVD-RW in the virtual drive E. Each phase is reported per entry and
// as a multiple of the floor, measured in the same run and, since the
// machine's load drifts, sampled during the phase itself: a cross-process
// call with no interface out, one that hands out a node (with its release),
// and for the write open + read + close of the same source files (before
// the fill, just before the burn and just after it).
//   data_model_bench [entries...] [--inproc-ps]
// (default 2000 and 20000). --inproc-ps first compares a node's proxy from
// the registry's proxy/stub classes with one from classes registered in
// this process, and keeps the latter for the run.
#include "engine.h"
#include <com/bstr.h>
#include <com/object.h>
#include <com/ptr.h>
#include "engine_proxy_registration.h"
#include "../common/device_client.h"
#include <data_editor/model/engine_tree_preparation.h>
#include <frames/common/message_pump.h>
#include <windows.h>
#include <shlobj.h>
#include <algorithm>
#include <functional>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using bench::CBurnSink;
using bench::Stopwatch;

const int FILES_PER_FOLDER = 99;


bool Check(HRESULT hr, const char* what)
{
    if (SUCCEEDED(hr)) return true;
    std::fprintf(stderr, "%s failed: 0x%08lX\n", what, static_cast<unsigned long>(hr));
    return false;
}

// `entries` entries below the sources' own folder: folders of 99 small
// files (512 to 4095 bytes), made once and kept for later runs.
struct Sources {
    std::string folder;
    int folders = 0, files = 0;
    std::vector<std::string> paths;
};

bool MakeSources(const std::string& base, int entries, Sources* sources)
{
    sources->folder = base + "\\set" + std::to_string(entries);
    sources->folders = (entries + FILES_PER_FOLDER) / (FILES_PER_FOLDER + 1);
    sources->files = entries - sources->folders;
    CreateDirectoryA(base.c_str(), nullptr);
    CreateDirectoryA(sources->folder.c_str(), nullptr);
    std::string block(4096, 'x');
    for (int f = 0, made = 0; f < sources->folders; ++f) {
        const std::string dir = sources->folder + "\\Folder" + std::to_string(f);
        CreateDirectoryA(dir.c_str(), nullptr);
        for (int i = 0; i < FILES_PER_FOLDER && made < sources->files; ++i, ++made) {
            const std::string path = dir + "\\file" + std::to_string(i) + ".dat";
            sources->paths.push_back(path);
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

// The preparation's host of a run: no window, no questions, drive E.
class CBenchHost : public IEngineTreePreparationHost {
public:
    void ShowFailure(const std::string& text) override { std::fprintf(stderr, "failure: %s\n", text.c_str()); }
    unsigned AskLockedFile(const std::string&, const std::string&) override { return 0; }
    void ShowProgress(const std::string&) override {}
    // Between steps, now and then, the floor under the same load: a plain
    // call and a node handed out and released, on a tree of their own.
    void Pump() override
    {
        PumpWaitingMessages();
        if (!probe || ++pumps % 25) return;
        Stopwatch call;
        probe->IsDoFinalize();
        const double callMs = call.Ms();
        Stopwatch node;
        {
            com::ComPtr<IFileTreeNode> root;
            probe->GetRootNode(&root);
        }
        const double nodeMs = node.Ms();
        // The step the passes make per file: an Add with its source check,
        // under a folder held by the client, and the new node's release.
        Stopwatch add;
        {
            com::ComPtr<IFileTreeNode> file;
            probe->Add(probeFolder, com::Bstr(probeSource), com::Bstr("probe" + std::to_string(samples)), &file);
        }
        const double addMs = add.Ms();
        sampledCall += callMs;
        sampledNode += nodeMs;
        sampledAdd += addMs;
        ++samples;
    }
    bool CancelRequested() override { return false; }
    void AddProgressAction(const std::string&) override {}
    void RemoveProgressAction() override {}
    int CurrentDeviceId() override { return deviceId; }
    void SourceReady(HRESULT hr, IFileTree* handed) override
    {
        result = hr;
        tree = handed;
    }
    int deviceId = -1;
    HRESULT result = E_FAIL;
    com::ComPtr<IFileTree> tree;
    com::ComPtr<IFileTree> probe;
    com::ComPtr<IFileTreeNode> probeFolder;
    std::string probeSource;
    int pumps = 0, samples = 0;
    double sampledCall = 0, sampledNode = 0, sampledAdd = 0;
};


bool RunDiscTool(const std::string& arguments)
{
    char program[MAX_PATH], appData[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string tool(program);
    tool = tool.substr(0, tool.find_last_of('\\') + 1) + "disc_tool.exe";
    SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    std::string line = "\"" + tool + "\" \"" + appData + "\\Tavell Software\\Vokmar\" " + arguments;
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

// Open + read + close of one of the sources: its milliseconds, -1 when it
// does not open.
double OpenReadClose(const std::string& path)
{
    char buffer[4096];
    Stopwatch watch;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return -1;
    DWORD got = 0;
    ReadFile(h, buffer, sizeof(buffer), &got, nullptr);
    CloseHandle(h);
    return watch.Ms();
}

struct Floor {
    double call = 0;  // ms, a call with no interface out
    double node = 0;  // ms, a call that hands out a node, with its release
    double file = 0, fileFirst = 0;  // ms, open + read + close of a source file: best pass, first
    double infoWithVolume = 0, infoClasses = 0;  // ms, a source's size and times
};

// Every source file, three times: the best pass and the first.
bool MeasureFileFloor(const Sources& sources, Floor* floor)
{
    for (int pass = 0; pass < 3; ++pass) {
        Stopwatch file;
        for (const std::string& path : sources.paths)
            if (OpenReadClose(path) < 0) return false;
        const double ms = file.Ms() / double(sources.paths.size());
        if (pass == 0) floor->fileFirst = floor->file = ms;
        floor->file = std::min(floor->file, ms);
    }
    return true;
}

void PrintFileFloor(const Floor& floor, const char* when)
{
    std::printf("%-6s %9.3f ms       open + read + close of a source file %s (best of three passes; the first "
                "%.3f ms)\n", "floor", floor.file, when, floor.fileFirst);
}

bool MeasureFloor(const Sources& sources, Floor* floor)
{
    com::ComPtr<IFileTree> tree;
    if (!Check(tree.CoCreate(CLSID_CoISOFileTree, IID_IFileTree, CLSCTX_LOCAL_SERVER), "CoISOFileTree")) return false;
    const int calls = 2000;
    tree->IsDoFinalize();
    Stopwatch call;
    for (int i = 0; i < calls; ++i) tree->IsDoFinalize();
    floor->call = call.Ms() / calls;
    Stopwatch node;
    for (int i = 0; i < calls / 4; ++i) {
        com::ComPtr<IFileTreeNode> root;
        tree->GetRootNode(&root);
    }
    floor->node = node.Ms() / (calls / 4);
    if (sources.paths.empty()) return true;
    if (!MeasureFileFloor(sources, floor)) return false;
    // What a source's size and times cost: the call that also asks for the
    // volume, and the two classes the disc layer reads instead.
    HANDLE h = CreateFileA(sources.paths[0].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const int rounds = 500;
    BY_HANDLE_FILE_INFORMATION all;
    Stopwatch withVolume;
    for (int i = 0; i < rounds; ++i) GetFileInformationByHandle(h, &all);
    floor->infoWithVolume = withVolume.Ms() / rounds;
    FILE_STANDARD_INFO standard;
    FILE_BASIC_INFO basic;
    Stopwatch classes;
    for (int i = 0; i < rounds; ++i) {
        GetFileInformationByHandleEx(h, FileStandardInfo, &standard, sizeof(standard));
        GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof(basic));
    }
    floor->infoClasses = classes.Ms() / rounds;
    CloseHandle(h);
    return true;
}

// `floor` was measured before the fill, `recent` just before the burn: at
// 20,000 entries the sync takes minutes, and on a shared machine the page
// cache drops many of the sources meanwhile, so only the recent floor reads
// them as the burn does. The floor is measured once more just after the
// burn: the cost of a call to the system drifts by half within seconds here.
bool Burn(IFileTree* tree, int entries, const Sources& sources, const Floor& floor, const Floor& recent)
{
    bench::CDeviceClient drive;
    if (!drive.Open('E')) return false;
    CBurnSink* sink = drive.Sink();
    Stopwatch burn;
    const bool started = Check(drive.Writer()->BurnData(0xDA7A, 0xFFFF, tree, 2), "BurnData");
    const bool ended = started && sink->WaitEnd(600000);
    const double total = burn.Ms();
    if (!ended || !Check(HRESULT(sink->Result()), "the burn")) return false;
    std::printf("%-6s %9.3f ms/entry %6.2f x call  (the whole job, %.1f s)\n", "burn", total / entries,
                total / entries / floor.call, total / 1000);
    Floor after;
    if (!MeasureFileFloor(sources, &after)) return false;
    PrintFileFloor(after, "just after the burn");
    const double write = sink->WriteMs() / sources.files;
    std::printf("%-6s %9.3f ms/file  %6.2f x open+read+close of the same sources just before the burn, %.2f x "
                "just after it, %.2f x before the fill\n", "write", write, write / recent.file, write / after.file,
                write / floor.file);
    return true;
}

int Run(int entries, const std::string& base)
{
    Sources sources;
    if (!MakeSources(base, entries, &sources)) {
        std::fprintf(stderr, "cannot write the sources in %s\n", base.c_str());
        return 1;
    }
    // The tree holds the sources' folder too, and the root.
    const int total = entries + 2;
    std::printf("entries %d (%d folders, %d files)\n", entries, sources.folders, sources.files);
    Floor floor;
    if (!MeasureFloor(sources, &floor)) return 1;
    std::printf("%-6s %9.3f ms       a call with no interface out\n", "floor", floor.call);
    std::printf("%-6s %9.3f ms       a call that hands out a node, with its release (%.2f x call)\n", "", floor.node,
                floor.node / floor.call);
    std::printf("%-6s %9.3f ms       open + read + close of a source file (best of three passes; the first %.3f ms)\n",
                "", floor.file, floor.fileFirst);
    std::printf("%-6s %9.3f ms       size and times with the volume's serial (GetFileInformationByHandle)\n", "",
                floor.infoWithVolume);
    std::printf("%-6s %9.3f ms       size and times from the standard and basic classes\n", "", floor.infoClasses);

    CUserFSTree tree;
    Stopwatch fill;
    if (!tree.AddPath(tree.GetRoot(), sources.folder.c_str()) || tree.GetEntryCount() != DWORD(total)) {
        std::fprintf(stderr, "the user tree holds %lu entries\n", static_cast<unsigned long>(tree.GetEntryCount()));
        return 1;
    }
    const double fillMs = fill.Ms();
    std::printf("%-6s %9.3f ms/entry %6.2f x call\n", "fill", fillMs / total, fillMs / total / floor.call);

    if (!RunDiscTool("insert E 8")) {
        std::fprintf(stderr, "cannot insert a blank disc in drive E\n");
        return 1;
    }
    CBenchHost host;
    {
        com::ComPtr<IDevices> devices;
        com::ComPtr<IDevice> device;
        unsigned id = 0;
        if (!Check(devices.CoCreate(CLSID_CoDevices, IID_IDevices, CLSCTX_LOCAL_SERVER), "CoDevices") ||
            !Check(devices->GetDeviceByDriveLetter('E', &device), "GetDeviceByDriveLetter") ||
            !Check(device->GetDeviceID(&id), "GetDeviceID"))
            return 1;
        host.deviceId = int(id);
    }
    const std::vector<std::string> removed;
    CDataEditorTexts texts("DataModelBench");
    const EngineTreeJob job = {&tree, &removed, -1, 0};
    com::ComPtr<IFileTreeNode> probeRoot;
    if (!Check(host.probe.CoCreate(CLSID_CoISOFileTree, IID_IFileTree, CLSCTX_LOCAL_SERVER), "CoISOFileTree") ||
        !Check(host.probe->GetRootNode(&probeRoot), "GetRootNode") ||
        !Check(host.probe->Add(probeRoot, nullptr, com::Bstr("Probe"), &host.probeFolder), "Add"))
        return 1;
    host.probeSource = sources.paths[0];
    Stopwatch sync;
    if (!Check(PrepareEngineTree(job, host, texts), "the preparation")) return 1;
    // The samples' own time is not the preparation's.
    const double syncMs = sync.Ms() - host.sampledCall - host.sampledNode - host.sampledAdd;
    const double call = host.sampledCall / host.samples, node = host.sampledNode / host.samples,
                 add = host.sampledAdd / host.samples;
    std::printf("%-6s %9.3f ms       a call, %.3f ms a node handed out and released, %.3f ms a file's Add and "
                "release (sampled during the sync)\n", "", call, node, add);
    // The passes need one Add, which hands out a node, and its release per entry.
    std::printf("%-6s %9.3f ms/entry %6.2f x call, %5.2f x a node, %5.2f x a file's Add and release\n", "sync",
                syncMs / total, syncMs / total / call, syncMs / total / node, syncMs / total / add);

    Floor recent;
    if (!MeasureFileFloor(sources, &recent)) return 1;
    PrintFileFloor(recent, "just before the burn");
    const bool burned = Burn(host.tree, total, sources, floor, recent);
    RunDiscTool("insert E 8");  // the blank disc the engine's tests expect
    return burned ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<int> counts;
    bool inProcess = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--inproc-ps") == 0) inProcess = true;
        else if (std::atoi(argv[i]) > 0) counts.push_back(std::atoi(argv[i]));
    }
    if (counts.empty()) counts = {2000, 20000};
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int result = 0;
    if (inProcess) {
        // A node handed out and released, its proxy made from the registry's
        // classes, then from the ones registered in process.
        Sources none;
        Floor registry, registered;
        if (!MeasureFloor(none, &registry) || !Check(RegisterEngineProxies(), "RegisterEngineProxies") ||
            !MeasureFloor(none, &registered))
            return 1;
        std::printf("proxy/stub classes registered in process: a node and its release %.3f ms, from the registry "
                    "%.3f ms\n", registered.node, registry.node);
    }
    for (int count : counts) {
        if (result == 0) result = Run(count, std::string(temp) + "data-model-bench");
    }
    CoUninitialize();
    return result;
}
