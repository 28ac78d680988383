// The user's tree replayed onto the real engine's file tree (out of
// process): removals, renames and additions onto a disc's imported session,
// checked by walking the engine's tree and by burning it to drive F and
// listing the disc with isoinfo; and the failures of a preparation.
#include <gtest/gtest.h>
#include "disc_folder.h"
#include "engine.h"
#include "event_sink.h"
#include "files.h"
#include "unix_tools.h"
#include "vokmar_process.h"
#include <com/bstr.h>
#include <com/object.h>
#include <com/ptr.h>
#include <data_editor/model/engine_tree_preparation.h>
#include <frames/common/message_pump.h>
#include <data_editor/model/project_preparation_host.h>
#include <data_editor/model/session_import.h>
#include <shared/variant_safearray.h>
#include "commands.h"
#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

using Paths = std::set<std::string>;
const unsigned COOKIE = 0x5E1C;

// Answers the preparation as a test script says and records what it heard.
class CTestHost : public IEngineTreePreparationHost {
public:
    void ShowFailure(const std::string& text) override { failures.push_back(text); }
    unsigned AskLockedFile(const std::string& text, const std::string& checkText) override
    {
        questions.push_back(text + " [" + checkText + "]");
        return lockedAnswer;
    }
    void ShowProgress(const std::string& caption) override { captions.push_back(caption); }
    void Pump() override
    {
        ++pumps;
        PumpWaitingMessages();
    }
    bool CancelRequested() override { return cancelAfterPumps >= 0 && pumps > cancelAfterPumps; }
    void AddProgressAction(const std::string& caption) override { actions.push_back("+" + caption); }
    void RemoveProgressAction() override { actions.push_back("-"); }
    int CurrentDeviceId() override { return deviceId; }
    void SourceReady(HRESULT hr, IFileTree* handed) override
    {
        result = hr;
        tree = handed;
        actions.push_back("ready");
    }

    std::vector<std::string> failures, questions, captions, actions;
    unsigned lockedAnswer = LOCKED_SKIP;
    int cancelAfterPumps = -1, pumps = 0, deviceId = -1;
    HRESULT result = E_UNEXPECTED;
    com::ComPtr<IFileTree> tree;
};

// A project as the editor's partner: records the commands it gets and
// answers the question for the device.
class CTestProject : public com::ObjectRoot<com::MultiThreadModel>, public ICommandPerformer {
public:
    COM_INTERFACES_BEGIN(CTestProject)
        COM_INTERFACE(ICommandPerformer)
    COM_INTERFACES_END()

    STDMETHODIMP SetPartnerNoAddRef(IUnknown*) override { return S_OK; }
    STDMETHODIMP InvokeCommand(IUnknown* sender, REFCLSID, unsigned int id, SAFEARRAY* data) override
    {
        std::string line = std::to_string(id);
        unsigned pane = 0, action = 0, icon = 0, result = 0;
        BSTR caption = nullptr;
        IUnknown* tree = nullptr;
        int* device = nullptr;
        if (!sender) return E_INVALIDARG;
        if (id == PCID_ADD_ACTION &&
            ExtractFromSafearray(data, {{VT_UI4, &pane}, {VT_UI4, &action}, {VT_BSTR, &caption}, {VT_UI4, &icon}}) ==
                S_OK) {
            line += " " + std::to_string(pane) + " " + std::to_string(action) + " " + com::AnsiFromBstr(caption) +
                    " " + std::to_string(icon);
        } else if (id == PCID_RENAME_ACTION &&
                   ExtractFromSafearray(data, {{VT_UI4, &pane}, {VT_UI4, &action}, {VT_BSTR, &caption}}) == S_OK) {
            line += " " + std::to_string(pane) + " " + std::to_string(action);
        } else if (id == PCID_REMOVE_ACTION && ExtractFromSafearray(data, {{VT_UI4, &pane}, {VT_UI4, &action}}) == S_OK) {
            line += " " + std::to_string(pane) + " " + std::to_string(action);
        } else if (id == DECID_GET_CURRENT_DEVICE_ID && ExtractFromSafearray(data, {{VT_I4 | VT_BYREF, &device}}) == S_OK) {
            *device = deviceId;
        } else if (id == PCID_SOURCE_READY &&
                   ExtractFromSafearray(data, {{VT_UI4, &result}, {VT_UNKNOWN, &tree}}) == S_OK) {
            line += " " + std::to_string(result);
            handed.QueryFrom(tree, IID_IFileTree);
        } else {
            line += " ?";
        }
        commands.push_back(line);
        return S_OK;
    }

