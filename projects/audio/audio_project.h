// CCoSunnavar: the audio-CD project type. The framework's project with the
// task panel, the audio editor and the burning frame: the burn decodes the
// tracks in the editor, then hands the editor's layout to the burning
// frame; the space bar shows the CD's length in seconds.
#pragma once
#include "audio_layout_source.h"
#include "audio_project_classes.h"
#include "burn_flow.h"
#include "project_impl.h"

class CCoSunnavar : public CProjectImpl<CCoSunnavar, &CLSID_CoSunnavar> {
public:
    CCoSunnavar();

    static const ProjectTypeInfo& Type();
    const CBurnFlow& BurnFlow() const { return m_burnFlow; }

protected:
    using CProjectBase::OnTypeCommand;
    HRESULT OnTypeCommand(IUnknown* sender, REFCLSID senderClsid, unsigned id, SAFEARRAY* data,
                          bool& handled) override;
    void OnActivating() override;

private:
    bool FromEditor(IUnknown* sender) const { return com::SameObject(sender, FirstFrame()); }
    bool FromBurner(IUnknown* sender) const { return com::SameObject(sender, BurningFrame()); }
    HRESULT OnBurnerCommand(unsigned id, SAFEARRAY* data, bool& handled);
    static HRESULT AnswerNumber(SAFEARRAY* data, long value);

    CAudioLayoutSource m_layout;
    CBurnFlow m_burnFlow;
};
