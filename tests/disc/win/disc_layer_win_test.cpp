// The disc layer as the engine meets it on Windows: backslash paths, names in
// the ANSI code page, share modes, file times, sparse sources past 4 GiB, and
// the console tool in a process of its own.
#include "disc/disc_layer.h"
#include "../disc_call_frame.h"
#include "files.h"
#include "iso_reader.h"
#include "os_seam.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <map>
#include <string>

namespace {

// A name in the current code page; empty when the code page lacks a character.
std::string ansi(const wchar_t* wide) {
    char out[260] = {};
    BOOL lossy = FALSE;
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, out, sizeof out, nullptr, &lossy);
    return n > 0 && !lossy ? std::string(out) : std::string();
}

std::string programFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.find_last_of('\\') + 1);
}

// Runs disc_tool.exe with `args`; its exit code, stdout and stderr in `output`.
DWORD runTool(const std::string& args, std::string& output) {
    SECURITY_ATTRIBUTES sa {sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return 0xFFFFFFFF;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    std::string command = "\"" + programFolder() + "disc_tool.exe\" " + args;
    PROCESS_INFORMATION pi {};
    BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                  nullptr, &si, &pi);
    CloseHandle(writeEnd);
    output.clear();
    char buf[4096];
    DWORD n = 0;
    while (started && ReadFile(readEnd, buf, sizeof buf, &n, nullptr) && n) output.append(buf, n);
    CloseHandle(readEnd);
    if (!started) return 0xFFFFFFFF;
    WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return code;
}

// Sectors of an image file, for reading a written session back in-process.
class FileSectors : public disc::SectorReader {
public:
    explicit FileSectors(const std::string& path) {
        file_.openRead(path);
        disc::os::FileInfo info;
        if (file_.isOpen() && !file_.info(info)) limit_ = uint32_t(info.size / 2048);
    }
    uint32_t limit() const override { return limit_; }
    bool read(uint32_t lba, uint32_t count, uint8_t* out) override {
        size_t got = 0;
        return uint64_t(lba) + count <= limit_ && !file_.readAt(uint64_t(lba) * 2048, out, count * 2048u, got) &&
               got == count * 2048u;
    }

private:
    disc::os::File file_;
    uint32_t limit_ = 0;
};

// 2001-02-03 04:05:06 UTC
constexpr int64_t kStamp = 981173106;

void setModified(const std::string& path, int64_t unixSeconds) {
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ULARGE_INTEGER v;
    v.QuadPart = uint64_t(unixSeconds + 11644473600LL) * 10000000ULL;
    FILETIME ft {v.LowPart, v.HighPart};
    SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
}

class DiscWin : public ::testing::Test {
protected:
    void SetUp() override {
        data_ = temp_.File("data");
        sources_ = temp_.File("src\\");
        CreateDirectoryA(sources_.c_str(), nullptr);
        Frame f;
        ASSERT_EQ(DiscLayer_Startup(data_.c_str(), f.text, sizeof f.text, &f.sys), 0) << f.text;
    }
    void TearDown() override {
        Frame f;
        DiscLayer_Shutdown(f.text, sizeof f.text, &f.sys);
    }

