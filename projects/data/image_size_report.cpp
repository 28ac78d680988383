#include "image_size_report.h"
#include "project_base.h"
#include "size_report.h"
#include <shared/log.h>
#include <shared/variant_safearray.h>

HRESULT ReportImageSize(CProjectBase& project, SizeReportCause cause)
{
    com::ComPtr<ICommandPerformer> editor;
    if (!project.FirstFrame() || FAILED(editor.QueryFrom(project.FirstFrame(), IID_ICommandPerformer))) {
        LogNull("compNostrine");
        return E_FAIL;
    }
    ULONGLONG bytes = 0;
    CVariantSafearray data(1);
    data.Create();
    HRESULT hr = data.Prepare({{VT_UI8 | VT_BYREF, &bytes}});
    if (FAILED(hr)) return hr;
    hr = editor->InvokeCommand(project.Self(), project.ProjectClsid(), PCID_GET_IMAGE_SIZE, data);
    if (FAILED(hr) && cause == SizeReportCause::EditorChanged) return hr;
    SendSizeReport(project, SIZEBAR_DATA, 0, SUCCEEDED(hr) ? bytes : 0);
    return hr;
}
