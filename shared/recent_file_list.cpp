#include "recent_file_list.h"
#include "settings_helper.h"
#include "services.h"
#include <cstdio>

namespace {

const char kCountValue[] = "DocumentCount";

std::string DocumentValue(size_t index)
{
    char name[32];
    std::snprintf(name, sizeof name, "Document%u", static_cast<unsigned>(index + 1));
    return name;
}

}  // namespace

std::string CRecentFileList::KeyFromSettings()
{
    std::string company, title;
    SettingsGetString(COMMON_SETTINGS_SECTION, "Application", "CompanyMainRegPath", &company, "");
    SettingsGetString(COMMON_SETTINGS_SECTION, "Application", "Title", &title, "");
    return company + "\\" + title + "\\Recent Document List";
}

void CRecentFileList::Read()
{
    m_files.clear();
    m_maxEntries = DEFAULT_MAX_ENTRIES;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, m_key.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    DWORD count = 0, size = sizeof count, type = 0;
    if (RegQueryValueExA(key, kCountValue, nullptr, &type, reinterpret_cast<BYTE*>(&count), &size) ==
            ERROR_SUCCESS && type == REG_DWORD && count >= 1)
        m_maxEntries = count > MAX_ENTRIES ? MAX_ENTRIES : count;
    for (size_t i = 0; i < m_maxEntries; ++i) {
        char text[MAX_PATH * 2] = "";
        DWORD length = sizeof text - 1;
        if (RegQueryValueExA(key, DocumentValue(i).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text),
                             &length) == ERROR_SUCCESS && type == REG_SZ && text[0])
            m_files.push_back(text);
    }
    RegCloseKey(key);
}

bool CRecentFileList::Write() const
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, m_key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    DWORD count = static_cast<DWORD>(m_maxEntries);
    bool ok = RegSetValueExA(key, kCountValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count),
                             sizeof count) == ERROR_SUCCESS;
    for (size_t i = 0; i < m_files.size(); ++i)
        ok = RegSetValueExA(key, DocumentValue(i).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(m_files[i].c_str()),
                            static_cast<DWORD>(m_files[i].size() + 1)) == ERROR_SUCCESS && ok;
    for (size_t i = m_files.size(); i < MAX_ENTRIES; ++i) RegDeleteValueA(key, DocumentValue(i).c_str());
    RegCloseKey(key);
    return ok;
}

void CRecentFileList::Add(const std::string& path)
{
    for (auto it = m_files.begin(); it != m_files.end(); ++it) {
        if (lstrcmpiA(it->c_str(), path.c_str()) == 0) {
            m_files.erase(it);
            break;
        }
    }
    m_files.insert(m_files.begin(), path);
    if (m_files.size() > m_maxEntries) m_files.resize(m_maxEntries);
}

void CRecentFileList::FillMenu(HMENU popup) const
{
    while (GetMenuItemCount(popup) > 0) DeleteMenu(popup, 0, MF_BYPOSITION);
    if (m_files.empty()) {
        AppendMenuA(popup, MF_STRING | MF_GRAYED, FIRST_MENU_ID, "(empty)");
        return;
    }
    for (size_t i = 0; i < m_files.size(); ++i) {
        char text[MAX_PATH * 2 + 16];
        std::snprintf(text, sizeof text, "&%u %s", static_cast<unsigned>(i + 1), m_files[i].c_str());
        AppendMenuA(popup, MF_STRING, FIRST_MENU_ID + i, text);
    }
}
