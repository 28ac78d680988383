// CCoISOFileTree: the folders and files of a data disc, held as a tree of
// the disc layer until the data burn job builds and writes its image.
// Clients fill it node by node; ISimpleRawPtr gives the engine's jobs the
// layer's tree handle.
#pragma once
#include <engine.h>
#include "file_trees/iso_tree_holder.h"
#include <com/external_connection.h>
#include <com/object.h>
#include <string>

// Answered by the engine's own trees only (never marshalled): the engine's
// jobs reach the class behind the tree they were given through it.
extern const IID IID_CCoISOFileTree;

class CCoISOFileTree : public com::ObjectRoot<com::MultiThreadModel>,
                       public IFileTree,
                       public ISimpleRawPtr,
                       public com::ExternalConnection {
public:
    COM_INTERFACES_BEGIN(CCoISOFileTree)
        COM_INTERFACE(IFileTree)
        COM_INTERFACE(ISimpleRawPtr)
        COM_INTERFACE_IID(IID_CCoISOFileTree, ISimpleRawPtr)
        COM_INTERFACE(IExternalConnection)
    COM_INTERFACES_END()

    HRESULT FinalConstruct();
    // The failure line of the last image build that failed, with the
    // layer's text.
    void LogBuildFailure();

    // IFileTree
    STDMETHODIMP ImportTrack(ITrack* a_pTrack, IDevice* a_pDevice) override;
    STDMETHODIMP GetRootNode(IFileTreeNode** a_ppRoot) override;
    STDMETHODIMP GetFirstKid(IFileTreeNode* a_pParent, IFileTreeNode** a_ppKid) override;
    STDMETHODIMP GetNextKid(IFileTreeNode* a_pParent, IFileTreeNode* a_pKid, IFileTreeNode** a_ppNextKid) override;
    STDMETHODIMP Add(IFileTreeNode* a_pParent, BSTR a_bsSourcePathAndName, BSTR a_bsNewName,
                     IFileTreeNode** a_ppNode) override;
    STDMETHODIMP GetNodeByPath(IFileTreeNode** a_ppNode, BSTR a_bsNodePathAndName) override;
    STDMETHODIMP Remove(IFileTreeNode* a_pNode) override;
    STDMETHODIMP Rename(IFileTreeNode* a_pNode, BSTR a_bsNewName) override;
    STDMETHODIMP BuildImage() override;
    STDMETHODIMP Initialize() override;
    STDMETHODIMP SetStartLBA(unsigned int a_uiStartLBA) override;
    STDMETHODIMP SetVolumeLabel(BSTR a_bsVolumeLabel) override;
    STDMETHODIMP DoFinalize(unsigned int a_uiDoFinalie) override;
    STDMETHODIMP IsDoFinalize() override;
    STDMETHODIMP SetBootImage(BSTR a_bsBootImagePath) override;

    // ISimpleRawPtr: the layer's tree handle.
    STDMETHODIMP_(ULONG_PTR) GetRawPtr() override;

private:
    // The child of `folder` named `name`, letter case aside; 0 when none.
    DiscNodeHandle FindKid(DiscNodeHandle folder, const char* name);
    DiscNodeHandle WalkKids(DiscNodeHandle folder, const char* name);
    HRESULT ImportSession(DiscHandle grabber, unsigned track);

    std::shared_ptr<CISOTree> m_tree;
    unsigned m_finalize = 0;
    unsigned m_startLBA = 0;
    std::string m_volumeLabel;
    std::string m_bootImage;  // stored for the clients; no build uses it
};
