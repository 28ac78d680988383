// The DVD-Video burn job on drive E, the DVD writer, seen from a client
// process: the UDF image of a folder read back by udfinfo and isoinfo.
#include <gtest/gtest.h>
#include "job_client.h"
#include "event_sequence.h"
#include "unix_tools.h"
#include <string>
#include <vector>

namespace {

class DvdVideoBurnJob : public EngineJob {
protected:
    void SetUp() override
    {
        EngineJob::SetUp();
        ASSERT_EQ(0u, RunDiscTool("insert E 5 100000"));
        ASSERT_EQ(S_OK, devices->GetDeviceByDriveLetter('E', &dvd));
        ASSERT_EQ(S_OK, Advise(dvd, &dvdCookie));
        ASSERT_EQ(S_OK, dvd->QueryInterface(IID_IWriter, reinterpret_cast<void**>(&dvdWriter)));
    }
    void TearDown() override
    {
        if (dvdCookie) Unadvise(dvd, dvdCookie);
        EXPECT_EQ(0u, RunDiscTool("insert E 8"));
        EngineJob::TearDown();
    }
    unsigned BurnVideo(const std::string& folder)
    {
        const size_t before = sink->Events().size();
        EXPECT_EQ(S_OK, dvdWriter->BurnDVDVideo(COOKIE, 0xFFFF, com::Bstr(folder), 2));
        return WaitEnd(DM_BURNEND, before);
    }
    // VIDEO_TS with its files made in an order a player would not read them.
    std::string MakeVideoFolder(bool withAudioTs)
    {
        const std::string folder = files.File("movie");
        CreateDirectoryA(folder.c_str(), nullptr);
        CreateDirectoryA((folder + "\\VIDEO_TS").c_str(), nullptr);
        if (withAudioTs) CreateDirectoryA((folder + "\\AUDIO_TS").c_str(), nullptr);
        for (const char* name : {"VTS_01_1.VOB", "README.TXT", "VTS_01_0.BUP", "VIDEO_TS.BUP", "VTS_01_0.IFO",
                                 "VIDEO_TS.VOB", "VIDEO_TS.IFO"})
            WriteFileBytes(folder + "\\VIDEO_TS\\" + name, Pattern(4096 + 2048 * (name[0] == 'V' ? 3 : 1)));
        return folder;
    }

    com::ComPtr<IDevice> dvd;
    com::ComPtr<IWriter> dvdWriter;
    DWORD dvdCookie = 0;
};

TEST_F(DvdVideoBurnJob, TheDiscIsUdf102NamedVideoDvdWithThePlayersFileOrder)
{
    const size_t from = sink->Events().size();
    ASSERT_EQ(0u, BurnVideo(MakeVideoFolder(true) + "\\\\"));
    const std::vector<unsigned> messages = JobMessages(from);
    ASSERT_GE(messages.size(), 4u);
    EXPECT_TRUE(SameEvents({DM_BURNPREPARE, StatusCode(ST_DVDVIDEO_IMAGE_BEGIN), StatusCode(ST_DVDVIDEO_IMAGE_END)},
                           std::vector<unsigned>(messages.begin(), messages.begin() + 3)));
    const std::string disc = exported.File("video.iso");
    ASSERT_EQ(0u, RunDiscTool("export E \"" + disc + "\""));
    const std::string udf = RunUnix("udfinfo '" + UnixPath(disc) + "' 2>&1");
    EXPECT_NE(std::string::npos, udf.find("label=VideoDVD")) << udf;
    EXPECT_NE(std::string::npos, udf.find("udfrev=1.02")) << udf;
    // The ISO side: the files' extents rise in the player's order.
    const std::string order = RunUnix("isoinfo -l -i '" + UnixPath(disc) + "' | grep '^-' | "
                                      "sed -E 's/.*\\[ *([0-9]+) +[0-9]+\\] +(.*)$/\\1 \\2/' | sort -n | "
                                      "awk '{print $2}' | tr '\\n' ' '");
    EXPECT_EQ("VIDEO_TS.IFO;1 VIDEO_TS.VOB;1 VIDEO_TS.BUP;1 VTS_01_0.IFO;1 VTS_01_1.VOB;1 VTS_01_0.BUP;1 "
              "README.TXT;1 ",
              order);
}

TEST_F(DvdVideoBurnJob, AFolderWithoutAudioTsFailsItsBuildAndTheDiscStaysBlank)
{
    const std::string before = MediumBytes("drive0");
    const size_t from = sink->Events().size();
    EXPECT_EQ(unsigned(E_FAIL), BurnVideo(MakeVideoFolder(false)));
    EXPECT_TRUE(SameEvents({DM_BURNPREPARE, StatusCode(ST_DVDVIDEO_IMAGE_BEGIN), StatusCode(ST_DVDVIDEO_IMAGE_END),
                            DM_BURNEND},
                           JobMessages(from)));
    std::vector<EngineEvent> events = JobEvents(from);
    ASSERT_EQ(4u, events.size());
    EXPECT_EQ(unsigned(ST_DVDVIDEO_IMAGE_END), events[2].lParam);  // flag 0: failed
    EXPECT_EQ(before, MediumBytes("drive0"));
}

// A DVD-R too small for the image: the question for another disc,
// declined, and nothing written.
TEST_F(DvdVideoBurnJob, AnImageTooLargeForTheDiscIsRefusedBeforeTheFirstByte)
{
    ASSERT_EQ(0u, RunDiscTool("insert E 5 10"));
    const std::string folder = MakeVideoFolder(true);
    const std::string before = MediumBytes("drive0");
    const size_t from = sink->Events().size();
    sink->SetAnswer(0);
    EXPECT_EQ(CANCELLED, BurnVideo(folder));
    sink->SetAnswer(1);
    std::vector<unsigned> questions;
    for (const EngineEvent& e : JobEvents(from))
        if (e.message == DM_QUESTION) questions.push_back(e.lParam);
    EXPECT_EQ(std::vector<unsigned>{ASK_NOT_ENOUGH_SPACE}, questions);
    EXPECT_EQ(before, MediumBytes("drive0"));
}

TEST_F(DvdVideoBurnJob, APathThatDoesNotFitThePathFieldIsRefusedWithoutAJob)
{
    const std::string longest = "C:\\" + std::string(257, 'd');  // 260 characters
    EXPECT_EQ(E_INVALIDARG, dvdWriter->BurnDVDVideo(COOKIE, 0xFFFF, com::Bstr(longest), 2));
    EXPECT_EQ(E_INVALIDARG, dvdWriter->BurnDVDVideo(COOKIE, 0xFFFF, nullptr, 2));
    PumpFor(300);
    EXPECT_TRUE(JobEvents().empty());
}

}  // namespace
