#include <gtest/gtest.h>
#include "common.h"
#include "files.h"
#include <com/bstr.h>
#include <com/module.h>
#include <com/ptr.h>

using com::Bstr;
using com::ComPtr;

namespace {

const char kSection[] = "11111111-2222-3333-4444-555555555555";

ComPtr<ITranslator> OpenTranslator(const std::string& path)
{
    ComPtr<ITranslator> t;
    EXPECT_EQ(S_OK, t.CoCreate(CLSID_CoTranslator, IID_ITranslator));
    EXPECT_EQ(S_OK, t->Init(Bstr(path)));
    return t;
}

std::string Text(ITranslator* t, const char* section, unsigned long id, HRESULT expect = S_OK)
{
    Bstr before(L"untouched");
    BSTR text = before;
    EXPECT_EQ(expect, t->GetLangStr(Bstr(section), id, &text)) << section << " " << id;
    std::string result = com::AnsiFromBstr(text);
    if (text != before.Get()) SysFreeString(text);
    return result;
}

HRESULT GulpOwnStrings(ITranslator* t, const char* section)
{
    return t->GulpResources(reinterpret_cast<ULONG_PTR>(com::ModuleInstance()),
                            section ? Bstr(section).Detach() : nullptr);
}

}  // namespace

TEST(Translator, BindingAModuleFillsItsSectionOnce)
{
    TempFolder dir;
    const std::string path = dir.File("app.lng");
    {
        ComPtr<ITranslator> t = OpenTranslator(path);  // a missing file is created empty
        EXPECT_TRUE(FileExists(path));
        EXPECT_EQ(S_OK, GulpOwnStrings(t, kSection));
        EXPECT_EQ("two\nlines", Text(t, kSection, 17));
        EXPECT_EQ("hundred", Text(t, kSection, 100));
    }
    const std::string first = ReadFileBytes(path);
    EXPECT_NE(std::string::npos, first.find("[11111111-2222-3333-4444-555555555555]")) << first;
    EXPECT_NE(std::string::npos, first.find("0x00005=Yes")) << first;
    EXPECT_NE(std::string::npos, first.find("0x00011=two\\nlines")) << first;
    EXPECT_NE(std::string::npos, first.find("0x00064=hundred")) << first;

    ComPtr<ITranslator> t = OpenTranslator(path);
    EXPECT_EQ(S_OK, GulpOwnStrings(t, kSection));
    t.Reset();
    EXPECT_EQ(first, ReadFileBytes(path));  // the second bind writes nothing new
}

TEST(Translator, EntriesInTheFileWinOverBuiltInTexts)
{
    TempFolder dir;
    const std::string path = dir.File("app.lng");
    WriteFileBytes(path, std::string("[") + kSection + "]\r\n"
                         "0x00005=Oui\r\n"
                         "0x5=Second spelling\r\n"
                         "11=eleven\\nand more\r\n"
                         "no equals sign\r\n"
                         "[00000000-0000-0000-C000-000000000046]\r\n"
                         "0x00001=Common\r\n");
    ComPtr<ITranslator> t = OpenTranslator(path);
    EXPECT_EQ(S_OK, GulpOwnStrings(t, kSection));
    EXPECT_EQ(S_OK, GulpOwnStrings(t, nullptr));  // no section: the common one
    EXPECT_EQ("Oui", Text(t, kSection, 5));       // the first key of an identifier wins
    EXPECT_EQ("eleven\nand more", Text(t, kSection, 0x11));
    EXPECT_EQ("no equals sign", Text(t, kSection, 0));
    EXPECT_EQ("Common", Text(t, "00000000-0000-0000-C000-000000000046", 1));
    EXPECT_EQ("Yes", Text(t, "00000000-0000-0000-C000-000000000046", 5));
    t.Reset();
    // Only identifiers new to the section were appended to it.
    std::string text = ReadFileBytes(path);
    std::string own = text.substr(0, text.find("[00000000"));
    EXPECT_EQ(std::string::npos, own.find("=Yes")) << text;
    EXPECT_EQ(std::string::npos, own.find("=two")) << text;
    EXPECT_NE(std::string::npos, own.find("0x00064=hundred")) << text;
}

TEST(Translator, ErrorsLeaveTheOutParameter)
{
    TempFolder dir;
    ComPtr<ITranslator> t;
    ASSERT_EQ(S_OK, t.CoCreate(CLSID_CoTranslator, IID_ITranslator));
    EXPECT_EQ(E_POINTER, t->Init(nullptr));
    EXPECT_EQ(E_INVALIDARG, t->Init(Bstr(dir.Path())));  // a folder
    EXPECT_EQ(E_INVALIDARG, t->Init(Bstr(dir.File("missing\\folder\\app.lng"))));
    ASSERT_EQ(S_OK, t->Init(Bstr(dir.File("app.lng"))));
    EXPECT_EQ("untouched", Text(t, kSection, 5, E_FAIL));
    EXPECT_EQ(S_OK, GulpOwnStrings(t, kSection));
    EXPECT_EQ("untouched", Text(t, kSection, 6, E_FAIL));
    EXPECT_EQ("untouched", Text(t, "other", 5, E_FAIL));
    EXPECT_EQ(E_FAIL, t->GulpResources(0, nullptr));
}
