#include <gtest/gtest.h>
#include "engine_services.h"
#include "vokmar_process.h"
#include <files.h>

namespace {

const char* const kCommon = "[00000000-0000-0000-C000-000000000046]";

// Runs the engine without a switch (it starts, revokes and ends).
void RunEngineOnce()
{
    VokmarRun run("");
    ASSERT_TRUE(run.Started());
    ASSERT_EQ(0u, run.WaitExit(10000));
}

}  // namespace

TEST(EngineLog, StartAndShutDownAreLoggedInOrder)
{
    StopEngine();
    DeleteFileA(EngineLogPath().c_str());
    RunEngineOnce();
    const std::string log = ReadFileBytes(EngineLogPath());
    const size_t logger = log.find("Logger initialized");
    const size_t translator = log.find("Translator initialized");
    const size_t shutdown = log.find("Logger shutdown");
    ASSERT_NE(std::string::npos, logger);
    ASSERT_NE(std::string::npos, translator);
    ASSERT_NE(std::string::npos, shutdown);
    EXPECT_LT(logger, translator);
    EXPECT_LT(translator, shutdown);
    EXPECT_NE(std::string::npos, EngineLogPath().find("\\Tavell Software\\Vokmar\\Vokmar.log"));

    // The list revoked at once still lets its first scan end before it
    // shuts the disc layer down.
    const size_t scanned = log.find("\tCD/DVD devices found: 2");
    const size_t scanEnd = log.find("<= CCoDevices _ReScanDevices()");
    const size_t released = log.find("<= CCoDevices FinalRelease()");
    ASSERT_NE(std::string::npos, scanned);
    ASSERT_NE(std::string::npos, scanEnd);
    ASSERT_NE(std::string::npos, released);
    EXPECT_LT(scanned, scanEnd);
    EXPECT_LT(scanEnd, released);
    EXPECT_LT(released, shutdown);
}

TEST(EngineLanguageFile, IsMadeBesideTheProgramAndKeepsTranslatedEntries)
{
    StopEngine();
    const std::string path = EngineLanguagePath();
    EXPECT_EQ(VokmarPath().substr(0, VokmarPath().size() - 10) + "Vokmar.lng", path);
    struct Case {
        const char* name;
        std::string seed;           // empty: no file
        const char* tip;            // string 1 afterwards
    } cases[] = {
        {"missing file", "", "0x00001=Tavell software Vokmar"},
        {"translated tip", std::string(kCommon) + "\r\n0x00001=Vokmar translated\r\n", "0x00001=Vokmar translated"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(path.c_str());
        if (!c.seed.empty()) WriteFileBytes(path, c.seed);
        RunEngineOnce();
        const std::string lng = ReadFileBytes(path);
        EXPECT_NE(std::string::npos, lng.find(kCommon));
        EXPECT_NE(std::string::npos, lng.find(c.tip));
        EXPECT_NE(std::string::npos, lng.find("0x00004=Scanning devices"));
        EXPECT_NE(std::string::npos, lng.find("0x00023=No media"));
    }
    DeleteFileA(path.c_str());
}