    std::vector<std::string> commands;
    int deviceId = -1;
    com::ComPtr<IFileTree> handed;
};

std::string NodeName(IFileTreeNode* node)
{
    com::Bstr name;
    return node->GetName(&name) == S_OK ? name.Ansi() : std::string("<none>");
}

// Every path below `folder` in the engine's tree, "/a/b" style.
void EnginePaths(IFileTree* tree, IFileTreeNode* folder, const std::string& prefix, Paths* paths)
{
    com::ComPtr<IFileTreeNode> kid;
    if (tree->GetFirstKid(folder, &kid) != S_OK) return;
    while (kid && kid->IsValid() == S_OK) {
        const std::string path = prefix + "/" + NodeName(kid);
        paths->insert(path);
        unsigned attributes = 0;
        kid->GetAttributes(&attributes);
        if (attributes & 0x10) EnginePaths(tree, kid, path, paths);
        com::ComPtr<IFileTreeNode> next;
        if (tree->GetNextKid(folder, kid, &next) != S_OK) break;
        kid = next;
    }
}

void UserPaths(const CUserFSEntry* folder, const std::string& prefix, Paths* paths)
{
    for (const CUserFSEntry* e = folder->FirstChild(); e; e = e->NextSibling()) {
        paths->insert(prefix + "/" + e->m_name);
        if (e->IsFolder()) UserPaths(e, prefix + "/" + e->m_name, paths);
    }
}

class EngineTreeSync : public testing::Test {
protected:
    static void TearDownTestSuite() { StopEngine(); }

    void SetUp() override
    {
        ASSERT_EQ(0u, RunDiscTool("insert F 2 359848"));
        ASSERT_EQ(S_OK, devices.CoCreate(CLSID_CoDevices, IID_IDevices, CLSCTX_LOCAL_SERVER));
        ASSERT_EQ(S_OK, com::CreateObject<CTestEventSink>(IID__IMessageCallback, reinterpret_cast<void**>(&sinkItf)));
        sink = static_cast<CTestEventSink*>(sinkItf.Get());
        ASSERT_EQ(S_OK, AdviseSink(devices, sinkItf, &listCookie));
        if (devices->IsInitialized() != S_OK) sink->WaitFor(DM_DEVICESSCANNED, 5000);
        ASSERT_EQ(S_OK, devices->GetDeviceByDriveLetter('F', &device));
        ASSERT_EQ(S_OK, device->QueryInterface(IID_IWriter, reinterpret_cast<void**>(&writer)));
        ASSERT_EQ(S_OK, device->QueryInterface(IID_IMedium, reinterpret_cast<void**>(&medium)));
        ASSERT_EQ(S_OK, AdviseSink(device, sinkItf, &deviceCookie));
        unsigned id = 0;
        ASSERT_EQ(S_OK, device->GetDeviceID(&id));
        host.deviceId = int(id);
    }
    void TearDown() override
    {
        if (deviceCookie) UnadviseSink(device, deviceCookie);
        if (listCookie) UnadviseSink(devices, listCookie);
        RunDiscTool("insert F 2 359848");  // the blank CD-R the other suites expect
    }

    std::string File(const std::string& relative, const std::string& bytes)
    {
        WriteFileBytes(files.File(relative), bytes);
        return files.File(relative);
    }
    std::string Dir(const std::string& relative)
    {
        CreateDirectoryA(files.File(relative).c_str(), nullptr);
        return files.File(relative);
    }
    HRESULT Prepare(const CUserFSTree& tree, int importTrack = -1)
    {
        const EngineTreeJob job = {&tree, &removed, importTrack, 0};
        return PrepareEngineTree(job, host, texts);
    }
    Paths EngineTreePaths()
    {
        Paths paths;
        com::ComPtr<IFileTreeNode> root;
        if (host.tree && host.tree->GetRootNode(&root) == S_OK) EnginePaths(host.tree, root, "", &paths);
        return paths;
    }
    unsigned Burn(IFileTree* tree)
    {
        const size_t before = sink->Events().size();
        EXPECT_EQ(S_OK, writer->BurnData(COOKIE, 0xFFFF, tree, 2));
        for (DWORD start = GetTickCount(); GetTickCount() - start < 30000; PumpFor(20)) {
            std::vector<EngineEvent> all = sink->Events();
            for (size_t i = before; i < all.size(); ++i)
                if (all[i].message == DM_BURNEND) return all[i].lParam;
        }
        ADD_FAILURE() << "the burn did not end";
        return 0xFFFFFFFF;
    }
    unsigned NextWritable()
    {
        unsigned count = 0, start = 0;
        com::ComPtr<ITrack> track;
        if (SUCCEEDED(medium->GetTrackCount(&count)) && SUCCEEDED(medium->GetTrack(&track, count)))
            track->GetStartAdress(&start);
        return start;
    }

