#include "data_burn_job.h"
#include "device.h"
#include "erase_job.h"
#include "grabber.h"
#include "iso_file_tree.h"
#include "job_messenger.h"
#include "medium_type.h"
#include "tray_lock.h"
#include <log.h>
#include <memory>

namespace {

const DWORD WORKER_DELAY_MS = 800;
const DWORD STARTER_DELAY_MS = 500;
const DWORD START_PAUSE_MS = 100;

IDevice* Itf(CCoDevice* device) { return static_cast<IDevice*>(device); }

// What a job reads of the medium before it writes.
struct MediumState {
    uint32_t type = DISC_MT_NO_MEDIA;
    uint8_t status = DISC_STATUS_BLANK;
    uint64_t freeBytes = 0;
};

MediumState ReadMedium(CGrabber& grabber)
{
    MediumState m;
    // A drive that is not ready has no medium to write on.
    if (grabber.TestUnitReady() != DISC_OK || grabber.GetDiscType(&m.type) != DISC_OK) {
        m.type = DISC_MT_NO_MEDIA;
        return m;
    }
    DiscInformation disc = {};
    if (grabber.GetDiscInformation(&disc) == DISC_OK) m.status = disc.discStatus;
    DiscTrackInformation track = {};
    if (m.status != DISC_STATUS_COMPLETE && grabber.GetTrackInformation(DISC_TRACK_INCOMPLETE, &track) == DISC_OK)
        m.freeBytes = uint64_t(track.freeBlocks) * 2048;
    return m;
}

}  // namespace

HRESULT CDataBurnJob::Start(CCoDevice* device, unsigned cookie, unsigned speed, IUnknown* source,
                            unsigned lastArgument)
{
    // Only a tree of this engine has the layer's tree behind it; anything
    // else would leave the worker nothing to build.
    com::ComPtr<IFileTree> tree;
    com::ComPtr<ISimpleRawPtr> raw;
    if (!source || FAILED(source->QueryInterface(IID_IFileTree, reinterpret_cast<void**>(&tree))) ||
        FAILED(source->QueryInterface(IID_CCoISOFileTree, reinterpret_cast<void**>(&raw))))
        return E_INVALIDARG;
    std::unique_ptr<CDataBurnJob> job(new CDataBurnJob(device, std::move(tree), std::move(raw)));
    com::ObjectLock<CCoDevice> lock(device);
    HRESULT hr = device->StartJob(cookie, speed, lastArgument, Thread, job.get());
    if (hr == STG_E_INUSE) return hr;
    if (FAILED(hr)) return E_FAIL;
    job.release();  // the thread's now
    Sleep(STARTER_DELAY_MS);
    return S_OK;
}

DWORD WINAPI CDataBurnJob::Thread(void* context)
{
    std::unique_ptr<CDataBurnJob> job(static_cast<CDataBurnJob*>(context));
    return job->Run();
}

DWORD CDataBurnJob::Run()
{
    CLogFunctionScope log("_VK_BurnDVDVideoThread");
    Sleep(WORKER_DELAY_MS);
    HWND window = m_device->WindowHandle();
    if (!window || !IsWindow(window)) {
        CCoDevice::ReleaseWorkerHold(m_device);
        return static_cast<DWORD>(-1);
    }
    CJobMessenger job(window);
    JOB_STATE_RECORD record = {0, JOB_DATA};
    record.result = E_FAIL;
    job.Prepare(&record);
    HRESULT result;
    try {
        result = Body(job, &record);
    } catch (...) {
        LogPrintf("\tUNKNOWN EXCEPTION!");
        result = E_FAIL;
    }
    job.End(&record, result);
    m_tree.Reset();
    m_raw.Reset();
    job.ReleaseDevice();  // last: it may free the device
    return 0;
}

HRESULT CDataBurnJob::Body(CJobMessenger& job, JOB_STATE_RECORD* record)
{
    for (;;) {
        Next next = Next::Done;
        HRESULT hr = Pass(job, record, &next);
        if (next == Next::Done) return hr;
        // The pass's grabber is gone and the tray unlocked: the erase and
        // the next pass find the drive free.
        if (next == Next::EraseThenRetry && FAILED(hr = CEraseJob::RunInternal(m_device->WindowHandle())))
            return hr;
    }
}

