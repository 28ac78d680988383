// The data editor's dialogs driven as a user would: each runs modally on
// the test's thread while a second thread finds its window, reads its
// controls and presses its buttons. The device dialog meets the engine's
// virtual drives: E holds a blank DVD-RW, F a CD-R that the tests burn.
#include "job_client.h"
#include "test_services.h"
#include "device_selection_dialog.h"
#include "dialog_texts.h"
#include "entry_choice_dialog.h"
#include <frames/common/files_processing_dialog.h>
#include "project_type_selection_dialog.h"
#include <shared/guid_text.h>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

namespace {

// --- what the user sees and does, from the driving thread ---

BOOL CALLBACK TakeVisibleDialog(HWND window, LPARAM found)
{
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "#32770") || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

bool WaitUntil(const std::function<bool()>& done, DWORD ms)
{
    for (DWORD start = GetTickCount(); !done(); Sleep(20))
        if (GetTickCount() - start > ms) return false;
    return true;
}

// Runs the dialog modally here while `drive` acts on its window from
// another thread; a dialog that `drive` leaves open is cancelled.
template <class Dialog>
INT_PTR RunDialog(Dialog& dialog, const std::function<void(HWND)>& drive, HWND owner = nullptr)
{
    const DWORD thread = GetCurrentThreadId();
    std::thread driver([&] {
        HWND window = nullptr;
        if (!WaitUntil([&] { return !EnumThreadWindows(thread, TakeVisibleDialog, LPARAM(&window)) && window; }, 10000))
            return;
        drive(window);
        if (IsWindow(window)) PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
    const INT_PTR result = dialog.DoModal(owner);
    driver.join();
    return result;
}

std::string Text(HWND window)
{
    char text[1024] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, LPARAM(text));
    return text;
}
std::string Text(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }
bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
void Press(HWND dialog, int id)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}

std::vector<std::string> ComboItems(HWND combo)
{
    std::vector<std::string> items;
    const int count = int(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = "";
        SendMessageA(combo, CB_GETLBTEXT, WPARAM(i), LPARAM(text));
        items.push_back(text);
    }
    return items;
}

std::string ItemText(HWND tree, HTREEITEM item)
{
    char text[256] = "";
    TVITEMA data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = sizeof text;
    TreeView_GetItem(tree, &data);
    return text;
}

// The tree as lines: a root item's text, its children's indented by two.
std::vector<std::string> TreeLines(HWND tree)
{
    std::vector<std::string> lines;
    for (HTREEITEM root = TreeView_GetRoot(tree); root; root = TreeView_GetNextSibling(tree, root)) {
        lines.push_back(ItemText(tree, root));
        for (HTREEITEM kid = TreeView_GetChild(tree, root); kid; kid = TreeView_GetNextSibling(tree, kid))
            lines.push_back("  " + ItemText(tree, kid));
    }
    return lines;
}

HTREEITEM FindItem(HWND tree, const std::string& text)
{
    for (HTREEITEM root = TreeView_GetRoot(tree); root; root = TreeView_GetNextSibling(tree, root)) {
        if (ItemText(tree, root) == text) return root;
        for (HTREEITEM kid = TreeView_GetChild(tree, root); kid; kid = TreeView_GetNextSibling(tree, kid))
            if (ItemText(tree, kid) == text) return kid;
    }
    return nullptr;
}

// The medium line and the three space lines.
std::vector<std::string> MediumLines(HWND dialog)
{
    return {Text(dialog, IDC_MEDIUM_LINE), Text(dialog, IDC_TOTAL_SPACE), Text(dialog, IDC_USED_SPACE),
            Text(dialog, IDC_FREE_SPACE)};
}

// A screenshot into $TB_FRAME_SHOTS/<name>.png when that folder is given.
void Screenshot(const std::string& name)
{
    const char* folder = std::getenv("TB_FRAME_SHOTS");
    if (!folder || !*folder) return;
    Sleep(300);
    RunUnix("import -window root '" + std::string(folder) + "/" + name + ".png' >/dev/null 2>&1; echo done");
}

// The references held on an object now.
ULONG References(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

class DeviceDialog : public EngineJob {
protected:
    void SetUp() override
    {
        EngineJob::SetUp();
        ASSERT_EQ(S_OK, device->GetDeviceID(&cdId));
        com::ComPtr<IDevice> dvd;
        ASSERT_EQ(S_OK, devices->GetDeviceByDriveLetter('E', &dvd));
        ASSERT_EQ(S_OK, dvd->GetDeviceID(&dvdId));
        ASSERT_EQ(S_OK, dvd.As(IID_IMedium, &dvdMedium));
    }
    // Waits until the engine has seen the drive's medium change to `type`.
    static bool MediumSeen(IMedium* drive, unsigned type)
    {
        return WaitUntil([&] {
            unsigned now = 0;
            return SUCCEEDED(drive->GetMediumType(&now)) && now == type;
        }, 10000);
    }
    // Two sessions on drive F's CD-R, the second behind the first.
    void BurnTwoSessions()
    {
        InsertChecked(2);
        ASSERT_EQ(0u, Burn(FixtureTree()));
        com::ComPtr<IFileTree> second = TreeOfOneFile("second.txt", 5000);
        ASSERT_EQ(S_OK, second->SetStartLBA(NextWritable()));
        ASSERT_EQ(0u, Burn(second));
        ASSERT_EQ(3u, TrackCount()) << "two sessions and the open track";
    }
    std::string DriveName(unsigned letter)
    {
        com::ComPtr<IDevice> drive;
        com::Bstr name;
        EXPECT_EQ(S_OK, devices->GetDeviceByDriveLetter(letter, &drive));
        if (drive) drive->GetDeviceName(&name);
        return name.Ansi();
    }

    TestServices services;
    unsigned cdId = 0, dvdId = 0;
    com::ComPtr<IMedium> dvdMedium;
};

TEST_F(DeviceDialog, ListsTheDrivesAndTheSessionsOfAMultisessionDisc)
{
    BurnTwoSessions();
    struct Case {
        const char* chosen;  // the tree item clicked; null for none
        int track;
    } cases[] = {{"Track 01", 1}, {"Session 01", 1}, {"Track 02", 2}, {nullptr, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen ? c.chosen : "nothing chosen");
        CDeviceSelectionDialog dialog(cdId);
        std::vector<std::string> combo, lines, tree;
        bool okEnabled = false;
        const INT_PTR result = RunDialog(dialog, [&](HWND window) {
            combo = ComboItems(GetDlgItem(window, IDC_DEVICE_COMBO));
            lines = MediumLines(window);
            tree = TreeLines(GetDlgItem(window, IDC_SESSION_TREE));
            okEnabled = Enabled(window, IDOK);
            if (c.chosen == cases[0].chosen) Screenshot("device_dialog_two_sessions");
            if (c.chosen) TreeView_SelectItem(GetDlgItem(window, IDC_SESSION_TREE),
                                              FindItem(GetDlgItem(window, IDC_SESSION_TREE), c.chosen));
            Press(window, IDOK);
        });
        EXPECT_EQ(IDOK, result);
        EXPECT_EQ((std::vector<std::string>{DriveName('E'), DriveName('F')}), combo);
        ASSERT_EQ(4u, lines.size());
        EXPECT_EQ("Media type: CD-R", lines[0]);
        EXPECT_EQ("Total space: 702 Mb", lines[1]) << "359,848 blocks of 2,048 bytes";
        EXPECT_EQ(0u, lines[2].find("Used space: ")) << lines[2];
        EXPECT_EQ(0u, lines[3].find("Free space: ")) << lines[3];
        EXPECT_EQ((std::vector<std::string>{"Session 01", "  Track 01", "Session 02", "  Track 02"}), tree);
        EXPECT_TRUE(okEnabled);
        EXPECT_EQ(cdId, dialog.DeviceId());
        EXPECT_EQ(c.track, dialog.TrackNumber());
    }
}

// The lines of each medium: a blank DVD-RW lists no session and can be
// chosen; an empty drive cannot.
TEST_F(DeviceDialog, ShowsTheMediumOfTheChosenDrive)
{
    // Drive E holds the blank DVD-RW it starts with.
    if (!MediumSeen(dvdMedium, MT_DVD_RW_SEQ)) ASSERT_EQ(0u, RunDiscTool("insert E 8"));
    ASSERT_TRUE(MediumSeen(dvdMedium, MT_DVD_RW_SEQ));
    ASSERT_EQ(0u, RunDiscTool("eject F"));
    ASSERT_TRUE(MediumSeen(medium, MT_NO_MEDIA));
    struct Case {
        unsigned id;
        std::vector<std::string> lines;
        bool ok;
    } cases[] = {
        {dvdId, {"Media type: DVD-RW SR", "Total space: 4 489 Mb", "Used space: 0", "Free space: 4 489 Mb"}, true},
        {cdId, {"Media type: No media", "Total space: --:--", "Used space: --:--", "Free space: --:--"}, false},
    };
    for (const Case& c : cases) {
        CDeviceSelectionDialog dialog(c.id);
        std::vector<std::string> lines, tree;
        bool ok = true;
        EXPECT_EQ(c.ok ? IDOK : IDCANCEL, RunDialog(dialog, [&](HWND window) {
            lines = MediumLines(window);
            tree = TreeLines(GetDlgItem(window, IDC_SESSION_TREE));
            ok = Enabled(window, IDOK);
            Screenshot(c.ok ? "device_dialog_blank_dvd" : "device_dialog_no_medium");
            Press(window, IDOK);  // refused while disabled
            if (IsWindowVisible(window)) Press(window, IDCANCEL);
        }));
        EXPECT_EQ(c.lines, lines);
        EXPECT_TRUE(tree.empty());
        EXPECT_EQ(c.ok, ok);
    }
}

// A medium changed while the dialog is open is shown at once; when the
// dialog ends, the engine holds no connection to its sink any more.
TEST_F(DeviceDialog, FollowsTheMediumAndLeavesNoSinkBehind)
{
    for (int end : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(end);
        InsertChecked(2);
        CDeviceSelectionDialog dialog(cdId);
        ULONG heldWhileOpen = 0;
        std::vector<std::string> emptied, inserted;
        EXPECT_EQ(end, RunDialog(dialog, [&](HWND window) {
            heldWhileOpen = References(dialog.Sink());
            EXPECT_EQ(0u, RunDiscTool("eject F"));
            WaitUntil([&] { return Text(window, IDC_MEDIUM_LINE) == "Media type: No media"; }, 10000);
            emptied = MediumLines(window);
            emptied.push_back(Enabled(window, IDOK) ? "OK" : "no OK");
            EXPECT_EQ(0u, RunDiscTool("insert F 2"));
            WaitUntil([&] { return Enabled(window, IDOK); }, 10000);
            inserted = MediumLines(window);
            Press(window, end);
        }));
        EXPECT_EQ((std::vector<std::string>{"Media type: No media", "Total space: --:--", "Used space: --:--",
                                            "Free space: --:--", "no OK"}),
                  emptied);
        EXPECT_EQ((std::vector<std::string>{"Media type: CD-R", "Total space: 702 Mb", "Used space: 0",
                                            "Free space: 702 Mb"}),
                  inserted);
        // The dialog's own reference is all that is left: the engine let
        // both connections go when the dialog ended.
        ASSERT_TRUE(dialog.Sink());
        EXPECT_GT(heldWhileOpen, 1u) << "the engine held the sink while the dialog was open";
        EXPECT_TRUE(WaitUntil([&] { return References(dialog.Sink()) == 1; }, 2000)) << References(dialog.Sink());
    }
}

// Drives that come and go: the selected one leaving clears the choice, and
// the next to come is taken when none is chosen.
TEST_F(DeviceDialog, FollowsDrivesThatComeAndGo)
{
    struct Gone {
        ~Gone() { WaitUntil([] { return RemoveDrive("drive7"); }, 3000); }
    } gone;
    ASSERT_TRUE(WaitUntil([] { return AddDrive("drive7", "1:0:4:0", 'G'); }, 3000));
    com::ComPtr<IDevice> added;
    ASSERT_TRUE(WaitUntil([&] { return SUCCEEDED(devices->GetDeviceByDriveLetter('G', &added)); }, 10000));
    unsigned addedId = 0;
    added->GetDeviceID(&addedId);
    CDeviceSelectionDialog dialog(addedId);
    std::string chosen, afterRemoval, afterArrival;
    size_t itemsAfterRemoval = 0;
    bool okAfterRemoval = true;
    EXPECT_EQ(IDCANCEL, RunDialog(dialog, [&](HWND window) {
        HWND combo = GetDlgItem(window, IDC_DEVICE_COMBO);
        chosen = Text(combo);
        EXPECT_TRUE(WaitUntil([] { return RemoveDrive("drive7"); }, 3000));
        WaitUntil([&] { return ComboItems(combo).size() == 2; }, 10000);
        itemsAfterRemoval = ComboItems(combo).size();
        afterRemoval = Text(combo);
        okAfterRemoval = Enabled(window, IDOK);
        EXPECT_TRUE(WaitUntil([] { return AddDrive("drive7", "1:0:4:0", 'G'); }, 3000));
        WaitUntil([&] { return ComboItems(combo).size() == 3 && !Text(combo).empty(); }, 10000);
        afterArrival = Text(combo);
        Press(window, IDCANCEL);
    }));
    EXPECT_EQ(0u, chosen.find("G:1:0:4:0")) << chosen;
    EXPECT_EQ(2u, itemsAfterRemoval);
    EXPECT_EQ("", afterRemoval);
    EXPECT_FALSE(okAfterRemoval);
    EXPECT_EQ(chosen, afterArrival);
}

// The language file's texts replace the program's own: the dialog's own
// section first, then the common one.
TEST_F(DeviceDialog, TakesItsTextsFromTheLanguageFile)
{
    const std::string own = GuidToString(CLSID_CoNostrine), common = COMMON_LANG_SECTION;
    auto& texts = services.translator->texts;
    texts[{own, IDS_NEW_PROJECT}] = "Neues Projekt";
    texts[{own, IDS_DEVICE}] = "Laufwerk:";
    texts[{own, IDS_SESSIONS}] = "Sitzungen:";
    texts[{own, IDS_MEDIA_TYPE}] = "Medium:";
    texts[{own, IDS_TOTAL_SPACE}] = "Gesamt:";
    texts[{own, IDS_SESSION}] = "Sitzung";
    texts[{own, IDS_TRACK}] = "Spur";
    texts[{common, IDS_COMMON_CANCEL}] = "Abbrechen";
    texts[{common, IDS_COMMON_FINISH}] = "Fertig";
    texts[{common, IDS_COMMON_MB}] = "MB";
    InsertChecked(2);
    ASSERT_EQ(0u, Burn(FixtureTree()));
    CDeviceSelectionDialog dialog(cdId);
    std::vector<std::string> seen;
    RunDialog(dialog, [&](HWND window) {
        seen = {Text(window), Text(window, IDC_DEVICE_LABEL), Text(window, IDC_SESSIONS_LABEL),
                Text(window, IDCANCEL), Text(window, IDOK), Text(window, IDC_MEDIUM_LINE),
                Text(window, IDC_TOTAL_SPACE)};
        for (const std::string& line : TreeLines(GetDlgItem(window, IDC_SESSION_TREE))) seen.push_back(line);
        Screenshot("device_dialog_translated");
    });
    EXPECT_EQ((std::vector<std::string>{"Neues Projekt", "Laufwerk:", "Sitzungen:", "Abbrechen", "Fertig",
                                        "Medium: CD-R", "Gesamt: 702 MB", "Sitzung 01", "  Spur 01"}),
              seen);
}

// --- the dialogs without the engine ---

class SmallDialogs : public testing::Test {
protected:
    TestServices services;
    TempFolder files;
};

TEST_F(SmallDialogs, ProjectTypeFlagsFollowTheChoices)
{
    struct Case {
        int radio;
        bool finalize;
        int button;
        INT_PTR result;
        unsigned flags;
    } cases[] = {
        {IDC_BEGIN_NEW_DISC, false, IDOK, IDOK, 0},
        {IDC_BEGIN_NEW_DISC, true, IDOK, IDOK, 2},
        {IDC_CONTINUE_DISC, false, IDOK, IDOK, 1},
        {IDC_CONTINUE_DISC, true, IDOK, IDOK, 3},
        {IDC_CONTINUE_DISC, true, IDCANCEL, IDCANCEL, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.radio << " " << c.finalize << " " << c.button);
        CProjectTypeSelectionDialog dialog;
        bool startsNew = false, startsOpen = true;
        EXPECT_EQ(c.result, RunDialog(dialog, [&](HWND window) {
            startsNew = IsDlgButtonChecked(window, IDC_BEGIN_NEW_DISC) == BST_CHECKED;
            startsOpen = IsDlgButtonChecked(window, IDC_FINALIZE) == BST_CHECKED;
            if (c.flags == 3) Screenshot("project_type_dialog");
            SendMessageA(GetDlgItem(window, IDC_BEGIN_NEW_DISC), BM_SETCHECK, c.radio == IDC_BEGIN_NEW_DISC, 0);
            SendMessageA(GetDlgItem(window, IDC_CONTINUE_DISC), BM_SETCHECK, c.radio == IDC_CONTINUE_DISC, 0);
            SendMessageA(GetDlgItem(window, IDC_FINALIZE), BM_SETCHECK, c.finalize, 0);
            Press(window, c.button);
        }));
        EXPECT_TRUE(startsNew);
        EXPECT_FALSE(startsOpen);
        EXPECT_EQ(c.flags, dialog.Flags());
    }
}

TEST_F(SmallDialogs, ProjectTypeTextsComeFromTheLanguageFile)
{
    const std::string own = GuidToString(CLSID_CoNostrine), common = COMMON_LANG_SECTION;
    auto& texts = services.translator->texts;
    texts[{own, IDS_NEW_PROJECT}] = "Nouveau projet";
    texts[{own, IDS_BEGIN_NEW_DISC}] = "Nouveau disque";
    texts[{own, IDS_FINALIZE_AFTER_BURN}] = "Fermer le disque";
    texts[{common, IDS_COMMON_NEXT}] = "Suivant >";
    CProjectTypeSelectionDialog dialog;
    std::vector<std::string> seen;
    RunDialog(dialog, [&](HWND window) {
        seen = {Text(window), Text(window, IDC_BEGIN_NEW_DISC), Text(window, IDC_CONTINUE_DISC),
                Text(window, IDC_FINALIZE), Text(window, IDOK), Text(window, IDCANCEL)};
    });
    EXPECT_EQ((std::vector<std::string>{"Nouveau projet", "Nouveau disque", "Continue multisession disc",
                                        "Fermer le disque", "Suivant >", "Cancel"}),
              seen);
}

// The progress window: the path fits its line whatever its length, Stop
// is seen once, and showing the window again forgets it.
TEST_F(SmallDialogs, ProgressShowsTheFileAndTakesStop)
{
    CFilesProcessingDialog dialog(GuidToString(CLSID_CoNostrine));
    ASSERT_TRUE(dialog.Create(nullptr));
    dialog.Show(true);
    const std::string shortPath = "C:\\data\\a.txt";
    const std::string longPath = "C:\\" + std::string(200, 'd') + "\\" + std::string(300, 'f') + ".txt";
    for (const std::string& path : {shortPath, longPath}) {
        dialog.SetFile(path);
        const std::string shown = Text(dialog.m_hWnd, IDC_PROCESSING_PATH);
        RECT line = {};
        GetClientRect(GetDlgItem(dialog.m_hWnd, IDC_PROCESSING_PATH), &line);
        HDC dc = GetDC(dialog.m_hWnd);
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SIZE extent = {};
        GetTextExtentPoint32A(dc, shown.c_str(), int(shown.size()), &extent);
        ReleaseDC(dialog.m_hWnd, dc);
        EXPECT_FALSE(shown.empty());
        EXPECT_LT(shown.size(), size_t(MAX_PATH));
        EXPECT_LE(extent.cx, line.right - line.left) << shown;
        if (path == shortPath) EXPECT_EQ(shortPath, shown);
        else EXPECT_NE(std::string::npos, shown.find("...")) << shown;
    }
    EXPECT_EQ("Files processing", Text(dialog.m_hWnd));
    EXPECT_EQ("Stop", Text(dialog.m_hWnd, IDC_PROCESSING_STOP));
    PumpFor(200);  // drawn, as the editor's adding loop lets it be
    Screenshot("files_processing_dialog");

    EXPECT_FALSE(dialog.StopRequested());
    Press(dialog.m_hWnd, IDC_PROCESSING_STOP);
    EXPECT_TRUE(dialog.StopRequested());
    dialog.Show(false);
    EXPECT_TRUE(dialog.StopRequested()) << "until it is shown again";
    dialog.Show(true);
    EXPECT_FALSE(dialog.StopRequested());
    dialog.Destroy();
}

TEST_F(SmallDialogs, EntryChoiceReturnsThePathOfTheChosenEntry)
{
    WriteFileBytes(files.File("a.txt"), "a");
    CreateDirectoryA(files.File("docs").c_str(), nullptr);
    CreateDirectoryA(files.File("docs\\deep").c_str(), nullptr);
    WriteFileBytes(files.File("docs\\b.txt"), "b");
    WriteFileBytes(files.File("docs\\deep\\c.txt"), "c");
    CUserFSTree tree;
    ASSERT_TRUE(tree.AddPath(tree.GetRoot(), files.File("a.txt").c_str()));
    ASSERT_TRUE(tree.AddPath(tree.GetRoot(), files.File("docs").c_str()));
    tree.AddImportedFile(tree.GetRoot(), "old.dat", 10);

    struct Case {
        const char* folder;  // chosen in the tree
        int row;             // chosen in the list; -1 none; -2 double-clicked folder row 0
        std::vector<std::string> rows;
        std::string path;
    } cases[] = {
        {nullptr, -1, {"docs", "a.txt", "old.dat"}, "\\"},
        {nullptr, 2, {"docs", "a.txt", "old.dat"}, "\\old.dat"},
        {"docs", 1, {"deep", "b.txt"}, "\\docs\\b.txt"},
        {"docs", -2, {"deep", "b.txt"}, "\\docs\\deep\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        CUserFSEntryChoiceDialog dialog(tree);
        std::vector<std::string> folders, rows;
        std::string shown;
        EXPECT_EQ(IDOK, RunDialog(dialog, [&](HWND window) {
            HWND folderTree = GetDlgItem(window, IDC_ENTRY_FOLDERS), list = GetDlgItem(window, IDC_ENTRY_LIST);
            folders = TreeLines(folderTree);
            if (c.folder) TreeView_SelectItem(folderTree, FindItem(folderTree, c.folder));
            for (int i = 0; i < ListView_GetItemCount(list); ++i) {
                char text[MAX_PATH] = "";
                ListView_GetItemText(list, i, 0, text, sizeof text);
                rows.push_back(text);
            }
            if (c.row >= 0) ListView_SetItemState(list, c.row, LVIS_SELECTED, LVIS_SELECTED);
            if (c.row == -2) {
                NMITEMACTIVATE click = {};
                click.hdr = {list, IDC_ENTRY_LIST, NM_DBLCLK};
                click.iItem = 0;
                SendMessageA(window, WM_NOTIFY, IDC_ENTRY_LIST, LPARAM(&click));
            }
            if (c.row == 2) Screenshot("entry_choice_dialog");
            shown = Text(window, IDC_ENTRY_PATH);
            Press(window, IDOK);
        }));
        EXPECT_EQ((std::vector<std::string>{tree.GetRoot()->m_name, "  docs"}), folders);
        EXPECT_EQ(c.rows, rows);
        EXPECT_EQ(c.path, shown);
        EXPECT_EQ(c.path, dialog.Path());
    }
}

// The list asks for a row's text into a buffer of its own size: a longer
// name is cut to it and terminated, and nothing past it is written.
TEST_F(SmallDialogs, EntryNamesFitTheListsBuffer)
{
    CUserFSTree tree;
    tree.AddImportedFile(tree.GetRoot(), "a rather long name.txt", 1);
    CUserFSEntryChoiceDialog dialog(tree);
    char buffer[16];
    RunDialog(dialog, [&](HWND window) {
        for (int size : {1, 5, 8}) {
            std::memset(buffer, '#', sizeof buffer);
            NMLVDISPINFOA info = {};
            info.hdr = {GetDlgItem(window, IDC_ENTRY_LIST), IDC_ENTRY_LIST, LVN_GETDISPINFOA};
            info.item.mask = LVIF_TEXT;
            info.item.iItem = 0;
            info.item.pszText = buffer;
            info.item.cchTextMax = size;
            SendMessageA(window, WM_NOTIFY, IDC_ENTRY_LIST, LPARAM(&info));
            EXPECT_EQ(std::string("a rather long name.txt").substr(0, size_t(size - 1)), std::string(buffer)) << size;
            EXPECT_EQ(std::string(sizeof buffer - size_t(size), '#'), std::string(buffer + size, sizeof buffer - size))
                << "nothing written past " << size;
        }
    });
}

// The names of the medium types, and the space texts.
TEST(DeviceDialogTexts, NamesMediaAndSpaces)
{
    TestServices services;
    const struct {
        unsigned type;
        const char* name;
    } types[] = {{0, "Unknown"}, {1, "CD-ROM"}, {2, "CD-R"}, {8, "DVD-RW SR"}, {13, "DVD+R"},
                 {14, "No media"}, {15, "DVD+R DL"}, {16, "Unknown"}, {0xFFFFFFFF, "Unknown"}};
    for (const auto& t : types) EXPECT_EQ(t.name, CDeviceSelectionDialog::MediumTypeName(t.type)) << t.type;
    const struct {
        LONGLONG bytes;
        const char* text;
    } sizes[] = {{512, "512"}, {1048576, "1 024 Kb"}, {2097152, "2 Mb"}, {4294967296LL, "4 096 Mb"},
                 {0, "0"}, {-1, "--:--"}};
    for (const auto& s : sizes) EXPECT_EQ(s.text, CDeviceSelectionDialog::SpaceText(s.bytes)) << s.bytes;
}

}  // namespace
