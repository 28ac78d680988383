#include <gtest/gtest.h>
#include "common.h"
#include "files.h"
#include "load_save.h"
#include "sections.h"
#include <com/bstr.h>
#include <com/ptr.h>

using com::Bstr;
using com::ComPtr;

namespace {

// Any identifier names a section; this one's element is:
const char kSection[] = "_53F3E20F-9AAA-4E00-B41B-11E7928A5F8B_";
IID SectionId() { return IID_ILoadSaveImpl; }

ComPtr<ILoadSaveImpl> NewLoadSave()
{
    ComPtr<ILoadSaveImpl> doc;
    EXPECT_EQ(S_OK, com::CreateObject<CCoLoadSaveImpl>(IID_ILoadSaveImpl, reinterpret_cast<void**>(&doc)));
    return doc;
}

ULONG_PTR Address(const char* text) { return reinterpret_cast<ULONG_PTR>(text); }

ComPtr<ISaveableSection> WriteSection(ILoadSaveImpl* doc)
{
    IID id = SectionId();
    ComPtr<ISaveableSection> section;
    EXPECT_EQ(S_OK, doc->GetSectionForWriting(&id, &section));
    return section;
}

ComPtr<ILoadableSection> ReadSection(ILoadSaveImpl* doc)
{
    IID id = SectionId();
    ComPtr<ILoadableSection> section;
    EXPECT_EQ(S_OK, doc->GetSectionForReading(&id, &section));
    return section;
}

std::string LoadText(ILoadableSection* s, const char* key, HRESULT* hr = nullptr)
{
    Bstr value;
    HRESULT r = s->LoadString(Bstr(key), &value);
    if (hr) *hr = r;
    return value.Ansi();
}

unsigned long LoadNumber(ILoadableSection* s, const char* key)
{
    unsigned long value = 7;
    EXPECT_EQ(S_OK, s->LoadDWORD(Bstr(key), &value)) << key;
    return value;
}

// The text: 0xE9 (both nibbles set), 't' (ASCII among them), 0x80 (low nibble 0).
const char kAnsiText[] = "\xE9t\x80";
const char kEscapedText[] = "\xFF\xFF&#x09;&#x0E;&#x04;&#x07;\xFF&#x08;";

void WriteSample(const std::string& path)
{
    ComPtr<ILoadSaveImpl> doc = NewLoadSave();
    ASSERT_EQ(S_OK, doc->OpenFile(Bstr(path), TRUE));
    ComPtr<ISaveableSection> section = WriteSection(doc);
    EXPECT_EQ(S_OK, section->SaveDWORD(Bstr("Count"), 0xFFFFFFFE));
    EXPECT_EQ(S_OK, section->SaveDouble(Bstr("Ratio"), 1.5));
    EXPECT_EQ(S_OK, section->SaveString(Bstr("Name"), Bstr(kAnsiText)));
    EXPECT_EQ(S_OK, section->SaveString(Bstr("Plain"), Bstr("a&b")));
    for (unsigned long n = 1; n <= 2; ++n) {
        ComPtr<ISaveableSection> child;
        ASSERT_EQ(S_OK, section->CreateChild(Bstr("Track"), &child));
        EXPECT_EQ(S_OK, child->SaveDWORD(Bstr("N"), n));
    }
    EXPECT_EQ(S_OK, doc->SaveFile());
}

}  // namespace

TEST(LoadSave, FileHasTheExactLayout)
{
    TempFolder dir;
    const std::string path = dir.File("p.qvdata");
    WriteSample(path);
    EXPECT_EQ(std::string("<?xml version=\"1.0\" standalone=\"no\" ?>\r\n"
                          "<Tavell_Burner_save_file version=\"1.0\">\r\n"
                          "    <") + kSection + " Count=\"-2\" Ratio=\"1.500000e+000\" Name=\"" + kEscapedText +
                  "\" Plain=\"a&amp;b\">\r\n"
                  "        <Track N=\"1\" />\r\n"
                  "        <Track N=\"2\" />\r\n"
                  "    </" + kSection + ">\r\n"
                  "</Tavell_Burner_save_file>\r\n",
              ReadFileBytes(path));
}

