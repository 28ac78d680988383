// The data editor's own dialogs as the editor uses them: the progress
// window of its adds, and the choice of an entry that the project asks for.
#include "data_editor_fixture.h"
#include "entry_choice_dialog.h"
#include <frames/common/files_processing_dialog.h>
#include <atomic>
#include <thread>

namespace {

BOOL CALLBACK FindProgressWindow(HWND window, LPARAM found)
{
    if (!IsWindowVisible(window) || !GetDlgItem(window, IDC_PROCESSING_STOP)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// A control's text without a message to its thread.
std::string WindowTextOf(HWND window)
{
    WCHAR text[MAX_PATH] = L"";
    InternalGetWindowText(window, text, MAX_PATH);
    char ansi[MAX_PATH * 2] = "";
    WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, nullptr);
    return ansi;
}

TEST_F(DataEditorFrameTest, StopInTheProgressWindowEndsTheAdd)
{
    const int FILES = 2000;
    CreateDirectoryA(files.File("many").c_str(), nullptr);
    for (int i = 0; i < FILES; ++i) WriteFileBytes(files.File("many\\f" + std::to_string(i) + ".txt"), "x");
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    CUserFSEntry* root = editor->Tree().GetRoot();

    // The progress window is modeless: a watcher presses its Stop, reading
    // and posting only, so that it never waits on this thread.
    std::string shown;
    std::atomic<HWND> progress{nullptr};
    std::atomic<bool> quit{false};
    const DWORD thread = GetCurrentThreadId();
    std::thread watcher([&] {
        while (!quit && !progress) {
            HWND found = nullptr;
            EnumThreadWindows(thread, FindProgressWindow, LPARAM(&found));
            if (found) shown = WindowTextOf(GetDlgItem(found, IDC_PROCESSING_PATH));
            if (!shown.empty()) {
                HWND stop = GetDlgItem(found, IDC_PROCESSING_STOP);
                PostMessageA(found, WM_COMMAND, MAKEWPARAM(IDC_PROCESSING_STOP, BN_CLICKED), LPARAM(stop));
                progress = found;
            }
            Sleep(5);
        }
    });
    const bool addedAtAll = editor->AddPaths(root, {files.File("many"), files.File("alpha.txt")});
    quit = true;
    watcher.join();
    ASSERT_TRUE(addedAtAll);
    ASSERT_TRUE(progress) << "the progress window was shown";
    EXPECT_FALSE(IsWindowVisible(progress)) << "and hidden again";
    EXPECT_NE(std::string::npos, shown.find(".txt")) << shown;
    CUserFSEntry* many = editor->Tree().FindChild(root, "many");
    ASSERT_TRUE(many);
    const size_t added = Names(many).size();
    EXPECT_GT(added, 0u);
    EXPECT_LT(added, size_t(FILES)) << "stopped before the end";
    EXPECT_FALSE(editor->Tree().FindChild(root, "alpha.txt")) << "the paths after the stop are not added";

    // The next add is not stopped.
    ASSERT_TRUE(editor->AddPaths(root, {files.File("beta.txt")}));
    EXPECT_TRUE(editor->Tree().FindChild(root, "beta.txt"));
}

// The project asks for an entry (command 4100): the path chosen in the
// dialog comes back; a cancelled choice is a failure.
TEST_F(DataEditorFrameTest, EntryChoiceAnswersTheProjectsQuestion)
{
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    ASSERT_TRUE(editor->AddPaths(editor->Tree().GetRoot(), {files.File("gamma")}));
    struct Case {
        int button;
        HRESULT result;
        const char* path;
    } cases[] = {{IDOK, S_OK, "\\gamma\\inner.txt"}, {IDCANCEL, E_FAIL, ""}};
    for (const Case& c : cases) {
        DialogDriver choose([&](HWND dialog) {
            HWND tree = GetDlgItem(dialog, IDC_ENTRY_FOLDERS), list = GetDlgItem(dialog, IDC_ENTRY_LIST);
            TreeView_SelectItem(tree, TreeView_GetChild(tree, TreeView_GetRoot(tree)));
            ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
            DialogDriver::Press(dialog, c.button);
        });
        BSTR path = nullptr;
        EXPECT_EQ(c.result, Command(editor, DECID_4100, {{VT_UI4, 0u}, {VT_BSTR | VT_BYREF, &path}}));
        com::Bstr owned;
        owned.Attach(path);
        EXPECT_EQ(c.path, owned.Ansi());
        EXPECT_EQ(1, choose.Seen());
    }
}

}  // namespace
