// The device objects of the engine's drives, and the events of drives and
// media that change under it, seen from a client process.
#include <gtest/gtest.h>
#include "disc_folder.h"
#include <engine.h>
#include "event_sink.h"
#include "vokmar_process.h"
#include <com/bstr.h>
#include <com/ptr.h>
#include <algorithm>
#include <string>
#include <vector>

namespace {

const DWORD EVENT_WAIT_MS = 5000;

class EngineDevice : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, devices.CoCreate(CLSID_CoDevices, IID_IDevices, CLSCTX_LOCAL_SERVER));
        ASSERT_EQ(S_OK, com::CreateObject<CTestEventSink>(IID__IMessageCallback, reinterpret_cast<void**>(&sinkItf)));
        sink = static_cast<CTestEventSink*>(sinkItf.Get());
        ASSERT_EQ(S_OK, Advise(devices, &listCookie));
        if (devices->IsInitialized() != S_OK) sink->WaitFor(DM_DEVICESSCANNED, EVENT_WAIT_MS);
        ASSERT_EQ(S_OK, devices->IsInitialized());
    }
    void TearDown() override
    {
        if (listCookie) Unadvise(devices, listCookie);
    }

    HRESULT Advise(IUnknown* object, DWORD* cookie) { return AdviseSink(object, sinkItf, cookie); }
    void Unadvise(IUnknown* object, DWORD cookie) { UnadviseSink(object, cookie); }
    com::ComPtr<IDevice> Drive(char letter)
    {
        com::ComPtr<IDevice> device;
        EXPECT_EQ(S_OK, devices->GetDeviceByDriveLetter(letter, &device));
        return device;
    }
    unsigned Count()
    {
        unsigned count = 0;
        EXPECT_EQ(S_OK, devices->GetDeviceCount(&count));
        return count;
    }
    // The events of that number since the sink was made.
    std::vector<EngineEvent> Events(unsigned message)
    {
        std::vector<EngineEvent> found;
        for (const EngineEvent& e : sink->Events())
            if (e.message == message) found.push_back(e);
        return found;
    }
    // The first of them, or {0}.
    EngineEvent Event(unsigned message)
    {
        std::vector<EngineEvent> found = Events(message);
        return found.empty() ? EngineEvent{0, 0, 0, false} : found.front();
    }

    com::ComPtr<IDevices> devices;
    com::ComPtr<_IMessageCallback> sinkItf;
    CTestEventSink* sink = nullptr;
    DWORD listCookie = 0;
};

std::vector<unsigned> All(IDeviceSpeedEnum* speeds)
{
    std::vector<unsigned> all;
    unsigned value = 0;
    unsigned long fetched = 0;
    while (speeds->Next(1, &value, &fetched) == S_OK && fetched == 1) all.push_back(value);
    return all;
}

}  // namespace

TEST_F(EngineDevice, NamesAreLetterAddressVendorAndProduct)
{
    struct Case {
        char letter;
        const char* name;
    };
    const Case cases[] = {
        {'E', "E:1:0:0:0  TAVELLDVD-RW VDW-16"},
        {'F', "F:1:0:1:0  TAVELLCD-RW VCW-52"},
    };
    for (const Case& c : cases) {
        com::ComPtr<IDevice> device = Drive(c.letter);
        ASSERT_TRUE(device);
        com::Bstr name;
        ASSERT_EQ(S_OK, device->GetDeviceName(&name));
        EXPECT_EQ(c.name, name.Ansi());
    }
}

