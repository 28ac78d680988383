// CCoISOFileTreeNode: a client's handle on one node of an engine file tree.
// It holds the tree's layer tree alive and reads it under the tree's lock;
// a node whose entry was removed (through this or any other node object)
// is no longer valid and answers E_FAIL.
#pragma once
#include <engine.h>
#include "file_trees/iso_tree_holder.h"
#include <com/external_connection.h>
#include <com/object.h>

class CCoISOFileTreeNode : public com::ObjectRoot<com::MultiThreadModel>,
                           public IFileTreeNode,
                           public ISimpleRawPtr,
                           public com::ExternalConnection {
public:
    COM_INTERFACES_BEGIN(CCoISOFileTreeNode)
        COM_INTERFACE(IFileTreeNode)
        COM_INTERFACE(ISimpleRawPtr)
        COM_INTERFACE(IExternalConnection)
    COM_INTERFACES_END()

    CCoISOFileTreeNode(std::shared_ptr<CISOTree> tree, DiscNodeHandle node) : m_ref{std::move(tree), node} {}

    // A new node object with one reference for the caller.
    static HRESULT Create(const std::shared_ptr<CISOTree>& tree, DiscNodeHandle node, IFileTreeNode** out);

    // IFileTreeNode
    STDMETHODIMP GetName(BSTR* a_bsName) override;
    STDMETHODIMP GetAttributes(unsigned int* a_puiAttributes) override;
    STDMETHODIMP GetSize(hyper* a_phSize) override;
    STDMETHODIMP IsValid() override;

    // ISimpleRawPtr: the address of the node reference (ISONodeRef).
    STDMETHODIMP_(ULONG_PTR) GetRawPtr() override;

private:
    ISONodeRef m_ref;
};
