// The client of the engine's job suites: a test fixture that holds the
// device list and drive F (the CD writer) of the running engine with an
// event sink on both, makes file trees of a few files, starts the jobs and
// waits for their ends, and reads the drive's medium back. One file per job
// suite uses it (data_burn_job_test.cpp, erase_job_test.cpp, jobs_test.cpp).
#pragma once
#include <gtest/gtest.h>
#include "disc_folder.h"
#include "engine_services.h"
#include "event_sequence.h"
#include "event_sink.h"
#include "files.h"
#include "unix_tools.h"
#include "vokmar_process.h"
#include <engine.h>
#include <com/bstr.h>
#include <com/ptr.h>
#include <functional>
#include <string>
#include <vector>

const DWORD JOB_WAIT_MS = 30000;
const unsigned COOKIE = 0x7A11;
const unsigned CANCELLED = 0x8010006E;
const char* const CD_DRIVE = "drive1";  // letter F, the CD writer

class EngineJob : public testing::Test {
protected:
    // The jobs leave their cookie in the device; the suites after this one
    // meet a fresh engine.
    static void TearDownTestSuite() { StopEngine(); }

    void SetUp() override
    {
        ASSERT_EQ(S_OK, devices.CoCreate(CLSID_CoDevices, IID_IDevices, CLSCTX_LOCAL_SERVER));
        ASSERT_EQ(S_OK, com::CreateObject<CTestEventSink>(IID__IMessageCallback, reinterpret_cast<void**>(&sinkItf)));
        sink = static_cast<CTestEventSink*>(sinkItf.Get());
        ASSERT_EQ(S_OK, Advise(devices, &listCookie));
        if (devices->IsInitialized() != S_OK) sink->WaitFor(DM_DEVICESSCANNED, 5000);
        ASSERT_EQ(S_OK, devices->GetDeviceByDriveLetter('F', &device));
        ASSERT_EQ(S_OK, device->QueryInterface(IID_IWriter, reinterpret_cast<void**>(&writer)));
        ASSERT_EQ(S_OK, device->QueryInterface(IID_IMedium, reinterpret_cast<void**>(&medium)));
        ASSERT_EQ(S_OK, Advise(device, &deviceCookie));
        WriteFileBytes(files.File("readme.txt"), "hello disc\n");
        WriteFileBytes(files.File("big.bin"), Pattern(3 * 1024 * 1024 + 17));
        WriteFileBytes(files.File("empty.dat"), "");
    }
    void TearDown() override
    {
        if (deviceCookie) Unadvise(device, deviceCookie);
        if (listCookie) Unadvise(devices, listCookie);
        // Every test leaves drive F as the others expect it: a blank CD-R.
        Insert(2);
    }

