#include "audio_layout_source.h"
#include "project_base.h"
#include <shared/log.h>

HRESULT CAudioLayoutSource::HandOver(SAFEARRAY* question)
{
    com::ComPtr<ICommandPerformer> editor;
    if (!m_project.FirstFrame() || FAILED(editor.QueryFrom(m_project.FirstFrame(), IID_ICommandPerformer))) {
        LogNull("compHollistra");
        return E_FAIL;
    }
    return editor->InvokeCommand(m_project.Self(), m_project.ProjectClsid(), AECID_GET_AUDIO_LAYOUT, question);
}