TEST_F(EngineDevice, CapabilitiesAndWriteModesFollowTheDrive)
{
    struct Case {
        char letter;
        unsigned read, write, modes;
    };
    const Case cases[] = {
        {'E', CAP_CD_R | CAP_CD_RW | CAP_DVD_ROM | CAP_DVD_R | CAP_DVDPLUS_R | CAP_DVDPLUS_RW |
                  CAP_DVDPLUS_R_DL | CAP_DVD_RAM,
         CAP_CD_R | CAP_CD_RW | CAP_TEST_WRITE | CAP_DVD_R | CAP_DVDPLUS_R | CAP_DVDPLUS_RW | CAP_DVDPLUS_R_DL,
         WRITE_COOKED | WRITE_TAO | WRITE_SAO | WRITE_DAO_PQ | WRITE_DAO_RAW_PW},
        {'F', CAP_CD_R | CAP_CD_RW, CAP_CD_R | CAP_CD_RW | CAP_TEST_WRITE,
         WRITE_COOKED | WRITE_TAO | WRITE_SAO | WRITE_DAO_PQ | WRITE_DAO_RAW_PW},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.letter);
        com::ComPtr<IDevice> device = Drive(c.letter);
        ASSERT_TRUE(device);
        unsigned read = 0, write = 0, modes = 0, busy = 1;
        unsigned long canWrite = 0;
        ASSERT_EQ(S_OK, device->GetCapabilities(&read, &write));
        EXPECT_EQ(c.read, read);
        EXPECT_EQ(c.write, write);
        EXPECT_EQ(0u, (read | write) & 0x10);
        ASSERT_EQ(S_OK, device->GetSupportedWriteModes(&modes));
        EXPECT_EQ(c.modes, modes);
        ASSERT_EQ(S_OK, device->DeviceCanWrite(&canWrite));
        EXPECT_EQ(1u, canWrite);
        ASSERT_EQ(S_OK, device->GetDeviceBusy(&busy));
        EXPECT_EQ(0u, busy);
    }
}

TEST_F(EngineDevice, SpeedTablesAreThoseOfTheMediumFamily)
{
    struct Case {
        char letter;
        std::vector<unsigned> read, write;
    };
    const Case cases[] = {
        // A blank DVD-RW: steps of 1385 up to the fastest, the fastest
        // itself (which no step meets), then 3324.
        {'E', {5540, 11080, 22160}, {3324, 5540, 11080, 22160}},
        // A blank CD-R: steps of 176 and the fastest; 387 gives the slowest.
        {'F', {706, 1411, 2822, 4234, 5645, 7056, 8467}, {706, 1411, 2822, 4234, 5645, 7056}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.letter);
        com::ComPtr<IDevice> device = Drive(c.letter);
        ASSERT_TRUE(device);
        com::ComPtr<IDeviceSpeedEnum> read, write;
        ASSERT_EQ(S_OK, device->GetDeviceSpeeds(&read, &write));
        EXPECT_EQ(c.read, All(read));
        EXPECT_EQ(c.write, All(write));
    }
}

TEST_F(EngineDevice, SpeedFactorTextsFollowTheMedium)
{
    struct Case {
        char letter;
        unsigned long speed;
        const char* text;
    };
    const Case cases[] = {
        {'F', 7056, "40"}, {'F', 387, "2.2"}, {'F', 388, "2"}, {'F', 386, "2"}, {'F', 176, "1"},
        {'F', 0, "0"},     {'E', 5540, "4"},  {'E', 3324, "2.4"}, {'E', 3336, "2.4"},
        {'E', 3337, "2"},  {'E', 1385, "1"},  {'E', 22160, "16"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.letter) + " " + std::to_string(c.speed));
        com::ComPtr<IDevice> device = Drive(c.letter);
        ASSERT_TRUE(device);
        com::Bstr text;
        ASSERT_EQ(S_OK, device->Speed_KBPS2X(c.speed, &text));
        EXPECT_EQ(c.text, text.Ansi());
    }
}

