#include "project_preparation_host.h"
#include <frames/common/message_pump.h>
#include "commands.h"
#include <com/bstr.h>
#include <com/ptr.h>
#include <shared/log.h>
#include <shared/settings_helper.h>
#include <shared/variant_safearray.h>

CProjectPreparationHost::CProjectPreparationHost(ICommandPerformer* project, IUnknown* sender, REFCLSID senderClsid,
                                                 HWND frame, HICON actionIcon, const volatile bool& cancel)
    : m_project(project), m_sender(sender), m_senderClsid(senderClsid), m_frame(frame), m_icon(actionIcon),
      m_cancel(cancel)
{
}

HRESULT CProjectPreparationHost::Send(unsigned id, SAFEARRAY* data)
{
    if (!m_project) return E_POINTER;
    const HRESULT hr = m_project->InvokeCommand(m_sender, m_senderClsid, id, data);
    if (FAILED(hr)) LogFailure("ICommandPerformer::InvokeCommand", hr);
    return hr;
}

void CProjectPreparationHost::ShowFailure(const std::string& text)
{
    TitledMessageBox(m_frame, text.c_str(), MB_ICONERROR);
}

unsigned CProjectPreparationHost::AskLockedFile(const std::string& text, const std::string& checkText)
{
    return unsigned(CommonMessageBox(text, LOCKED_QUESTION_TYPE, checkText));
}

void CProjectPreparationHost::ShowProgress(const std::string& caption)
{
    CVariantSafearray data(3);
    com::Bstr text(caption);
    if (data.Create() && SUCCEEDED(data.Prepare({{VT_UI4, PROGRESS_PANE}, {VT_UI4, PROGRESS_ACTION}, {VT_BSTR, text.Get()}})))
        Send(PCID_RENAME_ACTION, data);
}

void CProjectPreparationHost::Pump() { PumpWaitingMessages(); }

void CProjectPreparationHost::AddProgressAction(const std::string& caption)
{
    CVariantSafearray data(4);
    com::Bstr text(caption);
    if (data.Create() && SUCCEEDED(data.Prepare({{VT_UI4, PROGRESS_PANE},
                                                  {VT_UI4, PROGRESS_ACTION},
                                                  {VT_BSTR, text.Get()},
                                                  {VT_UI4, unsigned(reinterpret_cast<UINT_PTR>(m_icon))}})))
        Send(PCID_ADD_ACTION, data);
}

void CProjectPreparationHost::RemoveProgressAction()
{
    CVariantSafearray data(2);
    if (data.Create() && SUCCEEDED(data.Prepare({{VT_UI4, PROGRESS_PANE}, {VT_UI4, PROGRESS_ACTION}})))
        Send(PCID_REMOVE_ACTION, data);
}

int CProjectPreparationHost::CurrentDeviceId()
{
    int id = -1;
    CVariantSafearray data(1);
    if (data.Create() && SUCCEEDED(data.Prepare({{VT_I4 | VT_BYREF, &id}}))) Send(DECID_GET_CURRENT_DEVICE_ID, data);
    return id;
}

void CProjectPreparationHost::SourceReady(HRESULT result, IFileTree* tree)
{
    CVariantSafearray data(2);
    if (data.Create() &&
        SUCCEEDED(data.Prepare({{VT_UI4, unsigned(result)}, {VT_UNKNOWN, static_cast<IUnknown*>(tree)}})))
        Send(PCID_SOURCE_READY, data);
}
