#include "user_fs_tree.h"
#include <cstring>
#include "user_fs_names.h"
#include <vector>

CUserFSTree::CUserFSTree() : m_root(NewEntry("Root", "", 0, UFA_DIRECTORY)) {}

CUserFSTree::~CUserFSTree() { Free(m_root); }

CUserFSEntry* CUserFSTree::NewEntry(const std::string& name, const std::string& source, LONGLONG size,
                                    DWORD attributes)
{
    auto* entry = new CUserFSEntry;
    entry->m_name = name;
    entry->m_sourcePath = source;
    entry->m_size = size;
    entry->m_attributes = attributes;
    entry->m_tree = this;
    return entry;
}

void CUserFSTree::Free(CUserFSEntry* entry)
{
    for (CUserFSEntry* child = entry->m_first; child;) {
        CUserFSEntry* next = child->m_next;
        Free(child);
        child = next;
    }
    delete entry;
}

void CUserFSTree::LinkBefore(CUserFSEntry* folder, CUserFSEntry* entry, CUserFSEntry* before)
{
    entry->m_parent = folder;
    entry->m_next = before;
    entry->m_previous = before ? before->m_previous : folder->m_last;
    (entry->m_previous ? entry->m_previous->m_next : folder->m_first) = entry;
    (before ? before->m_previous : folder->m_last) = entry;
    folder->m_index.emplace(FoldCase(entry->m_name), entry);
}

void CUserFSTree::Append(CUserFSEntry* folder, CUserFSEntry* entry)
{
    LinkBefore(folder, entry, nullptr);
    ++m_count;
}

void CUserFSTree::Unlink(CUserFSEntry* entry)
{
    CUserFSEntry* folder = entry->m_parent;
    (entry->m_previous ? entry->m_previous->m_next : folder->m_first) = entry->m_next;
    (entry->m_next ? entry->m_next->m_previous : folder->m_last) = entry->m_previous;
    entry->m_next = entry->m_previous = entry->m_parent = nullptr;
    auto range = folder->m_index.equal_range(FoldCase(entry->m_name));
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second == entry) {
            folder->m_index.erase(it);
            break;
        }
    }
}

void CUserFSTree::RemoveSubtree(CUserFSEntry* entry)
{
    Unlink(entry);
    DWORD removed = 0;
    std::vector<CUserFSEntry*> pending{entry};
    while (!pending.empty()) {
        CUserFSEntry* next = pending.back();
        pending.pop_back();
        ++removed;
        for (CUserFSEntry* child = next->m_first; child; child = child->m_next) pending.push_back(child);
    }
    m_count -= removed;
    Free(entry);
}

DWORD CUserFSTree::Raise(DWORD code, CUserFSEntry* entry, DWORD extra, const char* name)
{
    if (!m_observer) return 0;
    CUserFSTreeEvent event = {code, entry, extra, name, 0};
    m_observer(m_context, &event);
    return event.answer;
}

CUserFSEntry* CUserFSTree::FindChild(const CUserFSEntry* folder, const char* name) const
{
    if (!folder || !name) return nullptr;
    auto found = folder->m_index.find(FoldCase(name));
    return found == folder->m_index.end() ? nullptr : found->second;
}

std::string CUserFSTree::GetEntryPath(const CUserFSEntry* entry) const
{
    if (!entry) return std::string();
    std::vector<const CUserFSEntry*> chain;
    for (const CUserFSEntry* e = entry; e && e != m_root; e = e->m_parent) chain.push_back(e);
    std::string path = "\\";
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        path += (*it)->m_name;
        if ((*it)->IsFolder()) path += '\\';
    }
    return path;
}

bool CUserFSTree::AskReplace(CUserFSEntry* sibling)
{
    if (m_lastAnswer != UTA_REPLACE_ALL) m_lastAnswer = Raise(UTE_NAME_EXISTS_ASK, sibling);
    return m_lastAnswer == UTA_REPLACE || m_lastAnswer == UTA_REPLACE_ALL;
}

