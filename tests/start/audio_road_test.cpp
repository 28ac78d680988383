// The audio-CD road from the program's own windows: File > New with the
// Audio CD type chosen, tracks pasted and added through the file dialog,
// one moved up, the project saved, closed and opened again, then burned to
// the virtual CD-R track-at-once and disc-at-once, the raw image split with
// bchunk and every track compared with its file decoded to CD sound; back
// in the editor, the task panel read from the display and clicked. Keys go
// through the program's keyboard, buttons and rows take mouse clicks.
#include "road_fixture.h"
#include "tessaly_process.h"
#include "audio_fixtures.h"
#include "disc_folder.h"
#include "unix_tools.h"
#include "vokmar_process.h"
#include <audio/audio_layer.h>
#include <com/bstr.h>
#include <com/ptr.h>
#include <engine.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>
#include <algorithm>

namespace {

const char kDataProject[] = "{2EECB0E1-0EE1-4541-87B1-D135261D0108}";   // Maravin.dll
const char kAudioProject[] = "{DA2C89CF-D2BF-4141-9FB6-04966871791A}";  // Sunnavar.dll
const int IDC_TRACK_LIST = 1600, IDC_NEXT = 29335;
const int IDC_BACK = 29334, IDC_BURN = 8192, IDC_LOG = 8196, IDC_DRIVES = 8198;
const WORD ID_RENAME_TRACK = 8202, ID_DELETE_TRACKS = 8203, ID_MOVE_UP = 8204, ID_MOVE_DOWN = 8205;
const WORD ID_PLAY = 8212, ID_PAUSE = 8213, ID_STOP = 8214;
const int IDC_POSITION_BAR = 1800;
const size_t CD_SECTOR = 2352;
const char kBurnDone[] = "Burning successfully completed ";

// A CF_HDROP block with UTF-16 names, as Explorer puts it on the clipboard.
HGLOBAL DropBlock(const std::vector<std::string>& paths)
{
    std::wstring names;
    for (const std::string& path : paths) {
        wchar_t wide[MAX_PATH * 2] = L"";
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH * 2);
        names += wide;
        names.push_back(L'\0');
    }
    names.push_back(L'\0');
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(block);
    return block;
}

