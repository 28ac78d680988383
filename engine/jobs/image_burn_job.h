// The image burn job: writes an image file to the disc on the job frame.
// An ".iso" file (in any letter case) becomes one data track; any other
// file is written as whole raw sessions (our .mds, a CUE sheet, a bare raw
// or cooked image) when the drive writes session-at-once. Its events are
// those of the DVD-Video burn: DM_BURNPREPARE, statuses and questions,
// DM_BURNSTART, the disc layer's progress and DM_BURNEND.
#pragma once
#include "jobs/writing_job.h"
#include <string>

class CGrabber;

class CImageBurnJob : public CWritingJob {
public:
    // IWriter::BurnImage: E_INVALIDARG, with no event, for a path that is
    // empty or does not fit the job's path field; STG_E_INUSE when the
    // device is busy, E_FAIL when the worker cannot start.
    static HRESULT Start(CCoDevice* device, unsigned cookie, unsigned speed, const std::string& path,
                         unsigned lastArgument);

    // True for a path whose extension (from the last dot of the file name)
    // is ".iso" in any letter case.
    static bool IsIsoPath(const std::string& path);

private:
    static const JOB_TRAITS TRAITS;

    CImageBurnJob(CCoDevice* device, std::string path) : CWritingJob(device, TRAITS), m_path(std::move(path)) {}
    HRESULT Pass(CJobMessenger& job, JOB_STATE_RECORD* record, CGrabber& grabber, const MEDIUM_STATE& medium,
                 CTrayLock& tray, Next* next) override;
    HRESULT Write(CJobMessenger& job, CGrabber& grabber, JOB_STATE_RECORD* record);
    // The bytes a track-at-once image takes on the disc (whole blocks); 0
    // for a raw image, whose size the layer checks itself before writing.
    uint64_t TrackBytes() const;

    std::string m_path;
};