    DiscHandle grabber(DiscDeviceAddress a) {
        DiscHandle g = 0;
        Frame f;
        EXPECT_EQ(Grabber_Create(&g, f.text, sizeof f.text, &f.sys, nullptr, nullptr, a.port, a.bus, a.target,
                                 a.lun, 2), 0) << f.text;
        return g;
    }
    DiscHandle newTree() {
        DiscHandle t = 0;
        Frame f;
        EXPECT_EQ(IsoTree_Create(&t, f.text, sizeof f.text, &f.sys, nullptr, nullptr, 0, 0, 1, 1), 0);
        return t;
    }
    std::string source(const std::string& name, const std::string& bytes) {
        std::string path = sources_ + name;
        WriteFileBytes(path, bytes);
        return path;
    }
    // Adds a file under its own name (the source's last path component).
    DiscNodeHandle add(DiscHandle t, DiscNodeHandle parent, const std::string& path) {
        DiscNodeHandle n = 0;
        Frame f;
        EXPECT_EQ(IsoTree_Add(t, f.text, sizeof f.text, &f.sys, path.c_str(), nullptr, 0, parent, &n), 0) << f.text;
        return n;
    }
    DiscNodeHandle folder(DiscHandle t, DiscNodeHandle parent, const std::string& name) {
        DiscNodeHandle n = 0;
        Frame f;
        EXPECT_EQ(IsoTree_Add(t, f.text, sizeof f.text, &f.sys, nullptr, name.c_str(), 0, parent, &n), 0) << f.text;
        return n;
    }
    uint32_t nextWritable(DiscHandle g) {
        DiscTrackInformation t {};
        Frame f;
        EXPECT_EQ(Grabber_GetTrackInformation(g, GF(f), DISC_TRACK_INCOMPLETE, &t), 0) << f.text;
        return t.nextWritableAddress;
    }
    int burn(DiscHandle g, DiscHandle t) {
        Frame f;
        int rc = IsoTree_Build(t, f.text, sizeof f.text, &f.sys, nextWritable(g), 100, 1, "DATA", "Tavell software",
                               "Tavell Burner");
        if (rc == 0) rc = Grabber_TrackAtOnceFromTree(g, GF(f), t, 1, 0, 1, 1, 1);
        EXPECT_EQ(rc, 0) << f.text;
        if (rc == 0) rc = Grabber_CloseSession(g, GF(f));
        return rc;
    }
    // "folder\name" -> size of every node under `parent`.
    void walk(DiscHandle t, DiscNodeHandle parent, const std::string& prefix, std::map<std::string, uint64_t>& out) {
        for (DiscNodeHandle k = IsoTree_GetFirstKid(t, parent); k; k = IsoTree_GetNextKid(t, parent, k)) {
            char iso[260], name[260], src[260];
            ASSERT_EQ(IsoTree_GetName(t, k, iso, name, src), 0);
            uint32_t attributes = 0;
            uint64_t size = 0;
            ASSERT_EQ(IsoTree_GetAttributes(t, k, &attributes), 0);
            ASSERT_EQ(IsoTree_GetSize(t, k, &size), 0);
            std::string path = prefix + name;
            if (attributes & 0x10) walk(t, k, path + "\\", out);
            else out[path] = size;
        }
    }
    std::string medium(const char* drive) { return data_ + "\\VirtualDrives\\" + drive + ".img"; }

    TempFolder temp_;
    std::string data_, sources_;
};

uint32_t collectAddress(uint32_t reason, void* context, void* p1, void*) {
    if (reason == DISC_CB_DEVICE_FOUND) {
        auto* a = static_cast<DiscDeviceAddress*>(p1);
        static_cast<std::string*>(context)->append(std::to_string(a->target) + ",");
    }
    return 0;
}

TEST_F(DiscWin, FreshFolderHasTheDefaultDrives) {
    std::string found;
    EXPECT_EQ(DiscLayer_FindDevices(5, 0, collectAddress, &found), 2u);
    EXPECT_EQ(found, "0,1,");
    struct Case { DiscDeviceAddress address; uint32_t type; char letter; };
    for (const Case& c : {Case {kDvd, DISC_MT_DVD_RW_SEQ, 'E'}, Case {kCd, DISC_MT_CD_R, 'F'}}) {
        DiscHandle g = grabber(c.address);
        Frame f;
        uint32_t type = 0;
        ASSERT_EQ(Grabber_GetDiscType(g, GF(f), &type), 0) << f.text;
        EXPECT_EQ(type, c.type);
        char letter[2] = {};
        ASSERT_EQ(DiscLayer_GetDriveLetter(c.address.port, c.address.bus, c.address.target, c.address.lun, letter, 2), 0);
        EXPECT_EQ(letter[0], c.letter);
        DiscHandle_Destroy(&g);
    }
    EXPECT_TRUE(FileExists(data_ + "\\VirtualDrives\\drive1.medium"));
}

