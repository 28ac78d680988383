// The device and medium surface of CCoDevice: IDevice, IMedium, IRawPtr
// and the device's life.
#include "devices/device.h"
#include <com/guard.h>
#include <com/ptr.h>
#include "devices/device_constants.h"
#include "devices/device_speed_enum.h"
#include "devices/medium_type.h"
#include "devices/track.h"
#include <shared/method_log.h>
#include <shared/log.h>
#include <cstdio>

namespace {

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

bool CCoDevice::MediumIsDvd() const { return IsDVDMedium(m_mediumType); }

STDMETHODIMP CCoDevice::GetDeviceName(BSTR* a_pbsDeviceName)
{
    return com::Guarded("CCoDevice::GetDeviceName", [&]() -> HRESULT {
        CLogMethodScope<CCoDevice> log("GetDeviceName");
        if (!a_pbsDeviceName) return E_POINTER;
        *a_pbsDeviceName = nullptr;
        com::ObjectLock<CCoDevice> lock(this);
        char letter[2] = {m_letter == 255 ? '\0' : static_cast<char>(m_letter), '\0'};
        char name[128];
        std::snprintf(name, sizeof(name), "%s:%i:%i:%i:%i  %s%s", letter, Port(), Bus(), Target(), Lun(),
                      m_identity.vendor, m_identity.product);
        return SetBstr(a_pbsDeviceName, name);
    });
}

STDMETHODIMP CCoDevice::GetDeviceID(unsigned int* a_puiDeviceID)
{
    return com::Guarded("CCoDevice::GetDeviceID", [&]() -> HRESULT {
        CLogMethodScope<CCoDevice> log("GetDeviceID");
        if (!a_puiDeviceID) return E_POINTER;
        com::ObjectLock<CCoDevice> lock(this);
        *a_puiDeviceID = m_id;
        LogPrintf("CD/DVD device ID 0x%08x", m_id);
        return S_OK;
    });
}

STDMETHODIMP CCoDevice::GetDeviceSpeeds(IDeviceSpeedEnum** a_ppDeviceReadSpeedEnum,
                                        IDeviceSpeedEnum** a_ppDeviceWriteSpeedEnum)
{
    return com::Guarded("CCoDevice::GetDeviceSpeeds", [&]() -> HRESULT {
        CLogMethodScope<CCoDevice> log("GetDeviceSpeeds");
        if (!a_ppDeviceReadSpeedEnum || !a_ppDeviceWriteSpeedEnum) return E_POINTER;
        *a_ppDeviceReadSpeedEnum = *a_ppDeviceWriteSpeedEnum = nullptr;
        com::ObjectLock<CCoDevice> lock(this);
        // Both or neither: an allocation that fails on the second lets the first go.
        com::ComPtr<IDeviceSpeedEnum> reads, writes;
        if (FAILED(CCoDeviceSpeedEnum::Make(m_readSpeeds, &reads)) ||
            FAILED(CCoDeviceSpeedEnum::Make(m_writeSpeeds, &writes)))
            return E_OUTOFMEMORY;
        *a_ppDeviceReadSpeedEnum = reads.Detach();
        *a_ppDeviceWriteSpeedEnum = writes.Detach();
        return S_OK;
    });
}

STDMETHODIMP CCoDevice::Speed_KBPS2X(unsigned long a_ulSpeed, BSTR* a_pbsSpeed)
{
    return com::Guarded("CCoDevice::Speed_KBPS2X", [&]() -> HRESULT {
        CLogMethodScope<CCoDevice> log("Speed_KBPS2X");
        if (!a_pbsSpeed) return E_POINTER;
        *a_pbsSpeed = nullptr;
        bool dvd;
        {
            com::ObjectLock<CCoDevice> lock(this);
            dvd = MediumIsDvd();
        }
        unsigned factor = dvd ? DVD_SPEED_UNIT : CD_SPEED_UNIT;
        unsigned speed = static_cast<unsigned>(a_ulSpeed);
        char text[16];
        if (speed - (dvd ? DVD_ODD_SPEED : CD_ODD_SPEED) < factor / 100)
            std::snprintf(text, sizeof(text), "%s", dvd ? "2.4" : "2.2");
        else
            std::snprintf(text, sizeof(text), "%i", static_cast<int>((speed + factor / 5) / factor));
        LogPrintf("\t\tConverting speed: %i, Result: %s", static_cast<int>(speed), text);
        return SetBstr(a_pbsSpeed, text);
    });
}

STDMETHODIMP CCoDevice::DeviceCanWrite(unsigned long* a_pulCanWrite)
{
    return com::Guarded("CCoDevice::DeviceCanWrite", [&]() -> HRESULT {
        CLogMethodScope<CCoDevice> log("DeviceCanWrite");
        if (!a_pulCanWrite) return E_POINTER;
        com::ObjectLock<CCoDevice> lock(this);
        const DiscWriteCapabilities& w = m_writeCaps;
        *a_pulCanWrite = (w.cdR || w.cdRw || w.dvdR || w.dvdRam || w.testWrite || w.dvdPlusR ||
                          w.dvdPlusRw || w.dvdPlusRDl) ? 1 : 0;
        return S_OK;
    });
}

STDMETHODIMP CCoDevice::GetDeviceLetter(unsigned int* a_pDeviceLetter)
{
    return com::Guarded("CCoDevice::GetDeviceLetter", [&]() -> HRESULT {
        CLogMethodScope<CCoDevice> log("GetDeviceLetter");
        if (!a_pDeviceLetter) return E_POINTER;
        com::ObjectLock<CCoDevice> lock(this);
        *a_pDeviceLetter = m_letter;
        return S_OK;
    });
}

STDMETHODIMP CCoDevice::GetDeviceBusy(unsigned int* a_puiBusy)
{
    return com::Guarded("CCoDevice::GetDeviceBusy", [&]() -> HRESULT {
        CLogMethodScope<CCoDevice> log("GetDeviceBusy");
        if (!a_puiBusy) return E_POINTER;
        *a_puiBusy = IsBusy() ? 1 : 0;
        return S_OK;
    });
}

STDMETHODIMP CCoDevice::GetSupportedWriteModes(unsigned int* a_puiSupportedWriteModes)
{
    return com::Guarded("CCoDevice::GetSupportedWriteModes", [&]() -> HRESULT {
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
    });
}

STDMETHODIMP CCoDevice::GetCapabilities(unsigned int* a_puiReadCapabilities,
                                        unsigned int* a_puiWriteCapabilities)
{
    return com::Guarded("CCoDevice::GetCapabilities", [&]() -> HRESULT {
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
    });
}

STDMETHODIMP CCoDevice::Eject()
{
    return com::Guarded("CCoDevice::Eject", [&]() -> HRESULT {
        CLogMethodScope<CCoDevice> log("Eject");
        com::ObjectLock<CCoDevice> lock(this);
        return m_grabber.Eject() == DISC_OK ? S_OK : E_FAIL;
    });
}

STDMETHODIMP CCoDevice::Load()
{
    return com::Guarded("CCoDevice::Load", [&]() -> HRESULT {
        CLogMethodScope<CCoDevice> log("Load");
        com::ObjectLock<CCoDevice> lock(this);
        return m_grabber.Load() == DISC_OK ? S_OK : E_FAIL;
    });
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
    return com::Guarded("CCoDevice::GetMediumType", [&]() -> HRESULT {
        CLogMethodScope<CCoDevice> log("GetMediumType");
        if (!a_puiMediumType) return E_POINTER;
        com::ObjectLock<CCoDevice> lock(this);
        *a_puiMediumType = m_mediumType;
        return S_OK;
    });
}

STDMETHODIMP CCoDevice::GetTrackCount(unsigned int* a_puiTrackCount)
{
    return com::Guarded("CCoDevice::GetTrackCount", [&]() -> HRESULT {
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
    });
}

STDMETHODIMP CCoDevice::GetTrack(ITrack** a_ppTrack, unsigned int a_uiTrackNumber)
{
    return com::Guarded("CCoDevice::GetTrack", [&]() -> HRESULT {
        CLogMethodScope<CCoDevice> log("GetTrack");
        if (!a_ppTrack) return E_POINTER;
        *a_ppTrack = nullptr;
        DiscTrackInformation info = {};
        {
            com::ObjectLock<CCoDevice> lock(this);
            if (!ScanTrackInfo(a_uiTrackNumber, &info)) return E_FAIL;
        }
        return com::CreateObject<CCoTrack>(IID_ITrack, reinterpret_cast<void**>(a_ppTrack), info);
    });
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
        blocks = (minutes * 60 + msf[2] - MSF_PREGAP_SECONDS) * MSF_FRAMES_PER_SECOND + msf[3];
    }
    return blocks < 0 ? -1 : blocks * BLOCK_SIZE;
}