    com::ComPtr<IDevices> devices;
    com::ComPtr<IDevice> device;
    com::ComPtr<IWriter> writer;
    com::ComPtr<IMedium> medium;
    com::ComPtr<_IMessageCallback> sinkItf;
    CTestEventSink* sink = nullptr;
    DWORD listCookie = 0, deviceCookie = 0;
    TempFolder files, exported;
    CTestHost host;
    CDataEditorTexts texts{"DataEditorTests"};
    std::vector<std::string> removed;
};

TEST_F(EngineTreeSync, EditsOfAnImportedSessionEndAsTheUserTreeOnTheDisc)
{
    // The first session: Docs{a.txt, b.txt, Old{c.txt}}, keep.txt, gone.txt,
    // GoneDir{x.txt}, burned as the preparation leaves it.
    Dir("Docs");
    Dir("Docs\\Old");
    Dir("GoneDir");
    Dir("Fresh");
    File("Docs\\a.txt", "alpha");
    File("Docs\\b.txt", std::string(5000, 'b'));
    File("Docs\\Old\\c.txt", "gamma");
    File("GoneDir\\x.txt", "x");
    File("Fresh\\f1.txt", "one");
    File("Fresh\\f2.txt", "two");
    CUserFSTree first;
    for (const char* name : {"Docs", "keep.txt", "gone.txt", "GoneDir"}) {
        if (std::string(name).find('.') != std::string::npos) File(name, name);
        ASSERT_TRUE(first.AddPath(first.GetRoot(), files.File(name).c_str())) << name;
    }
    ASSERT_EQ(S_OK, Prepare(first));
    ASSERT_TRUE(host.tree);
    ASSERT_EQ(0u, Burn(host.tree));
    const unsigned next = NextWritable();
    ASSERT_GT(next, 0u);

    // The user takes the session over and edits it.
    CUserFSTree tree;
    {
        com::ComPtr<IFileTree> imported;
        ASSERT_EQ(S_OK, ImportSession(unsigned(host.deviceId), 1, imported));
        CopyImportedTree(imported, tree);
    }
    Paths burned, taken;
    UserPaths(first.GetRoot(), "", &burned);
    UserPaths(tree.GetRoot(), "", &taken);
    EXPECT_EQ(burned, taken);
    CUserFSEntry* root = tree.GetRoot();
    for (const CUserFSEntry* e = root->FirstChild(); e; e = e->NextSibling()) EXPECT_TRUE(e->IsImported()) << e->m_name;
    EXPECT_EQ(5000, tree.FindChild(tree.FindChild(root, "Docs"), "b.txt")->m_size);
    CUserFSEntry* docs = tree.FindChild(root, "Docs");
    ASSERT_TRUE(docs);
    for (const char* name : {"gone.txt", "GoneDir"}) {
        CUserFSEntry* entry = tree.FindChild(root, name);
        ASSERT_TRUE(entry) << name;
        removed.push_back(entry->m_sourcePath);
        ASSERT_TRUE(tree.Remove(entry));
    }
    CUserFSEntry* old = tree.FindChild(docs, "Old");
    ASSERT_TRUE(old);
    ASSERT_TRUE(tree.Rename(tree.FindChild(docs, "a.txt"), "renamed.txt"));
    ASSERT_TRUE(tree.Rename(tree.FindChild(old, "c.txt"), "C.TXT"));
    ASSERT_TRUE(tree.Rename(old, "Older"));
    ASSERT_TRUE(tree.Rename(docs, "Papers"));
    ASSERT_TRUE(tree.AddPath(docs, File("new.txt", "new").c_str()));
    ASSERT_TRUE(tree.AddPath(old, File("deep.txt", "deep").c_str()));
    ASSERT_TRUE(tree.AddPath(root, files.File("Fresh").c_str()));
    ASSERT_TRUE(tree.Rename(root, "SECOND"));

    host.captions.clear();
    host.actions.clear();
    host.pumps = 0;
    ASSERT_EQ(S_OK, Prepare(tree, 1)) << (host.failures.empty() ? "" : host.failures[0]);
    EXPECT_TRUE(host.failures.empty());
    Paths expected;
    UserPaths(root, "", &expected);
    EXPECT_EQ(expected, EngineTreePaths());
    EXPECT_EQ((std::vector<std::string>{"+Processing file system changes:", "-", "ready"}), host.actions);
    EXPECT_GE(host.pumps, int(2 * tree.GetEntryCount())) << "between the steps of both walks";
    ASSERT_FALSE(host.captions.empty());
    EXPECT_EQ("Processing file system changes:, appying files removal", host.captions.front());
    EXPECT_EQ(0u, host.captions.back().find("Processing file system changes: adding new files  "))
        << host.captions.back();
    EXPECT_EQ(host.captions.end(), std::adjacent_find(host.captions.begin(), host.captions.end()))
        << "a caption only when the percent changes";

    // Burned behind the first session and read back.
    ASSERT_EQ(0u, Burn(host.tree));
    const std::string iso = exported.File("disc.iso");
    ASSERT_EQ(0u, RunDiscTool("export F \"" + iso + "\""));
    const std::string session = "isoinfo -T " + std::to_string(next) + " -i '" + UnixPath(iso) + "'";
    const std::string listing = RunUnix(session + " -J -f");
    Paths listed;
    for (size_t start = 0, end; (end = listing.find('\n', start)) != std::string::npos; start = end + 1)
        listed.insert(listing.substr(start, end - start));
    EXPECT_EQ(expected, listed) << listing;
    EXPECT_NE(std::string::npos, RunUnix(session + " -d").find("Volume id: SECOND"));
    const std::string text = RunUnix(session + " -J -x '/Papers/Older/C.TXT'");
    EXPECT_EQ("gamma", text) << "an imported file renamed inside renamed folders keeps its data";
}

