// A device's window in one process: a worker's job messages become the
// device's events, in order and with the job's cookie, over a virtual drive
// of the disc layer in a folder of the test's own.
#include <gtest/gtest.h>
#include "devices/device.h"
#include "file_trees/iso_file_tree.h"
#include "disc_folder.h"
#include "event_sequence.h"
#include "event_sink.h"
#include "jobs/job_messenger.h"
#include "vokmar_process.h"
#include <com/bstr.h>
#include <com/ptr.h>
#include <dbt.h>
#include <files.h>
#include <functional>

namespace {

const unsigned kDvdWriter = 0x00000001;  // 1:0:0:0, drive E, a blank DVD-RW
const unsigned kCookie = 0x4711;

// A sink whose answers fail.
class CFailingSink : public CTestEventSink {
public:
    STDMETHODIMP IMC_SendMessageRetVal(unsigned int* answer, unsigned int msg, unsigned int w,
                                       unsigned int l) override
    {
        CTestEventSink::IMC_SendMessageRetVal(answer, msg, w, l);
        return E_FAIL;
    }
};

// A sink that, on each event, lets another thread call into the device and
// notes whether that call got through.
class CCallingBackSink : public CTestEventSink {
public:
    STDMETHODIMP IMC_PostMessage(unsigned int msg, unsigned int w, unsigned int l) override
    {
        CTestEventSink::IMC_PostMessage(msg, w, l);
        HANDLE thread = CreateThread(nullptr, 0, CallDevice, device, 0, nullptr);
        if (WaitForSingleObject(thread, 2000) != WAIT_OBJECT_0) ++blocked;
        CloseHandle(thread);
        return S_OK;
    }
    static DWORD WINAPI CallDevice(void* device)
    {
        unsigned type = 0;
        static_cast<IMedium*>(device)->GetMediumType(&type);
        return 0;
    }
    IMedium* device = nullptr;
    int blocked = 0;
};

// A job's worker: what it does, run by CCoDevice::StartJob.
struct TestJob {
    HWND window;
    std::function<void(CJobMessenger&)> work;
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ~TestJob() { CloseHandle(done); }

    static DWORD WINAPI Run(void* context)
    {
        auto* job = static_cast<TestJob*>(context);
        CJobMessenger messenger(job->window);
        job->work(messenger);
        messenger.ReleaseDevice();
        SetEvent(job->done);
        return 0;
    }
};

// Serves the calling thread's windows until `handle` is signalled.
bool ServeUntil(HANDLE handle, DWORD ms)
{
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD left = ms - (GetTickCount() - start);
        if (GetTickCount() - start >= ms) return false;
        if (MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_ALLINPUT) == WAIT_OBJECT_0) return true;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
}

class InProcessDevice : public testing::Test {
protected:
    void SetUp() override
    {
        char text[1024] = "";
        uint32_t systemError = 0;
        ASSERT_EQ(DISC_OK, DiscLayer_Startup(folder.Path().c_str(), text, sizeof(text), &systemError)) << text;
        ASSERT_EQ(S_OK, com::CreateObjectImpl<CCoDevice>(&device));
        ASSERT_TRUE(device->InitDevice(kDvdWriter));
        ASSERT_EQ(S_OK, com::CreateObjectImpl<CTestEventSink>(&sink));
    }
    void TearDown() override
    {
        Unadvise();
        device.Reset();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        char text[1024] = "";
        uint32_t systemError = 0;
        DiscLayer_Shutdown(text, sizeof(text), &systemError);
    }

