// The drives in the data folder: the default set, changes made by the console
// tool in another process, tray moves and export.
#include "disc_test_support.h"

namespace disc_test {
namespace {

class DriveFolder : public DiscTest {};

uint32_t collect(uint32_t reason, void* context, void* p1, void*) {
    if (reason == DISC_CB_DEVICE_FOUND) {
        auto* a = static_cast<DiscDeviceAddress*>(p1);
        static_cast<std::vector<uint32_t>*>(context)->push_back(a->port | a->bus << 8 | a->target << 16 | a->lun << 24);
    }
    return 0;
}

TEST_F(DriveFolder, FreshFolderHasADvdWriterAndACdWriterWithBlankMedia) {
    std::vector<uint32_t> ids;
    EXPECT_EQ(DiscLayer_FindDevices(5, 0, collect, &ids), 2u);
    EXPECT_EQ(ids, (std::vector<uint32_t> {0x00000001u, 0x00010001u}));
    char letter[4];
    ASSERT_EQ(DiscLayer_GetDriveLetter(1, 0, 0, 0, letter, sizeof letter), 0);
    EXPECT_STREQ(letter, "E");
    struct Case { DiscDeviceAddress address; uint32_t type; uint32_t maxWrite; };
    for (const Case& c : {Case {kDvd, DISC_MT_DVD_RW_SEQ, 22160}, Case {kCd, DISC_MT_CD_R, 7056}}) {
        DiscHandle g = grabber(c.address);
        Frame f;
        uint32_t type = 0, r, mr, w, mw;
        ASSERT_EQ(Grabber_GetDiscType(g, GF(f), &type), 0);
        EXPECT_EQ(type, c.type);
        ASSERT_EQ(Grabber_SetSpeeds(g, GF(f), 176, 1000), 0);
        ASSERT_EQ(Grabber_GetSpeeds(g, GF(f), &r, &mr, &w, &mw), 0);
        EXPECT_EQ(mw, c.maxWrite);
        EXPECT_LE(w, 1000u + (type == DISC_MT_CD_R ? 0 : 3324));
        DiscInformation info {};
        ASSERT_EQ(Grabber_GetDiscInformation(g, GF(f), &info), 0);
        EXPECT_EQ(info.discStatus, DISC_STATUS_BLANK);
    }
}

TEST_F(DriveFolder, ToolChangesAndTrayMovesAreNoticed) {
    DiscHandle g = grabber(kCd);
    Frame f;
    uint32_t stamp = DiscLayer_GetChangeStamp(), medium = 0, type = 0;
    ASSERT_EQ(DiscLayer_GetMediumStamp(1, 0, 1, 0, &medium), 0);
    tool("eject F");
    EXPECT_NE(DiscLayer_GetChangeStamp(), stamp);
    ASSERT_EQ(Grabber_GetDiscType(g, GF(f), &type), 0);
    EXPECT_EQ(type, uint32_t(DISC_MT_NO_MEDIA));
    EXPECT_EQ(Grabber_TestUnitReady(g, GF(f), 30), DISC_E_NOT_READY);
    tool("insert F 3");
    ASSERT_EQ(Grabber_GetDiscType(g, GF(f), &type), 0);
    EXPECT_EQ(type, uint32_t(DISC_MT_CD_RW));
    uint32_t after = 0;
    ASSERT_EQ(DiscLayer_GetMediumStamp(1, 0, 1, 0, &after), 0);
    EXPECT_EQ(after, medium + 2);
    ASSERT_EQ(Grabber_Eject(g, GF(f)), 0);
    EXPECT_EQ(Grabber_TestUnitReady(g, GF(f), 30), DISC_E_NOT_READY);
    EXPECT_NE(tool("list").find("tray open"), std::string::npos) << "another process sees the open tray";
    ASSERT_EQ(Grabber_Load(g, GF(f)), 0);
    EXPECT_EQ(Grabber_TestUnitReady(g, GF(f), 30), 0);
}

// A fault armed by the tool from another process fails the drive's next
// operation of its kind once; a drive that offers one kind of erase refuses
// the other.
TEST_F(DriveFolder, ToolFaultsFailTheNextOperationOnceAndEraseKindsAreTheDrives) {
    DiscHandle before = grabber(kCd);
    Frame f;
    tool("fault F StarBurn_CdvdBurnerGrabber_SetSpeeds 9");
    // A fault from outside is for the next job's handles, not for one that
    // was there before it (as the engine's own handle of a drive is).
    EXPECT_EQ(Grabber_SetSpeeds(before, GF(f), 0xFFFF, 0xFFFF), 0);
    DiscHandle g = grabber(kCd);
    EXPECT_EQ(Grabber_SetSpeeds(g, GF(f), 0xFFFF, 0xFFFF), 9);
    EXPECT_STREQ(f.text, "injected failure");
    EXPECT_EQ(Grabber_SetSpeeds(g, GF(f), 0xFFFF, 0xFFFF), 0) << "once";
    tool("fault F 24 4");  // by number: the close of a session
    DiscHandle next = grabber(kCd);
    EXPECT_EQ(Grabber_CloseSession(next, GF(f)), 4);

    const std::string driveFile = (data_ / "VirtualDrives" / "drive1.drive").string();
    struct Case { const char* modes; uint32_t quick; int result; };
    for (const Case& c : {Case {"1", 0, DISC_E_NOT_SUPPORTED}, Case {"1", 1, 0}, Case {"2", 1, DISC_E_NOT_SUPPORTED},
                          Case {"2", 0, 0}}) {
        SCOPED_TRACE(std::string(c.modes) + (c.quick ? " quick" : " full"));
        std::string spec = readFile(driveFile);
        const size_t at = spec.find("blank_modes=");
        ASSERT_NE(at, std::string::npos);
        spec.replace(at, spec.find('\n', at) - at, std::string("blank_modes=") + c.modes);
        writeSource("../data/VirtualDrives/drive1.drive", spec);
        tool("insert F 3");  // a rewritable disc; the layer reloads the drive
        EXPECT_EQ(Grabber_Blank(g, GF(f), c.quick), c.result);
    }
}

// The engine locks the tray for a job, possibly through another handle of
// the drive than the one that ejects.
TEST_F(DriveFolder, LockedTrayStaysShutUntilReleased) {
    DiscHandle job = grabber(kCd), user = grabber(kCd), other = grabber(kCd);
    Frame f;
    ASSERT_EQ(Grabber_Lock(job, GF(f)), 0);
    ASSERT_EQ(Grabber_Lock(job, GF(f)), 0);
    EXPECT_EQ(Grabber_Eject(user, GF(f)), DISC_E_LOCKED);
    EXPECT_EQ(f.failure.code, uint32_t(DISC_E_LOCKED));
    EXPECT_EQ(Grabber_Release(user, GF(f)), 0) << "a handle without locks releases nothing";
    EXPECT_EQ(Grabber_Release(job, GF(f)), 0);
    EXPECT_EQ(Grabber_Eject(user, GF(f)), DISC_E_LOCKED) << "locks count";
    EXPECT_EQ(Grabber_TestUnitReady(user, GF(f), 30), 0) << "the tray stayed shut";
    EXPECT_EQ(Grabber_Release(job, GF(f)), 0);
    EXPECT_EQ(Grabber_Eject(user, GF(f)), 0);
    ASSERT_EQ(Grabber_Load(user, GF(f)), 0);

    ASSERT_EQ(Grabber_Lock(other, GF(f)), 0);
    EXPECT_EQ(Grabber_Eject(user, GF(f)), DISC_E_LOCKED);
    ASSERT_EQ(DiscHandle_Destroy(&other), 0);
    EXPECT_EQ(Grabber_Eject(user, GF(f)), 0) << "a destroyed handle's locks go with it";
}

TEST_F(DriveFolder, PressedIsoExportsByteForByte) {
    std::string content(2048 * 30, '\0');
    for (size_t i = 0; i < content.size(); ++i) content[i] = char(i * 7);
    std::string iso = writeSource("disc.iso", content);
    tool("press drive0 " + iso);
    EXPECT_EQ(md5(readFile(exportMedium("drive0"))), md5(content));
}

}  // namespace
}  // namespace disc_test
