// Benchmark of the engine's data road as a client drives it: fills a file
// tree of the engine through the component interfaces from this process
// (the engine runs out of process), finds every entry again by its path as
// the data editor does when it brings a tree into line, and builds the
// image. Prints the time of each phase.
//   engine_bench [entries] [work folder]
// Entries (default 20000) are folders of 99 files each, plus the folders.
#include "engine.h"
#include <com/bstr.h>
#include <com/ptr.h>
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

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

    // The write phase joins here with the data burn job: IWriter::BurnData
    // of the tree to a blank virtual disc, timed until its end event.
    std::printf("%-8s %9s\n", "write", "-");
    return 0;
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
