// The user's file tree of the data editor: name rules, adding from the
// file system with its questions, renames, removals, moves, order and
// sizes, and the editor's size texts and checked formats.
#include <gtest/gtest.h>
#include "files.h"
#include "unix_tools.h"
#include <com/bstr.h>
#include <com/object.h>
#include <com/ptr.h>
#include <data_editor/model/checked_format.h>
#include <data_editor/model/data_editor_texts.h>
#include <shared/services.h>
#include <data_editor/model/size_texts.h>
#include <data_editor/model/user_fs_names.h>
#include <data_editor/model/user_fs_tree.h>
#include <functional>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

TEST(UserFSNames, ValidationRules)
{
    struct Case {
        std::string name;
        int code;
    };
    const Case cases[] = {
        {"report.txt", NAME_VALID},
        {"Read me", NAME_VALID},
        {"a*b", NAME_ILLEGAL_CHARACTER},
        {"a\\b", NAME_ILLEGAL_CHARACTER},
        {"a/b", NAME_ILLEGAL_CHARACTER},
        {"a?b", NAME_ILLEGAL_CHARACTER},
        {"a<b", NAME_ILLEGAL_CHARACTER},
        {"a>b", NAME_ILLEGAL_CHARACTER},
        {"a:b", NAME_ILLEGAL_CHARACTER},
        {"a\"b", NAME_ILLEGAL_CHARACTER},
        {"a|b", NAME_ILLEGAL_CHARACTER},
        {"tab\tname", NAME_ILLEGAL_CHARACTER},
        {std::string("nul\x01"), NAME_ILLEGAL_CHARACTER},
        {"   ", NAME_REQUIRED},
        {"...", NAME_REQUIRED},
        {"", NAME_REQUIRED},
        {".hidden", NAME_REQUIRED},
        {"  .hidden", NAME_REQUIRED},
        {"con", NAME_RESERVED},
        {"CON", NAME_RESERVED},
        {"con.txt", NAME_RESERVED},
        {"Lpt1", NAME_RESERVED},
        {"com9.log", NAME_RESERVED},
        {"CLOCK$", NAME_RESERVED},
        {"nul.", NAME_RESERVED},
        {"aux.tar.gz", NAME_RESERVED},
        {"console", NAME_VALID},
        {"com10", NAME_VALID},
        {"lpt0", NAME_VALID},
        {"prn_x", NAME_VALID},
        {std::string(260, 'n'), NAME_VALID},
        {std::string(261, 'n'), NAME_TOO_LONG},
        {std::string(260, 'n') + "  ..", NAME_VALID},
    };
    for (const Case& c : cases) EXPECT_EQ(c.code, ValidateFileName(c.name)) << "\"" << c.name << "\"";
}

// Shift-JIS (code page 932): 0x83 0x5C is one character whose trail byte
// is a backslash, 0x81 0x40 one whose trail byte is a blank.
TEST(UserFSNames, DoubleByteCharactersStayWhole)
{
    const UINT sjis = 932;
    const std::string so = "\x83\x5C";     // a character ending in 0x5C
    const std::string blank = "\x81\x40";  // the wide blank
    EXPECT_EQ("abcdefghijk", CutToBytes("abcdefghijk" + so, VOLUME_LABEL_BYTES, sjis))
        << "a character that does not fit goes whole";
    EXPECT_EQ("abcdefghij" + so, CutToBytes("abcdefghij" + so + "x", VOLUME_LABEL_BYTES, sjis));
    EXPECT_EQ("abcdefghijk\x83", CutToBytes("abcdefghijk" + so, VOLUME_LABEL_BYTES, 1252)) << "single-byte page";
    EXPECT_EQ("a" + blank, TrimName("  a" + blank + " . ", sjis)) << "a wide blank is no blank";
    EXPECT_EQ("x" + so, FileNameOfPath("C:\\dir\\x" + so, sjis)) << "a trail byte is no separator";
    EXPECT_EQ("dir" + so, FileNameOfPath("C:\\dir" + so + "\\\\", sjis));
    EXPECT_EQ(NAME_VALID, ValidateFileName("x" + so, sjis));
    EXPECT_EQ(NAME_ILLEGAL_CHARACTER, ValidateFileName("x" + so, 1252));

    struct Case {
        const char* path;
        const char* name;
    };
    const Case cases[] = {{"C:\\a\\b.txt", "b.txt"}, {"C:\\a\\folder\\\\", "folder"}, {"plain", "plain"},
                          {"\\\\", ""}, {"C:\\", "C:"}};
    for (const Case& c : cases) EXPECT_EQ(c.name, FileNameOfPath(c.path)) << c.path;
}

