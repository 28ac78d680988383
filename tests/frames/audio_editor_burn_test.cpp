// The audio editor's decode in the audio-CD project's burn, and its preview
// player, against the running engine.
#include <gtest/gtest.h>
#include "audio_editor_fixture.h"
#include "decode_progress_dialog.h"
#include "vokmar_process.h"
#include <algorithm>

namespace {

bool PumpUntil(const std::function<bool()>& done, DWORD ms)
{
    const DWORD end = GetTickCount() + ms;
    while (!done()) {
        if (GetTickCount() > end) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
    return true;
}

bool Traced(const std::string& line)
{
    const auto& trace = CommandTrace();
    return std::find(trace.begin(), trace.end(), line) != trace.end();
}

BOOL CALLBACK TakeDecodeWindow(HWND w, LPARAM found)
{
    char caption[64] = "";
    GetWindowTextA(w, caption, sizeof caption);
    if (!IsWindowVisible(w) || lstrcmpA(caption, "Decoding progress")) return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

HWND DecodeWindow()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), TakeDecodeWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

class AudioEditorBurnTest : public AudioEditorTest {
protected:
    HRESULT RequestBurn() { return SendAs(project, project->BurningFrame(), PCID_REQUEST_BURN); }

    // The preview's sound goes to this run's capture device: an engine
    // started after this has it.
    static void UseCapturedSound()
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Wine\\Drivers", &key));
        RegSetValueExA(key, "Audio", 0, REG_SZ, reinterpret_cast<const BYTE*>("alsa"), 5);
        RegCloseKey(key);
        StopEngine();
    }

    // How often the editor said a preview did not start.
    int FailedPreviews() const
    {
        int count = 0;
        for (const std::string& line : services.logger->lines) count += line.find("The preview of ") == 0;
        return count;
    }

    bool Enabled(CCoHollistra* editor, unsigned id) const
    {
        return SendMessageA(editor->PlayerToolbar(), TB_ISBUTTONENABLED, id, 0) != 0;
    }
};

}  // namespace

// The burn decodes first: both frames are disabled while it runs, and the
// burning frame starts only with a decode that ran through.
TEST_F(AudioEditorBurnTest, DecodeDisablesBothFramesThenStartsTheBurner)
{
    CCoHollistra* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    ASSERT_TRUE(editor->AddPaths({monoWav, mp3}, -1));
    CommandTrace().clear();
    ASSERT_EQ(S_OK, RequestBurn());
    EXPECT_TRUE(Traced("Burner 288 0"));
    EXPECT_FALSE(editor->Toolbar().Enabled(ID_ADD_TRACKS));
    ASSERT_TRUE(PumpUntil([&] { return Traced("Burner 290 0"); }, 20000));
    EXPECT_FALSE(editor->Decoding());
    for (unsigned i = 0; i < 2; ++i) {
        com::ComPtr<IAudioTrack> track;
        ASSERT_EQ(S_OK, editor->Layout()->GetTrack(i, &track));
        BSTR decoded = nullptr;
        ASSERT_EQ(S_OK, track->GetTempFilePath(&decoded));
        EXPECT_NE(0u, SysStringLen(decoded)) << i;
        SysFreeString(decoded);
    }
    // Until the burn ends the editor stays disabled; the burner's result
    // enables both.
    EXPECT_FALSE(editor->Toolbar().Enabled(ID_ADD_TRACKS));
    CVariantSafearray result(1);
    result.Create();
    result.Prepare({{VT_HRESULT, long(S_OK)}});
    SendAs(project, project->BurningFrame(), PCID_RESULT, result);
    EXPECT_TRUE(editor->Toolbar().Enabled(ID_ADD_TRACKS));
    EXPECT_TRUE(Traced("Burner 288 1"));
}