    void Advise(_IMessageCallback* which)
    {
        com::ComPtr<IConnectionPoint> point;
        ASSERT_EQ(S_OK, device->FindConnectionPoint(IID__IMessageCallback, &point));
        ASSERT_EQ(S_OK, point->Advise(which, &cookie));
    }
    void Unadvise()
    {
        com::ComPtr<IConnectionPoint> point;
        if (cookie && device && SUCCEEDED(device->FindConnectionPoint(IID__IMessageCallback, &point)))
            point->Unadvise(cookie);
        cookie = 0;
    }
    // Runs `work` as a job's worker while this thread serves the window.
    void RunJob(std::function<void(CJobMessenger&)> work, unsigned speed = 0, unsigned lastArgument = 0)
    {
        TestJob job{device->WindowHandle(), std::move(work)};
        ASSERT_EQ(S_OK, device->StartJob(kCookie, speed, lastArgument, TestJob::Run, &job));
        ASSERT_TRUE(ServeUntil(job.done, 10000));
        PumpFor(50);  // the worker's last message
    }
    std::vector<EngineEvent> Events(unsigned message)
    {
        std::vector<EngineEvent> found;
        for (const EngineEvent& e : sink->Events())
            if (e.message == message) found.push_back(e);
        return found;
    }

    TempFolder folder;
    com::ComPtr<com::ComObject<CCoDevice>> device;
    com::ComPtr<com::ComObject<CTestEventSink>> sink;
    DWORD cookie = 0;
};

}  // namespace

TEST_F(InProcessDevice, AJobsMessagesBecomeItsEventsInOrder)
{
    Advise(sink.Get());
    JOB_STATE_RECORD prepared = {};
    unsigned busy = 0;
    HRESULT second = S_OK;
    RunJob(
        [&](CJobMessenger& job) {
            JOB_STATE_RECORD record = {0, JOB_DATA};
            record.result = E_FAIL;
            job.Prepare(&record);
            prepared = record;
            device->GetDeviceBusy(&busy);
            second = device->StartJob(1, 0, 0, TestJob::Run, nullptr);
            job.Status(ST_SENDING_OPC, 1);
            job.Start(&record);
            int64_t total = 8, done = 1;
            uint32_t size = 1000, free = 750;
            job.Progress(DISC_CB_WRITE_PROGRESS, &total, &done);
            job.Progress(DISC_CB_BUFFER_STATUS, &size, &free);
            job.Progress(DISC_CB_TREE_PROGRESS, &total, &done);  // no event
            job.Progress(DISC_CB_DEVICE_FOUND, nullptr, nullptr);  // not a job's
            job.End(&record, SCARD_W_CANCELLED_BY_USER);
        },
        5540, 0x100FF);

    // The Prepare handler filled in what the job method stored.
    EXPECT_EQ(5540u, prepared.speed);
    EXPECT_EQ(1, prepared.port);
    EXPECT_EQ(0, prepared.bus + prepared.target + prepared.lun);
    EXPECT_EQ(0x100FFu, prepared.lastArgument);
    EXPECT_EQ(1u, busy);
    EXPECT_EQ(STG_E_INUSE, second) << "one job at a time";
    unsigned after = 1;
    ASSERT_EQ(S_OK, device->GetDeviceBusy(&after));
    EXPECT_EQ(0u, after);

    // Each posted with the job's cookie.
    const std::vector<EngineEvent> expected = {
        {DM_BURNPREPARE, kCookie, 0, false},
        {DM_STATUS, kCookie, (1u << 16) | ST_SENDING_OPC, false},
        {DM_BURNSTART, kCookie, 5540, false},
        {DM_WRITEPROGRESS, kCookie, (12u << 16) + 5000, false},
        {DM_BUFFERSTATUS, kCookie, 25, false},
        {DM_BURNEND, kCookie, static_cast<unsigned>(SCARD_W_CANCELLED_BY_USER), false},
    };
    EXPECT_TRUE(SameEvents(expected, sink->Events()));
}