TEST_F(DiscWin, CodePageNamesBurnToTheCdAndImportBack) {
    std::string cafe = ansi(L"Caf\u00e9 cr\u00e8me.txt"), sizes = ansi(L"Gr\u00f6\u00dfe"), aero = ansi(L"\u00c6r\u00f8 \u00f1.bin");
    if (cafe.empty() || sizes.empty() || aero.empty()) GTEST_SKIP() << "code page " << GetACP() << " lacks Latin-1";
    CreateDirectoryA((sources_ + sizes).c_str(), nullptr);
    const std::string big(300000, 'b');
    std::string cafePath = source(cafe, "caf\xe9 content!"), aeroPath = source(sizes + "\\" + aero, big);
    std::string emptyPath = source("empty.dat", "");
    setModified(cafePath, kStamp);

    DiscHandle g = grabber(kCd), t = newTree();
    DiscNodeHandle root = IsoTree_GetRoot(t);
    add(t, root, cafePath);
    add(t, folder(t, root, sizes), aeroPath);
    add(t, folder(t, folder(t, root, "deep"), "er"), emptyPath);
    char iso[260], name[260], src[260];
    ASSERT_EQ(IsoTree_GetName(t, IsoTree_GetFirstKid(t, root), iso, name, src), 0);
    EXPECT_EQ(std::string(name), cafe) << "the name after the last backslash";
    EXPECT_EQ(std::string(src), cafePath);
    ASSERT_EQ(burn(g, t), 0);

    Frame f;
    DiscInformation info {};
    ASSERT_EQ(Grabber_GetDiscInformation(g, GF(f), &info), 0);
    EXPECT_EQ(info.discStatus, DISC_STATUS_APPENDABLE);
    DiscTrackInformation track {};
    ASSERT_EQ(Grabber_GetTrackInformation(g, GF(f), 1, &track), 0);
    EXPECT_EQ(nextWritable(g), track.trackSize + 11400) << "first CD session's lead-out and next lead-in";

    DiscHandle back = newTree();
    ASSERT_EQ(IsoTree_ImportSession(g, back, 1, 1, f.text, sizeof f.text, &f.sys), 0) << f.text;
    std::map<std::string, uint64_t> read;
    walk(back, IsoTree_GetRoot(back), "", read);
    EXPECT_EQ(read, (std::map<std::string, uint64_t> {{cafe, 13}, {sizes + "\\" + aero, big.size()},
                                                     {"deep\\er\\empty.dat", 0}}));

    // The date on disc is the source's last write time.
    FileSectors sectors(medium("drive1"));
    disc::ImportedEntry entries;
    ASSERT_FALSE(disc::readIsoSession(sectors, 0, entries));
    bool seen = false;
    for (const auto& e : entries.kids)
        if (e.name == cafe) { seen = true; EXPECT_EQ(e.modified, kStamp); }
    EXPECT_TRUE(seen);
}

TEST_F(DiscWin, FileOpenedWithoutSharingIsInUse) {
    std::string path = source("locked.txt", "locked");
    HANDLE other = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    DiscHandle t = newTree();
    DiscNodeHandle n = 123;
    Frame f;
    EXPECT_EQ(IsoTree_Add(t, f.text, sizeof f.text, &f.sys, path.c_str(), nullptr, 0, IsoTree_GetRoot(t), &n),
              DISC_E_FILE);
    EXPECT_EQ(f.sys, uint32_t(DISC_SYSERR_SHARING_VIOLATION)) << f.text;
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(IsoTree_GetFirstKid(t, IsoTree_GetRoot(t)), 0u);
    CloseHandle(other);
    EXPECT_EQ(IsoTree_Add(t, f.text, sizeof f.text, &f.sys, path.c_str(), nullptr, 0, IsoTree_GetRoot(t), &n), 0);

    // Missing files and folders given as files have their own errors.
    EXPECT_EQ(IsoTree_Add(t, f.text, sizeof f.text, &f.sys, (sources_ + "none.txt").c_str(), nullptr, 0,
                          IsoTree_GetRoot(t), &n), DISC_E_FILE);
    EXPECT_EQ(f.sys, 2u);
    EXPECT_EQ(IsoTree_Add(t, f.text, sizeof f.text, &f.sys, sources_.c_str(), "dir", 0, IsoTree_GetRoot(t), &n),
              DISC_E_FILE);
    EXPECT_EQ(f.sys, 5u);
}