// Records what the tree reports and answers from a script.
struct Observer {
    std::vector<std::string> events;  // "100 name"
    std::function<DWORD(const CUserFSTreeEvent&)> answer;
    static void Callback(DWORD_PTR context, CUserFSTreeEvent* event)
    {
        auto* self = reinterpret_cast<Observer*>(context);
        const std::string name = event->entry ? event->entry->m_name : std::string(event->name ? event->name : "");
        self->events.push_back(std::to_string(event->code) + " " + name +
                               (event->extra ? " " + std::to_string(event->extra) : ""));
        if (self->answer) event->answer = self->answer(*event);
    }
    void Watch(CUserFSTree& tree) { tree.SetObserver(&Callback, reinterpret_cast<DWORD_PTR>(this)); }
    size_t Count(const std::string& prefix) const
    {
        size_t n = 0;
        for (const std::string& e : events) n += e.compare(0, prefix.size(), prefix) == 0;
        return n;
    }
};

Names Children(const CUserFSEntry* folder)
{
    Names names;
    for (const CUserFSEntry* e = folder->FirstChild(); e; e = e->NextSibling()) names.push_back(e->m_name);
    return names;
}

class UserFSTree : public testing::Test {
protected:
    void SetUp() override { observer.Watch(tree); }
    std::string Source(const std::string& relative, size_t bytes)
    {
        WriteFileBytes(sources.File(relative), std::string(bytes, 's'));
        return sources.File(relative);
    }
    std::string Dir(const std::string& relative)
    {
        CreateDirectoryA(sources.File(relative).c_str(), nullptr);
        return sources.File(relative);
    }
    CUserFSEntry* Root() { return tree.GetRoot(); }

    TempFolder sources;
    CUserFSTree tree;
    Observer observer;
};

TEST_F(UserFSTree, AddsAFolderSortedWithSizesAndPaths)
{
    Dir("Docs");
    Dir("Docs\\old");
    Source("Docs\\b.txt", 1);
    Source("Docs\\A.txt", 2048);
    Source("Docs\\empty.txt", 0);
    Source("Docs\\old\\c.bin", 2049);
    CUserFSEntry* docs = tree.AddPath(Root(), sources.File("Docs").c_str());
    ASSERT_TRUE(docs);
    EXPECT_EQ((Names{"old", "A.txt", "b.txt", "empty.txt"}), Children(docs)) << "folders first, then names";
    EXPECT_EQ(7u, tree.GetEntryCount());
    EXPECT_EQ(2048 + 2048 + 0 + 4096, tree.GetRoot()->m_size) << "whole 2048-byte blocks";
    CUserFSEntry* old = tree.FindChild(docs, "OLD");
    ASSERT_TRUE(old);
    EXPECT_EQ("\\", tree.GetEntryPath(Root()));
    EXPECT_EQ("\\Docs\\old\\", tree.GetEntryPath(old));
    EXPECT_EQ("\\Docs\\old\\c.bin", tree.GetEntryPath(old->FirstChild()));
    EXPECT_EQ(sources.File("Docs\\old\\c.bin"), old->FirstChild()->m_sourcePath);
    EXPECT_EQ(UFA_FILE, old->FirstChild()->m_attributes);
    EXPECT_EQ(UFA_DIRECTORY, docs->m_attributes);
    EXPECT_EQ(docs, tree.GetParent(old));
    EXPECT_FALSE(tree.GetParent(Root()));
    EXPECT_FALSE(tree.AddPath(Root(), sources.File("missing").c_str()));
    // A path is never a pattern: "?.txt" and "*" match nothing here.
    EXPECT_FALSE(tree.AddPath(docs, sources.File("Docs\\?.txt").c_str()));
    EXPECT_FALSE(tree.AddPath(docs, sources.File("Docs\\*").c_str()));
    EXPECT_EQ(7u, tree.GetEntryCount());
    EXPECT_FALSE(tree.AddPath(old->FirstChild(), sources.File("Docs\\b.txt").c_str())) << "a file is no folder";
}

