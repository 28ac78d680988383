// The data editor frame inside a data-disc project (the task panel and the
// burning frame are stubs): what the project sees of it, adds by paste and
// by drop, rename, remove, and the project section, with the edits refused
// while the project has the user interface disabled.
#include "data_editor_fixture.h"
#include "data_object.h"
#include <message_box.h>
#include <algorithm>

namespace {

TEST_F(DataEditorFrameTest, ProjectMakesTheEditorWithItsPaneAndAnswersCommands)
{
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    HWND window = nullptr;
    ASSERT_EQ(S_OK, editor->GetOwnWindow(&window));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(editor->Tree().GetRoot(), editor->SelectedFolder());
    EXPECT_EQ(1, TreeView_GetCount(editor->FolderTree()));
    // The list shares the system image list: destroying it leaves the icons.
    EXPECT_TRUE(GetWindowLongA(editor->FileList(), GWL_STYLE) & LVS_SHAREIMAGELISTS);

    // The project numbers the pane and actions its own way; the captions
    // are the editor's texts (this test program's string table lends the
    // project's texts to some numbers).
    std::vector<std::string> added;
    for (const std::string& call : Stubs().panel->calls)
        if (call.rfind("AddPane", 0) == 0 || call.rfind("AddAction", 0) == 0) added.push_back(call);
    ASSERT_EQ(6u, added.size()) << ::testing::PrintToString(Stubs().panel->calls);
    EXPECT_EQ("AddAction 2000 2001 Create new folder", added[1]);
    EXPECT_EQ("AddAction 2000 2002 Add files...", added[2]);
    EXPECT_EQ("AddAction 2000 2003 Add folder...", added[3]);
    EXPECT_EQ("AddAction 2000 2004 Rename", added[4]);

    EXPECT_EQ(E_INVALIDARG, editor->InvokeCommand(nullptr, GUID_NULL, PCID_START, nullptr));
    EXPECT_EQ(E_COMMAND_NOT_HANDLED, Command(editor, 4242));
    ULONGLONG size = 0;
    EXPECT_EQ(S_OK, Command(editor, PCID_GET_IMAGE_SIZE, {{VT_UI8 | VT_BYREF, &size}}));
    EXPECT_EQ(0u, size);
    // WM_CLOSE outside a preparation agrees and leaves the frame in place.
    EXPECT_EQ(0, SendMessageA(window, WM_CLOSE, 0, 0));
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(DataEditorFrameTest, PasteAndDropsAddUnderTheirFoldersAndAreRefusedWhileDisabled)
{
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    CUserFSEntry* root = editor->Tree().GetRoot();

    // Disabled by the project: nothing is added, and the drop is still released.
    ASSERT_EQ(S_OK, Command(editor, PCID_ENABLE_UI, {{VT_UI4, 0u}}));
    Paste(editor, {files.File("alpha.txt")});
    SendMessageA(editor->FolderTree(), WM_DROPFILES, WPARAM(DropBlock({files.File("beta.txt")})), 0);
    EXPECT_TRUE(Names(root).empty());
    EXPECT_FALSE(editor->Modified());

    ASSERT_EQ(S_OK, Command(editor, PCID_ENABLE_UI, {{VT_UI4, 1u}}));
    Paste(editor, {files.File("alpha.txt"), files.File("gamma")});
    EXPECT_EQ((std::vector<std::string>{"gamma", "alpha.txt"}), Names(root));
    EXPECT_TRUE(editor->Modified());
    ASSERT_EQ(2u, editor->ListEntries().size());
    EXPECT_EQ("gamma", RowText(editor, 0, 0));
    EXPECT_EQ("alpha.txt", RowText(editor, 1, 0));
    EXPECT_EQ("4 Kb", RowText(editor, 1, 2));  // two 2,048-byte blocks
    EXPECT_EQ(2, TreeView_GetCount(editor->FolderTree()));  // root and gamma

    // Onto the tree away from any item: under the root.
    SendMessageA(editor->FolderTree(), WM_DROPFILES, WPARAM(DropBlock({files.File("beta.txt")}, {5, 300})), 0);
    EXPECT_EQ((std::vector<std::string>{"gamma", "alpha.txt", "beta.txt"}), Names(root));
    // Onto the list's folder row: into that folder.
    RECT row = {LVIR_BOUNDS};
    SendMessageA(editor->FileList(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    POINT onGamma = {row.left + 20, (row.top + row.bottom) / 2};
    SendMessageA(editor->FileList(), WM_DROPFILES, WPARAM(DropBlock({files.File("beta.txt")}, onGamma)), 0);
    CUserFSEntry* gamma = editor->Tree().FindChild(root, "gamma");
    ASSERT_NE(nullptr, gamma);
    EXPECT_EQ((std::vector<std::string>{"beta.txt", "inner.txt"}), Names(gamma));

    ULONGLONG size = 0;
    EXPECT_EQ(S_OK, Command(editor, PCID_GET_IMAGE_SIZE, {{VT_UI8 | VT_BYREF, &size}}));
    EXPECT_EQ(5u * 2048, size);  // alpha two blocks; beta, beta and inner one each
}

TEST_F(DataEditorFrameTest, RenameAndRemoveRebuildTheListAndWaitWhileDisabled)
{
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    CUserFSEntry* root = editor->Tree().GetRoot();
    ASSERT_TRUE(editor->AddPaths(root, {files.File("alpha.txt"), files.File("beta.txt"), files.File("gamma")}));
    ASSERT_EQ(3u, editor->ListEntries().size());

    // Rename of the row "beta.txt"; the list is rebuilt in the tree's order.
    EXPECT_TRUE(EndListEdit(editor, 2, "zeta.txt"));
    EXPECT_EQ((std::vector<std::string>{"gamma", "alpha.txt", "zeta.txt"}), Names(root));
    EXPECT_EQ("zeta.txt", RowText(editor, 2, 0));
    // While the project has the UI disabled a label edit is refused.
    Command(editor, PCID_ENABLE_UI, {{VT_UI4, 0u}});
    EXPECT_FALSE(EndListEdit(editor, 2, "omega.txt"));
    EXPECT_EQ("zeta.txt", RowText(editor, 2, 0));

    // Delete while disabled removes nothing.
    SelectRow(editor, 0);
    PressKey(editor->FileList(), VK_DELETE);
    EXPECT_EQ(3u, Names(root).size());

    Command(editor, PCID_ENABLE_UI, {{VT_UI4, 1u}});
    SelectRow(editor, 0);  // the folder gamma and all under it, and alpha.txt
    ListView_SetItemState(editor->FileList(), 1, LVIS_SELECTED, LVIS_SELECTED);
    PressKey(editor->FileList(), VK_DELETE);
    EXPECT_EQ((std::vector<std::string>{"zeta.txt"}), Names(root));
    ASSERT_EQ(1u, editor->ListEntries().size());
    EXPECT_EQ(editor->Tree().FindChild(root, "zeta.txt"), editor->ListEntries()[0]);
    EXPECT_EQ("zeta.txt", RowText(editor, 0, 0));
    EXPECT_EQ(1, TreeView_GetCount(editor->FolderTree()));  // gamma's item went too
    EXPECT_EQ(2u, editor->Tree().GetEntryCount());
}

// The name-clash question is the Common box with exactly Yes, Yes to all
// and No; each answer decides which of two clashing files are replaced.
TEST_F(DataEditorFrameTest, EachAnswerToTheClashQuestionReplacesWhatItSays)
{
    // Two folders "pair": the second, added onto the first, merges into it
    // and its two files clash, asked about within one add.
    for (const char* folder : {"first", "first\\pair", "second", "second\\pair"})
        CreateDirectoryA(files.File(folder).c_str(), nullptr);
    WriteFileBytes(files.File("first\\pair\\alpha.txt"), std::string(3000, 'a'));
    WriteFileBytes(files.File("first\\pair\\beta.txt"), "b");
    WriteFileBytes(files.File("second\\pair\\alpha.txt"), std::string(10, 'x'));
    WriteFileBytes(files.File("second\\pair\\beta.txt"), std::string(20, 'y'));
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    // A system box here would be the wrong buttons: it is cancelled.
    DialogDriver systemBoxes([](HWND box) { DialogDriver::Press(box, IDCANCEL); });
    CUserFSEntry* root = editor->Tree().GetRoot();
    struct Case {
        std::vector<unsigned long> answers;
        size_t questions;
        bool alphaReplaced, betaReplaced;
    };
    const Case cases[] = {
        {{MBX_YES, MBX_YES}, 2, true, true},
        {{MBX_NO, MBX_NO}, 2, false, false},
        {{MBX_YESTOALL}, 1, true, true},
        {{MBX_NO, MBX_YES}, 2, false, true},
        {{MBX_YES, MBX_NO}, 2, true, false},
        {{MBX_CANCEL}, 1, false, false},  // Escape or the close box: the add stops there
    };
    for (const Case& c : cases) {
        const std::string label = ::testing::PrintToString(c.answers);
        for (CUserFSEntry* e = root->FirstChild(); e; e = root->FirstChild()) editor->Tree().Remove(e);
        ASSERT_TRUE(editor->AddPaths(root, {files.File("first\\pair")}));
        services.translator->boxes.clear();
        services.translator->answers.assign(c.answers.begin(), c.answers.end());
        ASSERT_TRUE(editor->AddPaths(root, {files.File("second\\pair")}));
        ASSERT_EQ(c.questions, services.translator->boxes.size()) << label;
        EXPECT_EQ(0, systemBoxes.Seen()) << label;
        for (const CTestTranslator::Box& box : services.translator->boxes)
            EXPECT_EQ(MBX_YES | MBX_YESTOALL | MBX_NO | MBX_ICONWARNING, box.type) << label;
        EXPECT_EQ("File \"alpha.txt\" already exists. Replace?", services.translator->boxes[0].message) << label;
        CUserFSEntry* pair = editor->Tree().FindChild(root, "pair");
        ASSERT_TRUE(pair) << label;
        CUserFSEntry* alpha = editor->Tree().FindChild(pair, "alpha.txt");
        CUserFSEntry* beta = editor->Tree().FindChild(pair, "beta.txt");
        ASSERT_TRUE(alpha && beta) << label;
        EXPECT_EQ(c.alphaReplaced ? 10 : 3000, alpha->m_size) << label;
        EXPECT_EQ(c.betaReplaced ? 20 : 1, beta->m_size) << label;
    }
}

// The folder tree shows the name a rename kept (a label cut to its field),
// not the text typed into the edit box.
TEST_F(DataEditorFrameTest, ARenameInTheFolderTreeShowsTheNameKept)
{
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    CUserFSEntry* root = editor->Tree().GetRoot();
    ASSERT_TRUE(editor->AddPaths(root, {files.File("gamma")}));
    auto labelAfterEdit = [&](CUserFSEntry* entry, const char* typed) {
        HWND tree = editor->FolderTree();
        const HTREEITEM item = static_cast<HTREEITEM>(entry->m_treeItem);
        SetFocus(tree);
        TreeView_SelectItem(tree, item);
        HWND edit = TreeView_EditLabel(tree, item);
        if (!edit) return std::string("no edit box");
        SetWindowTextA(edit, typed);
        TreeView_EndEditLabelNow(tree, FALSE);
        CMainFrameStandIn::Pump();
        return TreeItemText(tree, item);
    };
    EXPECT_EQ("A label of n", labelAfterEdit(root, "A label of nineteen"));
    EXPECT_EQ("A label of n", root->m_name);
    CUserFSEntry* gamma = editor->Tree().FindChild(root, "gamma");
    ASSERT_TRUE(gamma);
    EXPECT_EQ("delta", labelAfterEdit(gamma, "  delta. "));
    EXPECT_EQ("delta", gamma->m_name);
}

// Edit > Paste is offered while a file list is on the clipboard and edits
// are taken; the project asks the editor again as its state changes.
TEST_F(DataEditorFrameTest, EditPasteIsOfferedWhileTheClipboardHoldsAFileList)
{
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    CProjectBase* project = static_cast<CProjectBase*>(projects.back().Get());
    auto pasteOffered = [&] {
        return !(GetMenuState(project->ProjectMenu(), ID_STANDARD_PASTE, MF_BYCOMMAND) & MF_GRAYED);
    };
    auto settle = [] {
        for (int i = 0; i < 20; ++i) {
            CMainFrameStandIn::Pump();
            Sleep(10);
        }
    };
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    settle();
    EXPECT_FALSE(pasteOffered());
    BOOL enabled = TRUE;
    EXPECT_EQ(S_OK, Command(editor, PCID_QUERY_ACTION_ENABLED, {{VT_I4, long(ID_STANDARD_PASTE)}, {VT_BOOL | VT_BYREF, &enabled}}));
    EXPECT_FALSE(enabled);

    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_HDROP, DropBlock({files.File("alpha.txt")}));
    CloseClipboard();
    settle();
    EXPECT_TRUE(pasteOffered()) << "a file list was put on the clipboard";
    EXPECT_EQ(S_OK, Command(editor, PCID_QUERY_ACTION_ENABLED, {{VT_I4, long(ID_STANDARD_PASTE)}, {VT_BOOL | VT_BYREF, &enabled}}));
    EXPECT_TRUE(enabled);
    EXPECT_EQ(S_OK, Command(editor, PCID_QUERY_ACTION_ENABLED, {{VT_I4, 0xE122}, {VT_BOOL | VT_BYREF, &enabled}}));
    EXPECT_FALSE(enabled) << "Copy is not the editor's";

    ASSERT_EQ(S_OK, Command(editor, PCID_ENABLE_UI, {{VT_UI4, 0u}}));
    settle();
    EXPECT_FALSE(pasteOffered()) << "edits are refused";
    ASSERT_EQ(S_OK, Command(editor, PCID_ENABLE_UI, {{VT_UI4, 1u}}));
    settle();
    EXPECT_TRUE(pasteOffered());
}

TEST_F(DataEditorFrameTest, SectionRoundTripRestoresTreeAndSettings)
{
    std::string path = files.File("saved.qvdata");
    {
        CCoNostrine* editor = OpenEditor();
        ASSERT_NE(nullptr, editor);
        CUserFSEntry* root = editor->Tree().GetRoot();
        ASSERT_TRUE(editor->AddPaths(root, {files.File("gamma"), files.File("alpha.txt")}));
        ASSERT_TRUE(EndListEdit(editor, 1, "renamed.txt"));
        SendMessageA([&] { HWND w; editor->GetOwnWindow(&w); return w; }(), WM_COMMAND, ID_SORT_TOGGLE, 0);

        EXPECT_EQ(E_POINTER, editor->Save(nullptr));
        ASSERT_NO_FATAL_FAILURE(SaveToFile(editor, path));
        editor->OnSaveCompleted(S_OK);
        EXPECT_FALSE(editor->Modified());
    }
    const std::string text = ReadFileBytes(path);
    EXPECT_NE(std::string::npos, text.find("class=\"CCoNostrine\"")) << text;
    EXPECT_NE(std::string::npos, text.find("sort_enabled=\"0\"")) << text;

    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    // A folder shown already: the views are rebuilt from the whole tree, each folder once.
    CUserFSEntry* root = editor->Tree().GetRoot();
    ASSERT_NE(nullptr, editor->Tree().CreateFolder(root, "delta"));
    ASSERT_EQ(S_OK, LoadFromFile(editor, path));
    EXPECT_EQ((std::vector<std::string>{"delta", "gamma", "renamed.txt"}), Names(root));
    EXPECT_EQ((std::vector<std::string>{"inner.txt"}), Names(editor->Tree().FindChild(root, "gamma")));
    EXPECT_FALSE(editor->Tree().m_sortingEnabled);
    EXPECT_FALSE(editor->Modified());
    EXPECT_EQ(3, TreeView_GetCount(editor->FolderTree()));
    EXPECT_EQ(3u, editor->ListEntries().size());
    long modified = 1;
    EXPECT_EQ(S_OK, editor->GetModified(&modified));
    EXPECT_EQ(0, modified);
}

// A project saved unsorted and loaded sorted (or sorted by a column click)
// shows its folders in the folder tree in the list's order.
TEST_F(DataEditorFrameTest, TheFolderTreeFollowsTheSortAfterALoad)
{
    auto treeFolders = [](CCoNostrine* editor) {
        std::vector<std::string> names;
        HWND tree = editor->FolderTree();
        HTREEITEM root = TreeView_GetRoot(tree);
        for (HTREEITEM item = TreeView_GetChild(tree, root); item; item = TreeView_GetNextSibling(tree, item))
            names.push_back(TreeItemText(tree, item));
        return names;
    };
    const std::string path = files.File("unsorted.qvdata");
    {
        CCoNostrine* editor = OpenEditor();
        ASSERT_NE(nullptr, editor);
        HWND window = nullptr;
        editor->GetOwnWindow(&window);
        SendMessageA(window, WM_COMMAND, ID_SORT_TOGGLE, 0);  // off: the user's own order
        CUserFSEntry* root = editor->Tree().GetRoot();
        ASSERT_TRUE(editor->Tree().CreateFolder(root, "zeta") && editor->Tree().CreateFolder(root, "alpha"));
        ASSERT_NO_FATAL_FAILURE(SaveToFile(editor, path));
    }
    std::string text = ReadFileBytes(path);
    const size_t at = text.find("sort_enabled=\"0\"");
    ASSERT_NE(std::string::npos, at) << text;
    text.replace(at, 16, "sort_enabled=\"1\"");
    WriteFileBytes(path, text);

    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    ASSERT_EQ(S_OK, LoadFromFile(editor, path));
    CUserFSEntry* root = editor->Tree().GetRoot();
    EXPECT_EQ((std::vector<std::string>{"alpha", "zeta"}), Names(root));
    EXPECT_EQ(Names(root), treeFolders(editor));
    ClickColumn(editor, 0);  // by name, now descending
    EXPECT_EQ((std::vector<std::string>{"zeta", "alpha"}), Names(root));
    EXPECT_EQ(Names(root), treeFolders(editor));
}

TEST_F(DataEditorFrameTest, NewFoldersAreNumberedAndColumnsSortTheTree)
{
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    HWND window = nullptr;
    editor->GetOwnWindow(&window);
    CUserFSEntry* root = editor->Tree().GetRoot();
    ASSERT_TRUE(editor->AddPaths(root, {files.File("alpha.txt"), files.File("beta.txt")}));
    ASSERT_NE(nullptr, editor->Tree().CreateFolder(root, "New Folder"));
    for (int i = 0; i < 3; ++i) {
        SelectFolderItem(editor, root);
        SendMessageA(window, WM_COMMAND, ID_CREATE_FOLDER, 0);
    }
    for (const char* name : {"New Folder (1)", "New Folder (2)", "New Folder (3)"})
        EXPECT_NE(nullptr, editor->Tree().FindChild(root, name)) << name;
    EXPECT_EQ(editor->Tree().FindChild(root, "New Folder (3)"), editor->SelectedFolder());

    // The Size column twice: by size, descending, files before folders.
    SelectFolderItem(editor, root);
    ClickColumn(editor, 2);
    ClickColumn(editor, 2);
    ASSERT_EQ(6u, editor->ListEntries().size());
    EXPECT_EQ("alpha.txt", editor->ListEntries()[0]->m_name);
    EXPECT_EQ("beta.txt", editor->ListEntries()[1]->m_name);
    EXPECT_TRUE(editor->ListEntries()[5]->IsFolder());
    EXPECT_EQ(Names(root)[0], editor->ListEntries()[0]->m_name);  // the list follows the tree
}

// A file list dragged from the shell: the drop target reads its own copy
// of the medium and adds under the folder at the point; while the project
// has the UI disabled nothing is accepted.
TEST_F(DataEditorFrameTest, DropTargetAddsDraggedFilesWhereTheyFall)
{
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    CUserFSEntry* root = editor->Tree().GetRoot();
    ASSERT_TRUE(editor->AddPaths(root, {files.File("gamma")}));
    com::ComPtr<IDataObject> data;
    ASSERT_EQ(S_OK, com::CreateObject<CCommonDataObject>(IID_IDataObject, reinterpret_cast<void**>(&data)));
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = DropBlock({files.File("alpha.txt"), files.File("beta.txt")});
    ASSERT_EQ(S_OK, data->SetData(&format, &medium, TRUE));
    com::ComPtr<IDropTarget> target;
    ASSERT_EQ(S_OK, target.QueryFrom(static_cast<IOwnWindow*>(editor), IID_IDropTarget));

    RECT treeRect;
    GetWindowRect(editor->FolderTree(), &treeRect);
    const POINTL belowItems = {treeRect.left + 20, treeRect.bottom - 10};
    struct Case {
        bool enabled;
        POINTL at;
        DWORD effect;
    } cases[] = {{false, belowItems, DROPEFFECT_NONE}, {true, belowItems, DROPEFFECT_COPY}};
    for (const Case& c : cases) {
        Command(editor, PCID_ENABLE_UI, {{VT_UI4, c.enabled ? 1u : 0u}});
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        ASSERT_EQ(S_OK, target->DragEnter(data, MK_LBUTTON, c.at, &effect));
        EXPECT_EQ(c.effect, effect);
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        ASSERT_EQ(S_OK, target->Drop(data, 0, c.at, &effect));
        EXPECT_EQ(c.effect, effect);
    }
    EXPECT_EQ((std::vector<std::string>{"gamma", "alpha.txt", "beta.txt"}), Names(root));

    // Onto the list's folder row: into gamma. The data object still holds its list.
    SelectFolderItem(editor, root);
    RECT row = {LVIR_BOUNDS};
    SendMessageA(editor->FileList(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    POINT onGamma = {row.left + 20, (row.top + row.bottom) / 2};
    ClientToScreen(editor->FileList(), &onGamma);
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target->DragEnter(data, MK_LBUTTON, POINTL{onGamma.x, onGamma.y}, &effect));
    ASSERT_EQ(S_OK, target->Drop(data, 0, POINTL{onGamma.x, onGamma.y}, &effect));
    EXPECT_EQ((std::vector<std::string>{"alpha.txt", "beta.txt", "inner.txt"}),
              Names(editor->Tree().FindChild(root, "gamma")));
}

// A name the code page cannot hold would read "?bc.txt", a wildcard that
// matches abc.txt beside it; a path over the limit would be cut. Both are
// refused and named, nothing is added in their place, and the drop does
// not say it copied.
TEST_F(DataEditorFrameTest, DroppedNamesTheCodePageCannotHoldOrTooLongAreRefusedAndNamed)
{
    WriteFileBytes(files.File("abc.txt"), "a");
    const std::string folder = files.File("");
    std::wstring wideFolder(folder.begin(), folder.end());
    const std::wstring foreign = wideFolder + L"\x4E2D" L"bc.txt";
    HANDLE made = CreateFileW(foreign.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, made);
    CloseHandle(made);
    const std::wstring tooLong = wideFolder + std::wstring(300, L'x') + L".txt";
    // A wide drop block, as the shell gives one.
    std::wstring names = foreign + L'\0' + tooLong + L'\0' + L'\0';
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(block);

    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    com::ComPtr<IDataObject> data;
    ASSERT_EQ(S_OK, com::CreateObject<CCommonDataObject>(IID_IDataObject, reinterpret_cast<void**>(&data)));
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = block;
    ASSERT_EQ(S_OK, data->SetData(&format, &medium, TRUE));
    com::ComPtr<IDropTarget> target;
    ASSERT_EQ(S_OK, target.QueryFrom(static_cast<IOwnWindow*>(editor), IID_IDropTarget));
    RECT treeRect;
    GetWindowRect(editor->FolderTree(), &treeRect);
    const POINTL at = {treeRect.left + 20, treeRect.bottom - 10};
    services.translator->boxes.clear();
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target->DragEnter(data, MK_LBUTTON, at, &effect));
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target->Drop(data, 0, at, &effect));
    EXPECT_EQ(DROPEFFECT_NONE, effect) << "nothing was copied";
    EXPECT_TRUE(Names(editor->Tree().GetRoot()).empty()) << ::testing::PrintToString(Names(editor->Tree().GetRoot()));
    ASSERT_EQ(1u, services.translator->boxes.size());
    const std::string& told = services.translator->boxes[0].message;
    EXPECT_EQ(0u, told.find("Not added: the names hold characters")) << told;
    EXPECT_NE(std::string::npos, told.find("?bc.txt")) << told;
    EXPECT_NE(std::string::npos, told.find(std::string(300, 'x'))) << told;

    // The same list pasted: the same refusal.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    FORMATETC asked = format;
    STGMEDIUM copy = {};
    ASSERT_EQ(S_OK, data->GetData(&asked, &copy));
    SetClipboardData(CF_HDROP, copy.hGlobal);
    CloseClipboard();
    HWND window = nullptr;
    editor->GetOwnWindow(&window);
    SendMessageA(window, WM_PASTE, 0, 0);
    EXPECT_TRUE(Names(editor->Tree().GetRoot()).empty());
    EXPECT_EQ(2u, services.translator->boxes.size());
    DeleteFileW(foreign.c_str());
}

// Clearing the whole disc from the folder tree asks first; Cancel keeps it.
TEST_F(DataEditorFrameTest, DeleteOnTheRootAsksBeforeClearingTheDisc)
{
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    CUserFSEntry* root = editor->Tree().GetRoot();
    ASSERT_TRUE(editor->AddPaths(root, {files.File("alpha.txt"), files.File("gamma")}));
    for (int answer : {IDCANCEL, IDOK}) {
        DialogDriver driver([answer](HWND box) { DialogDriver::Press(box, answer); });
        SelectFolderItem(editor, root);
        PressKey(editor->FolderTree(), VK_DELETE);
        EXPECT_EQ(1, driver.Seen());
        const std::vector<std::string> texts = driver.Texts();
        EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(),
                                         "This will clear the entire content of your projects. Continue?"))
            << ::testing::PrintToString(texts);
        EXPECT_EQ(answer == IDOK ? 0u : 2u, Names(root).size());
    }
    EXPECT_TRUE(editor->ListEntries().empty());
    EXPECT_EQ(1, TreeView_GetCount(editor->FolderTree()));
    // With nothing left, nothing is asked.
    DialogDriver driver([](HWND box) { DialogDriver::Press(box, IDOK); });
    PressKey(editor->FolderTree(), VK_DELETE);
    EXPECT_EQ(0, driver.Seen());
}

