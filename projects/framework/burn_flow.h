// CBurnFlow: a burn between a project's two frames. The burning frame asks
// for a burn; the first frame (the source: the data editor, a source page),
// disabled with it, prepares what is to be burned and reports it; the
// burning frame, started with the source's result, asks the project for
// what the source handed over (a CBurnSource: the data tree, an image path,
// an audio layout) and burns it.
//
//   idle -> preparing (the source works, the frames disabled)
//        -> burning (the burning frame works, the source's value kept)
//        -> idle (the burning frame's PCID_RESULT or PCID_SOURCE_READY)
//
// The project type routes the commands here after its sender checks.
#pragma once
#include "burn_source.h"
#include "hosting.h"
#include <com/ptr.h>

class CProjectBase;

struct BurnFlowSteps {
    // The burning frame is disabled with the source (it disables itself
    // for the burn request in any case).
    bool disableBurner = true;
    // The source's page is shown while it prepares, the burning frame's
    // when the burn starts.
    bool showWorkingPage = false;
    // Both frames stay disabled until the burn ends, and the burning
    // frame's result is passed on to the source (which cleans up after
    // it); else they are enabled again when the source reports.
    bool enableWhenBurnEnds = false;
    // A failed or cancelled preparation is passed on to the burning frame
    // (PCID_START with the failure), which logs it in its job list and
    // answers with its PCID_RESULT without burning; else only the source
    // tells the user.
    bool reportFailedSource = false;
    // The source's member name in failure lines ("compNostrine").
    const char* sourceName = "compSource";
};

class CBurnFlow {
public:
    CBurnFlow(CProjectBase& project, CBurnSource& source, const BurnFlowSteps& steps)
        : m_project(project), m_source(source), m_steps(steps) {}

    // PCID_REQUEST_BURN: disables the frames and starts the source. At a
    // failure every frame that was asked to disable itself is enabled again.
    HRESULT RequestBurn();
    // The source's PCID_SOURCE_READY [UI4 result, value]. A failure result
    // ends the flow with both frames enabled.
    HRESULT SourceReady(SAFEARRAY* data);
    // The burning frame's PCID_RESULT [HRESULT] or PCID_SOURCE_READY: the
    // burn is over (ignored while the burning frame is not burning: its
    // answer to a failed preparation it was told of). `command` and `data` are passed on to the source when
    // the steps say so (a successful test write is not: it leaves the
    // source's files alone).
    HRESULT BurnFinished(unsigned command, SAFEARRAY* data);
    // PCID_CANCEL, passed on as it came to the frame that is working.
    HRESULT Cancel(IUnknown* sender, REFCLSID senderClsid, SAFEARRAY* data);
    // The burning frame's question for the source's value.
    HRESULT HandOver(SAFEARRAY* data) { return m_source.HandOver(data); }

    ICommandPerformer* Preparing() const { return m_preparing; }

private:
    // PCID_ENABLE_UI [UI4 enable] to one frame.
    HRESULT EnableFrame(ICommandPerformer* frame, unsigned enable);
    // Enables the source and the burning frame again; the last result.
    HRESULT EnableBoth();
    HRESULT Send(ICommandPerformer* frame, unsigned id, SAFEARRAY* data);
    // PCID_START [the preparation's failure] to the burning frame.
    void ReportFailedSource(ICommandPerformer* burner, HRESULT result);
    // True when the burning frame says its last burn was a test write.
    bool WasTestWrite(ICommandPerformer* burner);

    CProjectBase& m_project;
    CBurnSource& m_source;
    const BurnFlowSteps m_steps;
    com::ComPtr<ICommandPerformer> m_preparing;
};
