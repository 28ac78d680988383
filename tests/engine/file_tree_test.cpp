// The engine's file tree seen from a client process: walking and changing
// it, paths, node objects that outlive the tree or their entry, sources in
// use by another process, and the import of a disc's session.
#include <gtest/gtest.h>
#include "disc_folder.h"
#include <engine.h>
#include "files.h"
#include "vokmar_process.h"
#include <com/bstr.h>
#include <com/object.h>
#include <com/ptr.h>
#include <disc/disc_layer.h>
#include <string>
#include <vector>

namespace {

using NodePtr = com::ComPtr<IFileTreeNode>;

const unsigned ATTR_FOLDER = 0x10, ATTR_FILE = 0x80, ATTR_IMPORTED = 0x01;

class EngineFileTree : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, tree.CoCreate(CLSID_CoISOFileTree, IID_IFileTree, CLSCTX_LOCAL_SERVER));
        ASSERT_EQ(S_OK, tree->GetRootNode(&root));
    }

    std::string Source(const std::string& name, const std::string& bytes)
    {
        WriteFileBytes(sources.File(name), bytes);
        return sources.File(name);
    }
    // A folder (no source) or a file under the parent; null when refused.
    NodePtr Add(IFileTreeNode* parent, const std::string& source, const std::string& name, HRESULT expected = S_OK)
    {
        NodePtr node;
        com::Bstr bsSource(source), bsName(name);
        EXPECT_EQ(expected, tree->Add(parent, source.empty() ? nullptr : bsSource.Get(), bsName, &node)) << name;
        return node;
    }
    NodePtr Folder(IFileTreeNode* parent, const std::string& name) { return Add(parent, "", name); }
    NodePtr ByPath(const std::string& path, HRESULT* result = nullptr)
    {
        NodePtr node;
        HRESULT hr = tree->GetNodeByPath(&node, com::Bstr(path));
        if (result) *result = hr;
        return node;
    }
    static std::string Name(IFileTreeNode* node)
    {
        com::Bstr name;
        return node && node->GetName(&name) == S_OK ? name.Ansi() : "<none>";
    }
    // The names of a folder's children, walked as a client does.
    std::vector<std::string> Kids(IFileTreeNode* folder)
    {
        std::vector<std::string> names;
        NodePtr kid;
        EXPECT_EQ(S_OK, tree->GetFirstKid(folder, &kid));
        while (kid && kid->IsValid() == S_OK) {
            names.push_back(Name(kid));
            NodePtr next;
            if (tree->GetNextKid(folder, kid, &next) != S_OK) break;
            kid = next;
        }
        return names;
    }

    TempFolder sources;
    com::ComPtr<IFileTree> tree;
    NodePtr root;
};

using Names = std::vector<std::string>;

// A node that a client made itself: it claims to be valid.
class CClientNode : public com::ObjectRoot<com::MultiThreadModel>, public IFileTreeNode {
public:
    COM_INTERFACES_BEGIN(CClientNode)
        COM_INTERFACE(IFileTreeNode)
    COM_INTERFACES_END()
    STDMETHODIMP GetName(BSTR* name) override { *name = SysAllocString(L"Fake"); return S_OK; }
    STDMETHODIMP GetAttributes(unsigned int* attributes) override { *attributes = 0x10; return S_OK; }
    STDMETHODIMP GetSize(hyper* size) override { *size = 0; return S_OK; }
    STDMETHODIMP IsValid() override { return S_OK; }
};

