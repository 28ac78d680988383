#include "source_projects.h"
#include "project_ids.h"
#include "size_report.h"
#include "source_project_ids.h"
#include <frames/source_pages/pelgrave_classes.h>
#include <drubeck.h>

namespace {

const FrameTableRow kCopyFrames[] = {
    {&CLSID_CoPanelCtrl, "CLSID_CoPanelCtrl", "m_compTaskPane", FrameRole::TaskPane},
    {&CLSID_CoPelgrave, "CLSID_CoPelgrave", "m_compPelgrave", FrameRole::FirstFrame},
    {&CLSID_CoDrubeck, "CLSID_CoDrubeck", "m_compDrubeck", FrameRole::BurningFrame},
    {nullptr, nullptr, nullptr, FrameRole::TaskPane},
};

const FrameTableRow kImageFrames[] = {
    {&CLSID_CoPanelCtrl, "CLSID_CoPanelCtrl", "m_compTaskPane", FrameRole::TaskPane},
    {&CLSID_CoPelgrave, "CLSID_CoPelgrave", "m_compBurnImageSource", FrameRole::FirstFrame},
    {&CLSID_CoDrubeck, "CLSID_CoDrubeck", "m_compDrubeck", FrameRole::BurningFrame},
    {nullptr, nullptr, nullptr, FrameRole::TaskPane},
};

const long IMAGE_SOURCE_MODE = 1;

}  // namespace

template <class T, const CLSID* Clsid>
void CSourceProject<T, Clsid>::SendEmptySizeReport(CProjectBase& project)
{
    SendSizeReport(project, SIZEBAR_DATA, 0, 0);
}

template class CSourceProject<CCoQuorrel, &CLSID_CoQuorrel>;
template class CSourceProject<CCoEllidra, &CLSID_CoEllidra>;

const ProjectTypeInfo& CCoQuorrel::Type()
{
    static const ProjectTypeInfo type = {"Quorrel", "qvcopy", IDS_SOURCE_PROJECT_FILE, IDR_PROJECT_MENU, kCopyFrames};
    return type;
}

const ProjectTypeInfo& CCoEllidra::Type()
{
    static const ProjectTypeInfo type = {"Ellidra", "qvimgburn", IDS_SOURCE_PROJECT_FILE, IDR_PROJECT_MENU,
                                         kImageFrames};
    return type;
}

HRESULT CCoEllidra::GetOwnWindowMode(FrameRole role, long* mode)
{
    if (role != FrameRole::FirstFrame) return E_FAIL;
    *mode = IMAGE_SOURCE_MODE;
    return S_OK;
}
