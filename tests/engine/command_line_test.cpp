#include <gtest/gtest.h>
#include "command_line.h"

TEST(EngineCommandLine, SwitchIsTheWholeRestOfTheLineAfterADashOrSlash)
{
    const struct {
        const char* line;
        EngineSwitch expected;
    } cases[] = {
        {"-Embedding", EngineSwitch::Run},
        {"/embedding", EngineSwitch::Run},
        {"-AUTOMATION", EngineSwitch::Run},
        {"/RegServer", EngineSwitch::RegServer},
        {"-unregserver", EngineSwitch::UnregServer},
        {"/RegServer now", EngineSwitch::None},
        {"-Embedding ", EngineSwitch::None},
        {"-foo -Embedding", EngineSwitch::Run},
        {"x/y-RegServer", EngineSwitch::RegServer},
        {"Embedding", EngineSwitch::None},
        {"", EngineSwitch::None},
        {nullptr, EngineSwitch::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line ? c.line : "(null)");
        EXPECT_EQ(c.expected, ParseEngineSwitch(c.line));
    }
}
