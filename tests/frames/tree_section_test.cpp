// The user's tree in the project file: saved and loaded back byte for byte,
// and a damaged section refused with the tree left as it was.
#include <gtest/gtest.h>
#include "common.h"
#include "files.h"
#include "load_save.h"
#include <com/bstr.h>
#include <com/object.h>
#include <com/ptr.h>
#include <data_editor/model/user_fs_tree.h>
#include <string>
#include <vector>

namespace {

using com::Bstr;
using com::ComPtr;

const char SECTION[] = "_53F3E20F-9AAA-4E00-B41B-11E7928A5F8B_";

ComPtr<ILoadSaveImpl> NewDocument()
{
    ComPtr<ILoadSaveImpl> doc;
    EXPECT_EQ(S_OK, com::CreateObject<CCoLoadSaveImpl>(IID_ILoadSaveImpl, reinterpret_cast<void**>(&doc)));
    return doc;
}

bool SaveTo(const CUserFSTree& tree, const std::string& path)
{
    ComPtr<ILoadSaveImpl> doc = NewDocument();
    IID id = IID_ILoadSaveImpl;
    ComPtr<ISaveableSection> section;
    return doc->OpenFile(Bstr(path), 1) == S_OK && doc->GetSectionForWriting(&id, &section) == S_OK &&
           tree.Save(section) && doc->SaveFile() == S_OK;
}

// The tree's section of a document, the document kept alive with it.
struct ReadSection {
    ComPtr<ILoadSaveImpl> doc = NewDocument();
    ComPtr<ILoadableSection> section;
    bool FromFile(const std::string& path)
    {
        IID id = IID_ILoadSaveImpl;
        return doc->OpenFile(Bstr(path), 0) == S_OK && doc->GetSectionForReading(&id, &section) == S_OK;
    }
    bool FromText(const std::string& body)
    {
        text = "<?xml version=\"1.0\" ?>\n<Tavell_Burner_save_file version=\"1.0\"><" + std::string(SECTION) + ">" +
               body + "</" + SECTION + "></Tavell_Burner_save_file>";
        IID id = IID_ILoadSaveImpl;
        return doc->OpenMemory(reinterpret_cast<ULONG_PTR>(text.c_str())) == S_OK &&
               doc->GetSectionForReading(&id, &section) == S_OK;
    }
    std::string text;
};

void CountAdds(DWORD_PTR context, CUserFSTreeEvent* event)
{
    if (event->code == UTE_ENTRY_ADDED) ++*reinterpret_cast<int*>(context);
}

std::vector<std::string> Children(const CUserFSEntry* folder)
{
    std::vector<std::string> names;
    for (const CUserFSEntry* e = folder->FirstChild(); e; e = e->NextSibling()) names.push_back(e->m_name);
    return names;
}

TEST(UserFSTreeSection, SavedAndLoadedBackByteForByte)
{
    TempFolder work;
    CUserFSTree tree;
    tree.m_sortingEnabled = false;
    ASSERT_TRUE(tree.Rename(tree.GetRoot(), "MY DISC"));
    CUserFSEntry* docs = tree.CreateFolder(tree.GetRoot(), "Docs");
    tree.AddFile(docs, "C:\\src\\big.iso", 5LL << 30, false);
    tree.AddFile(docs, "C:\\src\\caf\xE9.txt", 3, false);
    CUserFSEntry* old = tree.AddImportedFolder(tree.GetRoot(), "Old");
    tree.Rename(tree.AddImportedFile(old, "a.txt", 10), "b.txt");
    tree.CreateFolder(docs, "Empty");
    tree.ComputeFolderSize(tree.GetRoot());
    ASSERT_TRUE(SaveTo(tree, work.File("first.qvdata")));
    const std::string first = ReadFileBytes(work.File("first.qvdata"));
    EXPECT_NE(std::string::npos, first.find("<Node fname=\"MY DISC\" fpath=\" \" fsize=\"5368713216\" fattr=\"16\">"))
        << first;
    EXPECT_NE(std::string::npos, first.find("fname=\"big.iso\" fpath=\"C:\\src\\big.iso\" fsize=\"5368709120\""));
    EXPECT_NE(std::string::npos, first.find("fname=\"b.txt\" fpath=\"\\Old\\a.txt\" fsize=\"10\" fattr=\"196736\""));

    CUserFSTree loaded;
    int adds = 0;
    loaded.SetObserver(&CountAdds, reinterpret_cast<DWORD_PTR>(&adds));
    ReadSection read;
    ASSERT_TRUE(read.FromFile(work.File("first.qvdata")));
    ASSERT_TRUE(loaded.Load(read.section));
    EXPECT_EQ(6, adds) << "one event for every entry below the root";
    EXPECT_EQ(7u, loaded.GetEntryCount());
    CUserFSEntry* loadedDocs = loaded.FindChild(loaded.GetRoot(), "docs");
    ASSERT_TRUE(loadedDocs);
    EXPECT_EQ("", loadedDocs->m_sourcePath) << "a blank path reads back empty";
    EXPECT_EQ(5LL << 30, loaded.FindChild(loadedDocs, "big.iso")->m_size);
    EXPECT_EQ("C:\\src\\caf\xE9.txt", loaded.FindChild(loadedDocs, "CAF\xE9.TXT")->m_sourcePath);

    ASSERT_TRUE(SaveTo(loaded, work.File("second.qvdata")));
    EXPECT_EQ(first, ReadFileBytes(work.File("second.qvdata")));
}

TEST(UserFSTreeSection, ADamagedSectionLeavesTheTreeAsItWas)
{
    const std::string root = "<Node fname=\"Loaded\" fpath=\" \" fsize=\"0\" fattr=\"16\">";
    const std::string file = "<Node fname=\"f\" fpath=\"C:\\f\" fsize=\"1\" fattr=\"128\" />";
    struct Case {
        const char* label;
        std::string body;
    };
    const Case cases[] = {
        {"no node at all", ""},
        {"a size that is no number", root + "<Node fname=\"f\" fpath=\"C:\\f\" fsize=\"12x\" fattr=\"128\" /></Node>"},
        {"a negative size", root + "<Node fname=\"f\" fpath=\"C:\\f\" fsize=\"-5\" fattr=\"128\" /></Node>"},
        {"no size", root + "<Node fname=\"f\" fpath=\"C:\\f\" fattr=\"128\" /></Node>"},
        {"no attributes", root + "<Node fname=\"f\" fpath=\"C:\\f\" fsize=\"1\" /></Node>"},
        {"an empty name deep down",
         root + "<Node fname=\"d\" fpath=\" \" fsize=\"0\" fattr=\"16\">" + file +
             "<Node fname=\"\" fpath=\" \" fsize=\"0\" fattr=\"16\" /></Node></Node>"},
        {"a root that is a file", "<Node fname=\"Loaded\" fpath=\" \" fsize=\"0\" fattr=\"128\">" + file + "</Node>"},
    };
    for (const Case& c : cases) {
        CUserFSTree tree;
        ASSERT_TRUE(tree.Rename(tree.GetRoot(), "Mine"));
        ASSERT_TRUE(tree.CreateFolder(tree.GetRoot(), "Keep"));
        int adds = 0;
        tree.SetObserver(&CountAdds, reinterpret_cast<DWORD_PTR>(&adds));
        ReadSection read;
        ASSERT_TRUE(read.FromText(c.body)) << c.label;
        EXPECT_FALSE(tree.Load(read.section)) << c.label;
        EXPECT_EQ("Mine", tree.GetRoot()->m_name) << c.label;
        EXPECT_EQ(std::vector<std::string>{"Keep"}, Children(tree.GetRoot())) << c.label;
        EXPECT_EQ(2u, tree.GetEntryCount()) << c.label;
        EXPECT_EQ(0, adds) << c.label;
    }
    // The sound section the cases were made from loads.
    CUserFSTree tree;
    ReadSection read;
    ASSERT_TRUE(read.FromText(root + file + "</Node>"));
    EXPECT_TRUE(tree.Load(read.section));
    EXPECT_EQ("Loaded", tree.GetRoot()->m_name);
    EXPECT_EQ(std::vector<std::string>{"f"}, Children(tree.GetRoot()));
}

}  // namespace