TEST_F(EngineDevice, SpeedEnumeratorsStepSkipAndCloneTheirPosition)
{
    com::ComPtr<IDevice> device = Drive('F');
    ASSERT_TRUE(device);
    com::ComPtr<IDeviceSpeedEnum> read, write, clone;
    ASSERT_EQ(S_OK, device->GetDeviceSpeeds(&read, &write));
    unsigned values[8] = {};
    unsigned long fetched = 0;
    ASSERT_EQ(S_OK, read->Next(2, values, &fetched));
    EXPECT_EQ(2u, fetched);
    EXPECT_EQ(1411u, values[1]);
    EXPECT_EQ(S_OK, read->Skip(1));
    ASSERT_EQ(S_OK, read->Clone(&clone));
    EXPECT_EQ(S_FALSE, read->Next(8, values, &fetched));
    EXPECT_EQ(4u, fetched);
    EXPECT_EQ(4234u, values[0]);
    // The clone starts where its original stood and goes on by itself.
    ASSERT_EQ(S_OK, clone->Next(1, values, &fetched));
    EXPECT_EQ(4234u, values[0]);
    EXPECT_EQ(S_FALSE, read->Skip(1));
    EXPECT_EQ(S_OK, read->Reset());
    ASSERT_EQ(S_OK, read->Next(1, values, &fetched));
    EXPECT_EQ(706u, values[0]);
}

// As a burning frame walks the speeds: one at a time, without a count.
TEST_F(EngineDevice, SpeedsAreFetchedOneByOneWithoutACountFromAnotherProcess)
{
    com::ComPtr<IDevice> device = Drive('F');
    ASSERT_TRUE(device);
    com::ComPtr<IDeviceSpeedEnum> read, write;
    ASSERT_EQ(S_OK, device->GetDeviceSpeeds(&read, &write));
    std::vector<unsigned> speeds;
    unsigned speed = 0;
    HRESULT hr;
    while ((hr = write->Next(1, &speed, nullptr)) == S_OK) speeds.push_back(speed);
    EXPECT_EQ(S_FALSE, hr) << "the end, not a failure";
    EXPECT_EQ((std::vector<unsigned>{706, 1411, 2822, 4234, 5645, 7056}), speeds);
}

TEST_F(EngineDevice, BlankMediaHaveOneOpenTrackAndAllTheirSpaceFree)
{
    struct Case {
        char letter;
        unsigned type;
        hyper blocks;
    };
    const Case cases[] = {
        {'E', 8, 2298496},  // DVD-RW, sequential
        {'F', 2, 359848},   // CD-R
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.letter);
        com::ComPtr<IDevice> device = Drive(c.letter);
        ASSERT_TRUE(device);
        com::ComPtr<IMedium> medium;
        ASSERT_EQ(S_OK, device->QueryInterface(IID_IMedium, reinterpret_cast<void**>(&medium)));
        // A medium another process put in just before is seen at the
        // engine's next look at the drive.
        unsigned type = 0, tracks = 0;
        for (DWORD start = GetTickCount(); type != c.type && GetTickCount() - start < EVENT_WAIT_MS; PumpFor(100))
            ASSERT_EQ(S_OK, medium->GetMediumType(&type));
        EXPECT_EQ(c.type, type);
        ASSERT_EQ(S_OK, medium->GetTrackCount(&tracks));
        EXPECT_EQ(1u, tracks);
        hyper total = 0, used = 0, free = 0;
        ASSERT_EQ(S_OK, medium->GetSpaces(&total, &used, &free));
        EXPECT_EQ(c.blocks * 2048, total);
        EXPECT_EQ(c.blocks * 2048, free);
        EXPECT_EQ(0, used);

        com::ComPtr<ITrack> track;
        ASSERT_EQ(S_OK, medium->GetTrack(&track, 1));
        unsigned number = 0, blank = 0, start = 99, freeBlocks = 0, m = 9, sec = 9, f = 9;
        ASSERT_EQ(S_OK, track->GetTrackNumber(&number));
        EXPECT_EQ(1u, number);
        ASSERT_EQ(S_OK, track->IsBlank(&blank));
        EXPECT_EQ(1u, blank);
        ASSERT_EQ(S_OK, track->GetStartAdress(&start));
        EXPECT_EQ(0u, start);
        ASSERT_EQ(S_OK, track->GetFreeLBs(&freeBlocks));
        EXPECT_EQ(static_cast<unsigned>(c.blocks), freeBlocks);
        ASSERT_EQ(S_OK, track->GetStartMSFT(&m, &sec, &f));
        EXPECT_EQ(0u, m);
        EXPECT_EQ(2u, sec);
        EXPECT_EQ(0u, f);
        com::ComPtr<ITrack> none;
        EXPECT_EQ(E_FAIL, medium->GetTrack(&none, 7));
    }
}

