// The Video CD and Super Video CD burn jobs on drive F, the CD writer,
// seen from a client process: the disc read back by vcd-info, the
// questions a disc with content gets, and what is refused untouched.
#include <gtest/gtest.h>
#include "job_client.h"
#include "event_sequence.h"
#include "mpeg_program_stream.h"
#include "unix_tools.h"
#include "jobs/video_cd_burn_job.h"
#include <string>
#include <vector>

namespace {

struct VideoCdFormat {
    const char* name;
    bool super;
    const char* format;  // as vcd-info names it
    const char* stream;  // the stream's file on the disc
};
const VideoCdFormat FORMATS[] = {{"Video CD", false, "VCD 2.0", "AVSEQ01.DAT"},
                                 {"Super Video CD", true, "SVCD", "AVSEQ01.MPG"}};

class VideoCdBurnJob : public EngineJob {
protected:
    void SetUp() override
    {
        EngineJob::SetUp();
        ASSERT_EQ(S_OK, device->QueryInterface(IID_IWriter2, reinterpret_cast<void**>(&writer2)));
        stream = files.File("movie.mpg");
        WriteFileBytes(stream, MpegProgramStream(STREAM_PACKS));
    }
    HRESULT StartBurn(bool super, const std::string& path, unsigned lastArgument = 2)
    {
        com::Bstr source(path);
        return super ? writer2->BurnSuperVideoCD(COOKIE, 0xFFFF, source, lastArgument)
                     : writer2->BurnVideoCD(COOKIE, 0xFFFF, source, lastArgument);
    }
    // Starts the burn of `path` and waits for its end; the end's result.
    unsigned BurnVideo(bool super, const std::string& path, unsigned lastArgument = 2)
    {
        const size_t before = sink->Events().size();
        EXPECT_EQ(S_OK, StartBurn(super, path, lastArgument));
        return WaitEnd(DM_BURNEND, before);
    }
    // An appendable CD-R or CD-RW in drive F: one data session on it.
    void InsertWritten(unsigned type)
    {
        Insert(type);
        ASSERT_EQ(0u, Burn(FixtureTree()));
    }
    // What vcd-info reads of drive F's disc, exported as vcd.bin and vcd.cue.
    std::string VcdInfo()
    {
        const std::string raw = exported.File("vcd");
        EXPECT_EQ(0u, RunDiscTool("export-raw F \"" + raw + "\""));
        return RunUnix("vcd-info -B -f -T -E -F -I --cue-file '" + UnixPath(raw) + ".cue' 2>&1");
    }
    static std::string Minute()
    {
        SYSTEMTIME now = {};
        GetLocalTime(&now);
        return VideoCdDateText(now);
    }

