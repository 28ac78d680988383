// The audio editor in an audio-CD project, against the running engine: the
// ways tracks come in, the row texts, moves, the project file's section,
// the drag format, and the space bar.
#include <gtest/gtest.h>
#include "audio_editor_fixture.h"
#include "track_texts.h"
#include <frames/common/files_processing_ids.h>

namespace {

Msf ParseMsf(const std::string& text)
{
    Msf m;
    std::sscanf(text.c_str(), "%u:%u.%u", &m.minutes, &m.seconds, &m.frames);
    return m;
}

// What a thread timer sees while an add runs: its first tick holds the
// add up past the files-processing window's delay, later ones press Stop
// on that window once it shows.
struct SlowAdd {
    bool held = false;
    bool shown = false;
};
SlowAdd g_slowAdd;

BOOL CALLBACK PressStopOnShownWindow(HWND window, LPARAM)
{
    HWND stop = GetDlgItem(window, IDC_PROCESSING_STOP);
    if (!stop || !IsWindowVisible(window)) return TRUE;
    g_slowAdd.shown = true;
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_PROCESSING_STOP, BN_CLICKED), LPARAM(stop));
    return FALSE;
}

void CALLBACK SlowAddTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (!g_slowAdd.held) {
        g_slowAdd.held = true;
        Sleep(500);
        return;
    }
    if (!g_slowAdd.shown) EnumThreadWindows(GetCurrentThreadId(), PressStopOnShownWindow, 0);
}

// The engine's object creator in this process, answering as it does when
// it cannot serve: it refuses the layout, or makes one without events.
enum class CreatorAnswer { Refuse, LayoutWithoutEvents };
CreatorAnswer g_creatorAnswer = CreatorAnswer::Refuse;
LONG g_standIns = 0;  // stand-in objects alive

class CLayoutWithoutEvents : public com::ObjectRoot<com::SingleThreadModel>, public IAudioCDLayout {
public:
    COM_INTERFACES_BEGIN(CLayoutWithoutEvents)
        COM_INTERFACE(IAudioCDLayout)
    COM_INTERFACES_END()
    CLayoutWithoutEvents() { InterlockedIncrement(&g_standIns); }
    ~CLayoutWithoutEvents() { InterlockedDecrement(&g_standIns); }

    STDMETHODIMP InsertTrack(unsigned int, BSTR) override { return E_FAIL; }
    STDMETHODIMP AddTrack(BSTR) override { return E_FAIL; }
    STDMETHODIMP RemoveTrack(unsigned int) override { return E_INVALIDARG; }
    STDMETHODIMP GetTrack(unsigned int, IAudioTrack** track) override
    {
        *track = nullptr;
        return E_INVALIDARG;
    }
    STDMETHODIMP GetTrackCount(unsigned int* count) override
    {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTrackIndex(IAudioTrack*, unsigned int* index) override
    {
        *index = 0xFFFFFFFFu;
        return S_OK;
    }
    STDMETHODIMP Decode() override { return S_OK; }  // and no event ever comes
    STDMETHODIMP Cancel() override { return S_OK; }
    STDMETHODIMP MoveTracks(IEnumULONG*, unsigned long) override { return S_OK; }
    STDMETHODIMP SetCDTitle(BSTR) override { return S_OK; }
    STDMETHODIMP GetCDTitle(BSTR* title) override
    {
        *title = SysAllocString(L"");
        return S_OK;
    }
    STDMETHODIMP GetImageSize(hyper* size) override
    {
        *size = 0;
        return S_OK;
    }
};

class CStandInCreator : public com::ObjectRoot<com::SingleThreadModel>, public IObjectCreator {
public:
    COM_INTERFACES_BEGIN(CStandInCreator)
        COM_INTERFACE(IObjectCreator)
    COM_INTERFACES_END()
    CStandInCreator() { InterlockedIncrement(&g_standIns); }
    ~CStandInCreator() { InterlockedDecrement(&g_standIns); }

    STDMETHODIMP CreateObject(REFCLSID, IUnknown** made) override
    {
        *made = nullptr;
        if (g_creatorAnswer == CreatorAnswer::Refuse) return CO_E_SERVER_STOPPING;
        return com::CreateObject<CLayoutWithoutEvents>(IID_IUnknown, reinterpret_cast<void**>(made));
    }
};

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int ThreadWindows()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

}  // namespace