TEST(LoadSave, FileReadsBack)
{
    TempFolder dir;
    const std::string path = dir.File("p.qvdata");
    WriteSample(path);
    ComPtr<ILoadSaveImpl> doc = NewLoadSave();
    ASSERT_EQ(S_OK, doc->OpenFile(Bstr(path), FALSE));
    ComPtr<ILoadableSection> section = ReadSection(doc);
    Bstr name;
    EXPECT_EQ(S_OK, section->GetName(&name));
    EXPECT_EQ(kSection, name.Ansi());
    EXPECT_EQ(0xFFFFFFFEul, LoadNumber(section, "Count"));
    double ratio = 0;
    EXPECT_EQ(S_OK, section->LoadDouble(Bstr("Ratio"), &ratio));
    EXPECT_EQ(1.5, ratio);
    EXPECT_EQ(kAnsiText, LoadText(section, "Name"));
    EXPECT_EQ("a&b", LoadText(section, "Plain"));

    // Children in order, then none; by name, the first of the two.
    ASSERT_EQ(S_OK, section->InitializeChildrenPointer());
    for (unsigned long n = 1; n <= 2; ++n) {
        ComPtr<ILoadableSection> child;
        ASSERT_EQ(S_OK, section->GetNextChild(&child));
        EXPECT_EQ(n, LoadNumber(child, "N"));
    }
    ComPtr<ILoadableSection> none;
    EXPECT_EQ(E_FAIL, section->GetNextChild(&none));
    ComPtr<ILoadableSection> first;
    ASSERT_EQ(S_OK, section->GetChildByName(Bstr("Track"), &first));
    EXPECT_EQ(1ul, LoadNumber(first, "N"));
    EXPECT_EQ(E_FAIL, section->GetChildByName(Bstr("Other"), &none));
    EXPECT_EQ(E_FAIL, first->InitializeChildrenPointer());
}

// Writers rebuild a section on each save: the same element comes back, its
// children go, its attributes stay.
TEST(LoadSave, RewritingASectionKeepsValuesAndDropsChildren)
{
    TempFolder dir;
    const std::string path = dir.File("p.qvdata");
    WriteSample(path);
    ComPtr<ILoadSaveImpl> doc = NewLoadSave();
    ASSERT_EQ(S_OK, doc->OpenFile(Bstr(path), FALSE));
    ComPtr<ISaveableSection> section = WriteSection(doc);
    EXPECT_EQ(S_OK, section->ClearContent());
    EXPECT_EQ(S_OK, section->SaveDWORD(Bstr("Count"), 3));
    EXPECT_EQ(S_OK, doc->SaveFile());
    EXPECT_EQ(std::string("<?xml version=\"1.0\" standalone=\"no\" ?>\r\n"
                          "<Tavell_Burner_save_file version=\"1.0\">\r\n"
                          "    <") + kSection + " Count=\"3\" Ratio=\"1.500000e+000\" Name=\"" + kEscapedText +
                  "\" Plain=\"a&amp;b\" />\r\n"
                  "</Tavell_Burner_save_file>\r\n",
              ReadFileBytes(path));
}

