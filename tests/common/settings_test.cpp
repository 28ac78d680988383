#include <gtest/gtest.h>
#include "common.h"
#include "files.h"
#include "settings.h"
#include "xml_file.h"
#include <com/bstr.h>
#include <com/ptr.h>

using com::Bstr;
using com::ComPtr;

namespace {

ComPtr<ISettings> OpenSettings(const std::string& path)
{
    ComPtr<ISettings> settings;
    EXPECT_EQ(S_OK, settings.CoCreate(CLSID_CoSettings, IID_ISettings));
    EXPECT_EQ(S_OK, settings->Init(Bstr(path)));
    return settings;
}

std::string GetText(ISettings* s, const char* section, const char* key, const char* tag, HRESULT* hr = nullptr)
{
    Bstr value;
    HRESULT r = s->GetString(Bstr(section), Bstr(key), Bstr(tag), &value, Bstr("default"));
    if (hr) *hr = r;
    return value.Ansi();
}

}  // namespace

// TinyXML prints a value holding a double quote between single quotes.
TEST(Settings, NewFileHasTheExactLayout)
{
    TempFolder dir;
    const std::string path = dir.File("app.cfg");
    ComPtr<ISettings> s = OpenSettings(path);
    EXPECT_EQ(S_OK, s->SetDWORD(Bstr("_SEC_"), Bstr("Window"), Bstr("Width"), 0xFFFFFFFF));
    EXPECT_EQ(S_OK, s->SetDouble(Bstr("_SEC_"), Bstr("Window"), Bstr("Ratio"), 1.5));
    EXPECT_EQ(S_OK, s->SetString(Bstr("_SEC_"), Bstr("Window"), Bstr("Title"), Bstr("a<b>&\"c'")));
    EXPECT_EQ(S_OK, s->SetDWORD(Bstr("_SEC_"), Bstr("Window"), Bstr("Width"), 7));  // replaced in place
    EXPECT_EQ(S_OK, s->SetDWORD(Bstr("_SEC_"), Bstr("Other"), Bstr("N"), 0));
    s.Reset();
    EXPECT_EQ("<?xml version=\"1.0\" standalone=\"no\" ?>\r\n"
              "<CFG>\r\n"
              "    <_SEC_>\r\n"
              "        <Window Width=\"7\" Ratio=\"1.500000e+000\" Title='a&lt;b&gt;&amp;&quot;c&apos;' />\r\n"
              "        <Other N=\"0\" />\r\n"
              "    </_SEC_>\r\n"
              "</CFG>\r\n",
              ReadFileBytes(path));
}

TEST(Settings, ValuesReadBackAfterReload)
{
    TempFolder dir;
    const std::string path = dir.File("app.cfg");
    const std::string highBytes = "caf\xE9 \xFC\xA0\x80\"q";  // ANSI bytes of 0x80 and above, then a quote
    {
        ComPtr<ISettings> s = OpenSettings(path);
        s->SetDWORD(Bstr("_S_"), Bstr("K"), Bstr("d"), 0xFFFFFFFF);
        s->SetDouble(Bstr("_S_"), Bstr("K"), Bstr("f"), -2.25e-300);
        s->SetString(Bstr("_S_"), Bstr("K"), Bstr("s"), Bstr(highBytes));
        s->SetString(Bstr("_S_"), Bstr("K"), Bstr("e"), Bstr("&#x41; stays"));
    }
    ComPtr<ISettings> s = OpenSettings(path);
    unsigned long d = 0;
    EXPECT_EQ(S_OK, s->GetDWORD(Bstr("_S_"), Bstr("K"), Bstr("d"), &d, 5));
    EXPECT_EQ(0xFFFFFFFFul, d);
    double f = 0;
    EXPECT_EQ(S_OK, s->GetDouble(Bstr("_S_"), Bstr("K"), Bstr("f"), &f, 0));
    EXPECT_DOUBLE_EQ(-2.25e-300, f);
    EXPECT_EQ(highBytes, GetText(s, "_S_", "K", "s"));
    EXPECT_EQ("&#x41; stays", GetText(s, "_S_", "K", "e"));
}

TEST(Settings, MissingValuesGiveTheDefaultAndCreateNothing)
{
    TempFolder dir;
    const std::string path = dir.File("app.cfg");
    { OpenSettings(path)->SetDWORD(Bstr("_S_"), Bstr("K"), Bstr("t"), 1); }
    const std::string before = ReadFileBytes(path);
    {
        ComPtr<ISettings> s = OpenSettings(path);
        const char* addresses[][3] = {{"_S_", "K", "missing"}, {"_S_", "Nokey", "t"}, {"_None_", "K", "t"}};
        for (auto& a : addresses) {
            unsigned long d = 0;
            EXPECT_EQ(E_INVALIDARG, s->GetDWORD(Bstr(a[0]), Bstr(a[1]), Bstr(a[2]), &d, 42));
            EXPECT_EQ(42ul, d);
            double f = 0;
            EXPECT_EQ(E_INVALIDARG, s->GetDouble(Bstr(a[0]), Bstr(a[1]), Bstr(a[2]), &f, 0.5));
            EXPECT_EQ(0.5, f);
            HRESULT hr;
            EXPECT_EQ("default", GetText(s, a[0], a[1], a[2], &hr));
            EXPECT_EQ(E_INVALIDARG, hr);
        }
    }
    EXPECT_EQ(before, ReadFileBytes(path));
}