TEST_F(InProcessDevice, TheDeviceOutlivesItsClientsUntilItsJobEnds)
{
    Advise(sink.Get());
    HWND window = device->WindowHandle();
    char name[32] = "";
    GetClassNameA(window, name, sizeof(name));
    EXPECT_STREQ("DeviceWindow", name);
    EXPECT_FALSE(IsWindowVisible(window));

    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    TestJob job{window, [go](CJobMessenger& messenger) {
                    WaitForSingleObject(go, 5000);
                    JOB_STATE_RECORD record = {0, JOB_ERASE};
                    messenger.Prepare(&record);
                    messenger.Start(&record);
                    messenger.End(&record, S_OK);
                }};
    ASSERT_EQ(S_OK, device->StartJob(kCookie, 0, 0, TestJob::Run, &job));
    device.Reset();  // the client lets go before the job has begun
    SetEvent(go);
    ASSERT_TRUE(ServeUntil(job.done, 10000));
    PumpFor(100);
    CloseHandle(go);
    ASSERT_EQ(3u, sink->Events().size()) << "the device answered its job to the end";
    EXPECT_EQ(DM_ERASEEND, sink->Events().back().message);
    EXPECT_FALSE(IsWindow(window)) << "then went, and its window with it";
}

TEST_F(InProcessDevice, QuestionsAreAnsweredByTheLastSinkAndNoOneMeansNo)
{
    struct Case {
        const char* what;
        int sink;  // 0 none, 1 answering, 2 failing
        unsigned answer, question, expected;
    };
    const Case cases[] = {
        {"no sink: insert a disc is not answered yes", 0, 0, ASK_INSERT_DISC, 0},
        {"no sink", 0, 0, ASK_ERASE_FINALIZED, 0},
        {"go on", 1, 1, ASK_INSERT_DISC, 1},
        {"stop", 1, 0, ASK_NOT_ENOUGH_SPACE, 0},
        {"any other answer passes", 1, 7, ASK_NEED_DVD, 7},
        {"a failing sink", 2, 1, ASK_INSERT_DISC, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        com::ComPtr<com::ComObject<CTestEventSink>> answering;
        com::ComPtr<com::ComObject<CFailingSink>> failing;
        ASSERT_EQ(S_OK, com::CreateObjectImpl<CTestEventSink>(&answering));
        ASSERT_EQ(S_OK, com::CreateObjectImpl<CFailingSink>(&failing));
        CTestEventSink* used = c.sink == 2 ? static_cast<CTestEventSink*>(failing.Get()) : answering.Get();
        used->SetAnswer(c.answer);
        if (c.sink) Advise(used);
        unsigned answer = 0xFFFF;
        RunJob([&](CJobMessenger& job) { answer = job.Ask(c.question); });
        EXPECT_EQ(c.expected, answer);
        Unadvise();
        if (!c.sink) continue;
        ASSERT_EQ(1u, used->Events().size());
        const EngineEvent asked = used->Events()[0];
        EXPECT_EQ(DM_QUESTION, asked.message);
        EXPECT_TRUE(asked.sent);
        EXPECT_EQ(kCookie, asked.wParam);
        EXPECT_EQ(c.question, asked.lParam);
        EXPECT_EQ(c.question, used->AnswerOnArrival()) << "the answer starts as the question";
    }
}

TEST_F(InProcessDevice, AskingForAMediumOpensTheTrayAndChecksWhatTheUserPutIn)
{
    com::ComPtr<IDevice> itf;
    ASSERT_EQ(S_OK, device->QueryInterface(IID_IDevice, reinterpret_cast<void**>(&itf)));
    bool got = true;
    RunJob([&](CJobMessenger& job) { got = job.AskForMedium(itf, ASK_INSERT_DISC); });
    EXPECT_FALSE(got) << "no one to put a disc in";

    // The user closes the tray and answers yes: the medium is checked.
    Advise(sink.Get());
    sink->OnQuestion([this](unsigned) { device->Load(); });
    RunJob([&](CJobMessenger& job) { got = job.AskForMedium(itf, ASK_INSERT_DISC); });
    EXPECT_TRUE(got);
    ASSERT_EQ(1u, Events(DM_MEDIUMCHANGED).size());
    EXPECT_EQ(kCookie, Events(DM_MEDIUMCHANGED)[0].wParam);
    EXPECT_EQ(unsigned(MT_DVD_RW_SEQ), Events(DM_MEDIUMCHANGED)[0].lParam);

    // Yes with the disc left in the tray the question opened: the yes
    // closes the tray, as the user pushes it in, and the disc is found.
    sink->OnQuestion(nullptr);
    RunJob([&](CJobMessenger& job) { got = job.AskForMedium(itf, ASK_INSERT_DISC); });
    EXPECT_TRUE(got);
    ASSERT_EQ(2u, Events(DM_MEDIUMCHANGED).size());
    EXPECT_EQ(unsigned(MT_DVD_RW_SEQ), Events(DM_MEDIUMCHANGED)[1].lParam);
    unsigned type = 0;
    ASSERT_EQ(S_OK, device->GetMediumType(&type));
    EXPECT_EQ(unsigned(MT_DVD_RW_SEQ), type);
}

TEST_F(InProcessDevice, MediaBroadcastsForItsOwnDriveLetterRescanTheMedium)
{
    unsigned letter = 0;
    ASSERT_EQ(S_OK, device->GetDeviceLetter(&letter));
    ASSERT_EQ(unsigned('E'), letter);
    const DWORD own = 1u << ('E' - 'A');
    struct Case {
        const char* what;
        WPARAM event;
        DWORD type, mask;
        WORD flags;
        bool fires;
    };
    const Case cases[] = {
        {"arrival on E", DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, own, DBTF_MEDIA, true},
        {"removal on E", DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_VOLUME, own, DBTF_MEDIA, true},
        {"E among others, C lowest", DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, own | 1u << 2 | 1u << 7, DBTF_MEDIA, true},
        {"another drive", DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, own << 1, DBTF_MEDIA, false},
        {"no drive", DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, 0, DBTF_MEDIA, false},
        {"a volume, not a medium", DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, own, 0, false},
        {"a network volume", DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, own, DBTF_MEDIA | DBTF_NET, false},
        {"a port", DBT_DEVICEARRIVAL, DBT_DEVTYP_PORT, own, DBTF_MEDIA, false},
        {"a removal query", DBT_DEVICEQUERYREMOVE, DBT_DEVTYP_VOLUME, own, DBTF_MEDIA, false},
    };
    Advise(sink.Get());
    size_t before = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DEV_BROADCAST_VOLUME volume = {};
        volume.dbcv_size = sizeof(volume);
        volume.dbcv_devicetype = c.type;
        volume.dbcv_unitmask = c.mask;
        volume.dbcv_flags = c.flags;
        SendMessageA(device->WindowHandle(), WM_DEVICECHANGE, c.event, reinterpret_cast<LPARAM>(&volume));
        std::vector<EngineEvent> events = Events(DM_MEDIUMCHANGED);
        ASSERT_EQ(before + (c.fires ? 1 : 0), events.size());
        if (c.fires) {
            EXPECT_EQ(unsigned(MT_DVD_RW_SEQ), events.back().lParam);
        }
        before = events.size();
    }
    // An empty drive is reported too.
    ASSERT_EQ(S_OK, device->Eject());
    DEV_BROADCAST_VOLUME removed = {sizeof(removed), DBT_DEVTYP_VOLUME, 0, own, DBTF_MEDIA};
    SendMessageA(device->WindowHandle(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&removed));
    ASSERT_EQ(before + 1, Events(DM_MEDIUMCHANGED).size());
    EXPECT_EQ(unsigned(MT_NO_MEDIA), Events(DM_MEDIUMCHANGED).back().lParam);
    EXPECT_EQ(0u, Events(DM_MEDIUMCHANGED).back().wParam) << "no job yet: cookie 0";
    // Nothing to read on it.
    unsigned tracks = 0;
    EXPECT_EQ(E_FAIL, device->GetTrackCount(&tracks));
    EXPECT_EQ(0xFFFFFFFFu, tracks);
    ITrack* track = reinterpret_cast<ITrack*>(1);
    EXPECT_EQ(E_FAIL, device->GetTrack(&track, 1));
    EXPECT_EQ(nullptr, track);
}