// A folder added again merges into the one there; each clash asks, "yes to
// all" stops the questions until the next add, and a stop ends the add.
TEST_F(UserFSTree, ClashesAskUntilAnsweredForAll)
{
    Dir("Set");
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) Source(std::string("Set\\") + name, 10);
    ASSERT_TRUE(tree.AddPath(Root(), sources.File("Set").c_str()));
    CUserFSEntry* set = tree.FindChild(Root(), "set");
    struct Case {
        const char* label;
        std::vector<DWORD> answers;  // to the questions, in order
        size_t questions;
        size_t replaced;
    };
    const Case cases[] = {
        {"each replaced", {UTA_REPLACE, UTA_REPLACE, UTA_REPLACE, UTA_REPLACE}, 4, 4},
        {"all skipped", {UTA_SKIP, UTA_SKIP, UTA_SKIP, UTA_SKIP}, 4, 0},
        {"yes, then yes to all", {UTA_REPLACE, UTA_REPLACE_ALL}, 2, 4},
        {"no answer", {0, 0, 0, 0}, 4, 0},
    };
    for (const Case& c : cases) {
        size_t asked = 0;
        observer.events.clear();
        observer.answer = [&](const CUserFSTreeEvent& e) -> DWORD {
            return e.code == UTE_NAME_EXISTS_ASK ? c.answers.at(asked++) : 0;
        };
        EXPECT_EQ(set, tree.AddPath(Root(), sources.File("Set").c_str())) << c.label;
        EXPECT_EQ(c.questions, asked) << c.label;
        EXPECT_EQ(c.replaced, observer.Count("101 ")) << c.label;
        EXPECT_EQ(c.replaced, observer.Count("100 ")) << c.label;
        EXPECT_EQ((Names{"a.txt", "b.txt", "c.txt", "d.txt"}), Children(set)) << c.label;
        EXPECT_EQ(6u, tree.GetEntryCount()) << c.label;
    }

    // 1024 to an added file stops the rest of the add.
    CUserFSTree other;
    Observer stopper;
    stopper.Watch(other);
    stopper.answer = [](const CUserFSTreeEvent& e) -> DWORD { return e.code == UTE_ENTRY_ADDED ? UTA_STOP : 0; };
    CUserFSEntry* copy = other.AddPath(other.GetRoot(), sources.File("Set").c_str());
    ASSERT_TRUE(copy);
    EXPECT_EQ(1u, copy->ChildCount());
    EXPECT_FALSE(other.AddFile(copy, sources.File("Set\\b.txt"), 10, false)) << "until the next AddPath";
    EXPECT_TRUE(other.AddPath(copy, Source("lone.txt", 1).c_str()));
}

// A link that leads back up the tree is not followed.
TEST_F(UserFSTree, FoldersBehindLinksAreNotFollowed)
{
    Dir("Loop");
    Dir("Loop\\sub");
    Source("Loop\\sub\\f.txt", 3);
    const std::string target = UnixPath(sources.File("Loop"));
    ASSERT_FALSE(target.empty());
    RunUnix("ln -s '" + target + "' '" + UnixPath(sources.File("Loop\\sub")) + "/back' && echo ok");
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(sources.File("Loop\\sub\\back").c_str()));
    CUserFSEntry* loop = tree.AddPath(Root(), sources.File("Loop").c_str());
    ASSERT_TRUE(loop);
    EXPECT_EQ((Names{"f.txt"}), Children(tree.FindChild(loop, "sub")));
    EXPECT_EQ(4u, tree.GetEntryCount());
}

