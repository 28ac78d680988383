// The data editor's use of its dialogs: the questions of a new project
// with the take-over of a disc's session, the choice of an entry for the
// project, and the progress window while files are added.
#include "data_editor_frame.h"
#include "commands.h"
#include "device_selection_dialog.h"
#include <frames/common/dialog_placement.h>
#include "dialog_texts.h"
#include "entry_choice_dialog.h"
#include <message_box.h>
#include <frames/common/files_processing_dialog.h>
#include <shared/guid_text.h>
#include "project_type_selection_dialog.h"
#include <data_editor/model/session_import.h>
#include <com/bstr.h>
#include <shared/settings_helper.h>
#include <utility>

namespace {

// Lets the editor go at the end of a question when its window is still
// there (its project holds it); else the window's last message does.
class CQuestionScope {
public:
    CQuestionScope(CCoNostrine& editor, com::ComPtr<IUnknown>& keptAlive, IUnknown* self)
        : m_editor(editor), m_keptAlive(keptAlive)
    {
        m_keptAlive = self;
    }
    ~CQuestionScope()
    {
        if (m_editor.IsWindow()) m_keptAlive.Reset();
    }

private:
    CCoNostrine& m_editor;
    com::ComPtr<IUnknown>& m_keptAlive;
};

}  // namespace

// A project closed while a question is open destroys this window, and may
// let the editor go and end itself: after each question nothing is done
// or sent unless the window is still there, and the editor lives until
// its window's last dispatch has ended.
void CCoNostrine::AskNewProject()
{
    CQuestionScope scope(*this, m_keptAlive, static_cast<ICommandPerformer*>(this));
    CProjectTypeSelectionDialog type;
    const INT_PTR answer = type.DoModal(m_hWnd);
    if (!IsWindow()) return;
    if (answer != IDOK) {
        Send(PCID_CLOSE_PROJECT, {});
        return;
    }
    m_finalize = (type.Flags() & CProjectTypeSelectionDialog::FINALIZE_DISC) ? 1 : 0;
    if (!(type.Flags() & CProjectTypeSelectionDialog::CONTINUE_DISC)) return;

    long deviceId = -1;
    CVariantSafearray data(1);
    if (data.Create() && SUCCEEDED(data.Prepare({{VT_I4 | VT_BYREF, &deviceId}})))
        SendCommand(DECID_GET_CURRENT_DEVICE_ID, data);
    for (;;) {
        CDeviceSelectionDialog devices{unsigned(deviceId)};
        if (devices.DoModal(m_hWnd) != IDOK || !IsWindow()) return;
        // Session import pumps no messages: the window stays.
        if (ImportPreviousSession(devices.DeviceId(), devices.TrackNumber())) return;
        CommonMessageBox(DialogText(IDS_NO_SESSION_TO_IMPORT), MBX_OK | MBX_ICONWARNING);
        if (!IsWindow()) return;
        deviceId = long(devices.DeviceId());
    }
}

void CCoNostrine::OnFinalMessage(HWND)
{
    com::ComPtr<IUnknown> last;
    std::swap(last, m_keptAlive);
}

// The session that ends with `track` becomes the tree's imported content.
bool CCoNostrine::ImportPreviousSession(unsigned deviceId, int track)
{
    com::ComPtr<IFileTree> imported;
    if (FAILED(ImportSession(deviceId, track, imported))) return false;
    m_import = track;
    CopyImportedTree(imported, m_tree);
    // The disc is continued where its session was read: that drive burns it.
    Send(DECID_SET_CURRENT_DEVICE_ID, {{VT_I4, long(deviceId)}});
    SelectFolder(m_tree.GetRoot(), true);
    UpdateCommands();
    Send(PCID_IMAGE_SIZE_CHANGED, {});
    return true;
}

HRESULT CCoNostrine::ChooseEntry(BSTR* path)
{
    if (!path) return E_POINTER;
    CUserFSEntryChoiceDialog dialog(m_tree);
    if (dialog.DoModal(::GetActiveWindow()) != IDOK) return E_FAIL;
    *path = com::Bstr(dialog.Path()).Detach();
    return S_OK;
}

void CCoNostrine::ShowProcessing(bool show)
{
    if (!show) {
        if (m_processing && m_processing->IsWindow()) m_processing->Show(false);
        return;
    }
    if (!m_processing) m_processing.reset(new CFilesProcessingDialog(GuidToString(CLSID_CoNostrine)));
    if (!m_processing->IsWindow() && IsWindow()) m_processing->Create(m_hWnd);
    if (!m_processing->IsWindow()) return;
    CenterOverOwner(m_processing->m_hWnd);
    m_processing->Show(true);  // clears its stop flag
}

bool CCoNostrine::StopRequested() const { return m_processing && m_processing->StopRequested(); }

void CCoNostrine::ShowProcessedFile(const CUserFSEntry* file)
{
    if (m_processing) m_processing->SetFile(file->m_sourcePath);
}
