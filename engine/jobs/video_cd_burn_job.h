// The Video CD and Super Video CD burn jobs: one job in two kinds that
// writes an MPEG program stream as a Video CD (JOB_VIDEOCD) or a Super
// Video CD (JOB_SUPERVIDEOCD) on the job frame. The disc layer lays the
// disc out from the stream itself; the job only finds a blank disc for it.
// Its events are DM_BURNPREPARE, statuses and questions, DM_BURNSTART, the
// disc layer's progress and DM_BURNEND.
//
// Questions: ASK_INSERT_DISC and ASK_NOT_WRITABLE (tray opened, the new
// medium checked); a disc that is not blank asks ASK_ERASE_FOR_BLANK when
// it is rewritable (yes: an internal erase, then again) and ASK_NEED_BLANK
// otherwise (yes: the user has changed the disc, again). A declined
// question ends the job with 0x8010006E and no status.
#pragma once
#include "jobs/writing_job.h"
#include <string>

class CGrabber;

// The creation date the disc carries: twelve digits, year to minute.
std::string VideoCdDateText(const SYSTEMTIME& local);

class CVideoCdBurnJob : public CWritingJob {
public:
    enum FORMAT { VIDEO_CD, SUPER_VIDEO_CD };

    // IWriter2::BurnVideoCD and BurnSuperVideoCD: E_INVALIDARG, with no
    // event, for a path that is empty or does not fit the job's path
    // field; STG_E_INUSE when the device is busy, E_FAIL when the worker
    // cannot start.
    static HRESULT Start(CCoDevice* device, FORMAT format, unsigned cookie, unsigned speed,
                         const std::string& stream, unsigned lastArgument);

private:
    static const JOB_TRAITS VIDEO_CD_TRAITS, SUPER_VIDEO_CD_TRAITS;

    CVideoCdBurnJob(CCoDevice* device, FORMAT format, std::string stream)
        : CWritingJob(device, format == SUPER_VIDEO_CD ? SUPER_VIDEO_CD_TRAITS : VIDEO_CD_TRAITS),
          m_format(format), m_stream(std::move(stream))
    {
    }
    // The result as it stood: E_FAIL until the write succeeded.
    HRESULT OnException(const JOB_STATE_RECORD& record) override { return record.result; }
    HRESULT Pass(CJobMessenger& job, JOB_STATE_RECORD* record, CGrabber& grabber, const MEDIUM_STATE& medium,
                 CTrayLock& tray, Next* next) override;
    HRESULT Write(CJobMessenger& job, CGrabber& grabber, JOB_STATE_RECORD* record);

    FORMAT m_format;
    std::string m_stream;
};
