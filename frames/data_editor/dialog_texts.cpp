#include "dialog_texts.h"
#include "data_project_classes.h"
#include <shared/guid_text.h>
#include <shared/translator.h>

const char* DialogBuiltInText(unsigned id)
{
    switch (id) {
    case IDS_COMMON_OK: return "OK";
    case IDS_COMMON_CANCEL: return "Cancel";
    case IDS_COMMON_NEXT: return "Next >";
    case IDS_COMMON_FINISH: return "Finish";
    case IDS_COMMON_KB: return "Kb";
    case IDS_COMMON_MB: return "Mb";
    case IDS_ENTRY_NAME: return "Name";
    case IDS_NO_SESSION_TO_IMPORT: return "No session to import. Please insert another medium and try again.";
    case IDS_ENTRY_PATH: return "Path";
    case IDS_ENTRY_CHOICE_TITLE: return "Data image viewer";
    case IDS_NEW_PROJECT: return "New project";
    case IDS_DISC: return "Disc:";
    case IDS_BEGIN_NEW_DISC: return "Begin new disc";
    case IDS_CONTINUE_DISC: return "Continue multisession disc";
    case IDS_FINALIZE_AFTER_BURN: return "Finalize after burn";
    case IDS_SESSIONS: return "Sessions:";
    case IDS_DEVICE: return "Device:";
    case IDS_MEDIA_TYPE: return "Media type:";
    case IDS_NO_MEDIA: return "No media";
    case IDS_UNKNOWN: return "Unknown";
    case IDS_USED_SPACE: return "Used space:";
    case IDS_TOTAL_SPACE: return "Total space:";
    case IDS_FREE_SPACE: return "Free space:";
    case IDS_SESSION: return "Session";
    case IDS_TRACK: return "Track";
    case IDS_STOP: return "Stop";
    case IDS_FILES_PROCESSING: return "Files processing";
    default: return "";
    }
}

std::string DialogText(unsigned id)
{
    std::string text = LookUpLangStr(GuidToString(CLSID_CoNostrine), id);
    return text.empty() ? DialogBuiltInText(id) : text;
}

std::string LabelledText(unsigned label, const std::string& value) { return DialogText(label) + " " + value; }
