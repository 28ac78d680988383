// One entry of the user's file tree (a folder or a file of the disc being
// composed), its attribute bits and the events the tree reports.
#pragma once
#include <windows.h>
#include "message_box.h"
#include <string>
#include <unordered_map>

class CUserFSTree;

enum : DWORD {
    UFA_DIRECTORY = 0x10,
    UFA_FILE = 0x80,
    UFA_IMPORTED = 0x10000,          // taken over from the disc's previous session
    UFA_IMPORTED_RENAMED = 0x20000,  // an imported entry the user renamed
};

enum : DWORD {
    UTE_ENTRY_ADDED = 100,
    UTE_ENTRY_REMOVED = 101,
    UTE_ENTRY_CHANGED = 102,
    UTE_CHILDREN_SORTED = 103,
    UTE_NAME_EXISTS_ASK = 200,
    UTE_NAME_EXISTS = 201,
    UTE_INVALID_NAME = 202,
};

// Answers the observer gives: the message box's result bits to a name
// clash, and the frame's own stop / go on to an added entry.
enum : DWORD {
    UTA_REPLACE = MBX_YES,
    UTA_REPLACE_ALL = MBX_YESTOALL,
    UTA_SKIP = MBX_NO,
    UTA_GO_ON = 512,
    UTA_STOP = 1024,
};

class CUserFSEntry {
public:
    std::string m_name;        // the name on the disc
    std::string m_sourcePath;  // local path; for imported entries the path inside the old session
    LONGLONG m_size = 0;       // a file's bytes; a folder's total after ComputeFolderSize
    DWORD m_attributes = 0;
    void* m_treeItem = nullptr;  // the frame's tree-view item; the tree never reads it

    bool IsFolder() const { return (m_attributes & UFA_DIRECTORY) != 0; }
    bool IsImported() const { return (m_attributes & UFA_IMPORTED) != 0; }
    CUserFSTree* Tree() const { return m_tree; }
    CUserFSEntry* Parent() const { return m_parent; }
    CUserFSEntry* FirstChild() const { return m_first; }
    CUserFSEntry* NextSibling() const { return m_next; }
    CUserFSEntry* PreviousSibling() const { return m_previous; }
    size_t ChildCount() const { return m_index.size(); }

private:
    friend class CUserFSTree;
    CUserFSTree* m_tree = nullptr;
    CUserFSEntry* m_parent = nullptr;
    CUserFSEntry* m_first = nullptr;
    CUserFSEntry* m_last = nullptr;
    CUserFSEntry* m_next = nullptr;
    CUserFSEntry* m_previous = nullptr;
    // The children by their names folded to lower case: a clash is found
    // without walking the siblings (adds without the question may leave two
    // siblings of one name).
    std::unordered_multimap<std::string, CUserFSEntry*> m_index;
};

// What the tree tells its observer; the observer may write the answer.
struct CUserFSTreeEvent {
    DWORD code;
    CUserFSEntry* entry;   // null for UTE_INVALID_NAME
    DWORD extra;           // the validity code of UTE_INVALID_NAME, else 0
    const char* name;      // the rejected name of UTE_INVALID_NAME, else null
    DWORD answer;          // 0 on the way in
};

using UserFSObserver = void (*)(DWORD_PTR context, CUserFSTreeEvent* event);
