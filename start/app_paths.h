// Where the start module finds itself and keeps its files.
#pragma once
#include <windows.h>
#include <string>

// The maker's name: the folder under the common application data, the
// registry root and the default copyright holder.
extern const char* const MAKER_NAME;  // "Tavell software"

// The running program's folder followed by "\".
std::string GetProgramFolder();
// The folder of the running program file without a trailing backslash;
// false when the program's own file cannot be found.
bool FindProgramFolder(std::string* folder);
// The base name of the first "*.apptype" file in `folder`; false for none.
bool FindApplicationName(const std::string& folder, std::string* name);
// The data folder: the common application-data folder (else the program
// folder), "\", the maker's name, "\", the application name and "\".
std::string DataFolder(const std::string& programFolder, const std::string& application);
