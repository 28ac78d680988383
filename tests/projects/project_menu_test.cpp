// The project window's menu: the View items the application leaves out,
// the recent-files popup, and translation by command id from the module's
// own texts (never the common section's status-bar prompts).
#include "project_fixture.h"
#include <shared/guid_text.h>

namespace {

const char kCommon[] = "00000000-0000-0000-C000-000000000046";

class Menu : public ProjectTest {
protected:
    std::string Section() const { return GuidToString(CLSID_CoTestProject); }
    HMENU PopupNamed(HMENU menu, const std::string& caption)
    {
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[128] = "";
            GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
            if (caption == text) return GetSubMenu(menu, i);
        }
        return nullptr;
    }
    void SetApptype(const char* tag, const char* value)
    {
        services.settings->values[std::string("_00000000-0000-0000-C000-000000000046_/ApptypeData/") + tag] = value;
    }
};

TEST_F(Menu, TheViewItemsFollowTheApplicationType)
{
    struct Case {
        const char* sizebar;
        const char* explorer;
        std::vector<std::string> view;
    } cases[] = {
        {"1", "1", {"59392:&Toolbar", "59393:&Status Bar", "61779:S&pace Bar", "-", "61781:&Explorer"}},
        {"0", "1", {"59392:&Toolbar", "59393:&Status Bar", "-", "61781:&Explorer"}},
        {"1", "0", {"59392:&Toolbar", "59393:&Status Bar", "61779:S&pace Bar"}},
        {"0", "0", {"59392:&Toolbar", "59393:&Status Bar"}},
    };
    for (const Case& c : cases) {
        SetApptype("CreateSizebar", c.sizebar);
        SetApptype("CreateExplorer", c.explorer);
        CProjectBase* project = Open();
        ASSERT_TRUE(project);
        EXPECT_EQ(c.view, MenuTexts(GetSubMenu(project->ProjectMenu(), 2))) << c.sizebar << c.explorer;
    }
}

TEST_F(Menu, ItemsShowTheModulesTextsNeverTheCommonPrompts)
{
    // The common section holds the main frame's status-bar prompts under
    // the same command ids.
    auto& texts = services.translator->texts;
    texts[{kCommon, ID_FILE_SAVE}] = "Save the active document\nSave";
    texts[{kCommon, ID_APP_EXIT}] = "Quit the application; prompts to save documents\nExit";
    texts[{kCommon, ID_FILE_MRU_FILE1}] = "Open this document";
    texts[{Section(), IDS_RECENT_FILES}] = "Zuletzt benutzt";
    // A language file's own translation of the project's item wins.
    texts[{Section(), ID_FILE_SAVE_AS}] = "Speichern &unter...";
    CProjectBase* project = Open();
    ASSERT_TRUE(project);
    HMENU file = GetSubMenu(project->ProjectMenu(), 0);
    std::vector<std::string> items = MenuTexts(file);
    EXPECT_EQ("57603:&Save\tCtrl+S", items[2]);
    EXPECT_EQ("57604:Speichern &unter...", items[3]);
    EXPECT_EQ("57665:E&xit", items.back());
    HMENU recent = PopupNamed(file, "Zuletzt benutzt");
    ASSERT_TRUE(recent) << "the recent-files popup takes its caption from string 53640";
    // An empty list: one greyed "(empty)".
    EXPECT_EQ(std::vector<std::string>{"57616:(empty)"}, MenuTexts(recent));
    EXPECT_TRUE(State(recent, ID_FILE_MRU_FILE1) & MF_GRAYED);
}

TEST_F(Menu, AnItemWithoutATextOfItsOwnKeepsItsResourceText)
{
    services.translator->texts[{kCommon, ID_HELP_INDEX}] = "List Help topics\nHelp Topics";
    services.translator->texts[{"OWN", ID_APP_ABOUT}] = "&Info...";
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, ID_HELP_INDEX, "&Index");
    AppendMenuA(menu, MF_STRING, ID_APP_ABOUT, "&About...");
    CProjectUI::TranslateMenu(menu, "OWN");
    EXPECT_EQ((std::vector<std::string>{"57666:&Index", "57664:&Info..."}), MenuTexts(menu));
    DestroyMenu(menu);
}

TEST_F(Menu, TheRecentFilesComeFromTheRegistryAndFollowUpdates)
{
    CRecentFileList list(RecentKey());
    list.Add("C:\\older.qvtest");
    list.Add("C:\\newer.qvtest");
    ASSERT_TRUE(list.Write());
    CProjectBase* project = Open();
    ASSERT_TRUE(project);
    HMENU recent = CProjectUI::FindRecentFilesPopup(project->ProjectMenu());
    ASSERT_TRUE(recent);
    EXPECT_EQ((std::vector<std::string>{"57616:&1 C:\\newer.qvtest", "57617:&2 C:\\older.qvtest"}), MenuTexts(recent));
    list.Add("C:\\older.qvtest");
    list.Write();
    EXPECT_EQ(S_OK, project->UpdateMRUList());
    EXPECT_EQ((std::vector<std::string>{"57616:&1 C:\\older.qvtest", "57617:&2 C:\\newer.qvtest"}), MenuTexts(recent));
}

TEST(RecentFileList, AKnownPathMovesToTheFrontAndTheListKeepsItsLength)
{
    CRecentFileList list("SOFTWARE\\Tavell software\\ProjectTest\\Recent Unit List");
    com::DeleteRegTree(HKEY_CURRENT_USER, "SOFTWARE\\Tavell software\\ProjectTest\\Recent Unit List");
    list.Read();
    for (const char* path : {"C:\\a", "C:\\b", "C:\\c", "C:\\d", "C:\\e"}) list.Add(path);
    EXPECT_EQ((std::vector<std::string>{"C:\\e", "C:\\d", "C:\\c", "C:\\b"}), list.Files());
    list.Add("c:\\C");
    EXPECT_EQ((std::vector<std::string>{"c:\\C", "C:\\e", "C:\\d", "C:\\b"}), list.Files());
    ASSERT_TRUE(list.Write());
    CRecentFileList again("SOFTWARE\\Tavell software\\ProjectTest\\Recent Unit List");
    again.Read();
    EXPECT_EQ(list.Files(), again.Files());
    std::string first;
    EXPECT_TRUE(com::GetRegText(HKEY_CURRENT_USER, "SOFTWARE\\Tavell software\\ProjectTest\\Recent Unit List",
                                "Document1", &first));
    EXPECT_EQ("c:\\C", first);
}

}  // namespace
