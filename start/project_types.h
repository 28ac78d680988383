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
// file ("description|patterns" per type), followed by all files.
std::string BuildOpenFilter(const CProjectTypeList& types);