CUserFSEntry* CUserFSTree::AddPath(CUserFSEntry* folder, const char* localPath)
{
    // A path is looked up as it is: a wildcard (a character the code page
    // lacked reads as "?") would add whatever else matches.
    if (!folder || !folder->IsFolder() || !localPath || std::strpbrk(localPath, "?*")) return nullptr;
    m_lastAnswer = 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(localPath, &found);
    if (search == INVALID_HANDLE_VALUE) return nullptr;
    FindClose(search);
    // The path as found: a pattern's folder with the name that matched.
    std::string path(localPath);
    const std::string name = FileNameOfPath(path);
    if (!EqualNoCase(name, found.cFileName)) path = path.substr(0, path.rfind(name)) + found.cFileName;

    CUserFSEntry* added;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        added = AddFolder(folder, path, true);
    else
        added = AddFile(folder, path, (LONGLONG(found.nFileSizeHigh) << 32) | found.nFileSizeLow, true);
    SortChildren(folder);
    Raise(UTE_CHILDREN_SORTED, folder);
    ComputeFolderSize(m_root);
    return added;
}

CUserFSEntry* CUserFSTree::AddFile(CUserFSEntry* folder, const std::string& sourcePath, LONGLONG size, bool ask)
{
    if (m_lastAnswer == UTA_STOP || !folder || !folder->IsFolder()) return nullptr;
    const std::string name = FileNameOfPath(sourcePath);
    if (ask) {
        if (CUserFSEntry* sibling = FindChild(folder, name.c_str())) {
            if (!AskReplace(sibling)) return nullptr;
            Discard(sibling);
        }
    }
    CUserFSEntry* entry = NewEntry(name, sourcePath, size, UFA_FILE);
    Append(folder, entry);
    if (Raise(UTE_ENTRY_ADDED, entry) == UTA_STOP) m_lastAnswer = UTA_STOP;
    return entry;
}

CUserFSEntry* CUserFSTree::AddFolder(CUserFSEntry* folder, const std::string& sourcePath, bool ask)
{
    if (m_lastAnswer == UTA_STOP || !folder || !folder->IsFolder()) return nullptr;
    const std::string name = FileNameOfPath(sourcePath);
    CUserFSEntry* target = nullptr;
    if (ask) {
        if (CUserFSEntry* sibling = FindChild(folder, name.c_str())) {
            if (sibling->IsFolder()) {
                target = sibling;  // merged into, without a question
            } else {
                if (!AskReplace(sibling)) return nullptr;
                Discard(sibling);
            }
        }
    }
    if (!target) {
        target = NewEntry(name, sourcePath, 0, UFA_DIRECTORY);
        Append(folder, target);
        Raise(UTE_ENTRY_ADDED, target);
    }
    return AddFolderContents(target, sourcePath, ask);
}

CUserFSEntry* CUserFSTree::AddFolderContents(CUserFSEntry* folder, const std::string& sourcePath, bool ask)
{
    std::string base(sourcePath);
    while (!base.empty() && base.back() == '\\') base.pop_back();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((base + "\\*.*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = base + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                // A junction or link may lead back up the tree: not followed.
                if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
                AddFolder(folder, path, ask);
            } else {
                AddFile(folder, path, (LONGLONG(found.nFileSizeHigh) << 32) | found.nFileSizeLow, ask);
            }
        } while (m_lastAnswer != UTA_STOP && FindNextFileA(search, &found));
        FindClose(search);
    }
    SortChildren(folder);
    Raise(UTE_CHILDREN_SORTED, folder);
    return folder;
}

CUserFSEntry* CUserFSTree::AddImportedFile(CUserFSEntry* folder, const std::string& name, LONGLONG size)
{
    if (!folder || !folder->IsFolder()) return nullptr;
    CUserFSEntry* entry = NewEntry(name, "Imported", size, UFA_FILE | UFA_IMPORTED);
    Append(folder, entry);
    entry->m_sourcePath = GetEntryPath(entry);
    Raise(UTE_ENTRY_ADDED, entry);
    ComputeFolderSize(folder);
    return entry;
}

