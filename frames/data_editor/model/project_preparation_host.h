// The preparation's host inside the editor frame: the progress action, the
// device question and the result go to the project as commands, failures
// to the system box over the frame, the locked-file question to the
// messenger, and the frame's own messages are pumped between steps.
#pragma once
#include "engine_tree_preparation.h"
#include "hosting.h"

class CProjectPreparationHost : public IEngineTreePreparationHost {
public:
    // `sender` and `senderClsid`: the frame as the project knows it;
    // `cancel`: the frame's flag, set by its cancel message while pumped.
    CProjectPreparationHost(ICommandPerformer* project, IUnknown* sender, REFCLSID senderClsid, HWND frame,
                            HICON actionIcon, const volatile bool& cancel);

    void ShowFailure(const std::string& text) override;
    unsigned AskLockedFile(const std::string& text, const std::string& checkText) override;
    void ShowProgress(const std::string& caption) override;
    void Pump() override;
    bool CancelRequested() override { return m_cancel; }
    void AddProgressAction(const std::string& caption) override;
    void RemoveProgressAction() override;
    int CurrentDeviceId() override;
    void SourceReady(HRESULT result, IFileTree* tree) override;

private:
    HRESULT Send(unsigned id, SAFEARRAY* data);

    ICommandPerformer* m_project;
    IUnknown* m_sender;
    CLSID m_senderClsid;
    HWND m_frame;
    HICON m_icon;
    const volatile bool& m_cancel;
};

// The task panel's pane and action of the progress caption.
const unsigned PROGRESS_PANE = 8193, PROGRESS_ACTION = 32771;