TEST_F(DiscWin, StaleAndForeignHandlesGiveCodes) {
    DiscHandle g = grabber(kCd), t = newTree(), gone = grabber(kDvd);
    ASSERT_EQ(DiscHandle_Destroy(&gone), 0);
    EXPECT_EQ(gone, 0u);
    DiscHandle stale = g + 1;  // never handed out: handles count up
    Frame f;
    uint32_t type = 0;
    for (DiscHandle bad : {DiscHandle(0), stale, t, DiscHandle(0xDEADBEEF)}) {
        EXPECT_EQ(Grabber_GetDiscType(bad, GF(f), &type), DISC_E_INVALID_HANDLE) << bad;
        EXPECT_EQ(f.failure.code, uint32_t(DISC_E_INVALID_HANDLE));
        EXPECT_EQ(Grabber_Cancel(bad), DISC_E_INVALID_HANDLE);
    }
    EXPECT_EQ(Grabber_TrackAtOnceFromTree(g, GF(f), g, 1, 0, 1, 1, 1), DISC_E_INVALID_HANDLE);
    DiscNodeHandle n = 0;
    EXPECT_EQ(IsoTree_Add(g, f.text, sizeof f.text, &f.sys, nullptr, "x", 0, IsoTree_GetRoot(t), &n),
              DISC_E_INVALID_HANDLE);
    DiscHandle other = newTree();
    DiscNodeHandle foreign = IsoTree_GetRoot(other);
    EXPECT_EQ(IsoTree_Add(t, f.text, sizeof f.text, &f.sys, nullptr, "x", 0, foreign, &n), DISC_E_INVALID_HANDLE);
    char a[260], b[260], c[260];
    EXPECT_EQ(IsoTree_GetName(t, foreign, a, b, c), DISC_E_INVALID_HANDLE);
    EXPECT_EQ(IsoTree_Remove(t, &foreign, 1), 0);
    EXPECT_EQ(IsoTree_ImportSession(t, g, 1, 1, f.text, sizeof f.text, &f.sys), DISC_E_INVALID_HANDLE);
    ASSERT_EQ(DiscHandle_Destroy(&other), 0);
    EXPECT_EQ(IsoTree_GetRoot(other), 0u);
    DiscHandle destroyed = t;
    ASSERT_EQ(DiscHandle_Destroy(&t), 0);
    EXPECT_EQ(DiscHandle_Destroy(&destroyed), DISC_E_INVALID_HANDLE);
}

// Past 4 GiB: multi-extent sections and 64-bit offsets in the source and the
// medium. (Wine reports no allocated ranges, so whether the holes stayed holes
// is the native suite's to check.)
TEST_F(DiscWin, SparseSourceBeyondFourGibibytes) {
    const uint64_t size = (4ull << 30) + (64ull << 20), marker = (4ull << 30) + 12345;
    std::string path = sources_ + "sparse.bin";
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &n, nullptr);
    LARGE_INTEGER at;
    at.QuadPart = LONGLONG(size);
    ASSERT_TRUE(SetFilePointerEx(h, at, nullptr, FILE_BEGIN) && SetEndOfFile(h));
    OVERLAPPED ov {};
    ov.Offset = DWORD(marker);
    ov.OffsetHigh = DWORD(marker >> 32);
    ASSERT_TRUE(WriteFile(h, "MARK", 4, &n, &ov));
    CloseHandle(h);

    DiscHandle g = grabber(kDvd), t = newTree();
    add(t, IsoTree_GetRoot(t), path);
    ASSERT_EQ(burn(g, t), 0);
    FileSectors sectors(medium("drive0"));
    disc::ImportedEntry entries;
    ASSERT_FALSE(disc::readIsoSession(sectors, 0, entries));
    ASSERT_EQ(entries.kids.size(), 1u);
    const auto& file = entries.kids[0];
    EXPECT_EQ(file.size, size);
    ASSERT_EQ(file.extents.size(), 2u);
    disc::os::File img;
    ASSERT_EQ(img.openRead(medium("drive0")), 0u);
    char got[4] = {};
    size_t read = 0;
    uint64_t onDisc = uint64_t(file.extents[1].lba) * 2048 + (marker - file.extents[0].size);
    ASSERT_EQ(img.readAt(onDisc, got, 4, read), 0u);
    EXPECT_EQ(std::string(got, 4), "MARK");
}

