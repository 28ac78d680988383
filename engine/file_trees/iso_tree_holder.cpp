#include "file_trees/iso_tree_holder.h"

std::shared_ptr<CISOTree> CISOTree::Create()
{
    std::shared_ptr<CISOTree> tree(new CISOTree);
    // No boot record, no Rock Ridge; Joliet names and multi-extent files.
    if (IsoTree_Create(&tree->m_handle, tree->m_text, sizeof(tree->m_text), &tree->m_systemError, nullptr, nullptr,
                       0, 0, 1, 1) != DISC_OK)
        return nullptr;
    return tree;
}

CISOTree::~CISOTree()
{
    if (m_handle) DiscHandle_Destroy(&m_handle);
}
