#include "device.h"
#include "device_speed_enum.h"
#include "medium_type.h"
#include "track.h"
#include "method_log.h"
#include <log.h>
#include <algorithm>
#include <cstdio>

namespace {

const unsigned DVD_STEP = 1385, CD_STEP = 176;
const unsigned DVD_PROBE = 3324, CD_PROBE = 387;

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

HRESULT SetBstr(BSTR* out, const std::string& text)
{
    *out = com::Bstr(text).Detach();
    return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

#define DISC_CALL m_grabber, m_text, sizeof(m_text), &systemError, nullptr

bool CCoDevice::Check(int code, uint32_t operation) const
{
    if (code == DISC_OK) return true;
    LogPrintf("\t%s failed, error code - 0x%08X, exception text is \"%s\"",
              DiscLayer_OperationName(operation), static_cast<unsigned>(code), m_text);
    return false;
}

void CCoDevice::FinalRelease()
{
    CLogMethodScope<CCoDevice> log("FinalRelease");
    com::ObjectLock<CCoDevice> lock(this);
    if (m_grabber) DiscHandle_Destroy(&m_grabber);
    if (m_worker) CloseHandle(m_worker);
}

bool CCoDevice::InitDevice(unsigned id)
{
    CLogMethodScope<CCoDevice> log("InitDevice");
    com::ObjectLock<CCoDevice> lock(this);
    m_id = id;
    LogPrintf("\tCD/DVD device ID 0x%08x", m_id);
    DiscLayer_GetMediumStamp(Port(), Bus(), Target(), Lun(), &m_mediumStamp);
    bool ok = CreateGrabber();
    if (ok) {
        ScanDeviceInfo();
        ScanDeviceModes();
        ScanDeviceCapabilities();
        ScanDeviceSpeeds();
    }
    LogPrintf("\tDevice initialization: %s", ok ? "OK" : "Failed");
    return ok;
}

bool CCoDevice::CreateGrabber()
{
    uint32_t systemError = 0;
    return Check(Grabber_Create(&m_grabber, m_text, sizeof(m_text), &systemError, nullptr, this,
                                Port(), Bus(), Target(), Lun(), 0),
                 DISC_OP_GRABBER_CREATE);
}

void CCoDevice::ScanDeviceInfo()
{
    uint32_t systemError = 0;
    Check(Grabber_GetIdentity(DISC_CALL, &m_identity), DISC_OP_IDENTITY);
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
    uint32_t systemError = 0;
    LogPrintf("\tSupport read modes:");
    Check(Grabber_ProbeReadModes(DISC_CALL, &m_readModes), DISC_OP_READ_MODES);
    LogPrintf("\t\tCooked  \t %s", YesNo(m_readModes.cooked));
    LogPrintf("\t\tPQ      \t %s", YesNo(m_readModes.pq));
    LogPrintf("\t\tRaw     \t %s", YesNo(m_readModes.raw));
    LogPrintf("\t\tRawPQ   \t %s", YesNo(m_readModes.rawPq));
    LogPrintf("\t\tRawPW   \t %s", YesNo(m_readModes.rawPw));
    LogPrintf("\t\tRawRawPW\t %s", YesNo(m_readModes.rawRawPw));
    LogPrintf("\tSupport write modes:");
    Check(Grabber_ProbeWriteModes(DISC_CALL, &m_writeModes), DISC_OP_WRITE_MODES);
    LogPrintf("\t\tTrackAtOnce    \t %s", YesNo(m_writeModes.trackAtOnce));
    LogPrintf("\t\tSessionAtOnce  \t %s", YesNo(m_writeModes.sessionAtOnce));
    LogPrintf("\t\tDiscAtOncePQ   \t %s", YesNo(m_writeModes.discAtOncePq));
    LogPrintf("\t\tDiscAtOnceRawPW\t %s", YesNo(m_writeModes.discAtOnceRawPw));
}

void CCoDevice::ScanDeviceCapabilities()
{
    uint32_t systemError = 0;
    Check(Grabber_GetCapabilities(DISC_CALL, &m_readCaps, &m_writeCaps), DISC_OP_CAPABILITIES);
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

bool CCoDevice::MediumStampMoved()
{
    com::ObjectLock<CCoDevice> lock(this);
    uint32_t stamp = m_mediumStamp;
    // A drive that is gone keeps its stamp: the list removes it.
    if (DiscLayer_GetMediumStamp(Port(), Bus(), Target(), Lun(), &stamp) != DISC_OK) return false;
    bool moved = stamp != m_mediumStamp;
    m_mediumStamp = stamp;
    return moved;
}

void CCoDevice::FireMediumChanged(unsigned mediumType)
{
    unsigned cookie;
    {
        com::ObjectLock<CCoDevice> lock(this);
        cookie = m_cookie;
    }
    m_events.FirePost(DM_MEDIUMCHANGED, cookie, mediumType);
}

unsigned CCoDevice::ScanMedium()
{
    com::ObjectLock<CCoDevice> lock(this);
    ScanDeviceSpeeds();
    return m_mediumType;
}

void CCoDevice::ScanDeviceSpeeds()
{
    CLogMethodScope<CCoDevice> log("_ScanDeviceSpeeds");
    uint32_t systemError = 0;
    bool ready = Check(Grabber_TestUnitReady(DISC_CALL, 0), DISC_OP_UNIT_READY);
    LogPrintf("\tTest Unit Ready: %s", ready ? "OK" : "Failed");
    m_mediumType = DISC_MT_NO_MEDIA;
    uint32_t type = DISC_MT_NO_MEDIA;
    if (ready && Check(Grabber_GetDiscType(DISC_CALL, &type), DISC_OP_DISC_TYPE)) m_mediumType = type;
    bool dvd = MediumIsDvd();
    LogPrintf("\tEnumerating %s speeds", dvd ? "DVD" : "CD");

    std::vector<unsigned> reads, writes;
    uint32_t read = 0, maxRead = 0, write = 0, maxWrite = 0;
    Check(Grabber_SetSpeeds(DISC_CALL, 0xFFFF, 0xFFFF), DISC_OP_SET_SPEEDS);
    Check(Grabber_GetSpeeds(DISC_CALL, &read, &maxRead, &write, &maxWrite), DISC_OP_GET_SPEEDS);
    unsigned step = dvd ? DVD_STEP : CD_STEP;
    for (unsigned speed = step; speed < maxRead || speed < maxWrite; speed += step)
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
    uint32_t systemError = 0;
    uint32_t read = 0, maxRead = 0, write = 0, maxWrite = 0;
    Check(Grabber_SetSpeeds(DISC_CALL, readRequest, writeRequest), DISC_OP_SET_SPEEDS);
    if (!Check(Grabber_GetSpeeds(DISC_CALL, &read, &maxRead, &write, &maxWrite), DISC_OP_GET_SPEEDS))
        return;
    AddOnce(reads, read);
    AddOnce(writes, write);
}

bool CCoDevice::MediumIsDvd() const { return IsDVDMedium(m_mediumType); }

STDMETHODIMP CCoDevice::GetDeviceName(BSTR* a_pbsDeviceName)
{
    CLogMethodScope<CCoDevice> log("GetDeviceName");
    if (!a_pbsDeviceName) return E_POINTER;
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
    com::ObjectLock<CCoDevice> lock(this);
    DWORD code = 0;
    *a_puiBusy = (m_worker && GetExitCodeThread(m_worker, &code) && code == STILL_ACTIVE) ? 1 : 0;
    return S_OK;
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
    uint32_t systemError = 0;
    return Check(Grabber_Eject(DISC_CALL), DISC_OP_EJECT) ? S_OK : E_FAIL;
}

STDMETHODIMP CCoDevice::Load()
{
    CLogMethodScope<CCoDevice> log("Load");
    com::ObjectLock<CCoDevice> lock(this);
    uint32_t systemError = 0;
    return Check(Grabber_Load(DISC_CALL), DISC_OP_LOAD) ? S_OK : E_FAIL;
}

bool CCoDevice::ScanMediumInfo(DiscInformation* info)
{
    uint32_t systemError = 0;
    return Check(Grabber_GetDiscInformation(DISC_CALL, info), DISC_OP_DISC_INFO);
}

bool CCoDevice::ScanTrackInfo(unsigned track, DiscTrackInformation* info)
{
    uint32_t systemError = 0;
    return Check(Grabber_GetTrackInformation(DISC_CALL, track, info), DISC_OP_TRACK_INFO);
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
    uint32_t systemError = 0;
    DiscInformation disc = {};
    if (!Check(Grabber_TestUnitReady(DISC_CALL, 0), DISC_OP_UNIT_READY) || !ScanMediumInfo(&disc) ||
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

STDMETHODIMP_(ULONG_PTR) CCoDevice::LockRawPtr()
{
    Lock();
    return m_grabber;
}

STDMETHODIMP_(void) CCoDevice::UnlockRawPtr()
{
    Unlock();
}