TEST_F(UserFSTree, RenamesCheckNamesAndClashes)
{
    CUserFSEntry* docs = tree.CreateFolder(Root(), "Docs");
    CUserFSEntry* file = tree.AddFile(docs, "C:\\src\\a.txt", 5, false);
    tree.AddFile(docs, "C:\\src\\b.txt", 5, false);
    tree.AddFile(docs, "C:\\src\\\xe9t\xe9.txt", 5, false);  // "été.txt" in the ANSI code page
    ASSERT_TRUE(docs && file);
    struct Case {
        const char* name;
        bool result;
        const char* event;  // the last event, "" for none
        const char* after;
    };
    const Case cases[] = {
        {"a.txt", true, "", "a.txt"},
        {"A.TXT", true, "102 A.TXT", "A.TXT"},
        {"B.txt", false, "201 b.txt", "A.TXT"},
        {"b.txt  ..", false, "201 b.txt", "A.TXT"},
        {"\xc9T\xc9.TXT", false, "201 \xe9t\xe9.txt", "A.TXT"},  // accented letters fold as the engine folds them
        {"con.txt", false, "202 con.txt 3", "A.TXT"},
        {"lpt1", false, "202 lpt1 3", "A.TXT"},
        {"CLOCK$", false, "202 CLOCK$ 3", "A.TXT"},
        {"   ", false, "202     2", "A.TXT"},
        {".dot", false, "202 .dot 2", "A.TXT"},
        {"a:b", false, "202 a:b 1", "A.TXT"},
        {"  new name. ", true, "102 new name", "new name"},
    };
    for (const Case& c : cases) {
        observer.events.clear();
        EXPECT_EQ(c.result, tree.Rename(file, c.name)) << c.name;
        EXPECT_EQ(c.event, observer.events.empty() ? std::string() : observer.events.back()) << c.name;
        EXPECT_EQ(c.after, file->m_name) << c.name;
    }
    EXPECT_EQ(file, tree.FindChild(docs, "NEW NAME")) << "found by its new name";
    EXPECT_FALSE(tree.FindChild(docs, "a.txt"));
    EXPECT_FALSE(tree.Rename(file, std::string(261, 'x').c_str()));
    EXPECT_EQ("202 " + std::string(261, 'x') + " 4", observer.events.back());

    // The root's name is the volume label: 12 bytes, no clash check.
    EXPECT_TRUE(tree.Rename(Root(), "A label of nineteen"));
    EXPECT_EQ("A label of n", Root()->m_name);
    EXPECT_TRUE(tree.Rename(Root(), "Docs"));

    // An imported entry remembers that it was renamed, and its old path.
    CUserFSEntry* old = tree.AddImportedFolder(Root(), "Old");
    CUserFSEntry* kept = tree.AddImportedFile(old, "kept.txt", 4);
    EXPECT_EQ("\\Old", old->m_sourcePath);
    EXPECT_EQ("\\Old\\kept.txt", kept->m_sourcePath);
    EXPECT_EQ(0x10010u, old->m_attributes);
    EXPECT_TRUE(tree.Rename(kept, "moved.txt"));
    EXPECT_EQ(0x30080u, kept->m_attributes);
    EXPECT_EQ("\\Old\\kept.txt", kept->m_sourcePath);
}

