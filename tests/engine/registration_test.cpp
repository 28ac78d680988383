#include <gtest/gtest.h>
#include <engine.h>
#include "vokmar_process.h"
#include <com/registry.h>
#include <com/server.h>

namespace {

const char* const kAppId = "{3EBD45AD-AE93-489E-A9AE-90AF69CB3D30}";
const char* const kProxyClsid = "{10DAD25D-6093-4D37-8E1D-E7082ADDB9E8}";

struct ServedClass {
    const CLSID* clsid;
    const char* name;
};
const ServedClass kClasses[] = {
    {&CLSID_CoDevices, "CoDevices"},
    {&CLSID_CoISOFileTree, "CoISOFileTree"},
    {&CLSID_CoAudioCDLayout, "CoAudioCDLayout"},
    {&CLSID_CoAudioPlayer, "CoAudioPlayer"},
};

// Every marshalled interface with its number of methods, IUnknown's included.
struct MarshalledInterface {
    const IID* iid;
    const char* name;
    int methods;
};
const MarshalledInterface kInterfaces[] = {
    {&IID__IMessageCallback, "_IMessageCallback", 6}, {&IID_IDeviceSpeedEnum, "IDeviceSpeedEnum", 7},
    {&IID_IEnumULONG, "IEnumULONG", 7},               {&IID_IDevices, "IDevices", 8},
    {&IID_IObjectCreator, "IObjectCreator", 4},       {&IID_IDevice, "IDevice", 14},
    {&IID_IWriter, "IWriter", 9},                     {&IID_IWriter2, "IWriter2", 11},
    {&IID_IReader, "IReader", 4},                     {&IID_IMedium, "IMedium", 7},
    {&IID_ITrack, "ITrack", 12},                      {&IID_IFileTreeNode, "IFileTreeNode", 7},
    {&IID_IFileTree, "IFileTree", 18},                {&IID_IAudioTrack, "IAudioTrack", 14},
    {&IID_IAudioCDLayout, "IAudioCDLayout", 15},      {&IID_ICoAudioPlayer, "ICoAudioPlayer", 13},
};

std::string Reg(const std::string& key, const char* name = "")
{
    std::string value;
    return com::GetRegText(HKEY_CLASSES_ROOT, key, name, &value) ? value : "<missing>";
}

void ExpectRegistered(bool registered)
{
    // The proxy DLL goes with the engine: without it no interface crosses.
    for (const MarshalledInterface& i : kInterfaces) {
        SCOPED_TRACE(i.name);
        EXPECT_EQ(registered ? kProxyClsid : "<missing>",
                  Reg("Interface\\" + com::BracedGuid(*i.iid) + "\\ProxyStubClsid32"));
    }
    const std::string proxyDll = Reg(std::string("CLSID\\") + kProxyClsid + "\\InprocServer32");
    EXPECT_EQ(registered, proxyDll.find("VokmarPS.dll") != std::string::npos) << proxyDll;
    EXPECT_EQ(registered ? "Vokmar" : "<missing>", Reg(std::string("AppID\\") + kAppId));
    EXPECT_EQ(registered ? kAppId : "<missing>", Reg("AppID\\VOKMAR.EXE", "AppID"));
    for (const ServedClass& c : kClasses) {
        SCOPED_TRACE(c.name);
        const std::string clsid = com::BracedGuid(*c.clsid);
        const std::string key = "CLSID\\" + clsid;
        const std::string progId = std::string("Vokmar.") + c.name;
        if (!registered) {
            EXPECT_EQ("<missing>", Reg(key));
            EXPECT_EQ("<missing>", Reg(progId + ".1\\CLSID"));
            EXPECT_EQ("<missing>", Reg(progId + "\\CLSID"));
            continue;
        }
        EXPECT_EQ(std::string(c.name) + " Class", Reg(key));
        EXPECT_EQ(kAppId, Reg(key, "AppID"));
        EXPECT_NE(std::string::npos, Reg(key + "\\LocalServer32").find("Vokmar.exe"));
        EXPECT_EQ("<missing>", Reg(key + "\\InprocServer32"));
        EXPECT_EQ(progId + ".1", Reg(key + "\\ProgID"));
        EXPECT_EQ(progId, Reg(key + "\\VersionIndependentProgID"));
        EXPECT_EQ(clsid, Reg(progId + ".1\\CLSID"));
        EXPECT_EQ(clsid, Reg(progId + "\\CLSID"));
        EXPECT_EQ(progId + ".1", Reg(progId + "\\CurVer"));
    }
}

}  // namespace

TEST(EngineRegistration, ClassesProgIdsAndAppIdAreRegistered)
{
    ExpectRegistered(true);
    EXPECT_EQ("Free", Reg("CLSID\\" + com::BracedGuid(CLSID_CoDevices) + "\\LocalServer32", "ThreadingModel"));
}

TEST(EngineRegistration, EveryInterfaceCrossesThroughTheProxyDll)
{
    for (const MarshalledInterface& i : kInterfaces) {
        SCOPED_TRACE(i.name);
        const std::string key = "Interface\\" + com::BracedGuid(*i.iid);
        EXPECT_EQ(kProxyClsid, Reg(key + "\\ProxyStubClsid32"));
        EXPECT_EQ(std::to_string(i.methods), Reg(key + "\\NumMethods"));
    }
    EXPECT_NE(std::string::npos, Reg(std::string("CLSID\\") + kProxyClsid + "\\InprocServer32").find("VokmarPS.dll"));
    // The raw pointers never leave the engine.
    EXPECT_EQ("<missing>", Reg("Interface\\" + com::BracedGuid(IID_IRawPtr) + "\\ProxyStubClsid32"));
    EXPECT_EQ("<missing>", Reg("Interface\\" + com::BracedGuid(IID_ISimpleRawPtr) + "\\ProxyStubClsid32"));
}

TEST(EngineRegistration, UnregServerRemovesWhatRegServerWrites)
{
    StopEngine();
    {
        VokmarRun unreg("-UnregServer");
        ASSERT_TRUE(unreg.Started());
        EXPECT_EQ(0u, unreg.WaitExit(10000));
    }
    ExpectRegistered(false);
    {
        VokmarRun reg("/RegServer");
        ASSERT_TRUE(reg.Started());
        EXPECT_EQ(0u, reg.WaitExit(10000));
    }
    ExpectRegistered(true);
}
