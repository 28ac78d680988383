// The device's side of the jobs: the job methods, the worker's start and
// hold, and the device window's handlers that turn a worker's messages
// into events.
#include "devices/device.h"
#include <com/guard.h>
#include "jobs/audio_burn_job.h"
#include "jobs/data_burn_job.h"
#include "jobs/dvd_video_burn_job.h"
#include "jobs/erase_job.h"
#include "jobs/grab_image_job.h"
#include "jobs/image_burn_job.h"
#include "jobs/video_cd_burn_job.h"
#include <com/text.h>
#include "jobs/job_messenger.h"
#include <shared/method_log.h>
#include <shared/log.h>
#include <com/local_server.h>
#include <optional>
#include <dbt.h>

namespace {

// The name the log gives the handler of a served job's phase; null for the
// kinds that are not served yet.
const char* JobHandlerName(uint32_t kind, uint32_t phase)
{
    static const char* const data[] = {"OnDataBurnPrepare", "OnDataBurnStart", "OnDataBurnEnd"};
    static const char* const erase[] = {"OnErasePrepare", "OnEraseStart", "OnEraseEnd"};
    // The image burn runs under the DVD-Video burn's kind and handlers.
    static const char* const video[] = {"OnDVDVideoBurnPrepare", "OnDVDVideoBurnStart", "OnDVDVideoBurnEnd"};
    static const char* const grab[] = {"OnGrabImagePrepare", "OnGrabImageStart", "OnGrabImageEnd"};
    static const char* const vcd[] = {"OnVideoCDBurnPrepare", "OnVideoCDBurnStart", "OnVideoCDBurnEnd"};
    static const char* const svcd[] = {"OnSuperVideoCDBurnPrepare", "OnSuperVideoCDBurnStart",
                                       "OnSuperVideoCDBurnEnd"};
    static const char* const audio[] = {"OnAudioBurnPrepare", "OnAudioBurnStart", "OnAudioBurnEnd"};
    if (phase < JOB_PHASE_PREPARE || phase > JOB_PHASE_END) return nullptr;
    if (kind == JOB_DVDVIDEO) return video[phase - JOB_PHASE_PREPARE];
    if (kind == JOB_GRABIMAGE) return grab[phase - JOB_PHASE_PREPARE];
    if (kind == JOB_DATA) return data[phase - JOB_PHASE_PREPARE];
    if (kind == JOB_ERASE) return erase[phase - JOB_PHASE_PREPARE];
    if (kind == JOB_VIDEOCD) return vcd[phase - JOB_PHASE_PREPARE];
    if (kind == JOB_SUPERVIDEOCD) return svcd[phase - JOB_PHASE_PREPARE];
    if (kind == JOB_AUDIO) return audio[phase - JOB_PHASE_PREPARE];
    return nullptr;
}

}  // namespace

bool CCoDevice::IsBusy()
{
    com::ObjectLock<CCoDevice> lock(this);
    DWORD code = 0;
    return m_worker && GetExitCodeThread(m_worker, &code) && code == STILL_ACTIVE;
}

void CCoDevice::SetInternalErase(bool internal)
{
    com::ObjectLock<CCoDevice> lock(this);
    m_internalErase = internal;
}

STDMETHODIMP CCoDevice::Erase(unsigned long a_ulCallerCookie, unsigned long a_ulSpeed, unsigned int a_uiFullErase)
{
    return com::Guarded("CCoDevice::Erase", [&]() -> HRESULT {
        CLogMethodScope<CCoDevice> log("Erase");
        return CEraseJob::Start(this, a_ulCallerCookie, a_ulSpeed, a_uiFullErase != 0);
    });
}

STDMETHODIMP CCoDevice::BurnImage(unsigned long a_ulCallerCookie, unsigned long a_ulSpeed, BSTR a_bsImagePath,
                                  unsigned long a_ulBufferSize)
{
    return com::Guarded("CCoDevice::BurnImage", [&]() -> HRESULT {
        CLogMethodScope<CCoDevice> log("BurnImage");
        return CImageBurnJob::Start(this, a_ulCallerCookie, a_ulSpeed, com::AnsiFromBstr(a_bsImagePath),
                                    a_ulBufferSize);
    });
}

STDMETHODIMP CCoDevice::BurnDVDVideo(unsigned long a_ulCallerCookie, unsigned long a_ulSpeed, BSTR a_bsImagePath,
                                     unsigned long a_ulBufferSize)
{
    return com::Guarded("CCoDevice::BurnDVDVideo", [&]() -> HRESULT {
        CLogMethodScope<CCoDevice> log("BurnDVDVideo");
        return CDvdVideoBurnJob::Start(this, a_ulCallerCookie, a_ulSpeed, com::AnsiFromBstr(a_bsImagePath),
                                       a_ulBufferSize);
    });
}

