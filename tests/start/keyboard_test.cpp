// The keyboard on a data-disc project of a running Tessaly.exe: keys held
// in the program's input state and key messages through its message loop,
// as a user types them. The project's accelerators reach the commands of
// the project and of the main frame, and the keys an edit box uses stay
// with the edit box.
#include "tessaly_process.h"
#include <commctrl.h>
#include <gtest/gtest.h>

#ifdef TB_WITH_MARAVIN
namespace {

const char kApptype[] = "[Data]\r\nShowExplorerInitially=0\r\n";
const char kDataProject[] = "{2EECB0E1-0EE1-4541-87B1-D135261D0108}";  // Maravin.dll
const int IDC_FOLDER_TREE = 1500, IDC_BEGIN_NEW_DISC = 8196;

std::string ClipboardText()
{
    std::string text;
    if (!OpenClipboard(nullptr)) return "<clipboard busy>";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* chars = static_cast<const char*>(GlobalLock(data))) text = chars;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void EmptyTheClipboard()
{
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    CloseClipboard();
}

class DataProjectKeys : public testing::Test {
protected:
    void SetUp() override
    {
        install.RegisterType(kDataProject, 1);  // the only type: File > New opens it at once
        run = std::make_unique<TessalyRun>(install);
        frame = run->WaitForFrame();
        ASSERT_TRUE(frame);
        ASSERT_TRUE(WaitUntil([&] { return (project = VisibleProject("Data#1")) != nullptr; }, 20000));
        AnswerNewProjectQuestion();
        HWND splitter = GetWindow(project, GW_CHILD);
        for (HWND pane = GetWindow(splitter, GW_CHILD); pane && !tree; pane = GetWindow(pane, GW_HWNDNEXT))
            tree = FindDescendant(pane, IDC_FOLDER_TREE);
        ASSERT_TRUE(tree);
    }
    void TearDown() override
    {
        keyboard.reset();
        PostMessageA(frame, WM_CLOSE, 0, 0);
        for (DWORD start = GetTickCount(); GetTickCount() - start < 20000;) {
            if (run->WaitExit(100) != STILL_ACTIVE) break;
            // No to every question about unsaved changes.
            if (HWND box = run->WaitForWindow("#32770", install.Name().c_str(), 0))
                DismissBox(box, GetDlgItem(box, IDNO) ? IDNO : IDOK);
        }
    }

    HWND VisibleProject(const char* title)
    {
        for (HWND child : MdiChildren(frame))
            if (IsWindowVisible(child) && WindowText(child) == title) return child;
        return nullptr;
    }

    // A new data project asks first what to do with the disc: a new one.
    void AnswerNewProjectQuestion()
    {
        HWND question = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
            question = run->WaitForWindow("#32770", "New project", 0);
            return question && GetDlgItem(question, IDC_BEGIN_NEW_DISC);
        }, 20000));
        PostMessageA(question, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question) && IsWindowEnabled(frame); }, 5000));
    }

    // Control held while `key` goes to `focus`, until `done` holds.
    template <class F>
    bool CtrlKey(HWND focus, UINT key, F done, DWORD ms = 5000)
    {
        if (!keyboard) keyboard = std::make_unique<RemoteKeyboard>(frame);
        if (!keyboard->Attached()) return false;
        keyboard->Hold(VK_CONTROL);
        keyboard->Press(focus, key);
        const bool happened = WaitUntil(done, ms);
        keyboard->Release(VK_CONTROL);
        return happened;
    }

    // F2 on the tree's root: the label edit of the disc's name.
    HWND StartRenamingTheRoot()
    {
        HTREEITEM root = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(root));
        PostMessageA(tree, WM_KEYDOWN, VK_F2, 0);
        HWND edit = nullptr;
        WaitUntil([&] { return (edit = reinterpret_cast<HWND>(SendMessageA(tree, TVM_GETEDITCONTROL, 0, 0))); },
                  5000);
        return edit;
    }

    TessalyInstall install{kApptype};
    std::unique_ptr<TessalyRun> run;
    std::unique_ptr<RemoteKeyboard> keyboard;
    HWND frame = nullptr, project = nullptr, tree = nullptr;
};

