// The COM methods of the common objects and the shared helpers run under
// the guard: when memory runs out at any allocation of a call, the call
// answers E_OUTOFMEMORY instead of throwing, and the object serves the next
// call as before. This program refuses allocations on request by replacing
// the global operator new.
#include <gtest/gtest.h>
#include "allocation_limit.h"
#include "common.h"
#include "files.h"
#include "load_save.h"
#include "logger.h"
#include "sections.h"
#include "settings.h"
#include "task_panel.h"
#include "translator.h"
#include <shared/command_performer.h>
#include <shared/sys_service_binder.h>
#include <shared/variant_safearray.h>
#include <com/bstr.h>
#include <com/object.h>
#include <com/ptr.h>
#include <functional>
#include <string>

using com::Bstr;
using com::ComPtr;

namespace {

template <class T, class I>
ComPtr<I> New(REFIID iid)
{
    ComPtr<I> object;
    EXPECT_EQ(S_OK, com::CreateObject<T>(iid, reinterpret_cast<void**>(&object)));
    return object;
}

const CLSID CLSID_TestComponent = {0x0E0E0E0E, 0x1, 0x2, {3, 4, 5, 6, 7, 8, 9, 10}};

// A component whose command handler allocates: it copies the text it is sent.
class CTestComponent : public com::ObjectRoot<com::SingleThreadModel>,
                       public CCommandPerformerImpl<CTestComponent, &CLSID_TestComponent>,
                       public CSysServiceBinderImpl<CTestComponent, &CLSID_TestComponent> {
public:
    COM_INTERFACES_BEGIN(CTestComponent)
        COM_INTERFACE(ICommandPerformer)
        COM_INTERFACE(ISysServiceBinder)
    COM_INTERFACES_END()

    HRESULT OnCommand(IUnknown*, REFCLSID, unsigned, SAFEARRAY* data)
    {
        Bstr text;
        HRESULT hr = ExtractFromSafearray(data, {{VT_BSTR, &text}});
        if (SUCCEEDED(hr)) last = text.Ansi();
        return hr;
    }
    std::string last;
};

}  // namespace

TEST(OutOfMemory, TheLoggerAnswersAndKeepsLogging)
{
    TempFolder dir;
    ComPtr<ILogger> log = New<CCoLogger, ILogger>(IID_ILogger);
    auto logs = [&] { EXPECT_EQ(S_OK, log->LogEvent(Bstr("still logging"))); };
    Bstr path(dir.File("app.log"));
    // A logger cut short in Init may hold the file: the next try is a fresh one.
    auto fresh = [&] { log = New<CCoLogger, ILogger>(IID_ILogger); };
    EveryAllocationMayFail("Init", [&] { return log->Init(path); }, fresh);
    ASSERT_EQ(S_OK, log->Init(path));
    Bstr line(std::string(100, 'x'));
    EveryAllocationMayFail("LogEvent", [&] { return log->LogEvent(line); }, logs);
    Bstr name("CCoSomeLongClassNameForTheTable");
    EveryAllocationMayFail("LogCreateObject", [&] { return log->LogCreateObject(1, name); }, logs);
    EveryAllocationMayFail("LogEnterFunction", [&] { return log->LogEnterFunction(name); }, logs);
    log.Reset();
    EXPECT_NE(std::string::npos, ReadFileBytes(dir.File("app.log")).find("still logging"));
}

TEST(OutOfMemory, TheSettingsAnswerAndKeepTheirValues)
{
    TempFolder dir;
    ComPtr<ISettings> settings = New<CCoSettings, ISettings>(IID_ISettings);
    ASSERT_EQ(S_OK, settings->Init(Bstr(dir.File("app.cfg"))));
    Bstr section("_Section_"), key("Key"), tag("Tag"), value(std::string(60, 'v'));
    auto serves = [&] {
        unsigned long n = 0;
        EXPECT_EQ(S_OK, settings->SetDWORD(section, key, Bstr("n"), 5));
        EXPECT_EQ(S_OK, settings->GetDWORD(section, key, Bstr("n"), &n, 0));
        EXPECT_EQ(5ul, n);
    };
    EveryAllocationMayFail("SetString", [&] { return settings->SetString(section, key, tag, value); }, serves);
    // Callers read the out value whatever the answer: it is set then too.
    BSTR read = reinterpret_cast<BSTR>(1);
    EveryAllocationMayFail(
        "GetString",
        [&] {
            SysFreeString(read == reinterpret_cast<BSTR>(1) ? nullptr : read);
            read = reinterpret_cast<BSTR>(1);
            return settings->GetString(section, key, tag, &read, nullptr);
        },
        [&] { EXPECT_NE(reinterpret_cast<BSTR>(1), read); });

    EXPECT_EQ(std::string(60, 'v'), com::AnsiFromBstr(read));
    SysFreeString(read);
}