// The end of a track is its start plus its length, with the carries.
TEST(TrackTexts, EndsCarryFramesAndSeconds)
{
    const struct { Msf start, length; const char* end; } cases[] = {
        {{1, 59, 70}, {0, 0, 10}, "02:00.05"},
        {{0, 0, 0}, {0, 2, 0}, "00:02.00"},
        {{0, 58, 74}, {0, 1, 1}, "01:00.00"},
        {{9, 59, 74}, {90, 0, 1}, "100:00.00"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.end, MsfText(MsfEnd(c.start, c.length)));
    EXPECT_EQ("#03  Title\t  00:01.02   00:03.04\r\n", ContentsLine(2, "Title", "00:01.02", "00:03.04"));
    EXPECT_STREQ("ogg", FormatName(AFF_OGG));
    EXPECT_EQ(nullptr, FormatName(AUDIO_FILE_FORMAT(99)));
}

// Paste brings CD sound, mono 22 kHz sound, MP3 and Ogg; the rows show
// titles and types, and starts, ends and lengths that add up; the space
// bar shows the total length.
TEST_F(AudioEditorTest, PastedTracksShowTimesThatAddUp)
{
    CCoHollistra* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    Paste(editor, {cdWav, monoWav, mp3, ogg});
    ASSERT_EQ(4, ListView_GetItemCount(editor->TrackList()));
    EXPECT_EQ((std::vector<std::string>{"cd sound", "mono 22k", "Tagged Title", "stereo"}), Titles(editor));
    const char* types[] = {"wav", "wav", "mp3", "ogg"};
    Msf expectedStart;
    for (int row = 0; row < 4; ++row) {
        char number[8];
        std::snprintf(number, sizeof number, "#%02i", row + 1);
        EXPECT_EQ(number, RowText(editor, row, 1));
        EXPECT_EQ(types[row], RowText(editor, row, 2));
        const Msf start = ParseMsf(RowText(editor, row, 3)), end = ParseMsf(RowText(editor, row, 4));
        const Msf length = ParseMsf(RowText(editor, row, 5));
        EXPECT_EQ(MsfText(expectedStart), MsfText(start)) << row;
        EXPECT_EQ(MsfText(MsfEnd(start, length)), MsfText(end)) << row;
        expectedStart = end;
    }
    EXPECT_EQ("00:02.00", RowText(editor, 0, 5));
    EXPECT_EQ("00:01.37", RowText(editor, 1, 5));  // 112.5 frames, cut
    EXPECT_EQ(cdWav, RowText(editor, 0, 6));
    EXPECT_TRUE(editor->Modified());

    NMSIZEBARUPDATE notice = {};
    ASSERT_TRUE(LastSizeNotice(&notice));
    EXPECT_EQ(SIZEBAR_AUDIO, notice.kind);
    LONGLONG bytes = 0;
    ASSERT_EQ(S_OK, editor->Layout()->GetImageSize(&bytes));
    EXPECT_EQ(ULONGLONG(bytes), notice.bytes);
    EXPECT_NEAR(double(bytes) / 176400.0, notice.seconds, 0.01);

    BSTR contents = nullptr;
    ASSERT_EQ(S_OK, Command(editor, PCID_GET_CONTENTS_TEXT, {{VT_BSTR | VT_BYREF, &contents}}));
    const std::string text = com::AnsiFromBstr(contents);
    SysFreeString(contents);
    EXPECT_EQ(0u, text.find("#01  cd sound\t  00:00.00   00:02.00\r\n#02  mono 22k")) << text;
}

// A refused file says so, and does not push the later files one place
// late: dropped at row 0, the two good files come first, in order.
TEST_F(AudioEditorTest, RefusedFileKeepsTheInsertPlace)
{
    CCoHollistra* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    ASSERT_TRUE(editor->AddPaths({ogg}, -1));
    // A Windows Media file: this system has no reader for its sound.
    const std::string wma = files.File("song.wma");
    WriteFileBytes(wma, std::string("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16) +
                            std::string(200, '\0'));
    std::vector<std::string> said;
    {
        DialogDriver answers([&](HWND box) { DialogDriver::Press(box, IDOK); });
        ASSERT_TRUE(editor->AddPaths({cdWav, junk, wma, monoWav}, 0));
        said = answers.Texts();
    }
    EXPECT_EQ((std::vector<std::string>{"cd sound", "mono 22k", "stereo"}), Titles(editor));
    for (const std::string& refused : {junk, wma}) {
        bool named = false;
        for (const std::string& t : said) named = named || t.find(refused) != std::string::npos;
        EXPECT_TRUE(named) << "the refusal names " << refused << ": " << testing::PrintToString(said);
    }
}

// 97 tracks and 5 more files: two go in, then the limit message, once.
TEST_F(AudioEditorTest, HundredthTrackIsRefusedWithTheLimitMessage)
{
    CCoHollistra* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    for (int i = 0; i < 97; ++i) ASSERT_EQ(S_OK, editor->Layout()->AddTrack(com::Bstr(cdWav)));
    std::vector<std::string> said;
    int boxes = 0;
    {
        DialogDriver answers([&](HWND box) { DialogDriver::Press(box, IDOK); });
        ASSERT_TRUE(editor->AddPaths({cdWav, monoWav, mp3, ogg, cdWav}, -1));
        said = answers.Texts();
        boxes = answers.Seen();
    }
    unsigned count = 0;
    editor->Layout()->GetTrackCount(&count);
    EXPECT_EQ(99u, count);
    EXPECT_EQ(1, boxes);
    bool limit = false;
    for (const std::string& t : said) limit = limit || t.find("Maximum AudioCD tracks count (99) is reached") == 0;
    EXPECT_TRUE(limit);
}

// An add that takes a while shows the files-processing window, and its
// Stop ends the add between files; the editor takes the next add.
TEST_F(AudioEditorTest, LongAddShowsItsWindowAndStopEndsIt)
{
    CCoHollistra* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    const std::vector<std::string> many(90, cdWav);
    g_slowAdd = SlowAdd();
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, SlowAddTick);
    ASSERT_TRUE(editor->AddPaths(many, -1));
    KillTimer(nullptr, timer);
    EXPECT_TRUE(g_slowAdd.held);
    EXPECT_TRUE(g_slowAdd.shown) << "the window came for a long add";
    unsigned count = 0;
    editor->Layout()->GetTrackCount(&count);
    EXPECT_GT(count, 0u);
    EXPECT_LT(count, 90u) << "Stop ended the add";
    EXPECT_EQ(int(count), ListView_GetItemCount(editor->TrackList()));
    ASSERT_TRUE(editor->AddPaths({monoWav}, -1));
    EXPECT_EQ(int(count) + 1, ListView_GetItemCount(editor->TrackList()));
}

// Moving {0, 2} up goes to 0 and selects 0 and 1; down goes behind the
// next one. Both mark the project modified: the new order must be saved.
TEST_F(AudioEditorTest, MovesSelectTheMovedBlockAndMarkModified)
{
    CCoHollistra* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    ASSERT_TRUE(editor->AddPaths({cdWav, monoWav, mp3, ogg}, -1));
    editor->OnSaveCompleted(S_OK);
    EXPECT_FALSE(editor->Modified());

    SelectRows(editor, {0, 2});
    SendMessageA(WindowOf(editor), WM_COMMAND, ID_MOVE_UP, 0);
    EXPECT_EQ((std::vector<std::string>{"cd sound", "Tagged Title", "mono 22k", "stereo"}), Titles(editor));
    EXPECT_EQ((std::vector<int>{0, 1}), Selected(editor));
    EXPECT_TRUE(editor->Modified());

    editor->OnSaveCompleted(S_OK);
    SelectRows(editor, {1});
    SendMessageA(WindowOf(editor), WM_COMMAND, ID_MOVE_DOWN, 0);
    EXPECT_EQ((std::vector<std::string>{"cd sound", "mono 22k", "Tagged Title", "stereo"}), Titles(editor));
    EXPECT_EQ((std::vector<int>{2}), Selected(editor));
    EXPECT_TRUE(editor->Modified());
    // The last row cannot go further down.
    SelectRows(editor, {3});
    EXPECT_FALSE(editor->Toolbar().Enabled(ID_MOVE_DOWN));
    EXPECT_TRUE(editor->Toolbar().Enabled(ID_MOVE_UP));
}

// The section keeps order and titles; a track that cannot come back is
// skipped and logged, the others load, and the project stays modified.
TEST_F(AudioEditorTest, SectionRoundTripSkipsTracksThatCannotComeBack)
{
    const std::string path = files.File("saved.qvaudio");
    const std::string doomed = files.File("moved away.wav");
    WriteFileBytes(doomed, audio_fixtures::ToneWav(44100, 2, 16, 44100, &pcm));
    {
        CCoHollistra* editor = OpenEditor();
        ASSERT_NE(nullptr, editor);
        ASSERT_TRUE(editor->AddPaths({cdWav, doomed, mp3}, -1));
        com::ComPtr<IAudioTrack> first;
        ASSERT_EQ(S_OK, editor->Layout()->GetTrack(0, &first));
        first->SetTitle(com::Bstr("Opening"));
        com::ComPtr<ILoadSaveImpl> doc;
        ASSERT_EQ(S_OK, com::CreateObject<CCoLoadSaveImpl>(IID_ILoadSaveImpl, reinterpret_cast<void**>(&doc)));
        IID id = IID_ILoadSaveImpl;
        com::ComPtr<ISaveableSection> section;
        ASSERT_EQ(S_OK, doc->OpenFile(com::Bstr(path), 1));
        ASSERT_EQ(S_OK, doc->GetSectionForWriting(&id, &section));
        ASSERT_EQ(S_OK, editor->Save(section));
        ASSERT_EQ(S_OK, doc->SaveFile());
    }
    const std::string text = ReadFileBytes(path);
    EXPECT_NE(std::string::npos, text.find("class=\"CCoHollistra\"")) << text;
    EXPECT_NE(std::string::npos, text.find("Title=\"Opening\"")) << text;
    // The file has moved away since.
    std::string moved = text;
    moved.replace(moved.find("moved away.wav"), 14, "gone away.wav");
    WriteFileBytes(path, moved);

    CCoHollistra* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    com::ComPtr<ILoadSaveImpl> doc;
    ASSERT_EQ(S_OK, com::CreateObject<CCoLoadSaveImpl>(IID_ILoadSaveImpl, reinterpret_cast<void**>(&doc)));
    IID id = IID_ILoadSaveImpl;
    com::ComPtr<ILoadableSection> section;
    ASSERT_EQ(S_OK, doc->OpenFile(com::Bstr(path), 0));
    ASSERT_EQ(S_OK, doc->GetSectionForReading(&id, &section));
    ASSERT_EQ(S_OK, editor->Load(section));
    EXPECT_EQ((std::vector<std::string>{"Opening", "Tagged Title"}), Titles(editor));
    EXPECT_TRUE(editor->Modified()) << "the skipped track is a change to save";
    bool logged = false;
    for (const std::string& line : services.logger->lines) logged = logged || line.find("Track skipped while loading") != std::string::npos;
    EXPECT_TRUE(logged);
}

// An AudioImage section without tracks is an empty disc.
TEST_F(AudioEditorTest, EmptySectionLoadsAsAnEmptyDisc)
{
    const std::string path = files.File("empty.qvaudio");
    {
        com::ComPtr<ILoadSaveImpl> doc;
        ASSERT_EQ(S_OK, com::CreateObject<CCoLoadSaveImpl>(IID_ILoadSaveImpl, reinterpret_cast<void**>(&doc)));
        IID id = IID_ILoadSaveImpl;
        com::ComPtr<ISaveableSection> section, image;
        ASSERT_EQ(S_OK, doc->OpenFile(com::Bstr(path), 1));
        ASSERT_EQ(S_OK, doc->GetSectionForWriting(&id, &section));
        ASSERT_EQ(S_OK, section->CreateChild(com::Bstr("AudioImage"), &image));
        ASSERT_EQ(S_OK, doc->SaveFile());
    }
    CCoHollistra* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    com::ComPtr<ILoadSaveImpl> doc;
    ASSERT_EQ(S_OK, com::CreateObject<CCoLoadSaveImpl>(IID_ILoadSaveImpl, reinterpret_cast<void**>(&doc)));
    IID id = IID_ILoadSaveImpl;
    com::ComPtr<ILoadableSection> section;
    ASSERT_EQ(S_OK, doc->OpenFile(com::Bstr(path), 0));
    ASSERT_EQ(S_OK, doc->GetSectionForReading(&id, &section));
    EXPECT_EQ(S_OK, editor->Load(section));
    EXPECT_EQ(0, ListView_GetItemCount(editor->TrackList()));
    EXPECT_FALSE(editor->Modified());
}

// An editor that cannot be whole is not made, and the project with it: when
// the engine's creator refuses the layout the editor object is not created;
// when the layout offers no events (a decode would never end, the project's
// frames left disabled) the editor's window is not. The caller gets the
// failure, and no window or engine object of the attempt stays behind.
TEST_F(AudioEditorTest, EditorThatCannotBeWholeFailsTheProjectCleanly)
{
    const struct {
        CreatorAnswer answer;
        const char* what;
        const char* said;  // a line of the project's message, if it shows one
    } cases[] = {
        {CreatorAnswer::Refuse, "the creator refuses the layout", "can't create CLSID_CoHollistra"},
        {CreatorAnswer::LayoutWithoutEvents, "the layout offers no events", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        g_creatorAnswer = c.answer;
        const int windows = ThreadWindows();
        HRESULT hr = S_OK;
        std::vector<std::string> said;
        {
            // The stand-in takes the engine's class for this process.
            LocalClassRegistration creator(CLSID_CoDevices, com::Creator<CStandInCreator>);
            DialogDriver answers([&](HWND box) { DialogDriver::Press(box, IDOK); });
            EXPECT_EQ(nullptr, Open<CCoSunnavar>(&hr));
            said = answers.Texts();
        }
        EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
        if (c.said) {
            bool shown = false;
            for (const std::string& t : said) shown = shown || t.find(c.said) != std::string::npos;
            EXPECT_TRUE(shown) << testing::PrintToString(said);
        }
        projects.clear();
        CMainFrameStandIn::Pump();
        EXPECT_EQ(0, g_standIns) << "the editor let its engine objects go";
        EXPECT_EQ(windows, ThreadWindows());
    }
    // The real engine's editor is made as before.
    EXPECT_NE(nullptr, OpenEditor());
}
