// The tree in the project file: the root and every entry below it as nested
// "Node" sections. A load is all or nothing: a damaged section leaves the
// tree as it was.
#include "user_fs_tree.h"
#include <com/bstr.h>
#include <com/ptr.h>
#include <cstdlib>
#include <vector>

namespace {

const char NODE[] = "Node";

bool SaveText(ISaveableSection* section, const char* key, const std::string& value)
{
    return SUCCEEDED(section->SaveString(com::Bstr(key), com::Bstr(value)));
}

bool LoadText(ILoadableSection* section, const char* key, std::string* value)
{
    com::Bstr text;
    if (FAILED(section->LoadString(com::Bstr(key), &text))) return false;
    *value = text.Ansi();
    return true;
}

// A size as the save writes it: decimal digits, nothing else.
bool ParseSize(const std::string& text, LONGLONG* size)
{
    if (text.empty() || text.size() > 19) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    *size = std::strtoll(text.c_str(), nullptr, 10);
    return *size >= 0;
}

}  // namespace

bool CUserFSTree::Save(ISaveableSection* section) const
{
    com::ComPtr<ISaveableSection> node;
    return section && SUCCEEDED(section->CreateChild(com::Bstr(NODE), &node)) && SaveEntry(m_root, node);
}

bool CUserFSTree::SaveEntry(const CUserFSEntry* entry, ISaveableSection* section) const
{
    if (!SaveText(section, "fname", entry->m_name) ||
        !SaveText(section, "fpath", entry->m_sourcePath.empty() ? " " : entry->m_sourcePath) ||
        !SaveText(section, "fsize", std::to_string(entry->m_size)) ||
        FAILED(section->SaveDWORD(com::Bstr("fattr"), entry->m_attributes)))
        return false;
    for (const CUserFSEntry* child = entry->m_first; child; child = child->m_next) {
        com::ComPtr<ISaveableSection> node;
        if (FAILED(section->CreateChild(com::Bstr(NODE), &node)) || !SaveEntry(child, node)) return false;
    }
    return true;
}

bool CUserFSTree::Load(ILoadableSection* section)
{
    com::ComPtr<ILoadableSection> node;
    if (!section || FAILED(section->InitializeChildrenPointer()) || FAILED(section->GetNextChild(&node)))
        return false;
    // Read into a tree of its own, so that nothing changes here unless the
    // whole section is sound.
    CUserFSTree loaded;
    if (!loaded.LoadEntry(loaded.m_root, node) || !loaded.m_root->IsFolder()) return false;

    CUserFSEntry* from = loaded.m_root;
    m_root->m_name = from->m_name;
    m_root->m_sourcePath = from->m_sourcePath;
    m_root->m_size = from->m_size;
    m_root->m_attributes = from->m_attributes;
    std::vector<CUserFSEntry*> adopted;
    while (CUserFSEntry* child = from->m_first) {
        loaded.Unlink(child);
        LinkBefore(m_root, child, nullptr);
        adopted.push_back(child);
    }
    m_count += loaded.m_count - 1;
    loaded.m_count = 1;
    for (CUserFSEntry* entry : adopted) Announce(entry);
    return true;
}

void CUserFSTree::Announce(CUserFSEntry* entry)
{
    // The observer hears of every entry, parents before their children.
    entry->m_tree = this;
    Raise(UTE_ENTRY_ADDED, entry);
    for (CUserFSEntry* child = entry->m_first; child; child = child->m_next) Announce(child);
}

bool CUserFSTree::LoadEntry(CUserFSEntry* entry, ILoadableSection* section)
{
    std::string name, path, size;
    DWORD attributes = 0;
    if (!LoadText(section, "fname", &name) || !LoadText(section, "fpath", &path) ||
        !LoadText(section, "fsize", &size) ||
        FAILED(section->LoadDWORD(com::Bstr("fattr"), reinterpret_cast<unsigned long*>(&attributes))) ||
        !ParseSize(size, &entry->m_size))
        return false;
    entry->m_name = name;
    entry->m_sourcePath = path == " " ? std::string() : path;
    entry->m_attributes = attributes;
    if (!entry->IsFolder() || FAILED(section->InitializeChildrenPointer())) return true;
    for (;;) {
        com::ComPtr<ILoadableSection> node;
        if (FAILED(section->GetNextChild(&node))) return true;
        CUserFSEntry* child = NewEntry("", "", 0, 0);
        if (!LoadEntry(child, node)) {
            Free(child);
            return false;
        }
        Append(entry, child);
    }
}