TEST(LoadSave, OpenResults)
{
    TempFolder dir;
    struct Case {
        const char* name;
        const char* content;  // null: no file
        HRESULT expected;
    } cases[] = {
        {"missing", nullptr, TYPE_E_WRONGTYPEKIND},
        {"text", "hello world", TYPE_E_WRONGTYPEKIND},
        {"short", "<?xm", TYPE_E_WRONGTYPEKIND},
        {"illformed", "<?xml version=\"1.0\"?>\n<a><b></a>", E_FAIL},
        {"otherroot", "<?xml version=\"1.0\"?>\n<Mine version=\"7\"><x/></Mine>", S_OK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File(c.name);
        if (c.content) WriteFileBytes(path, c.content);
        ComPtr<ILoadSaveImpl> doc = NewLoadSave();
        EXPECT_EQ(c.expected, doc->OpenFile(Bstr(path), FALSE));
        // A failed open leaves the object unopened.
        EXPECT_EQ(c.expected == S_OK ? S_FALSE : S_OK,
                  doc->OpenMemory(Address("<?xml version=\"1.0\"?><r/>")));
    }

    ComPtr<ILoadSaveImpl> doc = NewLoadSave();
    EXPECT_EQ(E_INVALIDARG, doc->OpenFile(nullptr, TRUE));
    EXPECT_EQ(E_POINTER, doc->OpenMemory(0));
    EXPECT_EQ(E_FAIL, doc->OpenMemory(Address("<?xml version=\"1.0\"?><a><b></a>")));
    EXPECT_EQ(E_FAIL, doc->SaveFile());  // never opened
    EXPECT_EQ(S_OK, doc->OpenMemory(Address("<?xml version=\"1.0\"?><r/>")));
    EXPECT_EQ(S_FALSE, doc->OpenMemory(Address("<?xml version=\"1.0\"?><r/>")));
    EXPECT_EQ(S_FALSE, doc->OpenFile(Bstr(dir.File("x")), TRUE));
    EXPECT_EQ(E_FAIL, doc->SaveFile());  // opened from memory: no file to save to
}

// A file nested deeper than the recursive parser and the readers of its
// sections have stack for is refused before it is parsed; what only looks
// like nesting (in comments, CDATA, quoted values) does not count.
TEST(LoadSave, NestingBeyondTheLimitIsRefused)
{
    auto nested = [](int depth, const std::string& inner = "") {
        std::string text = "<?xml version=\"1.0\"?>\n";
        for (int i = 0; i < depth; ++i) text += "<n a=\"1\">";
        text += inner;
        for (int i = 0; i < depth; ++i) text += "</n>";
        return text;
    };
    const std::string hidden = "<!-- <x><x> --><![CDATA[<y><y>]]><z q='<w>' r=\"<v>\"/><e/>";
    struct Case {
        const char* name;
        std::string content;
        HRESULT expected;
    } cases[] = {
        {"at_the_limit", nested(256), S_OK},
        {"at_the_limit_with_lookalikes", nested(255, hidden), S_OK},
        {"one_beyond", nested(257), E_FAIL},
        {"lookalikes_one_beyond", nested(256, "<m>" + hidden + "</m>"), E_FAIL},
        {"20000_deep", nested(20000), E_FAIL},
        {"20000_unclosed", nested(20000).substr(0, 20000 * 9), E_FAIL},
    };
    TempFolder dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File(c.name);
        WriteFileBytes(path, c.content);
        ComPtr<ILoadSaveImpl> file = NewLoadSave();
        EXPECT_EQ(c.expected, file->OpenFile(Bstr(path), FALSE));
        ComPtr<ILoadSaveImpl> memory = NewLoadSave();
        EXPECT_EQ(c.expected, memory->OpenMemory(Address(c.content.c_str())));
    }
}

TEST(LoadSave, SectionsOfAnUnopenedOrRootlessDocumentAreRefused)
{
    const char* texts[] = {nullptr, "<?xml version=\"1.0\"?>"};
    for (const char* text : texts) {
        SCOPED_TRACE(text ? text : "unopened");
        ComPtr<ILoadSaveImpl> doc = NewLoadSave();
        if (text) {
            ASSERT_EQ(S_OK, doc->OpenMemory(Address(text)));
        }
        IID id = SectionId();
        ISaveableSection* writing = reinterpret_cast<ISaveableSection*>(1);
        EXPECT_EQ(E_FAIL, doc->GetSectionForWriting(&id, &writing));
        EXPECT_EQ(nullptr, writing);
        ILoadableSection* reading = reinterpret_cast<ILoadableSection*>(1);
        EXPECT_EQ(E_FAIL, doc->GetSectionForReading(&id, &reading));
        EXPECT_EQ(nullptr, reading);
    }
}

TEST(LoadSave, SavingReportsAFailedWrite)
{
    TempFolder dir;
    CreateDirectoryA(dir.File("taken").c_str(), nullptr);
    const std::string paths[] = {dir.File("nofolder\\p.qvdata"), dir.File("taken")};
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        ComPtr<ILoadSaveImpl> doc = NewLoadSave();
        ASSERT_EQ(S_OK, doc->OpenFile(Bstr(path), TRUE));
        EXPECT_EQ(E_FAIL, doc->SaveFile());
    }
    // Nothing is left behind beside the folder that was in the way.
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(dir.File("*").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    std::string names;
    do {
        if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..")
            names += std::string(found.cFileName) + ";";
    } while (FindNextFileA(find, &found));
    FindClose(find);
    EXPECT_EQ("taken;", names);
}