TEST_F(UserFSTree, RemovalsAndMovesKeepTheTreeWhole)
{
    tree.m_sortingEnabled = false;
    CUserFSEntry* a = tree.CreateFolder(Root(), "A");
    CUserFSEntry* b = tree.CreateFolder(Root(), "B");
    CUserFSEntry* inner = tree.CreateFolder(a, "Inner");
    CUserFSEntry* deep = tree.CreateFolder(inner, "Deep");
    CUserFSEntry* x = tree.AddFile(b, "C:\\x.txt", 1, false);
    CUserFSEntry* clash = tree.AddFile(a, "C:\\other\\x.txt", 1, false);
    CUserFSEntry* imported = tree.AddImportedFile(b, "old.txt", 1);
    ASSERT_TRUE(a && b && inner && deep && x && clash && imported);
    EXPECT_FALSE(tree.CreateFolder(Root(), "a")) << "a sibling's name";
    EXPECT_FALSE(tree.CreateFolder(Root(), "bad|name"));

    EXPECT_FALSE(tree.Remove(Root())) << "the root stays";
    EXPECT_EQ(8u, tree.GetEntryCount());

    struct Case {
        const char* label;
        CUserFSEntry* entry;
        CUserFSEntry* before;
        bool result;
    };
    const Case cases[] = {
        {"into its own subtree", a, deep, false},
        {"in front of its own child", a, inner, false},
        {"a name taken under the new parent", x, inner, false},
        {"an imported entry out of its folder", imported, inner, false},
        {"the root", Root(), a, false},
        {"in front of the root", a, Root(), false},
        {"to the end of its folder", a, nullptr, true},
        {"across folders", x, deep, true},
    };
    for (const Case& c : cases) EXPECT_EQ(c.result, tree.Move(c.entry, c.before)) << c.label;
    EXPECT_EQ((Names{"B", "A"}), Children(Root()));
    EXPECT_EQ((Names{"x.txt", "Deep"}), Children(inner));
    EXPECT_EQ(x, tree.FindChild(inner, "X.TXT"));
    EXPECT_FALSE(tree.FindChild(b, "x.txt"));
    EXPECT_EQ(inner, tree.GetParent(x));

    tree.m_sortingEnabled = true;
    EXPECT_FALSE(tree.Move(b, nullptr)) << "sorting is on";
    observer.events.clear();
    EXPECT_TRUE(tree.Remove(a));
    EXPECT_EQ((Names{"101 A"}), observer.events);
    EXPECT_EQ(3u, tree.GetEntryCount());
    EXPECT_EQ(2048, Root()->m_size);
}

TEST_F(UserFSTree, SortKindsAndDirections)
{
    tree.m_sortingEnabled = false;
    tree.AddFile(Root(), "C:\\b.zip", 5000, false);
    tree.AddFile(Root(), "C:\\a.txt", 2048, false);
    tree.AddFile(Root(), "C:\\C.txt", 1, false);
    tree.AddFile(Root(), "C:\\d", 4096, false);
    tree.CreateFolder(Root(), "zeta");
    tree.m_sortingEnabled = true;
    struct Case {
        DWORD kind;
        bool ascending;
        Names order;
    };
    const Case cases[] = {
        {SORT_BY_NAME, true, {"zeta", "a.txt", "b.zip", "C.txt", "d"}},
        {SORT_BY_NAME, false, {"d", "C.txt", "b.zip", "a.txt", "zeta"}},
        {SORT_BY_TYPE, true, {"zeta", "d", "a.txt", "C.txt", "b.zip"}},
        {SORT_BY_SIZE, true, {"zeta", "a.txt", "C.txt", "d", "b.zip"}},
        {SORT_BY_SIZE, false, {"b.zip", "d", "C.txt", "a.txt", "zeta"}},
    };
    for (const Case& c : cases) {
        tree.m_sortKind = c.kind;
        tree.m_ascending = c.ascending;
        tree.SortAll(Root());
        EXPECT_EQ(c.order, Children(Root())) << c.kind << (c.ascending ? " up" : " down");
    }
}