// Add files: the command opens the file dialog and adds what is chosen
// under the folder selected in the tree.
TEST_F(DataEditorFrameTest, AddFilesCommandAddsTheChosenFile)
{
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    CUserFSEntry* root = editor->Tree().GetRoot();
    const std::string chosen = files.File("beta.txt");
    HWND window = nullptr;
    editor->GetOwnWindow(&window);
    SelectFolderItem(editor, root);
    {
        DialogDriver driver([chosen](HWND dialog) { DialogDriver::SaveAs(dialog, chosen); });
        SendMessageA(window, WM_COMMAND, ID_ADD_FILES, 0);
        EXPECT_EQ(1, driver.Seen());
    }
    EXPECT_EQ((std::vector<std::string>{"beta.txt"}), Names(root));
    EXPECT_TRUE(editor->Modified());

    // A choice larger than the names buffer adds nothing, and says so.
    editor->SetFileNamesLength(16);
    services.translator->boxes.clear();
    const std::string other = files.File("alpha.txt");
    DialogDriver again([other](HWND dialog) { DialogDriver::SaveAs(dialog, other); });
    SendMessageA(window, WM_COMMAND, ID_ADD_FILES, 0);
    EXPECT_EQ(1, again.Seen());
    EXPECT_EQ((std::vector<std::string>{"beta.txt"}), Names(root));
    ASSERT_EQ(1u, services.translator->boxes.size());
    EXPECT_EQ("Too many files were chosen at once: add them in smaller groups, or add their folder.",
              services.translator->boxes[0].message);
}

}  // namespace
