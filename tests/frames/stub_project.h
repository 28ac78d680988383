// A stand-in for a project that hosts the burning frame: it answers the
// frame's questions with what the test set, relays Cancel back to the frame
// as a project does while the frame burns, and records every command.
#pragma once
#include "hosting.h"
#include <com/object.h>
#include <com/ptr.h>
#include <string>
#include <vector>

struct RecordedCommand {
    unsigned int id;
    std::vector<long> numbers;  // the integer elements, in order
    std::string text;           // the first text element
};

// A command as it was sent: its id, its integer elements, its first text.
RecordedCommand RecordCommand(unsigned int id, SAFEARRAY* data);

class CStubProject : public com::ObjectRoot<com::SingleThreadModel>, public ICommandPerformer {
public:
    COM_INTERFACES_BEGIN(CStubProject)
        COM_INTERFACE(ICommandPerformer)
    COM_INTERFACES_END()

    STDMETHODIMP SetPartnerNoAddRef(IUnknown*) override { return S_OK; }
    STDMETHODIMP InvokeCommand(IUnknown* sender, REFCLSID senderClsid, unsigned int id, SAFEARRAY* data) override;

    // The frame this project partners (held without a reference).
    void SetFrame(ICommandPerformer* frame) { m_frame = frame; }
    // What the burn request brings: PCID_START with no data, or with the
    // preparation's result.
    void StartWithoutData() { m_startData = false; }
    void StartWith(HRESULT preparation) { m_startData = true, m_preparation = preparation; }
    // The answers to the burn type and file tree questions.
    void SetBurnType(long type, HRESULT result = S_OK) { m_burnType = type, m_typeResult = result; }
    void SetTree(IUnknown* tree) { m_tree = tree; }

    std::vector<RecordedCommand> Commands() const { return m_commands; }
    std::vector<RecordedCommand> Commands(unsigned int id) const;
    std::vector<long> Results() const;  // the PCID_RESULT values
    HRESULT FrameAnswerToCancel() const { return m_cancelAnswer; }
    void Clear() { m_commands.clear(); }

private:
    HRESULT Start();

    std::vector<RecordedCommand> m_commands;
    ICommandPerformer* m_frame = nullptr;
    bool m_startData = true;
    HRESULT m_preparation = S_OK;
    long m_burnType = 2;
    HRESULT m_typeResult = S_OK;
    com::ComPtr<IUnknown> m_tree;
    HRESULT m_cancelAnswer = E_PENDING;
};