std::string Windows(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// A file decoded to CD sound as the engine makes it: 16-bit stereo at
// 44.1 kHz, mono doubled, another rate taken by the nearest earlier frame.
std::string CdSound(const std::string& path)
{
    EXPECT_TRUE(Audio_Start());
    AudioChannel channel = Audio_Open(path.c_str(), AUDIO_OPEN_DECODE);
    AudioInfo info = {};
    Audio_GetInfo(channel, &info);
    std::vector<int16_t> decoded;
    int16_t block[4096];
    for (int32_t got; channel && (got = Audio_Read(channel, block, sizeof block)) > 0;)
        decoded.insert(decoded.end(), block, block + got / 2);
    Audio_Close(channel);
    Audio_Stop();
    const unsigned channels = info.channels ? info.channels : 2, rate = info.rate ? info.rate : 44100;
    const size_t frames = decoded.size() / channels, out = size_t((unsigned long long)frames * 44100 / rate);
    std::string sound(out * 4, '\0');
    int16_t* to = reinterpret_cast<int16_t*>(&sound[0]);
    for (size_t i = 0; i < out; ++i) {
        const size_t from = size_t((unsigned long long)i * rate / 44100);
        to[2 * i] = decoded[from * channels];
        to[2 * i + 1] = decoded[from * channels + (channels > 1 ? 1 : 0)];
    }
    return sound;
}

struct ToolbarSearch {
    WORD command;
    HWND found;
};

BOOL CALLBACK TakeToolbar(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<ToolbarSearch*>(param);
    if (ClassOf(window) != TOOLBARCLASSNAMEA || SendMessageA(window, TB_COMMANDTOINDEX, search->command, 0) < 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

class AudioRoad : public RoadFixture {
protected:
    static void SetUpTestSuite() { StopEngine(); }
    static void TearDownTestSuite() { StopEngine(); }

    void SetUp() override
    {
        ASSERT_EQ(0u, RunDiscTool("insert F 2"));
        // Wine's ALSA driver, which the run points at a file device.
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Wine\\Drivers", &key));
        RegSetValueExA(key, "Audio", 0, REG_SZ, reinterpret_cast<const BYTE*>("alsa"), 5);
        RegCloseKey(key);
        install.RegisterType(kDataProject, 1, "Data CD/DVD project", "*.qvdata");
        install.RegisterType(kAudioProject, 2, "Audio CD project", "*.qvaudio");
        std::vector<int16_t> pcm;
        cdWav = files.File("cd sound.wav");
        monoWav = files.File("mono 22k.wav");
        WriteFileBytes(cdWav, audio_fixtures::ToneWav(44100, 2, 16, 44100 * 2 + 17, &pcm));
        WriteFileBytes(monoWav, audio_fixtures::ToneWav(22050, 1, 16, 22050 * 3 / 2, &pcm));
        mp3 = Windows(audio_fixtures::EncodedFolder() + "tagged.mp3");
        ogg = Windows(audio_fixtures::EncodedFolder() + "stereo.ogg");
    }
    void TearDown() override
    {
        if (run) CloseAnswering();
        run.reset();
        StopEngine();
        RunDiscTool("insert F 2");
    }

    void FindPanes(HWND project)
    {
        ProjectPanes(project, &editor, &burner);
        list = editor ? FindDescendant(editor, IDC_TRACK_LIST) : nullptr;
    }
    // The editor's toolbar (the tools' or the player's) with the button.
    HWND ToolbarWith(WORD command)
    {
        ToolbarSearch search = {command, nullptr};
        EnumChildWindows(editor, TakeToolbar, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    std::vector<std::string> Rows() { return RemoteListItems(list, Pid()); }
    // A key pressed in the track list as the user's keyboard gives it.
    bool PressInList(UINT key)
    {
        RemoteKeyboard keyboard(Frame());
        keyboard.Press(list, key);
        return keyboard.Attached();
    }
    // A real click on a row, in its Type column just right of the title: the
    // row alone is chosen and the list has the focus. (A click on a chosen
    // row's title would start its rename.)
    bool ClickRow(int row)
    {
        const RECT r = RemoteListItemRect(list, Pid(), row);
        return !IsRectEmpty(&r) && MouseClick(list, POINT{r.right + 20, (r.top + r.bottom) / 2});
    }
    // The burning frame's Back clicked with the mouse; the editor shown.
    testing::AssertionResult BackToEditor()
    {
        HWND back = FindDescendant(burner, IDC_BACK);
        if (!back || !MouseClick(back, ClientCentre(back))) return testing::AssertionFailure() << "no Back to click";
        if (WaitUntil([&] { return IsWindowVisible(editor) != FALSE; }, 10000)) return testing::AssertionSuccess();
        return testing::AssertionFailure() << "Back did not show the editor";
    }
    // Which of the editor's task panel actions (Add folder, Add file(s),
    // Rename, Delete, Move up, Move down) the panel shows enabled, once they
    // are `expected` (within a few seconds, for the repaint).
    testing::AssertionResult PanelOffers(HWND project, const std::vector<bool>& expected)
    {
        HWND panel = TaskPanel(project);
        if (!panel) return testing::AssertionFailure() << "no task panel";
        std::vector<bool> shown;
        if (WaitUntil([&] {
                shown.clear();
                for (const PanelAction& action : FirstPaneActions(panel)) shown.push_back(action.enabled);
                return shown == expected;
            }, 5000))
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << "the panel shows " << testing::PrintToString(shown);
    }
    // A real click on the editor's task panel action at `index`.
    bool ClickPanelAction(HWND project, size_t index)
    {
        HWND panel = TaskPanel(project);
        const std::vector<PanelAction> actions = panel ? FirstPaneActions(panel) : std::vector<PanelAction>();
        return index < actions.size() && MouseClick(panel, actions[index].at);
    }
    bool RowsAre(const std::vector<std::string>& rows, DWORD ms = 15000)
    {
        return WaitUntil([&] { return Rows() == rows; }, ms);
    }

    // The files put on the clipboard as Explorer's Copy puts them, then
    // Ctrl+V in the program.
    testing::AssertionResult Paste(const std::vector<std::string>& paths)
    {
        if (!OpenClipboard(nullptr)) return testing::AssertionFailure() << "no clipboard";
        EmptyClipboard();
        SetClipboardData(CF_HDROP, DropBlock(paths));
        CloseClipboard();
        if (!PressKeys(Frame(), {VK_CONTROL, 'V'})) return testing::AssertionFailure() << "Ctrl+V not pressed";
        return testing::AssertionSuccess();
    }
    // The text of the next message box of the program, answered with OK;
    // empty when none comes within `ms`.
    std::string NextBoxText(DWORD ms = 15000)
    {
        std::string text;
        WaitUntil([&] {
            if (HWND box = MessageBoxNow()) text = AnswerBox(box, IDOK);
            return !text.empty();
        }, ms);
        return text;
    }

    // Next brings the burning frame; drive F, Burn, every question answered.
    void BurnToCd()
    {
        HWND next = FindDescendant(editor, IDC_NEXT);
        ASSERT_TRUE(next);
        ASSERT_TRUE(MouseClick(next, ClientCentre(next)));
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(burner) != FALSE; }, 10000));
        HWND drives = GetDlgItem(burner, IDC_DRIVES);
        const int cd = DriveRow(drives, 'F');
        ASSERT_GE(cd, 0);
        ChooseRow(drives, cd);
        HWND burn = GetDlgItem(burner, IDC_BURN);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(burn) != FALSE; }, 15000)) << "Burn for a blank CD-R";
        ASSERT_TRUE(MouseClick(burn, ClientCentre(burn)));
        HWND log = GetDlgItem(burner, IDC_LOG);
        std::string last;
        const bool done = WaitUntil([&] {
            if (HWND box = MessageBoxNow()) questions.push_back(AnswerBox(box, IDYES));
            const std::vector<std::string> lines = RemoteListItems(log, Pid());
            last = lines.empty() ? "" : lines.back();
            return last == kBurnDone || last == "Burning failed";
        }, 90000);
        ASSERT_TRUE(done) << "last log line: " << last;
        ASSERT_EQ(kBurnDone, last);
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(burn) != FALSE; }, 10000));
    }

    // The disc in F as a raw image, split by bchunk: each track equals its
    // file as CD sound, padded with silence to whole sectors.
    void ExpectTracks(const std::vector<std::string>& sources, bool gaps)
    {
        const std::string base = images.File("audio");
        ASSERT_EQ(0u, RunDiscTool("export-raw F \"" + base + "\""));
        const std::string cue = ReadFileBytes(base + ".cue");
        EXPECT_EQ(gaps, cue.find("INDEX 00") != std::string::npos) << cue;
        RunUnix("cd \"$(dirname '" + UnixPath(base) + "')\" && rm -f part*.cdr && bchunk audio.bin audio.cue part");
        for (size_t i = 0; i < sources.size(); ++i) {
            SCOPED_TRACE(sources[i]);
            char name[16];
            snprintf(name, sizeof name, "part%02u.cdr", unsigned(i + 1));
            const std::string track = ReadFileBytes(images.File(name));
            std::string expected = CdSound(sources[i]);
            expected.resize((expected.size() + CD_SECTOR - 1) / CD_SECTOR * CD_SECTOR, '\0');
            ASSERT_EQ(expected.size(), track.size());
            EXPECT_TRUE(expected == track);
        }
        char extra[16];
        snprintf(extra, sizeof extra, "part%02u.cdr", unsigned(sources.size() + 1));
        EXPECT_FALSE(FileExists(images.File(extra))) << "one track per row";
    }

    TempFolder files, images;
    std::string cdWav, monoWav, mp3, ogg;
    HWND editor = nullptr, burner = nullptr, list = nullptr;
    std::vector<std::string> questions;
};

