// CDataBurnFlow: a data disc's burn between the project's two frames. The
// burning frame asks for a burn; the data editor, disabled with it, brings
// the engine's file tree into line and hands it over; the burning frame,
// started with the editor's result, takes the tree and burns it.
//
//   idle -> preparing (the editor works, both frames disabled)
//        -> burning (the burning frame works, the tree is kept until it asks)
//        -> idle (the burning frame's PCID_RESULT or PCID_SOURCE_READY)
#pragma once
#include "hosting.h"
#include "engine.h"
#include <com/ptr.h>

class CProjectBase;

class CDataBurnFlow {
public:
    explicit CDataBurnFlow(CProjectBase& project) : m_project(project) {}

    // PCID_REQUEST_BURN: disables both frames and starts the editor. At a
    // failure every frame that was asked to disable itself is enabled again.
    HRESULT RequestBurn();
    // The editor's PCID_SOURCE_READY [UI4 result, UNKNOWN tree].
    HRESULT SourceReady(SAFEARRAY* data);
    // The burning frame's PCID_RESULT or PCID_SOURCE_READY: the burn is over.
    void BurnFinished();
    // PCID_CANCEL, passed on as it came to the frame that is working.
    HRESULT Cancel(IUnknown* sender, REFCLSID senderClsid, SAFEARRAY* data);
    // BFCID_GET_DATAIMAGE [UNKNOWN BYREF]: the tree goes to the burning
    // frame with a reference of its own. E_FAIL, the out value untouched,
    // when no tree is held.
    HRESULT HandOverTree(SAFEARRAY* data);

    ICommandPerformer* Preparing() const { return m_preparing; }
    IFileTree* Tree() const { return m_tree; }

private:
    // PCID_ENABLE_UI [UI4 enable] to one frame.
    HRESULT EnableFrame(ICommandPerformer* frame, unsigned enable);
    HRESULT Send(ICommandPerformer* frame, unsigned id, SAFEARRAY* data);

    CProjectBase& m_project;
    com::ComPtr<ICommandPerformer> m_preparing;
    com::ComPtr<IFileTree> m_tree;
};