TEST(Settings, HandEditedFilesAreReadAsTheyStand)
{
    TempFolder dir;
    const std::string path = dir.File("app.cfg");
    // Another root name, two sections of one name, a plain decimal double,
    // a non-number, and raw ANSI bytes (not UTF-8) before a closing quote.
    WriteFileBytes(path,
                   "<?xml version=\"1.0\" ?>\n<Mine>\n <_S_><K f=\"2.5\" n=\"abc\" s=\"\xE9\" t=\"x\"/></_S_>\n"
                   " <_S_><K f=\"9\"/></_S_>\n</Mine>\n");
    {
        ComPtr<ISettings> s = OpenSettings(path);
        double f = 0;
        EXPECT_EQ(S_OK, s->GetDouble(Bstr("_S_"), Bstr("K"), Bstr("f"), &f, 0));
        EXPECT_EQ(2.5, f);
        unsigned long n = 9;
        EXPECT_EQ(S_OK, s->GetDWORD(Bstr("_S_"), Bstr("K"), Bstr("n"), &n, 1));
        EXPECT_EQ(0ul, n);
        EXPECT_EQ("\xE9", GetText(s, "_S_", "K", "s"));
        EXPECT_EQ("x", GetText(s, "_S_", "K", "t"));
        s->SetDWORD(Bstr("_S_"), Bstr("K"), Bstr("new"), 3);
    }
    std::string text = ReadFileBytes(path);
    EXPECT_NE(std::string::npos, text.find("<Mine>")) << text;
    EXPECT_NE(std::string::npos, text.find("t=\"x\" new=\"3\"")) << text;  // written into the first section
    EXPECT_NE(std::string::npos, text.find("<K f=\"9\" />")) << text;
}

TEST(Settings, AnUnreadableFileIsCopiedAsideBeforeItIsReplaced)
{
    TempFolder dir;
    const std::string path = dir.File("app.cfg");
    const std::string broken = "<CFG><_S_ a=\"1\"></CFG> hand edit gone wrong";
    WriteFileBytes(path, broken);
    {
        ComPtr<ISettings> s = OpenSettings(path);
        s->SetDWORD(Bstr("_S_"), Bstr("K"), Bstr("t"), 1);
    }
    EXPECT_EQ(broken, ReadFileBytes(path + UNREADABLE_SETTINGS_SUFFIX));
    EXPECT_NE(std::string::npos, ReadFileBytes(path).find("<K t=\"1\" />"));
}

// An editor's UTF-8 file, byte-order mark first: read as its ANSI text,
// not set aside as unreadable.
TEST(Settings, AFileWithAByteOrderMarkIsRead)
{
    TempFolder dir;
    const std::string path = dir.File("app.cfg");
    WriteFileBytes(path, "\xEF\xBB\xBF<?xml version=\"1.0\" ?>\r\n<CFG>\r\n"
                         "  <_S_><K t=\"5\" s=\"caf\xC3\xA9\" /></_S_>\r\n</CFG>\r\n");
    char cafe[16] = "";
    WideCharToMultiByte(CP_ACP, 0, L"caf\u00E9", -1, cafe, sizeof(cafe), nullptr, nullptr);
    {
        ComPtr<ISettings> s = OpenSettings(path);
        unsigned long t = 0;
        EXPECT_EQ(S_OK, s->GetDWORD(Bstr("_S_"), Bstr("K"), Bstr("t"), &t, 1));
        EXPECT_EQ(5ul, t);
        EXPECT_EQ(cafe, GetText(s, "_S_", "K", "s"));
        s->SetDWORD(Bstr("_S_"), Bstr("K"), Bstr("u"), 6);
    }
    EXPECT_FALSE(FileExists(path + UNREADABLE_SETTINGS_SUFFIX));
    ComPtr<ISettings> s = OpenSettings(path);
    unsigned long t = 0, u = 0;
    EXPECT_EQ(S_OK, s->GetDWORD(Bstr("_S_"), Bstr("K"), Bstr("t"), &t, 1));
    EXPECT_EQ(S_OK, s->GetDWORD(Bstr("_S_"), Bstr("K"), Bstr("u"), &u, 1));
    EXPECT_EQ(5ul, t);
    EXPECT_EQ(6ul, u);
    EXPECT_EQ(cafe, GetText(s, "_S_", "K", "s"));
}

