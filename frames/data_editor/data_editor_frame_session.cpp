// The data editor taking over the previous session of a multisession disc.
#include "data_editor_frame.h"
#include <data_editor/model/session_takeover.h>

HRESULT CCoNostrine::TakeOverSession(int deviceId, int track)
{
    if (Busy()) return E_FAIL;
    const HRESULT hr = TakeOverPreviousSession(m_tree, deviceId, track);
    if (hr != S_OK) return hr;
    m_import = track;
    if (IsWindow()) {
        SelectFolder(m_tree.GetRoot(), true);
        UpdateCommands();
    }
    Send(PCID_IMAGE_SIZE_CHANGED, {});
    return S_OK;
}
