// A project type built from the framework for the tests, with stub frames
// in its frame table: the task panel, the editor (first frame) and the
// burner (burning frame). The Ex variant asks for the editor's window in
// mode 1 through IOwnWindowEx, as the image-burn type does.
#pragma once
#include "project_impl.h"

extern const CLSID CLSID_CoTestProject;
extern const CLSID CLSID_CoTestProjectEx;

class CCoTestProject : public CProjectImpl<CCoTestProject, &CLSID_CoTestProject> {
public:
    static const ProjectTypeInfo& Type();
    int activations = 0;  // how often the window was being activated

protected:
    void OnActivating() override { ++activations; }
};

class CCoTestProjectEx : public CProjectImpl<CCoTestProjectEx, &CLSID_CoTestProjectEx> {
public:
    static const ProjectTypeInfo& Type();

protected:
    HRESULT GetOwnWindowMode(FrameRole role, long* mode) override;
};