TEST_F(EngineFileTree, WalksAddsRenamesAndRemoves)
{
    NodePtr docs = Folder(root, "Docs");
    NodePtr empty = Folder(root, "Empty");
    NodePtr text = Add(docs, Source("a.txt", "12345"), "");
    NodePtr data = Add(docs, Source("b.bin", std::string(1234, 'b')), "Data.bin");
    ASSERT_TRUE(docs && empty && text && data);
    EXPECT_EQ((Names{"Docs", "Empty"}), Kids(root));
    EXPECT_EQ((Names{"a.txt", "Data.bin"}), Kids(docs)) << "a file keeps its source's name unless given one";

    unsigned attributes = 0;
    hyper size = -1;
    ASSERT_EQ(S_OK, docs->GetAttributes(&attributes));
    EXPECT_EQ(ATTR_FOLDER, attributes);
    ASSERT_EQ(S_OK, data->GetAttributes(&attributes));
    EXPECT_EQ(ATTR_FILE, attributes);
    ASSERT_EQ(S_OK, data->GetSize(&size));
    EXPECT_EQ(1234, size);
    ASSERT_EQ(S_OK, docs->GetSize(&size));
    EXPECT_EQ(0, size);

    // An empty folder's first kid: S_OK, a node that names nothing.
    NodePtr none;
    ASSERT_EQ(S_OK, tree->GetFirstKid(empty, &none));
    ASSERT_TRUE(none);
    EXPECT_EQ(S_FALSE, none->IsValid());
    com::Bstr name;
    EXPECT_EQ(E_FAIL, none->GetName(&name));
    EXPECT_EQ(E_FAIL, none->GetAttributes(&attributes));
    EXPECT_EQ(E_FAIL, none->GetSize(&size));
    EXPECT_EQ(E_FAIL, tree->GetFirstKid(none, &none)) << "a node that names nothing is no parent";
    NodePtr after;
    EXPECT_EQ(E_FAIL, tree->GetNextKid(docs, data, &after)) << "after the last child";
    EXPECT_FALSE(after);

    EXPECT_EQ(S_OK, tree->Rename(text, com::Bstr("Renamed.txt")));
    EXPECT_EQ("Renamed.txt", Name(text));
    EXPECT_EQ(E_FAIL, tree->Rename(text, com::Bstr("DATA.BIN"))) << "a sibling's name in other case";
    EXPECT_FALSE(Add(docs, Source("c.txt", "c"), "data.BIN", E_FAIL)) << "a sibling's name in other case";
    EXPECT_FALSE(Add(docs, sources.File("missing.txt"), "", E_FAIL)) << "a source that does not exist";
    EXPECT_FALSE(Add(data, "", "Below", E_FAIL)) << "a file as parent";

    EXPECT_EQ(S_OK, tree->Remove(docs));
    EXPECT_EQ(S_FALSE, docs->IsValid()) << "the removed node's own object";
    EXPECT_EQ(S_FALSE, data->IsValid()) << "a node under the removed folder";
    EXPECT_EQ(Names{"Empty"}, Kids(root));
    EXPECT_EQ(E_FAIL, tree->Remove(root)) << "the root stays";

    EXPECT_EQ(S_OK, tree->Initialize());
    EXPECT_EQ(Names{"Empty"}, Kids(root)) << "Initialize leaves the content as it was";
    EXPECT_EQ(S_OK, tree->SetVolumeLabel(com::Bstr("MY DISC")));
    EXPECT_EQ(S_OK, tree->SetStartLBA(0));
    EXPECT_EQ(S_OK, tree->BuildImage());
}

TEST_F(EngineFileTree, SettingsAndNullArguments)
{
    EXPECT_EQ(S_FALSE, tree->IsDoFinalize()) << "a new tree";
    EXPECT_EQ(S_OK, tree->DoFinalize(1));
    EXPECT_EQ(S_OK, tree->IsDoFinalize());
    EXPECT_EQ(S_OK, tree->DoFinalize(0));
    EXPECT_EQ(S_FALSE, tree->IsDoFinalize());
    EXPECT_EQ(S_OK, tree->SetVolumeLabel(nullptr));
    EXPECT_EQ(S_OK, tree->SetBootImage(com::Bstr("C:\\boot.img")));
    EXPECT_EQ(S_OK, tree->SetStartLBA(1000));
    EXPECT_EQ(S_OK, tree->BuildImage());

    NodePtr node;
    EXPECT_EQ(E_FAIL, tree->GetFirstKid(nullptr, &node));
    EXPECT_EQ(E_FAIL, tree->Remove(nullptr));
    EXPECT_EQ(E_FAIL, tree->Rename(nullptr, com::Bstr("x")));
    EXPECT_FALSE(Add(nullptr, "", "x", E_FAIL));
    EXPECT_EQ(E_INVALIDARG, tree->ImportTrack(nullptr, nullptr));
}

