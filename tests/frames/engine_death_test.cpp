// The burning frame when the engine dies under its burn: Vokmar.exe killed
// from here during a slowed burn takes the job's end event with it, and the
// frame's watch of the drive ends the job. A program of its own, run alone:
// a killed local server leaves the prefix's component runtime failing later
// activations, so CTest restarts the Wine servers after it.
#include <gtest/gtest.h>
#include "box_driver.h"
#include "commands.h"
#include "disc_folder.h"
#include "frame_fixture.h"
#include "vokmar_process.h"
#include <com/bstr.h>
#include <algorithm>

namespace {

enum { IDC_BURN = 8192, IDC_CANCEL = 8194, IDC_PROGRESS = 8197, IDC_DRIVES = 8198 };
const DWORD JOB_WAIT_MS = 30000;

bool Kill(DWORD pid)
{
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
    if (!process) return false;
    const bool killed = TerminateProcess(process, 1) != FALSE;
    CloseHandle(process);
    return killed;
}

TEST(EngineDeath, AnEngineKilledDuringTheBurnEndsTheJobAsFailed)
{
    StopEngine();
    // The CD writer at its normal pace and with a blank disc again afterwards,
    // whatever happens here.
    struct Restore {
        ~Restore()
        {
            SetDriveValue("drive1", "emulate_speed", "0");
            RunDiscTool("insert F 2");
        }
    } restore;
    ASSERT_EQ(0u, RunDiscTool("insert F 2"));
    TempFolder files;
    WriteFileBytes(files.File("big.bin"), std::string(12 * 1024 * 1024, 'x'));
    CTestServices services;
    CBoxDriver boxes;
    CFrameUnderTest frame(services, 10);
    ASSERT_TRUE(frame.Made());
    ASSERT_TRUE(PumpUntil([&] { return frame.ComboItems(IDC_DRIVES).size() >= 2; }, 10000));
    ASSERT_TRUE(frame.SelectDrive('F'));
    ASSERT_TRUE(PumpUntil([&] { return frame.Enabled(IDC_BURN); }, 10000));
    ASSERT_TRUE(SetDriveValue("drive1", "emulate_speed", "1"));
    PumpUntil([] { return false; }, 300);
    frame.SelectSpeedItem(0);  // the slowest speed
    {
        com::ComPtr<IFileTree> tree;
        com::ComPtr<IFileTreeNode> root, node;
        ASSERT_EQ(S_OK, tree.CoCreate(CLSID_CoISOFileTree, IID_IFileTree, CLSCTX_LOCAL_SERVER));
        ASSERT_EQ(S_OK, tree->GetRootNode(&root));
        ASSERT_EQ(S_OK, tree->Add(root, com::Bstr(files.File("big.bin")), com::Bstr("big.bin"), &node));
        frame.Project().SetTree(tree);
    }
    frame.Click(IDC_BURN);
    ASSERT_TRUE(PumpUntil([&] { return frame.Logged("Burning started: *"); }, JOB_WAIT_MS));
    ASSERT_TRUE(frame.Project().Results().empty());

    EngineProcess engine;
    ASSERT_TRUE(engine.Found());
    ASSERT_TRUE(Kill(engine.Pid()));
    ASSERT_TRUE(engine.WaitExit(5000));
    ASSERT_TRUE(PumpUntil([&] { return !frame.Project().Results().empty(); }, 15000)) << "the frame ends the lost job";
    EXPECT_EQ(std::vector<long>{E_FAIL}, frame.Project().Results());
    const std::vector<std::string> log = frame.Log();
    const auto lost = std::find(log.begin(), log.end(), "The drive or the engine is gone, the job cannot end normally");
    ASSERT_NE(log.end(), lost);
    EXPECT_EQ(log.end(), std::find(lost, log.end(), "Burning successfully completed "));
    EXPECT_NE(log.end(), std::find(lost, log.end(), "Burning failed"));
    EXPECT_EQ(0, frame.Position(IDC_PROGRESS));
    EXPECT_TRUE(PumpUntil([&] { return frame.Enabled(IDC_DRIVES); }, 2000));
    EXPECT_FALSE(frame.Enabled(IDC_CANCEL));
    Screenshot("engine-killed");
    EXPECT_EQ(0, SendMessageA(frame.Window(), WM_CLOSE, 0, 0)) << "Close works again";
    EXPECT_TRUE(boxes.Seen().empty());
}

}  // namespace
