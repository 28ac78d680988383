#include "windows/engine_text.h"
#include <engine.h>
#include <shared/guid_text.h>
#include <shared/translator.h>
#include <com/module.h>

std::string EngineText(UINT id)
{
    std::string text = LookUpLangStr(GuidToString(CLSID_CoDevices), id);
    if (!text.empty()) return text;
    const char* own = nullptr;
    // Length 0 asks for a read-only pointer into the resource itself.
    const int length = LoadStringA(com::ModuleInstance(), id, reinterpret_cast<char*>(&own), 0);
    if (length > 0 && own) return std::string(own, static_cast<size_t>(length));
    char buffer[1024] = "";
    const int copied = LoadStringA(com::ModuleInstance(), id, buffer, sizeof(buffer));
    return std::string(buffer, copied > 0 ? static_cast<size_t>(copied) : 0);
}
