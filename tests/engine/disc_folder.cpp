#include "disc_folder.h"
#include <gtest/gtest.h>
#include <disc/disc_layer.h>
#include "vokmar_process.h"
#include <windows.h>
#include <fstream>
#include <sstream>

namespace {

std::string DrivesFolder(const std::string& data) { return data + "\\VirtualDrives\\"; }
std::string DrivesFolder() { return DrivesFolder(EngineDataFolder()); }

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return bool(out);
}

// What a drive's arrival or departure does to the folder's counter.
bool BumpStamp(const std::string& drives = DrivesFolder())
{
    std::string path = drives + "changes.stamp";
    unsigned long stamp = std::strtoul(ReadFile(path).c_str(), nullptr, 10);
    return WriteFile(path, std::to_string(stamp + 1) + "\n");
}

std::string ReplaceLine(const std::string& text, const std::string& key, const std::string& value)
{
    size_t at = text.find(key + "=");
    if (at == std::string::npos) return text;
    size_t end = text.find('\n', at);
    return text.substr(0, at) + key + "=" + value + text.substr(end);
}

}  // namespace

unsigned RunDiscTool(const std::string& arguments) { return RunDiscTool(EngineDataFolder(), arguments); }

unsigned RunDiscTool(const std::string& folder, const std::string& arguments)
{
    std::string program = VokmarPath();
    program = program.substr(0, program.find_last_of('\\') + 1) + "disc_tool.exe";
    std::string line = "\"" + program + "\" \"" + folder + "\" " + arguments;
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 0xFFFFFFFF;
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

bool AddDrive(const std::string& name, const std::string& address, char letter)
{
    std::string spec = ReadFile(DrivesFolder() + "drive1.drive");
    if (spec.empty()) return false;
    spec = ReplaceLine(spec, "address", address);
    spec = ReplaceLine(spec, "letter", std::string(1, letter));
    return WriteFile(DrivesFolder() + name + ".drive", spec) && BumpStamp();
}

bool RemoveDrive(const std::string& name)
{
    DeleteFileA((DrivesFolder() + name + ".medium").c_str());
    return DeleteFileA((DrivesFolder() + name + ".drive").c_str()) && BumpStamp();
}

BlankCdBack::~BlankCdBack()
{
    std::string medium = DrivesFolder() + "drive1.medium";
    if (GetFileAttributesA(medium.c_str()) == INVALID_FILE_ATTRIBUTES) RunDiscTool("insert F 2 359848");
}

bool SetDriveValue(const std::string& name, const std::string& key, const std::string& value)
{
    return SetDriveValue(EngineDataFolder(), name, key, value);
}

bool SetDriveValue(const std::string& folder, const std::string& name, const std::string& key,
                   const std::string& value)
{
    // The engine and the tool rewrite the file too (tray, medium stamp):
    // write until the value reads back.
    const std::string drives = DrivesFolder(folder);
    const std::string path = drives + name + ".drive", line = key + "=" + value + "\n";
    for (int attempt = 0; attempt < 50; ++attempt, Sleep(20)) {
        std::string spec = ReadFile(path);
        if (spec.empty()) continue;
        if (spec.find(line) == std::string::npos && !WriteFile(path, ReplaceLine(spec, key, value))) continue;
        if (ReadFile(path).find(line) != std::string::npos && BumpStamp(drives)) return true;
    }
    return false;
}

DriveValue::DriveValue(const char* key, const char* value, const char* restore)
    : m_key(key), m_restore(restore), m_set(SetDriveValue("drive1", key, value))
{
}

DriveValue::~DriveValue()
{
    EXPECT_TRUE(SetDriveValue("drive1", m_key, m_restore)) << m_key;
}

std::string MediumBytes(const std::string& name)
{
    return ReadFile(DrivesFolder() + name + ".medium") + "|" + ReadFile(DrivesFolder() + name + ".img");
}

LocalDiscLayer::LocalDiscLayer()
{
    char text[1024] = "";
    uint32_t systemError = 0;
    m_started = DiscLayer_Startup(m_folder.Path().c_str(), text, sizeof(text), &systemError) == DISC_OK;
    if (!m_started) m_error = text;
}

LocalDiscLayer::~LocalDiscLayer()
{
    if (!m_started) return;
    char text[1024] = "";
    uint32_t systemError = 0;
    DiscLayer_Shutdown(text, sizeof(text), &systemError);
}