// Every failure ends with one message at most, a failure result, and the
// engine's tree still handed to the project once the passes had begun.
TEST_F(EngineTreeSync, FailuresReportOnceAndHandTheTreeOver)
{
    const std::string held = File("held.txt", "in use");
    const std::string held2 = File("held2.txt", "in use too");
    HANDLE lock1 = CreateFileA(held.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE lock2 = CreateFileA(held2.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock1);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock2);
    const std::string gone = File("vanished.txt", "v");

    struct Case {
        const char* label;
        std::function<void(CUserFSTree&)> edit;
        unsigned lockedAnswer;
        int cancelAfterPumps;
        HRESULT result;
        size_t questions;
        const char* failure;  // the start of the one message, or "" for none
    };
    const Case cases[] = {
        {"locked files, each skipped",
         [&](CUserFSTree& t) {
             t.AddPath(t.GetRoot(), held.c_str());
             t.AddPath(t.GetRoot(), held2.c_str());
         },
         LOCKED_SKIP, -1, S_OK, 2, ""},
        {"locked files, all skipped at once",
         [&](CUserFSTree& t) {
             t.AddPath(t.GetRoot(), held.c_str());
             t.AddPath(t.GetRoot(), held2.c_str());
         },
         LOCKED_SKIP_ALL, -1, S_OK, 1, ""},
        {"a locked file, cancelled", [&](CUserFSTree& t) { t.AddPath(t.GetRoot(), held.c_str()); }, 2, -1, E_FAIL, 1,
         ""},
        {"cancelled between steps",
         [&](CUserFSTree& t) {
             for (int i = 0; i < 5; ++i) t.AddPath(t.GetRoot(), File("c" + std::to_string(i) + ".txt", "c").c_str());
         },
         0, 3, SCARD_W_CANCELLED_BY_USER, 0, ""},
        {"a source gone since it was added",
         [&](CUserFSTree& t) {
             t.AddPath(t.CreateFolder(t.GetRoot(), "In"), gone.c_str());
             DeleteFileA(gone.c_str());
         },
         0, -1, E_FAIL, 0, "File \"\\In\\vanished.txt\" is missing: its source \""},
        {"an imported entry without its session",
         [&](CUserFSTree& t) { t.AddImportedFile(t.GetRoot(), "old.txt", 3); }, 0, -1, E_FAIL, 0,
         "File tree node corresponding to \"\\old.txt\" not found."},
        {"a removal without its session", [&](CUserFSTree&) { removed.push_back("\\Old\\x.txt"); }, 0, -1, E_FAIL, 0,
         "File tree node corresponding to \"\\Old\\x.txt\" not found."},
    };
    for (const Case& c : cases) {
        CUserFSTree tree;
        removed.clear();
        c.edit(tree);
        host = CTestHost();
        host.deviceId = [&] {
            unsigned id = 0;
            device->GetDeviceID(&id);
            return int(id);
        }();
        host.lockedAnswer = c.lockedAnswer;
        host.cancelAfterPumps = c.cancelAfterPumps;
        EXPECT_EQ(c.result, Prepare(tree)) << c.label;
        EXPECT_EQ(c.result, host.result) << c.label;
        EXPECT_TRUE(host.tree) << c.label;
        EXPECT_EQ(c.questions, host.questions.size()) << c.label;
        if (*c.failure) {
            ASSERT_EQ(1u, host.failures.size()) << c.label;
            EXPECT_EQ(0u, host.failures[0].find(c.failure)) << host.failures[0];
        } else {
            EXPECT_TRUE(host.failures.empty()) << c.label << ": " << (host.failures.empty() ? "" : host.failures[0]);
        }
        if (c.result == S_OK) {
            EXPECT_EQ(Paths{}, EngineTreePaths()) << c.label << ": the locked files stay out";
        }
    }
    CloseHandle(lock1);
    CloseHandle(lock2);

    // No drive: the device's failure, said to the user, and no tree.
    CUserFSTree tree;
    tree.AddPath(tree.GetRoot(), File("d.txt", "d").c_str());
    removed.clear();
    host = CTestHost();
    host.deviceId = 0x7F7F7F7F;
    EXPECT_TRUE(FAILED(Prepare(tree)));
    EXPECT_FALSE(host.tree);
    ASSERT_EQ(1u, host.failures.size());
    EXPECT_EQ(0u, host.failures[0].find("Data preparation failed: the drive or its disc could not be read (error 0x"))
        << host.failures[0];
    EXPECT_EQ((std::vector<std::string>{"+Processing file system changes:", "-", "ready"}), host.actions);

    // An empty project: refused with its message before the engine is asked.
    CUserFSTree empty;
    host = CTestHost();
    EXPECT_EQ(E_FAIL, Prepare(empty));
    EXPECT_FALSE(host.tree);
    EXPECT_EQ(E_FAIL, host.result);
    EXPECT_EQ(std::vector<std::string>{"The project is empty: add files or folders before burning."}, host.failures);
    EXPECT_EQ(std::vector<std::string>{"ready"}, host.actions) << "no progress action";
}

