#include "image_size_report.h"
#include "project_base.h"
#include "size_report.h"
#include <shared/log.h>
#include <shared/variant_safearray.h>

HRESULT ReportImageSize(CProjectBase& project, const SizeReport& report)
{
    com::ComPtr<ICommandPerformer> editor;
    if (!project.FirstFrame() || FAILED(editor.QueryFrom(project.FirstFrame(), IID_ICommandPerformer))) {
        LogNull(report.editorName);
        return E_FAIL;
    }
    ULONGLONG bytes = 0;
    CVariantSafearray data(1);
    data.Create();
    HRESULT hr = data.Prepare({{VT_UI8 | VT_BYREF, &bytes}});
    if (FAILED(hr)) return hr;
    hr = editor->InvokeCommand(project.Self(), project.ProjectClsid(), PCID_GET_IMAGE_SIZE, data);
    if (FAILED(hr) && !report.sendWithoutAnswer) return hr;
    const ULONGLONG size = SUCCEEDED(hr) ? bytes : 0;
    SendSizeReport(project, report.kind, report.kind == SIZEBAR_AUDIO ? AudioSeconds(size) : 0.0f, size);
    return hr;
}

float AudioSeconds(ULONGLONG bytes) { return float(bytes) * 5.668934e-6f; }