TEST_F(DiscWin, ConsoleToolListsInsertsEjectsAndExports) {
    std::string out, folderArg = "\"" + data_ + "\"";
    ASSERT_EQ(runTool(folderArg + " list", out), 0u) << out;
    EXPECT_NE(out.find("drive1  F:"), std::string::npos) << out;
    EXPECT_NE(out.find("medium type 2, blank"), std::string::npos) << out;

    DiscHandle g = grabber(kCd);
    Frame f;
    uint32_t stamp = DiscLayer_GetChangeStamp(), type = 0;
    ASSERT_EQ(runTool(folderArg + " insert F 3", out), 0u) << out;
    EXPECT_NE(DiscLayer_GetChangeStamp(), stamp);
    ASSERT_EQ(Grabber_GetDiscType(g, GF(f), &type), 0);
    EXPECT_EQ(type, uint32_t(DISC_MT_CD_RW)) << "the running layer sees the new medium";

    DiscHandle t = newTree();
    add(t, IsoTree_GetRoot(t), source("note.txt", "exported bytes"));
    ASSERT_EQ(burn(g, t), 0);
    std::string iso = temp_.File("out dir\\disc.iso");
    CreateDirectoryA(temp_.File("out dir").c_str(), nullptr);
    ASSERT_EQ(runTool(folderArg + " export drive1 \"" + iso + "\"", out), 0u) << out;
    std::string bytes = ReadFileBytes(iso);
    ASSERT_GE(bytes.size(), 18u * 2048);
    EXPECT_EQ(bytes.size() % 2048, 0u);
    EXPECT_EQ(bytes.substr(16 * 2048 + 1, 5), "CD001");
    EXPECT_EQ(bytes.substr(17 * 2048, 6), std::string("\2CD001", 6)) << "Joliet descriptor";
    EXPECT_NE(bytes.find("exported bytes"), std::string::npos);

    ASSERT_EQ(runTool(folderArg + " eject 1", out), 0u) << out;
    ASSERT_EQ(Grabber_GetDiscType(g, GF(f), &type), 0);
    EXPECT_EQ(type, uint32_t(DISC_MT_NO_MEDIA));
    ASSERT_EQ(runTool(folderArg + " list", out), 0u);
    EXPECT_NE(out.find("no medium"), std::string::npos) << out;

    // A medium whose data is held open (a write running in an engine) stays.
    ASSERT_EQ(runTool(folderArg + " insert F 3", out), 0u) << out;
    ASSERT_EQ(burn(g, newTree()), 0);
    HANDLE held = CreateFileA(medium("drive1").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(runTool(folderArg + " insert F 2", out), 1u) << out;
    DiscInformation info = {};
    ASSERT_EQ(Grabber_GetDiscInformation(g, GF(f), &info), 0);
    EXPECT_EQ(info.mediumType, uint32_t(DISC_MT_CD_RW));
    EXPECT_EQ(info.discStatus, uint8_t(DISC_STATUS_APPENDABLE));
    CloseHandle(held);
    ASSERT_EQ(runTool(folderArg + " insert F 2", out), 0u) << out;
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(medium("drive1").c_str())) << "no old bytes under the new one";

    EXPECT_EQ(runTool(folderArg + " eject drive9", out), 2u) << "unknown drive";
    EXPECT_EQ(runTool(folderArg + " insert F 1", out), 1u) << "a pressed type is no blank";
    EXPECT_NE(out.find("error 1"), std::string::npos) << out;
    EXPECT_EQ(runTool(folderArg, out), 2u) << "usage";
}