TEST_F(EngineDevice, EjectAndInsertByAnotherProcessFireMediumChanged)
{
    com::ComPtr<IDevice> device = Drive('F');
    ASSERT_TRUE(device);
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, Advise(device, &cookie));
    BlankCdBack restore;
    ASSERT_EQ(0u, RunDiscTool("eject F"));
    ASSERT_TRUE(sink->WaitFor(DM_MEDIUMCHANGED, EVENT_WAIT_MS));
    EngineEvent removed = Event(DM_MEDIUMCHANGED);
    EXPECT_EQ(0u, removed.wParam);  // no job yet: the cookie is 0
    EXPECT_EQ(14u, removed.lParam);

    // An empty drive: no medium, no space known, the CD speeds.
    com::ComPtr<IMedium> medium;
    ASSERT_EQ(S_OK, device->QueryInterface(IID_IMedium, reinterpret_cast<void**>(&medium)));
    unsigned type = 0;
    ASSERT_EQ(S_OK, medium->GetMediumType(&type));
    EXPECT_EQ(14u, type);
    hyper total = 0, used = 0, free = 1;
    ASSERT_EQ(S_OK, medium->GetSpaces(&total, &used, &free));
    EXPECT_EQ(-1, total);
    EXPECT_EQ(-1, used);
    EXPECT_EQ(0, free);
    com::Bstr text;
    ASSERT_EQ(S_OK, device->Speed_KBPS2X(387, &text));
    EXPECT_EQ("2.2", text.Ansi());

    ASSERT_EQ(0u, RunDiscTool("insert F 2 359848"));
    const DWORD start = GetTickCount();
    while (Events(DM_MEDIUMCHANGED).size() < 2 && GetTickCount() - start < EVENT_WAIT_MS)
        sink->WaitFor(0xFFFF, 50);
    std::vector<EngineEvent> events = Events(DM_MEDIUMCHANGED);
    ASSERT_EQ(2u, events.size());
    EXPECT_EQ(2u, events[1].lParam);  // CD-R
    Unadvise(device, cookie);
}

TEST_F(EngineDevice, DrivesThatComeAndGoFireTheirEventsAndHeldOnesStillAnswer)
{
    const unsigned id = 0x00020001;  // 1:0:2:0
    ASSERT_TRUE(AddDrive("drive9", "1:0:2:0", 'G'));
    bool arrived = sink->WaitFor(DM_DEVICEARRIVED, EVENT_WAIT_MS);
    com::ComPtr<IDevice> held;
    if (arrived) {
        EXPECT_EQ(S_OK, devices->GetDeviceByID(id, &held));
    }
    unsigned countWithIt = Count();
    ASSERT_TRUE(RemoveDrive("drive9"));
    ASSERT_TRUE(arrived);
    EXPECT_EQ(id, Event(DM_DEVICEARRIVED).wParam);
    EXPECT_EQ(3u, countWithIt);

    ASSERT_TRUE(sink->WaitFor(DM_DEVICEREMOVED, EVENT_WAIT_MS));
    EXPECT_EQ(id, Event(DM_DEVICEREMOVED).wParam);
    EXPECT_EQ(2u, Count());
    com::ComPtr<IDevice> gone;
    EXPECT_EQ(E_FAIL, devices->GetDeviceByID(id, &gone));

    // The client's device outlives its drive: what it knew, and failures.
    ASSERT_TRUE(held);
    com::Bstr name;
    ASSERT_EQ(S_OK, held->GetDeviceName(&name));
    EXPECT_EQ("G:1:0:2:0  TAVELLCD-RW VCW-52", name.Ansi());
    EXPECT_EQ(E_FAIL, held->Eject());
    EXPECT_EQ(E_FAIL, held->Load());
    unsigned heldId = 0;
    EXPECT_EQ(S_OK, held->GetDeviceID(&heldId));
    EXPECT_EQ(id, heldId);
}

