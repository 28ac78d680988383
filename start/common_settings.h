// Values of the common settings section that every component reads.
#pragma once
#include <windows.h>
#include <string>

// Write one value of the common section; failures are ignored.
void SetCommonString(const char* key, const char* tag, const char* text);
void SetCommonDword(const char* key, const char* tag, DWORD value);

std::string GetCommonString(const char* key, const char* tag, const char* def);
DWORD GetCommonDword(const char* key, const char* tag, DWORD def);
// The registry key of the recent-file list the project types share:
// "<CompanyMainRegPath>\<application>\Recent Document List" under HKCU.
std::string RecentFilesRegistryKey();