// A name the file could not be read back with is refused, and the file
// written at the end still holds every other setting.
TEST(Settings, NamesTheFileCannotHoldAreRefused)
{
    TempFolder dir;
    const std::string path = dir.File("app.cfg");
    const char* addresses[][3] = {
        {"", "K", "t"}, {"_S_", "", "t"}, {"_S_", "K", ""},       // empty
        {"_S_", "K", "two words"}, {"1st", "K", "t"}, {"_S_", "a<b", "t"},  // not an XML name
    };
    {
        ComPtr<ISettings> s = OpenSettings(path);
        ASSERT_EQ(S_OK, s->SetDWORD(Bstr("_S_"), Bstr("K"), Bstr("kept"), 1));
        for (auto& a : addresses) {
            EXPECT_EQ(E_INVALIDARG, s->SetDWORD(Bstr(a[0]), Bstr(a[1]), Bstr(a[2]), 2)) << a[0] << a[1] << a[2];
            EXPECT_EQ(E_INVALIDARG, s->SetString(Bstr(a[0]), Bstr(a[1]), Bstr(a[2]), Bstr("v")));
            EXPECT_EQ(E_INVALIDARG, s->SetDouble(Bstr(a[0]), Bstr(a[1]), Bstr(a[2]), 2.0));
            unsigned long d = 0;
            EXPECT_EQ(E_INVALIDARG, s->GetDWORD(Bstr(a[0]), Bstr(a[1]), Bstr(a[2]), &d, 9));
            EXPECT_EQ(9ul, d);
        }
        EXPECT_EQ(E_INVALIDARG, s->SetDWORD(nullptr, Bstr("K"), Bstr("t"), 2));  // a null name is empty
        EXPECT_EQ(S_OK, s->SetDWORD(Bstr("_S-2.x:y"), Bstr("K\xE9"), Bstr("_t"), 3));  // odd but readable
    }
    EXPECT_FALSE(FileExists(path + UNREADABLE_SETTINGS_SUFFIX));
    ComPtr<ISettings> s = OpenSettings(path);
    unsigned long kept = 0, odd = 0;
    EXPECT_EQ(S_OK, s->GetDWORD(Bstr("_S_"), Bstr("K"), Bstr("kept"), &kept, 0));
    EXPECT_EQ(S_OK, s->GetDWORD(Bstr("_S-2.x:y"), Bstr("K\xE9"), Bstr("_t"), &odd, 0));
    EXPECT_EQ(1ul, kept);
    EXPECT_EQ(3ul, odd);
    EXPECT_EQ(std::string::npos, ReadFileBytes(path).find("=\"2")) << ReadFileBytes(path);
}

TEST(Settings, AFileThatCannotBeOpenedIsNeverOverwritten)
{
    TempFolder dir;
    const std::string path = dir.File("app.cfg");
    const std::string original = "<?xml version=\"1.0\" ?>\n<CFG><_S_><K t=\"5\"/></_S_></CFG>\n";
    WriteFileBytes(path, original);
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    {
        ComPtr<ISettings> s = OpenSettings(path);
        s->SetDWORD(Bstr("_S_"), Bstr("K"), Bstr("t"), 1);
    }
    CloseHandle(held);
    EXPECT_EQ(original, ReadFileBytes(path));
    EXPECT_FALSE(FileExists(path + UNREADABLE_SETTINGS_SUFFIX));
}

TEST(XmlFile, DoublesHaveAThreeDigitExponent)
{
    const std::pair<double, const char*> cases[] = {
        {1.5, "1.500000e+000"}, {0.0, "0.000000e+000"}, {-2.5e-7, "-2.500000e-007"},
        {1e100, "1.000000e+100"}, {1.25e-300, "1.250000e-300"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.second, FormatXmlDouble(c.first));
    EXPECT_EQ("-1", FormatXmlDword(0xFFFFFFFF));
    EXPECT_EQ("-2147483648", FormatXmlDword(0x80000000));
}

TEST(XmlFile, AFailedSaveReportsAndLeavesTheOldFile)
{
    TempFolder dir;
    TiXmlDocument doc;
    doc.Parse("<CFG a=\"1\"/>");
    EXPECT_EQ(E_FAIL, SaveXmlFile(doc, dir.File("no such folder\\x.cfg")));

    const std::string path = dir.File("locked.cfg");
    WriteFileBytes(path, "old");
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(E_FAIL, SaveXmlFile(doc, path));
    CloseHandle(held);
    EXPECT_EQ("old", ReadFileBytes(path));
    EXPECT_EQ(S_OK, SaveXmlFile(doc, path));
    EXPECT_EQ("<CFG a=\"1\" />\r\n", ReadFileBytes(path));

    WIN32_FIND_DATAA found;  // no temporary file is left behind
    HANDLE find = FindFirstFileA(dir.File("*.tmp").c_str(), &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, find);
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
}
