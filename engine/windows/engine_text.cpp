#include "windows/engine_text.h"
#include <engine.h>
#include <shared/guid_text.h>
#include <shared/translator.h>
#include <com/module.h>

std::string EngineText(UINT id)
{
    std::string text = LookUpLangStr(GuidToString(CLSID_CoDevices), id);
    if (!text.empty()) return text;
    char own[1024] = "";  // the engine's longest text is its Unload question
    const int length = LoadStringA(com::ModuleInstance(), id, own, sizeof(own));
    return std::string(own, length > 0 ? static_cast<size_t>(length) : 0);
}
