#include "unix_tools.h"
#include "files.h"
#include <vector>

std::string UnixPath(const std::string& windowsPath)
{
    using ToUnix = char*(CDECL*)(const WCHAR*);
    auto toUnix = reinterpret_cast<ToUnix>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    if (!toUnix) return "";
    std::vector<WCHAR> wide(windowsPath.size() + 1);
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    char* unix = toUnix(wide.data());
    if (!unix) return "";
    std::string path(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return path;
}

std::string RunUnix(const std::string& command, DWORD ms)
{
    TempFolder folder;
    const std::string script = folder.File("run.sh"), done = folder.File("out.txt");
    WriteFileBytes(script, "{ " + command + "\n} > '" + UnixPath(folder.File("out.tmp")) + "' 2>/dev/null\nmv '" +
                               UnixPath(folder.File("out.tmp")) + "' '" + UnixPath(done) + "'\n");
    // Windows quoting: the Unix side gets its arguments split by Windows rules.
    std::string line = "/bin/sh \"" + UnixPath(script) + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return "";
    if (pi.hProcess) CloseHandle(pi.hProcess);
    if (pi.hThread) CloseHandle(pi.hThread);
    const DWORD start = GetTickCount();
    while (!FileExists(done)) {
        if (GetTickCount() - start >= ms) return "";
        Sleep(20);
    }
    return ReadFileBytes(done);
}
