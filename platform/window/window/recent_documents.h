// RecentDocumentList: the most recently used files, the newest first, kept
// in the registry and shown as the items of one popup menu.
//
// Registry layout, under one key of the current user: "DocumentCount" holds
// the list's maximum size, "Document1" ... "DocumentN" the paths, newest
// first. Menu items get the command identifiers firstId, firstId + 1, ...
// (at most lastId - firstId + 1 entries); an empty list shows one disabled
// item "(empty)" with firstId.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace wnd {

class RecentDocumentList {
public:
    RecentDocumentList(UINT firstId, UINT lastId, int maxEntries = 4);

    // The popup whose items the list owns (its current items are replaced).
    void AttachToMenu(HMENU popup);
    HMENU Menu() const { return m_menu; }

    int MaxEntries() const { return m_maxEntries; }
    void SetMaxEntries(int count);
    const std::vector<std::string>& Entries() const { return m_entries; }

    // Adds or moves the path to the top; true when the list changed.
    bool Add(const std::string& path);
    // The path of a menu command, or empty when it names no entry.
    std::string FromCommand(UINT id) const;
    // Removes the entry of a menu command; true when there was one.
    bool RemoveCommand(UINT id);

    // HKEY_CURRENT_USER\<keyPath>. Reading replaces the list (and the
    // maximum when the key holds one); writing stores the whole list and
    // deletes the values past it. Both refresh the menu.
    bool ReadFromRegistry(const std::string& keyPath);
    bool WriteToRegistry(const std::string& keyPath) const;

    void UpdateMenu() const;

private:
    UINT m_firstId;
    UINT m_lastId;
    int m_maxEntries;
    HMENU m_menu = nullptr;
    std::vector<std::string> m_entries;
};

}  // namespace wnd
