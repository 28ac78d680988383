// The texts of the data editor's dialogs: the language file's entry (the
// editor's section, then the common one) when there is one, else the
// program's own.
#pragma once
#include <string>

enum : unsigned {
    // Common texts of every component.
    IDS_COMMON_OK = 14,
    IDS_COMMON_CANCEL = 15,
    IDS_COMMON_NEXT = 16,
    IDS_COMMON_FINISH = 18,
    IDS_COMMON_KB = 22,
    IDS_COMMON_MB = 23,
    // The dialogs' own.
    IDS_ENTRY_NAME = 8199,
    IDS_NO_SESSION_TO_IMPORT = 8211,
    IDS_ENTRY_PATH = 8212,
    IDS_ENTRY_CHOICE_TITLE = 8213,
    IDS_NEW_PROJECT = 8222,
    IDS_DISC = 8223,
    IDS_BEGIN_NEW_DISC = 8224,
    IDS_CONTINUE_DISC = 8225,
    IDS_FINALIZE_AFTER_BURN = 8226,
    IDS_SESSIONS = 8227,
    IDS_DEVICE = 8228,
    IDS_MEDIA_TYPE = 8237,
    IDS_NO_MEDIA = 8238,
    IDS_UNKNOWN = 8239,
    IDS_USED_SPACE = 8240,
    IDS_TOTAL_SPACE = 8241,
    IDS_FREE_SPACE = 8242,
    IDS_SESSION = 8243,
    IDS_TRACK = 8244,
    IDS_STOP = 8245,
    IDS_FILES_PROCESSING = 8246,
};

// The program's own text of a dialog, or "" for a number it does not know.
const char* DialogBuiltInText(unsigned id);
std::string DialogText(unsigned id);
// "<label> <value>": the forms the device dialog's lines take.
std::string LabelledText(unsigned label, const std::string& value);
