#include "prompts.h"
#include "resource.h"
#include <shared/translator.h>

namespace {

std::string CommonString(UINT id) { return LookUpLangStr(COMMON_LANG_SECTION, id); }

}  // namespace

UINT PromptStringId(UINT id)
{
    if (!CommonString(id).empty()) return id;
    if (id >= 0xF000 && id < 0xF1F0) return IDS_SYSTEM_PROMPT_FIRST + (id - 0xF000) / 16;
    if (id >= ID_FILE_MRU_FIRST && id <= ID_FILE_MRU_LAST) return IDS_MRU_PROMPT;
    if (id >= ID_MDI_FIRST_CHILD) return IDS_MDI_CHILD_PROMPT;
    return id;
}

std::string PromptText(UINT id)
{
    std::string text = CommonString(PromptStringId(id));
    return text.substr(0, text.find('\n'));
}
