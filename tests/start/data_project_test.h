// A data-disc project driven through Tessaly.exe's own windows: the
// program, its visible project and panes, its dialogs and message boxes,
// File > New up to an empty editor, the close, and screenshots. The suite
// starts and ends without an engine; each test registers the data-disc
// type, begins with a blank CD-R in F and ends with the program and the
// engine closed.
#pragma once
#include "disc_folder.h"
#include "tessaly_process.h"
#include "unix_tools.h"
#include "vokmar_process.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>

const int IDC_FOLDER_TREE = 1500, IDC_FILE_LIST = 1600;
const int IDC_BEGIN_NEW_DISC = 8196, IDC_CONTINUE_DISC = 8197;
const char DATA_PROJECT_CLSID[] = "{2EECB0E1-0EE1-4541-87B1-D135261D0108}";  // Maravin.dll

class DataProjectTest : public testing::Test {
protected:
    explicit DataProjectTest(const char* apptype) : install(apptype) {}
    static void SetUpTestSuite() { StopEngine(); }
    static void TearDownTestSuite() { StopEngine(); }

    void SetUp() override
    {
        ASSERT_EQ(0u, RunDiscTool("insert F 2"));
        install.RegisterType(DATA_PROJECT_CLSID, 1);
    }
    void TearDown() override
    {
        if (run) CloseAnswering();
        run.reset();
        StopEngine();
    }

    HWND Frame() { return run->WaitForFrame(); }
    DWORD Pid() const { return run->Pid(); }

    HWND VisibleProject(const char* title = nullptr, HWND other = nullptr)
    {
        for (HWND child : MdiChildren(Frame()))
            if (child != other && IsWindowVisible(child) && (!title || WindowText(child) == title)) return child;
        return nullptr;
    }

    // The project's panes: the editor and the burning frame (a dialog).
    void FindPanes(HWND project)
    {
        editor = burner = nullptr;
        HWND splitter = GetWindow(project, GW_CHILD);
        for (HWND pane = GetWindow(splitter, GW_CHILD); pane; pane = GetWindow(pane, GW_HWNDNEXT)) {
            if (ClassOf(pane) == "TaskPanelXP") continue;
            if (ClassOf(pane) == "#32770") burner = pane;
            else editor = pane;
        }
        tree = editor ? FindDescendant(editor, IDC_FOLDER_TREE) : nullptr;
        list = editor ? FindDescendant(editor, IDC_FILE_LIST) : nullptr;
    }

    // A top-level dialog of the program holding the control.
    HWND DialogWith(int control, DWORD ms)
    {
        HWND found = nullptr;
        WaitUntil([&] {
            for (const FoundWindow& w : WindowsOfClass("#32770", Pid()))
                if (IsWindowVisible(w.window) && GetDlgItem(w.window, control)) found = w.window;
            return found != nullptr;
        }, ms);
        return found;
    }

    // A message box of the program (its text control), or null.
    HWND MessageBoxNow()
    {
        for (const FoundWindow& w : WindowsOfClass("#32770", Pid()))
            if (IsWindowVisible(w.window) && GetDlgItem(w.window, 0xFFFF) && !GetDlgItem(w.window, 0x480) &&
                !GetDlgItem(w.window, 0x47C))
                return w.window;
        return nullptr;
    }

    // Answers a message box: Yes where it has one, else OK.
    std::string AnswerBox(HWND box, int preferred = IDYES)
    {
        const std::string text = MessageBoxText(box);
        int id = preferred;
        if (!GetDlgItem(box, id)) id = GetDlgItem(box, IDOK) ? IDOK : IDCANCEL;
        DismissBox(box, id);
        WaitUntil([&] { return !IsWindow(box); }, 5000);
        return text;
    }

    // Closes the program, saying No to a question about unsaved changes.
    void CloseAnswering()
    {
        if (HWND frame = run->WaitForFrame(0)) PostMessageA(frame, WM_CLOSE, 0, 0);
        for (DWORD start = GetTickCount(); GetTickCount() - start < 20000;) {
            if (run->WaitExit(100) != STILL_ACTIVE) return;
            if (HWND box = MessageBoxNow()) AnswerBox(box, IDNO);
        }
    }

    // File > New up to an editor that shows its empty root: the
    // new-project question is answered with "Begin new disc".
    void NewDataProject(const char* title)
    {
        HWND project = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (project = VisibleProject(title)) != nullptr; }, 20000)) << title;
        HWND question = DialogWith(IDC_BEGIN_NEW_DISC, 20000);
        ASSERT_TRUE(question) << "the new-project question";
        SendMessageA(GetDlgItem(question, IDC_BEGIN_NEW_DISC), BM_SETCHECK, BST_CHECKED, 0);
        SendMessageA(GetDlgItem(question, IDC_CONTINUE_DISC), BM_SETCHECK, BST_UNCHECKED, 0);
        PostMessageA(question, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }, 5000));
        ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(Frame()) != FALSE; }, 5000));
        FindPanes(project);
        ASSERT_TRUE(editor && burner && tree && list);
    }

    // Screenshots of the main steps, when TB_ROAD_SHOTS names a Unix folder.
    void Shot(const char* name)
    {
        char folder[MAX_PATH] = "";
        if (!GetEnvironmentVariableA("TB_ROAD_SHOTS", folder, sizeof folder)) return;
        WaitUntil([] { return false; }, 300);  // the windows paint
        RunUnix("import -window root '" + std::string(folder) + "/" + name + ".png'");
    }

    TessalyInstall install;
    std::unique_ptr<TessalyRun> run;
    HWND editor = nullptr, burner = nullptr, tree = nullptr, list = nullptr;
};
