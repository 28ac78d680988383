// The engine's tray and information windows in one process: the menu built
// for the scanned state and the drives, the texts built over a device's
// getters (a fake device counts what is asked), the information view, and
// the tray calls the device list makes when it starts, scans, is unloaded
// and ends, recorded through the tray seam.
#include <gtest/gtest.h>
#include "devices/devices.h"
#include "vokmar_process.h"
#include "windows/information_texts.h"
#include "windows/info_window.h"
#include "windows/resource.h"
#include "windows/shell_icon.h"
#include "windows/tray_menu.h"
#include "windows/tray_shell.h"
#include <com/bstr.h>
#include <com/local_server.h>
#include <com/object.h>
#include <com/ptr.h>
#include <functional>
#include <map>
#include <mutex>

namespace {

// --- a fake drive ---

class CFakeSpeeds : public com::ObjectRoot<com::MultiThreadModel>, public IDeviceSpeedEnum {
public:
    COM_INTERFACES_BEGIN(CFakeSpeeds)
        COM_INTERFACE(IDeviceSpeedEnum)
    COM_INTERFACES_END()
    std::vector<unsigned> speeds;
    size_t at = 0;
    STDMETHODIMP Next(unsigned long celt, unsigned int* out, unsigned long* fetched) override
    {
        unsigned long n = 0;
        for (; n < celt && at < speeds.size(); ++n) out[n] = speeds[at++];
        if (fetched) *fetched = n;
        return n == celt ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(unsigned long) override { return E_NOTIMPL; }
    STDMETHODIMP Reset() override { at = 0; return S_OK; }
    STDMETHODIMP Clone(IDeviceSpeedEnum**) override { return E_NOTIMPL; }
};

struct FakeDrive {
    unsigned letter = 'E';
    unsigned id = 0x00000001;
    std::string name = "VIRTUAL DVD-RW";
    unsigned readCaps = 0, writeCaps = 0, modes = 0;
    std::vector<unsigned> readSpeeds, writeSpeeds;
    unsigned busy = 0;
    unsigned mediumType = MT_NO_MEDIA;
    hyper total = -1, used = -1, free = 0;
};

class CFakeDevice : public com::ObjectRoot<com::MultiThreadModel>, public IDevice, public IMedium {
public:
    COM_INTERFACES_BEGIN(CFakeDevice)
        COM_INTERFACE(IDevice)
        COM_INTERFACE(IMedium)
    COM_INTERFACES_END()

    FakeDrive drive;
    std::map<std::string, int> asked;

    STDMETHODIMP GetDeviceName(BSTR* name) override
    {
        ++asked["GetDeviceName"];
        char text[128];
        std::snprintf(text, sizeof text, "%c:%u:%u:%u:%u  %s", static_cast<char>(drive.letter), drive.id & 0xFF,
                      (drive.id >> 8) & 0xFF, (drive.id >> 16) & 0xFF, drive.id >> 24, drive.name.c_str());
        *name = com::Bstr(text).Detach();
        return S_OK;
    }
    STDMETHODIMP GetDeviceID(unsigned int* id) override { ++asked["GetDeviceID"]; *id = drive.id; return S_OK; }
    STDMETHODIMP GetDeviceSpeeds(IDeviceSpeedEnum** read, IDeviceSpeedEnum** write) override
    {
        ++asked["GetDeviceSpeeds"];
        *read = MakeSpeeds(drive.readSpeeds);
        *write = MakeSpeeds(drive.writeSpeeds);
        return S_OK;
    }
    // "4" for 5540 (a DVD's 4x), else the speed in hundreds.
    STDMETHODIMP Speed_KBPS2X(unsigned long speed, BSTR* text) override
    {
        ++asked["Speed_KBPS2X"];
        *text = com::Bstr(std::to_string(speed / 1385)).Detach();
        return S_OK;
    }
    STDMETHODIMP DeviceCanWrite(unsigned long* can) override { *can = drive.writeCaps != 0; return S_OK; }
    STDMETHODIMP GetDeviceLetter(unsigned int* letter) override
    {
        ++asked["GetDeviceLetter"];
        *letter = drive.letter;
        return S_OK;
    }
    STDMETHODIMP GetDeviceBusy(unsigned int* busy) override { ++asked["GetDeviceBusy"]; *busy = drive.busy; return S_OK; }
    STDMETHODIMP GetSupportedWriteModes(unsigned int* modes) override
    {
        ++asked["GetSupportedWriteModes"];
        *modes = drive.modes;
        return S_OK;
    }
    STDMETHODIMP GetCapabilities(unsigned int* read, unsigned int* write) override
    {
        ++asked["GetCapabilities"];
        *read = drive.readCaps;
        *write = drive.writeCaps;
        return S_OK;
    }
    STDMETHODIMP Eject() override { return E_NOTIMPL; }
    STDMETHODIMP Load() override { return E_NOTIMPL; }

