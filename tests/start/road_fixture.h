// What every road test through Tessaly.exe does with the program's
// windows: the frame and its project windows, the panes of a project, the
// program's dialogs and message boxes answered, file dialogs typed into,
// the program closed, and screenshots of the steps (TB_ROAD_SHOTS).
#pragma once
#include "tessaly_process.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

class RoadFixture : public testing::Test {
protected:
    explicit RoadFixture(const char* apptype = "[Data]\r\nShowExplorerInitially=0\r\n") : install(apptype) {}

    HWND Frame() { return run->WaitForFrame(); }
    DWORD Pid() const { return run->Pid(); }

    // A visible project window (with the title, when given), other than `other`.
    HWND VisibleProject(const char* title = nullptr, HWND other = nullptr);
    // A project's two frame windows: the first frame (not a dialog, unless
    // `firstIsDialog`) and the burning frame (the other dialog).
    void ProjectPanes(HWND project, HWND* first, HWND* burner, bool firstIsDialog = false);
    // The task panel on the left of a project window.
    static HWND TaskPanel(HWND project);
    // The actions of the task panel's first pane as the display shows them,
    // in order: where each lies (panel client coordinates) and whether it is
    // drawn enabled (a disabled caption is engraved in white).
    struct PanelAction {
        POINT at;
        bool enabled;
    };
    static std::vector<PanelAction> FirstPaneActions(HWND panel);
    // A visible top-level dialog of the program holding the control.
    HWND DialogWith(int control, DWORD ms);
    // A message box of the program (its text control), or null.
    HWND MessageBoxNow();
    // Answers a message box: the preferred button where it has one, else
    // OK, else Cancel; the box's text.
    std::string AnswerBox(HWND box, int preferred = IDYES);
    // Closes the program, saying No to a question about unsaved changes.
    void CloseAnswering();
    // Types the file into the file dialog of that caption, open or about to
    // open (a key of the program's opens it), and presses OK.
    bool TypeIntoFileDialog(const char* caption, const std::string& file);
    // The dialog a frame command opens, with the file typed in and OK.
    bool FileDialog(WORD command, const char* caption, const std::string& file);
    // The same for an open-file dialog a button of another window opens.
    bool FileDialogFrom(HWND owner, int button, const std::string& file, const char* caption = "Open");
    // A menu command from the keyboard: Alt+`menu` opens the frame's menu,
    // `item` chooses the command, which the menu takes only while it is
    // enabled (a greyed one leaves the menu open: closed again and tried
    // once more, as a user would after a moment).
    testing::AssertionResult ChooseFromMenu(char menu, char item);
    // File > New (Ctrl+N, unless the dialog the program opens at its start
    // is up), the type clicked by its name in the project-type dialog, then
    // OK; `listedAt` gets the type's place in the list.
    testing::AssertionResult NewProjectOfType(const std::string& name, int* listedAt = nullptr);
    // The row of a drive list of the program naming the drive `letter`, once
    // it is listed; -1 when it is not within `ms`.
    int DriveRow(HWND combo, char letter, DWORD ms = 15000);
    // A row of a combo box chosen as the user does: the selection, then its
    // change notification to the combo's dialog.
    static void ChooseRow(HWND combo, int row);
    // A screenshot of the display when TB_ROAD_SHOTS names a Unix folder.
    void Shot(const char* name);

    TessalyInstall install;
    std::unique_ptr<TessalyRun> run;
};