// A CUE sheet of Windows text beside its BIN in a folder with a blank,
// written, read into our descriptor in another such folder and written back.
TEST_F(DiscWin, CueWrittenGrabbedAndWrittenBackAcrossWindowsPaths) {
    std::string audio(200 * 2352, '\0');
    for (size_t i = 0; i < audio.size(); ++i) audio[i] = char(i * 7 / 3);
    source("my disc.bin", audio);
    const std::string cue = source("my disc.cue", "FILE \"my disc.bin\" BINARY\r\n  TRACK 01 AUDIO\r\n"
                                                  "    INDEX 01 00:00:00\r\n");
    DiscHandle g = grabber(kCd);
    Frame f;
    ASSERT_EQ(Grabber_SessionAtOnceRawRawPW(g, GF(f), cue.c_str(), 0, 1, 1, 0, 0), 0) << f.text;
    ASSERT_EQ(Grabber_CloseSession(g, GF(f)), 0) << f.text;

    CreateDirectoryA(temp_.File("grab dir").c_str(), nullptr);
    const std::string base = temp_.File("grab dir\\copy");
    ASSERT_EQ(Grabber_GrabCdImage(g, GF(f), base.c_str(), 3, 1, 1, 0, 1, 0), 0) << f.text;
    EXPECT_EQ(ReadFileBytes(base + ".xm0"), audio);
    EXPECT_NE(ReadFileBytes(base + ".mds").find("FILE \"copy.xm0\" BINARY\r\n"), std::string::npos);

    std::string out, folderArg = "\"" + data_ + "\"";
    ASSERT_EQ(runTool(folderArg + " insert F 2", out), 0u) << out;
    ASSERT_EQ(Grabber_SessionAtOnceRawRawPW(g, GF(f), (base + ".mds").c_str(), 0, 1, 1, 0, 0), 0) << f.text;
    ASSERT_EQ(runTool(folderArg + " export-raw F \"" + temp_.File("grab dir\\back") + "\"", out), 0u) << out;
    EXPECT_EQ(ReadFileBytes(temp_.File("grab dir\\back.bin")), audio);
    EXPECT_NE(ReadFileBytes(temp_.File("grab dir\\back.cue")).find("TRACK 01 AUDIO"), std::string::npos);
}

std::string le16(uint32_t v) { return {char(v & 0xFF), char(v >> 8 & 0xFF)}; }
std::string le32(uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }

// A 44,100 Hz 16-bit stereo WAV of `frames` sample pairs of a sine wave;
// its samples in `pcm`.
std::string sineWav(uint32_t frames, double hertz, std::string& pcm, uint32_t rate = 44100) {
    pcm.clear();
    for (uint32_t i = 0; i < frames; ++i) {
        const double x = std::sin(2 * 3.141592653589793 * hertz * i / 44100);
        pcm += le16(uint16_t(int16_t(x * 16000))) + le16(uint16_t(int16_t(x * -9000)));
    }
    const std::string fmt = le16(1) + le16(2) + le32(rate) + le32(rate * 4) + le16(4) + le16(16);
    const std::string body = "WAVEfmt " + le32(16) + fmt + "data" + le32(uint32_t(pcm.size())) + pcm;
    return "RIFF" + le32(uint32_t(body.size())) + body;
}

