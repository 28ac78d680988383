// The engine's drives seen from a test: its data folder in the prefix and
// the console tool that changes them, as another process would.
#pragma once
#include "files.h"
#include <shared/folders.h>
#include <string>

// The folder the engine starts the disc layer on: EngineDataFolder()
// of <shared/folders.h>.
// Runs disc_tool.exe (beside the test program) on that folder; its exit code.
unsigned RunDiscTool(const std::string& arguments);
// The same on another data folder (no trailing backslash).
unsigned RunDiscTool(const std::string& folder, const std::string& arguments);
// A drive copied from drive1's description under a new name, address and
// letter, or taken away again; both raise the folder's change stamp.
bool AddDrive(const std::string& name, const std::string& address, char letter);
bool RemoveDrive(const std::string& name);

// The disc layer started in this process on a fresh data folder of its own
// (the drives a fresh folder has), shut down when the scope ends.
class LocalDiscLayer {
public:
    LocalDiscLayer();
    ~LocalDiscLayer();
    LocalDiscLayer(const LocalDiscLayer&) = delete;
    LocalDiscLayer& operator=(const LocalDiscLayer&) = delete;
    bool Started() const { return m_started; }
    // The layer's text when the start failed.
    const std::string& Error() const { return m_error; }
    const std::string& Folder() const { return m_folder.Path(); }

private:
    TempFolder m_folder;
    bool m_started = false;
    std::string m_error;
};

// Puts a blank CD-R back into drive F when it leaves scope.
class BlankCdBack {
public:
    BlankCdBack() = default;
    ~BlankCdBack();
    BlankCdBack(const BlankCdBack&) = delete;
    BlankCdBack& operator=(const BlankCdBack&) = delete;
};

// Sets one value of a drive's description ("emulate_speed", "write_caps"),
// as a changed drive file would; the folder's change stamp rises.
bool SetDriveValue(const std::string& name, const std::string& key, const std::string& value);

// A value of drive F's description (the CD writer, "drive1") for a scope;
// the restore value is put back, and checked, when it ends.
class DriveValue {
public:
    DriveValue(const char* key, const char* value, const char* restore);
    ~DriveValue();
    DriveValue(const DriveValue&) = delete;
    DriveValue& operator=(const DriveValue&) = delete;
    bool Set() const { return m_set; }

private:
    const char *m_key, *m_restore;
    bool m_set;
};
// The same in another data folder (no trailing backslash).
bool SetDriveValue(const std::string& folder, const std::string& name, const std::string& key,
                   const std::string& value);
// The bytes of a drive's medium: its description and its image.
std::string MediumBytes(const std::string& name);