// The frame's host speaks to the project in commands: the progress action,
// the device question, and the tree handed over at the end.
TEST_F(EngineTreeSync, TheProjectHearsEveryStepAndGetsTheTree)
{
    CUserFSTree tree;
    for (int i = 0; i < 3; ++i) tree.AddPath(tree.GetRoot(), File("p" + std::to_string(i) + ".txt", "p").c_str());
    com::ComPtr<ICommandPerformer> projectItf;
    ASSERT_EQ(S_OK, com::CreateObject<CTestProject>(IID_ICommandPerformer, reinterpret_cast<void**>(&projectItf)));
    auto* project = static_cast<CTestProject*>(projectItf.Get());
    project->deviceId = host.deviceId;
    volatile bool cancel = false;
    const HICON icon = reinterpret_cast<HICON>(0x1234);
    CProjectPreparationHost frameHost(projectItf, projectItf, CLSID_NULL, nullptr, icon, cancel);
    const EngineTreeJob job = {&tree, &removed, -1, 0};
    ASSERT_EQ(S_OK, PrepareEngineTree(job, frameHost, texts));

    ASSERT_LE(4u, project->commands.size());
    EXPECT_EQ("64 8193 32771 Processing file system changes: 4660", project->commands.front());
    EXPECT_EQ("4097", project->commands[1]);
    EXPECT_EQ("66 8193 32771", project->commands[2]);
    EXPECT_EQ("65 8193 32771", project->commands[project->commands.size() - 2]);
    EXPECT_EQ("293 0", project->commands.back());
    ASSERT_TRUE(project->handed);
    com::ComPtr<IFileTreeNode> node;
    EXPECT_EQ(S_OK, project->handed->GetNodeByPath(&node, com::Bstr("P2.TXT")));
}

}  // namespace
