// The recent-file list shared by the start module and the project types:
// registry key "<CompanyMainRegPath>\<Title>\Recent Document List" under
// HKEY_CURRENT_USER, with the DWORD "DocumentCount" (the list's maximum
// length) and the texts "Document1", "Document2", ... (most recent first).
#pragma once
#include <windows.h>
#include <string>
#include <vector>

class CRecentFileList {
public:
    enum { DEFAULT_MAX_ENTRIES = 4, MAX_ENTRIES = 16, FIRST_MENU_ID = 57616 };

    // `key` is the full path of the list's key under HKEY_CURRENT_USER.
    explicit CRecentFileList(std::string key) : m_key(std::move(key)) {}
    // The key that the settings name: Application/CompanyMainRegPath, a
    // backslash, Application/Title, "\Recent Document List".
    static std::string KeyFromSettings();

    // Reads the list; a missing key gives an empty list.
    void Read();
    // Writes the list back, removing the values of entries beyond it.
    bool Write() const;
    // Puts `path` in front; an entry of the same path (any case) moves
    // there instead of being repeated; the list keeps its maximum length.
    void Add(const std::string& path);

    const std::vector<std::string>& Files() const { return m_files; }
    size_t MaxEntries() const { return m_maxEntries; }

    // Fills `popup` with "&1 path", "&2 path", ... (ids from FIRST_MENU_ID),
    // or one greyed "(empty)" item when the list is empty.
    void FillMenu(HMENU popup) const;

private:
    std::string m_key;
    std::vector<std::string> m_files;
    size_t m_maxEntries = DEFAULT_MAX_ENTRIES;
};