TEST_F(InProcessDevice, EventsLeaveOutsideTheDeviceLock)
{
    com::ComPtr<com::ComObject<CCallingBackSink>> calling;
    ASSERT_EQ(S_OK, com::CreateObjectImpl<CCallingBackSink>(&calling));
    calling->device = static_cast<IMedium*>(device.Get());
    Advise(calling.Get());
    RunJob([](CJobMessenger& job) {
        JOB_STATE_RECORD record = {0, JOB_GRABIMAGE};
        job.Prepare(&record);
        job.Status(ST_NOT_READY);
        job.CheckMedium();
        job.Start(&record);
        job.End(&record, S_OK);
    });
    EXPECT_EQ(5u, calling->Events().size());
    EXPECT_EQ(0, calling->blocked) << "a sink's call back into the device got through";
    Unadvise();
}

TEST_F(InProcessDevice, TheRawPointerHoldsTheDeviceLockUntilItIsLetGo)
{
    ULONG_PTR handle = device->LockRawPtr();
    EXPECT_NE(0u, handle);
    HANDLE thread = CreateThread(nullptr, 0, CCallingBackSink::CallDevice, static_cast<IMedium*>(device.Get()), 0,
                                 nullptr);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(thread, 200));
    device->UnlockRawPtr();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 2000));
    CloseHandle(thread);
    EXPECT_EQ(S_OK, device->Cancel()) << "nothing runs: nothing to stop";
}

