#include "frame_table.h"
#include "hosting.h"
#include <shared/log.h>
#include <com/ptr.h>
#include <cstdio>

std::string FrameTableFailureText(const char* step, HRESULT hr, const char* label)
{
    char text[1024];
    std::snprintf(text, sizeof text, "Error: %s, error code: 0x%x. %s project type will not be available.", step,
                  static_cast<unsigned>(hr), label);
    return text;
}

namespace {

HRESULT Fail(const ProjectTypeInfo& type, const char* format, const char* name, HRESULT hr)
{
    char step[256];
    std::snprintf(step, sizeof step, format, name);
    LogFailure(step, hr);
    MessageBoxA(nullptr, FrameTableFailureText(step, hr, type.label).c_str(), type.label, MB_OK | MB_ICONSTOP);
    return hr;
}

}  // namespace

HRESULT CreateFrameTable(const ProjectTypeInfo& type, IFrameTableTarget& target, IUnknown* project)
{
    for (const FrameTableRow* row = type.frames; row->clsid; ++row) {
        IUnknown** member = target.Member(row->role);
        if (*member) {
            (*member)->Release();
            *member = nullptr;
        }
        HRESULT hr = CoCreateInstance(*row->clsid, nullptr, CLSCTX_ALL, IID_IUnknown, reinterpret_cast<void**>(member));
        if (FAILED(hr)) return Fail(type, "can't create %s", row->clsidName, hr);
        com::ComPtr<ICommandPerformer> performer;
        hr = (*member)->QueryInterface(IID_ICommandPerformer, reinterpret_cast<void**>(&performer));
        if (FAILED(hr)) return Fail(type, "can't query ICommandPerformer from %s", row->memberName, hr);
        hr = performer->SetPartnerNoAddRef(project);
        if (FAILED(hr)) return Fail(type, "can't set command performer partner for %s", row->memberName, hr);
    }
    return S_OK;
}