TEST_F(DataProjectKeys, CopyAndPasteInTheRenameBoxThenSaveAndNew)
{
    // Ctrl+C and Ctrl+V inside the rename's edit box are the box's own.
    EmptyTheClipboard();
    HWND edit = StartRenamingTheRoot();
    ASSERT_TRUE(edit) << "F2 started no label edit";
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Disc"));
    SendMessageA(edit, EM_SETSEL, 0, -1);
    EXPECT_TRUE(CtrlKey(edit, 'C', [] { return ClipboardText() == "Disc"; })) << ClipboardText();
    SendMessageA(edit, EM_SETSEL, 4, 4);
    EXPECT_TRUE(CtrlKey(edit, 'V', [&] { return WindowText(edit) == "DiscDisc"; })) << WindowText(edit);
    SendMessageA(tree, TVM_ENDEDITLABELNOW, FALSE, 0);
    HTREEITEM root = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    EXPECT_TRUE(WaitUntil([&] { return RemoteTreeText(tree, run->Pid(), root) == "DiscDisc"; }, 5000))
        << RemoteTreeText(tree, run->Pid(), root);

    // Ctrl+S on the new, now modified project: Save As, as it has no file.
    HWND saveAs = nullptr;
    EXPECT_TRUE(CtrlKey(tree, 'S', [&] { return (saveAs = run->WaitForWindow("#32770", "Save As", 0)) != nullptr; }))
        << "Ctrl+S opened no Save As";
    if (saveAs) {
        PostMessageA(saveAs, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(saveAs) && IsWindowEnabled(frame); }, 10000));
    }

    // Ctrl+N: File > New of the main frame, which opens the only type.
    EXPECT_TRUE(CtrlKey(tree, 'N', [&] { return VisibleProject("Data#2") != nullptr; }, 20000)) << "Ctrl+N made no project";
    if (VisibleProject("Data#2")) AnswerNewProjectQuestion();
}

// File opened with Alt+F and left with Escape twice, the focus back in the
// folder tree: Alt+F4 there closes the program (the tree keeps the key from
// the default handling that would).
TEST_F(DataProjectKeys, AltF4InTheTreeClosesAfterAMenuWasLeftWithEscapeTwice)
{
    const LPARAM alt = 1 << 29, up = (1u << 30) | (1u << 31);
    PostMessageA(tree, WM_SYSKEYDOWN, VK_MENU, alt);
    PostMessageA(tree, WM_SYSKEYDOWN, 'F', alt);
    ASSERT_TRUE(run->WaitForWindow("#32768", nullptr, 5000));
    PostMessageA(tree, WM_SYSKEYUP, 'F', alt | up);
    PostMessageA(tree, WM_KEYUP, VK_MENU, up);
    for (int i = 0; i < 2; ++i) {
        PostMessageA(tree, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(tree, WM_KEYUP, VK_ESCAPE, up);
    }
    EXPECT_TRUE(WaitUntil([&] {
        HWND menu = run->WaitForWindow("#32768", nullptr, 0);
        return !menu || !IsWindowVisible(menu);
    }, 5000));
    PostMessageA(tree, WM_SYSKEYDOWN, VK_MENU, alt);
    PostMessageA(tree, WM_SYSKEYDOWN, VK_F4, alt);
    PostMessageA(tree, WM_SYSKEYUP, VK_F4, alt | up);
    PostMessageA(tree, WM_KEYUP, VK_MENU, up);
    EXPECT_EQ(0u, run->WaitExit(10000)) << "a new, unchanged project closes without a question";
}

}  // namespace
#endif