TEST_F(EngineFileTree, NodeByPathFollowsTheWalksRules)
{
    NodePtr folder = Folder(root, "Folder");
    NodePtr sub = Folder(folder, "Sub");
    ASSERT_TRUE(Add(sub, Source("File.txt", "f"), ""));
    ASSERT_TRUE(Add(root, Source("Top.txt", "t"), ""));
    struct Case {
        const char* path;
        HRESULT result;
        const char* name;
    };
    const Case cases[] = {
        {"Folder\\Sub\\File.txt", S_OK, "File.txt"},
        {"\\Folder\\Sub\\File.txt", S_OK, "File.txt"},
        {"\\\\\\Folder\\Sub\\File.txt", S_OK, "File.txt"},
        {"Folder\\Sub\\File.txt\\", S_OK, "File.txt"},
        {"Folder\\Sub\\File.txt\\\\", S_OK, "File.txt"},
        {"\\folder\\SUB\\file.TXT\\", S_OK, "File.txt"},
        {"Folder", S_OK, "Folder"},
        {"Folder\\Sub\\", S_OK, "Sub"},
        {"TOP.TXT", S_OK, "Top.txt"},
        {"", E_INVALIDARG, nullptr},
        {"\\", E_FAIL, nullptr},
        {"\\\\\\", E_FAIL, nullptr},
        {"Folder\\\\Sub", E_FAIL, nullptr},
        {"Folder\\Missing", E_FAIL, nullptr},
        {"Folder\\Sub\\File.txt\\More", E_FAIL, nullptr},
        {"Top.txt\\Sub", E_FAIL, nullptr},
        {"Sub", E_FAIL, nullptr},
        {"Fold", E_FAIL, nullptr},
    };
    for (const Case& c : cases) {
        HRESULT hr = S_OK;
        NodePtr node = ByPath(c.path, &hr);
        EXPECT_EQ(c.result, hr) << c.path;
        if (c.name) EXPECT_EQ(c.name, Name(node)) << c.path;
        else EXPECT_FALSE(node) << c.path;
    }
    NodePtr node;
    EXPECT_EQ(E_INVALIDARG, tree->GetNodeByPath(&node, nullptr));
}

TEST_F(EngineFileTree, NodeObjectsKeepTheTreeAndAnswerForGoneEntries)
{
    NodePtr kept = Folder(root, "Kept");
    NodePtr dir = Folder(root, "Dir");
    ASSERT_TRUE(kept && dir);
    NodePtr inner = Folder(dir, "Inner");
    NodePtr twin = ByPath("Dir");
    ASSERT_TRUE(inner && twin);

    // Two objects name one node: removing through one leaves the other
    // (and the nodes below) answering E_FAIL.
    ASSERT_EQ(S_OK, tree->Remove(dir));
    EXPECT_EQ(S_FALSE, twin->IsValid());
    com::Bstr name;
    unsigned attributes = 0;
    hyper size = 0;
    EXPECT_EQ(E_FAIL, twin->GetName(&name));
    EXPECT_EQ(E_FAIL, twin->GetAttributes(&attributes));
    EXPECT_EQ(E_FAIL, twin->GetSize(&size));
    EXPECT_EQ(E_FAIL, inner->GetName(&name));
    EXPECT_EQ(E_FAIL, tree->Remove(twin));
    EXPECT_EQ(E_FAIL, tree->Rename(twin, com::Bstr("Again")));
    EXPECT_FALSE(Add(twin, "", "Child", E_FAIL));
    NodePtr kid;
    EXPECT_EQ(E_FAIL, tree->GetFirstKid(twin, &kid));
    EXPECT_EQ(E_FAIL, tree->GetNextKid(root, twin, &kid));
    EXPECT_EQ(Names{"Kept"}, Kids(root)) << "the tree goes on";

    // A node of another tree is no argument of this one.
    com::ComPtr<IFileTree> other;
    NodePtr otherRoot;
    ASSERT_EQ(S_OK, other.CoCreate(CLSID_CoISOFileTree, IID_IFileTree, CLSCTX_LOCAL_SERVER));
    ASSERT_EQ(S_OK, other->GetRootNode(&otherRoot));
    EXPECT_FALSE(Add(otherRoot, "", "Stray", E_FAIL));
    EXPECT_EQ(E_FAIL, tree->GetFirstKid(otherRoot, &kid));
    // Nor is a node the client made.
    NodePtr fake;
    ASSERT_EQ(S_OK, com::CreateObject<CClientNode>(IID_IFileTreeNode, reinterpret_cast<void**>(&fake)));
    EXPECT_FALSE(Add(fake, "", "Stray", E_FAIL));
    EXPECT_EQ(E_FAIL, tree->Remove(fake));
    EXPECT_EQ(E_FAIL, tree->GetNextKid(root, fake, &kid));

    // The client lets the tree go before its nodes: they still read it.
    tree.Reset();
    root.Reset();
    other.Reset();
    EXPECT_EQ(S_OK, kept->IsValid());
    EXPECT_EQ("Kept", Name(kept));
    ASSERT_EQ(S_OK, kept->GetAttributes(&attributes));
    EXPECT_EQ(ATTR_FOLDER, attributes);
    kept.Reset();
    twin.Reset();
    inner.Reset();
    otherRoot.Reset();
    ASSERT_EQ(S_OK, tree.CoCreate(CLSID_CoISOFileTree, IID_IFileTree, CLSCTX_LOCAL_SERVER)) << "the engine lives on";
}

