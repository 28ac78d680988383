// The image burn job on the engine's virtual drives, seen from a client
// process: ISO files become one track equal to the file, CUE sheets their
// layout; what the job asks, and what it refuses without touching the disc.
#include <gtest/gtest.h>
#include "job_client.h"
#include "event_sequence.h"
#include "mpeg_program_stream.h"
#include "unix_tools.h"
#include <functional>
#include <string>
#include <vector>

namespace {

class ImageBurnJob : public EngineJob {
protected:
    // Starts the image burn and waits for its end; the end's result.
    unsigned BurnImage(const std::string& path, unsigned lastArgument = 2, unsigned speed = 0xFFFF)
    {
        const size_t before = sink->Events().size();
        EXPECT_EQ(S_OK, writer->BurnImage(COOKIE, speed, com::Bstr(path), lastArgument));
        return WaitEnd(DM_BURNEND, before);
    }
    // An ISO 9660 image of one file of `size` pattern bytes, made by
    // genisoimage; its Windows path.
    std::string MakeIso(const std::string& name, size_t size)
    {
        const std::string folder = files.File("iso_source");
        CreateDirectoryA(folder.c_str(), nullptr);
        WriteFileBytes(folder + "\\data.bin", Pattern(size));
        const std::string iso = files.File(name);
        RunUnix("genisoimage -quiet -V IMAGEJOB -o '" + UnixPath(iso) + "' '" + UnixPath(folder) + "' && echo ok");
        EXPECT_TRUE(FileExists(iso)) << iso;
        return iso;
    }
};

TEST_F(ImageBurnJob, AnIsoFileInAnyLetterCaseBecomesOneTrackEqualToTheFile)
{
    for (const char* name : {"image.iso", "IMAGE.ISO"}) {
        SCOPED_TRACE(name);
        Insert(2);
        const size_t from = sink->Events().size();
        // Not a whole number of blocks: the last one is padded.
        const std::string iso = MakeIso(name, 300 * 1024 + 5);
        ASSERT_EQ(0u, BurnImage(iso));
        const std::vector<unsigned> messages = JobMessages(from);
        ASSERT_GE(messages.size(), 5u);
        EXPECT_TRUE(SameEvents({DM_BURNPREPARE, S_OPC, S_BUP, DM_BURNSTART},
                               std::vector<unsigned>(messages.begin(), messages.begin() + 4)));
        EXPECT_EQ(unsigned(DM_BURNEND), messages.back());
        EXPECT_EQ(100u << 16, All(DM_WRITEPROGRESS).back());
        const std::string disc = ExportDisc();
        EXPECT_EQ("same\n", RunUnix("cmp -s -n $(stat -c %s '" + UnixPath(iso) + "') '" + UnixPath(iso) + "' '" +
                                    disc + "' && echo same"));
        EXPECT_NE(std::string::npos, RunUnix("isoinfo -d -i '" + disc + "'").find("Volume id: IMAGEJOB"));
    }
}

// A CUE sheet of a data track and an audio track with its pregap, both
// BIN files made here: the disc has the sheet's two tracks.
TEST_F(ImageBurnJob, ACueSheetWithDataAndAudioTracksIsWrittenSessionAtOnce)
{
    Insert(2);
    const std::string iso = MakeIso("data.bin", 100 * 1024);
    WriteFileBytes(files.File("audio.bin"), Pattern(2352 * 300));
    const std::string cue = files.File("disc.cue");
    WriteFileBytes(cue, "FILE \"data.bin\" BINARY\r\n  TRACK 01 MODE1/2048\r\n    INDEX 01 00:00:00\r\n"
                        "FILE \"audio.bin\" BINARY\r\n  TRACK 02 AUDIO\r\n    PREGAP 00:02:00\r\n"
                        "    INDEX 01 00:00:00\r\n");
    ASSERT_EQ(0u, BurnImage(cue));
    EXPECT_EQ(2u, TrackCount());
    // The disc's raw sectors with their own sheet, split by bchunk: the data
    // track's user data and the audio track's samples are the sources.
    const std::string raw = exported.File("readback");
    ASSERT_EQ(0u, RunDiscTool("export-raw F \"" + raw + "\""));
    const std::string sheet = ReadFileBytes(raw + ".cue");
    EXPECT_NE(std::string::npos, sheet.find("TRACK 01 MODE1/2352")) << sheet;
    EXPECT_NE(std::string::npos, sheet.find("TRACK 02 AUDIO")) << sheet;
    const std::string folder = UnixPath(exported.Path());
    const std::string split = RunUnix("cd '" + folder + "' && bchunk readback.bin readback.cue part >/dev/null 2>&1; "
                                      "cmp -s part01.iso '" + UnixPath(iso) + "' && echo data; "
                                      "cmp -s part02.cdr '" + UnixPath(files.File("audio.bin")) + "' && echo audio");
    EXPECT_EQ("data\naudio\n", split) << sheet;
}

TEST_F(ImageBurnJob, WhatTheJobRefusesLeavesTheMediumUntouched)
{
    struct Case {
        const char* name;
        unsigned type, blocks, answer, result;
        std::vector<unsigned> questions;
    };
    const std::string iso = MakeIso("big.iso", 1024 * 1024);
    WriteFileBytes(files.File("notes.txt"), "neither an ISO image nor raw sectors\n");
    WriteFileBytes(files.File("big.cue"), "FILE \"big.iso\" BINARY\r\n  TRACK 01 MODE1/2048\r\n"
                                          "    INDEX 01 00:00:00\r\n");
    const Case cases[] = {
        // 300 blocks for some 520: another disc, declined.
        {"big.iso", 2, 300, 0, CANCELLED, {ASK_NOT_ENOUGH_SPACE}},
        // The same sectors as a sheet: refused before the first byte.
        {"big.cue", 2, 300, 1, unsigned(E_FAIL), {}},
        // No image the layer takes: the write fails before its first byte.
        {"notes.txt", 2, 359848, 1, unsigned(E_FAIL), {}},
        {"missing.iso", 2, 359848, 1, unsigned(E_FAIL), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Insert(c.type, c.blocks);
        const std::string before = MediumBytes(CD_DRIVE);
        const size_t from = sink->Events().size();
        sink->SetAnswer(c.answer);
        EXPECT_EQ(c.result, BurnImage(files.File(c.name)));
        sink->SetAnswer(1);
        EXPECT_EQ(c.questions, Questions(from));
        EXPECT_EQ(before, MediumBytes(CD_DRIVE));
    }
}

// An image replaces a rewritable disc's content: an appendable one is asked
// about as a finalized one is; declined, the erase status and the result.
TEST_F(ImageBurnJob, AnAppendableRewritableDiscAsksForTheEraseAndDeclinedIsLeftAsItWas)
{
    Insert(3);
    ASSERT_EQ(0u, Burn(FixtureTree()));
    const std::string iso = MakeIso("image.iso", 64 * 1024);
    const std::string before = MediumBytes(CD_DRIVE);
    const size_t from = sink->Events().size();
    sink->SetAnswer(0);
    EXPECT_EQ(CANCELLED, BurnImage(iso));
    sink->SetAnswer(1);
    EXPECT_TRUE(
        SameEvents({DM_BURNPREPARE, DM_QUESTION, StatusCode(ST_ERASE_DECLINED), DM_BURNEND}, JobMessages(from)));
    EXPECT_EQ(std::vector<unsigned>{ASK_ERASE_FINALIZED}, Questions(from));
    EXPECT_EQ(before, MediumBytes(CD_DRIVE));
}

// A question that has the user change the disc comes with the tray
// unlocked: the user opens it through the device, puts a blank disc in and
// closes it, and the yes writes the new disc.
TEST_F(ImageBurnJob, TheDiscCanBeChangedThroughTheDeviceWhileAQuestionAsksForAnother)
{
    struct Case {
        const char* name;
        unsigned question;
        std::function<void()> prepare;
        std::function<HRESULT()> start;
    };
    const std::string iso = MakeIso("big.iso", 1024 * 1024);
    const std::string stream = files.File("movie.mpg");
    WriteFileBytes(stream, MpegProgramStream(400));
    com::ComPtr<IWriter2> writer2;
    ASSERT_EQ(S_OK, device->QueryInterface(IID_IWriter2, reinterpret_cast<void**>(&writer2)));
    const Case cases[] = {
        {"an image too large for the disc", ASK_NOT_ENOUGH_SPACE, [&] { Insert(2, 300); },
         [&] { return writer->BurnImage(COOKIE, 0xFFFF, com::Bstr(iso), 2); }},
        {"a Video CD on a written CD-R", ASK_NEED_BLANK,
         [&] {
             Insert(2);
             ASSERT_EQ(0u, Burn(FixtureTree()));
         },
         [&] { return writer2->BurnVideoCD(COOKIE, 0xFFFF, com::Bstr(stream), 2); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(c.prepare());
        HRESULT ejected = E_FAIL, loaded = E_FAIL;
        sink->OnQuestion([&](unsigned) {
            ejected = device->Eject();
            RunDiscTool("insert F 2");
            loaded = device->Load();
        });
        const size_t from = sink->Events().size();
        ASSERT_EQ(S_OK, c.start());
        EXPECT_EQ(0u, WaitEnd(DM_BURNEND, from));
        sink->OnQuestion(nullptr);
        EXPECT_EQ(std::vector<unsigned>{c.question}, Questions(from));
        EXPECT_EQ(S_OK, ejected);
        EXPECT_EQ(S_OK, loaded);
        EXPECT_GE(TrackCount(), 1u);
    }
}

// A drive that does not write session-at-once has no way to write raw
// sectors: the sheet is refused with the disc untouched.
TEST_F(ImageBurnJob, ARawImageOnADriveWithoutSessionAtOnceEndsFailedUntouched)
{
    Insert(2);
    const std::string iso = MakeIso("data.bin", 100 * 1024);
    const std::string cue = files.File("disc.cue");
    WriteFileBytes(cue, "FILE \"data.bin\" BINARY\r\n  TRACK 01 MODE1/2048\r\n    INDEX 01 00:00:00\r\n");
    DriveValue noSessionAtOnce("write_modes", "0x1D", "0x1F");
    ASSERT_TRUE(noSessionAtOnce.Set());
    const std::string before = MediumBytes(CD_DRIVE);
    EXPECT_EQ(unsigned(E_FAIL), BurnImage(cue));
    EXPECT_EQ(before, MediumBytes(CD_DRIVE));
}

TEST_F(ImageBurnJob, APathThatDoesNotFitThePathFieldIsRefusedWithoutAJob)
{
    const std::string longest = "C:\\" + std::string(255, 'a') + ".iso";  // 262 characters
    EXPECT_EQ(E_INVALIDARG, writer->BurnImage(COOKIE, 0xFFFF, com::Bstr(longest), 2));
    EXPECT_EQ(E_INVALIDARG, writer->BurnImage(COOKIE, 0xFFFF, nullptr, 2));
    PumpFor(300);
    EXPECT_TRUE(JobEvents().empty());
}

// The cancel goes to the drive, not to one handle: a second client's
// device object stops the first one's write.
TEST_F(ImageBurnJob, CancelThroughAnotherHandleEndsTheWriteAtOnce)
{
    Insert(2);
    const std::string iso = MakeIso("slow.iso", 12 * 1024 * 1024);
    DriveValue slow("emulate_speed", "1", "0");
    ASSERT_TRUE(slow.Set());
    const std::string before = MediumBytes(CD_DRIVE);
    ASSERT_NO_FATAL_FAILURE(CancelMidJobFromAnotherClient<IWriter>(
        [&] { return writer->BurnImage(COOKIE, 706, com::Bstr(iso), 2); }, DM_BURNSTART, DM_BURNEND, IID_IWriter));
    EXPECT_EQ(before, MediumBytes(CD_DRIVE));
}

}  // namespace
