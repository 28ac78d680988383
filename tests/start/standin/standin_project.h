// A stand-in project type for the start module's tests: a registered
// component with IProject, IOwnWindow and ISysServiceBinder whose MDI child
// answers the frame's messages and tells what reached it, in its caption
// ("Stand-in: <event>") and as lines of the file named by the environment
// variable TB_STANDIN_EVENTS. Load fails for a file holding "damaged". The
// second type refuses the service named by TB_SECOND_STANDIN_REFUSES
// ("logger", "settings" or "translator").
#pragma once
#include <windows.h>

// {7A1F3C20-5B2E-4D8A-9E61-0C3B5A2F8D11}
DEFINE_GUID(CLSID_StandinProject, 0x7a1f3c20, 0x5b2e, 0x4d8a, 0x9e, 0x61, 0x0c, 0x3b, 0x5a, 0x2f, 0x8d, 0x11);
#define STANDIN_PROJECT_CLSID_TEXT "{7A1F3C20-5B2E-4D8A-9E61-0C3B5A2F8D11}"
#define STANDIN_PROJECT_SECTION "_7A1F3C20-5B2E-4D8A-9E61-0C3B5A2F8D11_"

// {7A1F3C20-5B2E-4D8A-9E61-0C3B5A2F8D12}
DEFINE_GUID(CLSID_SecondStandinProject, 0x7a1f3c20, 0x5b2e, 0x4d8a, 0x9e, 0x61, 0x0c, 0x3b, 0x5a, 0x2f, 0x8d, 0x12);
#define SECOND_STANDIN_PROJECT_CLSID_TEXT "{7A1F3C20-5B2E-4D8A-9E61-0C3B5A2F8D12}"
#define SECOND_STANDIN_PROJECT_SECTION "_7A1F3C20-5B2E-4D8A-9E61-0C3B5A2F8D12_"
