#include <gtest/gtest.h>
#include <shared/command_performer.h>
#include "commands.h"
#include <shared/log.h>
#include <shared/variant_safearray.h>
#include <com/bstr.h>
#include <com/object.h>
#include <com/ptr.h>
#include <string>
#include <vector>

using com::Bstr;
using com::ComPtr;

namespace {

const CLSID CLSID_FakeFrame = {0x1F000001, 0x0001, 0x0001, {1, 1, 1, 1, 1, 1, 1, 1}};
const CLSID CLSID_FakeProject = {0x1F000002, 0x0002, 0x0002, {2, 2, 2, 2, 2, 2, 2, 2}};

// Any object to pass as VT_UNKNOWN; AddRef's answer shows its count.
class CPlainObject : public com::ObjectRoot<com::SingleThreadModel>, public IPersist {
public:
    COM_INTERFACES_BEGIN(CPlainObject)
        COM_INTERFACE(IPersist)
    COM_INTERFACES_END()
    STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
};

ComPtr<IUnknown> NewPlainObject()
{
    ComPtr<IUnknown> object;
    EXPECT_EQ(S_OK, com::CreateObject<CPlainObject>(IID_IUnknown, reinterpret_cast<void**>(&object)));
    return object;
}

ULONG RefCount(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}

VARTYPE StoredType(SAFEARRAY* array, LONG index)
{
    VARIANT element;
    VariantInit(&element);
    EXPECT_EQ(S_OK, SafeArrayGetElement(array, &index, &element));
    VARTYPE vt = element.vt;
    VariantClear(&element);
    return vt;
}

// A logger that keeps what it is given, bound into this module for a test.
class CRecordingLogger : public com::ObjectRoot<com::SingleThreadModel>, public ILogger {
public:
    COM_INTERFACES_BEGIN(CRecordingLogger)
        COM_INTERFACE(ILogger)
    COM_INTERFACES_END()
    STDMETHODIMP Init(BSTR) override { return S_OK; }
    STDMETHODIMP LogEvent(BSTR text) override { return Keep(com::AnsiFromBstr(text)); }
    STDMETHODIMP LogEventB(BSTR, long) override { return S_OK; }
    STDMETHODIMP LogCreateObject(unsigned int, BSTR) override { return S_OK; }
    STDMETHODIMP LogDestroyObject(unsigned int) override { return S_OK; }
    STDMETHODIMP LogEnterFunction(BSTR name) override { return Keep("=> " + com::AnsiFromBstr(name)); }
    STDMETHODIMP LogLeaveFunction(BSTR name) override { return Keep("<= " + com::AnsiFromBstr(name)); }
    STDMETHODIMP DumpFuncPath() override { return S_OK; }
    std::vector<std::string> lines;
private:
    HRESULT Keep(const std::string& line) { lines.push_back(line); return S_OK; }
};

class LoggedCommandData : public testing::Test {
protected:
    void SetUp() override
    {
        auto* object = new com::ComObject<CRecordingLogger>();
        object->AddRef();
        logger = object;
        g_compLogger = object;
    }
    void TearDown() override
    {
        g_compLogger = nullptr;
        logger->Release();
    }
    std::vector<std::string> TakeLines()
    {
        std::vector<std::string> lines;
        lines.swap(logger->lines);
        return lines;
    }
    CRecordingLogger* logger = nullptr;
};

}  // namespace