TEST(OutOfMemory, TheTranslatorAnswersAndKeepsItsTexts)
{
    TempFolder dir;
    ComPtr<ITranslator> translator = New<CCoTranslator, ITranslator>(IID_ITranslator);
    ASSERT_EQ(S_OK, translator->Init(Bstr(dir.File("app.lng"))));
    Bstr section("SECTION");
    auto serves = [&] {
        Bstr text;
        EXPECT_EQ(S_OK, translator->GetLangStr(section, 1, &text));
        EXPECT_EQ("Application", text.Ansi());
    };
    ASSERT_EQ(S_OK, translator->GulpResources(reinterpret_cast<ULONG_PTR>(com::ModuleInstance()), section));
    // Into another section, so that every string is taken again.
    Bstr other("OTHER");
    EveryAllocationMayFail(
        "GulpResources",
        [&] {
            return translator->GulpResources(reinterpret_cast<ULONG_PTR>(com::ModuleInstance()), other);
        },
        serves);
    Bstr text;
    EveryAllocationMayFail("GetLangStr", [&] { return translator->GetLangStr(other, 7, &text); }, serves);
    EXPECT_EQ("a string long enough to be kept outside the string object itself", text.Ansi());
}

TEST(OutOfMemory, TheSaveFileAndItsSectionsAnswerAndKeepServing)
{
    ComPtr<ILoadSaveImpl> doc = New<CCoLoadSaveImpl, ILoadSaveImpl>(IID_ILoadSaveImpl);
    const char text[] = "<?xml version=\"1.0\" ?><Tavell_Burner_save_file version=\"1.0\"/>";
    EveryAllocationMayFail("OpenMemory", [&] { return doc->OpenMemory(reinterpret_cast<ULONG_PTR>(text)); },
                           [] {});
    IID id = IID_ILoadSaveImpl;
    ComPtr<ISaveableSection> section;
    auto serves = [&] {
        ComPtr<ISaveableSection> again;
        EXPECT_EQ(S_OK, doc->GetSectionForWriting(&id, &again));
    };
    EveryAllocationMayFail("GetSectionForWriting", [&] { return doc->GetSectionForWriting(&id, &section); },
                           serves);
    ASSERT_TRUE(section);
    Bstr key("Name"), value(std::string(50, 's'));
    auto saves = [&] { EXPECT_EQ(S_OK, section->SaveDWORD(Bstr("n"), 1)); };
    EveryAllocationMayFail("SaveString", [&] { return section->SaveString(key, value); }, saves);
    ComPtr<ISaveableSection> child;
    Bstr childName("Child");
    EveryAllocationMayFail("CreateChild", [&] { return section->CreateChild(childName, &child); }, saves);

    ComPtr<ILoadableSection> read;
    ASSERT_EQ(S_OK, doc->GetSectionForReading(&id, &read));
    Bstr got;
    EveryAllocationMayFail("LoadString", [&] { return read->LoadString(key, &got); }, [] {});
    EXPECT_EQ(std::string(50, 's'), got.Ansi());
}

TEST(OutOfMemory, TheTaskPanelAnswersAndKeepsItsPanes)
{
    ComPtr<ITaskBar> panel = New<CCoPanelCtrl, ITaskBar>(IID_ITaskBar);
    Bstr caption(std::string(40, 'c'));
    auto serves = [&] { EXPECT_EQ(S_OK, panel->RenamePane(1, Bstr("renamed"))); };
    ASSERT_EQ(S_OK, panel->AddPane(1, Bstr("first"), nullptr));
    EveryAllocationMayFail("AddPane", [&] { return panel->AddPane(2, caption, nullptr); }, serves);
    EveryAllocationMayFail("AddAction", [&] { return panel->AddAction(2, 10, caption, nullptr); }, serves);
}

TEST(OutOfMemory, CommandHandlersAndBindingAnswerAndKeepServing)
{
    ComPtr<ICommandPerformer> component = New<CTestComponent, ICommandPerformer>(IID_ICommandPerformer);
    auto* impl = static_cast<CTestComponent*>(component.Get());
    Bstr text(std::string(80, 't'));
    CVariantSafearray data(1);
    ASSERT_TRUE(data.Create());
    ASSERT_EQ(S_OK, data.Prepare({{VT_BSTR, text.Get()}}));
    auto serves = [&] {
        impl->last.clear();
        EXPECT_EQ(S_OK, component->InvokeCommand(component, CLSID_TestComponent, 1, data));
        EXPECT_EQ(std::string(80, 't'), impl->last);
    };
    EveryAllocationMayFail("InvokeCommand",
                           [&] { return component->InvokeCommand(component, CLSID_TestComponent, 1, data); },
                           serves);

    ComPtr<ITranslator> translator = New<CCoTranslator, ITranslator>(IID_ITranslator);
    ComPtr<ISysServiceBinder> binder;
    ASSERT_EQ(S_OK, component->QueryInterface(IID_ISysServiceBinder, reinterpret_cast<void**>(&binder)));
    // The translator's own out-of-memory answer to the string table is
    // not the binding's: it binds all the same.
    EveryAllocationMayFail("BindTranslator", [&] { return binder->BindTranslator(translator); }, serves, S_OK);
    BindServicePointer(nullptr, IID_ITranslator, reinterpret_cast<void**>(&g_compTranslator));
}