CUserFSEntry* CUserFSTree::AddImportedFolder(CUserFSEntry* folder, const std::string& name)
{
    if (!folder || !folder->IsFolder()) return nullptr;
    CUserFSEntry* entry = NewEntry(name, GetEntryPath(folder) + name, 0, UFA_DIRECTORY | UFA_IMPORTED);
    Append(folder, entry);
    Raise(UTE_ENTRY_ADDED, entry);
    return entry;
}

CUserFSEntry* CUserFSTree::CreateFolder(CUserFSEntry* folder, const char* name)
{
    if (!name || ValidateFileName(name) != NAME_VALID || !folder || !folder->IsFolder() || FindChild(folder, name))
        return nullptr;
    CUserFSEntry* entry = NewEntry(TrimName(name), "", 0, UFA_DIRECTORY);
    Append(folder, entry);
    Raise(UTE_ENTRY_ADDED, entry);
    return entry;
}

bool CUserFSTree::Rename(CUserFSEntry* entry, const char* newName)
{
    if (!entry || !newName) return false;
    if (entry->m_name == newName) return true;
    if (const int code = ValidateFileName(newName)) {
        Raise(UTE_INVALID_NAME, nullptr, DWORD(code), newName);
        return false;
    }
    if (entry == m_root) {
        // The volume label: 12 bytes at most, no double-byte character cut.
        entry->m_name = TrimName(CutToBytes(newName, VOLUME_LABEL_BYTES));
        Raise(UTE_ENTRY_CHANGED, entry);
        return true;
    }
    // The name as it will be kept is the one that must not clash.
    const std::string name = TrimName(newName);
    CUserFSEntry* parent = entry->m_parent;
    CUserFSEntry* sibling = FindChild(parent, name.c_str());
    if (sibling && sibling != entry) {
        Raise(UTE_NAME_EXISTS, sibling);
        return false;
    }
    CUserFSEntry* before = entry->m_next;
    Unlink(entry);
    entry->m_name = name;
    LinkBefore(parent, entry, before);
    if (entry->IsImported()) entry->m_attributes |= UFA_IMPORTED_RENAMED;
    SortChildren(parent);
    Raise(UTE_CHILDREN_SORTED, parent);
    Raise(UTE_ENTRY_CHANGED, entry);
    return true;
}

bool CUserFSTree::Remove(CUserFSEntry* entry)
{
    if (!entry || entry == m_root) return false;
    Discard(entry);
    ComputeFolderSize(m_root);
    return true;
}

// An entry of the previous session stays on the disc unless its removal is
// replayed onto the engine's tree: whatever takes it out of the user's tree
// records it.
void CUserFSTree::Discard(CUserFSEntry* entry)
{
    Raise(UTE_ENTRY_REMOVED, entry);
    if (entry->IsImported()) m_removedImports.push_back(entry->m_sourcePath);
    RemoveSubtree(entry);
}

bool CUserFSTree::Move(CUserFSEntry* entry, CUserFSEntry* before)
{
    if (m_sortingEnabled) return false;
    if (!entry || entry == before) return true;
    if (entry == m_root) return false;
    CUserFSEntry* folder = before ? before->m_parent : entry->m_parent;
    if (!folder) return false;  // in front of the root
    for (CUserFSEntry* up = folder; up; up = up->m_parent)
        if (up == entry) return false;  // into its own subtree
    if (folder != entry->m_parent && (FindChild(folder, entry->m_name.c_str()) || entry->IsImported())) return false;
    Unlink(entry);
    LinkBefore(folder, entry, before);
    return true;
}

LONGLONG CUserFSTree::ComputeFolderSize(CUserFSEntry* folder)
{
    if (!folder) return 0;
    ULONGLONG total = 0;
    for (CUserFSEntry* child = folder->m_first; child; child = child->m_next) {
        if (child->IsFolder())
            total += ULONGLONG(ComputeFolderSize(child));
        else
            total += (ULONGLONG(child->m_size) + 2047) / 2048 * 2048;
    }
    folder->m_size = LONGLONG(total);
    return folder->m_size;
}
