// CUserFSTree: the disc the user composes in the data editor, a tree of
// folders and files under one root whose name is the volume label. It
// knows no window and no engine: every change goes to one observer.
#pragma once
#include "user_fs_entry.h"
#include "common.h"
#include <memory>
#include <string>
#include <vector>

enum : DWORD { SORT_BY_NAME = 1, SORT_BY_TYPE = 2, SORT_BY_SIZE = 3 };

class CUserFSTree {
public:
    CUserFSTree();
    ~CUserFSTree();
    CUserFSTree(const CUserFSTree&) = delete;
    CUserFSTree& operator=(const CUserFSTree&) = delete;

    CUserFSEntry* GetRoot() const { return m_root; }
    // Null stands for "no entry" everywhere (the root's parent too).
    CUserFSEntry* GetParent(const CUserFSEntry* entry) const { return entry ? entry->Parent() : nullptr; }
    CUserFSEntry* FindChild(const CUserFSEntry* folder, const char* name) const;
    // "\" for the root, "\docs\old\" for a folder, "\docs\old\a.txt" for a file.
    std::string GetEntryPath(const CUserFSEntry* entry) const;
    // Entries in the tree, the root included.
    DWORD GetEntryCount() const { return m_count; }

    // What the user chose (a file or a folder of the local file system).
    CUserFSEntry* AddPath(CUserFSEntry* folder, const char* localPath);
    CUserFSEntry* AddFile(CUserFSEntry* folder, const std::string& sourcePath, LONGLONG size, bool ask);
    CUserFSEntry* AddFolder(CUserFSEntry* folder, const std::string& sourcePath, bool ask);
    // Entries of the disc's previous session.
    CUserFSEntry* AddImportedFile(CUserFSEntry* folder, const std::string& name, LONGLONG size);
    CUserFSEntry* AddImportedFolder(CUserFSEntry* folder, const std::string& name);
    CUserFSEntry* CreateFolder(CUserFSEntry* folder, const char* name);

    bool Rename(CUserFSEntry* entry, const char* newName);
    // The root stays: removing it is refused.
    bool Remove(CUserFSEntry* entry);
    // The old-session paths of the imported entries taken out of the tree
    // (removed, or replaced by an add), in order.
    const std::vector<std::string>& RemovedImports() const { return m_removedImports; }
    // Puts the entry in front of `before`, under `before`'s parent, or at
    // the end of its own folder for null; only while sorting is off.
    // Refused for the root, a place inside the entry's own subtree, a name
    // that clashes under another parent and an imported entry leaving its
    // folder (its path in the old session would no longer hold).
    bool Move(CUserFSEntry* entry, CUserFSEntry* before);

    void SortChildren(CUserFSEntry* folder);
    void SortAll(CUserFSEntry* folder);
    LONGLONG ComputeFolderSize(CUserFSEntry* folder);

    bool Save(ISaveableSection* section) const;
    bool Load(ILoadableSection* section);

    void SetObserver(UserFSObserver callback, DWORD_PTR context)
    {
        m_observer = callback;
        m_context = context;
    }
    DWORD m_sortKind = SORT_BY_NAME;
    bool m_ascending = true;
    bool m_sortingEnabled = true;

private:
    CUserFSEntry* NewEntry(const std::string& name, const std::string& source, LONGLONG size, DWORD attributes);
    void Append(CUserFSEntry* folder, CUserFSEntry* entry);
    void LinkBefore(CUserFSEntry* folder, CUserFSEntry* entry, CUserFSEntry* before);
    void Unlink(CUserFSEntry* entry);
    void Free(CUserFSEntry* entry);
    void RemoveSubtree(CUserFSEntry* entry);
    // Out of the tree, announced, and recorded when it was imported.
    void Discard(CUserFSEntry* entry);
    DWORD Raise(DWORD code, CUserFSEntry* entry, DWORD extra = 0, const char* name = nullptr);
    // The clash question for `sibling`; true when it is to be replaced.
    bool AskReplace(CUserFSEntry* sibling);
    CUserFSEntry* AddFolderContents(CUserFSEntry* folder, const std::string& sourcePath, bool ask);
    bool Goes(const CUserFSEntry* a, const CUserFSEntry* b) const;
    bool SaveEntry(const CUserFSEntry* entry, ISaveableSection* section) const;
    bool LoadEntry(CUserFSEntry* entry, ILoadableSection* section);
    void Announce(CUserFSEntry* entry);

    CUserFSEntry* m_root;
    DWORD m_count = 1;
    DWORD m_lastAnswer = 0;
    std::vector<std::string> m_removedImports;
    UserFSObserver m_observer = nullptr;
    DWORD_PTR m_context = 0;
};