    static const size_t STREAM_PACKS = 400;
    // The stream's entry, after track 1 and its gap.
    static constexpr const char* FIRST_ENTRY = "ENTRY[00]: track#  1 (SEQUENCE[0]), LSN    450";
    com::ComPtr<IWriter2> writer2;
    std::string stream;
};

TEST(VideoCdDateText, TwelveDigitsFromYearToMinute)
{
    SYSTEMTIME t = {};
    t.wYear = 2007, t.wMonth = 2, t.wDay = 3, t.wHour = 9, t.wMinute = 5, t.wSecond = 59;
    EXPECT_EQ("200702030905", VideoCdDateText(t));
    t.wYear = 2026, t.wMonth = 12, t.wDay = 31, t.wHour = 23, t.wMinute = 59;
    EXPECT_EQ("202612312359", VideoCdDateText(t));
}

TEST_F(VideoCdBurnJob, ABlankCdRBecomesADiscThatVcdInfoReads)
{
    for (const VideoCdFormat& f : FORMATS) {
        SCOPED_TRACE(f.name);
        Insert(2);
        const size_t from = sink->Events().size();
        const std::string first = Minute();
        ASSERT_EQ(0u, BurnVideo(f.super, stream));
        const std::string last = Minute();
        const std::vector<unsigned> messages = JobMessages(from);
        ASSERT_GE(messages.size(), 5u);
        EXPECT_TRUE(SameEvents({DM_BURNPREPARE, S_OPC, S_BUP, DM_BURNSTART},
                               std::vector<unsigned>(messages.begin(), messages.begin() + 4)));
        EXPECT_EQ(unsigned(DM_BURNEND), messages.back());
        EXPECT_TRUE(Questions(from).empty());
        EXPECT_EQ(100u << 16, All(DM_WRITEPROGRESS).back());
        EXPECT_EQ(2u, TrackCount());

        const std::string info = VcdInfo();
        EXPECT_NE(std::string::npos, info.find(f.format)) << info;
        EXPECT_NE(std::string::npos, info.find(f.stream)) << info;
        EXPECT_NE(std::string::npos, info.find(FIRST_ENTRY)) << info;
        EXPECT_EQ(std::string::npos, info.find("error")) << info;
        // The volume's creation date is the minute the write started.
        const std::string created = ReadFileBytes(exported.File("vcd.bin")).substr(16 * 2352 + 24 + 813, 12);
        EXPECT_TRUE(created == first || created == last) << created << " not " << first << " or " << last;
    }
}

// Only a blank disc is written: a CD-R with content asks for a blank one,
// a CD-RW with content for its erase; declined, the job ends with no
// status and the disc as it was.
TEST_F(VideoCdBurnJob, ADiscWithContentAsksAndDeclinedIsLeftAsItWas)
{
    struct Case {
        const char* name;
        unsigned type, question;
    };
    const Case cases[] = {{"CD-R", 2, ASK_NEED_BLANK}, {"CD-RW", 3, ASK_ERASE_FOR_BLANK}};
    for (const Case& c : cases) {
        for (const VideoCdFormat& f : FORMATS) {
            SCOPED_TRACE(std::string(c.name) + ", " + f.name);
            InsertWritten(c.type);
            const std::string before = MediumBytes(CD_DRIVE);
            const size_t from = sink->Events().size();
            sink->SetAnswer(0);
            EXPECT_EQ(CANCELLED, BurnVideo(f.super, stream));
            sink->SetAnswer(1);
            EXPECT_TRUE(SameEvents({DM_BURNPREPARE, DM_QUESTION, DM_BURNEND}, JobMessages(from)));
            EXPECT_EQ(std::vector<unsigned>{c.question}, Questions(from));
            EXPECT_EQ(before, MediumBytes(CD_DRIVE));
        }
    }
}

// Yes to the question goes on: the CD-RW is erased inside the job; for
// the CD-R the user has put a blank disc in while the question was open.
TEST_F(VideoCdBurnJob, ADiscWithContentAcceptedIsWrittenBlank)
{
    struct Case {
        const char* name;
        unsigned type, question;
    };
    const Case cases[] = {{"CD-R", 2, ASK_NEED_BLANK}, {"CD-RW", 3, ASK_ERASE_FOR_BLANK}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InsertWritten(c.type);
        const unsigned type = c.type;
        sink->OnQuestion([type](unsigned question) {
            if (question == ASK_NEED_BLANK) RunDiscTool("insert F " + std::to_string(type));
        });
        const size_t from = sink->Events().size();
        EXPECT_EQ(0u, BurnVideo(false, stream));
        sink->OnQuestion(nullptr);
        EXPECT_EQ(std::vector<unsigned>{c.question}, Questions(from));
        const std::string info = VcdInfo();
        EXPECT_NE(std::string::npos, info.find(FIRST_ENTRY)) << info;
    }
}

TEST_F(VideoCdBurnJob, WhatTheDiscCannotTakeEndsFailedWithTheDiscUntouched)
{
    struct Case {
        const char* name;
        std::string path;
        unsigned blocks, lastArgument, result;
    };
    WriteFileBytes(files.File("notes.txt"), "no program stream\n");
    const Case cases[] = {
        {"not a stream", files.File("notes.txt"), 359848, 2, unsigned(E_FAIL)},
        {"missing", files.File("missing.mpg"), 359848, 2, unsigned(E_FAIL)},
        // Track 1 and its gap take 450 blocks before the stream's 400.
        {"too large", stream, 600, 2, unsigned(E_FAIL)},
        // A test write writes nothing lasting and closes no session.
        {"test write", stream, 359848, 0xFF, 0u},
    };
    for (const Case& c : cases) {
        for (const VideoCdFormat& f : FORMATS) {
            SCOPED_TRACE(std::string(c.name) + ", " + f.name);
            Insert(2, c.blocks);
            const std::string before = MediumBytes(CD_DRIVE);
            const size_t from = sink->Events().size();
            EXPECT_EQ(c.result, BurnVideo(f.super, c.path, c.lastArgument));
            EXPECT_TRUE(Questions(from).empty());
            EXPECT_EQ(before, MediumBytes(CD_DRIVE));
        }
    }
}

// The cancel goes to the drive: a second client's device object stops the
// write.
TEST_F(VideoCdBurnJob, CancelThroughAnotherHandleEndsTheWriteAtOnce)
{
    Insert(2);
    WriteFileBytes(stream, MpegProgramStream(4000));
    DriveValue slow("emulate_speed", "1", "0");
    ASSERT_TRUE(slow.Set());
    const std::string before = MediumBytes(CD_DRIVE);
    ASSERT_NO_FATAL_FAILURE(CancelMidJobFromAnotherClient<IWriter2>(
        [&] { return writer2->BurnVideoCD(COOKIE, 706, com::Bstr(stream), 2); }, DM_BURNSTART, DM_BURNEND,
        IID_IWriter2));
    EXPECT_EQ(before, MediumBytes(CD_DRIVE));
}

// The disc layer builds the disc's raw image before its write begins: a
// cancel that comes at the start event, while a long stream is being laid
// out, still stops the job with the disc untouched.
TEST_F(VideoCdBurnJob, ACancelWhileTheImageIsBuiltStopsTheJobUntouched)
{
    Insert(2);
    WriteFileBytes(stream, MpegProgramStream(30000));  // some 70 MB
    com::ComPtr<IWriter2> other = OtherClientsWriter<IWriter2>(IID_IWriter2);
    ASSERT_TRUE(other);
    const std::string before = MediumBytes(CD_DRIVE);
    const size_t from = sink->Events().size();
    ASSERT_EQ(S_OK, StartBurn(false, stream));
    ASSERT_TRUE(sink->WaitFor(DM_BURNSTART, 10000));
    EXPECT_EQ(S_OK, other->Cancel());
    EXPECT_EQ(unsigned(E_FAIL), WaitEnd(DM_BURNEND, from));
    EXPECT_TRUE(All(DM_WRITEPROGRESS).empty()) << "no sector was written";
    EXPECT_TRUE(before == MediumBytes(CD_DRIVE));
}

TEST_F(VideoCdBurnJob, APathThatDoesNotFitThePathFieldIsRefusedWithoutAJob)
{
    const std::string longest = "C:\\" + std::string(255, 'v') + ".mpg";  // 262 characters
    for (const VideoCdFormat& f : FORMATS) {
        EXPECT_EQ(E_INVALIDARG, StartBurn(f.super, longest)) << f.name;
        EXPECT_EQ(E_INVALIDARG, StartBurn(f.super, "")) << f.name;
    }
    PumpFor(300);
    EXPECT_TRUE(JobEvents().empty());
}

}  // namespace
