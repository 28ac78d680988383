#include "test_project_type.h"
#include "stub_components.h"
#include "project_ids.h"

// {6C1E2D4F-9F8B-4A72-8D2C-2B3C4D5E6F01}, {...02}
const CLSID CLSID_CoTestProject = {0x6C1E2D4F, 0x9F8B, 0x4A72, {0x8D, 0x2C, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F, 0x01}};
const CLSID CLSID_CoTestProjectEx = {0x6C1E2D4F, 0x9F8B, 0x4A72, {0x8D, 0x2C, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F, 0x02}};

namespace {

const FrameTableRow kFrames[] = {
    {&CLSID_StubTaskPanel, "CLSID_CoPanelCtrl", "m_compTaskPane", FrameRole::TaskPane},
    {&CLSID_StubEditor, "CLSID_CoStubEditor", "m_compStubEditor", FrameRole::FirstFrame},
    {&CLSID_StubBurner, "CLSID_CoDrubeck", "m_compDrubeck", FrameRole::BurningFrame},
    {nullptr, nullptr, nullptr, FrameRole::TaskPane},
};

}  // namespace

const ProjectTypeInfo& CCoTestProject::Type()
{
    static const ProjectTypeInfo type = {"Testar", "qvtest", IDS_PROJECT_FILE_DESCRIPTION, IDR_PROJECT_MENU, kFrames};
    return type;
}

const ProjectTypeInfo& CCoTestProjectEx::Type()
{
    static const ProjectTypeInfo type = {"Testar", "qvtest", IDS_PROJECT_FILE_DESCRIPTION, IDR_PROJECT_MENU_AUTORUN,
                                         kFrames};
    return type;
}

HRESULT CCoTestProjectEx::GetOwnWindowMode(FrameRole role, long* mode)
{
    if (role != FrameRole::FirstFrame) return E_FAIL;
    *mode = 1;
    return S_OK;
}
