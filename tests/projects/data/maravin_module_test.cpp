// Maravin.dll as the application meets it: registered under its class
// identifier and ProgIDs, made by class identifier with its frames (this
// process's stubs), named from its own texts and opened in the main frame.
#include "project_fixture.h"
#include "data_project_classes.h"
#include <com/bstr.h>
#include <com/registry.h>
#include <com/server.h>
#include <cstdlib>

namespace {

TEST(MaravinModule, RegistersItsClassApartmentThreadedWithBothProgIds)
{
    std::string classKey = "CLSID\\" + com::BracedGuid(CLSID_CoMaravin);
    EXPECT_EQ("{2EECB0E1-0EE1-4541-87B1-D135261D0108}", com::BracedGuid(CLSID_CoMaravin));
    struct Value {
        std::string key;
        const char* name;
        std::string expected;
    } values[] = {
        {classKey + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {classKey + "\\ProgID", "", "Maravin.CoMaravin.1"},
        {"Maravin.CoMaravin.1\\CLSID", "", com::BracedGuid(CLSID_CoMaravin)},
        {"Maravin.CoMaravin\\CurVer", "", "Maravin.CoMaravin.1"},
    };
    for (const Value& v : values) {
        std::string text;
        ASSERT_TRUE(com::GetRegText(HKEY_CLASSES_ROOT, v.key, v.name, &text)) << v.key;
        EXPECT_EQ(v.expected, text) << v.key;
    }
    std::string server;
    com::GetRegText(HKEY_CLASSES_ROOT, classKey + "\\InprocServer32", "", &server);
    EXPECT_NE(std::string::npos, server.find("Maravin.dll"));
}

class MaravinModuleTest : public ProjectTest {
protected:
    StubClassRegistration dataClasses{CLSID_CoPanelCtrl, CLSID_CoNostrine, CLSID_CoDrubeck};
};

TEST_F(MaravinModuleTest, MakesADataProjectWithItsTextsAndFrames)
{
    com::ComPtr<IProject> project;
    ASSERT_EQ(S_OK, project.CoCreate(CLSID_CoMaravin, IID_IProject, CLSCTX_INPROC_SERVER));
    com::ComPtr<ISysServiceBinder> binder;
    ASSERT_EQ(S_OK, project.As(IID_ISysServiceBinder, &binder));
    binder->BindLogger(static_cast<ILogger*>(services.logger));
    binder->BindSettings(static_cast<ISettings*>(services.settings));
    binder->BindTranslator(static_cast<ITranslator*>(services.translator));
    com::Bstr name, description;
    EXPECT_EQ(S_OK, project->GetName(&name));
    EXPECT_EQ("Data CD/DVD", name.Ansi());
    EXPECT_EQ(S_OK, project->GetDescription(&description));
    EXPECT_EQ("Allows to select files and folder and burn them to Data CD or DVD.", description.Ansi());
    HICON icon = nullptr;
    EXPECT_EQ(S_OK, project->GetIcon(&icon));
    if (icon) DestroyIcon(icon);

    com::ComPtr<IOwnWindow> own;
    ASSERT_EQ(S_OK, project.As(IID_IOwnWindow, &own));
    ASSERT_EQ(S_OK, frame->OpenChild(own));
    CMainFrameStandIn::Pump();
    HWND window = nullptr;
    own->GetOwnWindow(&window);
    char title[64] = "";
    GetWindowTextA(window, title, sizeof title);
    EXPECT_EQ(0, std::string(title).rfind("Data#", 0)) << title;
    ASSERT_TRUE(Stubs().editor && Stubs().burner);
    EXPECT_TRUE(com::SameObject(Stubs().editor->partner, project));
    EXPECT_TRUE(IsWindowVisible(Stubs().editor->window)) << "the data editor is the first frame shown";
    EXPECT_FALSE(IsWindowVisible(Stubs().burner->window));
    if (const char* hold = std::getenv("TB_HOLD_SECONDS")) {
        // Kept on the screen for a look at it.
        ShowWindow(*frame, SW_SHOWNORMAL);
        DWORD until = GetTickCount() + 1000 * std::atoi(hold);
        while (GetTickCount() < until) {
            CMainFrameStandIn::Pump();
            Sleep(20);
        }
    }
    // The editor's Next goes to the burning frame.
    EXPECT_EQ(S_OK, Stubs().editor->Send(PCID_NEXT));
    EXPECT_TRUE(IsWindowVisible(Stubs().burner->window));
    SendMessageA(window, WM_CLOSE, 0, 0);
    CMainFrameStandIn::Pump();
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace
