#include <gtest/gtest.h>
#include <shared/auto_object_logger.h>
#include "files.h"
#include <shared/guid_text.h>
#include <shared/log.h>
#include <shared/settings_helper.h>
#include <shared/sys_service_binder.h>
#include <shared/translator.h>
#include <com/bstr.h>
#include <com/guard.h>
#include <com/object.h>
#include <com/ptr.h>
#include <cstring>
#include <regex>
#include <stdexcept>

using com::Bstr;
using com::ComPtr;

namespace {

// Identifier of the test component whose section the helpers use.
const CLSID CLSID_TestComponent = {0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};

class CTestComponent : public com::ObjectRoot<com::SingleThreadModel>,
                       public CSysServiceBinderImpl<CTestComponent, &CLSID_TestComponent>,
                       public CTranslator<CTestComponent, &CLSID_TestComponent>,
                       public CSettingsHelper<CTestComponent, &CLSID_TestComponent>,
                       public CAutoObjectLogger<CTestComponent> {
public:
    COM_INTERFACES_BEGIN(CTestComponent)
        COM_INTERFACE(ISysServiceBinder)
    COM_INTERFACES_END()
};

class CPlainObject : public com::ObjectRoot<com::SingleThreadModel>, public IPersist {
public:
    COM_INTERFACES_BEGIN(CPlainObject)
        COM_INTERFACE(IPersist)
    COM_INTERFACES_END()
    STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
};

// The three services of a host, on files in a fresh folder, bound into
// this module's pointers for the test's duration.
class Services : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, logger.CoCreate(CLSID_CoLogger, IID_ILogger));
        ASSERT_EQ(S_OK, logger->Init(Bstr(dir.File("app.log"))));
        ASSERT_EQ(S_OK, translator.CoCreate(CLSID_CoTranslator, IID_ITranslator));
        ASSERT_EQ(S_OK, translator->Init(Bstr(dir.File("app.lng"))));
        ASSERT_EQ(S_OK, settings.CoCreate(CLSID_CoSettings, IID_ISettings));
        ASSERT_EQ(S_OK, settings->Init(Bstr(dir.File("app.cfg"))));
        ASSERT_EQ(S_OK, com::CreateObject<CTestComponent>(IID_ISysServiceBinder, reinterpret_cast<void**>(&binder)));
    }
    void TearDown() override
    {
        binder.Reset();
        BindServicePointer(nullptr, IID_ILogger, reinterpret_cast<void**>(&g_compLogger));
        BindServicePointer(nullptr, IID_ITranslator, reinterpret_cast<void**>(&g_compTranslator));
        BindServicePointer(nullptr, IID_ISettings, reinterpret_cast<void**>(&g_compSettings));
    }
    void BindAll()
    {
        ASSERT_EQ(S_OK, binder->BindLogger(logger));
        ASSERT_EQ(S_OK, binder->BindTranslator(translator));
        ASSERT_EQ(S_OK, binder->BindSettings(settings));
    }
    // The log's lines so far, without their time stamps.
    std::vector<std::string> LogLines()
    {
        std::vector<std::string> lines;
        std::string text = ReadFileBytes(dir.File("app.log"));
        static const std::regex stamped("\\d\\d:\\d\\d:\\d\\d\\t([^\\r]*)\\r\\n");
        for (std::sregex_iterator it(text.begin(), text.end(), stamped), end; it != end; ++it)
            lines.push_back((*it)[1].str());
        return lines;
    }

    TempFolder dir;
    ComPtr<ILogger> logger;
    ComPtr<ITranslator> translator;
    ComPtr<ISettings> settings;
    ComPtr<ISysServiceBinder> binder;
};

}  // namespace

TEST(GuidText, UpperCaseWithoutBracesAndFramed)
{
    EXPECT_EQ("00000000-0000-0000-C000-000000000046", GuidToString(IID_IUnknown));
    EXPECT_EQ("_11111111-2222-3333-4444-555555555555_", GuidToSectionName(CLSID_TestComponent));
    EXPECT_EQ(COMMON_LANG_SECTION, GuidToString(IID_IUnknown));
    EXPECT_EQ(COMMON_SETTINGS_SECTION, GuidToSectionName(IID_IUnknown));
}

TEST_F(Services, LogHelpersFormatAndCut)
{
    LogPrintf("nothing without a logger");
    ASSERT_EQ(S_OK, binder->BindLogger(logger));
    LogPrintf("%s=%d", "x", 5);
    LogFailure("CreateFile()", 0x80004005, 1);
    LogFailure("CreateDirectory()", 5, 0);
    LogNull("a_pData");
    LogWarning("careful");
    LogPrintf("%s", std::string(2000, 'y').c_str());
    { CLogFunctionScope scope("Work()"); LogPrintf("inside"); }
    logger->DumpFuncPath();
    EXPECT_EQ((std::vector<std::string>{"x=5", "ERROR: CreateFile() failed, error code: 0x80004005",
                                        "ERROR: CreateDirectory() failed, error code: 5",
                                        "ERROR: a_pData is NULL", "WARNING: careful", std::string(1023, 'y'),
                                        "=> Work()()", "inside", "<= Work()()"}),
              LogLines());
}

// The scope logs its entry and exit under the name it was given, whatever
// becomes of the caller's text in between.
TEST_F(Services, AFunctionScopeKeepsItsOwnName)
{
    ASSERT_EQ(S_OK, binder->BindLogger(logger));
    char name[] = "Named()";
    {
        CLogFunctionScope scope(name);
        std::strcpy(name, "Other()");
    }
    {
        CLogFunctionScope scope(std::string("Temporary()").c_str());
        LogPrintf("%s", std::string(100, 'z').c_str());  // the heap moves on
    }
    EXPECT_EQ((std::vector<std::string>{"=> Named()()", "<= Named()()", "=> Temporary()()", std::string(100, 'z'),
                                        "<= Temporary()()"}),
              LogLines());
}

// A guarded method's failure is one line of the module's log.
TEST_F(Services, TheGuardReportsIntoTheModulesLog)
{
    ASSERT_EQ(S_OK, binder->BindLogger(logger));
    EXPECT_EQ(E_FAIL, com::Guarded("CTest::Fails", []() -> HRESULT { throw std::runtime_error("boom"); }));
    EXPECT_EQ(E_OUTOFMEMORY, com::Guarded("CTest::Full", []() -> HRESULT { throw std::bad_alloc(); }));
    EXPECT_EQ(S_FALSE, com::Guarded("CTest::Fine", []() -> HRESULT { return S_FALSE; }));
    EXPECT_EQ((std::vector<std::string>{"ERROR: CTest::Fails stopped by an exception: boom",
                                        "ERROR: CTest::Full stopped by an exception: out of memory"}),
              LogLines());
}

// Released early, as a program does before it uninitialises COM: the
// settings make their final save and the logger writes its last table then,
// not at the module's end.
TEST_F(Services, ServicePointersAreReleasedEarlyOnRequest)
{
    BindAll();
    ASSERT_EQ(S_OK, CTestComponent::SetDWORD("Window", "Width", 640));
    binder.Reset();
    logger.Reset();
    translator.Reset();
    settings.Reset();
    EXPECT_FALSE(FileExists(dir.File("app.cfg")));  // not saved while held

    ReleaseServicePointers();
    EXPECT_EQ(nullptr, g_compSettings);
    EXPECT_EQ(nullptr, g_compTranslator);
    EXPECT_EQ(nullptr, g_compLogger);
    EXPECT_NE(std::string::npos, ReadFileBytes(dir.File("app.cfg")).find("Width=\"640\""));
    EXPECT_NE(std::string::npos, ReadFileBytes(dir.File("app.log")).find("Memory usage"));
    ReleaseServicePointers();  // nothing left: nothing happens
}

TEST_F(Services, ObjectsLogTheirLifeUnderTheirClassName)
{
    ASSERT_EQ(S_OK, binder->BindLogger(logger));
    ComPtr<ISysServiceBinder> second;
    ASSERT_EQ(S_OK, com::CreateObject<CTestComponent>(IID_ISysServiceBinder, reinterpret_cast<void**>(&second)));
    second.Reset();
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(2u, lines.size());
    static const std::regex created("\\+\\+ ID = 0x([0-9A-F]{8}), \\(anonymous namespace\\)::CTestComponent");
    static const std::regex destroyed("-- ID = 0x([0-9A-F]{8}), \\(anonymous namespace\\)::CTestComponent");
    std::smatch a, b;
    ASSERT_TRUE(std::regex_match(lines[0], a, created)) << lines[0];
    ASSERT_TRUE(std::regex_match(lines[1], b, destroyed)) << lines[1];
    EXPECT_EQ(a[1].str(), b[1].str());
}

TEST_F(Services, BindingATranslatorGulpsTheModulesStrings)
{
    BindAll();
    EXPECT_EQ("own text", CTestComponent::GetLangStr(7));
    const std::string first = ReadFileBytes(dir.File("app.lng"));
    EXPECT_NE(std::string::npos, first.find("[11111111-2222-3333-4444-555555555555]\r\n0x00007=own text")) << first;
    ASSERT_EQ(S_OK, binder->BindTranslator(translator));
    EXPECT_EQ(first, ReadFileBytes(dir.File("app.lng")));
}

