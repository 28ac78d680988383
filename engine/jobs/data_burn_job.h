// The data burn job: builds the image of an engine file tree and writes it
// to the disc as one track, on the job frame. It asks for a disc, for
// another disc or for an erase as the medium needs; its events are
// DM_BURNPREPARE, statuses and questions, DM_BURNSTART, the disc layer's
// progress and DM_BURNEND with the device's cookie.
#pragma once
#include <engine.h>
#include "jobs/writing_job.h"
#include <com/ptr.h>

class CGrabber;

class CDataBurnJob : public CWritingJob {
public:
    // IWriter::BurnData: E_INVALIDARG for a source that is not a file tree
    // of this engine, STG_E_INUSE when the device is busy, E_FAIL when the
    // worker cannot start; else S_OK, and the events tell the rest.
    static HRESULT Start(CCoDevice* device, unsigned cookie, unsigned speed, IUnknown* source,
                         unsigned lastArgument);

private:
    static const JOB_TRAITS TRAITS;

    CDataBurnJob(CCoDevice* device, com::ComPtr<IFileTree> tree, com::ComPtr<ISimpleRawPtr> raw)
        : CWritingJob(device, TRAITS), m_tree(std::move(tree)), m_raw(std::move(raw)) {}
    void End(CJobMessenger& job, JOB_STATE_RECORD* record, HRESULT result) override;
    HRESULT Pass(CJobMessenger& job, JOB_STATE_RECORD* record, CGrabber& grabber, const MEDIUM_STATE& medium,
                 CTrayLock& tray, Next* next) override;
    HRESULT Write(CJobMessenger& job, CGrabber& grabber, JOB_STATE_RECORD* record);

    com::ComPtr<IFileTree> m_tree;
    com::ComPtr<ISimpleRawPtr> m_raw;  // the tree's own class (IID_CCoISOFileTree)
    // The image is built once, on the first pass that reaches the build:
    // a pass that asks for a disc first builds nothing.
    bool m_built = false;
};