// Every element type: what the array stores and what the receiver reads.
TEST(CommandData, ValuesTravelByThePackingAndUnpackingTables)
{
    ComPtr<IUnknown> object = NewPlainObject();
    Bstr text("caption");
    CVariantSafearray data(10);
    ASSERT_NE(nullptr, data.Create());
    ASSERT_EQ(S_OK, data.Prepare({{VT_I4, -5}, {VT_UI4, 0xFFFFFFFEul}, {VT_UINT, 7u}, {VT_HRESULT, E_ABORT},
                                  {VT_UI8, 0x123456789ABCDEF0ull}, {VT_R8, 2.5}, {VT_BOOL, 0x10000},
                                  {VT_BOOL, 2}, {VT_BSTR, text.Get()}, {VT_UNKNOWN, object.Get()}}));
    EXPECT_EQ(2u, RefCount(object));  // the array's own reference

    const VARTYPE stored[] = {VT_I4, VT_UI4, VT_UINT, VT_I4, VT_UI4, VT_R8, VT_BOOL, VT_BOOL, VT_BSTR, VT_UNKNOWN};
    for (LONG i = 0; i < 10; ++i) EXPECT_EQ(stored[i], StoredType(data, i)) << "element " << i;

    long i4 = 0;
    unsigned long ui4 = 0;
    unsigned int uint = 0;
    HRESULT hr = S_OK;
    ULONGLONG ui8 = 0;
    double r8 = 0;
    BOOL lowBitsClear = -1, nonZero = -1;
    Bstr received;
    IUnknown* borrowed = nullptr;
    ASSERT_EQ(S_OK, ExtractFromSafearray(data, {{VT_I4, &i4}, {VT_UI4, &ui4}, {VT_UINT, &uint}, {VT_HRESULT, &hr},
                                                {VT_UI8, &ui8}, {VT_R8, &r8}, {VT_BOOL, &lowBitsClear},
                                                {VT_BOOL, &nonZero}, {VT_BSTR, &received},
                                                {VT_UNKNOWN, &borrowed}}));
    EXPECT_EQ(-5, i4);
    EXPECT_EQ(0xFFFFFFFEul, ui4);
    EXPECT_EQ(7u, uint);
    EXPECT_EQ(E_ABORT, hr);
    EXPECT_EQ(0x123456789ABCDEF0ull, ui8);  // all 64 bits, though stored as VT_UI4
    EXPECT_EQ(2.5, r8);
    EXPECT_EQ(0, lowBitsClear);  // only the low 16 bits travel
    EXPECT_EQ(1, nonZero);
    EXPECT_EQ("caption", received.Ansi());
    EXPECT_NE(text.Get(), received.Get());  // the receiver's own copy
    EXPECT_EQ(object.Get(), borrowed);
    EXPECT_EQ(2u, RefCount(object));  // borrowed: no reference of its own
}

// VariantInit as Windows before 8.1 has it, for this program: it sets the
// type only and leaves the value's bytes as they were (Wine's, like 8.1's,
// zeroes the whole VARIANT and so hides what was not written).
class TypeOnlyVariantInit {
public:
    TypeOnlyVariantInit() : m_slot(FindImport())
    {
        if (m_slot) Swap(reinterpret_cast<FARPROC>(&TypeOnly));
    }
    ~TypeOnlyVariantInit()
    {
        if (m_slot) Swap(m_real);
    }
    bool Installed() const { return m_slot != nullptr; }

private:
    static void WINAPI TypeOnly(VARIANTARG* v) { v->vt = VT_EMPTY; }

    // This program's import slot of oleaut32's VariantInit.
    FARPROC* FindImport()
    {
        m_real = GetProcAddress(GetModuleHandleA("oleaut32.dll"), "VariantInit");
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
        for (; m_real && module->Name; ++module) {
            auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
            for (; slot->u1.Function; ++slot)
                if (reinterpret_cast<FARPROC>(slot->u1.Function) == m_real)
                    return reinterpret_cast<FARPROC*>(&slot->u1.Function);
        }
        return nullptr;
    }
    void Swap(FARPROC to)
    {
        DWORD old;
        VirtualProtect(m_slot, sizeof(*m_slot), PAGE_READWRITE, &old);
        *m_slot = to;
        VirtualProtect(m_slot, sizeof(*m_slot), old, &old);
    }

    FARPROC m_real = nullptr;
    FARPROC* m_slot;
};

// A receiver may read an element as a wider type than the sender packed:
// it gets the value, not bytes left over from the values packed before.
TEST(CommandData, NarrowValuesReadWideGiveTheirValue)
{
    TypeOnlyVariantInit olderWindows;
    ASSERT_TRUE(olderWindows.Installed());
    CVariantSafearray data(4);
    ASSERT_NE(nullptr, data.Create());
    ASSERT_EQ(S_OK, data.Prepare({{VT_BOOL, 1}, {VT_UI4, 7u}, {VT_I4, -1}, {VT_UI8, 0xFFFFFFFFFFFFFFFFull}}));
    unsigned long flagAsUI4 = 0;
    ULONGLONG countAsUI8 = 0, minusOneAsUI8 = 0, wide = 0;
    ASSERT_EQ(S_OK, ExtractFromSafearray(data, {{VT_UI4, &flagAsUI4}, {VT_UI8, &countAsUI8},
                                                {VT_UI8, &minusOneAsUI8}, {VT_UI8, &wide}}));
    EXPECT_EQ(1ul, flagAsUI4);
    EXPECT_EQ(7ull, countAsUI8);
    EXPECT_EQ(0xFFFFFFFFull, minusOneAsUI8);  // the 32 bits packed, no sign carried
    EXPECT_EQ(0xFFFFFFFFFFFFFFFFull, wide);
}