TEST(SizeTexts, ShortAndLongForms)
{
    struct Case {
        LONGLONG bytes;
        const char* shortText;
        const char* longText;
    };
    const Case cases[] = {
        {0, "0", "0 (0)"},
        {512, "512", "512 (512)"},
        {1024, "1 024", "1 024 (1 024)"},
        {1025, "1 Kb", "1 025 (1 Kb)"},
        {1024000, "1 000 Kb", "1 024 000 (1 000 Kb)"},
        {1234567, "1 Mb", "1 234 567 (1 Mb)"},
        {5LL << 40, "5242 880 Mb", "5 497 558 138 880 (5242 880 Mb)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.shortText, FormatSizeShort(c.bytes, "Kb", "Mb")) << c.bytes;
        EXPECT_EQ(c.longText, FormatSizeLong(c.bytes, "Kb", "Mb")) << c.bytes;
    }
}

// A language file's format is used only when it reads what the program's
// own text reads.
TEST(CheckedFormat, TranslationsMustReadTheSameArguments)
{
    const std::string builtIn = "Failed to add file \"%s\" (its source path is \"%s\").";
    struct Case {
        const char* translated;
        bool used;
    };
    const Case cases[] = {
        {"Datei \"%s\" (Quelle \"%s\") nicht zugefugt.", true},
        {"%-20s and %.5s, 100%%", true},
        {"Only one: %s", false},
        {"Three: %s %s %s", false},
        {"Numbers: %d %s", false},
        {"Wide: %ls %s", false},
        {"Star: %*s %s", false},
        {"Count: %s %s %n", false},
        {"Cut: %s %s %", false},
        {"Positional: %2$s %1$s", false},
        {"No conversion at all", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.used ? std::string(c.translated) : builtIn, CheckedFormat(c.translated, builtIn)) << c.translated;
    }
    EXPECT_EQ((std::vector<std::string>{"s", "i", "I64i", "f", "u"}), FormatConversions("%s %5d %I64i %.2f %x %%"));
}

// A language file whose entries for the editor are one sound and one
// broken translation.
class CLanguageFile : public com::ObjectRoot<com::MultiThreadModel>, public ITranslator {
public:
    COM_INTERFACES_BEGIN(CLanguageFile)
        COM_INTERFACE(ITranslator)
    COM_INTERFACES_END()
    STDMETHODIMP Init(BSTR) override { return S_OK; }
    STDMETHODIMP GulpResources(ULONG_PTR, BSTR) override { return S_OK; }
    STDMETHODIMP GetLangStr(BSTR section, unsigned long id, BSTR* result) override
    {
        if (com::AnsiFromBstr(section) != "Editor") return E_FAIL;
        if (id == IDS_REMOVE_FAILED) *result = com::Bstr("\"%s\" nicht entfernt.").Detach();
        else if (id == IDS_NODE_NOT_FOUND) *result = com::Bstr("Knoten %d fehlt: %s %s").Detach();
        else return E_FAIL;
        return S_OK;
    }
};

TEST(CheckedFormat, TheEditorsMessagesFallBackToTheirOwnText)
{
    com::ComPtr<ITranslator> file;
    ASSERT_EQ(S_OK, com::CreateObject<CLanguageFile>(IID_ITranslator, reinterpret_cast<void**>(&file)));
    ASSERT_EQ(S_OK, BindServicePointer(file, IID_ITranslator, reinterpret_cast<void**>(&g_compTranslator)));
    const CDataEditorTexts texts("Editor");
    EXPECT_EQ("\"\\a.txt\" nicht entfernt.", texts.Format(IDS_REMOVE_FAILED, "\\a.txt"));
    EXPECT_EQ(std::string("File tree node corresponding to \"\\a.txt\" not found.") +
                  " Try to remove all files from image and add them again. Operation cancelled.",
              texts.Format(IDS_NODE_NOT_FOUND, "\\a.txt"));
    EXPECT_EQ("Skip all locked files", texts.Text(IDS_SKIP_ALL_LOCKED)) << "no entry: the program's own";
    BindServicePointer(nullptr, IID_ITranslator, reinterpret_cast<void**>(&g_compTranslator));
}

}  // namespace
