// The data editor's views: the toolbar with its tooltips, the context menu,
// info tips, the imported entries' colour, the drag of its own entries and
// the drop of another editor's, and a large folder added while the editor
// keeps answering.
#include "data_editor_fixture.h"
#include "data_object.h"
#include "editor_view_texts.h"
#include "unix_tools.h"
#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

namespace {

HWND WindowOf(CCoNostrine* editor)
{
    HWND window = nullptr;
    editor->GetOwnWindow(&window);
    return window;
}

class DataEditorViewsTest : public DataEditorFrameTest {
protected:
    static std::string Tip(CCoNostrine* editor, unsigned id)
    {
        NMTTDISPINFOA info = {};
        info.hdr.hwndFrom = nullptr;
        info.hdr.idFrom = id;
        info.hdr.code = TTN_GETDISPINFOA;
        SendMessageA(WindowOf(editor), WM_NOTIFY, id, reinterpret_cast<LPARAM>(&info));
        return info.lpszText == info.szText ? std::string(info.szText) : std::string();
    }

    static LRESULT Notify(CCoNostrine* editor, NMHDR& header)
    {
        return SendMessageA(WindowOf(editor), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    }

    static void BeginListDrag(CCoNostrine* editor)
    {
        NMLISTVIEW begin = {};
        begin.hdr.hwndFrom = editor->FileList();
        begin.hdr.idFrom = IDC_FILE_LIST;
        begin.hdr.code = LVN_BEGINDRAG;
        begin.iItem = 0;
        Notify(editor, begin.hdr);
    }

    static POINTL RowPoint(CCoNostrine* editor, int row)
    {
        RECT r = {LVIR_BOUNDS};
        SendMessageA(editor->FileList(), LVM_GETITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(&r));
        POINT at = {r.left + 20, (r.top + r.bottom) / 2};
        ClientToScreen(editor->FileList(), &at);
        return POINTL{at.x, at.y};
    }

    static std::vector<std::string> RowNames(CCoNostrine* editor)
    {
        std::vector<std::string> names;
        for (const CUserFSEntry* e : editor->ListEntries()) names.push_back(e->m_name);
        return names;
    }

    // The data object the editor makes for its drag, from this program.
    LocalClassRegistration dataObjectClass{CLSID_CommonDataObject, com::Creator<CCommonDataObject>};
};

TEST(EditorViewTexts, CopiesFitTheirBuffersAndAreTerminated)
{
    const std::string longText(200, 'x');
    struct Case {
        const std::string* text;
        int size;
        size_t expected;
    } cases[] = {{&longText, 80, 79}, {&longText, 1, 0}, {&longText, 201, 200}, {&longText, 0, 0}};
    for (const Case& c : cases) {
        char buffer[256];
        std::memset(buffer, '#', sizeof buffer);
        CopyText(buffer, c.size, *c.text);
        if (c.size > 0) {
            EXPECT_EQ(c.expected, std::strlen(buffer)) << c.size;
        }
        EXPECT_EQ('#', buffer[std::max(c.size, 0)]) << "written past a buffer of " << c.size;
        wchar_t wide[256];
        std::fill(std::begin(wide), std::end(wide), L'#');
        CopyText(wide, c.size, *c.text);
        if (c.size > 0) {
            EXPECT_EQ(c.expected, wcslen(wide)) << c.size;
        }
        EXPECT_EQ(L'#', wide[std::max(c.size, 0)]) << "written past a wide buffer of " << c.size;
    }
}

TEST(EditorViewTexts, AMenuOffEveryMonitorOpensAtTheNearestWorkAreaEdgeAtTheSameHeight)
{
    MONITORINFO info = {sizeof info};
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info));
    const RECT work = info.rcWork;
    const LONG y = (work.top + work.bottom) / 2;
    struct Case {
        POINT at, expected;
    } cases[] = {
        {{work.left - 500, y}, {work.left, y}},
        {{work.right + 4000, y}, {work.right, y}},
        {{work.left + 10, y}, {work.left + 10, y}},
    };
    for (const Case& c : cases) {
        const POINT got = ContextMenuPoint(c.at);
        EXPECT_EQ(c.expected.x, got.x) << c.at.x;
        EXPECT_EQ(c.expected.y, got.y) << c.at.x;
    }
}