// Stop in the decode window: the project hears a cancel, not a success,
// the burning frame is not started, and both frames are usable again.
TEST_F(AudioEditorBurnTest, StopDuringTheDecodeLeavesTheEditorUsable)
{
    std::string longOgg = audio_fixtures::EncodedFolder() + "long.ogg";
    std::replace(longOgg.begin(), longOgg.end(), '/', '\\');
    const std::vector<std::string> longFiles(3, longOgg);
    CCoHollistra* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    ASSERT_TRUE(editor->AddPaths(longFiles, -1));
    CommandTrace().clear();
    ASSERT_EQ(S_OK, RequestBurn());
    HWND window = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (window = DecodeWindow()) != nullptr; }, 10000))
        << testing::PrintToString(CommandTrace()) << " decoding " << editor->Decoding();
    SendMessageA(GetDlgItem(window, IDC_DECODE_STOP), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !editor->Decoding(); }, 20000));
    ASSERT_TRUE(PumpUntil([&] { return Traced("Burner 288 1"); }, 2000));
    EXPECT_FALSE(Traced("Burner 290 0"));
    EXPECT_TRUE(editor->Toolbar().Enabled(ID_ADD_TRACKS));
    EXPECT_TRUE(IsWindowEnabled(WindowOf(editor)));
    bool logged = false;
    for (const std::string& line : services.logger->lines) logged = logged || line.find("Decoding cancelled by user") != std::string::npos;
    EXPECT_TRUE(logged);
}

// The list's own track format is taken only from this list's own drag: a
// data object offering it from elsewhere is refused.
TEST_F(AudioEditorBurnTest, ForeignTrackDragIsRefused)
{
    CCoHollistra* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    com::ComPtr<IDataObject> data;
    ASSERT_EQ(S_OK, data.CoCreate(CLSID_CommonDataObject, IID_IDataObject, CLSCTX_INPROC_SERVER));
    FORMATETC format = {CF_AUDIO_TRACKS, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4);
    ASSERT_EQ(S_OK, data->SetData(&format, &medium, TRUE));
    RECT list;
    GetWindowRect(editor->TrackList(), &list);
    DWORD effect = DROPEFFECT_MOVE;
    ASSERT_EQ(S_OK, editor->DragEnter(data, MK_LBUTTON, POINTL{list.left + 20, list.top + 30}, &effect));
    EXPECT_EQ(DWORD(DROPEFFECT_NONE), effect);
    editor->DragLeave();
}