TEST(LoadSave, MissingValuesFailAndNumbersAreZeroed)
{
    ComPtr<ILoadSaveImpl> doc = NewLoadSave();
    std::string text = std::string("<?xml version=\"1.0\"?><r><") + kSection + " empty=\"\" n=\"12\"/></r>";
    ASSERT_EQ(S_OK, doc->OpenMemory(Address(text.c_str())));
    ComPtr<ILoadableSection> section = ReadSection(doc);
    unsigned long number = 7;
    EXPECT_EQ(E_FAIL, section->LoadDWORD(Bstr("absent"), &number));
    EXPECT_EQ(0ul, number);
    double real = 7;
    EXPECT_EQ(E_FAIL, section->LoadDouble(Bstr("absent"), &real));
    EXPECT_EQ(0.0, real);
    const char* keys[] = {"absent", "empty"};
    for (const char* key : keys) {
        BSTR value = reinterpret_cast<BSTR>(1);
        EXPECT_EQ(E_FAIL, section->LoadString(Bstr(key), &value)) << key;
        EXPECT_EQ(reinterpret_cast<BSTR>(1), value) << key;
    }
    EXPECT_EQ(E_POINTER, section->LoadDWORD(Bstr("n"), nullptr));
    unsigned long size = 0;
    EXPECT_EQ(E_NOTIMPL, section->LoadRAW(Bstr("n"), nullptr, &size));

    IID absent = IID_ILogger;
    ComPtr<ILoadableSection> none;
    EXPECT_EQ(E_FAIL, doc->GetSectionForReading(&absent, &none));
}

TEST(LoadSave, EscapedTexts)
{
    struct Case {
        std::string text, stored;
    } cases[] = {
        {"\xE9", "\xFF\xFF\x09\x0E"},
        {"\x80", "\xFF\xFF\xFF\x08"},  // a zero nibble is stored as 0xFF
        {"\xFF", "\xFF\xFF\x0F\x0F"},
        {"plain text", "plain text"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.stored, EscapeSectionText(c.text)) << c.text;
        EXPECT_EQ(c.text, UnescapeSectionText(c.stored)) << c.text;
    }
    // Values that were never escaped, and an odd trailing byte, which is dropped.
    EXPECT_EQ("\xFF", UnescapeSectionText("\xFF"));
    EXPECT_EQ("\xFF" "a", UnescapeSectionText("\xFF" "a"));
    EXPECT_EQ("\xE9", UnescapeSectionText(std::string("\xFF\xFF\x09\x0E\x05")));

    // The same through a hand-made file text.
    ComPtr<ILoadSaveImpl> doc = NewLoadSave();
    std::string text = std::string("<?xml version=\"1.0\"?><r><") + kSection +
                       " odd=\"\xFF\xFF&#x09;&#x0E;&#x05;\"/></r>";
    ASSERT_EQ(S_OK, doc->OpenMemory(Address(text.c_str())));
    EXPECT_EQ("\xE9", LoadText(ReadSection(doc), "odd"));
}

// A section holds its document: it stays usable after the last other
// reference to the load/save object is gone.
TEST(LoadSave, SectionKeepsItsDocumentAlive)
{
    ComPtr<ILoadSaveImpl> doc = NewLoadSave();
    ASSERT_EQ(S_OK, doc->OpenMemory(Address("<?xml version=\"1.0\"?><r/>")));
    ComPtr<ISaveableSection> section = WriteSection(doc);
    ComPtr<ISaveableSection> child;
    ASSERT_EQ(S_OK, section->CreateChild(Bstr("c"), &child));
    section.Reset();
    EXPECT_EQ(1u, doc.Detach()->Release());  // the child's reference remains
    EXPECT_EQ(S_OK, child->SaveDWORD(Bstr("n"), 1));
    ComPtr<ISaveableSection> grandChild;
    EXPECT_EQ(S_OK, child->CreateChild(Bstr("g"), &grandChild));
}

TEST(LoadSave, ClassTableOffersOnlyTheLoadSaveObject)
{
    ComPtr<ILoadSaveImpl> doc;
    EXPECT_EQ(S_OK, doc.CoCreate(CLSID_CoLoadSaveImpl, IID_ILoadSaveImpl, CLSCTX_INPROC_SERVER));
    const CLSID* sections[] = {&CLSID_CoLoadableSection, &CLSID_CoSaveableSection};
    for (const CLSID* clsid : sections) {
        ComPtr<IUnknown> section;
        EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, section.CoCreate(*clsid, IID_IUnknown, CLSCTX_INPROC_SERVER));
    }
}
