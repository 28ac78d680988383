// CCoMaravin: the data-disc project type. The framework's project with the
// task panel, the data editor and the burning frame, the burn flow between
// the two frames, the answers to their questions and the image size
// reported to the main frame.
#pragma once
#include "project_impl.h"
#include "data_project_classes.h"
#include "burn_flow.h"
#include "engine.h"

class CCoMaravin : public CProjectImpl<CCoMaravin, &CLSID_CoMaravin> {
public:
    CCoMaravin();

    static const ProjectTypeInfo& Type();
    const CBurnFlow& BurnFlow() const { return m_burnFlow; }
    // The file tree the editor delivered, until the burning frame takes it.
    IUnknown* Tree() const { return m_tree.Held(); }

protected:
    using CProjectBase::OnTypeCommand;
    HRESULT OnTypeCommand(IUnknown* sender, REFCLSID senderClsid, unsigned id, SAFEARRAY* data,
                          bool& handled) override;
    void OnActivating() override;

private:
    bool FromEditor(IUnknown* sender) const { return com::SameObject(sender, FirstFrame()); }
    bool FromBurner(IUnknown* sender) const { return com::SameObject(sender, BurningFrame()); }

    // Commands any component may give; `handled` false when it is not one.
    HRESULT OnCommonCommand(IUnknown* sender, REFCLSID senderClsid, unsigned id, SAFEARRAY* data, bool& handled);
    // Commands that mean something only from one of the two frames.
    HRESULT OnEditorCommand(unsigned id, SAFEARRAY* data, bool& handled);
    HRESULT OnBurnerCommand(unsigned id, SAFEARRAY* data, bool& handled);

    // DECID_GET_CURRENT_DEVICE_ID: the burning frame writes the drive's id
    // straight into the editor's variable (BFCID_GET_DEVICE_ID).
    HRESULT RelayDeviceId(unsigned id, SAFEARRAY* data);
    // Writes one number through the I4 BYREF of the data.
    static HRESULT AnswerNumber(SAFEARRAY* data, long value);

    CObjectBurnSource m_tree;
    CBurnFlow m_burnFlow;
};
