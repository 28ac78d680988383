#include "command_line.h"
#include <windows.h>

EngineSwitch ParseEngineSwitch(const char* arguments)
{
    static const struct {
        const char* name;
        EngineSwitch value;
    } kSwitches[] = {
        {"UnregServer", EngineSwitch::UnregServer},
        {"RegServer", EngineSwitch::RegServer},
        {"Automation", EngineSwitch::Run},
        {"Embedding", EngineSwitch::Run},
    };
    for (const char* p = arguments; p && *p; ++p) {
        if (*p != '-' && *p != '/') continue;
        for (const auto& s : kSwitches)
            if (lstrcmpiA(p + 1, s.name) == 0) return s.value;
    }
    return EngineSwitch::None;
}
