// The progress window of the data editor's adds: it names the file being
// added, and its Stop ends the add where it is; the next add starts afresh.
#include "data_editor_fixture.h"
#include "files_processing_dialog.h"

namespace {

TEST_F(DataEditorFrameTest, StopInTheProgressWindowEndsTheAdd)
{
    const int FILES = 2000;
    CreateDirectoryA(files.File("many").c_str(), nullptr);
    for (int i = 0; i < FILES; ++i) WriteFileBytes(files.File("many\\f" + std::to_string(i) + ".txt"), "x");
    CCoNostrine* editor = OpenEditor();
    ASSERT_NE(nullptr, editor);
    CUserFSEntry* root = editor->Tree().GetRoot();

    std::string shown;
    HWND progress = nullptr;
    {
        DialogDriver stop([&](HWND dialog) {
            if (!GetDlgItem(dialog, IDC_PROCESSING_STOP)) return;
            progress = dialog;
            char text[MAX_PATH] = "";
            GetDlgItemTextA(dialog, IDC_PROCESSING_PATH, text, sizeof text);
            shown = text;
            DialogDriver::Press(dialog, IDC_PROCESSING_STOP);
        });
        ASSERT_TRUE(editor->AddPaths(root, {files.File("many"), files.File("alpha.txt")}));
    }
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

}  // namespace
