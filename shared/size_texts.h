// Byte counts as the editors and the explorer show them; the caller passes the unit
// texts (translated), such as "Kb" and "Mb".
#pragma once
#include <windows.h>
#include <string>

// At most two divisions by 1,024 while the value exceeds 1,024, a blank
// before the last three digits of a longer number, then the unit of the
// divisions made: "1 000 Kb", "5 Mb", "512".
std::string FormatSizeShort(LONGLONG bytes, const std::string& unit1, const std::string& unit2);
// Every digit group of the exact count, then the short form in brackets:
// "1 234 567 (1 Mb)".
std::string FormatSizeLong(LONGLONG bytes, const std::string& unit1, const std::string& unit2);
