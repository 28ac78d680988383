#include "logger.h"
#include <shared/folders.h>
#include <shared/log.h>
#include <com/guard.h>
#include <com/text.h>
#include <cstdio>
#include <vector>

namespace {

const DWORD kLogLimit = 0x80000;  // 524,288 bytes
const std::string kRule(67, '=');

bool WriteAll(HANDLE file, const char* data, DWORD size)
{
    DWORD written = 0;
    return WriteFile(file, data, size, &written, nullptr) && written == size;
}

std::string WindowsVersionHeader()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    GetVersionExA(&info);
    char text[512];
    std::snprintf(text, sizeof(text), "Windows version - %i.%i Build %i %s %s\r\n",
                  static_cast<int>(info.dwMajorVersion), static_cast<int>(info.dwMinorVersion),
                  static_cast<int>(info.dwBuildNumber),
                  info.dwPlatformId == VER_PLATFORM_WIN32_NT ? "NT" : "9x", info.szCSDVersion);
    return text;
}

}  // namespace

HRESULT TrimLogFile(HANDLE file)
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) return E_FAIL;
    if (size.QuadPart <= kLogLimit) return S_OK;

    // Only the tail can be kept, so only the tail is read: the last
    // 524,287 bytes, from the first line end in them. A log of any size is
    // trimmed with the same half megabyte of memory.
    const DWORD tailLength = kLogLimit - 1;
    std::vector<char> tail(tailLength);
    LARGE_INTEGER tailStart;
    tailStart.QuadPart = size.QuadPart - tailLength;
    DWORD read = 0;
    if (!SetFilePointerEx(file, tailStart, nullptr, FILE_BEGIN)) return E_FAIL;
    if (!ReadFile(file, tail.data(), tailLength, &read, nullptr) || read != tailLength) return E_FAIL;

    DWORD keep = 0;
    bool found = false;
    for (DWORD i = 0; i + 1 < tailLength; ++i) {
        if (tail[i] == '\r' && tail[i + 1] == '\n') { keep = i + 2; found = true; break; }
    }
    if (!found) return E_FAIL;

    if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return E_FAIL;
    if (!SetEndOfFile(file)) return E_FAIL;
    if (!WriteAll(file, tail.data() + keep, tailLength - keep)) return E_FAIL;
    return S_OK;
}

CCoLogger::~CCoLogger()
{
    if (m_file != INVALID_HANDLE_VALUE) {
        // Runs in the final Release: the table is best effort, the handle is closed.
        com::Guarded("CCoLogger::~CCoLogger", [&]() -> HRESULT {
            WriteMemoryTable();
            return S_OK;
        });
        CloseHandle(m_file);
    }
}

bool CCoLogger::WriteRaw(const std::string& bytes)
{
    return WriteAll(m_file, bytes.data(), static_cast<DWORD>(bytes.size()));
}

void CCoLogger::WriteMemoryTable()
{
    if (!WriteRaw("\r\n=============== Memory usage : ====================================\r\n\r\n")) return;
    for (const auto& entry : m_classes) {
        std::string name = entry.first;
        if (name.size() < 50) name.resize(50, ' ');
        char counts[64];
        std::snprintf(counts, sizeof(counts), " %i \t %i\r\n", entry.second.created, entry.second.alive);
        if (!WriteRaw(name + counts)) return;
    }
    WriteRaw("\r\n" + kRule + "\r\n\r\n\r\n\r\n");
}

STDMETHODIMP CCoLogger::Init(BSTR a_sLogFile)
{
    return com::Guarded("CCoLogger::Init", [&]() -> HRESULT {
        if (!a_sLogFile) return E_POINTER;
        com::ObjectLock<CCoLogger> lock(this);
        const std::string name = com::AnsiFromBstr(a_sLogFile);
        std::size_t slash = name.find_last_of('\\');
        if (slash != std::string::npos) EnsureFolderExists(name.substr(0, slash + 1));

        HANDLE file = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file == INVALID_HANDLE_VALUE) return E_FAIL;
        if (m_file != INVALID_HANDLE_VALUE && m_file != file) CloseHandle(m_file);
        m_file = file;

        HRESULT hr = TrimLogFile(m_file);
        if (FAILED(hr)) return hr;
        SetFilePointer(m_file, 0, nullptr, FILE_END);
        WriteRaw(WindowsVersionHeader() + kRule + "\r\n\r\n");
        return S_OK;
    });
}

