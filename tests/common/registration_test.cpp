#include <gtest/gtest.h>
#include "common.h"
#include <com/ptr.h>
#include <com/registry.h>
#include <com/server.h>
#include <com/text.h>

namespace {

struct RegisteredClass {
    const CLSID* clsid;
    const char* name;
    const char* threading;
    bool creatable;
};

// Every class of Common.dll, in its factory order.
const RegisteredClass kClasses[] = {
    {&CLSID_CoLogger, "CoLogger", "Both", true},
    {&CLSID_CoSettings, "CoSettings", "Both", true},
    {&CLSID_CoTranslator, "CoTranslator", "Both", true},
    {&CLSID_CoLoadSaveImpl, "CoLoadSaveImpl", "Both", true},
    {&CLSID_CoPanelCtrl, "CoPanelCtrl", "Apartment", true},
    {&CLSID_CommonDataObject, "CommonDataObject", "Apartment", true},
    {&CLSID_CoLoadableSection, "CoLoadableSection", "Both", false},
    {&CLSID_CoSaveableSection, "CoSaveableSection", "Both", false},
};

std::string Reg(const std::string& key, const char* name = "")
{
    std::string value;
    return com::GetRegText(HKEY_CLASSES_ROOT, key, name, &value) ? value : "<missing>";
}

}  // namespace

TEST(Registration, EveryClassHasItsKeysAndProgIds)
{
    for (const RegisteredClass& c : kClasses) {
        const std::string clsid = com::BracedGuid(*c.clsid);
        const std::string progId = std::string("Common.") + c.name;
        const std::string key = "CLSID\\" + clsid;
        SCOPED_TRACE(c.name);
        EXPECT_EQ(std::string(c.name) + " Class", Reg(key));
        EXPECT_NE(std::string::npos, Reg(key + "\\InprocServer32").find("Common.dll"));
        EXPECT_EQ(c.threading, Reg(key + "\\InprocServer32", "ThreadingModel"));
        EXPECT_EQ(progId + ".1", Reg(key + "\\ProgID"));
        EXPECT_EQ(progId, Reg(key + "\\VersionIndependentProgID"));
        EXPECT_EQ("{1FF6E6FF-1DD7-4EFA-BACA-9D99B181CA5D}", Reg(key + "\\TypeLib"));
        EXPECT_EQ(clsid, Reg(progId + ".1\\CLSID"));
        EXPECT_EQ(clsid, Reg(progId + "\\CLSID"));
        EXPECT_EQ(progId + ".1", Reg(progId + "\\CurVer"));

        CLSID fromProgId;
        EXPECT_EQ(S_OK, CLSIDFromProgID(com::WideFromAnsi((progId + ".1").c_str()).c_str(), &fromProgId));
        EXPECT_TRUE(IsEqualCLSID(*c.clsid, fromProgId));

        com::ComPtr<IUnknown> object;
        HRESULT hr = object.CoCreate(*c.clsid, IID_IUnknown, CLSCTX_INPROC_SERVER);
        if (c.creatable)
            EXPECT_EQ(S_OK, hr);
        else
            EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, hr);
    }
}

TEST(Registration, TheTypeLibraryDescribesTheInterfaces)
{
    com::ComPtr<ITypeLib> lib;
    ASSERT_EQ(S_OK, LoadRegTypeLib(LIBID_COMMONLib, 1, 0, 0, &lib));
    const IID* interfaces[] = {&IID_ILogger, &IID_ISettings, &IID_ITranslator, &IID_IMessenger,
                               &IID_ILoadSaveImpl, &IID_ILoadableSection, &IID_ISaveableSection, &IID_ITaskBar};
    for (const IID* iid : interfaces) {
        com::ComPtr<ITypeInfo> info;
        EXPECT_EQ(S_OK, lib->GetTypeInfoOfGuid(*iid, &info)) << com::BracedGuid(*iid);
    }
    com::ComPtr<ITypeInfo> logger;
    ASSERT_EQ(S_OK, lib->GetTypeInfoOfGuid(IID_ILogger, &logger));
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(S_OK, logger->GetTypeAttr(&attr));
    EXPECT_EQ(8, attr->cFuncs);  // after the three of IUnknown
    logger->ReleaseTypeAttr(attr);
}