TEST_F(AudioRoad, ComposedSavedReopenedAndBurnedInBothWriteModes)
{
    run = std::make_unique<TessalyRun>(install);
    ASSERT_TRUE(Frame());
    // File > New at the start: the type dialog, Audio CD chosen.
    ASSERT_TRUE(run->WaitForWindow("#32770", "Choose project type:", 20000));
    int listedAt = -1;
    ASSERT_TRUE(NewProjectOfType("Audio CD", &listedAt));
    EXPECT_EQ(1, listedAt) << "listed in its order, after the data disc";
    HWND project = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (project = VisibleProject()) != nullptr; }, 20000));
    EXPECT_EQ("Audio#1", WindowText(project));
    FindPanes(project);
    ASSERT_TRUE(editor && burner && list);

    // Pasted with Ctrl+V: CD sound and mono 22 kHz sound.
    ASSERT_TRUE(Paste({cdWav, monoWav}));
    ASSERT_TRUE(RowsAre({"cd sound", "mono 22k"})) << testing::PrintToString(Rows());
    // The A key in the list opens the file dialog: an MP3, then an Ogg.
    size_t rows = 2;
    for (const std::string& file : {mp3, ogg}) {
        ASSERT_TRUE(PressInList('A'));
        ASSERT_TRUE(TypeIntoFileDialog("Open", file)) << file;
        ASSERT_TRUE(WaitUntil([&] { return Rows().size() == rows + 1; }, 15000)) << file;
        ++rows;
    }
    ASSERT_TRUE(RowsAre({"cd sound", "mono 22k", "Tagged Title", "stereo"})) << testing::PrintToString(Rows());
    HWND space = GetDlgItem(Frame(), 0x401);
    EXPECT_EQ("Total length: 00:05", WindowText(space)) << "the total length of the four tracks";

    // The Ogg moved up with the toolbar's Move up.
    ASSERT_TRUE(RemoteSetListState(list, Pid(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED));
    ASSERT_TRUE(RemoteSetListState(list, Pid(), 3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED));
    ASSERT_TRUE(RemoteClickToolbarButton(ToolbarWith(ID_MOVE_UP), Pid(), ID_MOVE_UP));
    const std::vector<std::string> order = {"cd sound", "mono 22k", "stereo", "Tagged Title"};
    ASSERT_TRUE(RowsAre(order)) << testing::PrintToString(Rows());
    Shot("audio-editor-with-tracks");

    // Saved, closed without a question, opened again: the same rows.
    const std::string saved = install.File("road.qvaudio");
    ASSERT_TRUE(ChooseFromMenu('F', 'A'));  // File > Save As
    ASSERT_TRUE(TypeIntoFileDialog("Save As", saved));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(saved); }, 10000));
    PostMessageA(project, WM_CLOSE, 0, 0);
    std::string asked;
    ASSERT_TRUE(WaitUntil([&] {
        if (HWND box = MessageBoxNow()) asked += AnswerBox(box, IDNO) + "\n";
        return MdiChildren(Frame()).empty();
    }, 10000));
    EXPECT_EQ("", asked) << "a saved project closes without a question";
    ASSERT_TRUE(PressKeys(Frame(), {VK_CONTROL, 'O'}));  // File > Open
    ASSERT_TRUE(TypeIntoFileDialog("Open", saved));
    ASSERT_TRUE(WaitUntil([&] { return (project = VisibleProject()) != nullptr; }, 20000));
    FindPanes(project);
    ASSERT_TRUE(editor && burner && list);
    ASSERT_TRUE(RowsAre(order)) << testing::PrintToString(Rows());

    // Burned track-at-once (the drive writes no raw disc-at-once), then
    // disc-at-once onto a new blank disc.
    const std::vector<std::string> sources = {cdWav, monoWav, ogg, mp3};
    {
        DriveValue modes("write_modes", "0x7", "0x1F");
        ASSERT_TRUE(modes.Set());
        ASSERT_EQ(0u, RunDiscTool("insert F 2"));
        BurnToCd();
        ASSERT_FALSE(HasFatalFailure());
        Shot("audio-burning-frame-after-burn");
        ExpectTracks(sources, true);
    }
    ASSERT_EQ(0u, RunDiscTool("insert F 2"));
    ASSERT_TRUE(BackToEditor());
    BurnToCd();
    ASSERT_FALSE(HasFatalFailure());
    ExpectTracks(sources, false);
    EXPECT_TRUE(questions.empty()) << testing::PrintToString(questions);
    if (HasFatalFailure()) return;

    // Back in the editor after the burn, a middle row clicked: the task
    // panel offers that row's actions as the toolbar does, and its Move
    // down and Move up move the row.
    ASSERT_TRUE(BackToEditor());
    ASSERT_TRUE(ClickRow(1));
    for (WORD id : {ID_RENAME_TRACK, ID_DELETE_TRACKS, ID_MOVE_UP, ID_MOVE_DOWN})
        EXPECT_TRUE(WaitUntil([&] { return SendMessageA(ToolbarWith(id), TB_ISBUTTONENABLED, id, 0) != 0; }, 5000))
            << "toolbar button " << id;
    EXPECT_TRUE(PanelOffers(project, {true, true, true, true, true, true}));
    Shot("audio-editor-back-after-burn");
    ASSERT_TRUE(ClickPanelAction(project, 5));
    EXPECT_TRUE(RowsAre({"cd sound", "stereo", "mono 22k", "Tagged Title"})) << testing::PrintToString(Rows());
    ASSERT_TRUE(ClickPanelAction(project, 4));
    ASSERT_TRUE(RowsAre(order)) << testing::PrintToString(Rows());

    // Play on the last row, clicked: the sound device gets its samples. (The
    // device file is made anew for each track played, so the row has no next
    // row to go on to.)
    const std::string capture = AUDIO_CAPTURE;
    DeleteFileA(capture.c_str());
    ASSERT_TRUE(ClickRow(3));
    ASSERT_TRUE(RemoteClickToolbarButton(ToolbarWith(ID_PLAY), Pid(), ID_PLAY));
    HWND position = FindDescendant(editor, 1800);
    ASSERT_TRUE(position);
    Shot("audio-editor-playing");
    ASSERT_TRUE(WaitUntil([&] { return FileExists(capture) && !ReadFileBytes(capture).empty(); }, 5000))
        << "nothing played";
    WaitUntil([] { return false; }, 2500);
    ASSERT_TRUE(RemoteClickToolbarButton(ToolbarWith(ID_STOP), Pid(), ID_STOP));
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(position, TBM_GETPOS, 0, 0) == 0; }, 5000));
    const std::string raw = ReadFileBytes(capture);
    const std::string played = CdSound(mp3);
    // The device file is complete only when the device closes: the first
    // half second of the track must be there, sample for sample.
    EXPECT_NE(std::string::npos, raw.find(played.substr(0, 88200))) << "played " << raw.size() << " bytes";

    // Stop during the decode: no disc is written and the editor takes
    // tracks again.
    ASSERT_EQ(0u, RunDiscTool("insert F 2"));
    const std::string longOgg = Windows(audio_fixtures::EncodedFolder() + "long.ogg");
    ASSERT_TRUE(Paste({longOgg, longOgg}));
    ASSERT_TRUE(WaitUntil([&] { return Rows().size() == 6; }, 15000));
    const size_t logLines = RemoteListItems(GetDlgItem(burner, IDC_LOG), Pid()).size();
    HWND next = FindDescendant(editor, IDC_NEXT);
    ASSERT_TRUE(MouseClick(next, ClientCentre(next)));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(burner) != FALSE; }, 10000));
    HWND burn = GetDlgItem(burner, IDC_BURN);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(burn) != FALSE; }, 15000));
    ASSERT_TRUE(MouseClick(burn, ClientCentre(burn)));
    HWND decoding = run->WaitForWindow("#32770", "Decoding progress", 20000);
    ASSERT_TRUE(decoding);
    Shot("audio-decoding");
    HWND stop = GetDlgItem(decoding, 8197);
    ASSERT_TRUE(MouseClick(stop, ClientCentre(stop))) << "the decode window's Stop is covered";
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(decoding); }, 30000));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(burn) != FALSE; }, 10000)) << "the burning frame is usable";
    const std::vector<std::string> log = RemoteListItems(GetDlgItem(burner, IDC_LOG), Pid());
    ASSERT_GE(log.size(), logLines);
    for (size_t i = logLines; i < log.size(); ++i) EXPECT_NE(kBurnDone, log[i]) << "no burn after the stop";
    EXPECT_NE(0u, RunDiscTool("export-raw F \"" + images.File("none") + "\"")) << "the disc stays blank";
    ASSERT_TRUE(BackToEditor());
    EXPECT_TRUE(IsWindowEnabled(editor));
    HWND rebar = FindWindowExA(editor, nullptr, REBARCLASSNAMEA, nullptr);
    HWND tools = rebar ? FindWindowExA(rebar, nullptr, TOOLBARCLASSNAMEA, nullptr) : nullptr;
    ASSERT_TRUE(tools);
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(tools, TB_ISBUTTONENABLED, 8201, 0) != 0; }, 10000))
        << "Add file(s) is offered again";
    // The last row clicked: everything but Move down is offered; Delete
    // from the keyboard takes it away.
    ASSERT_TRUE(ClickRow(5));
    EXPECT_TRUE(PanelOffers(project, {true, true, true, true, true, false}));
    ASSERT_TRUE(PressInList(VK_DELETE));
    const bool edited = WaitUntil([&] { return Rows().size() == 5; }, 30000);
    if (!edited) Shot("audio-editor-after-stop");
    EXPECT_TRUE(edited) << "the editor takes edits again";
}

