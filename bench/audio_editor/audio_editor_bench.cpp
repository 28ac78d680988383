// Adding tracks through the audio editor against the layout's own inserts
// of the same files from a bare client, in the same run: a 10-file and a
// 99-file add each way, reported per track and as the editor's multiple.
//   audio_editor_bench.exe <folder of audio files>
#include "audio_editor_frame.h"
#include <com/bstr.h>
#include <com/object.h>
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

// The same files added through the editor, its window shown.
double EditorAdd(const std::vector<std::string>& files, HWND host)
{
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
    BareInserts({files[0]});  // the engine started, the files' pages read once
    for (size_t n : {size_t(10), size_t(99)}) {
        const std::vector<std::string> some(files.begin(), files.begin() + long(n));
        const double bare = BareInserts(some), edited = EditorAdd(some, host);
        std::printf("%3u tracks: bare client %.2f ms a track, editor %.2f ms a track, editor / bare %.2f\n",
                    unsigned(n), bare * 1000 / double(n), edited * 1000 / double(n), edited / bare);
    }
    DestroyWindow(host);
    OleUninitialize();
    return 0;
}