TEST_F(EngineFileTree, ASourceHeldOpenByAnotherProcess)
{
    struct Case {
        const char* label;
        DWORD access, share;
        HRESULT result;
    };
    const Case cases[] = {
        {"open for writing", GENERIC_WRITE, FILE_SHARE_READ, SCARD_E_SHARING_VIOLATION},
        {"open for writing, all shared", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
         SCARD_E_SHARING_VIOLATION},
        {"open for reading without sharing", GENERIC_READ, 0, SCARD_E_SHARING_VIOLATION},
        {"open for reading", GENERIC_READ, FILE_SHARE_READ, S_OK},
    };
    int n = 0;
    for (const Case& c : cases) {
        std::string name = "held" + std::to_string(n++) + ".txt";
        std::string path = Source(name, "in use");
        HANDLE held = CreateFileA(path.c_str(), c.access, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, held) << c.label;
        NodePtr node = Add(root, path, "", c.result);
        EXPECT_EQ(c.result == S_OK, bool(node)) << c.label;
        HRESULT hr = S_OK;
        EXPECT_EQ(c.result == S_OK, bool(ByPath(name, &hr))) << c.label << ": the node is there only when added";
        CloseHandle(held);
        if (c.result != S_OK) {
            EXPECT_TRUE(Add(root, path, "")) << c.label << ": added once let go";
        }
    }
}

// One closed session holding Old\old.txt and ReadMe.txt, burned by the
// disc layer on drives of its own and exported as an image file.
std::string BurnedSessionImage(const TempFolder& work)
{
    const std::string drives = work.File("drives");
    WriteFileBytes(work.File("old.txt"), "old text");
    WriteFileBytes(work.File("readme.txt"), std::string(3000, 'r'));
    char text[1024] = "";
    uint32_t sys = 0;
    DiscFailureRecord failure = {};
    if (DiscLayer_Startup(drives.c_str(), text, sizeof(text), &sys) != DISC_OK) return "";
    DiscHandle grabber = 0, iso = 0;
    DiscNodeHandle folder = 0, file = 0;
    bool ok = Grabber_Create(&grabber, text, sizeof(text), &sys, nullptr, nullptr, 1, 0, 1, 0, 0) == DISC_OK &&
              IsoTree_Create(&iso, text, sizeof(text), &sys, nullptr, nullptr, 0, 0, 1, 1) == DISC_OK &&
              IsoTree_Add(iso, text, sizeof(text), &sys, nullptr, "Old", 0, IsoTree_GetRoot(iso), &folder) == DISC_OK &&
              IsoTree_Add(iso, text, sizeof(text), &sys, work.File("old.txt").c_str(), nullptr, 0, folder, &file) ==
                  DISC_OK &&
              IsoTree_Add(iso, text, sizeof(text), &sys, work.File("readme.txt").c_str(), "ReadMe.txt", 0,
                          IsoTree_GetRoot(iso), &file) == DISC_OK &&
              IsoTree_Build(iso, text, sizeof(text), &sys, 0, 100, 1, "OLD", "Tavell software", "Tavell Burner") ==
                  DISC_OK &&
              Grabber_TrackAtOnceFromTree(grabber, text, sizeof(text), &sys, &failure, iso, 1, 0, 1, 1, 1) == DISC_OK &&
              Grabber_CloseSession(grabber, text, sizeof(text), &sys, &failure) == DISC_OK;
    DiscHandle_Destroy(&iso);
    DiscHandle_Destroy(&grabber);
    DiscLayer_Shutdown(text, sizeof(text), &sys);
    const std::string image = work.File("old.iso");
    return ok && RunDiscTool(drives, "export F \"" + image + "\"") == 0 ? image : "";
}

