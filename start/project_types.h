// The registered project types: one subkey per type's class identifier
// (in braces) under HKEY_LOCAL_MACHINE\<"Application"/"RegProjectsSubkey">,
// ordered by the DWORD value "Order". Types without a readable order come
// after the others, in enumeration order; of two with the same order the
// first enumerated is listed.
#pragma once
#include <windows.h>
#include <map>
#include <string>

using CProjectTypeList = std::map<DWORD, std::string>;

DWORD ReadProjectOrder(HKEY projects, const std::string& subkey);
LONG EnumProjectTypes(const std::string& path, CProjectTypeList* list);
// The list of the key the common settings name.
CProjectTypeList RegisteredProjectTypes();
// The File > Open filter from the "ProjectsToOpen" section of the language
// file ("description|patterns" per type, the patterns blank-separated):
// "description (p1;p2)|p1;p2" per type in order, then all files; with two
// or more types an entry of every supported pattern goes first. Entries are
// separated by '|'.
std::string BuildOpenFilter(const CProjectTypeList& types, const std::string& languageFile,
                            const std::string& allFiles, const std::string& allSupported);
// The same for the application's own language file and texts.
std::string BuildOpenFilter(const CProjectTypeList& types);
