// A data-disc project driven through Tessaly.exe's own windows (the road
// fixture's program, dialogs, message boxes and screenshots): its panes and
// File > New up to an empty editor. The suite
// starts and ends without an engine; each test registers the data-disc
// type, begins with a blank CD-R in F and ends with the program and the
// engine closed.
#pragma once
#include "disc_folder.h"
#include "road_fixture.h"
#include "tessaly_process.h"
#include "unix_tools.h"
#include "vokmar_process.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>

const int IDC_FOLDER_TREE = 1500, IDC_FILE_LIST = 1600;
const int IDC_BEGIN_NEW_DISC = 8196, IDC_CONTINUE_DISC = 8197;
const char DATA_PROJECT_CLSID[] = "{2EECB0E1-0EE1-4541-87B1-D135261D0108}";  // Maravin.dll

class DataProjectTest : public RoadFixture {
protected:
    explicit DataProjectTest(const char* apptype) : RoadFixture(apptype) {}
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

    // The project's panes: the editor and the burning frame (a dialog).
    void FindPanes(HWND project)
    {
        ProjectPanes(project, &editor, &burner);
        tree = editor ? FindDescendant(editor, IDC_FOLDER_TREE) : nullptr;
        list = editor ? FindDescendant(editor, IDC_FILE_LIST) : nullptr;
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

    HWND editor = nullptr, burner = nullptr, tree = nullptr, list = nullptr;
};