// The refusals and the player as a user meets them: a file that is no sound
// and a Windows Media file refused in one box that names both; Play, Pause,
// the bar dragged to three quarters with the mouse, another client taking
// the player; then the limit of 99 tracks.
TEST_F(AudioRoad, RefusalsThePlayerAndTheTrackLimit)
{
    std::vector<int16_t> pcm;
    const std::string tone = files.File("twenty seconds.wav");
    WriteFileBytes(tone, audio_fixtures::ToneWav(44100, 2, 16, 44100 * 20, &pcm));
    const std::string noise = files.File("noise.mp3");
    WriteFileBytes(noise, std::string(4096, 'Z'));
    const std::string wma = files.File("song.wma");
    WriteFileBytes(wma, std::string("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16) +
                            std::string(200, '\0'));
    run = std::make_unique<TessalyRun>(install);
    ASSERT_TRUE(Frame());
    ASSERT_TRUE(NewProjectOfType("Audio CD"));
    HWND project = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (project = VisibleProject()) != nullptr; }, 20000));
    FindPanes(project);
    ASSERT_TRUE(editor && burner && list);

    ASSERT_TRUE(Paste({noise, tone, wma}));
    const std::string refused = NextBoxText();
    for (const std::string& file : {noise, wma})
        EXPECT_NE(std::string::npos, refused.find(file)) << "the box names " << file << ": " << refused;
    ASSERT_TRUE(RowsAre({"twenty seconds"})) << testing::PrintToString(Rows());
    EXPECT_EQ("", NextBoxText(500)) << "one box for both";

    // Play, then Pause: the bar stands still.
    ASSERT_TRUE(ClickRow(0));
    HWND player = ToolbarWith(ID_PLAY), position = FindDescendant(editor, IDC_POSITION_BAR);
    ASSERT_TRUE(player && position);
    ASSERT_TRUE(RemoteClickToolbarButton(player, Pid(), ID_PLAY));
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(position, TBM_GETPOS, 0, 0) > 0; }, 5000)) << "the bar moves";
    EXPECT_TRUE(SendMessageA(player, TB_ISBUTTONENABLED, ID_STOP, 0));
    ASSERT_TRUE(RemoteClickToolbarButton(player, Pid(), ID_PAUSE));
    WaitUntil([] { return false; }, 1000);
    const LRESULT paused = SendMessageA(position, TBM_GETPOS, 0, 0);
    WaitUntil([] { return false; }, 1500);
    EXPECT_EQ(paused, SendMessageA(position, TBM_GETPOS, 0, 0)) << "paused";

    // The thumb dragged to three quarters of the channel: the player is
    // there, and plays on from there.
    const RECT thumb = RemoteTrackbarRect(position, Pid(), TBM_GETTHUMBRECT);
    const RECT channel = RemoteTrackbarRect(position, Pid(), TBM_GETCHANNELRECT);
    ASSERT_LT(thumb.left, thumb.right);
    ASSERT_LT(channel.left, channel.right);
    POINT from = {(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
    POINT to = {channel.left + (channel.right - channel.left) * 3 / 4, from.y};
    ClientToScreen(position, &from);
    ClientToScreen(position, &to);
    SetForegroundWindow(Frame());
    const LRESULT range = SendMessageA(position, TBM_GETRANGEMAX, 0, 0);
    MouseDrag(from, to);
    LRESULT seeked = 0;
    EXPECT_TRUE(WaitUntil([&] { return (seeked = SendMessageA(position, TBM_GETPOS, 0, 0)) >= range * 2 / 3; }, 3000))
        << "at " << seeked << " of " << range << " from " << paused;
    ASSERT_TRUE(RemoteClickToolbarButton(player, Pid(), ID_PAUSE));  // plays on
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(position, TBM_GETPOS, 0, 0) > seeked; }, 5000));
    Shot("audio-editor-seeked");

    // Another client's Play takes the engine's player: this bar goes idle.
    com::ComPtr<ICoAudioPlayer> other;
    ASSERT_EQ(S_OK, other.CoCreate(CLSID_CoAudioPlayer, IID_ICoAudioPlayer, CLSCTX_LOCAL_SERVER));
    ASSERT_EQ(S_OK, other->Init(com::Bstr(cdWav)));
    ASSERT_EQ(S_OK, other->Play());
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(position, TBM_GETPOS, 0, 0) == 0; }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(player, TB_ISBUTTONENABLED, ID_STOP, 0) == 0; }, 5000))
        << "Stop is not this editor's any more";
    other->Stop();
    other.Reset();

    // 99 more files for 98 places: the limit message, once, and 99 rows.
    ASSERT_TRUE(Paste(std::vector<std::string>(99, cdWav)));
    const std::string limit = NextBoxText(30000);
    EXPECT_EQ(0u, limit.find("Maximum AudioCD tracks count (99) is reached")) << limit;
    EXPECT_TRUE(WaitUntil([&] { return Rows().size() == 99; }, 15000)) << Rows().size();
    EXPECT_EQ("", NextBoxText(500)) << "one box";
}

}  // namespace