// Play on the first row plays that track through the engine's player, the
// position bar seeks in it; a second client's play takes the player and the
// editor's bar goes idle.
TEST_F(AudioEditorBurnTest, PlayFollowsThePlayerUntilAnotherClientTakesIt)
{
    UseCapturedSound();
    std::vector<int16_t> samples;
    const std::string tone = files.File("five seconds.wav");
    WriteFileBytes(tone, audio_fixtures::ToneWav(44100, 2, 16, 44100 * 5, &samples));
    CCoHollistra* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    ASSERT_TRUE(editor->AddPaths({tone, cdWav}, -1));
    HWND bar = editor->PlayerToolbar();
    SelectRows(editor, {0});
    EXPECT_TRUE(SendMessageA(bar, TB_ISBUTTONENABLED, ID_PLAY, 0));
    EXPECT_FALSE(SendMessageA(bar, TB_ISBUTTONENABLED, ID_STOP, 0));
    SendMessageA(WindowOf(editor), WM_COMMAND, ID_PLAY, 0);
    ASSERT_TRUE(editor->Player().Active());
    EXPECT_EQ(0, editor->Player().m_playingIndex);
    EXPECT_TRUE(SendMessageA(bar, TB_ISBUTTONENABLED, ID_STOP, 0));
    EXPECT_TRUE(SendMessageA(bar, TB_ISBUTTONENABLED, ID_NEXT_TRACK, 0));
    EXPECT_FALSE(SendMessageA(bar, TB_ISBUTTONENABLED, ID_PREV_TRACK, 0));
    ASSERT_TRUE(PumpUntil([&] { return SendMessageA(editor->PositionBar(), TBM_GETPOS, 0, 0) > 0; }, 3000));
    EXPECT_EQ(LRESULT(44100 * 5 * 4 / 100000), SendMessageA(editor->PositionBar(), TBM_GETRANGEMAX, 0, 0));

    SendMessageA(WindowOf(editor), WM_COMMAND, ID_PAUSE, 0);
    unsigned status = 0;
    editor->Player().Player()->GetCurrentStatus(&status);
    EXPECT_EQ(3u, status);
    SendMessageA(WindowOf(editor), WM_COMMAND, ID_PAUSE, 0);  // resumes

    // The bar dragged to three quarters: the timer leaves the thumb alone while
    // it is held, and the release moves the player there.
    HWND position = editor->PositionBar();
    const LRESULT target = SendMessageA(position, TBM_GETRANGEMAX, 0, 0) * 3 / 4;
    SendMessageA(position, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(position, TBM_SETPOS, TRUE, target);
    PumpUntil([] { return false; }, 700);  // a timer tick while held
    EXPECT_EQ(target, SendMessageA(position, TBM_GETPOS, 0, 0));
    SendMessageA(position, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    unsigned at = 0;
    ASSERT_EQ(S_OK, editor->Player().Player()->GetPos(&at));
    EXPECT_GE(at, unsigned(target) * 100000u);
    ASSERT_TRUE(PumpUntil([&] { return SendMessageA(position, TBM_GETPOS, 0, 0) >= target; }, 2000));

    com::ComPtr<ICoAudioPlayer> other;
    ASSERT_EQ(S_OK, other.CoCreate(CLSID_CoAudioPlayer, IID_ICoAudioPlayer, CLSCTX_LOCAL_SERVER));
    ASSERT_EQ(S_OK, other->Init(com::Bstr(cdWav)));
    ASSERT_EQ(S_OK, other->Play());
    ASSERT_TRUE(PumpUntil([&] { return editor->Player().m_playingIndex == -1; }, 2000));
    EXPECT_EQ(0, SendMessageA(editor->PositionBar(), TBM_GETPOS, 0, 0));
    EXPECT_FALSE(editor->Player().Ours());
    EXPECT_FALSE(SendMessageA(bar, TB_ISBUTTONENABLED, ID_STOP, 0));
    other->Stop();
}

// A decode that fails is reported to the project as a failure naming its
// track, the burning frame is not started, and the editor burns once that
// track is gone. The decode fails on a file whose format changes on the way,
// and on files changed since they were added: those were read through the
// old analysis, their missing part silence, and burned as a success.
TEST_F(AudioEditorBurnTest, FailedDecodeNamesItsTrackAndLeavesTheEditorUsable)
{
    std::string joined = audio_fixtures::EncodedFolder() + "joined.mp3";
    std::replace(joined.begin(), joined.end(), '/', '\\');
    const std::string mp3Bytes = ReadFileBytes(mp3), cdBytes = ReadFileBytes(cdWav);
    const struct {
        const char* what;
        std::string source;       // copied to the added file, unless it is the fixture itself
        std::string changedTo;    // written over the file once it is added; empty: left alone
    } cases[] = {
        {"a format that changes mid-stream", joined, ""},
        {"an MP3 cut short after it was added", mp3Bytes, mp3Bytes.substr(0, 100)},
        {"an MP3 overwritten with junk", mp3Bytes, std::string(mp3Bytes.size() + 4000, 'j')},
        {"CD sound cut short after it was added", cdBytes, cdBytes.substr(0, cdBytes.size() / 2)},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bad = c.source;
        if (c.source != joined) {
            bad = files.File("changed " + std::to_string(++n) + (c.source == cdBytes ? ".wav" : ".mp3"));
            WriteFileBytes(bad, c.source);
        }
        CCoHollistra* editor = OpenEditor();
        ASSERT_NE(nullptr, editor);
        CCommandTap* tap = TapCommands(editor);
        ASSERT_TRUE(editor->AddPaths({monoWav, bad, ogg}, -1));
        ASSERT_EQ(3, ListView_GetItemCount(editor->TrackList()));
        if (!c.changedTo.empty()) WriteFileBytes(bad, c.changedTo);
        CommandTrace().clear();
        services.logger->lines.clear();
        std::vector<std::string> said;
        {
            DialogDriver answers([&](HWND box) { DialogDriver::Press(box, IDOK); });
            ASSERT_EQ(S_OK, RequestBurn());
            ASSERT_TRUE(PumpUntil([&] { return answers.Seen() > 0 || Traced("Burner 290 0"); }, 20000));
            PumpUntil([&] { return Traced("Burner 288 1"); }, 5000);
            said = answers.Texts();
        }
        bool told = false;
        const std::string title = Titles(editor)[1];
        for (const std::string& t : said)
            told = told || t.find("Track 2 - \"" + title + "\" could not be decoded") == 0;
        EXPECT_TRUE(told) << "the user is told which track failed: " << testing::PrintToString(said);
        EXPECT_FALSE(Traced("Burner 290 0")) << "the burner was started";
        EXPECT_TRUE(Traced("Burner 288 1"));
        EXPECT_EQ((std::vector<std::vector<long>>{{long(E_FAIL), 1}}), tap->Sent(PCID_RESULT));
        bool named = false;
        for (const std::string& line : services.logger->lines) named = named || line == "Decoding failed at track 2";
        EXPECT_TRUE(named) << testing::PrintToString(services.logger->lines);
        EXPECT_FALSE(editor->Decoding());
        EXPECT_TRUE(editor->Toolbar().Enabled(ID_ADD_TRACKS));
        EXPECT_TRUE(IsWindowEnabled(WindowOf(editor)));

        // Without that track the burn goes on.
        SelectRows(editor, {1});
        SendMessageA(WindowOf(editor), WM_COMMAND, ID_DELETE_TRACKS, 0);
        ASSERT_EQ((std::vector<std::string>{"mono 22k", "stereo"}), Titles(editor));
        tap->sent.clear();
        CommandTrace().clear();
        ASSERT_EQ(S_OK, RequestBurn());
        ASSERT_TRUE(PumpUntil([&] { return Traced("Burner 290 0"); }, 20000)) << testing::PrintToString(CommandTrace());
        EXPECT_EQ((std::vector<std::vector<long>>{{long(S_OK), -1}}), tap->Sent(PCID_RESULT));
        CVariantSafearray result(1);
        result.Create();
        result.Prepare({{VT_HRESULT, long(S_OK)}});
        SendAs(project, project->BurningFrame(), PCID_RESULT, result);
        EXPECT_TRUE(editor->Toolbar().Enabled(ID_ADD_TRACKS));
    }
}

// A track that ends is followed by the next; a next one that cannot be
// played (its file spoiled since it was added: no sound at all, or sound
// that ends as soon as it starts) leaves the editor idle: one attempt, not
// one at every tick, and no skipping to the track after it.
TEST_F(AudioEditorBurnTest, NextTrackThatCannotPlayLeavesThePlayerIdle)
{
    UseCapturedSound();
    std::vector<int16_t> samples;
    const struct {
        const char* what;
        std::string spoiledTo;
    } cases[] = {
        {"no sound any more", "no sound any more"},
        {"no sample left", audio_fixtures::ToneWav(44100, 2, 16, 0, &samples)},
    };
    // The capture device takes the sound faster than it plays: three
    // seconds last about one.
    const std::string brief = files.File("three seconds.wav");
    WriteFileBytes(brief, audio_fixtures::ToneWav(44100, 2, 16, 44100 * 3, &samples));
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string spoiled = files.File("spoiled " + std::to_string(++n) + ".wav");
        WriteFileBytes(spoiled, audio_fixtures::ToneWav(44100, 2, 16, 44100, &samples));
        CCoHollistra* editor = OpenEditor();
        ASSERT_NE(nullptr, editor);
        ASSERT_TRUE(editor->AddPaths({brief, spoiled, cdWav}, -1));
        WriteFileBytes(spoiled, c.spoiledTo);
        services.logger->lines.clear();
        SelectRows(editor, {0});
        SendMessageA(WindowOf(editor), WM_COMMAND, ID_PLAY, 0);
        ASSERT_TRUE(editor->Player().Active());
        EXPECT_EQ(0, FailedPreviews());
        ASSERT_TRUE(PumpUntil([&] { return editor->Player().m_playingIndex == -1; }, 6000))
            << "still playing after " << FailedPreviews() << " failed attempts";
        EXPECT_EQ(1, FailedPreviews());
        PumpUntil([] { return false; }, 2000);  // four ticks
        EXPECT_EQ(1, FailedPreviews()) << "no attempt at every tick";
        EXPECT_EQ(-1, editor->Player().m_playingIndex);
        EXPECT_EQ(0, SendMessageA(editor->PositionBar(), TBM_GETPOS, 0, 0));
        for (unsigned id : {ID_PAUSE, ID_STOP, ID_NEXT_TRACK, ID_PREV_TRACK}) EXPECT_FALSE(Enabled(editor, id)) << id;
        unsigned status = 1;
        ASSERT_EQ(S_OK, editor->Player().Player()->GetCurrentStatus(&status));
        EXPECT_EQ(0u, status) << "the track after the spoiled one was not started";
    }
}

// A play whose Init fails leaves no stream that this editor counts as its
// own: another client's play afterwards does not move this editor's bar,
// and this editor's Stop and Pause do not touch it.
TEST_F(AudioEditorBurnTest, FailedPlayLeavesNoStreamOfThisEditor)
{
    UseCapturedSound();
    // Long enough to play on while the test looks (the capture device takes
    // the sound faster than it plays).
    const std::string tone = files.File("thirty seconds.wav"), spoiled = files.File("spoiled.wav");
    std::vector<int16_t> samples;
    WriteFileBytes(tone, audio_fixtures::ToneWav(44100, 2, 16, 44100 * 30, &samples));
    WriteFileBytes(spoiled, audio_fixtures::ToneWav(44100, 2, 16, 44100, &samples));
    CCoHollistra* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    ASSERT_TRUE(editor->AddPaths({tone, spoiled}, -1));
    WriteFileBytes(spoiled, "no sound any more");
    SelectRows(editor, {0});
    SendMessageA(WindowOf(editor), WM_COMMAND, ID_PLAY, 0);
    ASSERT_TRUE(editor->Player().Active());
    ASSERT_TRUE(PumpUntil([&] { return SendMessageA(editor->PositionBar(), TBM_GETPOS, 0, 0) > 0; }, 3000));

    SelectRows(editor, {1});
    SendMessageA(WindowOf(editor), WM_COMMAND, ID_PLAY, 0);
    EXPECT_EQ(1, FailedPreviews());
    EXPECT_FALSE(editor->Player().Ours());
    EXPECT_FALSE(Enabled(editor, ID_STOP));

    com::ComPtr<ICoAudioPlayer> other;
    ASSERT_EQ(S_OK, other.CoCreate(CLSID_CoAudioPlayer, IID_ICoAudioPlayer, CLSCTX_LOCAL_SERVER));
    ASSERT_EQ(S_OK, other->Init(com::Bstr(tone)));
    ASSERT_EQ(S_OK, other->Play());
    PumpUntil([] { return false; }, 1500);  // three ticks while the other client plays
    EXPECT_EQ(1, FailedPreviews()) << "the editor tried again by itself";
    EXPECT_FALSE(editor->Player().Ours());
    EXPECT_EQ(-1, editor->Player().m_playingIndex);
    EXPECT_EQ(0, SendMessageA(editor->PositionBar(), TBM_GETPOS, 0, 0));
    for (unsigned id : {ID_PAUSE, ID_STOP, ID_NEXT_TRACK, ID_PREV_TRACK}) EXPECT_FALSE(Enabled(editor, id)) << id;
    SendMessageA(WindowOf(editor), WM_COMMAND, ID_PAUSE, 0);
    SendMessageA(WindowOf(editor), WM_COMMAND, ID_STOP, 0);
    unsigned status = 0, pos = 0;
    ASSERT_EQ(S_OK, other->GetCurrentStatus(&status));
    EXPECT_EQ(1u, status) << "the other client's play goes on";
    ASSERT_EQ(S_OK, other->GetPos(&pos));
    EXPECT_GT(pos, 0u);
    other->Stop();
}
