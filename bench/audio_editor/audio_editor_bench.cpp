// Adding tracks through the audio editor against the layout's own inserts
// of the same files from a bare client, in the same run: a 10-file and a
// 99-file add each way, best of three, reported per track and as the
// editor's multiple, with the time the list then takes to draw.
//   audio_editor_bench.exe <folder of audio files>
#include "audio_editor_frame.h"
#include <com/bstr.h>
#include <com/object.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double Now()
{
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return double(t.QuadPart) / double(f.QuadPart);
}

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return files;
    do
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(folder + "\\" + found.cFileName);
    while (FindNextFileA(find, &found));
    FindClose(find);
    return files;
}

// The layout's own inserts from this process, as a bare client makes them.
double BareInserts(const std::vector<std::string>& files)
{
    com::ComPtr<IObjectCreator> creator;
    creator.CoCreate(CLSID_CoDevices, IID_IObjectCreator, CLSCTX_LOCAL_SERVER);
    com::ComPtr<IUnknown> made;
    com::ComPtr<IAudioCDLayout> layout;
    if (!creator || FAILED(creator->CreateObject(CLSID_CoAudioCDLayout, &made)) ||
        FAILED(made.As(IID_IAudioCDLayout, &layout)))
        return -1;
    const double start = Now();
    for (size_t i = 0; i < files.size(); ++i) layout->InsertTrack(unsigned(i), com::Bstr(files[i]));
    return Now() - start;
}

// The same files added through the editor, its window shown; `drawn` gets
// the time of the list's first paint after the add, which is not the add's.
double EditorAdd(const std::vector<std::string>& files, HWND host, double& drawn)
{
    drawn = -1;
    com::ComPtr<IUnknown> object;
    if (FAILED(com::CreateObject<CCoHollistra>(IID_IUnknown, reinterpret_cast<void**>(&object)))) return -1;
    com::ComPtr<IOwnWindow> own;
    object.As(IID_IOwnWindow, &own);
    if (!own || FAILED(own->CreateOwnWindow(host))) return -1;
    HWND window = nullptr;
    own->GetOwnWindow(&window);
    MoveWindow(window, 0, 0, 600, 400, TRUE);
    ShowWindow(window, SW_SHOW);
    CCoHollistra* editor = static_cast<CCoHollistra*>(own.Get());
    // The editor is drawn and has the focus before the add, as a user's
    // editor has.
    SetForegroundWindow(host);
    SetFocus(editor->TrackList());
    for (const double until = Now() + 0.5; Now() < until;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(10);
    }
    const double start = Now();
    editor->AddPaths(files, -1);
    const double spent = Now() - start;
    const double paintStart = Now();
    UpdateWindow(editor->TrackList());
    drawn = Now() - paintStart;
    unsigned count = 0;
    editor->Layout()->GetTrackCount(&count);
    if (count != files.size()) std::printf("  (the editor took %u of %u files)\n", count, unsigned(files.size()));
    DestroyWindow(window);
    return spent;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::printf("usage: audio_editor_bench <folder of 99 audio files>\n");
        return 2;
    }
    OleInitialize(nullptr);
    std::vector<std::string> files = FilesIn(argv[1]);
    if (files.size() < 99) {
        std::printf("%u files in %s, 99 wanted\n", unsigned(files.size()), argv[1]);
        return 2;
    }
    files.resize(99);
    HWND host = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                                nullptr, nullptr, nullptr);
    // The engine started and every file read once, so that neither way is
    // the first to read a file.
    BareInserts(files);
    for (size_t n : {size_t(10), size_t(99)}) {
        const std::vector<std::string> some(files.begin(), files.begin() + long(n));
        // The best of three, the two ways taking turns: the machine is shared.
        double bare = 1e9, edited = 1e9, drawn = 0;
        for (int round = 0; round < 3; ++round) {
            double paint = 0;
            const double b = BareInserts(some), e = EditorAdd(some, host, paint);
            if (b < 0 || e < 0) {
                std::printf("no layout or no editor\n");
                return 1;
            }
            bare = std::min(bare, b);
            if (e < edited) {
                edited = e;
                drawn = paint;
            }
        }
        std::printf("%3u tracks: bare client %.2f ms a track, editor %.2f ms a track, editor / bare %.2f"
                    " (then the list drawn in %.1f ms)\n",
                    unsigned(n), bare * 1000 / double(n), edited * 1000 / double(n), edited / bare, drawn * 1000);
    }
    DestroyWindow(host);
    OleUninitialize();
    return 0;
}
