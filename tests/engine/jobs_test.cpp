// What every engine job shares, seen from a client process: one job per
// drive at a time, the engine kept while a job runs, the handlers' log
// lines and the failures of a drive.
#include <gtest/gtest.h>
#include "job_client.h"
#include "vokmar_process.h"
#include <algorithm>
#include <string>
#include <vector>

namespace {

TEST_F(EngineJob, ABusyDriveRefusesEveryJobAndTakesOneAgainAfterTheEnd)
{
    Insert(2);
    com::ComPtr<IFileTree> tree = FixtureTree();
    const size_t before = sink->Events().size();
    ASSERT_EQ(S_OK, writer->BurnData(COOKIE, 0xFFFF, tree, 0xFFFFFFFF));
    unsigned busy = 0;
    EXPECT_EQ(S_OK, device->GetDeviceBusy(&busy));
    EXPECT_EQ(1u, busy);
    EXPECT_EQ(STG_E_INUSE, writer->BurnData(COOKIE + 1, 0xFFFF, tree, 2));
    EXPECT_EQ(STG_E_INUSE, writer->Erase(COOKIE + 1, 0xFFFF, 0));
    EXPECT_EQ(0u, WaitEnd(DM_BURNEND, before));
    for (const EngineEvent& e : sink->Events()) EXPECT_NE(COOKIE + 1, e.wParam) << "event " << e.message;
    ASSERT_EQ(1u, All(DM_BURNPREPARE).size());
    EXPECT_EQ(0u, Burn(tree));
    EXPECT_EQ(S_OK, device->GetDeviceBusy(&busy));
    EXPECT_EQ(0u, busy);
}

// A client that lets go of everything (or dies) right after it started a
// burn: the running job keeps the engine, and the disc is written.
TEST_F(EngineJob, ARunningJobKeepsTheEngineWhenEveryClientHasLetGo)
{
    Insert(2);
    com::ComPtr<IFileTree> tree = TreeOfOneFile("slow.bin", 3 * 1024 * 1024);
    DriveValue slow("emulate_speed", "1", "0");
    ASSERT_TRUE(slow.Set());
    EngineProcess engine;
    ASSERT_TRUE(engine.Found());
    // The slowest speed: some 4 seconds of writing.
    ASSERT_EQ(S_OK, writer->BurnData(COOKIE, 706, tree, 2));
    Unadvise(device, deviceCookie);
    Unadvise(devices, listCookie);
    deviceCookie = listCookie = 0;
    tree.Reset();
    writer.Reset();
    medium.Reset();
    device.Reset();
    devices.Reset();
    PumpFor(7000);  // past the engine's 5 s time-out and its 1 s pause
    ASSERT_TRUE(engine.Alive()) << "the job was killed with its engine";

    // A new client finds the burn ended and its session on the disc.
    ASSERT_EQ(S_OK, devices.CoCreate(CLSID_CoDevices, IID_IDevices, CLSCTX_LOCAL_SERVER));
    EXPECT_EQ(engine.Pid(), EngineProcess().Pid());
    ASSERT_EQ(S_OK, devices->GetDeviceByDriveLetter('F', &device));
    ASSERT_EQ(S_OK, device->QueryInterface(IID_IMedium, reinterpret_cast<void**>(&medium)));
    unsigned busy = 1;
    for (DWORD start = GetTickCount(); busy && GetTickCount() - start < 10000; PumpFor(100))
        ASSERT_EQ(S_OK, device->GetDeviceBusy(&busy));
    EXPECT_EQ(0u, busy);
    EXPECT_EQ(2u, TrackCount()) << "the written track and the open one";
}

// IObjectCreator::CreateObject from another thread of the client, bounded:
// E_PENDING when no answer came within `ms`.
HRESULT CreateObjectMeanwhile(DWORD ms)
{
    struct Call {
        HRESULT result = E_PENDING;
        static DWORD WINAPI Run(void* self)
        {
            CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            {
                com::ComPtr<IObjectCreator> creator;
                com::ComPtr<IUnknown> made;
                HRESULT hr = creator.CoCreate(CLSID_CoDevices, IID_IObjectCreator, CLSCTX_LOCAL_SERVER);
                if (SUCCEEDED(hr)) hr = creator->CreateObject(CLSID_CoISOFileTree, &made);
                static_cast<Call*>(self)->result = hr;
            }
            CoUninitialize();
            return 0;
        }
    };
    auto* call = new Call;  // left to a thread that never answers
    HANDLE thread = CreateThread(nullptr, 0, Call::Run, call, 0, nullptr);
    if (!thread) return E_FAIL;
    // Waited for as a client's question box waits: the engine's calls into
    // this apartment (its events) are served meanwhile, or the engine, held
    // in such a call, could not serve the other thread either.
    DWORD index = 0;
    const bool answered = CoWaitForMultipleHandles(0, ms, 1, &thread, &index) == S_OK;
    CloseHandle(thread);
    if (!answered) return E_PENDING;
    const HRESULT result = call->result;
    delete call;
    return result;
}

// A client that calls the engine while it considers a question: the device
// list's window, on the engine's main thread, is free to serve the call.
TEST_F(EngineJob, AClientCallsTheEngineWhileItsQuestionIsOpen)
{
    ASSERT_EQ(0u, RunDiscTool("eject F"));
    HRESULT created = S_OK;
    sink->SetAnswer(0);
    // A generous wait: a loaded machine is slow, a deadlock never ends.
    sink->OnQuestion([&](unsigned) { created = CreateObjectMeanwhile(20000); });
    EXPECT_EQ(CANCELLED, Burn(FixtureTree()));
    sink->OnQuestion(nullptr);
    EXPECT_EQ(E_NOINTERFACE, created) << "E_PENDING: the call waited for the question";
}

// Each job's handlers log their entry and exit; an internal erase among
// them.
TEST_F(EngineJob, JobHandlersLogTheirEntryAndExit)
{
    Insert(3);
    com::ComPtr<IFileTree> first = FixtureTree();
    ASSERT_EQ(S_OK, first->DoFinalize(1));
    ASSERT_EQ(0u, Burn(first));
    const size_t from = LogSize();
    ASSERT_EQ(0u, Burn(FixtureTree()));  // erased inside, on the answer 1
    ASSERT_EQ(0u, Erase(0));
    const std::string log = LogSince(from);
    size_t at = 0;
    for (const char* handler : {"OnDataBurnPrepare", "OnInternalErase", "OnErasePrepare", "OnEraseStart", "OnEraseEnd",
                                "OnDataBurnStart", "OnDataBurnEnd", "OnErasePrepare", "OnEraseStart", "OnEraseEnd"}) {
        SCOPED_TRACE(handler);
        const std::string enter = std::string("=> CCoDevice ") + handler + "()";
        const std::string leave = std::string("<= CCoDevice ") + handler + "()";
        const size_t entered = log.find(enter, at);
        ASSERT_NE(std::string::npos, entered) << log;
        EXPECT_NE(std::string::npos, log.find(leave, entered));
        at = entered + enter.size();
    }
}

// A drive that fails one operation of a job, as the disc layer's faults
// make it fail from outside: the job's statuses, its result and the
// failure line in the engine's log.
TEST_F(EngineJob, AFailingDriveEndsEachJobWithItsStatusResultAndFailureLine)
{
    struct Case {
        const char* what;
        bool erase;
        const char* operation;  // "" for an image build that fails by itself
        unsigned status;        // a status word the job sends (no flag), 0 for none
        const char* line;
    };
    const Case cases[] = {
        {"burn: speed refused", false, "StarBurn_CdvdBurnerGrabber_SetSpeeds", ST_SPEED_FAILED,
         "\tStarBurn_CdvdBurnerGrabber_SetSpeeds failed, error code - 0x00000009, exception text is \"injected failure\""},
        {"burn: session not closed", false, "StarBurn_CdvdBurnerGrabber_CloseSession", 0,
         "\tStarBurn_CdvdBurnerGrabber_CloseSession failed, error code - 0x00000009, exception text is \"injected failure\""},
        {"burn: no grabber", false, "StarBurn_CdvdBurnerGrabber_Create", 0,
         "\tStarBurn_CdvdBurnerGrabber_Create failed, error code - 0x00000009, exception text is \"injected failure\""},
        {"burn: image not built", false, "", ST_DATA_IMAGE_END,
         "\tIsoTree_Build failed, error code - 0x00000007, exception text is \"image too large\""},
        {"erase: speed refused", true, "StarBurn_CdvdBurnerGrabber_SetSpeeds", ST_SPEED_FAILED,
         "\tStarBurn_CdvdBurnerGrabber_SetSpeeds failed, error code - 0x00000009, exception text is \"injected failure\""},
        {"erase: no grabber", true, "StarBurn_CdvdBurnerGrabber_Create", 0,
         "\tStarBurn_CdvdBurnerGrabber_Create failed, error code - 0x00000009, exception text is \"injected failure\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        InsertChecked(c.erase ? 3 : 2);
        com::ComPtr<IFileTree> tree = FixtureTree();
        if (!*c.operation) {
            // Laid out past the last block a disc can address.
            ASSERT_EQ(S_OK, tree->SetStartLBA(0xFFFFFFF0));
        } else {
            ASSERT_EQ(0u, RunDiscTool(std::string("fault F ") + c.operation + " 9"));
        }
        const size_t from = LogSize(), before = sink->Events().size();
        EXPECT_EQ(unsigned(E_FAIL), c.erase ? Erase(1) : Burn(tree));
        std::vector<unsigned> statuses;
        const std::vector<EngineEvent> all = sink->Events();
        for (size_t i = before; i < all.size(); ++i)
            if (all[i].message == DM_STATUS) statuses.push_back(all[i].lParam);
        if (c.status) {
            EXPECT_NE(statuses.end(), std::find(statuses.begin(), statuses.end(), c.status));
        }
        const std::string log = LogSince(from);
        EXPECT_NE(std::string::npos, log.find(c.line)) << log;
    }
}

}  // namespace