// By-reference values arrive as the sender's own pointers; the receiver's
// answers land in the sender's variables.
TEST(CommandData, ByReferenceValuesPointIntoTheSender)
{
    long i4 = 0;
    unsigned long ui4 = 0;
    HRESULT hr = S_OK;
    BOOL flag = FALSE;
    ULONGLONG size = 0;
    double r8 = 0;
    BSTR text = nullptr;
    IUnknown* object = nullptr;
    CVariantSafearray data(8);
    ASSERT_NE(nullptr, data.Create());
    ASSERT_EQ(S_OK, data.Prepare({{VT_I4 | VT_BYREF, &i4}, {VT_UI4 | VT_BYREF, &ui4}, {VT_HRESULT | VT_BYREF, &hr},
                                  {VT_BOOL | VT_BYREF, &flag}, {VT_UI8 | VT_BYREF, &size},
                                  {VT_R8 | VT_BYREF, &r8}, {VT_BSTR | VT_BYREF, &text},
                                  {VT_UNKNOWN | VT_BYREF, &object}}));
    const VARTYPE stored[] = {VT_I4, VT_UI4, VT_I4, VT_INT, VT_UI4, VT_R8, VT_BSTR, VT_UNKNOWN};
    for (LONG i = 0; i < 8; ++i) EXPECT_EQ(stored[i] | VT_BYREF, StoredType(data, i)) << "element " << i;

    long* pi4 = nullptr;
    unsigned long* pui4 = nullptr;
    HRESULT* phr = nullptr;
    BOOL* pflag = nullptr;
    ULONGLONG* psize = nullptr;
    double* pr8 = nullptr;
    BSTR* ptext = nullptr;
    IUnknown** pobject = nullptr;
    ASSERT_EQ(S_OK, ExtractFromSafearray(data, {{VT_I4 | VT_BYREF, &pi4}, {VT_UI4 | VT_BYREF, &pui4},
                                                {VT_HRESULT | VT_BYREF, &phr}, {VT_BOOL | VT_BYREF, &pflag},
                                                {VT_UI8 | VT_BYREF, &psize}, {VT_R8 | VT_BYREF, &pr8},
                                                {VT_BSTR | VT_BYREF, &ptext}, {VT_UNKNOWN | VT_BYREF, &pobject}}));
    EXPECT_EQ(&i4, pi4);
    EXPECT_EQ(&ui4, pui4);
    EXPECT_EQ(&hr, phr);
    EXPECT_EQ(&flag, pflag);
    EXPECT_EQ(&size, psize);
    EXPECT_EQ(&r8, pr8);
    EXPECT_EQ(&text, ptext);
    EXPECT_EQ(&object, pobject);
    *pflag = 1;
    *psize = 0x1122334455667788ull;
    EXPECT_EQ(1, flag);
    EXPECT_EQ(0x1122334455667788ull, size);
}