TEST_F(DataEditorViewsTest, ToolbarButtonsFollowTheCommandStateAndTheSortToggle)
{
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    const CEditorToolbar& bar = editor->Toolbar();
    ASSERT_TRUE(IsWindow(bar.Rebar()));
    ASSERT_EQ(8, SendMessageA(bar.Toolbar(), TB_BUTTONCOUNT, 0, 0));  // six buttons, two separators
    // The views sit below the rebar and above the Back and Next buttons.
    RECT rebar, tree, back;
    GetWindowRect(bar.Rebar(), &rebar);
    GetWindowRect(editor->FolderTree(), &tree);
    GetWindowRect(GetDlgItem(WindowOf(editor), 29334), &back);
    EXPECT_LE(rebar.bottom, tree.top);
    EXPECT_LT(tree.bottom, back.top);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(WindowOf(editor), 29334)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(WindowOf(editor), 29335)));

    SetFocus(editor->FolderTree());
    SendMessageA(WindowOf(editor), WM_UPDATE_COMMANDS, 0, 0);
    EXPECT_TRUE(bar.Enabled(ID_ADD_FILES));
    EXPECT_TRUE(bar.Enabled(ID_DELETE));  // the root: clear the content
    // The root stands for the disc: its own captions (the test program's
    // string table lends other texts to these numbers).
    EXPECT_NE("Delete", Tip(editor, ID_DELETE));
    EXPECT_NE("Rename", Tip(editor, ID_RENAME));
    EXPECT_EQ("Keep entries in your own order", Tip(editor, ID_SORT_TOGGLE));
    EXPECT_EQ("", Tip(editor, 4242));  // not a button of the toolbar: left to others

    Command(editor, PCID_ENABLE_UI, {{VT_UI4, 0u}});
    for (unsigned id : {ID_CREATE_FOLDER, ID_ADD_FILES, ID_ADD_FOLDER, ID_RENAME, ID_DELETE, ID_SORT_TOGGLE})
        EXPECT_FALSE(bar.Enabled(id)) << id;
    EXPECT_EQ(UINT(MF_GRAYED), GetMenuState(editor->ContextMenu(), ID_ADD_FILES, MF_BYCOMMAND) & MF_GRAYED);
    // A disabled editor takes no toggle sent as a command either.
    SendMessageA(WindowOf(editor), WM_COMMAND, ID_SORT_TOGGLE, 0);
    EXPECT_TRUE(editor->Tree().m_sortingEnabled);
    Command(editor, PCID_ENABLE_UI, {{VT_UI4, 1u}});

    SendMessageA(WindowOf(editor), WM_COMMAND, ID_SORT_TOGGLE, 0);
    EXPECT_FALSE(editor->Tree().m_sortingEnabled);
    EXPECT_EQ(CEditorToolbar::SORT_OFF_IMAGE, SendMessageA(bar.Toolbar(), TB_GETBITMAP, ID_SORT_TOGGLE, 0));
    EXPECT_EQ("Sort entries", Tip(editor, ID_SORT_TOGGLE));
    SendMessageA(WindowOf(editor), WM_COMMAND, ID_SORT_TOGGLE, 0);
    EXPECT_EQ(CEditorToolbar::SORT_ON_IMAGE, SendMessageA(bar.Toolbar(), TB_GETBITMAP, ID_SORT_TOGGLE, 0));

    // A click on a button runs its command in the frame.
    RECT button = {};
    ASSERT_TRUE(SendMessageA(bar.Toolbar(), TB_GETRECT, ID_CREATE_FOLDER, reinterpret_cast<LPARAM>(&button)));
    const LPARAM at = MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    SendMessageA(bar.Toolbar(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(bar.Toolbar(), WM_LBUTTONUP, 0, at);
    CMainFrameStandIn::Pump();
    EXPECT_EQ((std::vector<std::string>{"New Folder"}), Names(editor->Tree().GetRoot()));
}

// The context menu of the list: its rename and delete follow the selected
// row, and it opens where the click was.
TEST_F(DataEditorViewsTest, RightClickOnARowOpensTheMenuWithItsCommands)
{
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    ASSERT_TRUE(editor->AddPaths(editor->Tree().GetRoot(), {files.File("alpha.txt")}));
    SetFocus(editor->FileList());
    SelectRow(editor, 0);

    std::atomic<bool> stop{false};
    std::atomic<int> seenLeft{-100000}, seenTop{-100000};
    std::atomic<UINT> deleteState{0xFFFF};
    const DWORD thread = GetCurrentThreadId();
    std::thread watcher([&] {
        for (int i = 0; i < 300 && !stop; ++i) {
            HWND menu = FindWindowA("#32768", nullptr);
            if (menu && IsWindowVisible(menu)) {
                RECT r;
                GetWindowRect(menu, &r);
                seenLeft = r.left;
                seenTop = r.top;
                HMENU shown = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
                deleteState = shown ? GetMenuState(shown, ID_DELETE, MF_BYCOMMAND) : 0xFFFE;
                if (const char* shots = std::getenv("TB_FRAME_SHOTS")) {
                    Sleep(200);  // drawn by the menu's own loop meanwhile
                    RunUnix("import -window root '" + std::string(shots) + "/data_editor_menu.png' >/dev/null 2>&1; echo done");
                }
                PostThreadMessageA(thread, WM_KEYDOWN, VK_ESCAPE, 0);
                PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
                return;
            }
            Sleep(20);
        }
    });
    NMITEMACTIVATE click = {};
    click.hdr.hwndFrom = editor->FileList();
    click.hdr.idFrom = IDC_FILE_LIST;
    click.hdr.code = NM_RCLICK;
    click.iItem = 0;
    click.ptAction = POINT{30, 30};
    Notify(editor, click.hdr);
    stop = true;
    watcher.join();
    POINT expected = {30, 30};
    ClientToScreen(editor->FileList(), &expected);
    EXPECT_EQ(expected.x, seenLeft.load());
    EXPECT_EQ(expected.y, seenTop.load());
    EXPECT_EQ(0u, deleteState.load() & (MF_GRAYED | MF_DISABLED)) << deleteState.load();
}

TEST_F(DataEditorViewsTest, InfoTipsAndImportedColourOfRowsAndFolders)
{
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    CUserFSEntry* root = editor->Tree().GetRoot();
    ASSERT_NE(nullptr, editor->Tree().AddImportedFile(root, "old.txt", 5000));
    ASSERT_TRUE(editor->AddPaths(root, {files.File("alpha.txt")}));
    ASSERT_EQ((std::vector<std::string>{"alpha.txt", "old.txt"}), RowNames(editor));

    char text[512];
    NMLVGETINFOTIPA tip = {};
    tip.hdr.hwndFrom = editor->FileList();
    tip.hdr.idFrom = IDC_FILE_LIST;
    tip.hdr.code = LVN_GETINFOTIPA;
    tip.pszText = text;
    tip.cchTextMax = sizeof text;
    tip.iItem = 0;
    Notify(editor, tip.hdr);
    const std::string first(text);
    EXPECT_EQ(0u, first.find("Name : \"alpha.txt\"\nType : ")) << first;
    EXPECT_NE(std::string::npos, first.find("\nSize : 4 Kb\nOriginal path : \"" + files.File("alpha.txt") + "\""))
        << first;
    // A short buffer: cut, terminated, nothing written past it.
    std::memset(text, '#', sizeof text);
    tip.cchTextMax = 12;
    Notify(editor, tip.hdr);
    EXPECT_EQ(11u, std::strlen(text));
    EXPECT_EQ('#', text[12]);

    struct Case {
        int row;
        COLORREF colour;
    } cases[] = {{0, RGB(1, 2, 3)}, {1, RGB(100, 100, 150)}};
    for (const Case& c : cases) {
        NMLVCUSTOMDRAW draw = {};
        draw.nmcd.hdr.hwndFrom = editor->FileList();
        draw.nmcd.hdr.idFrom = IDC_FILE_LIST;
        draw.nmcd.hdr.code = NM_CUSTOMDRAW;
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.nmcd.dwItemSpec = DWORD_PTR(c.row);
        draw.clrText = RGB(1, 2, 3);
        Notify(editor, draw.nmcd.hdr);
        EXPECT_EQ(c.colour, draw.clrText) << c.row;
    }
    CUserFSEntry* oldFolder = editor->Tree().AddImportedFolder(root, "Old");
    ASSERT_NE(nullptr, oldFolder);
    NMTVCUSTOMDRAW folder = {};
    folder.nmcd.hdr.hwndFrom = editor->FolderTree();
    folder.nmcd.hdr.idFrom = IDC_FOLDER_TREE;
    folder.nmcd.hdr.code = NM_CUSTOMDRAW;
    folder.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    folder.nmcd.lItemlParam = reinterpret_cast<LPARAM>(oldFolder);
    Notify(editor, folder.nmcd.hdr);
    EXPECT_EQ(RGB(100, 100, 150), folder.clrText);
}

// While sorting is off the user orders the entries by dragging them in the
// list; entries dragged from anywhere else (another editor) are refused.
struct OwnDrag {
    CCoNostrine* editor;
    POINTL at;
    DWORD enterEffect = 0, dropEffect = 0;
    int markDuringDrag = -2;
    int calls = 0;
    bool shot = false;
    static HRESULT Run(IDataObject* data, IDropSource* source, DWORD allowed, DWORD* effect, void* context)
    {
        OwnDrag& drag = *static_cast<OwnDrag*>(context);
        ++drag.calls;
        EXPECT_EQ(DWORD(DROPEFFECT_MOVE), allowed);
        EXPECT_EQ(S_OK, source->QueryContinueDrag(FALSE, MK_LBUTTON));
        com::ComPtr<IDropTarget> target;
        target.QueryFrom(static_cast<IOwnWindow*>(drag.editor), IID_IDropTarget);
        DWORD e = allowed;
        target->DragEnter(data, MK_LBUTTON, drag.at, &e);
        drag.enterEffect = e;
        e = allowed;
        target->DragOver(MK_LBUTTON, drag.at, &e);
        drag.markDuringDrag = drag.editor->InsertionMark();
        if (drag.shot) Screenshot("data_editor_drag");
        EXPECT_EQ(DRAGDROP_S_DROP, source->QueryContinueDrag(FALSE, 0));
        e = allowed;
        target->Drop(data, 0, drag.at, &e);
        drag.dropEffect = *effect = e;
        return DRAGDROP_S_DROP;
    }
    static void Screenshot(const char* name);
};

// Into $TB_FRAME_SHOTS/<name>.png when that folder (a Unix path) is given.
void OwnDrag::Screenshot(const char* name)
{
    const char* folder = std::getenv("TB_FRAME_SHOTS");
    if (!folder || !*folder) return;
    for (int i = 0; i < 20; ++i) {
        CMainFrameStandIn::Pump();
        Sleep(10);
    }
    RunUnix("import -window root '" + std::string(folder) + "/" + name + ".png' >/dev/null 2>&1; echo done");
}

TEST_F(DataEditorViewsTest, OwnEntriesMoveByDragOnlyFromThisFrameAndOnlyUnsorted)
{
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    CUserFSEntry* root = editor->Tree().GetRoot();
    HWND window = WindowOf(editor);
    SendMessageA(window, WM_COMMAND, ID_SORT_TOGGLE, 0);  // sorting off
    ASSERT_TRUE(editor->AddPaths(root, {files.File("alpha.txt"), files.File("beta.txt"), files.File("gamma")}));
    SelectFolderItem(editor, root);
    ASSERT_EQ((std::vector<std::string>{"alpha.txt", "beta.txt", "gamma"}), RowNames(editor));

    // Another editor's entries: the private format from a drag not ours.
    com::ComPtr<IDataObject> foreign;
    ASSERT_EQ(S_OK, com::CreateObject<CCommonDataObject>(IID_IDataObject, reinterpret_cast<void**>(&foreign)));
    FORMATETC format = {CF_IMAGE_ENTRIES, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4);
    ASSERT_EQ(S_OK, foreign->SetData(&format, &medium, TRUE));
    com::ComPtr<IDropTarget> target;
    ASSERT_EQ(S_OK, target.QueryFrom(static_cast<IOwnWindow*>(editor), IID_IDropTarget));
    SelectRow(editor, 2);
    DWORD effect = DROPEFFECT_MOVE;
    ASSERT_EQ(S_OK, target->DragEnter(foreign, MK_LBUTTON, RowPoint(editor, 0), &effect));
    EXPECT_EQ(DWORD(DROPEFFECT_NONE), effect);
    effect = DROPEFFECT_MOVE;
    ASSERT_EQ(S_OK, target->Drop(foreign, 0, RowPoint(editor, 0), &effect));
    EXPECT_EQ(DWORD(DROPEFFECT_NONE), effect);
    EXPECT_EQ((std::vector<std::string>{"alpha.txt", "beta.txt", "gamma"}), Names(root));

    OwnDrag::Screenshot("data_editor_tree");

    // Our own drag of gamma onto the first row: it goes in front of alpha.
    OwnDrag drag{editor, RowPoint(editor, 0)};
    drag.shot = true;
    editor->SetDragLoop(OwnDrag::Run, &drag);
    SelectRow(editor, 2);
    BeginListDrag(editor);
    EXPECT_EQ(1, drag.calls);
    EXPECT_EQ(DWORD(DROPEFFECT_MOVE), drag.enterEffect);
    EXPECT_EQ(0, drag.markDuringDrag);
    EXPECT_EQ(DWORD(DROPEFFECT_MOVE), drag.dropEffect);
    EXPECT_EQ((std::vector<std::string>{"gamma", "alpha.txt", "beta.txt"}), Names(root));
    EXPECT_EQ((std::vector<std::string>{"gamma", "alpha.txt", "beta.txt"}), RowNames(editor));
    EXPECT_EQ(-1, editor->InsertionMark());
    EXPECT_TRUE(editor->Modified());

    // Below the last row: to the end.
    drag = OwnDrag{editor, RowPoint(editor, 2)};
    drag.at.y += 3 * (RowPoint(editor, 2).y - RowPoint(editor, 1).y);
    SelectRow(editor, 0);
    BeginListDrag(editor);
    EXPECT_EQ((std::vector<std::string>{"alpha.txt", "beta.txt", "gamma"}), RowNames(editor));

    // Sorting on: no drag starts.
    SendMessageA(window, WM_COMMAND, ID_SORT_TOGGLE, 0);
    drag = OwnDrag{editor, RowPoint(editor, 0)};
    SelectRow(editor, 2);
    BeginListDrag(editor);
    EXPECT_EQ(0, drag.calls);
    editor->SetDragLoop(nullptr, nullptr);
}

// Ten thousand files in one folder: all of them arrive, the editor keeps
// handling its messages meanwhile, and what it is sent meanwhile waits for
// the add to end instead of changing the tree under it.
TEST_F(DataEditorViewsTest, AFolderOfTenThousandFilesArrivesWholeWhileTheEditorAnswers)
{
    // Made and removed from the Unix side: through Wine each file costs milliseconds.
    const std::string big = files.File("big");
    const std::string unixBig = UnixPath(big);
    ASSERT_FALSE(unixBig.empty());
    const int count = 10000;
    ASSERT_EQ("made\n", RunUnix("mkdir '" + unixBig + "' && cd '" + unixBig +
                                "' && seq -f 'f%05g.dat' 0 9999 | xargs touch && echo made"));
    struct Cleanup {
        std::string path;
        ~Cleanup() { RunUnix("rm -rf '" + path + "'; echo gone"); }
    } cleanup{unixBig};
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    CUserFSEntry* root = editor->Tree().GetRoot();
    HWND window = WindowOf(editor);

    // Posted before the add starts, handled while it runs.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_HDROP, DropBlock({files.File("alpha.txt")}));
    CloseClipboard();
    PostMessageA(window, WM_PASTE, 0, 0);
    PostMessageA(editor->FileList(), WM_DROPFILES, WPARAM(DropBlock({files.File("beta.txt")})), 0);
    PostMessageA(editor->FolderTree(), WM_KEYDOWN, VK_DELETE, 0);
    PostMessageA(window, WM_COMMAND, ID_CREATE_FOLDER, 0);
    ASSERT_TRUE(editor->AddPaths(root, {big}));

    EXPECT_EQ((std::vector<std::string>{"big"}), Names(root));
    CUserFSEntry* folder = editor->Tree().FindChild(root, "big");
    ASSERT_NE(nullptr, folder);
    EXPECT_EQ(size_t(count), folder->ChildCount());
    EXPECT_EQ(DWORD(count + 2), editor->Tree().GetEntryCount());
    EXPECT_EQ(2, TreeView_GetCount(editor->FolderTree()));
    // The target folder is shown, then the new one is opened.
    EXPECT_EQ(root, editor->SelectedFolder());
    SelectFolderItem(editor, folder);
    EXPECT_EQ(size_t(count), editor->ListEntries().size());
    EXPECT_EQ("f09999.dat", RowText(editor, count - 1, 0));
    // Once the add is over, the editor takes edits again.
    SelectFolderItem(editor, root);
    SendMessageA(window, WM_COMMAND, ID_CREATE_FOLDER, 0);
    EXPECT_EQ((std::vector<std::string>{"big", "New Folder"}), Names(root));
    // Nothing sent during the add was left waiting to act now.
    CMainFrameStandIn::Pump();
    EXPECT_EQ((std::vector<std::string>{"big", "New Folder"}), Names(root));
}

// A pasted block is copied and read within its own size: a block whose
// names run to its end without the closing empty name gives those names
// and nothing from beyond it.
TEST_F(DataEditorViewsTest, APastedBlockIsReadWithinItsSize)
{
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    const std::string path = files.File("alpha.txt");
    const size_t size = sizeof(DROPFILES) + path.size() + 1;  // no closing empty name
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    BYTE* bytes = static_cast<BYTE*>(GlobalLock(block));
    reinterpret_cast<DROPFILES*>(bytes)->pFiles = sizeof(DROPFILES);
    std::memcpy(bytes + sizeof(DROPFILES), path.c_str(), path.size() + 1);
    GlobalUnlock(block);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_HDROP, block);
    CloseClipboard();
    SendMessageA(WindowOf(editor), WM_PASTE, 0, 0);
    EXPECT_EQ((std::vector<std::string>{"alpha.txt"}), Names(editor->Tree().GetRoot()));
    // The clipboard still holds its block: the editor read a copy.
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE held = GetClipboardData(CF_HDROP);
    EXPECT_NE(nullptr, held);
    EXPECT_EQ(size, GlobalSize(held));
    CloseClipboard();
}

