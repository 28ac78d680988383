// CAudioLayoutSource: what the audio editor hands the burning frame. The
// layout lives in the editor; the project keeps nothing and, when the
// burning frame asks (BFCID_GET_AUDIOIMAGE), asks the editor for it
// (AECID_GET_AUDIO_LAYOUT) with the same data, so that the layout's
// reference goes straight into the burning frame's slot.
#pragma once
#include "burn_source.h"

class CProjectBase;

class CAudioLayoutSource : public CBurnSource {
public:
    explicit CAudioLayoutSource(CProjectBase& project) : m_project(project) {}
    // The editor's report is [UI4 result, UI4 failed track]: nothing to keep.
    HRESULT Keep(SAFEARRAY*) override { return S_OK; }
    // The editor's answer; E_FAIL without an editor.
    HRESULT HandOver(SAFEARRAY* question) override;
    void Drop() override {}

private:
    CProjectBase& m_project;
};