TEST(CommandData, FailuresLeaveWhatTheyCannotWrite)
{
    CVariantSafearray two(2);
    ASSERT_NE(nullptr, two.Create());
    ASSERT_EQ(S_OK, two.Prepare({{VT_UI4, 1u}, {VT_UI4, 2u}}));
    // Reading three from two: the first two are written.
    unsigned long a = 0, b = 0, c = 99;
    EXPECT_EQ(DISP_E_BADINDEX, ExtractFromSafearray(two, {{VT_UI4, &a}, {VT_UI4, &b}, {VT_UI4, &c}}));
    EXPECT_EQ(1ul, a);
    EXPECT_EQ(2ul, b);
    EXPECT_EQ(99ul, c);

    // A text, an object or a reference asked of a number is refused, the out untouched.
    BSTR text = reinterpret_cast<BSTR>(1);
    IUnknown* object = reinterpret_cast<IUnknown*>(1);
    long* reference = reinterpret_cast<long*>(1);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, ExtractFromSafearray(two, {{VT_BSTR, &text}}));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, ExtractFromSafearray(two, {{VT_UNKNOWN, &object}}));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, ExtractFromSafearray(two, {{VT_I4 | VT_BYREF, &reference}}));
    EXPECT_EQ(reinterpret_cast<BSTR>(1), text);
    EXPECT_EQ(reinterpret_cast<IUnknown*>(1), object);
    EXPECT_EQ(reinterpret_cast<long*>(1), reference);

    // Arguments the helpers cannot use.
    long number = 0;
    EXPECT_EQ(E_INVALIDARG, ExtractFromSafearray(nullptr, {{VT_I4, &number}}));
    EXPECT_EQ(E_INVALIDARG, ExtractFromSafearray(two, {}));
    EXPECT_EQ(E_INVALIDARG, ExtractFromSafearray(two, {{VT_BSTR, &number}}));  // wrong kind of address
    EXPECT_EQ(E_INVALIDARG, two.Prepare({{VT_UI4, 1u}}));                       // count mismatch
    EXPECT_EQ(E_INVALIDARG, two.Prepare({{VT_BSTR, 1u}, {VT_UI4, 1u}}));        // not a text
    EXPECT_EQ(E_INVALIDARG, two.Prepare({{VT_DATE, 1.0}, {VT_UI4, 1u}}));       // not in the table
    CVariantSafearray none(0);
    ASSERT_NE(nullptr, none.Create());
    EXPECT_EQ(E_FAIL, none.Prepare({}));
    EXPECT_EQ(DISP_E_BADINDEX, ExtractFromSafearray(none, {{VT_I4, &number}}));  // an empty array
    CVariantSafearray uncreated(1);
    EXPECT_EQ(E_FAIL, uncreated.Prepare({{VT_UI4, 1u}}));
}

// Only the failure paths log, each inside its own scope.
TEST_F(LoggedCommandData, FailurePathsLogTheirLines)
{
    CVariantSafearray two(2);
    two.Create();
    ASSERT_EQ(S_OK, two.Prepare({{VT_UI4, 1u}, {VT_BOOL, TRUE}}));
    unsigned long a = 0, b = 0, c = 0;
    ASSERT_EQ(S_OK, ExtractFromSafearray(two, {{VT_UI4, &a}, {VT_BOOL, &b}}));
    CVariantSafearray none(0);
    none.Create();
    none.Prepare({});
    EXPECT_EQ(std::vector<std::string>{}, TakeLines());

    CVariantSafearray uncreated(1);
    uncreated.Prepare({{VT_UI4, 1u}});
    EXPECT_EQ((std::vector<std::string>{"=> CVariantSafearray::Prepare", "ERROR: p is NULL",
                                        "<= CVariantSafearray::Prepare"}),
              TakeLines());

    ExtractFromSafearray(nullptr, {{VT_UI4, &a}});
    EXPECT_EQ((std::vector<std::string>{"=> ExtractFromSafearray", "ERROR: invalid arguments",
                                        "<= ExtractFromSafearray"}),
              TakeLines());

    ExtractFromSafearray(two, {{VT_UI4, &a}, {VT_UI4, &b}, {VT_UI4, &c}});
    EXPECT_EQ((std::vector<std::string>{"=> ExtractFromSafearray",
                                        "ERROR: SafeArrayGetElement(2) failed, error code 0x8002000b",
                                        "<= ExtractFromSafearray"}),
              TakeLines());
}

