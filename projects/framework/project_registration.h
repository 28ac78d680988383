// What the installer writes for each project type: the registered-type key
// "<CompanyMainRegPath>\<app>\Projects\{CLSID}" of the local machine with
// its DWORD "Order", and the entry of the language file's "ProjectsToOpen"
// section ("description|patterns") that the File > Open dialog offers.
#pragma once
#include <windows.h>
#include <string>

struct ProjectTypeRegistration {
    std::string clsid;        // braced, as "{2EECB0E1-0EE1-4541-87B1-D135261D0108}"
    DWORD order;
    std::string description;  // "Data CD/DVD project"
    std::string patterns;     // blank-separated, as "*.qvdata"
};

// `projectsKey` is the path under HKEY_LOCAL_MACHINE ("SOFTWARE\Tavell
// software\<app>\Projects"), `languageFile` the application's .lng file.
HRESULT RegisterProjectType(const std::string& projectsKey, const std::string& languageFile,
                            const ProjectTypeRegistration& type);
