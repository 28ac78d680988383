// Help > About of a running Tessaly.exe: the application's texts from its
// application-type file, every module of the program folder with its
// version, and the links with their targets.
#include "tessaly_process.h"
#include <gtest/gtest.h>
#include <set>

namespace {

const WORD ID_APP_ABOUT = 0xE140;
const int IDC_VERSION = 1010, IDC_COPYRIGHT = 1011, IDC_MODULES = 1013, IDC_TITLE = 1018, IDC_SITE = 1022,
          IDC_MAIL = 1023;

std::set<std::string> Lines(const std::string& text)
{
    std::set<std::string> lines;
    for (size_t from = 0;;) {
        const size_t end = text.find("\r\n", from);
        lines.insert(text.substr(from, end - from));
        if (end == std::string::npos) break;
        from = end + 2;
    }
    return lines;
}

class AboutBox : public testing::Test {
protected:
    HWND Open(TessalyInstall& install)
    {
        install.RegisterStandin();
        run = std::make_unique<TessalyRun>(install);
        HWND frame = run->WaitForFrame();
        if (!frame) return nullptr;
        WaitUntil([&] { return MdiChildren(frame).size() == 1; }, 10000);
        PostMessageA(frame, WM_COMMAND, ID_APP_ABOUT, 0);
        HWND about = nullptr;
        WaitUntil([&] {
            HWND box = run->WaitForWindow("#32770", nullptr, 0);
            if (box && GetDlgItem(box, IDC_MODULES)) about = box;
            return about != nullptr;
        }, 10000);
        return about;
    }
    void TearDown() override
    {
        if (run) run->Close();
    }
    std::unique_ptr<TessalyRun> run;
};

TEST_F(AboutBox, ListsEveryModuleOfTheProgramFolderWithItsVersion)
{
    TessalyInstall install("[Data]\r\nTitle=About Test\r\nVersion=2.3.4.5\r\nCopyrightHolder=Holder Ltd\r\n"
                           "FirstDevelopmentYear=2004\r\nLastDevelopmentYear=2009\r\nSite=www.example.org\r\n"
                           "ShowExplorerInitially=0\r\n");
    // The modules the build ships, and two files that are not modules.
    for (const char* module : {"Common.dll", "Drubeck.dll", "Maravin.dll", "Nostrine.dll", "VokmarPS.dll",
                               "Vokmar.exe"})
        ASSERT_TRUE(CopyFileA((BuildFolder() + module).c_str(), install.File(module).c_str(), FALSE)) << module;
    WriteFileBytes(install.File("plain.dll"), "not a module");
    WriteFileBytes(install.File("notes.txt"), "text");

    HWND about = Open(install);
    ASSERT_TRUE(about);
    EXPECT_EQ(WindowText(about), "About About Test");
    EXPECT_EQ(WindowText(GetDlgItem(about, IDC_TITLE)), "About Test");
    EXPECT_EQ(WindowText(GetDlgItem(about, IDC_VERSION)), "version 2.3.4.5");
    EXPECT_EQ(WindowText(GetDlgItem(about, IDC_COPYRIGHT)), "Copyright (C) 2004-2009 Holder Ltd");

    const std::string modules = WindowText(GetDlgItem(about, IDC_MODULES));
    const std::set<std::string> expected = {
        "Common.dll version 1.0.0.1",  "Drubeck.dll version 1.0.0.1",  "Maravin.dll version 1.0.0.1",
        "Nostrine.dll version 1.0.0.1", "VokmarPS.dll version 1.0.0.1", "Vokmar.exe version 1.0.0.1",
        "Tessaly.exe version 1.0.0.1"};
    EXPECT_EQ(Lines(modules), expected) << modules;
    // The libraries come before the programs.
    EXPECT_LT(modules.find("VokmarPS.dll"), modules.find("Tessaly.exe"));
    EXPECT_LT(modules.find("Nostrine.dll"), modules.find("Vokmar.exe"));

    // The site is a link to its address; the empty mail is no link at all.
    EXPECT_EQ(WindowText(GetDlgItem(about, IDC_SITE)), "www.example.org");
    EXPECT_EQ(RemoteToolTipText(about, reinterpret_cast<UINT_PTR>(GetDlgItem(about, IDC_SITE)), run->Pid()),
              "http://www.example.org");
    EXPECT_EQ(WindowText(GetDlgItem(about, IDC_MAIL)), "");
    EXPECT_EQ(RemoteToolTipText(about, reinterpret_cast<UINT_PTR>(GetDlgItem(about, IDC_MAIL)), run->Pid()), "");
    ScreenShot("about");

    PostMessageA(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5000));
}

TEST_F(AboutBox, ShowsOneYearAndTheMailLinkOfTheShippedFile)
{
    TessalyInstall install("[Data]\r\nTitle=Tavell Burner\r\nCopyrightHolder=Tavell software\r\n"
                           "FirstDevelopmentYear=2007\r\nLastDevelopmentYear=2007\r\nMail=help@example.org\r\n"
                           "ShowExplorerInitially=0\r\n");
    HWND about = Open(install);
    ASSERT_TRUE(about);
    EXPECT_EQ(WindowText(GetDlgItem(about, IDC_COPYRIGHT)), "Copyright (C) 2007 Tavell software");
    EXPECT_EQ(RemoteToolTipText(about, reinterpret_cast<UINT_PTR>(GetDlgItem(about, IDC_MAIL)), run->Pid()),
              "mailto:help@example.org");
    EXPECT_EQ(WindowText(GetDlgItem(about, IDC_SITE)), "");
    EXPECT_EQ(Lines(WindowText(GetDlgItem(about, IDC_MODULES))),
              (std::set<std::string>{"Tessaly.exe version 1.0.0.1"}));
    PostMessageA(about, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5000));
}

}  // namespace
