#include "window/recent_documents.h"
#include <algorithm>
#include <cstdio>
#include <shlwapi.h>

namespace wnd {

namespace {

const char kCountValue[] = "DocumentCount";

std::string DocumentValue(int index)
{
    char name[32];
    std::snprintf(name, sizeof(name), "Document%i", index);
    return name;
}

bool SamePath(const std::string& a, const std::string& b) { return ::lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// "&1 path", the path shortened to fit a menu.
std::string ItemText(int index, const std::string& path)
{
    char shortPath[MAX_PATH] = "";
    ::lstrcpynA(shortPath, path.c_str(), MAX_PATH);
    ::PathCompactPathExA(shortPath, path.c_str(), 60, 0);
    char text[MAX_PATH + 8];
    std::snprintf(text, sizeof(text), "&%i %s", index + 1, shortPath);
    // A '&' in the path must not make a mnemonic.
    std::string escaped;
    for (const char* p = text; *p; ++p) {
        escaped.push_back(*p);
        if (*p == '&' && p != text) escaped.push_back('&');
    }
    return escaped;
}

}  // namespace

RecentDocumentList::RecentDocumentList(UINT firstId, UINT lastId, int maxEntries)
    : m_firstId(firstId), m_lastId(lastId), m_maxEntries(1)
{
    SetMaxEntries(maxEntries);
}

void RecentDocumentList::SetMaxEntries(int count)
{
    const int limit = static_cast<int>(m_lastId - m_firstId + 1);
    m_maxEntries = std::max(1, std::min(count, limit));
    if (static_cast<int>(m_entries.size()) > m_maxEntries) m_entries.resize(m_maxEntries);
}

void RecentDocumentList::AttachToMenu(HMENU popup)
{
    m_menu = popup;
    UpdateMenu();
}

bool RecentDocumentList::Add(const std::string& path)
{
    if (path.empty()) return false;
    auto found = std::find_if(m_entries.begin(), m_entries.end(),
                              [&](const std::string& entry) { return SamePath(entry, path); });
    if (found == m_entries.begin() && found != m_entries.end() && *found == path) return false;
    if (found != m_entries.end()) m_entries.erase(found);
    m_entries.insert(m_entries.begin(), path);
    if (static_cast<int>(m_entries.size()) > m_maxEntries) m_entries.resize(m_maxEntries);
    UpdateMenu();
    return true;
}

std::string RecentDocumentList::FromCommand(UINT id) const
{
    if (id < m_firstId || id > m_lastId) return std::string();
    size_t index = id - m_firstId;
    return index < m_entries.size() ? m_entries[index] : std::string();
}

bool RecentDocumentList::RemoveCommand(UINT id)
{
    if (FromCommand(id).empty()) return false;
    m_entries.erase(m_entries.begin() + (id - m_firstId));
    UpdateMenu();
    return true;
}

bool RecentDocumentList::ReadFromRegistry(const std::string& keyPath)
{
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD count = 0, size = sizeof(count), type = 0;
    if (::RegQueryValueExA(key, kCountValue, nullptr, &type, reinterpret_cast<BYTE*>(&count), &size) ==
            ERROR_SUCCESS && type == REG_DWORD)
        SetMaxEntries(static_cast<int>(count));
    m_entries.clear();
    for (int i = 1; i <= m_maxEntries; ++i) {
        char path[4096];
        DWORD bytes = sizeof(path) - 1;
        if (::RegQueryValueExA(key, DocumentValue(i).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(path),
                               &bytes) != ERROR_SUCCESS || type != REG_SZ)
            break;
        path[bytes] = '\0';
        if (path[0]) m_entries.emplace_back(path);
    }
    ::RegCloseKey(key);
    UpdateMenu();
    return true;
}

bool RecentDocumentList::WriteToRegistry(const std::string& keyPath) const
{
    HKEY key;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return false;
    DWORD count = static_cast<DWORD>(m_maxEntries);
    bool ok = ::RegSetValueExA(key, kCountValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count),
                               sizeof(count)) == ERROR_SUCCESS;
    const int limit = static_cast<int>(m_lastId - m_firstId + 1);
    for (int i = 1; i <= limit; ++i) {
        const std::string name = DocumentValue(i);
        if (i <= static_cast<int>(m_entries.size())) {
            const std::string& path = m_entries[i - 1];
            ok &= ::RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                   static_cast<DWORD>(path.size() + 1)) == ERROR_SUCCESS;
        } else {
            ::RegDeleteValueA(key, name.c_str());
        }
    }
    ::RegCloseKey(key);
    return ok;
}

void RecentDocumentList::UpdateMenu() const
{
    if (!m_menu) return;
    while (::GetMenuItemCount(m_menu) > 0) ::DeleteMenu(m_menu, 0, MF_BYPOSITION);
    if (m_entries.empty()) {
        ::AppendMenuA(m_menu, MF_STRING | MF_GRAYED, m_firstId, "(empty)");
        return;
    }
    for (size_t i = 0; i < m_entries.size(); ++i)
        ::AppendMenuA(m_menu, MF_STRING, m_firstId + i, ItemText(static_cast<int>(i), m_entries[i]).c_str());
}

}  // namespace wnd
