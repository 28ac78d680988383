// The engine's COM methods run under the guard: when memory runs out at
// any allocation of a call, the call answers E_OUTOFMEMORY instead of
// throwing, and the object serves the next call as before. The objects run
// in this process (the disc layer on a folder of the test's own), whose
// allocations are refused on request (allocation_limit.h).
#include <gtest/gtest.h>
#include "allocation_limit.h"
#include "disc_folder.h"
#include "devices/device.h"
#include "file_trees/iso_file_tree.h"
#include <com/bstr.h>
#include <com/ptr.h>
#include <files.h>
#include <string>
#include <vector>

using com::Bstr;
using com::ComPtr;

namespace {

const unsigned kDvdWriter = 0x00000001;  // 1:0:0:0, drive E, a blank DVD-RW

// The disc layer on drives of the test's own, for the objects of one test.
class OutOfMemory : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_drives.Started()) << m_drives.Error(); }

private:
    LocalDiscLayer m_drives;
};

}  // namespace

TEST_F(OutOfMemory, TheFileTreeAndItsNodesAnswerAndKeepServing)
{
    TempFolder dir;
    WriteFileBytes(dir.File("a.txt"), "abc");
    ComPtr<IFileTree> tree;
    ASSERT_EQ(S_OK, com::CreateObject<CCoISOFileTree>(IID_IFileTree, reinterpret_cast<void**>(&tree)));
    ComPtr<IFileTreeNode> root;
    ASSERT_EQ(S_OK, tree->GetRootNode(&root));
    ComPtr<IFileTreeNode> node;
    ASSERT_EQ(S_OK, tree->Add(root, Bstr(dir.File("a.txt")), Bstr("first.txt"), &node));
    auto serves = [&] {
        ComPtr<IFileTreeNode> found;
        EXPECT_EQ(S_OK, tree->GetNodeByPath(&found, Bstr("first.txt")));
        EXPECT_EQ(S_OK, node->IsValid());
    };

    EveryAllocationMayFail("GetRootNode", [&] { ComPtr<IFileTreeNode> n; return tree->GetRootNode(&n); }, serves);
    Bstr path("\\first.txt");
    EveryAllocationMayFail("GetNodeByPath", [&] {
        ComPtr<IFileTreeNode> n;
        return tree->GetNodeByPath(&n, path);
    }, serves);
    Bstr label(std::string(200, 'L'));
    EveryAllocationMayFail("SetVolumeLabel", [&] { return tree->SetVolumeLabel(label); }, serves);
    EveryAllocationMayFail("GetName", [&] {
        Bstr name;
        return node->GetName(&name);
    }, serves);
    // Each run adds under a name of its own, made before; the layer answers
    // a refused allocation of its own with a failure.
    std::vector<Bstr> names;
    for (int i = 0; i < 1000; ++i) names.emplace_back("added" + std::to_string(i) + ".txt");
    size_t run = 0;
    Bstr source(dir.File("a.txt"));
    EveryAllocationMayFail("Add", [&] {
        ComPtr<IFileTreeNode> n;
        return run < names.size() ? tree->Add(root, source, names[run++], &n) : E_UNEXPECTED;
    }, serves, E_FAIL);
}

TEST_F(OutOfMemory, TheDeviceAndItsSpeedListsAnswerAndKeepServing)
{
    ComPtr<com::ComObject<CCoDevice>> device;
    ASSERT_EQ(S_OK, com::CreateObjectImpl<CCoDevice>(&device));
    ASSERT_TRUE(device->InitDevice(kDvdWriter));
    auto serves = [&] {
        unsigned id = 0;
        EXPECT_EQ(S_OK, device->GetDeviceID(&id));
        EXPECT_EQ(kDvdWriter, id);
        Bstr name;
        EXPECT_EQ(S_OK, device->GetDeviceName(&name));
    };
    EveryAllocationMayFail("GetDeviceName", [&] {
        Bstr name;
        return device->GetDeviceName(&name);
    }, serves);
    EveryAllocationMayFail("GetDeviceSpeeds", [&] {
        ComPtr<IDeviceSpeedEnum> reads, writes;
        HRESULT hr = device->GetDeviceSpeeds(&reads, &writes);
        // Both or neither.
        EXPECT_EQ(!!reads, !!writes);
        return hr;
    }, serves);
    ComPtr<IDeviceSpeedEnum> reads, writes;
    ASSERT_EQ(S_OK, device->GetDeviceSpeeds(&reads, &writes));
    EveryAllocationMayFail("Clone", [&] {
        ComPtr<IDeviceSpeedEnum> copy;
        return reads->Clone(&copy);
    }, serves);
}