// Puts the blank CD-R back into drive F.
struct BlankCdAgain {
    ~BlankCdAgain() { RunDiscTool("insert F 2 359848"); }
};

TEST_F(EngineFileTree, ImportsTheSessionOfADiscInTheDrive)
{
    TempFolder work;
    const std::string image = BurnedSessionImage(work);
    ASSERT_FALSE(image.empty());
    com::ComPtr<IDevices> devices;
    ASSERT_EQ(S_OK, devices.CoCreate(CLSID_CoDevices, IID_IDevices, CLSCTX_LOCAL_SERVER));
    com::ComPtr<IDevice> device;
    for (DWORD start = GetTickCount(); !device && GetTickCount() - start < 5000; PumpFor(100))
        devices->GetDeviceByDriveLetter('F', &device);
    ASSERT_TRUE(device);
    com::ComPtr<IMedium> medium;
    ASSERT_EQ(S_OK, device->QueryInterface(IID_IMedium, reinterpret_cast<void**>(&medium)));

    BlankCdAgain restore;
    ASSERT_EQ(0u, RunDiscTool("press F \"" + image + "\""));
    unsigned type = 0;
    for (DWORD start = GetTickCount(); type != MT_CD_ROM && GetTickCount() - start < 5000; PumpFor(100))
        medium->GetMediumType(&type);
    ASSERT_EQ(unsigned(MT_CD_ROM), type);
    com::ComPtr<ITrack> track;
    ASSERT_EQ(S_OK, medium->GetTrack(&track, 1));

    EXPECT_EQ(E_INVALIDARG, tree->ImportTrack(track, nullptr));
    EXPECT_EQ(E_INVALIDARG, tree->ImportTrack(nullptr, device));
    ASSERT_EQ(S_OK, tree->ImportTrack(track, device));
    EXPECT_EQ((Names{"Old", "ReadMe.txt"}), Kids(root));
    NodePtr old = ByPath("\\old\\OLD.TXT");
    ASSERT_TRUE(old);
    EXPECT_EQ("old.txt", Name(old));
    unsigned attributes = 0;
    hyper size = 0;
    ASSERT_EQ(S_OK, old->GetAttributes(&attributes));
    EXPECT_EQ(ATTR_FILE | ATTR_IMPORTED, attributes);
    ASSERT_EQ(S_OK, old->GetSize(&size));
    EXPECT_EQ(8, size);
    ASSERT_EQ(S_OK, ByPath("ReadMe.txt")->GetSize(&size));
    EXPECT_EQ(3000, size);

    // The imported tree takes changes like any other.
    EXPECT_TRUE(Add(ByPath("Old"), Source("new.txt", "new"), ""));
    EXPECT_EQ(S_OK, tree->Rename(ByPath("ReadMe.txt"), com::Bstr("Read.txt")));
    EXPECT_EQ((Names{"old.txt", "new.txt"}), Kids(ByPath("Old")));

    // With the disc gone the import fails, and the drive is free again.
    ASSERT_EQ(0u, RunDiscTool("eject F"));
    for (DWORD start = GetTickCount(); type != MT_NO_MEDIA && GetTickCount() - start < 5000; PumpFor(100))
        medium->GetMediumType(&type);
    com::ComPtr<IFileTree> again;
    ASSERT_EQ(S_OK, again.CoCreate(CLSID_CoISOFileTree, IID_IFileTree, CLSCTX_LOCAL_SERVER));
    EXPECT_EQ(E_FAIL, again->ImportTrack(track, device));
    com::Bstr deviceName;
    EXPECT_EQ(S_OK, device->GetDeviceName(&deviceName)) << "the device lock was let go";
}

}  // namespace