    static std::string Pattern(size_t size)
    {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 4096);
        return bytes;
    }
    HRESULT Advise(IUnknown* object, DWORD* cookie) { return AdviseSink(object, sinkItf, cookie); }
    void Unadvise(IUnknown* object, DWORD cookie) { UnadviseSink(object, cookie); }
    // A fresh medium of that type in drive F (a CD's capacity unless told).
    static void Insert(unsigned type, unsigned blocks = 359848)
    {
        ASSERT_EQ(0u, RunDiscTool("insert F " + std::to_string(type) + " " + std::to_string(blocks)));
    }

    // A tree of the fixture's files: readme.txt, empty.dat and
    // "Sub Folder\big.bin".
    com::ComPtr<IFileTree> NewTree()
    {
        com::ComPtr<IFileTree> tree;
        EXPECT_EQ(S_OK, tree.CoCreate(CLSID_CoISOFileTree, IID_IFileTree, CLSCTX_LOCAL_SERVER));
        return tree;
    }
    static com::ComPtr<IFileTreeNode> Add(IFileTree* tree, IFileTreeNode* parent, const std::string& source,
                                          const std::string& name)
    {
        com::ComPtr<IFileTreeNode> node;
        EXPECT_EQ(S_OK, tree->Add(parent, source.empty() ? nullptr : com::Bstr(source).Get(), com::Bstr(name), &node))
            << name;
        return node;
    }
    // A tree of one file of `size` pattern bytes at its root.
    com::ComPtr<IFileTree> TreeOfOneFile(const std::string& name, size_t size)
    {
        WriteFileBytes(files.File(name), Pattern(size));
        com::ComPtr<IFileTree> tree = NewTree();
        com::ComPtr<IFileTreeNode> root;
        EXPECT_EQ(S_OK, tree->GetRootNode(&root));
        Add(tree, root, files.File(name), name);
        return tree;
    }
    com::ComPtr<IFileTree> FixtureTree()
    {
        com::ComPtr<IFileTree> tree = NewTree();
        com::ComPtr<IFileTreeNode> root, folder;
        EXPECT_EQ(S_OK, tree->GetRootNode(&root));
        Add(tree, root, files.File("readme.txt"), "readme.txt");
        Add(tree, root, files.File("empty.dat"), "empty.dat");
        folder = Add(tree, root, "", "Sub Folder");
        Add(tree, folder, files.File("big.bin"), "big.bin");
        return tree;
    }

    // Starts a job and waits for its end event; the end's result.
    unsigned Burn(IFileTree* tree, unsigned lastArgument = 2, unsigned speed = 0xFFFF)
    {
        const size_t before = sink->Events().size();
        EXPECT_EQ(S_OK, writer->BurnData(COOKIE, speed, tree, lastArgument));
        return WaitEnd(DM_BURNEND, before);
    }
    unsigned Erase(unsigned full)
    {
        const size_t before = sink->Events().size();
        EXPECT_EQ(S_OK, writer->Erase(COOKIE, 0xFFFF, full));
        return WaitEnd(DM_ERASEEND, before);
    }
    // Starts a job with `start`, lets it run for a second (it must not have
    // ended), then cancels it through the writer interface `Writer` (IWriter
    // or IWriter2, `iid`) of drive F as another client of the engine sees
    // it: its own device list and device object. The job must end failed
    // within a second of the cancel.
    template <class Writer>
    void CancelMidJobFromAnotherClient(const std::function<HRESULT()>& start, unsigned startMessage,
                                       unsigned endMessage, REFIID iid)
    {
        const size_t first = sink->Events().size();
        ASSERT_EQ(S_OK, start());
        ASSERT_TRUE(sink->WaitFor(startMessage, 10000));
        PumpFor(1000);
        EXPECT_TRUE(All(endMessage).empty());
        com::ComPtr<Writer> otherWriter = OtherClientsWriter<Writer>(iid);
        ASSERT_TRUE(otherWriter);
        const DWORD cancelled = GetTickCount();
        EXPECT_EQ(S_OK, otherWriter->Cancel());
        EXPECT_EQ(unsigned(E_FAIL), WaitEnd(endMessage, first));
        EXPECT_LT(GetTickCount() - cancelled, 1000u);
    }
    // Drive F's writer interface `Writer` (`iid`) as another client of the
    // engine sees it: its own device list and device object.
    template <class Writer>
    static com::ComPtr<Writer> OtherClientsWriter(REFIID iid)
    {
        com::ComPtr<IDevices> other;
        com::ComPtr<IDevice> drive;
        com::ComPtr<Writer> otherWriter;
        EXPECT_EQ(S_OK, other.CoCreate(CLSID_CoDevices, IID_IDevices, CLSCTX_LOCAL_SERVER));
        if (other) EXPECT_EQ(S_OK, other->GetDeviceByDriveLetter('F', &drive));
        if (drive) EXPECT_EQ(S_OK, drive->QueryInterface(iid, reinterpret_cast<void**>(&otherWriter)));
        return otherWriter;
    }
    // The write speeds a device lists, in KB/s.
    static std::vector<unsigned> WriteSpeeds(IDevice* drive)
    {
        com::ComPtr<IDeviceSpeedEnum> reads, writes;
        std::vector<unsigned> speeds;
        EXPECT_EQ(S_OK, drive->GetDeviceSpeeds(&reads, &writes));
        unsigned speed = 0;
        unsigned long fetched = 0;
        while (writes && writes->Next(1, &speed, &fetched) == S_OK) speeds.push_back(speed);
        return speeds;
    }
    // Drive `letter`'s device with the fixture's sink advised on it
    // (Unadvise with `*cookie` at the end), and its IWriter.
    com::ComPtr<IWriter> AdvisedWriter(char letter, IDevice** drive, DWORD* cookie)
    {
        com::ComPtr<IWriter> driveWriter;
        EXPECT_EQ(S_OK, devices->GetDeviceByDriveLetter(letter, drive));
        if (!*drive) return driveWriter;
        EXPECT_EQ(S_OK, Advise(*drive, cookie));
        EXPECT_EQ(S_OK, (*drive)->QueryInterface(IID_IWriter, reinterpret_cast<void**>(&driveWriter)));
        return driveWriter;
    }
    unsigned WaitEnd(unsigned message, size_t after)
    {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < JOB_WAIT_MS) {
            std::vector<EngineEvent> all = sink->Events();
            for (size_t i = after; i < all.size(); ++i)
                if (all[i].message == message) return all[i].lParam;
            PumpFor(20);
        }
        std::string seen;
        for (const EngineEvent& e : sink->Events()) seen += " " + std::to_string(e.message) + ":" + std::to_string(e.lParam);
        ADD_FAILURE() << "no event " << message << "; events:" << seen;
        return 0xFFFFFFFF;
    }
    // The job's events (those with the cookie, the medium's aside), a run
    // of progress or buffer reports as one; those from the `from`th event on.
    std::vector<EngineEvent> JobEvents(size_t from = 0)
    {
        std::vector<EngineEvent> job, all = sink->Events();
        for (size_t i = from; i < all.size(); ++i) {
            const EngineEvent& e = all[i];
            if (e.message == DM_MEDIUMCHANGED || e.wParam != COOKIE) continue;
            const bool report =
                e.message == DM_WRITEPROGRESS || e.message == DM_BUFFERSTATUS || e.message == DM_READPROGRESS;
            if (report && !job.empty() &&
                (job.back().message == DM_WRITEPROGRESS || job.back().message == DM_BUFFERSTATUS ||
                 job.back().message == DM_READPROGRESS))
                continue;
            job.push_back(e);
        }
        return job;
    }
    std::vector<unsigned> JobMessages(size_t from = 0)
    {
        std::vector<unsigned> messages;
        for (const EngineEvent& e : JobEvents(from)) messages.push_back(e.message == DM_STATUS ? StatusCode(e.lParam & 0xFFFF)
                                                                                           : e.message);
        return messages;
    }
    // The questions asked from the `from`th event on, in order.
    std::vector<unsigned> Questions(size_t from)
    {
        std::vector<unsigned> questions;
        std::vector<EngineEvent> all = sink->Events();
        for (size_t i = from; i < all.size(); ++i)
            if (all[i].message == DM_QUESTION) questions.push_back(all[i].lParam);
        return questions;
    }
    std::vector<unsigned> All(unsigned message)
    {
        std::vector<unsigned> values;
        for (const EngineEvent& e : sink->Events())
            if (e.message == message && e.wParam == COOKIE) values.push_back(e.lParam);
        return values;
    }
    unsigned TrackCount()
    {
        unsigned count = 0;
        EXPECT_EQ(S_OK, medium->GetTrackCount(&count));
        return count;
    }
    // The start of the disc's incomplete track: where the next session goes.
    unsigned NextWritable()
    {
        com::ComPtr<ITrack> track;
        unsigned start = 0;
        if (SUCCEEDED(medium->GetTrack(&track, TrackCount()))) track->GetStartAdress(&start);
        return start;
    }
    // Drive F's disc as an image file, with its Unix path.
    std::string ExportDisc()
    {
        const std::string iso = exported.File("disc.iso");
        EXPECT_EQ(0u, RunDiscTool("export F \"" + iso + "\""));
        return UnixPath(iso);
    }

    // A fresh medium in drive F whose check by the engine has come by, so
    // that no check of the drive is still due.
    void InsertChecked(unsigned type)
    {
        const size_t before = Changes();
        Insert(type);
        for (DWORD start = GetTickCount(); Changes() <= before && GetTickCount() - start < 5000;) PumpFor(20);
    }
    size_t Changes()
    {
        size_t n = 0;
        for (const EngineEvent& e : sink->Events()) n += e.message == DM_MEDIUMCHANGED ? 1 : 0;
        return n;
    }
    // What the engine's log gained since `from` (its size then).
    static std::string LogSince(size_t from)
    {
        const std::string log = ReadFileBytes(EngineLogPath());
        return from < log.size() ? log.substr(from) : std::string();
    }
    static size_t LogSize() { return ReadFileBytes(EngineLogPath()).size(); }

    com::ComPtr<IDevices> devices;
    com::ComPtr<IDevice> device;
    com::ComPtr<IWriter> writer;
    com::ComPtr<IMedium> medium;
    com::ComPtr<_IMessageCallback> sinkItf;
    CTestEventSink* sink = nullptr;
    DWORD listCookie = 0, deviceCookie = 0;
    TempFolder files, exported;
};

// Status codes in JobMessages() are StatusCode(code) (event_sequence.h).
const unsigned S_IMAGE_BEGIN = StatusCode(ST_DATA_IMAGE_BEGIN), S_IMAGE_END = StatusCode(ST_DATA_IMAGE_END),
               S_OPC = StatusCode(ST_SENDING_OPC), S_BUP = StatusCode(ST_BUP_ENABLED);
