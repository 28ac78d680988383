#include "jobs/data_burn_job.h"
#include "devices/device.h"
#include "devices/device_constants.h"
#include "file_trees/iso_file_tree.h"
#include "jobs/job_steps.h"

// The worker's log name is the DVD-Video burn's: the log readers know the
// data burn's worker by it.
const JOB_TRAITS CDataBurnJob::TRAITS = {JOB_DATA, "_VK_BurnDVDVideoThread", 500, 800, "\tUNKNOWN EXCEPTION!"};

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
    return Launch(std::unique_ptr<CJobFrame>(new CDataBurnJob(device, std::move(tree), std::move(raw))), cookie,
                  speed, lastArgument);
}

void CDataBurnJob::End(CJobMessenger& job, JOB_STATE_RECORD* record, HRESULT result)
{
    job.End(record, result);
    m_tree.Reset();
    m_raw.Reset();
}

HRESULT CDataBurnJob::Pass(CJobMessenger& job, JOB_STATE_RECORD* record, CGrabber& grabber,
                           const MEDIUM_STATE& medium, CTrayLock& tray, Next* next)
{
    const bool erasable = IsErasableMedium(medium.type);
    if (medium.status == DISC_STATUS_COMPLETE && erasable) return AskEraseFinalized(job, next);
    if (!m_built) {
        job.Status(ST_DATA_IMAGE_BEGIN);
        const bool built = SUCCEEDED(m_tree->BuildImage());
        if (!built) static_cast<CCoISOFileTree*>(m_raw.Get())->LogBuildFailure();
        job.Status(ST_DATA_IMAGE_END, built ? 1 : 0);
        if (!built) return E_FAIL;
        m_built = true;
        if (Cancelled()) return CancelledResult();
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
        if (!AskForMedium(job, m_device, ASK_NOT_ENOUGH_SPACE)) return SCARD_W_CANCELLED_BY_USER;
        *next = Next::Retry;
        return S_OK;
    }
    return Write(job, grabber, record);
}

HRESULT CDataBurnJob::Write(CJobMessenger& job, CGrabber& grabber, JOB_STATE_RECORD* record)
{
    if (!StartWriting(job, grabber, record)) return E_FAIL;

    const bool test = IsTestWrite(record->lastArgument);
    // Without the finalize flag the disc stays open for another session.
    const uint32_t leaveOpen = m_tree->IsDoFinalize() == S_FALSE ? 1 : 0;
    // A tree built for another start address, or imported from a disc that
    // has since been erased or swapped, is refused here by the layer.
    if (grabber.TrackAtOnceFromTree(static_cast<DiscHandle>(m_raw->GetRawPtr()), test ? 1 : 0, leaveOpen) != DISC_OK)
        return E_FAIL;
    if (!test && grabber.CloseSession() != DISC_OK) return E_FAIL;
    return S_OK;
}