STDMETHODIMP CCoDevice::BurnVideoCD(unsigned long a_ulCallerCookie, unsigned long a_ulSpeed, BSTR a_bsSourcePath,
                                    unsigned long a_ulBufferSize)
{
    return com::Guarded("CCoDevice::BurnVideoCD", [&]() -> HRESULT {
        CLogMethodScope<CCoDevice> log("BurnVideoCD");
        return CVideoCdBurnJob::Start(this, CVideoCdBurnJob::VIDEO_CD, a_ulCallerCookie, a_ulSpeed,
                                      com::AnsiFromBstr(a_bsSourcePath), a_ulBufferSize);
    });
}

STDMETHODIMP CCoDevice::BurnSuperVideoCD(unsigned long a_ulCallerCookie, unsigned long a_ulSpeed,
                                         BSTR a_bsSourcePath, unsigned long a_ulBufferSize)
{
    return com::Guarded("CCoDevice::BurnSuperVideoCD", [&]() -> HRESULT {
        CLogMethodScope<CCoDevice> log("BurnSuperVideoCD");
        return CVideoCdBurnJob::Start(this, CVideoCdBurnJob::SUPER_VIDEO_CD, a_ulCallerCookie, a_ulSpeed,
                                      com::AnsiFromBstr(a_bsSourcePath), a_ulBufferSize);
    });
}

STDMETHODIMP CCoDevice::GrabImage(unsigned long a_ulCallerCookie, unsigned long a_ulSpeed, BSTR a_bsImagePath,
                                  unsigned long a_ulBufferSize)
{
    return com::Guarded("CCoDevice::GrabImage", [&]() -> HRESULT {
        CLogMethodScope<CCoDevice> log("GrabImage");
        return CGrabImageJob::Start(this, a_ulCallerCookie, a_ulSpeed, com::AnsiFromBstr(a_bsImagePath),
                                    a_ulBufferSize);
    });
}

STDMETHODIMP CCoDevice::BurnData(unsigned long a_ulCallerCookie, unsigned long a_ulSpeed, IUnknown* a_lpFileTreeUnk,
                                 unsigned long a_ulBufferSize)
{
    return com::Guarded("CCoDevice::BurnData", [&]() -> HRESULT {
        CLogMethodScope<CCoDevice> log("BurnData");
        return CDataBurnJob::Start(this, a_ulCallerCookie, a_ulSpeed, a_lpFileTreeUnk, a_ulBufferSize);
    });
}

STDMETHODIMP CCoDevice::BurnAudio(unsigned long a_ulCallerCookie, unsigned long a_ulSpeed, IUnknown* a_lpAudioImageUnk,
                                  unsigned long a_ulBufferSize)
{
    return com::Guarded("CCoDevice::BurnAudio", [&]() -> HRESULT {
        CLogMethodScope<CCoDevice> log("BurnAudio");
        return CAudioBurnJob::Start(this, a_ulCallerCookie, a_ulSpeed, a_lpAudioImageUnk, a_ulBufferSize);
    });
}

STDMETHODIMP CCoDevice::Cancel()
{
    return com::Guarded("CCoDevice::Cancel", [&]() -> HRESULT {
        CLogMethodScope<CCoDevice> log("Cancel");
        // Counted first: a job between two layer calls sees it at its next
        // check. Not under the device lock: the job that runs may hold it.
        ++m_cancels;
        m_grabber.Cancel();
        return S_OK;
    });
}

HRESULT CCoDevice::StartJob(unsigned cookie, unsigned speed, unsigned lastArgument,
                            LPTHREAD_START_ROUTINE worker, void* context)
{
    com::ObjectLock<CCoDevice> lock(this);
    if (IsBusy()) return STG_E_INUSE;
    if (m_worker) CloseHandle(m_worker);
    m_worker = nullptr;
    m_cookie = cookie;
    m_jobSpeed = speed;
    m_jobLastArgument = lastArgument;
    // Held before the thread runs: a client may let the device, and the
    // engine, go as soon as the job method returns.
    HoldForWorker();
    m_worker = CreateThread(nullptr, 0, worker, context, 0, nullptr);
    if (m_worker) return S_OK;
    HRESULT hr = HRESULT_FROM_WIN32(GetLastError());
    ReleaseWorkerHold(this);  // the caller still holds the device
    return hr;
}