TEST_F(Services, LookUpFallsBackToTheCommonSection)
{
    BindAll();
    // The common section holds what the host poured into it.
    ASSERT_EQ(S_OK, translator->GulpResources(reinterpret_cast<ULONG_PTR>(com::ModuleInstance()), nullptr));
    translator.Reset();
    ComPtr<ITranslator> fresh;
    ASSERT_EQ(S_OK, fresh.CoCreate(CLSID_CoTranslator, IID_ITranslator));
    WriteFileBytes(dir.File("other.lng"), "[00000000-0000-0000-C000-000000000046]\r\n0x00009=shared\r\n");
    ASSERT_EQ(S_OK, fresh->Init(Bstr(dir.File("other.lng"))));
    ASSERT_EQ(S_OK, binder->BindTranslator(fresh));
    EXPECT_EQ("shared", CTestComponent::GetLangStr(9));
    EXPECT_EQ("own text", CTestComponent::GetLangStr(7));
    EXPECT_EQ("", CTestComponent::GetLangStr(12345));
}

TEST_F(Services, BindServicesIntoNeedsABinderAndAllThreeServices)
{
    ComPtr<IPersist> plain;
    ASSERT_EQ(S_OK, com::CreateObject<CPlainObject>(IID_IPersist, reinterpret_cast<void**>(&plain)));
    auto* self = static_cast<CSysServiceBinderImpl<CTestComponent, &CLSID_TestComponent>*>(
        static_cast<ISysServiceBinder*>(binder.Get()));
    EXPECT_EQ(E_POINTER, self->BindServicesInto(nullptr));
    EXPECT_EQ(E_FAIL, self->BindServicesInto(plain));

    ComPtr<ISysServiceBinder> other;
    ASSERT_EQ(S_OK, com::CreateObject<CTestComponent>(IID_ISysServiceBinder, reinterpret_cast<void**>(&other)));
    ASSERT_EQ(S_OK, binder->BindLogger(logger));
    EXPECT_NE(S_OK, self->BindServicesInto(other));  // settings and translator are missing
    BindAll();
    EXPECT_EQ(S_OK, self->BindServicesInto(other));
    ISettingsPage* page = reinterpret_cast<ISettingsPage*>(1);
    EXPECT_EQ(E_FAIL, binder->GetSettingsPage(&page));
    EXPECT_EQ(nullptr, page);
}

TEST_F(Services, SettingsHelperUsesTheComponentsSection)
{
    BindAll();
    EXPECT_EQ(S_OK, CTestComponent::SetDWORD("Window", "Width", 640));
    DWORD width = 0;
    EXPECT_EQ(S_OK, CTestComponent::GetDWORD("Window", "Width", &width, 1));
    EXPECT_EQ(640u, width);
    unsigned long raw = 0;
    EXPECT_EQ(S_OK, settings->GetDWORD(Bstr("_11111111-2222-3333-4444-555555555555_"), Bstr("Window"),
                                       Bstr("Width"), &raw, 0));
    EXPECT_EQ(640ul, raw);
    EXPECT_EQ("", ApplicationTitle());
    settings->SetString(Bstr(COMMON_SETTINGS_SECTION), Bstr("ApptypeData"), Bstr("Title"), Bstr("My Burner"));
    EXPECT_EQ("My Burner", ApplicationTitle());
}

TEST_F(Services, ToolTipsTakeTheTextAfterTheNewline)
{
    BindAll();
    struct Case {
        UINT_PTR id;
        UINT flags;
        bool handled;
        std::string tip;
    };
    const Case cases[] = {
        {20, 0, true, "Tip"},
        {21, 0, true, "Whole text"},
        {22, 0, true, "Only a prompt"},
        {23, 0, true, "0123456789012345678901234567890123456789012345678901234567890123456789012345678"},
        {0, 0, true, ""},              // no identifier: handled, empty
        {24, TTF_IDISHWND, true, ""},  // a window, not a command
        {999, 0, false, ""},           // no text: left to others
    };
    for (const Case& c : cases) {
        NMTTDISPINFOA info = {};
        info.hdr.idFrom = c.id;
        info.uFlags = c.flags;
        EXPECT_EQ(c.handled, CTestComponent::OnToolTipText(&info)) << c.id;
        EXPECT_EQ(c.tip, std::string(info.szText)) << c.id;
    }
}

TEST_F(Services, DialogTextsAreTranslatedByTable)
{
    BindAll();
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(parent);
    auto child = [&](int id) {
        return CreateWindowExA(0, "STATIC", "original", WS_CHILD, 0, 0, 5, 5, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    };
    HWND a = child(100), b = child(101), c = child(102);
    const DWORD table[] = {4, 100, 7,   // translated
                           4, 101, 8,   // an empty text keeps the control's own
                           3, 102, 7,   // another kind: passed over
                           4, 555, 7,   // no such control
                           0xFFFFFFFF, 0, 0};
    CTestComponent::TranslateDialog(parent, table);
    ASSERT_TRUE(a && b && c);
    char text[64] = "";
    GetWindowTextA(a, text, sizeof(text));
    EXPECT_STREQ("own text", text);
    GetWindowTextA(b, text, sizeof(text));
    EXPECT_STREQ("original", text);
    GetWindowTextA(c, text, sizeof(text));
    EXPECT_STREQ("original", text);
    DestroyWindow(parent);
}
