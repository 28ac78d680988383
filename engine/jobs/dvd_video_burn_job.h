// The DVD-Video burn job: builds the UDF image of a folder's VIDEO_TS and
// AUDIO_TS (file_trees/dvd_video_image.h) and writes it as one track, on
// the job frame. Its events are DM_BURNPREPARE, statuses (the build between
// ST_DVDVIDEO_IMAGE_BEGIN and ST_DVDVIDEO_IMAGE_END) and questions,
// DM_BURNSTART, the disc layer's progress and DM_BURNEND.
#pragma once
#include "jobs/writing_job.h"
#include <string>

class CGrabber;

class CDvdVideoBurnJob : public CWritingJob {
public:
    // IWriter::BurnDVDVideo: E_INVALIDARG, with no event, for a path that is
    // empty or does not fit the job's path field; STG_E_INUSE when the
    // device is busy, E_FAIL when the worker cannot start.
    static HRESULT Start(CCoDevice* device, unsigned cookie, unsigned speed, const std::string& folder,
                         unsigned lastArgument);

private:
    static const JOB_TRAITS TRAITS;

    CDvdVideoBurnJob(CCoDevice* device, std::string folder) : CWritingJob(device, TRAITS), m_folder(std::move(folder))
    {
    }
    HRESULT Pass(CJobMessenger& job, JOB_STATE_RECORD* record, CGrabber& grabber, const MEDIUM_STATE& medium,
                 CTrayLock& tray, Next* next) override;

    std::string m_folder;
};