    STDMETHODIMP GetMediumType(unsigned int* type) override
    {
        ++asked["GetMediumType"];
        *type = drive.mediumType;
        return S_OK;
    }
    STDMETHODIMP GetTrackCount(unsigned int*) override { ++asked["GetTrackCount"]; return E_NOTIMPL; }
    STDMETHODIMP GetTrack(ITrack**, unsigned int) override { ++asked["GetTrack"]; return E_NOTIMPL; }
    STDMETHODIMP GetSpaces(hyper* total, hyper* used, hyper* free) override
    {
        ++asked["GetSpaces"];
        *total = drive.total;
        *used = drive.used;
        *free = drive.free;
        return S_OK;
    }

private:
    static IDeviceSpeedEnum* MakeSpeeds(const std::vector<unsigned>& speeds)
    {
        com::ComObject<CFakeSpeeds>* e = nullptr;
        com::CreateObjectImpl<CFakeSpeeds>(&e);
        e->speeds = speeds;
        return e;  // the reference CreateObjectImpl gave
    }
};

com::ComPtr<com::ComObject<CFakeDevice>> MakeDevice(const FakeDrive& drive)
{
    com::ComPtr<com::ComObject<CFakeDevice>> device;
    com::CreateObjectImpl<CFakeDevice>(&device);
    device->drive = drive;
    return device;
}

// Drive F of a fresh data folder: a CD writer with a blank CD-R.
FakeDrive CdWriter()
{
    FakeDrive f;
    f.letter = 'F';
    f.id = 0x00000002;
    f.name = "VIRTUAL CD-RW";
    f.readCaps = CAP_CD_R | CAP_CD_RW | CAP_DVD_R;
    f.writeCaps = CAP_CD_R | CAP_CD_RW | CAP_TEST_WRITE;
    f.modes = WRITE_COOKED | WRITE_TAO | WRITE_SAO | WRITE_DAO_RAW_PW;
    f.readSpeeds = {1385 * 8, 1385 * 16};
    f.writeSpeeds = {1385 * 4};
    f.mediumType = MT_CD_R;
    f.total = 737280000;
    f.used = 0;
    f.free = 737280000;
    return f;
}

// --- menus read back ---

// One line per item: its text, "#id" and " (grey)"; a popup's items follow
// it, indented by two blanks.
void ReadMenu(HMENU menu, const std::string& indent, std::vector<std::string>& lines)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[256] = "";
        MENUITEMINFOA info = {sizeof(info)};
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_STATE;
        info.dwTypeData = text;
        info.cch = sizeof(text);
        GetMenuItemInfoA(menu, i, TRUE, &info);
        if (info.fType & MFT_SEPARATOR) {
            lines.push_back(indent + "-");
            continue;
        }
        std::string line = indent + text;
        if (!info.hSubMenu) line += " #" + std::to_string(info.wID);
        if (info.fState & MFS_GRAYED) line += " (grey)";
        lines.push_back(line);
        if (info.hSubMenu) ReadMenu(info.hSubMenu, indent + "  ", lines);
    }
}

std::vector<std::string> MenuLines(HMENU menu)
{
    std::vector<std::string> lines;
    ReadMenu(menu, "", lines);
    return lines;
}

CDriveFields Fields(unsigned letter, unsigned id, const char* name)
{
    CDriveFields f;
    f.letter = letter;
    f.id = id;
    f.name = name;
    return f;
}

}  // namespace

