#include "file_trees/iso_file_tree_node.h"
#include <com/guard.h>
#include <com/bstr.h>

HRESULT CCoISOFileTreeNode::Create(const std::shared_ptr<CISOTree>& tree, DiscNodeHandle node, IFileTreeNode** out)
{
    return com::CreateObject<CCoISOFileTreeNode>(IID_IFileTreeNode, reinterpret_cast<void**>(out), tree, node);
}

STDMETHODIMP CCoISOFileTreeNode::GetName(BSTR* a_bsName)
{
    return com::Guarded("CCoISOFileTreeNode::GetName", [&]() -> HRESULT {
        if (!a_bsName) return E_POINTER;
        char isoName[260], name[260], source[260];
        {
            com::AutoLock lock(m_ref.tree->Lock());
            if (!m_ref.node || IsoTree_GetName(m_ref.tree->Handle(), m_ref.node, isoName, name, source) != DISC_OK)
                return E_FAIL;
        }
        *a_bsName = com::BstrFromAnsi(name);
        return *a_bsName ? S_OK : E_OUTOFMEMORY;
    });
}

STDMETHODIMP CCoISOFileTreeNode::GetAttributes(unsigned int* a_puiAttributes)
{
    return com::Guarded("CCoISOFileTreeNode::GetAttributes", [&]() -> HRESULT {
        if (!a_puiAttributes) return E_POINTER;
        com::AutoLock lock(m_ref.tree->Lock());
        uint32_t attributes = 0;
        if (!m_ref.node || IsoTree_GetAttributes(m_ref.tree->Handle(), m_ref.node, &attributes) != DISC_OK)
            return E_FAIL;
        *a_puiAttributes = attributes;
        return S_OK;
    });
}

STDMETHODIMP CCoISOFileTreeNode::GetSize(hyper* a_phSize)
{
    return com::Guarded("CCoISOFileTreeNode::GetSize", [&]() -> HRESULT {
        if (!a_phSize) return E_POINTER;
        com::AutoLock lock(m_ref.tree->Lock());
        uint64_t size = 0;
        if (!m_ref.node || IsoTree_GetSize(m_ref.tree->Handle(), m_ref.node, &size) != DISC_OK) return E_FAIL;
        *a_phSize = static_cast<hyper>(size);
        return S_OK;
    });
}

// Valid while the node names an entry that is still in the tree: another
// node object may have removed it.
STDMETHODIMP CCoISOFileTreeNode::IsValid()
{
    return com::Guarded("CCoISOFileTreeNode::IsValid", [&]() -> HRESULT {
        com::AutoLock lock(m_ref.tree->Lock());
        uint32_t attributes = 0;
        return m_ref.node && IsoTree_GetAttributes(m_ref.tree->Handle(), m_ref.node, &attributes) == DISC_OK ? S_OK
                                                                                                          : S_FALSE;
    });
}

STDMETHODIMP_(ULONG_PTR) CCoISOFileTreeNode::GetRawPtr()
{
    return reinterpret_cast<ULONG_PTR>(&m_ref);
}
