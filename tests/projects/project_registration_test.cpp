// A project type as an in-process server: its registration, its creation
// by class identifier from the module, and the installer's entries.
#include "project_fixture.h"
#include "project_registration.h"
#include <files.h>
#include <com/server.h>

namespace {

std::string ClassKey() { return "CLSID\\" + com::BracedGuid(CLSID_CoTestProject); }

TEST(ProjectModule, RegistersItsClassApartmentThreadedWithBothProgIds)
{
    struct Value {
        std::string key;
        const char* name;
        std::string expected;  // "" only checks that the value is there
    } values[] = {
        {ClassKey(), "", "CoTestProject Class"},
        {ClassKey() + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {ClassKey() + "\\InprocServer32", "", ""},
        {ClassKey() + "\\ProgID", "", "TestProjectType.CoTestProject.1"},
        {ClassKey() + "\\VersionIndependentProgID", "", "TestProjectType.CoTestProject"},
        {"TestProjectType.CoTestProject.1\\CLSID", "", com::BracedGuid(CLSID_CoTestProject)},
        {"TestProjectType.CoTestProject\\CLSID", "", com::BracedGuid(CLSID_CoTestProject)},
        {"TestProjectType.CoTestProject\\CurVer", "", "TestProjectType.CoTestProject.1"},
    };
    for (const Value& v : values) {
        std::string text;
        ASSERT_TRUE(com::GetRegText(HKEY_CLASSES_ROOT, v.key, v.name, &text)) << v.key << " " << v.name;
        if (!v.expected.empty()) EXPECT_EQ(v.expected, text) << v.key;
    }
    std::string server;
    com::GetRegText(HKEY_CLASSES_ROOT, ClassKey() + "\\InprocServer32", "", &server);
    EXPECT_NE(std::string::npos, server.find("TestProjectType.dll"));
}

TEST_F(ProjectTest, TheModuleMakesAProjectThatOpensInTheFrame)
{
    com::ComPtr<IProject> project;
    ASSERT_EQ(S_OK, project.CoCreate(CLSID_CoTestProject, IID_IProject, CLSCTX_INPROC_SERVER));
    com::ComPtr<ISysServiceBinder> binder;
    ASSERT_EQ(S_OK, project.As(IID_ISysServiceBinder, &binder));
    EXPECT_EQ(S_OK, binder->BindLogger(static_cast<ILogger*>(services.logger)));
    EXPECT_EQ(S_OK, binder->BindSettings(static_cast<ISettings*>(services.settings)));
    EXPECT_EQ(S_OK, binder->BindTranslator(static_cast<ITranslator*>(services.translator)));
    com::Bstr name;
    EXPECT_EQ(S_OK, project->GetName(&name));
    EXPECT_EQ("Test CD/DVD", name.Ansi());
    com::ComPtr<IOwnWindow> own;
    ASSERT_EQ(S_OK, project.As(IID_IOwnWindow, &own));
    EXPECT_EQ(E_INVALIDARG, own->CreateOwnWindow(nullptr));
    ASSERT_EQ(S_OK, frame->OpenChild(own));
    CMainFrameStandIn::Pump();
    HWND window = nullptr;
    own->GetOwnWindow(&window);
    EXPECT_EQ(window, frame->ActiveChild());
    // The module's frames are this process's stubs, partnered with it.
    ASSERT_TRUE(Stubs().editor);
    EXPECT_TRUE(com::SameObject(Stubs().editor->partner, project));
    IUnknown* answer = nullptr;
    EXPECT_EQ(1, SendMessageA(window, WM_QUERYPROJECTUNKNOWN, reinterpret_cast<WPARAM>(&answer), 0));
    EXPECT_TRUE(com::SameObject(answer, project));
    answer->Release();
    SendMessageA(window, WM_CLOSE, 0, 0);
    CMainFrameStandIn::Pump();
    EXPECT_FALSE(IsWindow(window));
}

TEST(ProjectInstaller, WritesTheOrderAndTheOpenPatterns)
{
    TempFolder dir;
    std::string key = "SOFTWARE\\Tavell software\\InstallerTest\\Projects";
    std::string lng = dir.File("lang\\InstallerTest.lng");
    com::DeleteRegTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavell software\\InstallerTest");
    ProjectTypeRegistration type = {"{2EECB0E1-0EE1-4541-87B1-D135261D0108}", 1, "Data CD/DVD project", "*.qvdata"};
    ASSERT_EQ(S_OK, RegisterProjectType(key, lng, type));
    HKEY sub = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, (key + "\\" + type.clsid).c_str(), 0, KEY_READ, &sub));
    DWORD order = 0, size = sizeof order;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(sub, "Order", nullptr, nullptr, reinterpret_cast<BYTE*>(&order), &size));
    RegCloseKey(sub);
    EXPECT_EQ(1u, order);
    char value[256] = "";
    GetPrivateProfileStringA("ProjectsToOpen", type.clsid.c_str(), "", value, sizeof value, lng.c_str());
    EXPECT_STREQ("Data CD/DVD project|*.qvdata", value);
    com::DeleteRegTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavell software\\InstallerTest");
}

}  // namespace