TEST_F(EngineDevice, BroadcastsBesideThePollGiveOneEventPerDrive)
{
    const unsigned id = 0x00030001;  // 1:0:3:0
    HWND window = FindDevicesWindow();
    ASSERT_TRUE(window);
    auto broadcast = [window] {
        for (int i = 0; i < 3; ++i) PostMessageA(window, WM_DEVICECHANGE, 0x0007 /* DBT_DEVNODES_CHANGED */, 0);
    };
    ASSERT_TRUE(AddDrive("drive8", "1:0:3:0", 'H'));
    broadcast();
    bool arrived = sink->WaitFor(DM_DEVICEARRIVED, EVENT_WAIT_MS);
    PumpFor(1200);  // the poll comes by as well
    unsigned countWithIt = Count();
    ASSERT_TRUE(RemoveDrive("drive8"));
    broadcast();
    ASSERT_TRUE(arrived);
    EXPECT_EQ(3u, countWithIt);
    ASSERT_TRUE(sink->WaitFor(DM_DEVICEREMOVED, EVENT_WAIT_MS));
    PumpFor(1200);
    ASSERT_EQ(1u, Events(DM_DEVICEARRIVED).size());
    EXPECT_EQ(id, Event(DM_DEVICEARRIVED).wParam);
    ASSERT_EQ(1u, Events(DM_DEVICEREMOVED).size());
    EXPECT_EQ(id, Event(DM_DEVICEREMOVED).wParam);
    EXPECT_EQ(2u, Count());
}

TEST_F(EngineDevice, ADeviceOffersItsJobInterfacesButNotItsRawPointer)
{
    com::ComPtr<IDevice> device = Drive('E');
    ASSERT_TRUE(device);
    com::ComPtr<IWriter> writer;
    com::ComPtr<IWriter2> writer2;
    com::ComPtr<IReader> reader;
    ASSERT_EQ(S_OK, device->QueryInterface(IID_IWriter, reinterpret_cast<void**>(&writer)));
    ASSERT_EQ(S_OK, device->QueryInterface(IID_IWriter2, reinterpret_cast<void**>(&writer2)));
    ASSERT_EQ(S_OK, device->QueryInterface(IID_IReader, reinterpret_cast<void**>(&reader)));
    EXPECT_TRUE(com::SameObject(writer, reader));
    EXPECT_EQ(S_OK, writer->Cancel()) << "nothing runs: nothing to stop, and no failure";
    EXPECT_EQ(S_OK, writer2->Cancel());
    // The grabber handle stays inside the engine.
    com::ComPtr<IUnknown> raw;
    EXPECT_EQ(E_NOINTERFACE, device->QueryInterface(IID_IRawPtr, reinterpret_cast<void**>(&raw)));
    unsigned busy = 1;
    ASSERT_EQ(S_OK, device->GetDeviceBusy(&busy));
    EXPECT_EQ(0u, busy);
}

TEST_F(EngineDevice, EveryDeviceWindowLivesOnAThreadOfItsOwn)
{
    // A question that waits on one drive stalls neither the other drives
    // nor the thread of "DevicesWindow", which serves the engine's other
    // messages (the first scan's thread has ended; its drives' windows
    // remain).
    HWND list = FindDevicesWindow();
    ASSERT_TRUE(list);
    DWORD pid = 0;
    const DWORD main = GetWindowThreadProcessId(list, &pid);
    std::vector<DWORD> threads;
    for (const FoundWindow& w : WindowsOfClass("DeviceWindow", pid)) threads.push_back(w.thread);
    ASSERT_EQ(static_cast<size_t>(Count()), threads.size());
    EXPECT_EQ(2u, threads.size());
    std::sort(threads.begin(), threads.end());
    EXPECT_EQ(threads.end(), std::adjacent_find(threads.begin(), threads.end()));
    EXPECT_EQ(threads.end(), std::find(threads.begin(), threads.end(), main));
}