int64_t CCoDevice::GetFreeDiscSpace()
{
    CLogMethodScope<CCoDevice> log("GetFreeDiscSpace");
    DiscTrackInformation track = {};
    if (!ScanTrackInfo(DISC_TRACK_INCOMPLETE, &track)) return 0;
    return int64_t(track.freeBlocks) * BLOCK_SIZE;
}

STDMETHODIMP CCoDevice::GetSpaces(hyper* a_phTotalSpace, hyper* a_phUsedSpace, hyper* a_phFreeSpace)
{
    return com::Guarded("CCoDevice::GetSpaces", [&]() -> HRESULT {
        CLogMethodScope<CCoDevice> log("GetSpaces");
        if (!a_phTotalSpace || !a_phUsedSpace || !a_phFreeSpace) return E_POINTER;
        com::ObjectLock<CCoDevice> lock(this);
        *a_phFreeSpace = GetFreeDiscSpace();
        *a_phTotalSpace = GetTotalDiscSpace();
        *a_phUsedSpace = *a_phTotalSpace - *a_phFreeSpace;
        return S_OK;
    });
}

STDMETHODIMP_(ULONG_PTR) CCoDevice::LockRawPtr()
{
    Lock();
    return m_grabber.Handle();
}

STDMETHODIMP_(void) CCoDevice::UnlockRawPtr() { Unlock(); }
