// CCoDevice: one optical drive of the disc layer, bound to its SCSI
// address. It scans the drive's identity, modes, capabilities and speeds
// once (InitDevice) and the medium and speeds again on every medium check.
#pragma once
#include "engine.h"
#include "message_callback_point.h"
#include <auto_object_logger.h>
#include <disc/disc_layer.h>
#include <com/connection_point.h>
#include <com/external_connection.h>
#include <com/object.h>
#include <string>
#include <vector>

class CCoDevice : public com::ObjectRoot<com::MultiThreadModel>,
                  public IDevice,
                  public IMedium,
                  public IRawPtr,
                  public com::ConnectionPointContainer,
                  public com::ExternalConnection,
                  public CAutoObjectLogger<CCoDevice> {
public:
    COM_INTERFACES_BEGIN(CCoDevice)
        COM_INTERFACE(IDevice)
        COM_INTERFACE(IMedium)
        COM_INTERFACE(IRawPtr)
        COM_INTERFACE(IConnectionPointContainer)
        COM_INTERFACE(IExternalConnection)
    COM_INTERFACES_END()

    void FinalRelease();

    // Binds the device to the drive at `id` and scans it; false leaves it unusable.
    bool InitDevice(unsigned id);
    // The medium type and speeds again; the new medium type.
    unsigned ScanMedium();
    unsigned Id() const { return m_id; }
    // True once when the drive's medium stamp moved since the last look.
    bool MediumStampMoved();
    // DM_MEDIUMCHANGED on the device's own point; main thread only.
    void FireMediumChanged(unsigned mediumType);

    // IDevice
    STDMETHODIMP GetDeviceName(BSTR* a_pbsDeviceName) override;
    STDMETHODIMP GetDeviceID(unsigned int* a_puiDeviceID) override;
    STDMETHODIMP GetDeviceSpeeds(IDeviceSpeedEnum** a_ppDeviceReadSpeedEnum,
                                 IDeviceSpeedEnum** a_ppDeviceWriteSpeedEnum) override;
    STDMETHODIMP Speed_KBPS2X(unsigned long a_ulSpeed, BSTR* a_pbsSpeed) override;
    STDMETHODIMP DeviceCanWrite(unsigned long* a_pulCanWrite) override;
    STDMETHODIMP GetDeviceLetter(unsigned int* a_pDeviceLetter) override;
    STDMETHODIMP GetDeviceBusy(unsigned int* a_puiBusy) override;
    STDMETHODIMP GetSupportedWriteModes(unsigned int* a_puiSupportedWriteModes) override;
    STDMETHODIMP GetCapabilities(unsigned int* a_puiReadCapabilities,
                                 unsigned int* a_puiWriteCapabilities) override;
    STDMETHODIMP Eject() override;
    STDMETHODIMP Load() override;

    // IMedium
    STDMETHODIMP GetMediumType(unsigned int* a_puiMediumType) override;
    STDMETHODIMP GetTrackCount(unsigned int* a_puiTrackCount) override;
    STDMETHODIMP GetTrack(ITrack** a_ppTrack, unsigned int a_uiTrackNumber) override;
    STDMETHODIMP GetSpaces(hyper* a_phTotalSpace, hyper* a_phUsedSpace, hyper* a_phFreeSpace) override;

    // IRawPtr: the grabber handle, held under the device lock until unlocked.
    STDMETHODIMP_(ULONG_PTR) LockRawPtr() override;
    STDMETHODIMP_(void) UnlockRawPtr() override;

private:
    bool ScanMediumInfo(DiscInformation* info);
    bool ScanTrackInfo(unsigned track, DiscTrackInformation* info);
    int64_t GetTotalDiscSpace();
    int64_t GetFreeDiscSpace();
    bool CreateGrabber();
    void ScanDeviceInfo();
    void ScanDeviceModes();
    void ScanDeviceCapabilities();
    void ScanDeviceSpeeds();
    void ProbeSpeeds(unsigned readRequest, unsigned writeRequest,
                     std::vector<unsigned>& reads, std::vector<unsigned>& writes);
    bool MediumIsDvd() const;
    // Logs the failure line of a disc-layer call; true when it succeeded.
    bool Check(int code, uint32_t operation) const;

    uint8_t Port() const { return static_cast<uint8_t>(m_id); }
    uint8_t Bus() const { return static_cast<uint8_t>(m_id >> 8); }
    uint8_t Target() const { return static_cast<uint8_t>(m_id >> 16); }
    uint8_t Lun() const { return static_cast<uint8_t>(m_id >> 24); }

    DiscHandle m_grabber = 0;
    unsigned m_id = 0xFFFFFFFF;
    DiscIdentity m_identity = {};
    unsigned m_letter = 255;
    DiscReadModes m_readModes = {};
    DiscWriteModes m_writeModes = {};
    DiscReadCapabilities m_readCaps = {};
    DiscWriteCapabilities m_writeCaps = {};
    unsigned m_mediumType = 0;
    std::vector<unsigned> m_readSpeeds, m_writeSpeeds;
    mutable char m_text[1024] = "";
    HANDLE m_worker = nullptr;
    unsigned m_cookie = 0;  // the last job's caller cookie
    uint32_t m_mediumStamp = 0;
    MessageCallbackPoint m_events{this};
};