HRESULT CDataBurnJob::Pass(CJobMessenger& job, JOB_STATE_RECORD* record, Next* next)
{
    CGrabber grabber;
    if (grabber.Create(CCoDevice::BurnerCallback, m_device, m_device->Id(), record->lastArgument & 0xFF) != DISC_OK)
        return E_FAIL;
    const MediumState medium = ReadMedium(grabber);
    const bool erasable = IsErasableMedium(medium.type);
    if (medium.type == DISC_MT_NO_MEDIA || !IsWritableMedium(medium.type)) {
        const unsigned question = medium.type == DISC_MT_NO_MEDIA ? ASK_INSERT_DISC : ASK_NOT_WRITABLE;
        if (!job.AskForMedium(Itf(m_device), question)) return SCARD_W_CANCELLED_BY_USER;
        *next = Next::Retry;
        return S_OK;
    }
    CTrayLock tray(grabber);
    if (medium.status == DISC_STATUS_COMPLETE && erasable) {
        if (job.Ask(ASK_ERASE_FINALIZED) == 1) {
            *next = Next::EraseThenRetry;
            return S_OK;
        }
        job.Status(ST_FINALIZED);
        return SCARD_W_CANCELLED_BY_USER;
    }
    if (!m_built) {
        job.Status(ST_DATA_IMAGE_BEGIN);
        const bool built = SUCCEEDED(m_tree->BuildImage());
        if (!built) static_cast<CCoISOFileTree*>(m_raw.Get())->LogBuildFailure();
        job.Status(ST_DATA_IMAGE_END, built ? 1 : 0);
        if (!built) return E_FAIL;
        m_built = true;
    }
    uint32_t high = 0;
    const uint32_t low = IsoTree_GetImageSize(static_cast<DiscHandle>(m_raw->GetRawPtr()), &high);
    const uint64_t size = uint64_t(high) << 32 | low;
    if (medium.freeBytes < size) {
        if (medium.status != DISC_STATUS_BLANK && erasable) {
            if (job.Ask(ASK_ERASE_FOR_SPACE) != 1) return SCARD_W_CANCELLED_BY_USER;
            *next = Next::EraseThenRetry;
            return S_OK;
        }
        // The tray opens for the other disc.
        tray.Release();
        if (!job.AskForMedium(Itf(m_device), ASK_NOT_ENOUGH_SPACE)) return SCARD_W_CANCELLED_BY_USER;
        *next = Next::Retry;
        return S_OK;
    }
    return Write(job, grabber, record);
}

HRESULT CDataBurnJob::Write(CJobMessenger& job, CGrabber& grabber, JOB_STATE_RECORD* record)
{
    uint32_t read = 0, maxRead = 0, write = 0, maxWrite = 0;
    if (grabber.SetSpeeds(0xFFFF, record->speed) != DISC_OK ||
        grabber.GetSpeeds(&read, &maxRead, &write, &maxWrite) != DISC_OK) {
        job.Status(ST_SPEED_FAILED);
        return E_FAIL;
    }
    job.Status(ST_SENDING_OPC, grabber.SendOPC() == DISC_OK ? 1 : 0);
    uint32_t available = 0, enabled = 0;
    if (grabber.GetBUP(&available, &enabled) == DISC_OK && available)
        job.Status(ST_BUP_ENABLED, grabber.SetBUP(1) == DISC_OK ? 1 : 0);
    Sleep(START_PAUSE_MS);
    record->speed = write;
    job.Start(record);

    const bool test = (record->lastArgument & 0xFF) == 0xFF;
    // Without the finalize flag the disc stays open for another session.
    const uint32_t leaveOpen = m_tree->IsDoFinalize() == S_FALSE ? 1 : 0;
    // A tree built for another start address, or imported from a disc that
    // has since been erased or swapped, is refused here by the layer.
    if (grabber.TrackAtOnceFromTree(static_cast<DiscHandle>(m_raw->GetRawPtr()), test ? 1 : 0, leaveOpen) != DISC_OK)
        return E_FAIL;
    if (!test && grabber.CloseSession() != DISC_OK) return E_FAIL;
    return S_OK;
}