// WAV files under Windows paths with spaces go on a CD track-at-once, then
// disc-at-once; the raw image the console tool exports holds each track's
// samples padded to whole sectors, after 150 blocks of silence or none.
TEST_F(DiscWin, WavFilesBecomeAudioTracks) {
    const uint32_t frames[] = {44100 + 11, 20001, 33333};
    std::string pcm[3];
    std::unique_ptr<DiscAudioTrackTable> table(new DiscAudioTrackTable {});
    table->count = 3;
    for (int i = 0; i < 3; ++i) {
        const std::string path = source("track " + std::to_string(i + 1) + ".wav", sineWav(frames[i], 300.0 * (i + 1), pcm[i]));
        std::strncpy(table->entries[i], path.c_str(), DISC_AUDIO_ENTRY_BYTES - 1);
    }
    std::string out, folderArg = "\"" + data_ + "\"";
    for (bool dao : {false, true}) {
        SCOPED_TRACE(dao ? "disc-at-once" : "track-at-once");
        ASSERT_EQ(runTool(folderArg + " insert F 2", out), 0u) << out;
        DiscHandle g = grabber(kCd);
        Frame f;
        const int rc = dao ? Grabber_DiscAtOnceAudio(g, GF(f), table.get(), 0, 0, 0, 1, 1, 1)
                           : Grabber_TrackAtOnceAudio(g, GF(f), table.get(), 0, 0, 0, 0, 1, 1);
        ASSERT_EQ(rc, 0) << f.text;
        const std::string base = temp_.File(dao ? "dao out" : "tao out");
        ASSERT_EQ(runTool(folderArg + " export-raw F \"" + base + "\"", out), 0u) << out;
        const std::string bin = ReadFileBytes(base + ".bin");
        size_t at = 0;
        for (int i = 0; i < 3; ++i) {
            if (i > 0 && !dao) {
                EXPECT_EQ(bin.substr(at, 150 * 2352), std::string(150 * 2352, '\0')) << "gap before " << i + 1;
                at += 150 * 2352;
            }
            const size_t sectors = (pcm[i].size() + 2351) / 2352;
            EXPECT_TRUE(bin.substr(at, sectors * 2352) == pcm[i] + std::string(sectors * 2352 - pcm[i].size(), '\0'))
                << "track " << i + 1;
            at += sectors * 2352;
        }
        EXPECT_EQ(bin.size(), at);
        const std::string cue = ReadFileBytes(base + ".cue");
        EXPECT_EQ(cue.find("INDEX 00") != std::string::npos, !dao) << cue;
        DiscInformation info {};
        ASSERT_EQ(Grabber_GetDiscInformation(g, GF(f), &info), 0);
        EXPECT_EQ(info.discStatus, DISC_STATUS_COMPLETE);
        DiscHandle_Destroy(&g);
    }
}

// A table of 100 tracks, or a file of another rate, writes nothing.
TEST_F(DiscWin, RefusedAudioTablesLeaveTheDiscBlank) {
    std::string pcm;
    std::unique_ptr<DiscAudioTrackTable> table(new DiscAudioTrackTable {});
    const std::string good = source("good.wav", sineWav(5000, 440, pcm));
    const std::string slow = source("slow.wav", sineWav(5000, 440, pcm, 48000));
    for (auto& entry : table->entries) std::strncpy(entry, good.c_str(), DISC_AUDIO_ENTRY_BYTES - 1);
    DiscHandle g = grabber(kCd);
    Frame f;
    table->count = 100;
    EXPECT_EQ(Grabber_TrackAtOnceAudio(g, GF(f), table.get(), 0, 0, 0, 0, 1, 1), DISC_E_INVALID_ARGUMENT);
    table->count = 2;
    std::strncpy(table->entries[1], slow.c_str(), DISC_AUDIO_ENTRY_BYTES - 1);
    EXPECT_EQ(Grabber_TrackAtOnceAudio(g, GF(f), table.get(), 0, 0, 0, 0, 1, 1), DISC_E_BAD_IMAGE);
    EXPECT_NE(std::string(f.text).find("48000 Hz"), std::string::npos) << f.text;
    EXPECT_EQ(nextWritable(g), 0u);
    DiscInformation info {};
    ASSERT_EQ(Grabber_GetDiscInformation(g, GF(f), &info), 0);
    EXPECT_EQ(info.discStatus, DISC_STATUS_BLANK);
}

}  // namespace