// The bar between the folder tree and the file list follows the mouse.
TEST_F(DataEditorViewsTest, TheBarBetweenTheViewsMovesWithTheMouse)
{
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    HWND window = WindowOf(editor);
    RECT tree, list;
    GetWindowRect(editor->FolderTree(), &tree);
    GetWindowRect(editor->FileList(), &list);
    POINT bar = {tree.right + 1, (tree.top + tree.bottom) / 2};
    ScreenToClient(window, &bar);
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(bar.x, bar.y));
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(bar.x + 60, bar.y));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(bar.x + 60, bar.y));
    RECT movedTree, movedList;
    GetWindowRect(editor->FolderTree(), &movedTree);
    GetWindowRect(editor->FileList(), &movedList);
    EXPECT_NEAR(tree.right - tree.left + 60, movedTree.right - movedTree.left, 2);
    EXPECT_EQ(list.right, movedList.right);
    EXPECT_NEAR(list.left + 60, movedList.left, 2);
    // Once the button is up the mouse moves nothing.
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(bar.x + 100, bar.y));
    RECT after;
    GetWindowRect(editor->FolderTree(), &after);
    EXPECT_EQ(movedTree.right, after.right);
}

// A folder's item shows the open folder while it is expanded, whether the
// user or the editor opened it; the root keeps its icon.
TEST_F(DataEditorViewsTest, FolderIconsOpenWithTheirItem)
{
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    CUserFSEntry* root = editor->Tree().GetRoot();
    ASSERT_TRUE(editor->AddPaths(root, {files.File("gamma")}));
    CUserFSEntry* gamma = editor->Tree().FindChild(root, "gamma");
    ASSERT_NE(nullptr, gamma);
    ASSERT_NE(nullptr, editor->Tree().CreateFolder(gamma, "inner"));
    auto image = [&](CUserFSEntry* folder) {
        TVITEMA item = {};
        item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        item.hItem = static_cast<HTREEITEM>(folder->m_treeItem);
        TreeView_GetItem(editor->FolderTree(), &item);
        EXPECT_EQ(item.iImage, item.iSelectedImage);
        return item.iImage;
    };
    auto systemIcon = [](UINT extra) {
        SHFILEINFOA info = {};
        SHGetFileInfoA("folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES | extra);
        return info.iIcon;
    };
    // Marked first, as the system may draw both folders alike.
    auto mark = [&](CUserFSEntry* folder) {
        TVITEMA item = {};
        item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        item.hItem = static_cast<HTREEITEM>(folder->m_treeItem);
        item.iImage = item.iSelectedImage = 4321;
        TreeView_SetItem(editor->FolderTree(), &item);
    };
    const int rootIcon = image(root);
    EXPECT_EQ(systemIcon(0), image(gamma));
    // The keys the user opens and closes a folder with.
    SelectFolderItem(editor, gamma);
    mark(gamma);
    PressKey(editor->FolderTree(), VK_ADD);
    EXPECT_EQ(systemIcon(SHGFI_OPENICON), image(gamma));
    mark(gamma);
    PressKey(editor->FolderTree(), VK_SUBTRACT);
    EXPECT_EQ(systemIcon(0), image(gamma));
    EXPECT_EQ(rootIcon, image(root));
    // Opened by the editor: a file added into it selects and expands it.
    mark(gamma);
    ASSERT_TRUE(editor->AddPaths(gamma, {files.File("beta.txt")}));
    EXPECT_EQ(systemIcon(SHGFI_OPENICON), image(gamma));
}

}  // namespace
