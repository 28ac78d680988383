// The grab image job on the engine's virtual drives, seen from a client
// process: the events of a grab, the files it leaves (and those it never
// leaves), and the grabbed image burned back onto a blank disc.
#include <gtest/gtest.h>
#include "job_client.h"
#include "event_sequence.h"
#include "unix_tools.h"
#include <string>
#include <vector>

namespace {

class GrabImageJob : public EngineJob {
protected:
    void SetUp() override
    {
        EngineJob::SetUp();
        ASSERT_EQ(S_OK, device->QueryInterface(IID_IReader, reinterpret_cast<void**>(&reader)));
    }
    // Starts a grab into `base` and waits for its end; the end's result.
    unsigned Grab(const std::string& base, unsigned speed = 0xFFFF)
    {
        const size_t before = sink->Events().size();
        EXPECT_EQ(S_OK, reader->GrabImage(COOKIE, speed, com::Bstr(base), 1024));
        return WaitEnd(DM_GRABEND, before);
    }
    // The names the grab made in the fixture's folder ("" when none).
    std::string GrabbedFiles()
    {
        return RunUnix("cd '" + UnixPath(files.Path()) + "' && ls | grep '^grabbed' | tr '\\n' ' '");
    }

    com::ComPtr<IReader> reader;
};

TEST_F(GrabImageJob, AGrabbedDataCdBurnsBackToTheSameSectors)
{
    Insert(2);
    com::ComPtr<IFileTree> tree = FixtureTree();
    ASSERT_EQ(S_OK, tree->DoFinalize(1));
    ASSERT_EQ(0u, Burn(tree));
    const std::string sourceDisc = exported.File("source.iso");
    ASSERT_EQ(0u, RunDiscTool("export F \"" + sourceDisc + "\""));

    const size_t from = sink->Events().size();
    const std::string base = files.File("grabbed");
    ASSERT_EQ(0u, Grab(base));
    EXPECT_TRUE(SameEvents({DM_GRABPREPARE, DM_GRABSTART, DM_READPROGRESS, DM_GRABEND}, JobMessages(from)));
    EXPECT_EQ("grabbed.mds grabbed.xm0 ", GrabbedFiles());
    const std::vector<unsigned> progress = All(DM_READPROGRESS);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(100u << 16, progress.back());

    // The copy page's way: the descriptor burned onto a blank CD-R.
    Insert(2);
    const size_t burn = sink->Events().size();
    ASSERT_EQ(S_OK, writer->BurnImage(COOKIE, 0xFFFF, com::Bstr(base + ".mds"), 2));
    ASSERT_EQ(0u, WaitEnd(DM_BURNEND, burn));
    const std::string copy = ExportDisc();
    EXPECT_EQ("same\n", RunUnix("cmp -s '" + UnixPath(sourceDisc) + "' '" + copy + "' && echo same"));
}

// Drive E, the DVD writer, with a small DVD-R of the fixture's files: the
// grab's data file is a plain ISO image.
TEST_F(GrabImageJob, AGrabbedDvdIsAPlainIsoImage)
{
    ASSERT_EQ(0u, RunDiscTool("insert E 5 100000"));
    com::ComPtr<IDevice> dvd;
    DWORD cookie = 0;
    com::ComPtr<IWriter> dvdWriter = AdvisedWriter('E', &dvd, &cookie);
    ASSERT_TRUE(dvdWriter);
    com::ComPtr<IReader> dvdReader;
    ASSERT_EQ(S_OK, dvd->QueryInterface(IID_IReader, reinterpret_cast<void**>(&dvdReader)));
    com::ComPtr<IFileTree> tree = FixtureTree();
    ASSERT_EQ(S_OK, tree->DoFinalize(1));
    size_t from = sink->Events().size();
    ASSERT_EQ(S_OK, dvdWriter->BurnData(COOKIE, 0xFFFF, tree, 2));
    EXPECT_EQ(0u, WaitEnd(DM_BURNEND, from));

    from = sink->Events().size();
    const std::string base = files.File("grabbed");
    ASSERT_EQ(S_OK, dvdReader->GrabImage(COOKIE, 0xFFFF, com::Bstr(base), 1024));
    EXPECT_EQ(0u, WaitEnd(DM_GRABEND, from));
    EXPECT_TRUE(SameEvents({DM_GRABPREPARE, DM_GRABSTART, DM_READPROGRESS, DM_GRABEND}, JobMessages(from)));
    EXPECT_EQ("grabbed.mds grabbed.xm0 ", GrabbedFiles());
    const std::string image = UnixPath(base + ".xm0");
    const std::string joliet = RunUnix("isoinfo -J -f -i '" + image + "'");
    EXPECT_NE(std::string::npos, joliet.find("/Sub Folder/big.bin")) << joliet;
    const std::string listed = RunUnix("7z l '" + image + "'");
    EXPECT_NE(std::string::npos, listed.find("readme.txt")) << listed;
    const std::string disc = exported.File("dvd.iso");
    ASSERT_EQ(0u, RunDiscTool("export E \"" + disc + "\""));
    EXPECT_EQ("same\n", RunUnix("cmp -s '" + UnixPath(disc) + "' '" + image + "' && echo same"));

    Unadvise(dvd, cookie);
    EXPECT_EQ(0u, RunDiscTool("insert E 8"));
}

TEST_F(GrabImageJob, AnEmptyDriveDeclinedEndsTheGrabWithNoFiles)
{
    ASSERT_EQ(0u, RunDiscTool("eject F"));
    const size_t from = sink->Events().size();
    sink->SetAnswer(0);
    EXPECT_EQ(CANCELLED, Grab(files.File("grabbed")));
    sink->SetAnswer(1);
    EXPECT_TRUE(SameEvents({DM_GRABPREPARE, DM_QUESTION, DM_GRABEND}, JobMessages(from)));
    EXPECT_EQ("", GrabbedFiles());
}

// Room for ".mds" and ".xmN" after the path in its 260-byte field, N of
// up to five digits (".xm10" and beyond).
TEST_F(GrabImageJob, APathWithoutRoomForItsExtensionsIsRefusedWithoutAJob)
{
    for (size_t length : {252u, 256u, 300u}) {
        const std::string path = "C:\\" + std::string(length - 3, 'g');
        EXPECT_EQ(E_INVALIDARG, reader->GrabImage(COOKIE, 0xFFFF, com::Bstr(path), 1024)) << length;
    }
    EXPECT_EQ(E_INVALIDARG, reader->GrabImage(COOKIE, 0xFFFF, nullptr, 1024));
    PumpFor(300);
    EXPECT_TRUE(JobEvents().empty());
}

// The cancel goes to the drive: a second client's device object stops the
// read, and the partial files go with it.
TEST_F(GrabImageJob, CancelMidGrabEndsWithinASecondAndLeavesNoFiles)
{
    Insert(2);
    ASSERT_EQ(0u, Burn(TreeOfOneFile("slow.bin", 12 * 1024 * 1024)));
    DriveValue slow("emulate_speed", "1", "0");
    ASSERT_TRUE(slow.Set());
    ASSERT_NO_FATAL_FAILURE(CancelMidJobFromAnotherClient<IWriter>(
        [&] { return reader->GrabImage(COOKIE, 706, com::Bstr(files.File("grabbed")), 1024); }, DM_GRABSTART,
        DM_GRABEND, IID_IWriter));
    EXPECT_EQ("", GrabbedFiles());
}

}  // namespace
