// The grab image job: reads the disc in the drive into `<path>.mds` and
// its data files `<path>.xm0`, `<path>.xm1`, ... on the job frame. A DVD is
// read as 2048-byte sectors, split in parts of the job's last argument (in
// MiB), any other disc as raw CD sectors. Its events are DM_GRABPREPARE,
// DM_GRABSTART with the read speed the drive took, DM_READPROGRESS and
// DM_GRABEND; the only question is ASK_INSERT_DISC. A failed or cancelled
// grab leaves no file of its own behind and an earlier grab's set whole
// (the disc layer replaces a set only when the new one is complete).
#pragma once
#include "jobs/job_frame.h"
#include <string>

class CGrabber;

class CGrabImageJob : public CJobFrame {
public:
    // IReader::GrabImage: E_INVALIDARG, with no event, for a path that is
    // empty or leaves no room for ".mds" and ".xmN" (N of up to five
    // digits) in the job's path field; STG_E_INUSE when the device is busy, E_FAIL when the worker
    // cannot start.
    static HRESULT Start(CCoDevice* device, unsigned cookie, unsigned speed, const std::string& path,
                         unsigned lastArgument);

private:
    static const JOB_TRAITS TRAITS;

    CGrabImageJob(CCoDevice* device, std::string path) : CJobFrame(device, TRAITS), m_path(std::move(path)) {}
    HRESULT Body(CJobMessenger& job, JOB_STATE_RECORD* record) override;
    HRESULT Grab(CJobMessenger& job, CGrabber& grabber, JOB_STATE_RECORD* record, uint32_t type);

    std::string m_path;
};