void CCoDevice::HoldForWorker()
{
    static_cast<IDevice*>(this)->AddRef();
    com::ServerLock();
}

void CCoDevice::ReleaseWorkerHold(CCoDevice* device)
{
    static_cast<IDevice*>(device)->Release();
    // After the device: the drop to zero starts the engine's time-out.
    com::ServerUnlock();
}

uint32_t CCoDevice::BurnerCallback(uint32_t reason, void* context, void* param1, void* param2)
{
    auto* device = static_cast<CCoDevice*>(context);
    if (device && device->WindowHandle()) CJobMessenger(device->WindowHandle()).Progress(reason, param1, param2);
    return 0;
}

unsigned CCoDevice::Cookie()
{
    com::ObjectLock<CCoDevice> lock(this);
    return m_cookie;
}

LRESULT CCoDevice::OnJobState(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    auto* record = reinterpret_cast<JOB_STATE_RECORD*>(wParam);
    if (record && record->kind == JOB_INTERNAL_ERASE && record->phase == JOB_PHASE_INTERNAL) {
        CLogMethodScope<CCoDevice> log("OnInternalErase");
        CEraseJob::StartInternal(this, reinterpret_cast<INTERNAL_ERASE_RECORD*>(record));
        return 0;
    }
    const unsigned event = record ? JobPhaseEvent(record->kind, record->phase) : 0;
    if (!event) {
        handled = FALSE;
        return 0;
    }
    std::optional<CLogMethodScope<CCoDevice>> log;
    if (const char* name = JobHandlerName(record->kind, record->phase)) log.emplace(name);
    unsigned cookie, lParam = 0;
    {
        com::ObjectLock<CCoDevice> lock(this);
        cookie = m_cookie;
        switch (record->phase) {
        case JOB_PHASE_PREPARE:
            // Held until the job's end.
            static_cast<IDevice*>(this)->AddRef();
            record->speed = m_jobSpeed;
            record->port = Port();
            record->bus = Bus();
            record->target = Target();
            record->lun = Lun();
            record->lastArgument = m_jobLastArgument;
            break;
        case JOB_PHASE_START:
            lParam = record->speed;
            break;
        default:
            lParam = static_cast<unsigned>(record->result);
            // An erase inside a burn ends while its burn job still runs.
            if (record->kind == JOB_ERASE && m_internalErase) break;
            if (m_worker) CloseHandle(m_worker);
            m_worker = nullptr;
            break;
        }
    }
    m_events.FirePost(event, cookie, lParam);
    // Last: it may be the device's last reference.
    if (record->phase == JOB_PHASE_END) static_cast<IDevice*>(this)->Release();
    return 0;
}

LRESULT CCoDevice::OnAskUser(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    // No one to answer is no: a job must not wait for ever for a disc that
    // no one was asked for.
    return m_events.Ask(Cookie(), static_cast<unsigned>(wParam));
}

LRESULT CCoDevice::OnJobStatus(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    m_events.FirePost(DM_STATUS, Cookie(), static_cast<unsigned>(wParam));
    return 0;
}

LRESULT CCoDevice::OnCheckMedium(UINT, WPARAM, LPARAM, BOOL&)
{
    CheckMedium(false);
    return 0;
}

LRESULT CCoDevice::OnBurnerCallback(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    CallbackEvent event = {};
    const auto* record = reinterpret_cast<const BURNER_CALLBACK_RECORD*>(wParam);
    if (!record || !CallbackEventFor(*record, &event)) {
        handled = FALSE;
        return 0;
    }
    if (event.message) m_events.FirePost(event.message, Cookie(), event.lParam);
    return 0;
}

LRESULT CCoDevice::OnJobRef(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (wParam) HoldForWorker();
    else ReleaseWorkerHold(this);  // last: it may free the device
    return 0;
}

LRESULT CCoDevice::OnDeviceChange(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    handled = FALSE;  // the default answer stands
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
    if ((wParam != DBT_DEVICEARRIVAL && wParam != DBT_DEVICEREMOVECOMPLETE) || !header ||
        header->dbch_devicetype != DBT_DEVTYP_VOLUME)
        return 0;
    const auto* volume = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(header);
    unsigned letter;
    {
        com::ObjectLock<CCoDevice> lock(this);
        letter = m_letter;
    }
    // This drive's own bit: one broadcast may name several drives.
    if (volume->dbcv_flags != DBTF_MEDIA || letter < 'A' || letter > 'Z' ||
        !(volume->dbcv_unitmask >> (letter - 'A') & 1))
        return 0;
    CLogMethodScope<CCoDevice> log("OnDeviceChange");
    CheckMedium(true);
    return 0;
}
