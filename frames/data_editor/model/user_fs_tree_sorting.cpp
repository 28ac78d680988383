// The order of a folder's children: folders first, then by the sort kind;
// descending reverses the whole order.
#include "user_fs_tree.h"
#include "user_fs_names.h"
#include <algorithm>
#include <vector>

namespace {

// The extension as the runtime's path split gives it (from the last dot),
// and the name without it.
void SplitName(const std::string& name, std::string* stem, std::string* extension)
{
    const size_t dot = name.rfind('.');
    *stem = dot == std::string::npos ? name : name.substr(0, dot);
    *extension = dot == std::string::npos ? std::string() : name.substr(dot);
}

ULONGLONG Blocks(LONGLONG size) { return (ULONGLONG(size) + 2047) / 2048; }

}  // namespace

bool CUserFSTree::Goes(const CUserFSEntry* a, const CUserFSEntry* b) const
{
    if (a->IsFolder() != b->IsFolder()) return a->IsFolder();
    if (m_sortKind == SORT_BY_TYPE) {
        std::string stemA, extA, stemB, extB;
        SplitName(a->m_name, &stemA, &extA);
        SplitName(b->m_name, &stemB, &extB);
        if (const int c = CompareNoCase(extA, extB)) return c < 0;
        return CompareNoCase(stemA, stemB) < 0;
    }
    if (m_sortKind == SORT_BY_SIZE && Blocks(a->m_size) != Blocks(b->m_size))
        return Blocks(a->m_size) < Blocks(b->m_size);
    return CompareNoCase(a->m_name, b->m_name) < 0;
}

void CUserFSTree::SortChildren(CUserFSEntry* folder)
{
    if (!m_sortingEnabled || !folder || !folder->m_first) return;
    std::vector<CUserFSEntry*> children;
    for (CUserFSEntry* child = folder->m_first; child; child = child->m_next) children.push_back(child);
    std::sort(children.begin(), children.end(), [this](const CUserFSEntry* a, const CUserFSEntry* b) {
        return m_ascending ? Goes(a, b) : Goes(b, a);
    });
    CUserFSEntry* previous = nullptr;
    for (CUserFSEntry* child : children) {
        child->m_previous = previous;
        (previous ? previous->m_next : folder->m_first) = child;
        previous = child;
    }
    previous->m_next = nullptr;
    folder->m_last = previous;
}

void CUserFSTree::SortAll(CUserFSEntry* folder)
{
    if (!folder) return;
    SortChildren(folder);
    for (CUserFSEntry* child = folder->m_first; child; child = child->m_next)
        if (child->IsFolder()) SortAll(child);
}
