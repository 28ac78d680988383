#include <gtest/gtest.h>
#include "engine_services.h"
#include "vokmar_process.h"
#include <files.h>

namespace {

struct SwitchCase {
    const char* arguments;
    bool serves;              // runs its message loop until WM_CLOSE
    const char* logLine;      // written only by this switch, or null
};

const SwitchCase kCases[] = {
    {"-Embedding", true, nullptr},
    {"/embedding", true, nullptr},
    {"/Automation", true, nullptr},
    {"/RegServer", false, "Vokmar registration"},
    // The switch must be the whole rest of the line.
    {"-RegServer now", false, nullptr},
    {"-foo /bar", false, nullptr},
    {"", false, nullptr},
};

}  // namespace

TEST(EngineSwitches, ExitCodeWindowAndLogOfEachSwitch)
{
    StopEngine();
    for (const SwitchCase& c : kCases) {
        SCOPED_TRACE(c.arguments);
        DeleteFileA(EngineLogPath().c_str());
        VokmarRun run(c.arguments);
        ASSERT_TRUE(run.Started());
        if (c.serves) {
            HWND window = WaitForDevicesWindow(run.Pid(), 10000);
            ASSERT_NE(nullptr, window);
            EXPECT_EQ(STILL_ACTIVE, run.WaitExit(300)) << "a serving engine waits for its clients";
            PostMessageA(window, WM_CLOSE, 0, 0);
        }
        EXPECT_EQ(0u, run.WaitExit(10000));
        const std::string log = ReadFileBytes(EngineLogPath());
        EXPECT_NE(std::string::npos, log.find("Logger shutdown"));
        EXPECT_EQ(c.logLine != nullptr, log.find("Vokmar registration") != std::string::npos);
    }
}
