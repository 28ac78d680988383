// Saving and loading a project: the file's sections, the window placement,
// titles and recent files; the save prompt on closing; failures that must
// be reported and must leave the project modified.
#include "project_fixture.h"
#include <message_box.h>
#include <shared/guid_text.h>
#include <files.h>

namespace {

const HRESULT CANCELLED = static_cast<HRESULT>(0x8010006E);
const char kSaveFailed[] =
    "Failed to save project file. Posiible reasons are: you don't have rights to save to a selected location, "
    "file or disc is read-only, disc is full. See log file for more details.";

class LoadSave : public ProjectTest {
protected:
    // Saves through the Save As dialog, typing `path` into it.
    LRESULT SaveAsThroughDialog(WORD command, const std::string& path)
    {
        DialogDriver driver([path](HWND dialog) { DialogDriver::SaveAs(dialog, path); });
        LRESULT result = frame->Forward(command);
        dialogsSeen = driver.Seen();
        return result;
    }
    bool IsOpen(CProjectBase* project) { return project->IsWindow(); }

    TempFolder dir;
    int dialogsSeen = 0;
};

// Positions of `needles` in `text`, which must all be found in this order.
void ExpectInOrder(const std::string& text, const std::vector<std::string>& needles)
{
    size_t at = 0;
    for (const std::string& needle : needles) {
        size_t found = text.find(needle, at);
        ASSERT_NE(std::string::npos, found) << needle << " after " << at << " in\n" << text;
        at = found + needle.size();
    }
}

TEST_F(LoadSave, ARoundTripKeepsFramesPlacementSplitterAndActiveFrame)
{
    CProjectBase* project = Open();
    ASSERT_TRUE(project);
    Stubs().editor->savedValue = 42;
    Stubs().burner->savedValue = 7;
    SetWindowPos(*project, nullptr, 30, 40, 600, 450, SWP_NOZORDER);
    project->Splitter().SetSplitterPos(150);
    ASSERT_EQ(S_OK, Stubs().editor->Send(PCID_NEXT));
    std::string path = dir.File("Backup.qvtest");

    EXPECT_EQ(1, SaveAsThroughDialog(ID_FILE_SAVE_AS, path));
    EXPECT_EQ(1, dialogsSeen);
    EXPECT_EQ("Backup", project->Title());
    EXPECT_EQ("Backup", project->GetText());
    EXPECT_EQ(path, project->FilePath());
    EXPECT_EQ(std::vector<HRESULT>{S_OK}, Stubs().editor->saveCompletions);
    EXPECT_EQ(1, frame->recentFilesChanged);
    CRecentFileList recent(RecentKey());
    recent.Read();
    ASSERT_FALSE(recent.Files().empty());
    EXPECT_EQ(path, recent.Files().front());

    std::string text = ReadFileBytes(path);
    std::string style = std::to_string(static_cast<int>(project->GetStyle()));
    ExpectInOrder(text, {"<Tavell_Burner_save_file version=\"1.0\">",
                         "<" + GuidToSectionName(CLSID_CoTestProject),
                         "active_frame=\"1\"", "xpos=\"30\"", "ypos=\"40\"", "width=\"600\"", "height=\"450\"",
                         "window_style=\"" + style + "\"", "splitter_pos=\"150\"",
                         "<" + GuidToSectionName(CLSID_StubEditor) + " value=\"42\" />",
                         "<" + GuidToSectionName(CLSID_StubBurner) + " value=\"7\" />",
                         "</" + GuidToSectionName(CLSID_CoTestProject) + ">", "</Tavell_Burner_save_file>"});

    // A second project window opens it as it was.
    CProjectBase* reopened = Open();
    ASSERT_TRUE(reopened);
    EXPECT_EQ(S_OK, reopened->Load(com::Bstr(path)));
    EXPECT_EQ(42u, Stubs().editor->loadedValue);
    EXPECT_EQ(7u, Stubs().burner->loadedValue);
    EXPECT_EQ("Backup", reopened->GetText());
    RECT r = reopened->GetRectInParent();
    EXPECT_EQ(30, r.left);
    EXPECT_EQ(40, r.top);
    EXPECT_EQ(600, r.right - r.left);
    EXPECT_EQ(450, r.bottom - r.top);
    EXPECT_EQ(150, reopened->Splitter().GetSplitterPos());
    EXPECT_EQ(1, reopened->ActiveFrameIndex());
    EXPECT_TRUE(IsWindowVisible(Stubs().burner->window));
}

TEST_F(LoadSave, AMaximisedProjectOpensMaximisedAMinimisedOneRestored)
{
    struct Case {
        UINT message;
        bool zoomed;
    } cases[] = {{WM_MDIMAXIMIZE, true}, {WM_MDIRESTORE, false}};
    for (const Case& c : cases) {
        CProjectBase* project = Open();
        ASSERT_TRUE(project);
        std::string path = dir.File("placed" + std::to_string(c.message) + ".qvtest");
        project->Load(com::Bstr(path));  // no file yet: the path stays for the save
        if (c.message == WM_MDIMAXIMIZE)
            SendMessageA(frame->Client(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(project->m_hWnd), 0);
        else
            ShowWindow(*project, SW_MINIMIZE);
        CMainFrameStandIn::Pump();
        ASSERT_EQ(1, frame->Forward(ID_FILE_SAVE));
        SendMessageA(frame->Client(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(project->m_hWnd), 0);
        SendMessageA(*project, WM_CLOSE, 0, 0);
        CMainFrameStandIn::Pump();

        CProjectBase* reopened = Open();
        ASSERT_TRUE(reopened);
        EXPECT_EQ(S_OK, reopened->Load(com::Bstr(path)));
        CMainFrameStandIn::Pump();
        EXPECT_EQ(c.zoomed, IsZoomed(*reopened) != FALSE) << c.message;
        EXPECT_FALSE(IsIconic(*reopened)) << c.message;
        SendMessageA(frame->Client(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(reopened->m_hWnd), 0);
        SendMessageA(*reopened, WM_CLOSE, 0, 0);
        CMainFrameStandIn::Pump();
    }
}

TEST_F(LoadSave, TheSaveDialogOffersTheTypesFilesThenAllFiles)
{
    services.translator->texts[{"00000000-0000-0000-C000-000000000046", IDS_ALL_FILES}] = "Alle Dateien";
    CProjectBase* project = Create();
    ASSERT_TRUE(project);
    // The module's own "All files" wins over the common section's.
    std::string expected("Test CD/DVD project (*.qvtest)\0*.qvtest\0All files (*.*)\0*.*\0\0", 61);
    EXPECT_EQ(expected, project->LoadSave().FileFilter());
}

TEST_F(LoadSave, SaveAsCancelledChangesNothingAndSaveWithoutAPathAsks)
{
    CProjectBase* project = Open();
    ASSERT_TRUE(project);
    std::string title = project->Title();
    {
        DialogDriver driver([](HWND dialog) { DialogDriver::Press(dialog, IDCANCEL); });
        EXPECT_EQ(0, frame->Forward(ID_FILE_SAVE));  // never saved: Save As
        EXPECT_EQ(1, driver.Seen());
    }
    EXPECT_EQ(title, project->Title());
    EXPECT_TRUE(project->FilePath().empty());
    EXPECT_TRUE(services.logger->Logged("Saving cancelled by user"));
    {
        DialogDriver driver([](HWND dialog) { DialogDriver::Press(dialog, IDCANCEL); });
        EXPECT_EQ(CANCELLED, project->LoadSave().SaveAs());
    }
    EXPECT_EQ(0, frame->recentFilesChanged);
    EXPECT_TRUE(Stubs().editor->saveCompletions.empty());
}

TEST_F(LoadSave, ASaveAsThatFailsKeepsTheOldTitleAndPath)
{
    Script(CLSID_StubBurner).saveResult = E_ACCESSDENIED;
    CProjectBase* project = Open();
    ASSERT_TRUE(project);
    std::string title = project->Title();
    std::string path = dir.File("Refused.qvtest");
    EXPECT_EQ(0, SaveAsThroughDialog(ID_FILE_SAVE_AS, path));
    EXPECT_EQ(title, project->Title());
    EXPECT_EQ(title, project->GetText());
    EXPECT_TRUE(project->FilePath().empty());
    EXPECT_FALSE(FileExists(path));
    ASSERT_EQ(1u, services.translator->boxes.size());
    EXPECT_EQ(kSaveFailed, services.translator->boxes[0].message);
    EXPECT_EQ(std::vector<HRESULT>{E_ACCESSDENIED}, Stubs().burner->saveCompletions);
}

TEST_F(LoadSave, AFailedSaveIsReportedAndTheProjectStaysModified)
{
    // (Wine run as root writes over read-only files: a folder of the
    // file's name stands for a place that cannot be written.)
    std::string taken = dir.File("taken.qvtest");
    CreateDirectoryA(taken.c_str(), nullptr);
    struct Case {
        const char* what;
        std::string path;
        HRESULT frameSave;
    } cases[] = {
        {"missing folder", dir.File("missing\\x.qvtest"), S_OK},
        {"a folder in the file's place", taken, S_OK},
        {"a frame that cannot save", dir.File("unwritten.qvtest"), E_ACCESSDENIED},
    };
    for (const Case& c : cases) {
        ResetScripts();
        Script(CLSID_StubEditor).modified = 1;
        Script(CLSID_StubEditor).saveResult = c.frameSave;
        CProjectBase* project = Open();
        ASSERT_TRUE(project);
        // The load fails, and the path stays for the save.
        EXPECT_NE(S_OK, project->Load(com::Bstr(c.path))) << c.what;
        EXPECT_EQ(c.path, project->FilePath());
        services.translator->boxes.clear();
        EXPECT_EQ(0, frame->Forward(ID_FILE_SAVE)) << c.what;
        ASSERT_EQ(1u, services.translator->boxes.size()) << c.what;
        EXPECT_EQ(kSaveFailed, services.translator->boxes[0].message);
        EXPECT_EQ("Tavell Burner Test", services.translator->boxes[0].caption);
        EXPECT_EQ(static_cast<unsigned long>(MBX_OK | MBX_ICONWARNING), services.translator->boxes[0].type);
        ASSERT_EQ(1u, Stubs().editor->saveCompletions.size());
        EXPECT_TRUE(FAILED(Stubs().editor->saveCompletions[0]));
        long modified = 0;
        Stubs().editor->GetModified(&modified);
        EXPECT_EQ(1, modified) << c.what;
        EXPECT_EQ(0, frame->recentFilesChanged);
        EXPECT_EQ(c.path == taken, FileExists(c.path)) << c.what;
        SendMessageA(*project, WM_CLOSE, 0, 0);  // modified: the prompt is cancelled by the script
        SendMessageA(frame->Client(), WM_MDIDESTROY, reinterpret_cast<WPARAM>(project->m_hWnd), 0);
    }
    RemoveDirectoryA(taken.c_str());
}

TEST_F(LoadSave, ClosingAsksToSaveOnlyAModifiedProject)
{
    struct Case {
        const char* what;
        long editorModified, burnerModified;
        LRESULT burnerCloseAnswer;
        unsigned long answer;
        bool withPath;
        bool closes;
        bool asked;
        bool saved;
    } cases[] = {
        {"unmodified", 0, 0, 0, 0, false, true, false, false},
        {"modified, No", 1, 0, 0, MBX_NO, false, true, true, false},
        {"modified, Cancel", 0, 1, 0, MBX_CANCEL, false, false, true, false},
        {"a frame refuses", 1, 0, -1, MBX_NO, false, false, false, false},
        {"modified, Yes", 0, 1, 0, MBX_YES, true, true, true, true},
    };
    int index = 0;
    for (const Case& c : cases) {
        ResetScripts();
        Script(CLSID_StubEditor).modified = c.editorModified;
        Script(CLSID_StubBurner).modified = c.burnerModified;
        Script(CLSID_StubBurner).closeAnswer = c.burnerCloseAnswer;
        CProjectBase* project = Open();
        ASSERT_TRUE(project);
        std::string path = dir.File("closing" + std::to_string(index++) + ".qvtest");
        if (c.withPath) project->Load(com::Bstr(path));
        services.translator->boxes.clear();
        services.translator->answers = {c.answer};
        std::string title = project->Title();
        SendMessageA(*project, WM_CLOSE, 0, 0);
        CMainFrameStandIn::Pump();
        EXPECT_EQ(c.closes, !IsOpen(project)) << c.what;
        ASSERT_EQ(c.asked ? 1u : 0u, services.translator->boxes.size()) << c.what;
        if (c.asked) {
            EXPECT_EQ("Save changes to \"" + title + "\" project?", services.translator->boxes[0].message);
            EXPECT_EQ(static_cast<unsigned long>(MBX_YES | MBX_NO | MBX_CANCEL | MBX_ICONQUESTION),
                      services.translator->boxes[0].type);
        }
        EXPECT_EQ(c.saved, FileExists(path)) << c.what;
        if (!c.closes) SendMessageA(frame->Client(), WM_MDIDESTROY, reinterpret_cast<WPARAM>(project->m_hWnd), 0);
    }
    // The last project gone, the frame shows its own menu again.
    CMainFrameStandIn::Pump();
    EXPECT_EQ(frame->OwnMenu(), GetMenu(*frame));
}

TEST_F(LoadSave, AFileWithoutWindowValuesLoadsTheFramesAndLeavesTheWindow)
{
    // Written as an older version did: the frames' sections and the active frame only.
    com::ComPtr<ILoadSaveImpl> file;
    ASSERT_EQ(S_OK, file.CoCreate(CLSID_CoLoadSaveImpl, IID_ILoadSaveImpl));
    std::string path = dir.File("Older version.qvtest");
    ASSERT_EQ(S_OK, file->OpenFile(com::Bstr(path), 1));
    com::ComPtr<ISaveableSection> section, editor, burner;
    IID clsid = CLSID_CoTestProject;
    ASSERT_EQ(S_OK, file->GetSectionForWriting(&clsid, &section));
    section->SaveDWORD(com::Bstr("active_frame"), 1);
    section->CreateChild(com::Bstr(GuidToSectionName(CLSID_StubEditor)), &editor);
    editor->SaveDWORD(com::Bstr("value"), 5);
    section->CreateChild(com::Bstr(GuidToSectionName(CLSID_StubBurner)), &burner);
    burner->SaveDWORD(com::Bstr("value"), 6);
    ASSERT_EQ(S_OK, file->SaveFile());

    CProjectBase* project = Open();
    ASSERT_TRUE(project);
    RECT before = project->GetRectInParent();
    EXPECT_EQ(S_OK, project->Load(com::Bstr(path)));
    EXPECT_EQ(5u, Stubs().editor->loadedValue);
    EXPECT_EQ(1, project->ActiveFrameIndex());
    EXPECT_EQ("Older version", project->Title());
    RECT after = project->GetRectInParent();
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(180, project->Splitter().GetSplitterPos());
    EXPECT_TRUE(services.logger->Logged("loading DWORD of one of the window parameters"));
}

TEST_F(LoadSave, AFrameSectionMissingFailsTheLoadBeforeTheWindowValues)
{
    com::ComPtr<ILoadSaveImpl> file;
    ASSERT_EQ(S_OK, file.CoCreate(CLSID_CoLoadSaveImpl, IID_ILoadSaveImpl));
    std::string path = dir.File("Partial.qvtest");
    ASSERT_EQ(S_OK, file->OpenFile(com::Bstr(path), 1));
    com::ComPtr<ISaveableSection> section, editor;
    IID clsid = CLSID_CoTestProject;
    ASSERT_EQ(S_OK, file->GetSectionForWriting(&clsid, &section));
    for (const char* key : {"active_frame", "xpos", "ypos", "width", "height", "window_style", "splitter_pos"})
        section->SaveDWORD(com::Bstr(key), 1);
    section->CreateChild(com::Bstr(GuidToSectionName(CLSID_StubEditor)), &editor);
    ASSERT_EQ(S_OK, file->SaveFile());

    CProjectBase* project = Open();
    ASSERT_TRUE(project);
    std::string title = project->Title();
    EXPECT_EQ(E_FAIL, project->Load(com::Bstr(path)));
    EXPECT_EQ(0, project->ActiveFrameIndex());
    EXPECT_EQ(title, project->Title());
    EXPECT_EQ(180, project->Splitter().GetSplitterPos());
    EXPECT_EQ(path, project->FilePath());
}

}  // namespace