namespace {

// A frame: takes PCID_NEXT from anyone, and 4097 (the burn type) only
// from its partner.
class CFakeFrame : public com::ObjectRoot<com::SingleThreadModel>,
                   public CCommandPerformerImpl<CFakeFrame, &CLSID_FakeFrame> {
public:
    COM_INTERFACES_BEGIN(CFakeFrame)
        COM_INTERFACE(ICommandPerformer)
    COM_INTERFACES_END()

    HRESULT OnCommand(IUnknown* sender, REFCLSID, unsigned int id, SAFEARRAY* data)
    {
        if (id == PCID_NEXT) return S_OK;
        if (id == BFCID_GET_BURN_TYPE && IsSender(sender, Partner())) {
            long* type = nullptr;
            HRESULT hr = ExtractFromSafearray(data, {{VT_I4 | VT_BYREF, &type}});
            if (FAILED(hr)) return hr;
            *type = BURN_TYPE_DATA;
            return S_OK;
        }
        return E_COMMAND_NOT_HANDLED;
    }
    HRESULT Send(unsigned int id, SAFEARRAY* data) { return SendCommand(id, data); }
};

// A project: records what reaches it and answers E_ABORT.
class CFakeProject : public com::ObjectRoot<com::SingleThreadModel>,
                     public CCommandPerformerImpl<CFakeProject, &CLSID_FakeProject> {
public:
    COM_INTERFACES_BEGIN(CFakeProject)
        COM_INTERFACE(ICommandPerformer)
    COM_INTERFACES_END()

    HRESULT OnCommand(IUnknown* sender, REFCLSID senderClsid, unsigned int id, SAFEARRAY*)
    {
        lastSender = sender;
        lastClsid = senderClsid;
        lastId = id;
        return E_ABORT;
    }
    IUnknown* lastSender = nullptr;
    CLSID lastClsid = {};
    unsigned int lastId = 0;
};

template <class T>
com::ComObject<T>* New()
{
    com::ComObject<T>* object = nullptr;
    EXPECT_EQ(S_OK, com::CreateObjectImpl<T>(&object));
    return object;
}

}  // namespace

TEST(CommandPerformer, DispatchAnswersForSenderAndNumber)
{
    ComPtr<ICommandPerformer> frame(New<CFakeFrame>());
    frame->Release();
    ComPtr<ICommandPerformer> project(New<CFakeProject>());
    project->Release();
    ComPtr<IUnknown> stranger = NewPlainObject();
    ASSERT_EQ(S_OK, frame->SetPartnerNoAddRef(project));

    long type = 0;
    CVariantSafearray data(1);
    data.Create();
    ASSERT_EQ(S_OK, data.Prepare({{VT_I4 | VT_BYREF, &type}}));
    struct Case {
        const char* name;
        IUnknown* sender;
        unsigned int id;
        HRESULT expected;
    } cases[] = {
        {"null sender, handled number", nullptr, PCID_NEXT, E_INVALIDARG},
        {"null sender, unknown number", nullptr, 12345, E_INVALIDARG},
        {"unknown number", stranger, 12345, E_COMMAND_NOT_HANDLED},
        {"any sender's command", stranger, PCID_NEXT, S_OK},
        {"partner's command from another", stranger, BFCID_GET_BURN_TYPE, E_COMMAND_NOT_HANDLED},
        {"partner's command from the partner", project, BFCID_GET_BURN_TYPE, S_OK},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, frame->InvokeCommand(c.sender, CLSID_FakeProject, c.id, data)) << c.name;
    EXPECT_EQ(BURN_TYPE_DATA, type);
    EXPECT_EQ(static_cast<HRESULT>(0x80090302), E_COMMAND_NOT_HANDLED);
}

TEST(CommandPerformer, PartnerIsHeldWithoutAReferenceAndGetsTheSender)
{
    com::ComObject<CFakeFrame>* frame = New<CFakeFrame>();
    com::ComObject<CFakeProject>* project = New<CFakeProject>();
    EXPECT_EQ(E_POINTER, frame->Send(PCID_NEXT, nullptr));  // no partner yet
    EXPECT_EQ(E_POINTER, frame->SetPartnerNoAddRef(nullptr));
    ComPtr<IUnknown> stranger = NewPlainObject();
    EXPECT_EQ(E_FAIL, frame->SetPartnerNoAddRef(stranger));
    ASSERT_EQ(S_OK, frame->SetPartnerNoAddRef(static_cast<ICommandPerformer*>(project)));
    EXPECT_EQ(1u, RefCount(static_cast<ICommandPerformer*>(project)));

    EXPECT_EQ(E_ABORT, frame->Send(PCID_REQUEST_BURN, nullptr));  // the partner's answer unchanged
    EXPECT_TRUE(com::SameObject(project->lastSender, static_cast<ICommandPerformer*>(frame)));
    EXPECT_TRUE(IsEqualCLSID(CLSID_FakeFrame, project->lastClsid));
    EXPECT_EQ(PCID_REQUEST_BURN, project->lastId);

    // A failed query keeps the partner.
    EXPECT_EQ(E_FAIL, frame->SetPartnerNoAddRef(stranger));
    EXPECT_EQ(E_ABORT, frame->Send(PCID_NEXT, nullptr));
    frame->Release();
    project->Release();
}
