#include "device.h"
#include "data_burn_job.h"
#include "device_speed_enum.h"
#include "erase_job.h"
#include "job_messenger.h"
#include "medium_type.h"
#include "track.h"
#include "method_log.h"
#include <log.h>
#include <com/local_server.h>
#include <algorithm>
#include <optional>
#include <cstdio>
#include <dbt.h>

namespace {

const unsigned DVD_STEP = 1385, CD_STEP = 176;
const unsigned DVD_PROBE = 3324, CD_PROBE = 387;
const unsigned MAX_SPEED_STEPS = 64;  // 64x, past the fastest drive of either family

const char* YesNo(uint8_t flag) { return flag ? "Yes" : "No"; }

void AddOnce(std::vector<unsigned>& set, unsigned value)
{
    auto at = std::lower_bound(set.begin(), set.end(), value);
    if (at == set.end() || *at != value) set.insert(at, value);
}

void LogSpeeds(const char* title, const std::vector<unsigned>& speeds)
{
    LogPrintf("%s", title);
    if (speeds.empty()) LogPrintf("\t\t --");
    for (unsigned s : speeds) LogPrintf("\t\t%i kbps", static_cast<int>(s));
}

// The name the log gives the handler of a served job's phase; null for the
// kinds that are not served yet.
const char* JobHandlerName(uint32_t kind, uint32_t phase)
{
    static const char* const data[] = {"OnDataBurnPrepare", "OnDataBurnStart", "OnDataBurnEnd"};
    static const char* const erase[] = {"OnErasePrepare", "OnEraseStart", "OnEraseEnd"};
    if (phase < JOB_PHASE_PREPARE || phase > JOB_PHASE_END) return nullptr;
    if (kind == JOB_DATA) return data[phase - JOB_PHASE_PREPARE];
    if (kind == JOB_ERASE) return erase[phase - JOB_PHASE_PREPARE];
    return nullptr;
}

HRESULT SetBstr(BSTR* out, const std::string& text)
{
    *out = com::Bstr(text).Detach();
    return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

HRESULT CCoDevice::FinalConstruct()
{
    CLogMethodScope<CCoDevice> log("FinalConstruct");
    m_window = CDeviceWindow::Create(this);
    return m_window ? S_OK : E_FAIL;
}

void CCoDevice::FinalRelease()
{
    CLogMethodScope<CCoDevice> log("FinalRelease");
    // First, outside the device lock: a handler that runs now ends first.
    if (m_window) m_window->Detach();
    m_window = nullptr;
    com::ObjectLock<CCoDevice> lock(this);
    m_grabber.Destroy();
    if (m_worker) CloseHandle(m_worker);
    m_worker = nullptr;
}

bool CCoDevice::InitDevice(unsigned id)
{
    CLogMethodScope<CCoDevice> log("InitDevice");
    com::ObjectLock<CCoDevice> lock(this);
    m_id = id;
    LogPrintf("\tCD/DVD device ID 0x%08x", m_id);
    bool ok;
    {
        CLogMethodScope<CCoDevice> inner("_InitDevice");
        ok = m_grabber.Create(BurnerCallback, this, m_id) == DISC_OK;
        if (ok) {
            ScanDeviceInfo();
            ScanDeviceModes();
            ScanDeviceCapabilities();
            ScanDeviceSpeeds();
        }
    }
    LogPrintf("\tDevice initialization: %s", ok ? "OK" : "Failed");
    return ok;
}

void CCoDevice::ScanDeviceInfo()
{
    m_grabber.GetIdentity(&m_identity);
    LogPrintf("\tVendor: %s", m_identity.vendor);
    LogPrintf("\tProduct ID: %s", m_identity.product);
    LogPrintf("\tProduct Revision Level: %s", m_identity.revision);
    char letter[8] = "";
    if (DiscLayer_GetDriveLetter(Port(), Bus(), Target(), Lun(), letter, sizeof(letter)) == DISC_OK &&
        letter[0])
        m_letter = static_cast<unsigned char>(letter[0]);
    LogPrintf("\tDrive letter: %s", letter);
}

void CCoDevice::ScanDeviceModes()
{
    // The modes are probed with the tray open when a disc is in.
    const bool opened = m_grabber.TestUnitReady() == DISC_OK && m_grabber.Eject() == DISC_OK;
    LogPrintf("\tSupport read modes:");
    m_grabber.ProbeReadModes(&m_readModes);
    LogPrintf("\t\tCooked  \t %s", YesNo(m_readModes.cooked));
    LogPrintf("\t\tPQ      \t %s", YesNo(m_readModes.pq));
    LogPrintf("\t\tRaw     \t %s", YesNo(m_readModes.raw));
    LogPrintf("\t\tRawPQ   \t %s", YesNo(m_readModes.rawPq));
    LogPrintf("\t\tRawPW   \t %s", YesNo(m_readModes.rawPw));
    LogPrintf("\t\tRawRawPW\t %s", YesNo(m_readModes.rawRawPw));
    LogPrintf("\tSupport write modes:");
    m_grabber.ProbeWriteModes(&m_writeModes);
    LogPrintf("\t\tTrackAtOnce    \t %s", YesNo(m_writeModes.trackAtOnce));
    LogPrintf("\t\tSessionAtOnce  \t %s", YesNo(m_writeModes.sessionAtOnce));
    LogPrintf("\t\tDiscAtOncePQ   \t %s", YesNo(m_writeModes.discAtOncePq));
    LogPrintf("\t\tDiscAtOnceRawPW\t %s", YesNo(m_writeModes.discAtOnceRawPw));
    if (opened) m_grabber.Load();
}

void CCoDevice::ScanDeviceCapabilities()
{
    m_grabber.GetCapabilities(&m_readCaps, &m_writeCaps);
    const DiscReadCapabilities& r = m_readCaps;
    const DiscWriteCapabilities& w = m_writeCaps;
    LogPrintf("\tDevice can read:");
    LogPrintf("\t\tCD_R       \t%s", YesNo(r.cdR));
    LogPrintf("\t\tCD_RW      \t%s", YesNo(r.cdRw));
    LogPrintf("\t\tDVD_ROM    \t%s", YesNo(r.dvdRom));
    LogPrintf("\t\tDVD_R      \t%s", YesNo(r.dvdR));
    LogPrintf("\t\tDVDPLUS_R  \t%s", YesNo(r.dvdPlusR));
    LogPrintf("\t\tDVDPLUS_RW \t%s", YesNo(r.dvdPlusRw));
    LogPrintf("\t\tDVDPLUS_RDL\t%s", YesNo(r.dvdPlusRDl));
    LogPrintf("\t\tDVD_RAM    \t%s", YesNo(r.dvdRam));
    LogPrintf("\tDevice can write:");
    LogPrintf("\t\tTestWrite  \t%s", YesNo(w.testWrite));
    LogPrintf("\t\tCD_R       \t%s", YesNo(w.cdR));
    LogPrintf("\t\tCD_RW      \t%s", YesNo(w.cdRw));
    LogPrintf("\t\tDVD_R      \t%s", YesNo(w.dvdR));
    LogPrintf("\t\tDVDPLUS_R  \t%s", YesNo(w.dvdPlusR));
    LogPrintf("\t\tDVDPLUS_RW \t%s", YesNo(w.dvdPlusRw));
    LogPrintf("\t\tDVDPLUS_RDL\t%s", YesNo(w.dvdPlusRDl));
    LogPrintf("\t\tDVD_RAM    \t%s", YesNo(w.dvdRam));
}

void CCoDevice::ReadMediumStamp()
{
    DiscLayer_GetMediumStamp(Port(), Bus(), Target(), Lun(), &m_mediumStamp);
}

bool CCoDevice::MediumStampMoved()
{
    com::ObjectLock<CCoDevice> lock(this);
    uint32_t stamp = m_mediumStamp;
    // A drive that is gone keeps its stamp: the list removes it.
    if (DiscLayer_GetMediumStamp(Port(), Bus(), Target(), Lun(), &stamp) != DISC_OK) return false;
    return stamp != m_mediumStamp;
}

void CCoDevice::CheckMedium(bool evenWhenEmpty)
{
    unsigned type, cookie;
    {
        com::ObjectLock<CCoDevice> lock(this);
        ScanDeviceSpeeds();
        type = m_mediumType;
        cookie = m_cookie;
    }
    if (evenWhenEmpty || type != DISC_MT_NO_MEDIA) m_events.FirePost(DM_MEDIUMCHANGED, cookie, type);
}

void CCoDevice::ScanDeviceSpeeds()
{
    CLogMethodScope<CCoDevice> log("_ScanDeviceSpeeds");
    // The stamp of the medium this scan sees: a change after it shows.
    ReadMediumStamp();
    bool ready = m_grabber.TestUnitReady() == DISC_OK;
    LogPrintf("\tTest Unit Ready: %s", ready ? "OK" : "Failed");
    m_mediumType = DISC_MT_NO_MEDIA;
    uint32_t type = DISC_MT_NO_MEDIA;
    if (ready && m_grabber.GetDiscType(&type) == DISC_OK) m_mediumType = type;
    bool dvd = MediumIsDvd();
    LogPrintf("\tEnumerating %s speeds", dvd ? "DVD" : "CD");

    std::vector<unsigned> reads, writes;
    uint32_t read = 0, maxRead = 0, write = 0, maxWrite = 0;
    m_grabber.SetSpeeds(0xFFFF, 0xFFFF);
    m_grabber.GetSpeeds(&read, &maxRead, &write, &maxWrite);
    // A drive that claims an absurd top speed must not hold the scan (and
    // the device lock) for ever: the probes stop at 0xFFFF KB/s, the value
    // that stands for the maximum, and after MAX_SPEED_STEPS steps.
    const unsigned step = dvd ? DVD_STEP : CD_STEP;
    const unsigned top = std::min<uint32_t>(std::max(maxRead, maxWrite), 0xFFFF);
    for (unsigned n = 0, speed = step; n < MAX_SPEED_STEPS && speed < top; ++n, speed += step)
        ProbeSpeeds(speed, speed, reads, writes);
    ProbeSpeeds(dvd ? DVD_PROBE : CD_PROBE, dvd ? DVD_PROBE : CD_PROBE, reads, writes);
    if (!reads.empty() && reads.front() == 0) reads.erase(reads.begin());
    if (!writes.empty() && writes.front() == 0) writes.erase(writes.begin());
    m_readSpeeds.swap(reads);
    m_writeSpeeds.swap(writes);
    LogSpeeds("\tRead speeds:", m_readSpeeds);
    LogSpeeds("\tWrite speeds:", m_writeSpeeds);
}

void CCoDevice::ProbeSpeeds(unsigned readRequest, unsigned writeRequest,
                            std::vector<unsigned>& reads, std::vector<unsigned>& writes)
{
    uint32_t read = 0, maxRead = 0, write = 0, maxWrite = 0;
    m_grabber.SetSpeeds(readRequest, writeRequest);
    if (m_grabber.GetSpeeds(&read, &maxRead, &write, &maxWrite) != DISC_OK) return;
    AddOnce(reads, read);
    AddOnce(writes, write);
}

bool CCoDevice::MediumIsDvd() const { return IsDVDMedium(m_mediumType); }

STDMETHODIMP CCoDevice::GetDeviceName(BSTR* a_pbsDeviceName)
{
    CLogMethodScope<CCoDevice> log("GetDeviceName");
    if (!a_pbsDeviceName) return E_POINTER;
    *a_pbsDeviceName = nullptr;
    com::ObjectLock<CCoDevice> lock(this);
    char letter[2] = {m_letter == 255 ? '\0' : static_cast<char>(m_letter), '\0'};
    char name[128];
    std::snprintf(name, sizeof(name), "%s:%i:%i:%i:%i  %s%s", letter, Port(), Bus(), Target(), Lun(),
                  m_identity.vendor, m_identity.product);
    return SetBstr(a_pbsDeviceName, name);
}

STDMETHODIMP CCoDevice::GetDeviceID(unsigned int* a_puiDeviceID)
{
    CLogMethodScope<CCoDevice> log("GetDeviceID");
    if (!a_puiDeviceID) return E_POINTER;
    com::ObjectLock<CCoDevice> lock(this);
    *a_puiDeviceID = m_id;
    LogPrintf("CD/DVD device ID 0x%08x", m_id);
    return S_OK;
}

STDMETHODIMP CCoDevice::GetDeviceSpeeds(IDeviceSpeedEnum** a_ppDeviceReadSpeedEnum,
                                        IDeviceSpeedEnum** a_ppDeviceWriteSpeedEnum)
{
    CLogMethodScope<CCoDevice> log("GetDeviceSpeeds");
    if (!a_ppDeviceReadSpeedEnum || !a_ppDeviceWriteSpeedEnum) return E_POINTER;
    *a_ppDeviceReadSpeedEnum = *a_ppDeviceWriteSpeedEnum = nullptr;
    com::ObjectLock<CCoDevice> lock(this);
    if (FAILED(CCoDeviceSpeedEnum::Make(m_readSpeeds, a_ppDeviceReadSpeedEnum))) return E_OUTOFMEMORY;
    if (FAILED(CCoDeviceSpeedEnum::Make(m_writeSpeeds, a_ppDeviceWriteSpeedEnum))) {
        (*a_ppDeviceReadSpeedEnum)->Release();
        *a_ppDeviceReadSpeedEnum = nullptr;
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

STDMETHODIMP CCoDevice::Speed_KBPS2X(unsigned long a_ulSpeed, BSTR* a_pbsSpeed)
{
    CLogMethodScope<CCoDevice> log("Speed_KBPS2X");
    if (!a_pbsSpeed) return E_POINTER;
    *a_pbsSpeed = nullptr;
    bool dvd;
    {
        com::ObjectLock<CCoDevice> lock(this);
        dvd = MediumIsDvd();
    }
    unsigned factor = dvd ? DVD_STEP : CD_STEP;
    unsigned speed = static_cast<unsigned>(a_ulSpeed);
    char text[16];
    if (speed - (dvd ? DVD_PROBE : CD_PROBE) < factor / 100)
        std::snprintf(text, sizeof(text), "%s", dvd ? "2.4" : "2.2");
    else
        std::snprintf(text, sizeof(text), "%i", static_cast<int>((speed + factor / 5) / factor));
    LogPrintf("\t\tConverting speed: %i, Result: %s", static_cast<int>(speed), text);
    return SetBstr(a_pbsSpeed, text);
}

STDMETHODIMP CCoDevice::DeviceCanWrite(unsigned long* a_pulCanWrite)
{
    CLogMethodScope<CCoDevice> log("DeviceCanWrite");
    if (!a_pulCanWrite) return E_POINTER;
    com::ObjectLock<CCoDevice> lock(this);
    const DiscWriteCapabilities& w = m_writeCaps;
    *a_pulCanWrite = (w.cdR || w.cdRw || w.dvdR || w.dvdRam || w.testWrite || w.dvdPlusR ||
                      w.dvdPlusRw || w.dvdPlusRDl) ? 1 : 0;
    return S_OK;
}

STDMETHODIMP CCoDevice::GetDeviceLetter(unsigned int* a_pDeviceLetter)
{
    CLogMethodScope<CCoDevice> log("GetDeviceLetter");
    if (!a_pDeviceLetter) return E_POINTER;
    com::ObjectLock<CCoDevice> lock(this);
    *a_pDeviceLetter = m_letter;
    return S_OK;
}

STDMETHODIMP CCoDevice::GetDeviceBusy(unsigned int* a_puiBusy)
{
    CLogMethodScope<CCoDevice> log("GetDeviceBusy");
    if (!a_puiBusy) return E_POINTER;
    *a_puiBusy = IsBusy() ? 1 : 0;
    return S_OK;
}

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

STDMETHODIMP CCoDevice::GetSupportedWriteModes(unsigned int* a_puiSupportedWriteModes)
{
    CLogMethodScope<CCoDevice> log("GetSupportedWriteModes");
    if (!a_puiSupportedWriteModes) return E_POINTER;
    unsigned modes = 0;
    if (m_readModes.cooked) modes |= WRITE_COOKED;
    if (m_writeModes.trackAtOnce) modes |= WRITE_TAO;
    if (m_writeModes.sessionAtOnce) modes |= WRITE_SAO;
    if (m_writeModes.discAtOncePq) modes |= WRITE_DAO_PQ;
    if (m_writeModes.discAtOnceRawPw) modes |= WRITE_DAO_RAW_PW;
    *a_puiSupportedWriteModes = modes;
    return S_OK;
}

STDMETHODIMP CCoDevice::GetCapabilities(unsigned int* a_puiReadCapabilities,
                                        unsigned int* a_puiWriteCapabilities)
{
    CLogMethodScope<CCoDevice> log("GetCapabilities");
    if (!a_puiReadCapabilities || !a_puiWriteCapabilities) return E_POINTER;
    const DiscReadCapabilities& r = m_readCaps;
    const DiscWriteCapabilities& w = m_writeCaps;
    *a_puiReadCapabilities = (r.cdR ? CAP_CD_R : 0) | (r.cdRw ? CAP_CD_RW : 0) |
                             (r.dvdRom ? CAP_DVD_ROM : 0) | (r.dvdR ? CAP_DVD_R : 0) |
                             (r.dvdPlusR ? CAP_DVDPLUS_R : 0) | (r.dvdPlusRw ? CAP_DVDPLUS_RW : 0) |
                             (r.dvdPlusRDl ? CAP_DVDPLUS_R_DL : 0) | (r.dvdRam ? CAP_DVD_RAM : 0);
    *a_puiWriteCapabilities = (w.cdR ? CAP_CD_R : 0) | (w.cdRw ? CAP_CD_RW : 0) |
                              (w.testWrite ? CAP_TEST_WRITE : 0) | (w.dvdR ? CAP_DVD_R : 0) |
                              (w.dvdPlusR ? CAP_DVDPLUS_R : 0) | (w.dvdPlusRw ? CAP_DVDPLUS_RW : 0) |
                              (w.dvdPlusRDl ? CAP_DVDPLUS_R_DL : 0) | (w.dvdRam ? CAP_DVD_RAM : 0);
    return S_OK;
}

STDMETHODIMP CCoDevice::Eject()
{
    CLogMethodScope<CCoDevice> log("Eject");
    com::ObjectLock<CCoDevice> lock(this);
    return m_grabber.Eject() == DISC_OK ? S_OK : E_FAIL;
}

STDMETHODIMP CCoDevice::Load()
{
    CLogMethodScope<CCoDevice> log("Load");
    com::ObjectLock<CCoDevice> lock(this);
    return m_grabber.Load() == DISC_OK ? S_OK : E_FAIL;
}

bool CCoDevice::ScanMediumInfo(DiscInformation* info)
{
    return m_grabber.GetDiscInformation(info) == DISC_OK;
}

bool CCoDevice::ScanTrackInfo(unsigned track, DiscTrackInformation* info)
{
    return m_grabber.GetTrackInformation(track, info) == DISC_OK;
}

STDMETHODIMP CCoDevice::GetMediumType(unsigned int* a_puiMediumType)
{
    CLogMethodScope<CCoDevice> log("GetMediumType");
    if (!a_puiMediumType) return E_POINTER;
    com::ObjectLock<CCoDevice> lock(this);
    *a_puiMediumType = m_mediumType;
    return S_OK;
}

STDMETHODIMP CCoDevice::GetTrackCount(unsigned int* a_puiTrackCount)
{
    CLogMethodScope<CCoDevice> log("GetTrackCount");
    if (!a_puiTrackCount) return E_POINTER;
    com::ObjectLock<CCoDevice> lock(this);
    DiscInformation info = {};
    if (!ScanMediumInfo(&info)) {
        *a_puiTrackCount = 0xFFFFFFFF;
        return E_FAIL;
    }
    *a_puiTrackCount = info.trackCount;
    return S_OK;
}

STDMETHODIMP CCoDevice::GetTrack(ITrack** a_ppTrack, unsigned int a_uiTrackNumber)
{
    CLogMethodScope<CCoDevice> log("GetTrack");
    if (!a_ppTrack) return E_POINTER;
    *a_ppTrack = nullptr;
    DiscTrackInformation info = {};
    {
        com::ObjectLock<CCoDevice> lock(this);
        if (!ScanTrackInfo(a_uiTrackNumber, &info)) return E_FAIL;
    }
    return com::CreateObject<CCoTrack>(IID_ITrack, reinterpret_cast<void**>(a_ppTrack), info);
}

int64_t CCoDevice::GetTotalDiscSpace()
{
    CLogMethodScope<CCoDevice> log("GetTotalDiscSpace");
    DiscInformation disc = {};
    if (m_grabber.TestUnitReady() != DISC_OK || !ScanMediumInfo(&disc) ||
        disc.discStatus == DISC_STATUS_COMPLETE)
        return -1;
    int64_t blocks;
    if (MediumIsDvd()) {
        DiscTrackInformation track = {};
        if (!ScanTrackInfo(DISC_TRACK_INCOMPLETE, &track)) return -1;
        blocks = int64_t(std::max(track.startAddress, track.nextWritableAddress)) + track.freeBlocks;
    } else {
        const uint8_t* msf = disc.lastLeadOutStart;
        int64_t minutes = msf[0] << 8 | msf[1];
        blocks = (minutes * 60 + msf[2] - 2) * 75 + msf[3];
    }
    return blocks < 0 ? -1 : blocks * 2048;
}

int64_t CCoDevice::GetFreeDiscSpace()
{
    CLogMethodScope<CCoDevice> log("GetFreeDiscSpace");
    DiscTrackInformation track = {};
    if (!ScanTrackInfo(DISC_TRACK_INCOMPLETE, &track)) return 0;
    return int64_t(track.freeBlocks) * 2048;
}

STDMETHODIMP CCoDevice::GetSpaces(hyper* a_phTotalSpace, hyper* a_phUsedSpace, hyper* a_phFreeSpace)
{
    CLogMethodScope<CCoDevice> log("GetSpaces");
    if (!a_phTotalSpace || !a_phUsedSpace || !a_phFreeSpace) return E_POINTER;
    com::ObjectLock<CCoDevice> lock(this);
    *a_phFreeSpace = GetFreeDiscSpace();
    *a_phTotalSpace = GetTotalDiscSpace();
    *a_phUsedSpace = *a_phTotalSpace - *a_phFreeSpace;
    return S_OK;
}

STDMETHODIMP CCoDevice::Erase(unsigned long a_ulCallerCookie, unsigned long a_ulSpeed, unsigned int a_uiFullErase)
{
    CLogMethodScope<CCoDevice> log("Erase");
    return CEraseJob::Start(this, a_ulCallerCookie, a_ulSpeed, a_uiFullErase != 0);
}

STDMETHODIMP CCoDevice::BurnData(unsigned long a_ulCallerCookie, unsigned long a_ulSpeed, IUnknown* a_lpFileTreeUnk,
                                 unsigned long a_ulBufferSize)
{
    CLogMethodScope<CCoDevice> log("BurnData");
    return CDataBurnJob::Start(this, a_ulCallerCookie, a_ulSpeed, a_lpFileTreeUnk, a_ulBufferSize);
}

STDMETHODIMP CCoDevice::Cancel()
{
    CLogMethodScope<CCoDevice> log("Cancel");
    // Not under the device lock: the job that runs may hold it.
    m_grabber.Cancel();
    return S_OK;
}

STDMETHODIMP_(ULONG_PTR) CCoDevice::LockRawPtr()
{
    Lock();
    return m_grabber.Handle();
}

STDMETHODIMP_(void) CCoDevice::UnlockRawPtr() { Unlock(); }

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
