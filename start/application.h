// CApplication: the start module's start-up (constructor) and shut-down
// (destructor). Start-up creates the services, finds the application's
// identity and data folder, opens the log, language and settings files and
// publishes the common settings; a failure throws a CStartupError with the
// text the user is shown.
#pragma once
#include <windows.h>
#include <string>

class CStartupError {
public:
    explicit CStartupError(const char* text) : m_text(text) {}
    const char* Text() const { return m_text; }
private:
    const char* m_text;
};

// The main frame's window class, found by name at shut-down.
extern const char* const MAIN_FRAME_CLASS;  // "TessalyWindowClassT"
// The engine's hidden window class.
extern const char* const ENGINE_WINDOW_CLASS;  // "DevicesWindow"

class CApplication {
public:
    explicit CApplication(HINSTANCE instance);
    ~CApplication();
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    const std::string& ProgramFolder() const { return m_programFolder; }
    const std::string& Name() const { return m_name; }
    const std::string& DataFolder() const { return m_dataFolder; }

    static void SetCommonString(const char* key, const char* tag, const char* text);
    static void SetCommonDword(const char* key, const char* tag, DWORD value);

private:
    void CreateServices();
    void FindIdentity();
    void InitFiles(HINSTANCE instance);
    void PublishSettings();

    std::string m_programFolder;  // without a trailing backslash
    std::string m_name;
    std::string m_dataFolder;     // with a trailing backslash
};

// Asks the engine to close when no main frame of the application is left.
void CloseEngineIfLastInstance();
