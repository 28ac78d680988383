#include "image_size_report.h"
#include "project_base.h"
#include <shared/log.h>
#include <shared/variant_safearray.h>

HRESULT ReportImageSize(CProjectBase& project, const SizeReport& report)
{
    HWND window = project.m_hWnd;
    NMSIZEBARUPDATE block;
    ZeroMemory(&block, sizeof block);
    block.hdr.hwndFrom = window;
    block.hdr.idFrom = static_cast<UINT_PTR>(::GetWindowLongA(window, GWL_ID));
    block.hdr.code = SIZEBARN_UPDATE;
    block.kind = report.kind;

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
    block.bytes = SUCCEEDED(hr) ? bytes : 0;
    if (report.kind == SIZEBAR_AUDIO) block.seconds = AudioSeconds(block.bytes);
    if (::IsWindow(window))
        ::SendMessageA(project.MainFrame(), WM_NOTIFY, block.hdr.idFrom, reinterpret_cast<LPARAM>(&block));
    return hr;
}

float AudioSeconds(ULONGLONG bytes) { return float(bytes) * 5.668934e-6f; }