TEST(TrayMenu, ShowsTheScanThenEachLetteredDriveAboveAboutAndUnload)
{
    struct Case {
        const char* title;
        bool scanned;
        std::vector<CDriveFields> drives;
        std::vector<std::string> menu;
    };
    const std::vector<std::string> tail = {"-", "About... #32773", "Unload engine #32772"};
    auto with = [&](std::vector<std::string> head) {
        head.insert(head.end(), tail.begin(), tail.end());
        return head;
    };
    const Case cases[] = {
        {"before the first scan", false, {Fields('E', 1, "VIRTUAL DVD-RW")},
         with({"Scanning devices... #0 (grey)"})},
        {"no drives", true, {}, tail},
        {"E then F: F comes first",
         true,
         {Fields('E', 1, "VIRTUAL DVD-RW"), Fields('F', 2, "VIRTUAL CD-RW")},
         with({"F:  VIRTUAL CD-RW", "  Device information #2236", "  Disk information #2237",
               "E:  VIRTUAL DVD-RW", "  Device information #2226", "  Disk information #2227"})},
        // Two-digit address bytes do not shift the name; a drive without a
        // letter cannot be named by a command and has no entry.
        {"long addresses, a late letter, no letter",
         true,
         {Fields('Z', 0x0C2D030C, "LONG NAME DRIVE"), Fields(255, 3, "NO LETTER")},
         with({"Z:  LONG NAME DRIVE", "  Device information #2436", "  Disk information #2437"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        HMENU menu = BuildTrayMenu(c.scanned, c.drives);
        ASSERT_TRUE(menu);
        EXPECT_EQ(c.menu, MenuLines(menu));
        DestroyMenu(menu);
    }
}

TEST(TrayMenu, DriveCommandsAreTheirOwnRangeApartFromUnloadAndAbout)
{
    EXPECT_EQ(2226u, DriveCommand('E', DRIVE_DEVICE_INFORMATION));
    EXPECT_EQ(2227u, DriveCommand('E', DRIVE_MEDIUM_INFORMATION));
    for (UINT command : {UINT(ID_TRAY_UNLOAD), UINT(ID_TRAY_ABOUT)})
        EXPECT_FALSE(command >= DRIVE_COMMAND_FIRST && command <= DRIVE_COMMAND_LAST) << command;
    EXPECT_EQ('F', DriveCommandLetter(2237));
    EXPECT_EQ(1u, DriveCommandKind(2237));
}

TEST(InformationTexts, DeviceTextFromTheDrivesFields)
{
    auto f = MakeDevice(CdWriter());
    EXPECT_EQ("Device:\tVIRTUAL CD-RW\n"
              "Letter:\tF:\n"
              "Bus:\t2:0:0:0\n"
              "\n"
              "Device can read:\tCD-ROM\n\tCD-R\n\tCD-RW\n\tDVD-R\n\tDVD-RW\n"
              "Supported read speeds:\t8X\n\t16X\n"
              "\n"
              "Device can write:\tCD-R\n\tCD-RW\n\tTest write\n"
              "Supported write speeds:\t4X\n"
              "Supported write modes:\tTAO\n\tSAO\n\tDAO",
              DeviceInformationText(f.Get()));

    // Address bytes of two digits and a drive that writes nothing.
    FakeDrive reader;
    reader.letter = 'Q';
    reader.id = 0x0C2D030C;
    reader.name = "READER ONLY";
    reader.readCaps = CAP_DVD_ROM | CAP_DVDPLUS_R | CAP_DVDPLUS_RW | CAP_DVDPLUS_R_DL | CAP_DVD_RAM;
    reader.modes = WRITE_COOKED;
    auto q = MakeDevice(reader);
    EXPECT_EQ("Device:\tREADER ONLY\n"
              "Letter:\tQ:\n"
              "Bus:\t12:3:45:12\n"
              "\n"
              "Device can read:\tCD-ROM\n\tDVD-ROM\n\tDVD+R\n\tDVD+RW\n\tDVD+RDL\n\tDVD-RAM\n"
              "Supported read speeds:\tNone\n"
              "\n"
              "Device can write:\tNone\n"
              "Supported write speeds:\tNone\n"
              "Supported write modes:\tNone",
              DeviceInformationText(q.Get()));
}

TEST(InformationTexts, MediumTextAsksTheDiscOnlyWhenItMay)
{
    const std::string head = "Device:\tE:1:0:0:0  VIRTUAL DVD-RW\nLetter:\tE:\n";
    struct Case {
        const char* title;
        std::function<void(FakeDrive&)> set;
        std::string text;
        int typeAsked, spacesAsked;
    };
    const Case cases[] = {
        {"empty drive", [](FakeDrive&) {}, head + "Medium type:\tNo media\n\n", 1, 0},
        {"busy drive", [](FakeDrive& d) { d.busy = 1; d.mediumType = MT_DVD_RW_SEQ; },
         head + "Device is busy\tNo medium information", 0, 0},
        {"no free space",
         [](FakeDrive& d) { d.mediumType = MT_DVD_ROM; d.total = d.used = 4700000000LL; },
         head + "Medium type:\tDVD-ROM\n\nFree space\tNo free space", 1, 1},
        {"a type past the names", [](FakeDrive& d) { d.mediumType = 20; d.free = 1; d.total = 2; d.used = 1; },
         head + "Medium type:\tUnknown\n\nFree space:\t1 bytes\nUsed space:\t1 bytes\nTotal space:\t2 bytes\n", 1, 1},
        {"sizes past 32 bits",
         [](FakeDrive& d) { d.mediumType = MT_DVD_RW_SEQ; d.total = d.free = 4706074624LL; d.used = 0; },
         head + "Medium type:\tDVD-RWSR\n\nFree space:\t4706074624 bytes\nUsed space:\t0 bytes\n"
                "Total space:\t4706074624 bytes\n",
         1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        FakeDrive drive;
        c.set(drive);
        auto device = MakeDevice(drive);
        EXPECT_EQ(c.text, MediumInformationText(device.Get()));
        EXPECT_EQ(c.typeAsked, device->asked["GetMediumType"]);
        EXPECT_EQ(c.spacesAsked, device->asked["GetSpaces"]);
        EXPECT_EQ(0, device->asked["GetTrackCount"] + device->asked["GetTrack"]);
    }
    EXPECT_EQ("DVD+R(DL)", MediumTypeName(MT_DVDPLUS_R_DL));
    EXPECT_EQ("Unknown", MediumTypeName(16));
}

TEST(InfoWindow, HoldsTheWholeTextAndScrollsByItsLines)
{
    EXPECT_EQ(3u, CInfoWindow::SplitLines("a\tb\tc\n\nplain").size());
    EXPECT_EQ("b\tc", CInfoWindow::SplitLines("a\tb\tc")[0].value);  // split at the first tab only

    std::string text;
    for (int i = 0; i < 60; ++i) text += "Line " + std::to_string(i) + ":\tvalue " + std::to_string(i) + "\n";
    CInfoWindow view;
    const RECT r = {0, 0, 200, 120};
    ASSERT_TRUE(view.Create(nullptr, &r, "", WS_POPUP | WS_VSCROLL | WS_HSCROLL));
    view.SetText(text);
    EXPECT_EQ(text, view.GetText());
    const int line = view.LineHeight();
    EXPECT_GT(line, 5);
    EXPECT_EQ(61 * line + 10, view.ContentSize().cy);  // 60 lines and the empty last one

    UINT wheelLines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &wheelLines, 0);
    view.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(static_cast<LONG>(wheelLines) * line, view.ScrollPosition().y);
    view.SendMessage(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(static_cast<LONG>(wheelLines - 1) * line, view.ScrollPosition().y);
    view.SendMessage(WM_VSCROLL, SB_BOTTOM);
    const RECT client = view.GetClientRect();
    EXPECT_EQ(view.ContentSize().cy - client.bottom, view.ScrollPosition().y);
    SCROLLINFO info = {sizeof(info), SIF_POS};
    GetScrollInfo(view, SB_VERT, &info);
    EXPECT_EQ(view.ScrollPosition().y, info.nPos);
    view.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);  // held at the end
    EXPECT_EQ(view.ContentSize().cy - client.bottom, view.ScrollPosition().y);
    view.SendMessage(WM_VSCROLL, SB_TOP);
    EXPECT_EQ(0, view.ScrollPosition().y);
    view.Destroy();
}

namespace {

// --- the tray calls of a device list in this process ---

struct TrayCall {
    std::string what;  // "add", "modify", "delete", "menu", "ask"
    std::string text;  // the tip, the menu's lines or the question
    bool icon = false;
    HWND window = nullptr;
    DWORD thread = GetCurrentThreadId();
};

class CTrayRecorder : public CTrayShell {
public:
    CTrayRecorder() { m_previous = SetTrayShell(this); }
    ~CTrayRecorder() { SetTrayShell(m_previous); }

    BOOL NotifyIcon(DWORD action, NOTIFYICONDATAA* data) override
    {
        static const char* const kActions[] = {"add", "modify", "delete"};
        EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE), data->cbSize);
        EXPECT_EQ(TRAY_ICON_ID, data->uID);
        if (action == NIM_ADD) {
            EXPECT_EQ(static_cast<UINT>(WM_TRAY_NOTIFY), data->uCallbackMessage);
        }
        TrayCall call;
        call.what = action < 3 ? kActions[action] : "?";
        call.text = action == NIM_DELETE ? "" : data->szTip;
        call.icon = (data->uFlags & NIF_ICON) && data->hIcon;
        call.window = data->hWnd;
        Add(call);
        return TRUE;
    }
    void TrackMenu(HMENU popup, UINT, POINT, HWND owner) override
    {
        std::string lines;
        for (const std::string& line : MenuLines(popup)) lines += line + "\n";
        Add({"menu", lines, false, owner});
    }
    int Ask(HWND owner, const char* text, const char* caption, UINT type) override
    {
        EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING), type);
        Add({"ask", std::string(caption) + ": " + text, false, owner});
        return answer;
    }

    std::vector<TrayCall> Calls()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_calls;
    }
    std::vector<std::string> Kinds()
    {
        std::vector<std::string> kinds;
        for (const TrayCall& c : Calls()) kinds.push_back(c.what);
        return kinds;
    }
    int answer = IDNO;