HRESULT CCoLogger::LogLine(const std::string& text)
{
    // Tested under the lock: Init may be replacing the handle.
    com::ObjectLock<CCoLogger> lock(this);
    if (m_file == INVALID_HANDLE_VALUE) return E_FAIL;
    SYSTEMTIME now;
    GetSystemTime(&now);
    std::string line(text.size() + 32, '\0');
    int n = std::snprintf(&line[0], line.size(), "%02i:%02i:%02i\t%s\r\n", now.wHour, now.wMinute,
                          now.wSecond, text.c_str());
    line.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return WriteRaw(line) ? S_OK : E_FAIL;
}

STDMETHODIMP CCoLogger::LogEvent(BSTR a_psLogStr)
{
    return com::Guarded("CCoLogger::LogEvent", [&]() -> HRESULT {
        if (!a_psLogStr) return E_POINTER;
        return LogLine(com::AnsiFromBstr(a_psLogStr));
    });
}

STDMETHODIMP CCoLogger::LogEventB(BSTR a_psLogStr, long a_bSuccess)
{
    return com::Guarded("CCoLogger::LogEventB", [&]() -> HRESULT {
        if (!a_psLogStr) return E_POINTER;
        com::ObjectLock<CCoLogger> lock(this);
        return LogLine(com::AnsiFromBstr(a_psLogStr) + " :\t" + (a_bSuccess ? "OK" : "FAILED"));
    });
}

STDMETHODIMP CCoLogger::LogCreateObject(unsigned int a_uiID, BSTR a_bsClassName)
{
    return com::Guarded("CCoLogger::LogCreateObject", [&]() -> HRESULT {
        com::ObjectLock<CCoLogger> lock(this);
        const std::string name = com::AnsiFromBstr(a_bsClassName);
        m_objects[a_uiID] = name;
        ClassCount& count = m_classes[name];
        ++count.created;
        ++count.alive;
        char text[64];
        std::snprintf(text, sizeof(text), "++ ID = 0x%08X, ", a_uiID);
        return LogLine(text + name);
    });
}

STDMETHODIMP CCoLogger::LogDestroyObject(unsigned int a_uiID)
{
    return com::Guarded("CCoLogger::LogDestroyObject", [&]() -> HRESULT {
        com::ObjectLock<CCoLogger> lock(this);
        char text[64];
        auto it = m_objects.find(a_uiID);
        if (it == m_objects.end()) {
            std::snprintf(text, sizeof(text), "!! ID = 0x%08X - undefined object", a_uiID);
            return LogLine(text);
        }
        const std::string name = it->second;
        m_objects.erase(it);
        auto cls = m_classes.find(name);
        if (cls != m_classes.end()) --cls->second.alive;
        std::snprintf(text, sizeof(text), "-- ID = 0x%08X, ", a_uiID);
        return LogLine(text + name);
    });
}

STDMETHODIMP CCoLogger::LogEnterFunction(BSTR a_bsFuncName)
{
    return com::Guarded("CCoLogger::LogEnterFunction", [&]() -> HRESULT {
        com::ObjectLock<CCoLogger> lock(this);
        const std::string name = com::AnsiFromBstr(a_bsFuncName);
        m_funcPath.push_back(name);
        return LogLine("=> " + name + "()");
    });
}

STDMETHODIMP CCoLogger::LogLeaveFunction(BSTR a_bsFuncName)
{
    return com::Guarded("CCoLogger::LogLeaveFunction", [&]() -> HRESULT {
        com::ObjectLock<CCoLogger> lock(this);
        if (!m_funcPath.empty()) m_funcPath.pop_back();
        return LogLine("<= " + com::AnsiFromBstr(a_bsFuncName) + "()");
    });
}

STDMETHODIMP CCoLogger::DumpFuncPath()
{
    return com::Guarded("CCoLogger::DumpFuncPath", [&]() -> HRESULT {
        com::ObjectLock<CCoLogger> lock(this);
        std::string line;
        for (const std::string& name : m_funcPath) line += "->" + name;
        line += "\r\n";
        if (m_file != INVALID_HANDLE_VALUE) WriteRaw(line);
        return S_OK;
    });
}