TEST_F(InProcessDevice, NullOutPointersAreRefusedAndOutTextsAlwaysSet)
{
    struct Case {
        const char* what;
        std::function<HRESULT(CCoDevice*)> call;
    };
    const Case cases[] = {
        {"GetDeviceName", [](CCoDevice* d) { return d->GetDeviceName(nullptr); }},
        {"GetDeviceID", [](CCoDevice* d) { return d->GetDeviceID(nullptr); }},
        {"GetDeviceSpeeds read", [](CCoDevice* d) {
             IDeviceSpeedEnum* write = nullptr;
             return d->GetDeviceSpeeds(nullptr, &write);
         }},
        {"Speed_KBPS2X", [](CCoDevice* d) { return d->Speed_KBPS2X(176, nullptr); }},
        {"DeviceCanWrite", [](CCoDevice* d) { return d->DeviceCanWrite(nullptr); }},
        {"GetDeviceLetter", [](CCoDevice* d) { return d->GetDeviceLetter(nullptr); }},
        {"GetDeviceBusy", [](CCoDevice* d) { return d->GetDeviceBusy(nullptr); }},
        {"GetSupportedWriteModes", [](CCoDevice* d) { return d->GetSupportedWriteModes(nullptr); }},
        {"GetCapabilities write", [](CCoDevice* d) {
             unsigned read = 0;
             return d->GetCapabilities(&read, nullptr);
         }},
        {"GetMediumType", [](CCoDevice* d) { return d->GetMediumType(nullptr); }},
        {"GetTrackCount", [](CCoDevice* d) { return d->GetTrackCount(nullptr); }},
        {"GetTrack", [](CCoDevice* d) { return d->GetTrack(nullptr, 1); }},
        {"GetSpaces used", [](CCoDevice* d) {
             hyper total = 0, free = 0;
             return d->GetSpaces(&total, nullptr, &free);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(E_POINTER, c.call(device.Get()));
    }
    // In process no stub clears an out text first: the device does.
    BSTR stale = reinterpret_cast<BSTR>(1);
    BSTR name = stale, speed = stale;
    ASSERT_EQ(S_OK, device->GetDeviceName(&name));
    ASSERT_EQ(S_OK, device->Speed_KBPS2X(3324, &speed));
    EXPECT_STREQ(L"E:1:0:0:0  TAVELLDVD-RW VDW-16", name);
    EXPECT_STREQ(L"2.4", speed);
    SysFreeString(name);
    SysFreeString(speed);
}

TEST_F(InProcessDevice, SpeedEnumeratorsKeepTheTablesTheyWereMadeFrom)
{
    auto all = [](IDeviceSpeedEnum* speeds) {
        std::vector<unsigned> values;
        unsigned value = 0;
        unsigned long fetched = 0;
        while (speeds->Next(1, &value, &fetched) == S_OK) values.push_back(value);
        return values;
    };
    com::ComPtr<IDeviceSpeedEnum> read, write, clone;
    ASSERT_EQ(S_OK, device->GetDeviceSpeeds(&read, &write));
    ASSERT_EQ(S_OK, write->Clone(&clone));
    const std::vector<unsigned> dvdWrites = {3324, 5540, 11080, 22160};
    // A CD in the DVD writer: its medium check replaces the tables.
    ASSERT_EQ(S_OK, device->Eject());
    const std::string data = folder.Path().substr(0, folder.Path().size() - 1);
    ASSERT_EQ(0u, RunDiscTool(data, "insert E 2 359848"));
    device->CheckMedium(true);
    unsigned type = 0;
    ASSERT_EQ(S_OK, device->GetMediumType(&type));
    ASSERT_EQ(unsigned(MT_CD_R), type);
    com::ComPtr<IDeviceSpeedEnum> emptyRead, emptyWrite;
    ASSERT_EQ(S_OK, device->GetDeviceSpeeds(&emptyRead, &emptyWrite));
    EXPECT_NE(dvdWrites, all(emptyWrite));
    EXPECT_EQ(dvdWrites, all(write));
    EXPECT_EQ(dvdWrites, all(clone));
    EXPECT_EQ((std::vector<unsigned>{5540, 11080, 22160}), all(read));
}

namespace {

DWORD WINAPI CheckMediumOf(void* device)
{
    static_cast<CCoDevice*>(device)->CheckMedium(true);
    return 0;
}

}  // namespace

// A drive that claims an absurd top speed: the medium check probes a
// bounded number of speeds and ends.
TEST_F(InProcessDevice, ASpeedScanEndsWhateverTopSpeedTheDriveClaims)
{
    const std::string data = folder.Path().substr(0, folder.Path().size() - 1);
    ASSERT_TRUE(SetDriveValue(data, "drive0", "dvd_write_speeds", "3324,4294967295"));
    HANDLE check = CreateThread(nullptr, 0, CheckMediumOf, device.Get(), 0, nullptr);
    ASSERT_TRUE(check);
    const bool ended = WaitForSingleObject(check, 20000) == WAIT_OBJECT_0;
    CloseHandle(check);
    ASSERT_TRUE(ended) << "the speed scan did not end";
    com::ComPtr<IDeviceSpeedEnum> read, write;
    ASSERT_EQ(S_OK, device->GetDeviceSpeeds(&read, &write));
    std::vector<unsigned> writes;
    unsigned speed = 0;
    while (write->Next(1, &speed, nullptr) == S_OK) writes.push_back(speed);
    EXPECT_EQ(std::vector<unsigned>{3324}, writes) << "no probe reaches the claimed top";
}

// A question that waits for the user on one drive while another drive
// burns: the burn goes on to its end, each device's window having a thread
// of its own.
TEST_F(InProcessDevice, AQuestionOnOneDriveStallsNoOtherDrivesBurn)
{
    com::ComPtr<com::ComObject<CCoDevice>> cd;
    ASSERT_EQ(S_OK, com::CreateObjectImpl<CCoDevice>(&cd));
    ASSERT_TRUE(cd->InitDevice(0x00010001));  // 1:0:1:0, drive F, a blank CD-R
    com::ComPtr<com::ComObject<CTestEventSink>> cdSink;
    ASSERT_EQ(S_OK, com::CreateObjectImpl<CTestEventSink>(&cdSink));
    DWORD cdCookie = 0;
    ASSERT_EQ(S_OK, AdviseSink(static_cast<IDevice*>(cd.Get()), static_cast<_IMessageCallback*>(cdSink.Get()),
                               &cdCookie));
    auto burnEnded = [&] {
        for (const EngineEvent& e : cdSink->Events())
            if (e.message == DM_BURNEND) return true;
        return false;
    };
    HANDLE asked = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool endedWhileAsked = false;
    sink->SetAnswer(0);
    sink->OnQuestion([&](unsigned) {
        SetEvent(asked);
        // The user considers until the other drive has burned its disc.
        for (DWORD start = GetTickCount(); !endedWhileAsked && GetTickCount() - start < 20000; Sleep(20))
            endedWhileAsked = burnEnded();
    });
    Advise(sink.Get());

    TestJob question{device->WindowHandle(), [](CJobMessenger& job) { job.Ask(ASK_INSERT_DISC); }};
    ASSERT_EQ(S_OK, device->StartJob(kCookie, 0, 0, TestJob::Run, &question));
    ASSERT_TRUE(ServeUntil(asked, 10000));
    WriteFileBytes(folder.File("data.bin"), std::string(300 * 1024, 'x'));
    com::ComPtr<com::ComObject<CCoISOFileTree>> tree;
    ASSERT_EQ(S_OK, com::CreateObjectImpl<CCoISOFileTree>(&tree));
    com::ComPtr<IFileTreeNode> root, file;
    ASSERT_EQ(S_OK, tree->GetRootNode(&root));
    ASSERT_EQ(S_OK, tree->Add(root, com::Bstr(folder.File("data.bin")), nullptr, &file));
    ASSERT_EQ(S_OK, cd->BurnData(kCookie + 1, 0xFFFF, static_cast<IFileTree*>(tree.Get()), 2));

    ASSERT_TRUE(ServeUntil(question.done, 30000));
    EXPECT_TRUE(endedWhileAsked) << "the burn waited for the other drive's question";
    for (DWORD start = GetTickCount(); !burnEnded() && GetTickCount() - start < 30000;) PumpFor(20);
    ASSERT_TRUE(burnEnded());
    EXPECT_EQ(0u, cdSink->Events().back().lParam);
    UnadviseSink(static_cast<IDevice*>(cd.Get()), cdCookie);
    CloseHandle(asked);
}

namespace {

// Writes one data session of a small file on the device's medium, as a job
// would, with the device's own grabber (whose progress goes to its window).
void WriteSession(CCoDevice* device, const TempFolder& folder, uint32_t leaveOpen)
{
    WriteFileBytes(folder.File("data.bin"), std::string(300 * 1024, 'x'));
    char text[1024] = "";
    uint32_t systemError = 0;
    DiscHandle tree = 0;
    ASSERT_EQ(DISC_OK, IsoTree_Create(&tree, text, sizeof(text), &systemError, nullptr, nullptr, 0, 0, 1, 1));
    DiscNodeHandle node = 0;
    ASSERT_EQ(DISC_OK, IsoTree_Add(tree, text, sizeof(text), &systemError, folder.File("data.bin").c_str(), nullptr,
                                   0, IsoTree_GetRoot(tree), &node));
    // Not held while the layer writes: its progress goes to the device's
    // window, whose handlers take the device lock.
    const DiscHandle grabber = static_cast<DiscHandle>(device->LockRawPtr());
    device->UnlockRawPtr();
    DiscTrackInformation open = {};
    DiscFailureRecord failure = {};
    EXPECT_EQ(DISC_OK, Grabber_GetTrackInformation(grabber, text, sizeof(text), &systemError, &failure,
                                                   DISC_TRACK_INCOMPLETE, &open));
    EXPECT_EQ(DISC_OK, IsoTree_Build(tree, text, sizeof(text), &systemError, open.nextWritableAddress, 100, 1, "TEST",
                                     "", ""));
    EXPECT_EQ(DISC_OK, Grabber_TrackAtOnceFromTree(grabber, text, sizeof(text), &systemError, &failure, tree, 1, 0,
                                                   leaveOpen, 1, 1))
        << text;
    EXPECT_EQ(DISC_OK, Grabber_CloseSession(grabber, text, sizeof(text), &systemError, &failure));
    DiscHandle_Destroy(&tree);
    device->CheckMedium(true);
}

}  // namespace

TEST_F(InProcessDevice, AnAppendableDiscShowsItsWrittenAndItsOpenTrack)
{
    Advise(sink.Get());
    WriteSession(device.Get(), folder, 1);
    // The layer's progress went through the device window.
    std::vector<EngineEvent> progress = Events(DM_WRITEPROGRESS);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(100u << 16, progress.back().lParam);
    for (const EngineEvent& e : Events(DM_BUFFERSTATUS)) EXPECT_LE(e.lParam, 100u);

    unsigned type = 0, tracks = 0;
    ASSERT_EQ(S_OK, device->GetMediumType(&type));
    EXPECT_EQ(unsigned(MT_DVD_RW_SEQ), type);
    ASSERT_EQ(S_OK, device->GetTrackCount(&tracks));
    ASSERT_EQ(2u, tracks);
    com::ComPtr<ITrack> written, open;
    ASSERT_EQ(S_OK, device->GetTrack(&written, 1));
    ASSERT_EQ(S_OK, device->GetTrack(&open, 2));
    unsigned blank = 9, start = 9, session = 0, mode = 0, free = 0, openStart = 0;
    ASSERT_EQ(S_OK, written->IsBlank(&blank));
    EXPECT_EQ(0u, blank);
    ASSERT_EQ(S_OK, written->GetStartAdress(&start));
    EXPECT_EQ(0u, start);
    ASSERT_EQ(S_OK, written->GetSessionNumber(&session));
    EXPECT_EQ(1u, session);
    ASSERT_EQ(S_OK, written->GetTrackMode(&mode));
    EXPECT_EQ(4u, mode);  // data
    ASSERT_EQ(S_OK, open->IsBlank(&blank));
    EXPECT_EQ(1u, blank);
    ASSERT_EQ(S_OK, open->GetStartAdress(&openStart));
    ASSERT_EQ(S_OK, open->GetFreeLBs(&free));
    EXPECT_GT(openStart, 0u);

    hyper total = 0, used = 0, freeBytes = 0;
    ASSERT_EQ(S_OK, device->GetSpaces(&total, &used, &freeBytes));
    EXPECT_EQ(static_cast<hyper>(free) * 2048, freeBytes);
    EXPECT_EQ(static_cast<hyper>(openStart + free) * 2048, total);
    EXPECT_EQ(static_cast<hyper>(openStart) * 2048, used);
}

TEST_F(InProcessDevice, ACompleteDiscHasNoOpenTrackAndNoSpaceToSpeakOf)
{
    com::ComPtr<com::ComObject<CCoDevice>> cd;
    ASSERT_EQ(S_OK, com::CreateObjectImpl<CCoDevice>(&cd));
    ASSERT_TRUE(cd->InitDevice(0x00010001));  // 1:0:1:0, drive F, a blank CD-R
    WriteSession(cd.Get(), folder, 0);
    unsigned type = 0, tracks = 0;
    ASSERT_EQ(S_OK, cd->GetMediumType(&type));
    EXPECT_EQ(unsigned(MT_CD_R), type);
    ASSERT_EQ(S_OK, cd->GetTrackCount(&tracks));
    EXPECT_EQ(1u, tracks);
    com::ComPtr<ITrack> track;
    ASSERT_EQ(S_OK, cd->GetTrack(&track, 1));
    unsigned blank = 9, m = 9, s = 9, f = 9;
    ASSERT_EQ(S_OK, track->IsBlank(&blank));
    EXPECT_EQ(0u, blank);
    ASSERT_EQ(S_OK, track->GetStartMSFT(&m, &s, &f));
    EXPECT_EQ(0u, m);
    EXPECT_EQ(2u, s);
    EXPECT_EQ(0u, f);
    // A complete disc's total is unknown and it has nothing free.
    hyper total = 0, used = 0, free = 1;
    ASSERT_EQ(S_OK, cd->GetSpaces(&total, &used, &free));
    EXPECT_EQ(-1, total);
    EXPECT_EQ(0, free);
    EXPECT_EQ(-1, used);
}
