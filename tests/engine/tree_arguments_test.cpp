// An engine file tree in one process: a node of another tree is refused at
// once, without waiting for that tree, so that two trees given each other's
// nodes on two threads never wait for each other; paths in a big folder.
#include <gtest/gtest.h>
#include "file_trees/iso_file_tree.h"
#include <com/bstr.h>
#include <com/ptr.h>
#include <files.h>
#include <cstdio>
#include <functional>

namespace {

using TreePtr = com::ComPtr<com::ComObject<CCoISOFileTree>>;

// Holds a tree's lock on a thread of its own until let go.
class LockHolder {
public:
    explicit LockHolder(IFileTreeNode* node)
    {
        com::ComPtr<ISimpleRawPtr> raw;
        node->QueryInterface(IID_ISimpleRawPtr, reinterpret_cast<void**>(&raw));
        m_lock = &reinterpret_cast<ISONodeRef*>(raw->GetRawPtr())->tree->Lock();
        m_thread = CreateThread(nullptr, 0, Hold, this, 0, nullptr);
        WaitForSingleObject(m_locked, 5000);
    }
    ~LockHolder()
    {
        SetEvent(m_release);
        WaitForSingleObject(m_thread, 5000);
        CloseHandle(m_thread);
        CloseHandle(m_locked);
        CloseHandle(m_release);
    }

private:
    static DWORD WINAPI Hold(void* self)
    {
        auto* holder = static_cast<LockHolder*>(self);
        holder->m_lock->Lock();
        SetEvent(holder->m_locked);
        WaitForSingleObject(holder->m_release, INFINITE);
        holder->m_lock->Unlock();
        return 0;
    }
    com::CriticalSection* m_lock = nullptr;
    HANDLE m_locked = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE m_release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE m_thread = nullptr;
};

struct Call {
    std::function<HRESULT()> body;
    HRESULT result = S_OK;
    static DWORD WINAPI Run(void* self)
    {
        auto* call = static_cast<Call*>(self);
        call->result = call->body();
        return 0;
    }
};

}  // namespace

TEST(TreeNodeArguments, ANodeOfAnotherTreeIsRefusedWithoutWaitingForIt)
{
    TempFolder folder;
    char text[1024] = "";
    uint32_t systemError = 0;
    ASSERT_EQ(DISC_OK, DiscLayer_Startup(folder.Path().c_str(), text, sizeof(text), &systemError)) << text;
    {
        TreePtr tree, other;
        ASSERT_EQ(S_OK, com::CreateObjectImpl<CCoISOFileTree>(&tree));
        ASSERT_EQ(S_OK, com::CreateObjectImpl<CCoISOFileTree>(&other));
        com::ComPtr<IFileTreeNode> root, foreign, folderNode;
        ASSERT_EQ(S_OK, tree->GetRootNode(&root));
        ASSERT_EQ(S_OK, other->GetRootNode(&foreign));
        ASSERT_EQ(S_OK, other->Add(foreign, nullptr, com::Bstr("Folder"), &folderNode));
        struct Case {
            const char* what;
            std::function<HRESULT()> call;
        };
        IFileTreeNode *mine = root, *theirs = folderNode;
        const Case cases[] = {
            {"GetFirstKid", [&] { com::ComPtr<IFileTreeNode> n; return tree->GetFirstKid(theirs, &n); }},
            {"GetNextKid", [&] { com::ComPtr<IFileTreeNode> n; return tree->GetNextKid(mine, theirs, &n); }},
            {"Add", [&] { com::ComPtr<IFileTreeNode> n; return tree->Add(theirs, nullptr, com::Bstr("x"), &n); }},
            {"Rename", [&] { return tree->Rename(theirs, com::Bstr("y")); }},
            {"Remove", [&] { return tree->Remove(theirs); }},
        };
        // The other tree is busy on another thread the whole time.
        LockHolder busy(foreign);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            Call call{c.call};
            HANDLE thread = CreateThread(nullptr, 0, Call::Run, &call, 0, nullptr);
            const bool returned = WaitForSingleObject(thread, 3000) == WAIT_OBJECT_0;
            EXPECT_TRUE(returned) << "waited for the other tree";
            if (returned) {
                EXPECT_EQ(E_FAIL, call.result);
            } else {
                TerminateThread(thread, 1);
            }
            CloseHandle(thread);
        }
    }
    DiscLayer_Shutdown(text, sizeof(text), &systemError);
}

// The folder's index gives what walking the children gives (the engine
// benchmark measures what a look-up costs). In process: ten thousand adds
// across the process boundary take minutes on a busy machine.
TEST(TreePaths, NodeByPathInAFolderOfTenThousand)
{
    TempFolder folder;
    char text[1024] = "";
    uint32_t systemError = 0;
    ASSERT_EQ(DISC_OK, DiscLayer_Startup(folder.Path().c_str(), text, sizeof(text), &systemError)) << text;
    {
        TreePtr tree;
        ASSERT_EQ(S_OK, com::CreateObjectImpl<CCoISOFileTree>(&tree));
        com::ComPtr<IFileTreeNode> root, big;
        ASSERT_EQ(S_OK, tree->GetRootNode(&root));
        ASSERT_EQ(S_OK, tree->Add(root, nullptr, com::Bstr("Big"), &big));
        const int count = 10000;
        char name[32];
        for (int i = 0; i < count; ++i) {
            std::snprintf(name, sizeof(name), "Entry%05d", i);
            com::ComPtr<IFileTreeNode> added;
            ASSERT_EQ(S_OK, tree->Add(big, nullptr, com::Bstr(name), &added)) << name;
        }
        for (int i = count - 1; i >= 0; i -= 97) {
            std::snprintf(name, sizeof(name), "\\BIG\\entry%05d\\", i);
            com::ComPtr<IFileTreeNode> found;
            ASSERT_EQ(S_OK, tree->GetNodeByPath(&found, com::Bstr(name))) << name;
            com::Bstr foundName;
            ASSERT_EQ(S_OK, found->GetName(&foundName));
            EXPECT_EQ("Entry" + std::string(name + 10, 5), foundName.Ansi()) << name;
        }
        com::ComPtr<IFileTreeNode> missing;
        EXPECT_EQ(E_FAIL, tree->GetNodeByPath(&missing, com::Bstr("Big\\Entry10000")));
        EXPECT_FALSE(missing);
    }
    DiscLayer_Shutdown(text, sizeof(text), &systemError);
}