private:
    void Add(const TrayCall& call)
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_calls.push_back(call);
    }
    CTrayShell* m_previous;
    std::mutex m_lock;
    std::vector<TrayCall> m_calls;
};

const char kTip[] = "Tavell software Vokmar";
const char kBusyTip[] = "Tavell software Vokmar\nScanning devices";

class TrayCalls : public testing::Test {
protected:
    static void SetUpTestSuite() { StopEngine(); }  // the drives are this process's now

    void SetUp() override
    {
        ASSERT_EQ(S_OK, com::CreateObjectImpl<CCoDevices>(&devices));
        window = FindDevicesWindow(GetCurrentProcessId());
        ASSERT_TRUE(window);
        ASSERT_TRUE(Pump([&] { return devices->IsInitialized() == S_OK && recorder.Calls().size() >= 3; }));
    }
    void TearDown() override { devices.Reset(); }

    template <class F>
    bool Pump(F condition, DWORD ms = 10000)
    {
        for (DWORD start = GetTickCount(); GetTickCount() - start < ms;) {
            if (condition()) return true;
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) quit = true;
                DispatchMessageA(&msg);
            }
            Sleep(10);
        }
        return condition();
    }
    bool quit = false;  // a WM_QUIT came, which ends the engine's loop

    CTrayRecorder recorder;
    com::ComPtr<com::ComObject<CCoDevices>> devices;
    HWND window = nullptr;
};

}  // namespace

