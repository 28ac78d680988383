// The name rules of the user's file tree, also used by the editor frame.
// Texts are ANSI in a code page (the system's by default); a double-byte
// character's lead and trail bytes are never split.
#pragma once
#include <windows.h>
#include <string>

enum : int {
    NAME_VALID = 0,
    NAME_ILLEGAL_CHARACTER = 1,
    NAME_REQUIRED = 2,
    NAME_RESERVED = 3,
    NAME_TOO_LONG = 4,
};

const size_t MAX_NAME_BYTES = 260;
const size_t VOLUME_LABEL_BYTES = 12;

// Leading spaces, then trailing spaces and dots, removed.
std::string TrimName(const std::string& name, UINT codePage = CP_ACP);
// 0 for a name the disc takes, else the first rule it breaks (1-4).
int ValidateFileName(const std::string& name, UINT codePage = CP_ACP);
// The part after the last backslash, trailing backslashes ignored.
std::string FileNameOfPath(const std::string& path, UINT codePage = CP_ACP);
// At most `bytes` bytes of the text, ending before a lead byte whose trail
// would be cut off.
std::string CutToBytes(const std::string& text, size_t bytes, UINT codePage = CP_ACP);
// The name's key for "the same name": every character of the code page
// upper-cased as the engine's file tree compares names (UTF-16, the
// system's case mapping), so that "é.txt" and "É.txt" are one name.
std::string FoldCase(const std::string& name, UINT codePage = CP_ACP);
bool EqualNoCase(const std::string& a, const std::string& b);
// The sorting order: A-Z equal to a-z, byte by byte.
int CompareNoCase(const std::string& a, const std::string& b);
