// GUID texts: language-file section names and framed element names.
#pragma once
#include <windows.h>
#include <string>

// "%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X": upper-case, no braces.
std::string GuidToString(REFGUID guid);
// The same text framed by underscores (an XML element may not start with a digit).
std::string GuidToSectionName(REFGUID guid);
