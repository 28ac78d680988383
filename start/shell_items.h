// The shell namespace as the explorer walks it: item identifier lists
// relative to the desktop, a folder's children with their names, and the
// file-system facts of an item.
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <string>
#include <vector>

// An item identifier list from the desktop, freed when it goes.
class CShellIdList {
public:
    CShellIdList() = default;
    explicit CShellIdList(LPITEMIDLIST list) : m_list(list) {}
    ~CShellIdList() { Reset(); }
    CShellIdList(CShellIdList&& other) noexcept : m_list(other.m_list) { other.m_list = nullptr; }
    CShellIdList& operator=(CShellIdList&& other) noexcept;
    CShellIdList(const CShellIdList&) = delete;
    CShellIdList& operator=(const CShellIdList&) = delete;

    LPCITEMIDLIST Get() const { return m_list; }
    bool IsEmpty() const { return !m_list; }
    void Reset();
    CShellIdList Clone() const;

private:
    LPITEMIDLIST m_list = nullptr;
};

struct CShellEntry {
    CShellIdList absolute;
    std::string name;  // the display name in its folder
    bool folder = false;
    bool hasSubfolders = false;
};

// The children of the folder `absolute` (the desktop for an empty list):
// its folders only, or its folders and files. What fails is left out.
std::vector<CShellEntry> ShellChildren(LPCITEMIDLIST absolute, bool withFiles, HWND owner);
// The desktop's own list (empty), its display name and icons.
CShellEntry DesktopEntry();

// Case-insensitive order of the user's locale.
int CompareDisplayNames(const std::string& a, const std::string& b);
// True when two lists name the same item (the shell's comparison).
bool SameShellItem(LPCITEMIDLIST a, LPCITEMIDLIST b);

// What the list shows of an item.
struct CShellFileFacts {
    std::string type;   // the shell's type name
    std::string path;   // empty for an item outside the file system
    DWORD attributes = 0;
    ULONGLONG size = 0;
    int icon = -1;      // index in the system image lists
};
CShellFileFacts ShellFileFacts(LPCITEMIDLIST absolute);
int ShellIcon(LPCITEMIDLIST absolute, bool open);

// The system image lists (shared: never destroyed by their users).
HIMAGELIST SystemImageList(bool large);