TEST_F(TrayCalls, StartAddsTheIconAndTheFirstScanShowsBusyThenIdle)
{
    const std::vector<TrayCall> calls = recorder.Calls();
    ASSERT_EQ((std::vector<std::string>{"add", "modify", "modify"}), recorder.Kinds());
    EXPECT_EQ(kTip, calls[0].text);
    EXPECT_EQ(kBusyTip, calls[1].text);
    EXPECT_EQ(kTip, calls[2].text);
    // The first scan runs on a thread of its own; the icon changes on the window's.
    for (const TrayCall& c : calls) {
        EXPECT_TRUE(c.icon);
        EXPECT_EQ(window, c.window);
        EXPECT_EQ(GetWindowThreadProcessId(window, nullptr), c.thread);
    }

    // The idle end: the list's last reference goes, and the icon with it.
    devices.Reset();
    EXPECT_EQ((std::vector<std::string>{"add", "modify", "modify", "delete"}), recorder.Kinds());
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(TrayCalls, RightButtonUpTracksTheDrivesMenuAndThenWakesTheWindow)
{
    // Other mouse messages of the icon open nothing.
    for (UINT mouse : {WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MOUSEMOVE}) SendMessageA(window, WM_TRAY_NOTIFY, TRAY_ICON_ID, mouse);
    EXPECT_EQ(3u, recorder.Calls().size());

    SendMessageA(window, WM_TRAY_NOTIFY, TRAY_ICON_ID, WM_RBUTTONUP);
    const std::vector<TrayCall> calls = recorder.Calls();
    ASSERT_EQ(4u, calls.size());
    EXPECT_EQ("menu", calls[3].what);
    EXPECT_EQ(window, calls[3].window);
    // A fresh data folder's drives: E, the DVD writer, listed first.
    EXPECT_EQ(0u, calls[3].text.find("F:  ")) << calls[3].text;
    EXPECT_NE(std::string::npos, calls[3].text.find("\n  Disk information #2237\nE:  ")) << calls[3].text;
    EXPECT_NE(std::string::npos, calls[3].text.find("\n  Device information #2226\n")) << calls[3].text;
    MSG wake;
    EXPECT_TRUE(PeekMessageA(&wake, window, WM_NULL, WM_NULL, PM_REMOVE)) << "no message after the menu";
}

TEST_F(TrayCalls, UnloadAskedNoKeepsTheEngineAndYesClosesItAsTheApplicationWould)
{
    // A letter with no drive does nothing; neither does a third kind of command.
    SendMessageA(window, WM_COMMAND, DriveCommand('Q', DRIVE_DEVICE_INFORMATION), 0);
    SendMessageA(window, WM_COMMAND, DriveCommand('E', 5), 0);
    EXPECT_TRUE(WindowsOfClass("#32770", GetCurrentProcessId()).empty());

    recorder.answer = IDNO;
    SendMessageA(window, WM_COMMAND, ID_TRAY_UNLOAD, 0);
    Pump([] { return false; }, 200);
    EXPECT_FALSE(quit);
    ASSERT_EQ(4u, recorder.Calls().size());
    EXPECT_EQ("ask", recorder.Calls()[3].what);
    EXPECT_EQ(0u, recorder.Calls()[3].text.find("Warning: Unloading of Vokmar may cause")) << recorder.Calls()[3].text;
    EXPECT_TRUE(IsWindow(window));
    unsigned count = 0;
    EXPECT_EQ(S_OK, devices->GetDeviceCount(&count));
    EXPECT_EQ(2u, count);

    recorder.answer = IDYES;
    SendMessageA(window, WM_COMMAND, ID_TRAY_UNLOAD, 0);
    ASSERT_TRUE(Pump([&] { return quit && !IsWindow(window); }));
    EXPECT_EQ((std::vector<std::string>{"add", "modify", "modify", "ask", "ask", "delete"}), recorder.Kinds());
    // The devices went with the close; the list answers without them.
    EXPECT_EQ(S_OK, devices->GetDeviceCount(&count));
    EXPECT_EQ(0u, count);
}

namespace {

struct AboutSeen {
    std::string version;
    LONG serverLocks = 0;
};

// Reads the version line of this process's about box and closes it.
DWORD WINAPI ReadAboutAndClose(void* out)
{
    for (int i = 0; i < 500; ++i) {
        for (const FoundWindow& w : WindowsOfClass("#32770", GetCurrentProcessId())) {
            char text[256] = "";
            GetDlgItemTextA(w.window, IDC_ABOUT_VERSION, text, sizeof text);
            // The box exists before its initialisation has filled it in.
            if (!text[0]) continue;
            static_cast<AboutSeen*>(out)->version = text;
            static_cast<AboutSeen*>(out)->serverLocks = com::ServerLockCount();
            PostMessageA(w.window, WM_COMMAND, IDOK, 0);
            return 0;
        }
        Sleep(10);
    }
    return 1;
}

}  // namespace

TEST_F(TrayCalls, AboutShowsTheVersionOfTheVersionResourceAndHoldsTheEngine)
{
    AboutSeen seen;
    const LONG locks = com::ServerLockCount();
    HANDLE reader = CreateThread(nullptr, 0, ReadAboutAndClose, &seen, 0, nullptr);
    SendMessageA(window, WM_COMMAND, ID_TRAY_ABOUT, 0);  // returns when the box has ended
    WaitForSingleObject(reader, 5000);
    CloseHandle(reader);
    EXPECT_EQ("Version 1.0.0.1", seen.version);
    // The engine does not end for want of clients while the user reads.
    EXPECT_EQ(locks + 1, seen.serverLocks);
    EXPECT_EQ(locks, com::ServerLockCount());
}
